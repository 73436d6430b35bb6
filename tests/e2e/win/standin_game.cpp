// A stand-in for a game in the whole-program tests: a window of its own program that comes to the
// front when it starts and ends when it is closed (or after the seconds given, 60 by default).
#include <windows.h>

#include <cwchar>

namespace {

LRESULT CALLBACK GameProc(HWND window, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(window, msg, wp, lp);
}

}  // namespace

extern "C" int wmain(int argc, wchar_t** argv);

int wmain(int argc, wchar_t** argv) {
    const UINT seconds = argc >= 2 ? static_cast<UINT>(_wtoi(argv[1])) : 60;
    WNDCLASSW wc{};
    wc.lpfnWndProc = GameProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    wc.lpszClassName = L"StandInGame";
    RegisterClassW(&wc);
    const HWND window = CreateWindowExW(0, L"StandInGame", L"Stand-in Game", WS_POPUP | WS_VISIBLE,
                                        0, 0, 640, 480, nullptr, nullptr, wc.hInstance, nullptr);
    if (window == nullptr) {
        return 1;
    }
    SetForegroundWindow(window);
    SetTimer(window, 1, seconds * 1000, [](HWND w, UINT, UINT_PTR, DWORD) { DestroyWindow(w); });
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        DispatchMessageW(&msg);
    }
    return 0;
}
