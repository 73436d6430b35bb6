#include "config/function_catalog.h"

#include <gtest/gtest.h>

#include <set>

#include "config/key_tables.h"

namespace q350 {
namespace {

ButtonAssignment Assigned(int code) {
    ButtonAssignment a{};
    a.function = code;
    return a;
}

TEST(DeviceWord, FixedWordsOfTheCatalogue) {
    EXPECT_EQ(DeviceWord(Assigned(1)), 0x00010003u);
    EXPECT_EQ(DeviceWord(Assigned(16)), 0x00080003u);
    EXPECT_EQ(DeviceWord(Assigned(40)), 0x83010004u);
    EXPECT_EQ(DeviceWord(Assigned(121)), 0x00000007u);
    EXPECT_EQ(DeviceWord(Assigned(144)), 0x01020009u);
    EXPECT_EQ(DeviceWord(Assigned(152)), 0x00200000u);
    EXPECT_EQ(DeviceWord(Assigned(11)), 0xFFFFFFFFu);
    EXPECT_EQ(DeviceWord(Assigned(22)), 0xFFFFFFFFu);
}

TEST(DeviceWord, CodesWithoutAWordLeaveTheButtonAlone) {
    for (int code : {0, 3, 7, 86, 87, 100, 153, -1}) {
        EXPECT_EQ(DeviceWord(Assigned(code)), std::nullopt) << code;
    }
    // A macro button has a word only once its macro has a device slot.
    EXPECT_EQ(DeviceWord(Assigned(fn::kMacro)), std::nullopt);
    EXPECT_EQ(DeviceWord(Assigned(fn::kMacro), kDeviceMacroSlots), std::nullopt);
    EXPECT_EQ(DeviceWord(Assigned(fn::kMacro), 0), 0x00000005u);
    EXPECT_EQ(DeviceWord(Assigned(fn::kMacro), 17), 0x00110005u);
}

TEST(DeviceWord, CombinationsAndAdvancedFunctionsCarryTheirOwnWords) {
    ButtonAssignment combo = Assigned(fn::kKeyCombo);
    combo.keyWord = EncodeCombo(false, true, false, false, 'C').value;
    combo.actionWord = 0x12345678;  // ignored for a combination
    EXPECT_EQ(DeviceWord(combo), 0x06020002u);

    ButtonAssignment advanced = Assigned(fn::kAdvanced);
    advanced.actionWord = AdvancedWord(action::kPlaySound, 3);
    EXPECT_EQ(DeviceWord(advanced), 0x03C30004u);
    EXPECT_EQ(AdvancedWord(action::kOpenProgram, 7), 0x07C20004u);
    EXPECT_EQ(AdvancedWord(action::kOpenFolder, 13), 0x0DC50004u);
    // The built-in host functions use the same form with button index 1.
    EXPECT_EQ(DeviceWord(Assigned(fn::kShotWindow)), AdvancedWord(action::kShotWindow, 1));
    EXPECT_EQ(DeviceWord(Assigned(fn::kOneKeyStart)), AdvancedWord(action::kOneKeyStart, 1));
}

TEST(DeviceWord, KeyShortcutsMatchTheirCombinationWords) {
    // The fixed shortcut words are key-combination words the mouse plays.
    EXPECT_EQ(DeviceWord(Assigned(65)), EncodeCombo(false, true, false, false, 'C').value);
    EXPECT_EQ(DeviceWord(Assigned(81)), EncodeCombo(false, false, true, false, 0x73).value);
    EXPECT_EQ(DeviceWord(Assigned(82)), EncodeCombo(false, false, false, true, 'L').value);
    EXPECT_EQ(DeviceWord(Assigned(126)), EncodeCombo(false, false, false, true, 0x6B).value);
    EXPECT_EQ(DeviceWord(Assigned(148)), EncodeCombo(false, true, false, false, 0x23).value);
}

TEST(PanelTextId, RightAndMiddleGiveTheirOwnClicks) {
    EXPECT_EQ(PanelTextId(2), "str_mouseright");
    EXPECT_EQ(PanelTextId(4), "str_mousemiddle");
    EXPECT_EQ(DeviceWord(Assigned(2)), 0x00020003u);  // right button bit
    EXPECT_EQ(DeviceWord(Assigned(4)), 0x00040003u);  // middle button bit
    EXPECT_EQ(PanelTextId(8), "str_pre");
    EXPECT_EQ(PanelTextId(146), "str_DpiSwitch");
    EXPECT_EQ(PanelTextId(64), "");
    EXPECT_EQ(PanelTextId(86), "");
}

TEST(FunctionCatalog, EveryCodeIsNamedAndListedOnce) {
    std::set<std::string_view> panelIds;
    for (const CatalogEntry& e : FunctionCatalog()) {
        EXPECT_EQ(FindFunction(e.code), &e);
        const bool ownWord =
            e.code == fn::kKeyCombo || e.code == fn::kMacro || e.code == fn::kAdvanced;
        EXPECT_EQ(FunctionName(e.code, false).empty(), ownWord) << e.code;
        EXPECT_EQ(e.fixedWord, !ownWord) << e.code;
        if (!e.panelId.empty()) {
            EXPECT_TRUE(panelIds.insert(e.panelId).second) << e.panelId;
        }
    }
    EXPECT_EQ(FunctionCatalog().size(), 56u);
}

}  // namespace
}  // namespace q350
