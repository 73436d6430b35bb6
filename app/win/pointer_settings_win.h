#pragma once

#include <windows.h>

#include "base/pointer_settings.h"

namespace q350::app {

// Writes a mode's pointer settings into the user's Windows settings (stored and broadcast), each
// followed by a setting-change message sent to the notify window. Failed writes are ignored and
// do not stop the following ones.
class WinPointerSettingsApplier final : public PointerSettingsApplier {
public:
    explicit WinPointerSettingsApplier(HWND notifyWindow) : notify_(notifyWindow) {}
    void apply(const PointerSettingsFields& fields) override;

private:
    HWND notify_;
};

}  // namespace q350::app
