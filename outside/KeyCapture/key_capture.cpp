#include "outside/KeyCapture/key_capture.h"

#include <atomic>

namespace {

HINSTANCE g_module = nullptr;
// The hook procedure runs on the thread that installed it; the setters may run on any thread.
std::atomic<HHOOK> g_hook{nullptr};
std::atomic<HWND> g_receiver{nullptr};
std::atomic<bool> g_delivering{false};

LRESULT CALLBACK LowLevelKeyboardProc(int code, WPARAM wp, LPARAM lp) {
    if (code == HC_ACTION && g_delivering.load()) {
        const HWND receiver = g_receiver.load();
        const auto* info = reinterpret_cast<const KBDLLHOOKSTRUCT*>(lp);
        if (receiver && info) {
            // The low flag byte carries LLKHF_UP in bit 7: set on release, clear on press.
            const bool released = (info->flags & LLKHF_UP) != 0 || wp == WM_KEYUP || wp == WM_SYSKEYUP;
            LPARAM flags = static_cast<LPARAM>(info->flags & 0x7F);
            if (released) {
                flags |= q350::keycapture::kReleasedFlag;
            }
            // Posted, never sent: a slow receiver must not stall the desktop's keyboard.
            PostMessageW(receiver, q350::keycapture::kKeyMessage,
                         static_cast<WPARAM>(info->vkCode & 0xFF), flags);
        }
    }
    // Keys are passed on; capture never swallows them.
    return CallNextHookEx(nullptr, code, wp, lp);
}

}  // namespace

extern "C" {

BOOL __cdecl installhook() {
    if (g_hook.load()) {
        return TRUE;
    }
    HHOOK hook = SetWindowsHookExW(WH_KEYBOARD_LL, LowLevelKeyboardProc, g_module, 0);
    g_hook.store(hook);
    return hook != nullptr;
}

BOOL __cdecl removehook() {
    g_delivering.store(false);
    HHOOK hook = g_hook.exchange(nullptr);
    return hook ? UnhookWindowsHookEx(hook) : TRUE;
}

void __cdecl SetHookStatus(int on, int /*reserved*/) { g_delivering.store(on != 0); }

void __cdecl SetReciveWindow(HWND window) { g_receiver.store(window); }

}  // extern "C"

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID);

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        g_module = instance;
        DisableThreadLibraryCalls(instance);
    }
    return TRUE;
}
