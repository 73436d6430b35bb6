#include "pages/assign_panels_model.h"

#include <gtest/gtest.h>

#include "tests/pages/fake_page_host.h"

namespace q350::pages {
namespace {

TEST(GameRows, TwentyOneRowsInBothLanguages) {
    EXPECT_EQ(GameRowText(0, false), u"Battlefield 3");
    EXPECT_EQ(GameRowText(kGameRowCustom, false), u"Customisze");
    EXPECT_EQ(GameRowText(kGameRowCustom, true), u"玩家自定义");
    EXPECT_EQ(GameRowText(12, false), u"Dota 2 ");
    EXPECT_EQ(GameRowText(kGameRowCount, false), u"");
    EXPECT_EQ(GameRowText(-1, true), u"");
}

TEST(MacrosOfGame, ListsMacrosInUseWhoseIdNamesTheGame) {
    FakePageHost host;
    MacroLibrary& lib = host.macros();
    PutMacro(lib, 0, 0x15000001, u"Build");
    PutMacro(lib, 4, 0x01000001, u"Battle");
    PutMacro(lib, 7, 0x15000002, u"Rush");
    // Same group, but a free entry: never listed.
    lib.entry(9).id = 0x15000003;
    const auto custom = MacrosOfGame(lib, kGameRowCustom);
    ASSERT_EQ(custom.size(), 2u);
    EXPECT_EQ(custom[0].id, 0x15000001u);
    EXPECT_EQ(custom[1].name, u"Rush");
    const auto first = MacrosOfGame(lib, 0);
    ASSERT_EQ(first.size(), 1u);
    EXPECT_EQ(first[0].name, u"Battle");
    EXPECT_TRUE(MacrosOfGame(lib, 5).empty());
    // An entry marked only by its size counts as well.
    MacroRecord& sized = lib.entry(11);
    sized.size = 108;
    sized.id = 0x06000001;
    EXPECT_EQ(MacrosOfGame(lib, 5).size(), 1u);
}

TEST(MacroSetResult, ASelectedMacroGivesItsIdAndNoneGivesNothing) {
    const PanelResult r = MacroSetResult(0x15000002u);
    EXPECT_EQ(r.kind, kResultMacro);
    EXPECT_EQ(r.value, 0x15000002);
    EXPECT_EQ(MacroSetResult(std::nullopt).value, 0);
}

TEST(AdvancedChoices, WordsCarryTheButtonAndTheAction) {
    AdvancedChoices a(7);
    EXPECT_EQ(a.word(0), 0x07C30004u);  // sound
    EXPECT_EQ(a.word(1), 0x07C20004u);  // program
    EXPECT_EQ(a.word(2), 0x07C40004u);  // file
    EXPECT_EQ(a.word(3), 0x07C50004u);  // folder
    EXPECT_EQ(AdvancedChoices(13).word(1), 0x0DC20004u);
}

TEST(AdvancedChoices, TheChosenRowNeedsAPath) {
    AdvancedChoices a(7);
    EXPECT_EQ(a.result().value, 0);
    a.choose(0);  // browsing for a sound sets the choice even when the dialog is cancelled
    EXPECT_EQ(a.result().value, 0);
    a.setPath(3, u"C:\\Users");
    a.choose(3);
    a.setPath(1, u"C:\\Games\\run.exe");
    a.choose(1);
    const PanelResult r = a.result();
    EXPECT_EQ(r.kind, kResultAdvanced);
    EXPECT_EQ(static_cast<std::uint32_t>(r.value), 0x07C20004u);
    EXPECT_EQ(r.path, u"C:\\Games\\run.exe");
}

TEST(AdvancedChoices, LongPathsAreCutTo259Units) {
    AdvancedChoices a(2);
    a.setPath(2, std::u16string(300, u'p'));
    a.choose(2);
    EXPECT_EQ(a.result().path.size(), kAdvancedPathMax);
    a.choose(9);  // no such row: the choice stays
    EXPECT_EQ(a.chosen(), 2);
}

TEST(BrowseSpecs, EachRowStartsWhereItsFilesLive) {
    EXPECT_EQ(BrowseSpecOf(0).startFolder, u"c:\\Windows\\Media");
    EXPECT_EQ(BrowseSpecOf(0).filter, u"(*.wav*)|*.wav*||");
    EXPECT_EQ(BrowseSpecOf(1).defaultExtension, u".exe");
    EXPECT_EQ(BrowseSpecOf(2).startFolder, u"D:\\");
}

}  // namespace
}  // namespace q350::pages
