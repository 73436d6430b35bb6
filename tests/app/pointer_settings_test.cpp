#include "app/pointer_settings.h"

#include <gtest/gtest.h>

namespace q350::app {
namespace {

TEST(PointerWrites, DefaultsAndPrecision) {
    const PointerWrites w = ComputePointerWrites(PointerSettingsFields{});
    EXPECT_EQ(w.mouse[0], 6);
    EXPECT_EQ(w.mouse[1], 10);
    EXPECT_EQ(w.mouse[2], 1);
    EXPECT_EQ(w.speed, 10u);
    EXPECT_EQ(w.doubleClickMs, 550u);
    EXPECT_EQ(w.wheelLines, 3u);

    const PointerWrites off = ComputePointerWrites({0, 10, 5, 3});
    EXPECT_EQ(off.mouse[0], 0);
    EXPECT_EQ(off.mouse[1], 0);
    EXPECT_EQ(off.mouse[2], 0);
}

TEST(PointerWrites, DoubleClickTimeAndScreenScrolling) {
    EXPECT_EQ(ComputePointerWrites({1, 10, 0, 3}).doubleClickMs, 900u);
    EXPECT_EQ(ComputePointerWrites({1, 10, 10, 3}).doubleClickMs, 200u);
    EXPECT_EQ(ComputePointerWrites({1, 10, 5, -1}).wheelLines, kWheelPageScroll);
    EXPECT_EQ(ComputePointerWrites({1, 10, 5, 0}).wheelLines, 0u);
}

TEST(PointerWrites, DamagedValuesStayInRange) {
    // 13 steps would give -10 ms, which Windows would take as a huge unsigned time.
    EXPECT_EQ(ComputePointerWrites({1, 10, 13, 3}).doubleClickMs, 200u);
    EXPECT_EQ(ComputePointerWrites({1, 10, -4, 3}).doubleClickMs, 900u);
    EXPECT_EQ(ComputePointerWrites({1, 0, 5, 3}).speed, 1u);
    EXPECT_EQ(ComputePointerWrites({1, 99, 5, 3}).speed, 20u);
    EXPECT_EQ(ComputePointerWrites({1, 10, 5, 5000}).wheelLines, 100u);
    EXPECT_EQ(ComputePointerWrites({1, 10, 5, -7}).wheelLines, kWheelPageScroll);
}

}  // namespace
}  // namespace q350::app
