#include "pages/led_page_layout.h"

#include <gtest/gtest.h>

#include <vector>

namespace q350::pages {
namespace {

using Hints = std::vector<int>;

Hints At(int x, int y, bool chinese = false) {
    return HintsAt(Point{x, y}, LedHintAreas(LedLayoutOf(chinese)));
}

// ---- swatches and the wheel ----------------------------------------------------------------

TEST(LedPageLayoutTest, SwatchesStandInRowsOfSevenAndTheRightThreeColumnsMoveOnePixelLeft) {
    EXPECT_EQ(SwatchRect(0), (Rect{252, 243, 288, 278}));
    EXPECT_EQ(SwatchRect(3), (Rect{372, 243, 408, 278}));
    EXPECT_EQ(SwatchRect(4), (Rect{411, 243, 447, 278}));
    EXPECT_EQ(SwatchRect(6), (Rect{491, 243, 527, 278}));
    EXPECT_EQ(SwatchRect(7), (Rect{252, 284, 288, 319}));
    EXPECT_EQ(SwatchRect(25), (Rect{411, 366, 447, 401}));
    // Neighbours never overlap, so a click picks one swatch.
    for (int k = 0; k + 1 < kSwatchCount; ++k) {
        if ((k + 1) % kSwatchColumns != 0) {
            EXPECT_LE(SwatchRect(k).right, SwatchRect(k + 1).left) << k;
        }
    }
}

TEST(LedPageLayoutTest, TheWheelIsTheEllipseInItsBoxNotTheBoxCorners) {
    EXPECT_TRUE(OnWheel({840, 292}));   // centre
    EXPECT_TRUE(OnWheel({792, 292}));   // left rim
    EXPECT_TRUE(OnWheel({840, 245}));   // top rim
    EXPECT_TRUE(OnWheel({888, 292}));   // right rim
    EXPECT_FALSE(OnWheel({790, 292}));  // just outside the box
    EXPECT_FALSE(OnWheel({840, 342}));
    EXPECT_FALSE(OnWheel({792, 245}));  // box corners lie outside the ellipse
    EXPECT_FALSE(OnWheel({888, 340}));
    EXPECT_FALSE(OnWheel({800, 252}));
}

// ---- hints ---------------------------------------------------------------------------------

TEST(LedPageLayoutTest, TheHelpBandAloneAndTheColourSlidersInsideItBothGiveTheirHint) {
    EXPECT_EQ(At(860, 231), (Hints{kHintOwnColour}));  // band, no control
    EXPECT_EQ(At(700, 240), (Hints{27, 27}));          // red slider, then the band
    EXPECT_EQ(At(700, 287), (Hints{27}));              // green slider below the band
    EXPECT_EQ(At(270, 215), (Hints{kHintOwnColour}));  // current colour
    EXPECT_EQ(At(600, 200), (Hints{}));                // empty surface
}

TEST(LedPageLayoutTest, ElementsAnswerOnTheirOnePixelMarginInTheirLayoutOnly) {
    EXPECT_EQ(At(25, 60), (Hints{70}));   // left margin of zone 0
    EXPECT_EQ(At(142, 60), (Hints{70}));  // right margin
    EXPECT_EQ(At(24, 60), (Hints{}));
    EXPECT_EQ(At(100, 120), (Hints{71}));
    EXPECT_EQ(At(300, 35), (Hints{72}));
    EXPECT_EQ(At(400, 35), (Hints{73}));
    EXPECT_EQ(At(700, 146), (Hints{74}));
    EXPECT_EQ(At(700, 114), (Hints{75}));
    EXPECT_EQ(At(850, 430), (Hints{25}));
    EXPECT_EQ(At(300, 260), (Hints{kHintSwatch}));
    EXPECT_EQ(At(800, 80), (Hints{28}));
    EXPECT_EQ(At(300, 148), (Hints{29}));
    EXPECT_EQ(At(600, 80), (Hints{31}));
    EXPECT_EQ(At(300, 80), (Hints{32}));
    // The Chinese layout's own places.
    EXPECT_EQ(At(800, 80, true), (Hints{}));
    EXPECT_EQ(At(700, 80, true), (Hints{28}));
    EXPECT_EQ(At(230, 40, true), (Hints{72}));
    EXPECT_EQ(At(300, 40, true), (Hints{73}));
    EXPECT_EQ(At(100, 70, true), (Hints{70}));
    EXPECT_EQ(At(600, 146, true), (Hints{74}));
}

TEST(LedPageLayoutTest, HintsComeInTheOrderOfTheElementTable) {
    const std::vector<HintArea> areas = LedHintAreas(kLedLayoutOther);
    ASSERT_EQ(areas.size(), 2u + 2 + 2 + 3 + 26 + 1 + 3 + 1 + 5);
    EXPECT_EQ(areas.front().hint, 70);
    EXPECT_EQ(areas[4].hint, 74);
    EXPECT_EQ(areas[6].hint, 23);
    EXPECT_EQ(areas[9].hint, 26);
    // Red, blue, green: the blue slider comes before the green one.
    EXPECT_EQ(areas[36].rect, kLedLayoutOther.rgbSliders[0]);
    EXPECT_EQ(areas[37].rect, kLedLayoutOther.rgbSliders[2]);
    EXPECT_EQ(areas[38].rect, kLedLayoutOther.rgbSliders[1]);
    EXPECT_EQ(areas[39].rect, kHelpBand);
    EXPECT_EQ(areas.back().hint, 32);
}

}  // namespace
}  // namespace q350::pages
