#pragma once

// The main window's five pages and what it offers them: the record, the current mode, the
// active slot with its pending macro ids, the macro library, the Chinese flag, the keyboard hook
// and the registry settings. Pages reach the window only through this.
#include <windows.h>

#include <array>
#include <memory>
#include <string>

#include "app/main_layout.h"
#include "config/profile_files.h"
#include "config/win/registry_settings_store.h"
#include "pages/win/page_base.h"

namespace q350::app {

class MainPages final : public pages::WinPageHost {
public:
    MainPages(ProfileFiles& files, MacroLibrary& macros, std::wstring programFolder);
    ~MainPages() override;

    // Creates the pages at area of the main window, all hidden; pages without windows of their
    // own yet show the window's sheet under them.
    void Create(HWND mainWindow, HBITMAP mainSheet, const RECT& area);
    // Shows the page of that index alone.
    void Show(int index);
    // The mouse and LED pages reflect the record (after start-up, a profile change, a restore).
    void ShowRecord();
    // Texts from the language table are redrawn in the new language.
    void LanguageChanged();
    // The mouse's firmware version for the support page, in decimal (empty when unknown).
    void setFirmwareText(const std::wstring& text);
    // Every page keeps what it must before Windows ends the session.
    void SessionEnding();
    // The window of a page; null when it is not there.
    HWND window(Page page) const;
    pages::CPageBase* page(Page page) const { return pages_[static_cast<int>(page)].get(); }
    // Destroys every page (at shutdown).
    void DestroyAll();

    // WinPageHost.
    ProfileData& profile() override { return files_.profile(); }
    ConfigInfo& configInfo() override { return files_.configInfo(); }
    int activeSlot() const override { return files_.activeSlot(); }
    int currentMode() const override { return files_.currentMode; }
    void setCurrentMode(int mode) override;
    std::int32_t& pendingMacroId(int mode, int button) override {
        return files_.pendingMacroId[mode][button];
    }
    MacroLibrary& macros() override { return macros_; }
    bool chinese() const override;
    HWND mainWindow() const override { return main_; }
    const std::wstring& programFolder() const override { return folder_; }
    void setKeyReceiver(HWND window) override;
    void setKeyDelivery(bool on) override;
    SettingsStore* settings() override { return &settings_; }

private:
    ProfileFiles& files_;
    MacroLibrary& macros_;
    std::wstring folder_;
    RegistrySettingsStore settings_;  // keeps no state of its own: safe from any thread
    HWND main_ = nullptr;
    std::array<std::unique_ptr<pages::CPageBase>, kPageCount> pages_;  // by page index
};

}  // namespace q350::app
