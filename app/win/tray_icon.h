#pragma once

// The program's icon in the notification area with its "Running" balloon, and its two-item menu.
#include <windows.h>

#include <shellapi.h>

#include <string_view>
#include <thread>

namespace q350::app {

inline constexpr UINT kMsgTray = 1132;
inline constexpr UINT kCmdTrayConfig = 0x6000;
inline constexpr UINT kCmdTrayExit = 0x6001;
inline constexpr WORD kTrayConfigIcon = 138;
inline constexpr WORD kTrayExitIcon = 139;

class TrayIcon {
public:
    TrayIcon() = default;
    ~TrayIcon();
    TrayIcon(const TrayIcon&) = delete;
    TrayIcon& operator=(const TrayIcon&) = delete;

    // Adds the icon for window with the balloon; results are ignored. The shell answers only once
    // it has put up the balloon, so the request goes from a thread of its own and the caller goes
    // on at once.
    void add(HWND window, HICON icon);
    // Removes the icon when it was added (after the add has been answered).
    void remove();
    bool added() const { return added_; }
    // The tip shown over the icon (cut to what the shell takes); kept for a later add too.
    void setTip(std::u16string_view tip);
    const NOTIFYICONDATAW& data() const { return data_; }

private:
    void WaitForAdd();

    NOTIFYICONDATAW data_{};
    bool added_ = false;
    std::thread adding_;
};

// Shows the owner-drawn tray menu at the pointer and returns the chosen command (0 for none).
UINT TrackTrayMenu(HWND owner);

}  // namespace q350::app
