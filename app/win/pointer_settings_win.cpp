#include "app/win/pointer_settings_win.h"

#include "app/pointer_settings.h"

namespace q350::app {

namespace {
constexpr UINT kStoreAndBroadcast = SPIF_UPDATEINIFILE | SPIF_SENDCHANGE;  // 3
}

void WinPointerSettingsApplier::apply(const PointerSettingsFields& fields) {
    PointerWrites w = ComputePointerWrites(fields);
    auto notify = [this](WPARAM code, LPARAM lp) {
        if (notify_) {
            SendMessageW(notify_, kWmSettingChange, code, lp);
        }
    };
    SystemParametersInfoW(kSpiSetMouse, 0, w.mouse, kStoreAndBroadcast);
    notify(kSpiSetMouse, reinterpret_cast<LPARAM>(w.mouse));
    // The speed travels in the pointer argument itself. Windows ignores the first argument here;
    // Wine reads the speed from it, so it carries the same value.
    SystemParametersInfoW(kSpiSetMouseSpeed, w.speed,
                          reinterpret_cast<PVOID>(static_cast<UINT_PTR>(w.speed)),
                          kStoreAndBroadcast);
    notify(kSpiSetMouseSpeed, 0);
    SystemParametersInfoW(kSpiSetDoubleClickTime, w.doubleClickMs, nullptr, kStoreAndBroadcast);
    notify(kSpiSetDoubleClickTime, 0);
    SystemParametersInfoW(kSpiSetWheelScrollLines, w.wheelLines, nullptr, kStoreAndBroadcast);
    notify(kSpiSetWheelScrollLines, 0);
}

}  // namespace q350::app
