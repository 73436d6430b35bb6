#include "skin/looks.h"

#include <gtest/gtest.h>

#include <set>

namespace q350::skin {
namespace {

TEST(BitmapBtnLooks, CheckedModeWinsOverHoverAndPress) {
    const CaptionColours c;
    BitmapBtnState s;
    s.checkMode = true;
    s.checked = true;
    s.hover = true;
    EXPECT_EQ(BitmapBtnLook(s, c), (LookChoice{Look::Down, c.down}));
    s.disabled = true;
    EXPECT_EQ(BitmapBtnLook(s, c), (LookChoice{Look::Disabled, c.down}));
    // Check mode, not checked: a held press shows the over picture, not the down one.
    s = {};
    s.checkMode = true;
    s.pressed = true;
    s.hover = true;
    EXPECT_EQ(BitmapBtnLook(s, c).look, Look::Over);
}

TEST(BitmapBtnLooks, PlainButtonStates) {
    const CaptionColours c{1, 2, 3};
    BitmapBtnState s;
    EXPECT_EQ(BitmapBtnLook(s, c), (LookChoice{Look::Normal, 1}));
    s.hover = true;
    EXPECT_EQ(BitmapBtnLook(s, c), (LookChoice{Look::Over, 2}));
    s.hoverEnabled = false;
    EXPECT_EQ(BitmapBtnLook(s, c), (LookChoice{Look::Normal, 1}));
    s.pressed = true;
    EXPECT_EQ(BitmapBtnLook(s, c), (LookChoice{Look::Down, 3}));
    s = {};
    s.disabled = true;
    EXPECT_EQ(BitmapBtnLook(s, c), (LookChoice{Look::Disabled, kTextDisabled}));
}

TEST(IrrButtonLooks, SelectionModeAndDisabled) {
    const CaptionColours c{1, 2, 3};
    IrrButtonState s;
    s.selectionMode = true;
    s.selected = true;
    s.disabled = true;
    EXPECT_EQ(IrrButtonLook(s, c), (LookChoice{Look::Down, 3}));
    s.selectionMode = false;  // "selected" no longer counts: disabled look, normal colour
    EXPECT_EQ(IrrButtonLook(s, c), (LookChoice{Look::Disabled, 1}));
    s = {};
    s.pressed = true;
    s.hover = true;
    EXPECT_EQ(IrrButtonLook(s, c).look, Look::Down);
    s.pressed = false;
    EXPECT_EQ(IrrButtonLook(s, c), (LookChoice{Look::Over, 2}));
}

TEST(ColorBtnLooks, FrameColourPriority) {
    EXPECT_EQ(ColorBtnFrame(true, true, true), Rgb(57, 56, 57));
    EXPECT_EQ(ColorBtnFrame(false, true, true), Rgb(211, 24, 20));
    EXPECT_EQ(ColorBtnFrame(false, false, true), Rgb(232, 190, 28));
    EXPECT_EQ(ColorBtnFrame(false, false, false), Rgb(49, 52, 57));
    EXPECT_EQ(kTextDownDefault, 0x051D26u);
    EXPECT_EQ(kTextNormalDefault, 0xC8BDBDu);
}

TEST(InfoBox, FormsUseTheirOwnSheetsAndButtons) {
    const InfoBoxLayout q = InfoLayout(InfoForm::Question);
    EXPECT_EQ(q.normalSheet, 133);
    EXPECT_EQ(q.downSheet, 131);
    ASSERT_TRUE(q.cancel.has_value());
    EXPECT_EQ(*q.cancel, (Rect{245, 127, 311, 159}));
    const InfoBoxLayout n = InfoLayout(InfoForm::Notice);
    EXPECT_EQ(n.overSheet, 136);
    EXPECT_FALSE(n.cancel.has_value());
    EXPECT_EQ(n.ok, (Rect{240, 127, 306, 159}));
}

TEST(InfoBox, CountdownCaptionsAndFifthTickCloses) {
    InfoCountdown cd;
    EXPECT_EQ(cd.Start(), u"OK (5s)");
    const char16_t* expected[] = {u"OK (4)", u"OK (3)", u"OK (2)", u"OK (1)"};
    for (const char16_t* caption : expected) {
        const auto t = cd.OnTick();
        EXPECT_FALSE(t.close);
        EXPECT_EQ(t.caption, caption);
    }
    const auto last = cd.OnTick();
    EXPECT_TRUE(last.close);
    EXPECT_EQ(last.caption, u"OK (0)");
}

TEST(DigitsLimit, OutOfRangeTextIsReplaced) {
    EXPECT_EQ(LimitDigitsText(u"300", 0, 255), u"255");
    EXPECT_EQ(LimitDigitsText(u"0", 1, 255), u"1");
    EXPECT_EQ(LimitDigitsText(u"", 1, 255), u"1");
    EXPECT_FALSE(LimitDigitsText(u"255", 0, 255).has_value());
    EXPECT_FALSE(LimitDigitsText(u"", 0, 255).has_value());
    // Far beyond 32 bits: saturates and is still limited instead of wrapping into range.
    EXPECT_EQ(LimitDigitsText(u"99999999999999999999", 0, 255), u"255");
    EXPECT_EQ(LimitDigitsText(u"4294967296", 0, 255), u"255");
}

TEST(ListRows, DataPackingAndPictures) {
    EXPECT_EQ(PackRowData(3, 0xABCDEF12u), 0x03CDEF12u);
    EXPECT_EQ(RowKind(PackRowData(4, 7)), 4);
    EXPECT_EQ(RowPictureName(2, true), u"up_select.png");
    EXPECT_EQ(RowPictureName(4, false), u"delay_normal.png");
    EXPECT_TRUE(RowPictureName(1, false).empty());
    EXPECT_EQ(RowTextLeft(0, 0, true), 5);
    EXPECT_EQ(RowTextLeft(0, 1, true), 26);
    EXPECT_EQ(RowTextLeft(0, 3, false), 5);
}

TEST(LanguageMenu, TwelveEntriesInIndexOrder) {
    std::set<int> icons;
    for (std::size_t i = 0; i < kLanguageMenu.size(); ++i) {
        EXPECT_EQ(kLanguageMenu[i].index, static_cast<int>(i) + 1);
        EXPECT_GE(kLanguageMenu[i].iconResource, 168);
        EXPECT_LE(kLanguageMenu[i].iconResource, 180);
        EXPECT_NE(kLanguageMenu[i].iconResource, 173);  // the frame picture, not a flag
        icons.insert(kLanguageMenu[i].iconResource);
    }
    EXPECT_EQ(icons.size(), 11u);  // both Chinese entries share one icon
}

}  // namespace
}  // namespace q350::skin
