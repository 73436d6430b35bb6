#pragma once

// What the pointer settings of a profile mode become in Windows.
#include <cstdint>

#include "base/pointer_settings.h"

namespace q350::app {

// System-parameter codes and the setting-change message.
inline constexpr std::uint32_t kSpiSetMouse = 4;
inline constexpr std::uint32_t kSpiSetDoubleClickTime = 32;
inline constexpr std::uint32_t kSpiSetWheelScrollLines = 105;
inline constexpr std::uint32_t kSpiSetMouseSpeed = 113;
inline constexpr std::uint32_t kWmSettingChange = 26;
// Wheel scroll lines meaning "one screen per notch".
inline constexpr std::uint32_t kWheelPageScroll = 0xFFFFFFFF;

struct PointerWrites {
    std::int32_t mouse[3] = {};        // first threshold, second threshold, acceleration
    std::uint32_t speed = 10;          // 1..20
    std::uint32_t doubleClickMs = 550;
    std::uint32_t wheelLines = 3;
};

// Values taken from a damaged or foreign profile are brought into the ranges the pages produce
// (speed 1..20, double-click steps 0..10, lines 0..100; any negative line count means one screen),
// so Windows is never handed a double-click time that wraps around or a speed it rejects.
PointerWrites ComputePointerWrites(const PointerSettingsFields& fields);

}  // namespace q350::app
