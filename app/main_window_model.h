#pragma once

// The state of the main window that is not drawing: which page and page tab are selected, which
// profile tab is marked, whether the window is in the tray, and the status line's text.
#include <array>
#include <functional>
#include <string>

#include "app/main_layout.h"
#include "config/profile_files.h"

namespace q350::app {

class MainWindowModel {
public:
    explicit MainWindowModel(ProfileFiles& files);

    // ---- pages ----
    // Selects page index 0..4: its tab selected, the other page tabs not, its page alone shown.
    void selectPage(int index);
    int selectedPage() const { return page_; }
    bool pageTabSelected(int tab) const { return tab == TabOfPageIndex(page_); }
    bool pageShown(int index) const { return index == page_; }
    // A click on page tab 0..4; true when the mouse and lighting pages are to be refreshed.
    bool clickPageTab(int tab);

    // ---- profiles ----
    // A click on profile tab 0..4: loads that slot's profile file and makes it active. True when
    // it was loaded (the pages are then to be refreshed). When the load fails the tab of the slot
    // that stays active is marked again, so the tabs never name a profile that is not in use.
    bool clickProfileTab(int tab);
    // Marks the tab of the active slot (after the start-up load).
    void markActiveProfileTab();
    bool profileTabSelected(int tab) const { return tab == profileTab_; }
    int selectedProfileTab() const { return profileTab_; }

    // ---- window in the tray ----
    bool windowHidden = false;

    // ---- status line ----
    // Message 2053: the text of the hint; returns whether the text changed.
    bool setHint(int hint, bool chinese);
    // A text of the program's own (automatic switching); true when the text changed.
    bool setStatus(std::u16string text);
    // A pointer move over the window's own surface: empties the text (true when it was not
    // empty).
    bool clearStatusOnMove();
    const std::u16string& statusText() const { return status_; }

    ProfileFiles& files() { return files_; }

private:
    ProfileFiles& files_;
    int page_ = 0;
    int profileTab_ = -1;
    std::u16string status_;
};

}  // namespace q350::app
