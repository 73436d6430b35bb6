#pragma once

// The four Windows pointer settings that a profile mode carries. Whoever applies a profile gets
// an applier through this interface; the application shell supplies the one that writes Windows.
#include <cstdint>

namespace q350 {

// One mode's fields, as the profile keeps them.
struct PointerSettingsFields {
    std::int32_t enhancePrecision = 1;  // 1 = pointer acceleration on
    std::int32_t pointerSpeed = 10;     // 1..20
    std::int32_t doubleClickSpeed = 5;  // steps; double-click time = 900 - 70 * steps ms
    std::int32_t scrollLines = 3;       // lines per notch, -1 = one screen per notch
};

class PointerSettingsApplier {
public:
    virtual ~PointerSettingsApplier() = default;
    virtual void apply(const PointerSettingsFields& fields) = 0;
};

}  // namespace q350
