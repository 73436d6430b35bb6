#include "config/profile_data.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>

#include "base/utf.h"

namespace q350 {
namespace {

// Reads a little-endian 32-bit word at a raw offset of a record's bytes, as a file reader would.
template <typename T>
std::uint32_t WordAt(const T& record, std::size_t offset) {
    const auto bytes = RecordBytes(record);
    return static_cast<std::uint32_t>(bytes[offset]) | (bytes[offset + 1] << 8) |
           (bytes[offset + 2] << 16) | (static_cast<std::uint32_t>(bytes[offset + 3]) << 24);
}

std::size_t ButtonOffset(int mode, int button) {
    return 0x4 + (14 * mode + button) * 0xC48;
}

class Defaults : public ::testing::Test {
protected:
    void SetUp() override {
        english = std::make_unique<ProfileData>();
        std::memset(english.get(), 0xAB, sizeof(ProfileData));  // defaults must clear old bytes
        BuildDefaults(*english, false);
    }
    std::unique_ptr<ProfileData> english;
};

TEST_F(Defaults, WordsSitAtTheirFileOffsets) {
    EXPECT_EQ(WordAt(*english, 0), 0x80800350u);
    EXPECT_EQ(WordAt(*english, ButtonOffset(0, 5)), 145u);
    EXPECT_EQ(WordAt(*english, ButtonOffset(1, 5)), 142u);
    EXPECT_EQ(WordAt(*english, ButtonOffset(2, 13)), 141u);
    EXPECT_EQ(WordAt(*english, 0x203D4), 10u);                   // dpiX mode 0 slot 0
    EXPECT_EQ(WordAt(*english, 0x203D4 + 0x50 + 12), 64u);       // dpiX mode 1 slot 3
    EXPECT_EQ(WordAt(*english, 0x203D4 + 2 * 0x50 + 40), 4u);    // dpiX mode 2 slot 10
    EXPECT_EQ(WordAt(*english, 0x204C4 + 0x50 + 12), 64u);       // dpiY follows dpiX
    EXPECT_EQ(WordAt(*english, 0x20608), 16u);                   // liftHeight
    EXPECT_EQ(WordAt(*english, 0x20614 + 8), 8u);                // reportRate mode 2
    EXPECT_EQ(WordAt(*english, 0x20650 + 4), 0x00FFFF00u);       // ledColor zone 0 mode 1
    EXPECT_EQ(WordAt(*english, 0x20650 + 12 + 8), 0x00FF00FFu);  // ledColor zone 1 mode 2
    EXPECT_EQ(WordAt(*english, 0x206C8 + 20), 5u);               // ledBrightness zone 1 mode 2
}

TEST_F(Defaults, LabelsAreTheFunctionNamesInTheChosenLanguage) {
    const auto& b = english->buttons;
    EXPECT_EQ(FieldText(b[0][0].label, kTextChars), u"Click");
    EXPECT_EQ(FieldText(b[0][12].label, kTextChars), u"Past");
    EXPECT_EQ(FieldText(b[1][9].label, kTextChars), u"Shortcut 1");
    // The label field at 0x220 of button 1 of mode 0 reads "Menu" in UTF-16LE.
    const auto bytes = RecordBytes(*english);
    const std::size_t at = ButtonOffset(0, 1) + 0x220;
    EXPECT_EQ(bytes[at], 'M');
    EXPECT_EQ(bytes[at + 1], 0);
    EXPECT_EQ(bytes[at + 8], 0);  // terminator after four characters

    auto chinese = std::make_unique<ProfileData>();
    BuildDefaults(*chinese, true);
    EXPECT_EQ(FieldText(chinese->buttons[0][0].label, kTextChars), u"单击");
    EXPECT_EQ(FieldText(chinese->buttons[2][5].label, kTextChars), u"双倍火力");
}

TEST_F(Defaults, ModesDifferOnlyInTheirOwnButtonsAndDpi) {
    for (int mode = 1; mode < kModeCount; ++mode) {
        for (int k = 0; k < kButtonCount; ++k) {
            const bool own = k == 5 || k >= 9;
            EXPECT_EQ(english->buttons[0][k].function == english->buttons[mode][k].function, !own)
                << "mode " << mode << " button " << k;
        }
        EXPECT_EQ(english->liftHeight[mode], english->liftHeight[0]);
        EXPECT_EQ(english->ledEffect[1][mode], english->ledEffect[0][0]);
        EXPECT_NE(std::memcmp(english->dpiX[mode], english->dpiX[0], sizeof english->dpiX[0]), 0);
    }
    EXPECT_EQ(english->buttons[1][5].function, 142);
    EXPECT_EQ(english->buttons[2][5].function, 143);
}

TEST_F(Defaults, EverythingOutsideTheListedSettingsIsZero) {
    for (int m = 0; m < kModeCount; ++m) {
        for (int slot = 4; slot < kDpiLevelSlotFirst; ++slot) {
            EXPECT_EQ(english->dpiX[m][slot], 0);
        }
        for (int slot = kDpiLevelSlotFirst + kDpiLevels; slot < kDpiSlots; ++slot) {
            EXPECT_EQ(english->dpiY[m][slot], 0);
        }
        EXPECT_EQ(english->xyIndependent[m], 0);
        for (const ButtonAssignment& b : english->buttons[m]) {
            EXPECT_EQ(b.macroId, 0);
            EXPECT_EQ(b.keyWord, 0u);
            EXPECT_EQ(b.path[0], u'\0');
            for (std::uint8_t r : b.reserved3) {
                ASSERT_EQ(r, 0);
            }
        }
    }
}

TEST(RecordBytes, FillZeroesWhatTheDataDoesNotCover) {
    ProfileSlot slot;
    std::memset(&slot, 0x5A, sizeof slot);
    const std::uint8_t head[] = {0xBE, 0xBE, 0, 0, 1};
    FillRecord(slot, head);
    EXPECT_EQ(slot.tag, kSlotTag);
    EXPECT_EQ(slot.active, 1);  // the fifth byte, the rest of active zeroed
    EXPECT_EQ(slot.buttonMacroId[2][13], 0);
}

}  // namespace
}  // namespace q350
