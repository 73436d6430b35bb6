// e2e_input: drives a running program's windows the way a person's pointer would, by posting the
// pointer messages to the control under a point. Used by the whole-program test scripts, where
// real pointer input through the X server is not reliable on Wine's windows.
//
//   e2e_input wait TITLE SECONDS                 a visible top-level window with the title
//   e2e_input gone TITLE SECONDS                 no visible top-level window with the title
//   e2e_input click TITLE X Y                    press and release at a client point of it
//   e2e_input wait-owned TITLE CLASS SECONDS     a visible window of the class owned by it
//   e2e_input click-owned TITLE CLASS X Y        press and release at a client point of that one
//   e2e_input gone-owned TITLE CLASS SECONDS     no visible window of the class owned by it
//   e2e_input wheel TITLE X Y NOTCHES            turns the wheel over a client point of it (notches
//                                                up when positive, down when negative)
//   e2e_input post TITLE MESSAGE WPARAM LPARAM    posts a message to it (as the shell posts the
//                                                notification icon's mouse messages)
//   e2e_input menu-keys SECONDS KEY...           once a popup menu is open, presses the keys in
//                                                it: up, down, enter or escape
//
// Exit status 0 on success, 1 when the window or control is not there in time, 2 for bad usage.
#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <string>

namespace {

constexpr DWORD kPollMs = 100;
constexpr DWORD kPressMs = 80;
constexpr DWORD kSettleMs = 300;

HWND FindVisibleTopLevel(const wchar_t* title) {
    HWND found = FindWindowW(nullptr, title);
    return (found != nullptr && IsWindowVisible(found)) ? found : nullptr;
}

struct OwnedSearch {
    HWND owner;
    const wchar_t* className;
    HWND found;
};

BOOL CALLBACK MatchOwned(HWND hwnd, LPARAM lp) {
    auto* s = reinterpret_cast<OwnedSearch*>(lp);
    wchar_t name[128] = {};
    GetClassNameW(hwnd, name, 128);
    if (IsWindowVisible(hwnd) && GetWindow(hwnd, GW_OWNER) == s->owner &&
        wcscmp(name, s->className) == 0) {
        s->found = hwnd;
        return FALSE;
    }
    return TRUE;
}

HWND FindOwned(const wchar_t* title, const wchar_t* className) {
    const HWND owner = FindVisibleTopLevel(title);
    if (owner == nullptr) {
        return nullptr;
    }
    OwnedSearch s{owner, className, nullptr};
    EnumWindows(MatchOwned, reinterpret_cast<LPARAM>(&s));
    return s.found;
}

template <typename Find>
HWND WaitFor(Find find, double seconds) {
    const ULONGLONG deadline = GetTickCount64() + static_cast<ULONGLONG>(seconds * 1000.0);
    for (;;) {
        if (const HWND hwnd = find()) {
            return hwnd;
        }
        if (GetTickCount64() >= deadline) {
            return nullptr;
        }
        Sleep(kPollMs);
    }
}

// Whether a screen point falls on a window: inside its rectangle and, when it has a window
// region (the irregular buttons), inside that too.
bool Hits(HWND hwnd, POINT screen) {
    RECT r{};
    if (!IsWindowVisible(hwnd) || !GetWindowRect(hwnd, &r) || !PtInRect(&r, screen)) {
        return false;
    }
    HRGN region = CreateRectRgn(0, 0, 0, 0);
    const int kind = GetWindowRgn(hwnd, region);
    const bool inside =
        kind == ERROR || PtInRegion(region, screen.x - r.left, screen.y - r.top) != FALSE;
    DeleteObject(region);
    return inside;
}

// The deepest visible child under the point, topmost first at each level; the window itself
// when no child is there.
HWND ControlAt(HWND top, POINT screen) {
    HWND current = top;
    for (;;) {
        HWND next = nullptr;
        for (HWND child = GetWindow(current, GW_CHILD); child != nullptr;
             child = GetWindow(child, GW_HWNDNEXT)) {
            if (Hits(child, screen)) {
                next = child;
                break;
            }
        }
        if (next == nullptr) {
            return current;
        }
        current = next;
    }
}

bool ClickAt(HWND top, int x, int y) {
    POINT screen{x, y};
    if (!ClientToScreen(top, &screen)) {
        return false;
    }
    const HWND control = ControlAt(top, screen);
    POINT local = screen;
    ScreenToClient(control, &local);
    const LPARAM at = MAKELPARAM(local.x, local.y);
    // The pointer goes there too, so code that asks where it is agrees with the messages.
    SetCursorPos(screen.x, screen.y);
    PostMessageW(control, WM_MOUSEMOVE, 0, at);
    Sleep(kPressMs);
    PostMessageW(control, WM_LBUTTONDOWN, MK_LBUTTON, at);
    Sleep(kPressMs);
    PostMessageW(control, WM_LBUTTONUP, 0, at);
    Sleep(kSettleMs);
    wchar_t name[128] = {};
    GetClassNameW(control, name, 128);
    std::printf("clicked %ls at %d,%d\n", name, static_cast<int>(local.x),
                static_cast<int>(local.y));
    return true;
}

// Wheel turns as the system delivers them to the control under the pointer, one notch at a time.
bool WheelAt(HWND top, int x, int y, int notches) {
    POINT screen{x, y};
    if (!ClientToScreen(top, &screen)) {
        return false;
    }
    const HWND control = ControlAt(top, screen);
    SetCursorPos(screen.x, screen.y);
    const int step = notches < 0 ? -WHEEL_DELTA : WHEEL_DELTA;
    for (int i = 0; i < (notches < 0 ? -notches : notches); ++i) {
        PostMessageW(control, WM_MOUSEWHEEL, MAKEWPARAM(0, step), MAKELPARAM(screen.x, screen.y));
        Sleep(kPressMs);
    }
    Sleep(kSettleMs);
    return true;
}

// The popup menu window of the system's menus, while one is open.
HWND OpenMenu() {
    const HWND menu = FindWindowW(L"#32768", nullptr);
    return (menu != nullptr && IsWindowVisible(menu)) ? menu : nullptr;
}

UINT KeyOf(const std::wstring& name) {
    if (name == L"up")
        return VK_UP;
    if (name == L"down")
        return VK_DOWN;
    if (name == L"enter")
        return VK_RETURN;
    if (name == L"escape")
        return VK_ESCAPE;
    return 0;
}

int Usage() {
    std::fprintf(stderr,
                 "usage: e2e_input wait TITLE SECONDS | gone TITLE SECONDS | click TITLE X Y |\n"
                 "       wait-owned TITLE CLASS SECONDS | click-owned TITLE CLASS X Y |\n"
                 "       gone-owned TITLE CLASS SECONDS | wheel TITLE X Y NOTCHES |\n"
                 "       post TITLE MESSAGE WPARAM LPARAM | responds TITLE |\n"
                 "       menu-keys SECONDS KEY...\n");
    return 2;
}

}  // namespace

