// Q350Config.exe entry point. For now the program only shows its (empty) main window.
#include <windows.h>

#include "resource.h"

namespace {

constexpr wchar_t kMainClass[] = L"Q350ConfigMain";
constexpr wchar_t kMainTitle[] = L"Quorv Q350 Gaming Mouse Driver";

LRESULT CALLBACK MainWndProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_DESTROY:
            PostQuitMessage(0);
            return 0;
        default:
            return DefWindowProcW(hwnd, msg, wp, lp);
    }
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int show) {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = MainWndProc;
    wc.hInstance = instance;
    wc.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(IDI_APP));
    wc.hIconSm = wc.hIcon;
    wc.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // IDC_ARROW
    wc.hbrBackground = CreateSolidBrush(RGB(24, 28, 32));
    wc.lpszClassName = kMainClass;
    if (!RegisterClassExW(&wc)) {
        return 1;
    }
    HWND hwnd = CreateWindowExW(0, kMainClass, kMainTitle, WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU |
                                    WS_MINIMIZEBOX, CW_USEDEFAULT, CW_USEDEFAULT, 860, 640,
                                nullptr, nullptr, instance, nullptr);
    if (!hwnd) {
        return 1;
    }
    ShowWindow(hwnd, show);
    UpdateWindow(hwnd);
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return static_cast<int>(msg.wParam);
}
