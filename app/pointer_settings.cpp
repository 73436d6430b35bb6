#include "app/pointer_settings.h"

#include <algorithm>

namespace q350::app {

namespace {
constexpr std::int32_t kMinSpeed = 1;
constexpr std::int32_t kMaxSpeed = 20;
constexpr std::int32_t kMaxDoubleClickSteps = 10;
constexpr std::int32_t kDoubleClickBaseMs = 900;
constexpr std::int32_t kDoubleClickStepMs = 70;
constexpr std::int32_t kMaxWheelLines = 100;
// Thresholds and acceleration with enhanced precision on.
constexpr std::int32_t kPrecisionOn[3] = {6, 10, 1};
}  // namespace

PointerWrites ComputePointerWrites(const PointerSettingsFields& f) {
    PointerWrites w;
    for (int i = 0; i < 3; ++i) {
        w.mouse[i] = f.enhancePrecision != 0 ? kPrecisionOn[i] : 0;
    }
    w.speed = static_cast<std::uint32_t>(std::clamp(f.pointerSpeed, kMinSpeed, kMaxSpeed));
    const std::int32_t steps = std::clamp(f.doubleClickSpeed, 0, kMaxDoubleClickSteps);
    w.doubleClickMs = static_cast<std::uint32_t>(kDoubleClickBaseMs - kDoubleClickStepMs * steps);
    w.wheelLines = f.scrollLines < 0
                       ? kWheelPageScroll
                       : static_cast<std::uint32_t>(std::min(f.scrollLines, kMaxWheelLines));
    return w;
}

}  // namespace q350::app
