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
    // Loads the library and looks the entry points up. Shows the warning once when the library or
    // any entry point is missing; true when the library was loaded.
    bool load(const wchar_t* name = kKeyCaptureLibrary, Warn warn = nullptr);
    // Puts the hook in place (once). Called by the main window after its start-up search: a
    // system-wide keyboard hook on a thread that sleeps would hold up every key press.
    bool install();
    bool installed() const { return installed_; }
    // Switches capture off, removes the hook, clears the entry points and unloads the library;
    // only when removehook is known.
    void unload();
    bool loaded() const { return static_cast<bool>(module_); }

private:
    win::LoadedModule module_;
    bool installed_ = false;
};

// Suspends key capture (SetHookStatus(0, 0)) when the entry point is known.
void SuspendKeyCapture();

}  // namespace q350::app