extern "C" int wmain(int argc, wchar_t** argv);

int wmain(int argc, wchar_t** argv) {
    if (argc < 3) {
        return Usage();
    }
    const std::wstring command = argv[1];
    if (command == L"menu-keys" && argc >= 4) {
        const HWND menu = WaitFor(OpenMenu, _wtof(argv[2]));
        if (menu == nullptr) {
            return 1;
        }
        for (int i = 3; i < argc; ++i) {
            const UINT key = KeyOf(argv[i]);
            if (key == 0) {
                return Usage();
            }
            PostMessageW(menu, WM_KEYDOWN, key, 1);
            Sleep(kPressMs);
            PostMessageW(menu, WM_KEYUP, key, 0xC0000001);
            Sleep(kSettleMs);
        }
        return 0;
    }
    const wchar_t* title = argv[2];
    if (command == L"wait" && argc == 4) {
        return WaitFor([&] { return FindVisibleTopLevel(title); }, _wtof(argv[3])) ? 0 : 1;
    }
    if (command == L"gone" && argc == 4) {
        const auto gone = [&]() -> HWND {
            return FindVisibleTopLevel(title) == nullptr ? GetDesktopWindow() : nullptr;
        };
        return WaitFor(gone, _wtof(argv[3])) ? 0 : 1;
    }
    if (command == L"click" && argc == 5) {
        const HWND top = FindVisibleTopLevel(title);
        return (top != nullptr && ClickAt(top, _wtoi(argv[3]), _wtoi(argv[4]))) ? 0 : 1;
    }
    if (command == L"wheel" && argc == 6) {
        const HWND top = FindVisibleTopLevel(title);
        return (top != nullptr && WheelAt(top, _wtoi(argv[3]), _wtoi(argv[4]), _wtoi(argv[5])))
                   ? 0
                   : 1;
    }
    if (command == L"responds" && argc == 3) {
        // The window's thread answers a message within two seconds.
        const HWND top = FindWindowW(nullptr, title);
        DWORD_PTR answer = 0;
        return (top != nullptr && SendMessageTimeoutW(top, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 2000,
                                                      &answer) != 0)
                   ? 0
                   : 1;
    }
    if (command == L"post" && argc == 6) {
        const HWND top = FindWindowW(nullptr, title);
        return (top != nullptr && PostMessageW(top, static_cast<UINT>(_wtoi(argv[3])),
                                               static_cast<WPARAM>(_wtoi(argv[4])),
                                               static_cast<LPARAM>(_wtoi(argv[5]))))
                   ? 0
                   : 1;
    }
    if (argc < 4) {
        return Usage();
    }
    const wchar_t* className = argv[3];
    if (command == L"wait-owned" && argc == 5) {
        return WaitFor([&] { return FindOwned(title, className); }, _wtof(argv[4])) ? 0 : 1;
    }
    if (command == L"click-owned" && argc == 6) {
        const HWND popup = FindOwned(title, className);
        return (popup != nullptr && ClickAt(popup, _wtoi(argv[4]), _wtoi(argv[5]))) ? 0 : 1;
    }
    if (command == L"gone-owned" && argc == 5) {
        const auto gone = [&]() -> HWND {
            return FindOwned(title, className) == nullptr ? GetDesktopWindow() : nullptr;
        };
        return WaitFor(gone, _wtof(argv[4])) ? 0 : 1;
    }
    return Usage();
}
