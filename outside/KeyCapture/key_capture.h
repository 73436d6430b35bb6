#pragma once

// KeyCapture.dll: a system-wide keyboard hook that, while switched on, posts every key press and
// release to one window as message 1034 (wParam = virtual key, lParam = flags; bit 7 set on
// release). The program loads the library by name and looks the functions up by these names.
#include <windows.h>

namespace q350::keycapture {

inline constexpr UINT kKeyMessage = 1034;
inline constexpr LPARAM kReleasedFlag = 0x80;

using InstallHookFn = BOOL(__cdecl*)();
using RemoveHookFn = BOOL(__cdecl*)();
using SetHookStatusFn = void(__cdecl*)(int on, int reserved);
using SetReciveWindowFn = void(__cdecl*)(HWND window);

}  // namespace q350::keycapture

extern "C" {
// Puts the hook in place; no key is delivered until SetHookStatus(1, 0).
__declspec(dllexport) BOOL __cdecl installhook();
// Takes the hook away; the library can then be unloaded.
__declspec(dllexport) BOOL __cdecl removehook();
// (1, 0) delivers keys to the receive window, (0, 0) stops delivering.
__declspec(dllexport) void __cdecl SetHookStatus(int on, int reserved);
// The window that gets message 1034 from now on.
__declspec(dllexport) void __cdecl SetReciveWindow(HWND window);
}
