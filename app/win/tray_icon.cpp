#include "app/win/tray_icon.h"

#include <algorithm>
#include <cwchar>
#include <iterator>

#include "skin/win/framework/window.h"
#include "skin/win/xp_menu.h"

namespace q350::app {

namespace {
// Message, icon, tip and balloon information.
constexpr UINT kTrayFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP | NIF_INFO;
static_assert(kTrayFlags == 23);
constexpr UINT kBalloonTimeoutMs = 5000;
constexpr wchar_t kTrayTip[] = L"Quorv Q350 Mouse Driver";
constexpr wchar_t kBalloonTitle[] = L"Running";
constexpr wchar_t kBalloonText[] = L"Quorv Q350 Mouse Driver";
}  // namespace

void TrayIcon::add(HWND window, HICON icon) {
    data_ = NOTIFYICONDATAW{};
    data_.cbSize = sizeof(NOTIFYICONDATAW);
    data_.hWnd = window;
    data_.uID = 0;
    data_.uFlags = kTrayFlags;
    data_.uCallbackMessage = kMsgTray;
    data_.hIcon = icon;
    wcsncpy(data_.szTip, kTrayTip, sizeof(data_.szTip) / sizeof(wchar_t) - 1);
    wcsncpy(data_.szInfoTitle, kBalloonTitle, sizeof(data_.szInfoTitle) / sizeof(wchar_t) - 1);
    wcsncpy(data_.szInfo, kBalloonText, sizeof(data_.szInfo) / sizeof(wchar_t) - 1);
    data_.dwInfoFlags = NIIF_INFO;
    data_.uTimeout = kBalloonTimeoutMs;
    WaitForAdd();
    adding_ = std::thread([record = data_]() mutable { Shell_NotifyIconW(NIM_ADD, &record); });
    added_ = true;
}

TrayIcon::~TrayIcon() {
    WaitForAdd();
}

void TrayIcon::WaitForAdd() {
    if (adding_.joinable()) {
        adding_.join();
    }
}

void TrayIcon::setTip(std::u16string_view tip) {
    const std::size_t room = sizeof(data_.szTip) / sizeof(wchar_t) - 1;
    const std::size_t n = tip.size() < room ? tip.size() : room;
    std::fill(std::begin(data_.szTip), std::end(data_.szTip), L'\0');
    std::copy(tip.begin(), tip.begin() + static_cast<std::ptrdiff_t>(n), data_.szTip);
    if (!added_) {
        return;
    }
    WaitForAdd();
    NOTIFYICONDATAW change = data_;
    change.uFlags = NIF_TIP;
    Shell_NotifyIconW(NIM_MODIFY, &change);
}

void TrayIcon::remove() {
    WaitForAdd();
    if (added_) {
        Shell_NotifyIconW(NIM_DELETE, &data_);
        added_ = false;
    }
}

UINT TrackTrayMenu(HWND owner) {
    ui::XPMenuItem config{kTrayConfigIcon, kTrayConfigIcon, L"Config"};
    ui::XPMenuItem exitItem{kTrayExitIcon, kTrayExitIcon, L"Exit"};
    ui::CXPMenu menu;
    menu.AppendItem(kCmdTrayConfig, &config);
    menu.AppendItem(kCmdTrayExit, &exitItem);
    POINT p{};
    GetCursorPos(&p);
    SetForegroundWindow(owner);
    ui::ModalLoop loop;
    return menu.Track(owner, p);
}

}  // namespace q350::app
