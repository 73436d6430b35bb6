#include "device/macro_program.h"

#include <gtest/gtest.h>

#include <vector>

namespace q350 {
namespace {

TEST(MacroProgramDecode, PressPauseReleaseComesBackAsKeyEvents) {
    const std::vector<std::uint8_t> slot = {0x0A, 0x00, 0x01, 0x00, 0x0B, 0x00,
                                            0x04, 0x00, 0x00, 0x04, 0xEE, 0xEE};
    const DecodedMacroProgram p = DecodeMacroProgram(slot);
    ASSERT_TRUE(p.valid) << p.problem;
    EXPECT_EQ(p.length, 10);
    EXPECT_EQ(p.repeat, 1);
    ASSERT_EQ(p.entries.size(), 2u);
    EXPECT_TRUE(p.entries[0].pressed);
    EXPECT_EQ(p.entries[0].pauseMs, 50u);
    EXPECT_FALSE(p.entries[1].pressed);
    EXPECT_EQ(MacroProgramEvents(p),
              (std::vector<std::uint32_t>{0xC0000004, 0xA0000032, 0xE0000004}));
    // With a key table the usages become key codes again (usage 4 is the A key, 0x41).
    EXPECT_EQ(MacroProgramEvents(p, [](std::uint8_t u) { return u == 4 ? 0x41u : 0u; }),
              (std::vector<std::uint32_t>{0xC0000041, 0xA0000032, 0xE0000041}));
}

TEST(MacroProgramDecode, LengthsThatCannotBeAProgramAreReported) {
    std::vector<std::uint8_t> slot(4096, 0);
    EXPECT_TRUE(DecodeMacroProgram(slot).empty);
    slot[0] = 9;  // 4 + 5: not whole entries
    EXPECT_FALSE(DecodeMacroProgram(slot).valid);
    slot[0] = 3;
    EXPECT_FALSE(DecodeMacroProgram(slot).valid);
    slot[0] = 0x04;
    slot[1] = 0x10;  // 4100 > 4096
    EXPECT_FALSE(DecodeMacroProgram(slot).valid);
    // Length within limits but beyond the bytes given.
    const std::vector<std::uint8_t> shortSlot = {7, 0, 1, 0, 1};
    EXPECT_FALSE(DecodeMacroProgram(shortSlot).valid);
    EXPECT_FALSE(DecodeMacroProgram(std::vector<std::uint8_t>{1}).valid);
}

TEST(MacroProgramDecode, LongestProgramFillsTheSlot) {
    std::vector<std::uint8_t> slot(4096, 0);
    const std::uint16_t length = 4 + 3 * 1363;
    slot[0] = length & 0xFF;
    slot[1] = length >> 8;
    slot[2] = 0xFE;
    slot[3] = 0xFF;
    for (std::size_t j = 0; j < 1363; ++j) {
        slot[4 + 3 * j] = j % 2 == 0 ? 1 : 0;
        slot[6 + 3 * j] = 0x1E;
    }
    const DecodedMacroProgram p = DecodeMacroProgram(slot);
    ASSERT_TRUE(p.valid);
    EXPECT_EQ(p.length, 4093);
    EXPECT_EQ(p.repeat, 0xFFFE);
    EXPECT_EQ(p.entries.size(), 1363u);
    EXPECT_TRUE(p.entries.back().pressed);
    EXPECT_FALSE(p.entries[1361].pressed);
    EXPECT_EQ(p.entries.back().usage, 0x1E);
}

TEST(KeyboardUsageNames, CoverLettersDigitsFunctionKeysAndModifiers) {
    EXPECT_EQ(KeyboardUsageName(0x04), "A");
    EXPECT_EQ(KeyboardUsageName(0x1D), "Z");
    EXPECT_EQ(KeyboardUsageName(0x1E), "1");
    EXPECT_EQ(KeyboardUsageName(0x27), "0");
    EXPECT_EQ(KeyboardUsageName(0x3E), "F5");
    EXPECT_EQ(KeyboardUsageName(0x53), "NumLock");
    EXPECT_EQ(KeyboardUsageName(0x62), "Num0");
    EXPECT_EQ(KeyboardUsageName(0xE0), "LeftCtrl");
    EXPECT_EQ(KeyboardUsageName(0xE7), "RightWin");
    EXPECT_EQ(KeyboardUsageName(0x90), "usage 0x90");
}

}  // namespace
}  // namespace q350
