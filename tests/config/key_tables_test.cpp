#include "config/key_tables.h"

#include <gtest/gtest.h>

#include <set>

namespace q350 {
namespace {

// A layout that produces nothing, one that gives lower-case letters of its own, for the fallback.
class SilentLayout final : public KeyLayout {
public:
    unsigned character(int) const override { return 0; }
};
class GermanishLayout final : public KeyLayout {
public:
    unsigned character(int vk) const override {
        if (vk == 0x5A)
            return 'y';  // Z key gives y
        if (vk == 0xBA)
            return 0xFC;  // u with diaeresis
        if (vk == 0x31)
            return 0x131;  // only the low byte counts
        return 0;
    }
};

TEST(KeyUsageMap, OrderAndPairs) {
    EXPECT_EQ(KeyUsageMap.size(), 107u);
    EXPECT_EQ(KeyUsageMap[0].usage, 0x29);
    EXPECT_EQ(KeyUsageMap[12].virtualKey, 0x7B);  // F12
    EXPECT_EQ(KeyUsageMap[38].usage, 0x1D);       // Z
    EXPECT_EQ(KeyUsageMap[51].virtualKey, 0x0D);
    EXPECT_EQ(KeyUsageMap[93].usage, 0x58);
    EXPECT_EQ(KeyUsageMap[106].usage, 0xF2);
    std::set<int> usages;
    for (const auto& p : KeyUsageMap) {
        EXPECT_TRUE(usages.insert(p.usage).second) << int(p.usage);
        EXPECT_EQ(usageToKey(p.usage), p.virtualKey);
        if (p.virtualKey != 0x0D) {
            EXPECT_EQ(keyToUsage(p.virtualKey), p.usage);
        }
    }
}

TEST(KeyUsageMap, LookupsWithoutAMatch) {
    EXPECT_EQ(keyToUsage(0x0D), 0x28);  // keypad Enter is never produced
    EXPECT_EQ(usageToKey(0x58), 0x0D);
    EXPECT_EQ(keyToUsage(0x7C), 0);   // F13
    EXPECT_EQ(keyToUsage(0x141), 0);  // not confused with 0x41 by truncation
    EXPECT_EQ(keyToUsage(-1), 0);
    EXPECT_EQ(usageToKey(0x00), 0);
    EXPECT_EQ(usageToKey(0x64), 0);
}

TEST(EncodeCombo, ModifiersWithAKey) {
    const ComboResult all = EncodeCombo(true, true, true, true, 0x74);  // F5
    EXPECT_EQ(all.value, 0x3E0F0002u);
    EXPECT_EQ(all.kind, 5);
    EXPECT_EQ(ComboText(all.value), u"Shift + Ctrl + Alt + Win + F5");
    EXPECT_EQ(EncodeCombo(false, true, false, false, 'C').value, 0x06020002u);
    EXPECT_EQ(ComboText(0x06020002u), u"Ctrl + C");
}

TEST(EncodeCombo, ModifiersAloneKeepTheLastOne) {
    EXPECT_EQ(EncodeCombo(false, true, true, false, 0).value, 0x00E20000u);
    EXPECT_EQ(ComboText(0x00E20000u), u"LAlt");
    EXPECT_EQ(EncodeCombo(true, false, false, false, 0).value, 0x00E10000u);
    EXPECT_EQ(ComboText(0x00E10000u), u"LShift");
    EXPECT_EQ(EncodeCombo(true, true, false, true, 0).value, 0x00E30000u);  // Win after Ctrl
    // A key the mouse cannot send leaves the modifier alone.
    EXPECT_EQ(EncodeCombo(false, true, false, false, 0x7C).value, 0x00E00000u);
    EXPECT_EQ(ComboText(0x00E00000u), u"LCtrl");
}

TEST(EncodeCombo, SingleKeysAndNothing) {
    EXPECT_EQ(EncodeCombo(false, false, false, false, 0x74).value, 0x003E0000u);
    EXPECT_EQ(ComboText(0x003E0000u), u"F5");
    const std::uint32_t keypadEnter = EncodeCombo(false, false, false, false, 0x0D).value;
    EXPECT_EQ(keypadEnter, 0x00280000u);
    EXPECT_EQ(ComboText(keypadEnter), u"Enter");
    EXPECT_EQ(EncodeCombo(false, false, false, false, 0).value, 0u);
    EXPECT_EQ(EncodeCombo(false, false, false, false, 0x7C).value, 0u);
    EXPECT_EQ(ComboText(0), u"");
    // A modified form without modifier bits reads byte 2 as a key: here none.
    EXPECT_EQ(ComboText(0x04000002u), u"");
}

TEST(KeyName, FixedNames) {
    EXPECT_EQ(KeyName(0x00), u"");
    EXPECT_EQ(KeyName(0xFF), u"");
    EXPECT_EQ(KeyName(0x2C), u"PrtSc SysRq");
    EXPECT_EQ(KeyName(0x60), u"(0)");
    EXPECT_EQ(KeyName(0x69), u"(9)");
    EXPECT_EQ(KeyName(0x6C), u"\\");
    EXPECT_EQ(KeyName(0x7B), u"F12");
    EXPECT_EQ(KeyName(0x91), u"Scroll Lock");
    EXPECT_EQ(KeyName(0xC3), u"MButton");
}

TEST(KeyName, LayoutFallback) {
    EXPECT_EQ(KeyName('Q'), u"Q");  // lower case from the layout, shown upper case
    EXPECT_EQ(KeyName('7'), u"7");
    EXPECT_EQ(KeyName(0xBF), u"/");
    const GermanishLayout de;
    EXPECT_EQ(KeyName(0x5A, de), u"Y");
    EXPECT_EQ(KeyName(0xBA, de), u"\u00DC");
    EXPECT_EQ(KeyName(0x31, de), u"1");
    // Keys that produce nothing get a short text that does not change.
    const SilentLayout none;
    EXPECT_EQ(KeyName(0x7C, none), u"0x7C");
    EXPECT_EQ(KeyName(0x7C), u"0x7C");
    EXPECT_EQ(KeyName(0x141, none), u"0x141");
    EXPECT_EQ(ComboText(0x04010002u, none), u"Shift + 0x41");
}

TEST(KeyName, InstalledLayoutIsTheDefault) {
    const GermanishLayout de;
    SetDefaultKeyLayout(&de);
    EXPECT_EQ(KeyName(0x5A), u"Y");
    EXPECT_EQ(ComboText(0x1D000000u | 0x00010002u), u"Shift + Y");
    SetDefaultKeyLayout(nullptr);
    EXPECT_EQ(KeyName(0x5A), u"Z");
}

TEST(MacroKeyNames, Table) {
    EXPECT_EQ(MacroKeyNames(0x2A), u"Print");
    EXPECT_EQ(MacroKeyNames(0x2C), u"");
    EXPECT_EQ(MacroKeyNames(0x01), u"Left Button");
    EXPECT_EQ(MacroKeyNames(0x141), u"A");  // low 8 bits only
    EXPECT_EQ(MacroKeyNames(0x30), u"0");
    EXPECT_EQ(MacroKeyNames(0x60), u"NUM 0");
    EXPECT_EQ(MacroKeyNames(0x69), u"NUM 9");
    EXPECT_EQ(MacroKeyNames(0x7B), u"F12");
    EXPECT_EQ(MacroKeyNames(0x5C), u"R_Win");
    EXPECT_EQ(MacroKeyNames(0x6C), u"NUM Enter");
    EXPECT_EQ(MacroKeyNames(0x7C), u"");
}

TEST(FunctionName, BothLanguages) {
    EXPECT_EQ(FunctionName(66, false), u"Past");
    EXPECT_EQ(FunctionName(121, false), u"Disable key");
    EXPECT_EQ(FunctionName(121, true), u"禁用按键");
    EXPECT_EQ(FunctionName(86, false), u"Sreen zoom in");
    EXPECT_EQ(FunctionName(138, true), u"DPI - 100");
    for (int code : {0, 5, 6, 19, 153}) {
        EXPECT_EQ(FunctionName(code, false), u"") << code;
        EXPECT_EQ(FunctionName(code, true), u"") << code;
    }
}

}  // namespace
}  // namespace q350
