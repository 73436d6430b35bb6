#include "pages/mouse_page_model.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>

#include "base/utf.h"
#include "config/function_catalog.h"
#include "config/key_tables.h"
#include "tests/pages/fake_page_host.h"

namespace q350::pages {
namespace {

std::u16string Label(const ButtonAssignment& b) { return FieldText(b.label, kTextChars); }

PanelResult Basic(std::int32_t code) {
    PanelResult r;
    r.value = code;
    return r;
}

class MousePageModelTest : public ::testing::Test {
protected:
    ButtonAssignment& button(int k) { return host.profile().buttons[host.currentMode()][k]; }
    FakePageHost host;
    MousePageModel model{host};
};

// ---- the click rule ------------------------------------------------------------------------------

TEST_F(MousePageModelTest, TheOnlyClickButtonCannotLoseClickAndTheRecordStaysUntouched) {
    auto before = std::make_unique<ProfileData>(host.profile());
    EXPECT_EQ(model.apply(0, Basic(fn::kRight)), EditOutcome::Refused);
    PanelResult combo;
    combo.kind = kResultCombo;
    combo.value = 0x06020002;
    EXPECT_EQ(model.apply(0, combo), EditOutcome::Refused);
    EXPECT_EQ(std::memcmp(before.get(), &host.profile(), sizeof(ProfileData)), 0);
    EXPECT_EQ(model.clickRuleText(), kClickRuleText);
    host.chinese_ = true;
    EXPECT_EQ(model.clickRuleText(), kClickRuleTextChinese);
}

TEST_F(MousePageModelTest, ClickMayMoveOnceAnotherButtonHoldsIt) {
    EXPECT_EQ(model.apply(0, Basic(fn::kLeft)), EditOutcome::Applied);  // Click again: fine
    EXPECT_EQ(model.apply(3, Basic(fn::kLeft)), EditOutcome::Applied);
    EXPECT_EQ(model.apply(0, Basic(fn::kRight)), EditOutcome::Applied);
    EXPECT_EQ(button(0).function, fn::kRight);
    // Now button 3 is the only Click button of the mode.
    EXPECT_EQ(model.apply(3, Basic(fn::kMiddle)), EditOutcome::Refused);
    // Other modes keep their own Click buttons.
    host.setCurrentMode(1);
    EXPECT_EQ(model.apply(3, Basic(fn::kMiddle)), EditOutcome::Applied);
}

TEST_F(MousePageModelTest, RestoreOfTheClickButtonIsAcceptedAndClearsItsMacroInActiveSlotsOnly) {
    host.configInfo().slots[0].buttonMacroId[0][0] = 77;
    host.configInfo().slots[2].buttonMacroId[0][0] = 78;  // not active
    PanelResult r = Basic(kDefaultButtonCodes[0][0]);
    r.restored = true;
    EXPECT_EQ(model.apply(0, r), EditOutcome::Applied);
    EXPECT_EQ(button(0).function, fn::kLeft);
    EXPECT_EQ(Label(button(0)), FunctionName(fn::kLeft, false));
    EXPECT_EQ(host.configInfo().slots[0].buttonMacroId[0][0], 0);
    EXPECT_EQ(host.configInfo().slots[2].buttonMacroId[0][0], 78);
}

TEST_F(MousePageModelTest, ARefusedRestoreKeepsTheSlotsMacroId) {
    // Button 3 holds the only Click; restoring it to its default (wheel up) is refused.
    ASSERT_EQ(model.apply(3, Basic(fn::kLeft)), EditOutcome::Applied);
    ASSERT_EQ(model.apply(0, Basic(fn::kRight)), EditOutcome::Applied);
    host.configInfo().slots[0].buttonMacroId[0][3] = 12;
    PanelResult r = Basic(kDefaultButtonCodes[0][3]);
    r.restored = true;
    EXPECT_EQ(model.apply(3, r), EditOutcome::Refused);
    EXPECT_EQ(host.configInfo().slots[0].buttonMacroId[0][3], 12);
    EXPECT_EQ(button(3).function, fn::kLeft);
}

// ---- what each kind writes -----------------------------------------------------------------------

TEST_F(MousePageModelTest, KeyCombinationStoresWordLabelAndShowsTheLabelAsChanged) {
    host.pendingMacroId(0, 5) = 99;
    PanelResult r;
    r.kind = kResultCombo;
    r.value = 0x06020002;
    ASSERT_EQ(model.apply(5, r), EditOutcome::Applied);
    EXPECT_EQ(button(5).function, fn::kKeyCombo);
    EXPECT_EQ(button(5).keyWord, 0x06020002u);
    EXPECT_EQ(Label(button(5)), u"Ctrl + C");
    EXPECT_EQ(host.pendingMacroId(0, 5), 0);
    EXPECT_TRUE(model.labelSelected(5));
    EXPECT_FALSE(model.labelSelected(4));
}

TEST_F(MousePageModelTest, MacroTakesTheLibraryNameAndBecomesPending) {
    PutMacro(host.macros(), 3, 0x15000002, u"Reload");
    PanelResult r;
    r.kind = kResultMacro;
    r.value = 0x15000002;
    ASSERT_EQ(model.apply(7, r), EditOutcome::Applied);
    EXPECT_EQ(button(7).function, fn::kMacro);
    EXPECT_EQ(button(7).macroId, 0x15000002);
    EXPECT_EQ(host.pendingMacroId(0, 7), 0x15000002);
    EXPECT_EQ(Label(button(7)), u"Reload");
    // A later basic function takes the pending id away again.
    ASSERT_EQ(model.apply(7, Basic(fn::kBack)), EditOutcome::Applied);
    EXPECT_EQ(host.pendingMacroId(0, 7), 0);
}

TEST_F(MousePageModelTest, MacroNamesAreReadWithinTheirFieldAndUnusedEntriesAreNoMacros) {
    const std::u16string full(kMacroNameChars, u'x');  // no terminator in the field
    PutMacro(host.macros(), 0, 9, full);
    MacroRecord& after = host.macros().entry(1);
    after.macroName[0] = u'!';  // what follows the field must not leak in
    EXPECT_EQ(model.macroName(9), full.substr(0, kMacroNameChars));
    MacroRecord& freeEntry = host.macros().entry(5);
    freeEntry.id = 31;
    SetField(freeEntry.macroName, kMacroNameChars, u"Ghost");
    EXPECT_EQ(model.macroName(31), u"");
    PanelResult r;
    r.kind = kResultMacro;
    r.value = 31;
    ASSERT_EQ(model.apply(4, r), EditOutcome::Applied);
    EXPECT_EQ(Label(button(4)), u"");
}

TEST_F(MousePageModelTest, AdvancedFunctionStoresWordAndPathAsLabel) {
    PanelResult r;
    r.kind = kResultAdvanced;
    r.value = 0x07C20004;
    r.path = u"C:\\Games\\launcher.exe";
    ASSERT_EQ(model.apply(7, r), EditOutcome::Applied);
    EXPECT_EQ(button(7).function, fn::kAdvanced);
    EXPECT_EQ(button(7).actionWord, 0x07C20004u);
    EXPECT_EQ(FieldText(button(7).path, kTextChars), r.path);
    EXPECT_EQ(Label(button(7)), r.path);
}

TEST_F(MousePageModelTest, DisableAndBasicFunctionsTakeTheirNamesInTheCurrentLanguage) {
    PanelResult off;
    off.kind = kResultDisable;
    off.value = 7;
    ASSERT_EQ(model.apply(6, off), EditOutcome::Applied);
    EXPECT_EQ(button(6).function, fn::kDisabled);
    EXPECT_EQ(Label(button(6)), FunctionName(fn::kDisabled, false));
    host.chinese_ = true;
    ASSERT_EQ(model.apply(8, Basic(fn::kDoubleClick)), EditOutcome::Applied);
    EXPECT_EQ(Label(button(8)), FunctionName(fn::kDoubleClick, true));
}

TEST_F(MousePageModelTest, LabelsFollowTheCurrentMode) {
    ASSERT_EQ(model.apply(9, Basic(fn::kBack)), EditOutcome::Applied);
    EXPECT_TRUE(model.labelSelected(9));
    host.setCurrentMode(2);
    EXPECT_FALSE(model.labelSelected(9));
    host.setCurrentMode(0);
    EXPECT_TRUE(model.labelSelected(9));
}

}  // namespace
}  // namespace q350::pages
