#pragma once

// The main window's five pages and what it offers them: the record, the current mode, the
// active slot with its pending macro ids, the macro library, the Chinese flag, the keyboard hook
// and the registry settings. Pages reach the window only through this.
#include <windows.h>

#include <array>
#include <memory>
#include <cstdint>
#include <string>
#include <vector>

#include "app/main_layout.h"
#include "config/profile_files.h"
#include "config/win/registry_settings_store.h"
#include "pages/win/page_base.h"

namespace q350::app {

class MainPages final : public pages::WinPageHost {
public:
    MainPages(ProfileFiles& files, MacroLibrary& macros, std::wstring programFolder);
    ~MainPages() override;

    // Places the pages at area of the main window. Each page is made when it is first shown (every
    // page is dozens of controls, and the user sees one at a time); the statistics page, which
    // counts while the program runs, by CreateBackgroundPages at the latest. All are made in the
    // layout of the language at this call, and a page made later shows the record as it is then.
    void Create(HWND mainWindow, const RECT& area);
    // Makes the pages that work unseen (the statistics page), once the window is up.
    void CreateBackgroundPages();
    // A mouse event for the statistics page; held until that page exists.
    void countEvent(std::uint32_t eventWord);
    // Shows the page of that index alone (making it first when needed).
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
    // The page of that index, made now when it does not exist yet. Null when it cannot be made.
    pages::CPageBase* Make(Page p);

    ProfileFiles& files_;
    MacroLibrary& macros_;
    std::wstring folder_;
    RegistrySettingsStore settings_;  // keeps no state of its own: safe from any thread
    HWND main_ = nullptr;
    RECT area_{};
    bool layoutChinese_ = false;             // the language at Create: every page is made in it
    std::wstring firmwareText_;              // for a support page made later
    std::vector<std::uint32_t> heldEvents_;  // for the statistics page until it exists
    std::array<std::unique_ptr<pages::CPageBase>, kPageCount> pages_;  // by page index
};

}  // namespace q350::app
