#include "app/main_layout.h"

#include <gtest/gtest.h>

#include <memory>

#include "base/utf.h"
#include "config/profile_data.h"
#include "lang/language_table.h"

namespace q350::app {
namespace {

using lang::StringId;

TEST(PageTabs, IndexOrderDiffersFromTabOrder) {
    // Tab 4 (statistics) is index 2 and tab 3 (macros) index 3.
    EXPECT_EQ(PageIndexOfTab(0), static_cast<int>(Page::MouseSettings));
    EXPECT_EQ(PageIndexOfTab(1), static_cast<int>(Page::Lighting));
    EXPECT_EQ(PageIndexOfTab(2), static_cast<int>(Page::Macros));
    EXPECT_EQ(PageIndexOfTab(3), static_cast<int>(Page::Statistics));
    EXPECT_EQ(PageIndexOfTab(4), static_cast<int>(Page::Support));
    for (int tab = 0; tab < kPageCount; ++tab) {
        EXPECT_EQ(TabOfPageIndex(PageIndexOfTab(tab)), tab);
    }
    EXPECT_EQ(PageIndexOfTab(5), -1);
    EXPECT_EQ(TabOfPageIndex(-1), -1);
    // Only the two setting pages are refreshed from the profile by their tabs.
    EXPECT_TRUE(TabRefreshesPages(0));
    EXPECT_TRUE(TabRefreshesPages(1));
    EXPECT_FALSE(TabRefreshesPages(2));
    EXPECT_FALSE(TabRefreshesPages(4));
}

TEST(Geometry, BoxesMenuAndCentring) {
    const Rect apply = BoundingBox(kApplyButtonShape);
    EXPECT_EQ(apply.left, 799);
    EXPECT_EQ(apply.top, 589);
    EXPECT_EQ(apply.right, 943);
    EXPECT_EQ(apply.bottom, 635);
    // Neighbouring profile tabs overlap in their boxes but not in their first points.
    EXPECT_LT(BoundingBox(kProfileTabShapes[1]).left, BoundingBox(kProfileTabShapes[0]).right);

    const Rect menu = LanguageMenuRect(Rect{100, 700, 142, 718});
    EXPECT_EQ(menu.left, 96);
    EXPECT_EQ(menu.top, 718 - 287);
    EXPECT_EQ(menu.right, 142);
    EXPECT_EQ(menu.bottom, 718);

    const Point centred = CentredOrigin(1025, 700, 960, 650);
    EXPECT_EQ(centred.x, 32);  // integer division drops the half pixel
    EXPECT_EQ(centred.y, 25);
    // A screen smaller than the window puts the window partly off screen, not at (0, 0).
    EXPECT_EQ(CentredOrigin(800, 600, 960, 650).x, -80);
}

TEST(StatusHints, PointerOnTheOnePixelMarginShowsTheHint) {
    const HintArea areas[] = {{Rect{10, 10, 20, 20}, 0}, {Rect{30, 10, 40, 20}, 5}};
    EXPECT_EQ(HintAt({15, 15}, areas), 0);
    EXPECT_EQ(HintAt({9, 9}, areas), 0);    // margin, top-left
    EXPECT_EQ(HintAt({20, 20}, areas), 0);  // margin, bottom-right
    EXPECT_FALSE(HintAt({21, 15}, areas).has_value());
    EXPECT_FALSE(HintAt({8, 15}, areas).has_value());
    EXPECT_EQ(HintAt({29, 15}, areas), 5);
    // Overlapping boxes: the first in order wins.
    const HintArea overlapping[] = {{Rect{0, 0, 10, 10}, 3}, {Rect{5, 0, 15, 10}, 4}};
    EXPECT_EQ(HintAt({7, 5}, overlapping), 3);
}

TEST(StatusHints, FixedIdsAndGaps) {
    EXPECT_EQ(HintStringId(0), StringId::str_profile1);
    EXPECT_EQ(HintStringId(4), StringId::str_profile5);
    EXPECT_EQ(HintStringId(5), StringId::str_ok);
    EXPECT_EQ(HintStringId(8), StringId::str_macro_manager);
    EXPECT_EQ(HintStringId(10), StringId::str_about);
    EXPECT_EQ(HintStringId(24), StringId::str_mode_MOBA);
    EXPECT_EQ(HintStringId(25), StringId::str_mode_FPS);
    EXPECT_EQ(HintStringId(50), StringId::str_defaultname);
    EXPECT_EQ(HintStringId(91), StringId::str_exportFile);
    // Label hints and the ids without text have no string.
    for (int hint : {16, 22, 51, 57, 58, 59, 66, 76, 82, 99, 100, -1}) {
        EXPECT_FALSE(HintStringId(hint).has_value()) << hint;
    }
}

class HintTextTest : public ::testing::Test {
protected:
    void SetUp() override {
        saved = lang::TheLanguage().table;
        lang::TheLanguage().table.set(StringId::str_ok, u"Apply it");
        profile = std::make_unique<ProfileData>();
        BuildDefaults(*profile, false);
    }
    void TearDown() override { lang::TheLanguage().table = saved; }
    lang::LanguageTable saved;
    std::unique_ptr<ProfileData> profile;
};

TEST_F(HintTextTest, TableTextsLabelsAndEmpty) {
    EXPECT_EQ(HintText(5, profile.get(), 0, false), u"Apply it");
    EXPECT_EQ(HintText(99, profile.get(), 0, false), u"");
    EXPECT_EQ(HintText(77, profile.get(), 0, false), u"");

    SetField(profile->buttons[1][0].label, kTextChars, u"Fire!");
    SetField(profile->buttons[1][13].label, kTextChars, u"Last one");
    EXPECT_EQ(HintText(16, profile.get(), 1, false), u"Fire!");
    EXPECT_EQ(HintText(57, profile.get(), 1, false), u"Last one");
    // Another mode's label is not shown.
    EXPECT_NE(HintText(16, profile.get(), 0, false), u"Fire!");
    // No profile or a mode out of range gives no text rather than a wild read.
    EXPECT_EQ(HintText(16, nullptr, 0, false), u"");
    EXPECT_EQ(HintText(16, profile.get(), 3, false), u"");
}

TEST_F(HintTextTest, DefaultNameIsTranslatedAndWrittenBack) {
    BuildDefaults(*profile, true);  // Chinese default names
    const std::u16string chineseName = FieldText(profile->buttons[0][0].label, kTextChars);
    const std::u16string shown = HintText(16, profile.get(), 0, false);
    EXPECT_NE(shown, chineseName);
    EXPECT_FALSE(shown.empty());
    EXPECT_EQ(FieldText(profile->buttons[0][0].label, kTextChars), shown);
    // And back again when the language turns Chinese.
    EXPECT_EQ(HintText(16, profile.get(), 0, true), chineseName);
}

}  // namespace
}  // namespace q350::app
