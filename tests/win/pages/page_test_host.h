#pragma once

// What the pages' window tests share: a host over a default profile and an empty macro library
// that records what a page asks of the keyboard hook, and helpers to pump messages and find the
// control under a point.
#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "base/clock.h"
#include "base/notifier.h"
#include "base/settings_store.h"
#include "pages/win/page_base.h"
#include "skin/win/images.h"

namespace q350::pages::test {

class RecordingHost : public WinPageHost {
public:
    RecordingHost()
        : profile_(std::make_unique<ProfileData>()),
          table_(std::make_unique<ConfigInfo>()),
          library_("Z:\\nonexistent", store_, notifier_, clock_),
          folder_(ui::ProgramFolder()) {
        BuildDefaults(*profile_, false);
        ZeroRecord(*table_);
        table_->slots[0].active = 1;
        library_.clear();
    }
    ProfileData& profile() override { return *profile_; }
    ConfigInfo& configInfo() override { return *table_; }
    int activeSlot() const override { return 0; }
    int currentMode() const override { return mode; }
    void setCurrentMode(int m) override {
        mode = m;
        ++modeChanges;
    }
    std::int32_t& pendingMacroId(int m, int b) override { return pending_[m][b]; }
    MacroLibrary& macros() override { return library_; }
    bool chinese() const override { return false; }
    HWND mainWindow() const override { return nullptr; }
    const std::wstring& programFolder() const override { return folder_; }
    void setKeyReceiver(HWND window) override { receiver = window; }
    void setKeyDelivery(bool on) override { delivery.push_back(on); }

    int mode = 0;
    int modeChanges = 0;
    HWND receiver = nullptr;
    std::vector<bool> delivery;

private:
    std::unique_ptr<ProfileData> profile_;
    std::unique_ptr<ConfigInfo> table_;
    MemorySettingsStore store_;
    SilentNotifier notifier_;
    FakeClock clock_;
    MacroLibrary library_;
    std::wstring folder_;
    std::int32_t pending_[kModeCount][kButtonCount] = {};
};

// Handles every message waiting on this thread.
inline void Pump() {
    MSG m;
    while (PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&m);
        DispatchMessageW(&m);
    }
}

// The control of a window under a client point (its deepest visible child).
inline HWND ControlAt(HWND window, POINT p) {
    HWND current = window;
    for (;;) {
        POINT local = p;
        MapWindowPoints(window, current, &local, 1);
        const HWND child = ChildWindowFromPointEx(current, local, CWP_SKIPINVISIBLE);
        if (child == nullptr || child == current) {
            return current;
        }
        current = child;
    }
}

}  // namespace q350::pages::test
