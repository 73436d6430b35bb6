#pragma once

// The keyboard-hook library KeyCapture.dll as the program uses it: loaded by name at start-up,
// its four entry points looked up (each null when missing), the hook put in place, and at close
// switched off, removed and the library unloaded. Every caller checks an entry point before use.
#include <windows.h>

#include "base/win/module.h"
#include "outside/KeyCapture/key_capture.h"

namespace q350::app {

inline constexpr wchar_t kKeyCaptureLibrary[] = L"KeyCapture.dll";
inline constexpr wchar_t kKeyCaptureFailedText[] = L"Load KeyCapture.dll failed";
inline constexpr wchar_t kKeyCaptureFailedCaption[] = L"Warning";

struct KeyCaptureEntryPoints {
    keycapture::InstallHookFn installhook = nullptr;
    keycapture::RemoveHookFn removehook = nullptr;
    keycapture::SetHookStatusFn SetHookStatus = nullptr;
    keycapture::SetReciveWindowFn SetReciveWindow = nullptr;
};

// The process-wide entry points (null while the library is not loaded).
KeyCaptureEntryPoints& KeyCapture();

class KeyCaptureLibrary {
public:
    // warn: shows the warning (a standard message box without owner unless replaced).
    using Warn = void (*)();
    // Loads the library, looks the entry points up and calls installhook. Shows the warning once
    // when the library or any entry point is missing; true when the library was loaded.
    bool load(const wchar_t* name = kKeyCaptureLibrary, Warn warn = nullptr);
    // Switches capture off, removes the hook, clears the entry points and unloads the library;
    // only when removehook is known.
    void unload();
    bool loaded() const { return static_cast<bool>(module_); }

private:
    win::LoadedModule module_;
};

// Suspends key capture (SetHookStatus(0, 0)) when the entry point is known.
void SuspendKeyCapture();

}  // namespace q350::app
