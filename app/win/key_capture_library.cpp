#include "app/win/key_capture_library.h"

namespace q350::app {

namespace {
void ShowWarning() {
    MessageBoxW(nullptr, kKeyCaptureFailedText, kKeyCaptureFailedCaption, MB_OK);
}
}  // namespace

KeyCaptureEntryPoints& KeyCapture() {
    static KeyCaptureEntryPoints entries;
    return entries;
}

bool KeyCaptureLibrary::load(const wchar_t* name, Warn warn) {
    if (warn == nullptr) {
        warn = ShowWarning;
    }
    KeyCaptureEntryPoints& k = KeyCapture();
    module_ = win::LoadedModule(name);
    if (!module_) {
        warn();
        k.installhook = nullptr;
        k.removehook = nullptr;
        k.SetHookStatus = nullptr;
        return false;
    }
    k.installhook = module_.proc<keycapture::InstallHookFn>("installhook");
    k.removehook = module_.proc<keycapture::RemoveHookFn>("removehook");
    k.SetHookStatus = module_.proc<keycapture::SetHookStatusFn>("SetHookStatus");
    k.SetReciveWindow = module_.proc<keycapture::SetReciveWindowFn>("SetReciveWindow");
    if (!k.installhook || !k.removehook || !k.SetHookStatus || !k.SetReciveWindow) {
        warn();
    }
    return true;
}

bool KeyCaptureLibrary::install() {
    KeyCaptureEntryPoints& k = KeyCapture();
    if (!module_ || !k.installhook || installed_) {
        return installed_;
    }
    installed_ = k.installhook() != FALSE;
    return installed_;
}

void KeyCaptureLibrary::unload() {
    KeyCaptureEntryPoints& k = KeyCapture();
    if (!k.removehook) {
        return;
    }
    if (k.SetHookStatus) {
        k.SetHookStatus(0, 0);
    }
    k.removehook();
    installed_ = false;
    k.installhook = nullptr;
    k.removehook = nullptr;
    k.SetHookStatus = nullptr;
    // The receive-window entry dies with the library; nobody may call it any more.
    k.SetReciveWindow = nullptr;
    module_.reset();
}

void SuspendKeyCapture() {
    if (KeyCapture().SetHookStatus) {
        KeyCapture().SetHookStatus(0, 0);
    }
}

}  // namespace q350::app
