#include "pages/setting_panel_model.h"

#include <gtest/gtest.h>

#include "config/function_catalog.h"
#include "config/key_tables.h"
#include "pages/assign_panels_model.h"

namespace q350::pages {
namespace {

constexpr std::uint32_t kPress = 0x00;
constexpr std::uint32_t kRelease = 0x80;

using Hook = SettingPanelModel::Hook;

SettingPanelModel::SubPanels Panels(ComboCapture& combo, int basicRow) {
    SettingPanelModel::SubPanels p;
    p.basic = [basicRow] {
        PanelResult r;
        r.value = BasicCodeOfRow(basicRow);
        return r;
    };
    p.combo = [&combo] { return combo.result(); };
    p.macro = [] { return MacroSetResult(0x15000001u); };
    p.advanced = [] { return PanelResult{}; };
    return p;
}

// ---- key capture ---------------------------------------------------------------------------------

TEST(ComboCapture, CtrlThenCGivesTheModifiedWord) {
    ComboCapture c;
    EXPECT_EQ(c.onKeyEvent(0xA2, kPress), ComboCapture::Change::Modifier);  // left Ctrl
    EXPECT_EQ(c.onKeyEvent(0xA2, kRelease), ComboCapture::Change::None);
    EXPECT_EQ(c.onKeyEvent('C', kPress), ComboCapture::Change::Key);
    const PanelResult r = c.result();
    EXPECT_EQ(r.kind, kResultCombo);
    EXPECT_EQ(static_cast<std::uint32_t>(r.value), 0x06020002u);
}

TEST(ComboCapture, APressFlipsTheToggleSoCtrlTwiceIsOff) {
    ComboCapture c;
    c.onKeyEvent(0x11, kPress);
    c.onKeyEvent(0xA3, 0x01);  // right Ctrl, extended: the same toggle
    EXPECT_FALSE(c.isOn(ComboCapture::kCtrl));
    c.onKeyEvent('C', kPress);
    EXPECT_EQ(static_cast<std::uint32_t>(c.result().value), 0x00060000u);
}

TEST(ComboCapture, OnlyPressFlagsFlipModifiers) {
    ComboCapture c;
    c.onKeyEvent(0xA4, 0x20);  // Alt pressed while Alt is held
    EXPECT_TRUE(c.isOn(ComboCapture::kAlt));
    c.onKeyEvent(0x10, 0x81);  // a release with the extended bit
    c.onKeyEvent(0x10, 0x02);  // an unknown flag byte
    EXPECT_FALSE(c.isOn(ComboCapture::kShift));
    c.onKeyEvent(0x5C, kPress);
    EXPECT_TRUE(c.isOn(ComboCapture::kWin));
    c.toggle(ComboCapture::kWin);  // a click on the toggle
    EXPECT_FALSE(c.isOn(ComboCapture::kWin));
}

TEST(ComboCapture, AReleaseKeepsTheKeyAndAnotherKeyReplacesIt) {
    ComboCapture c;
    c.onKeyEvent('A', kPress);
    c.onKeyEvent('A', kRelease);
    EXPECT_EQ(c.key(), 'A');
    c.onKeyEvent(0x70, kPress);  // F1
    EXPECT_EQ(c.key(), 0x70);
    EXPECT_EQ(ComboCapture{}.result().value, 0);  // nothing captured: no value
}

// ---- tabs, OK and Restore ------------------------------------------------------------------------

TEST(SettingPanelModel, KeyDeliveryRunsOnlyOnTheKeyCombinationTab) {
    SettingPanelModel m(5, 0);
    EXPECT_EQ(m.selectTab(kTabCombo), Hook::Start);
    EXPECT_TRUE(m.tabButtonSet(kTabCombo));
    EXPECT_EQ(m.selectTab(kTabBasic), Hook::Stop);
    EXPECT_TRUE(m.panelShown(kTabBasic));
    EXPECT_FALSE(m.panelShown(kTabCombo));
    EXPECT_EQ(m.selectTab(kTabCombo), Hook::Start);
}

TEST(SettingPanelModel, OkAtOnceOnTheKeyTabCancels) {
    SettingPanelModel m(5, 0);
    m.selectTab(kTabCombo);
    ComboCapture c;
    const PanelResult r = m.ok(Panels(c, kBasicRowCount - 1));
    EXPECT_FALSE(SettingPanelModel::EndsWithOk(r));
}

TEST(SettingPanelModel, DisableKeyHidesEverythingAndWinsOverEveryTab) {
    SettingPanelModel m(2, 0);
    m.selectTab(kTabBasic);
    EXPECT_EQ(m.clickDisable(), Hook::Unchanged);
    for (int t = kTabCombo; t <= kTabAdvanced; ++t) {
        EXPECT_FALSE(m.tabButtonSet(t));
        EXPECT_FALSE(m.panelShown(t));
    }
    EXPECT_EQ(m.selectTab(kTabMacro), Hook::Unchanged);
    EXPECT_EQ(m.tab(), kTabBasic);  // left as it was
    ComboCapture c;
    const PanelResult r = m.ok(Panels(c, 3));
    EXPECT_EQ(r.value, 7);
    EXPECT_EQ(r.kind, kResultDisable);
    // Clearing the box shows the key tab again without starting delivery.
    EXPECT_EQ(m.clickDisable(), Hook::Stop);
    EXPECT_TRUE(m.tabButtonSet(kTabCombo));
    EXPECT_TRUE(m.panelShown(kTabCombo));
}

TEST(SettingPanelModel, OkTakesTheVisibleSubPanelsResult) {
    SettingPanelModel m(1, 0);
    ComboCapture c;
    m.selectTab(kTabBasic);
    EXPECT_EQ(m.ok(Panels(c, kBasicRowCount - 1)).value, 152);  // the last row, selected at open
    m.selectTab(kTabMacro);
    const PanelResult macro = m.ok(Panels(c, 0));
    EXPECT_EQ(macro.kind, kResultMacro);
    EXPECT_EQ(static_cast<std::uint32_t>(macro.value), 0x15000001u);
    m.selectTab(kTabAdvanced);
    EXPECT_FALSE(SettingPanelModel::EndsWithOk(m.ok(Panels(c, 0))));
}

TEST(SettingPanelModel, RestoreGivesTheDefaultOfTheButtonInTheMode) {
    for (int mode = 0; mode < kModeCount; ++mode) {
        const PanelResult r = SettingPanelModel(5, mode).restore();
        EXPECT_EQ(r.value, kDefaultButtonCodes[mode][5]);
        EXPECT_EQ(r.kind, kResultBasic);
        EXPECT_TRUE(r.restored);
        EXPECT_TRUE(SettingPanelModel::EndsWithOk(r));
    }
}

TEST(BasicRows, RowsDoWhatTheirTextsSay) {
    EXPECT_EQ(kBasicRows[10].text, lang::StringId::str_mousemiddle);
    EXPECT_EQ(BasicCodeOfRow(10), fn::kMiddle);
    EXPECT_EQ(kBasicRows[11].text, lang::StringId::str_mouseright);
    EXPECT_EQ(BasicCodeOfRow(11), fn::kRight);
    EXPECT_EQ(BasicCodeOfRow(9), fn::kLeft);
    EXPECT_EQ(BasicCodeOfRow(-1), 0);
    EXPECT_EQ(BasicCodeOfRow(kBasicRowCount), 0);
    // Every row offers a function the catalogue can name.
    for (const BasicRow& row : kBasicRows) {
        EXPECT_FALSE(FunctionName(row.code, false).empty()) << row.code;
    }
}

}  // namespace
}  // namespace q350::pages
