// bare_window.exe: the smallest Win32 program with one visible top-level window, started beside
// Q350Config.exe by the start-up benchmark as the floor that Wine itself sets.
#include <windows.h>

namespace {

LRESULT CALLBACK WndProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(hwnd, msg, wp, lp);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = WndProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    wc.lpszClassName = L"Q350BareWindow";
    if (!RegisterClassExW(&wc)) {
        return 1;
    }
    HWND hwnd = CreateWindowExW(0, wc.lpszClassName, L"Q350 Bare Window", WS_POPUP | WS_VISIBLE,
                                100, 100, 960, 650, nullptr, nullptr, instance, nullptr);
    if (hwnd == nullptr) {
        return 1;
    }
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        DispatchMessageW(&msg);
    }
    return 0;
}
