#include "pages/performance_model.h"

#include <gtest/gtest.h>

#include "tests/pages/fake_page_host.h"

namespace q350::pages {
namespace {

class PerformanceModelTest : public ::testing::Test {
protected:
    ProfileData& p() { return host.profile(); }
    FakePageHost host;
    PerformanceModel model{host};
};

// ---- presets ----------------------------------------------------------------------------------

TEST_F(PerformanceModelTest, TickedPresetsFillTheFirstSlotsInListOrder) {
    PerformanceView v = model.show();
    // Defaults of the office mode: 1000, 1600, 1800, 2400.
    EXPECT_EQ(v.presetTicked, (std::array<bool, 10>{false, false, true, true, true, true}));
    for (int j : {2, 3, 4}) {
        ASSERT_TRUE(model.clickPreset(j));
    }
    EXPECT_FALSE(model.clickPreset(5));  // the last ticked preset stays
    ASSERT_TRUE(model.clickPreset(1));   // 800
    ASSERT_TRUE(model.clickPreset(6));   // 3200
    ASSERT_TRUE(model.clickPreset(5));   // 2400 off
    EXPECT_EQ(p().dpiX[0][0], 8);
    EXPECT_EQ(p().dpiX[0][1], 32);
    EXPECT_EQ(p().dpiY[0][1], 32);
    EXPECT_EQ(p().dpiTopLevel[0], 1);
    // Another mode and back: exactly these two are ticked.
    host.setCurrentMode(2);
    model.show();
    host.setCurrentMode(0);
    v = model.show();
    EXPECT_EQ(v.presetTicked, (std::array<bool, 10>{false, true, false, false, false, false, true}));
}

TEST_F(PerformanceModelTest, AFifthPresetIsRefused) {
    model.show();
    EXPECT_FALSE(model.clickPreset(9));
    EXPECT_EQ(p().dpiTopLevel[0], 3);
    EXPECT_FALSE(model.clickPreset(10));
    EXPECT_FALSE(model.clickPreset(-1));
}

TEST_F(PerformanceModelTest, AStoredTopLevelOutsideTheLevelsReadsNoFurtherSlot) {
    p().dpiTopLevel[0] = 19;  // from a file written elsewhere
    p().dpiX[0][6] = 82;      // a slot beyond the levels
    PerformanceView v = model.show();
    EXPECT_FALSE(v.presetTicked[9]);
    p().dpiTopLevel[0] = -1;
    v = model.show();
    EXPECT_TRUE(v.presetTicked[2]);  // slot 0 still counts
    EXPECT_EQ(PerformanceModel::BoundedTopLevel(-1), 0);
    EXPECT_EQ(PerformanceModel::BoundedTopLevel(7), 3);
}

// ---- the slider form ----------------------------------------------------------------------------

TEST_F(PerformanceModelTest, LevelBoxesKeepOneLevelAndCountTheTopLevel) {
    model.chooseForm(false);
    EXPECT_EQ(p().dpiListMode[0], 0);
    ASSERT_TRUE(model.clickLevel(1));
    ASSERT_TRUE(model.clickLevel(2));
    ASSERT_TRUE(model.clickLevel(3));
    EXPECT_EQ(p().dpiTopLevel[0], 0);
    EXPECT_FALSE(model.clickLevel(0));  // the last level stays on
    EXPECT_EQ(p().dpiLevelOn[0][0], 1);
    ASSERT_TRUE(model.clickLevel(3));
    EXPECT_EQ(p().dpiLevelOn[0][3], 1);
    EXPECT_EQ(p().dpiTopLevel[0], 1);
    // The preset slots are the preset form's: untouched here.
    EXPECT_EQ(p().dpiX[0][0], 10);
}

TEST_F(PerformanceModelTest, LinkedSlidersMoveTogetherSeparateOnesAlone) {
    EXPECT_TRUE(model.moveDpi(1, true, 16));
    EXPECT_EQ(p().dpiX[0][11], 16);
    EXPECT_EQ(p().dpiY[0][11], 16);
    model.clickXy();
    EXPECT_FALSE(model.moveDpi(1, true, 40));
    EXPECT_EQ(p().dpiX[0][11], 40);
    EXPECT_EQ(p().dpiY[0][11], 16);
    EXPECT_FALSE(model.moveDpi(1, false, 90));  // beyond the range
    EXPECT_EQ(p().dpiY[0][11], 82);
}

// ---- report rate, lift-off, pointer ---------------------------------------------------------------

TEST_F(PerformanceModelTest, ReportRateButtonsStoreTheirCodesAndOthersShowNone) {
    model.clickReportRate(2);
    EXPECT_EQ(p().reportRate[0], 2);
    EXPECT_EQ(model.show().reportRateButton, 2);
    p().reportRate[0] = 3;
    EXPECT_EQ(model.show().reportRateButton, -1);
}

TEST_F(PerformanceModelTest, LiftStepsGoDownToZeroAndUpToThirty) {
    model.show();
    EXPECT_EQ(model.liftValue(), 16);
    model.stepLift(-1);
    EXPECT_EQ(p().liftHeight[0], 15);
    for (int i = 0; i < 40; ++i) model.stepLift(-1);
    EXPECT_EQ(p().liftHeight[0], 0);
    for (int i = 0; i < 40; ++i) model.stepLift(1);
    EXPECT_EQ(p().liftHeight[0], 30);
    model.typedLift(std::nullopt);  // a box that cannot be read changes nothing
    EXPECT_EQ(p().liftHeight[0], 30);
    model.typedLift(7);
    EXPECT_EQ(p().liftHeight[0], 7);
}

TEST_F(PerformanceModelTest, OneScreenKeepsTheLinesNumberForLater) {
    model.show();
    model.stepLines(1);
    EXPECT_EQ(p().scrollLines[0], 4);
    model.chooseScreen();
    EXPECT_EQ(p().scrollLines[0], kScrollOneScreen);
    PerformanceView v = model.show();
    EXPECT_TRUE(v.screenChoice);
    EXPECT_EQ(v.lines, 4);
    model.typedLines(std::nullopt);
    EXPECT_EQ(p().scrollLines[0], kScrollOneScreen);
    model.chooseLines();
    EXPECT_EQ(p().scrollLines[0], 4);
    for (int i = 0; i < 20; ++i) model.stepLines(1);
    EXPECT_EQ(p().scrollLines[0], 10);
}

TEST_F(PerformanceModelTest, PointerSettingsStayInTheirRanges) {
    model.movePointerSpeed(25);
    EXPECT_EQ(p().pointerSpeed[0], 20);
    model.moveDoubleClick(0);
    EXPECT_EQ(p().doubleClickSpeed[0], 1);
    model.clickPrecision();
    EXPECT_EQ(p().enhancePrecision[0], 0);
    EXPECT_FALSE(model.show().precision);
    // Each mode keeps its own.
    host.setCurrentMode(1);
    EXPECT_EQ(p().pointerSpeed[1], 10);
    EXPECT_TRUE(model.show().precision);
}

}  // namespace
}  // namespace q350::pages
