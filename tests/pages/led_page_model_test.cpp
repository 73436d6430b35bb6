#include "pages/led_page_model.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>

#include "tests/pages/fake_page_host.h"

namespace q350::pages {
namespace {

class LedPageModelTest : public ::testing::Test {
protected:
    ProfileData& p() { return host.profile(); }
    // The record equals the saved copy apart from what the test has put into the copy.
    bool OnlyChanged(const ProfileData& expected) {
        return std::memcmp(&expected, &host.profile(), sizeof(ProfileData)) == 0;
    }
    FakePageHost host;
    LedPageModel model{host};
};

// ---- the palette and colour bytes -------------------------------------------------------------

TEST(LedPaletteTest, SwatchesGiveTheirColourAsRedGreenBlueBytesWithTheTopByteClear) {
    EXPECT_EQ(SwatchColour(0), 0x007E05FAu);
    EXPECT_EQ(SwatchColour(9), 0x00FAC101u);
    EXPECT_EQ(SwatchColour(12), 0x00F80024u);
    EXPECT_EQ(SwatchColour(25), 0x00B95401u);
    for (int k = 0; k < 26; ++k) {
        EXPECT_EQ(SwatchColour(k) >> 24, 0u) << k;
    }
}

TEST(LedPaletteTest, OneChannelIsReplacedAndTheOthersAndTheCleanTopByteStay) {
    EXPECT_EQ(WithChannel(0x00332211, Channel::Red, 0xAA), 0x003322AAu);
    EXPECT_EQ(WithChannel(0x00332211, Channel::Green, 0xAA), 0x0033AA11u);
    EXPECT_EQ(WithChannel(0x00332211, Channel::Blue, 0xAA), 0x00AA2211u);
    EXPECT_EQ(WithChannel(0xFF332211, Channel::Red, 0x11), 0x00332211u);
    EXPECT_EQ(ChannelValue(0x00FAC101, Channel::Red), 1);
    EXPECT_EQ(ChannelValue(0x00FAC101, Channel::Green), 193);
    EXPECT_EQ(ChannelValue(0x00FAC101, Channel::Blue), 250);
}

TEST(LedPaletteTest, BoxTextsAreValuesOnlyWhenTheyAreDigitsUpTo255) {
    EXPECT_EQ(ReadChannelText(u"0"), 0);
    EXPECT_EQ(ReadChannelText(u"255"), 255);
    EXPECT_EQ(ReadChannelText(u"007"), 7);
    EXPECT_EQ(ReadChannelText(u""), std::nullopt);
    EXPECT_EQ(ReadChannelText(u"256"), std::nullopt);
    EXPECT_EQ(ReadChannelText(u"99999999999999999999"), std::nullopt);
    EXPECT_EQ(ReadChannelText(u"1a"), std::nullopt);
    EXPECT_EQ(ReadChannelText(u"-1"), std::nullopt);
}

// ---- which zone is edited ---------------------------------------------------------------------

TEST_F(LedPageModelTest, TheEditedZoneIsTheOneTheZoneButtonsOfTheModeShow) {
    // A new profile selects the wheel light in every mode.
    EXPECT_EQ(model.zone(), 1);
    auto expected = std::make_unique<ProfileData>(p());
    model.pickSwatch(9);
    expected->ledColor[1][0] = 0x00FAC101;
    expected->ledSwatch[1][0] = 9;
    EXPECT_TRUE(OnlyChanged(*expected));

    model.selectZone(0);
    expected->ledZoneSel[0] = 0;
    model.setEffect(0);
    expected->ledEffect[0][0] = 0;
    EXPECT_TRUE(OnlyChanged(*expected));

    // Mode 1 still shows (and edits) its own wheel light; back in mode 0 the back-light again.
    host.setCurrentMode(1);
    EXPECT_EQ(model.zone(), 1);
    model.setBrightness(2);
    expected->ledBrightness[1][1] = 2;
    host.setCurrentMode(0);
    EXPECT_EQ(model.zone(), 0);
    EXPECT_EQ(model.effect(), 0);
    EXPECT_TRUE(OnlyChanged(*expected));
}

TEST_F(LedPageModelTest, ZoneAndModeValuesOutsideTheirRangesNeitherCrashNorWrite) {
    p().ledZoneSel[0] = 7;  // from an imported file
    EXPECT_EQ(model.zone(), 1);
    auto expected = std::make_unique<ProfileData>(p());
    model.selectZone(2);
    model.selectZone(-1);
    model.setEffect(5);
    model.setEffect(-1);
    model.pickSwatch(26);
    EXPECT_TRUE(OnlyChanged(*expected));
}

// ---- colour edits -----------------------------------------------------------------------------

TEST_F(LedPageModelTest, TheWheelTakesThePixelsColourWithoutItsTopByteAndKeepsTheSwatch) {
    model.pickSwatch(4);
    EXPECT_TRUE(model.pickPixel(0x02345678));
    EXPECT_EQ(model.colour(), 0x00345678u);
    EXPECT_EQ(model.swatch(), 4);
    // A pixel the system could not read is no colour: nothing changes.
    auto expected = std::make_unique<ProfileData>(p());
    EXPECT_FALSE(model.pickPixel(0xFFFFFFFF));
    EXPECT_TRUE(OnlyChanged(*expected));
}

TEST_F(LedPageModelTest, SlidersAndBoxesReplaceOneByteOfTheStoredColour) {
    model.pickSwatch(9);  // 1, 193, 250
    model.setChannel(Channel::Green, 17);
    EXPECT_EQ(model.colour(), 0x00FA1101u);
    model.setChannel(Channel::Blue, 400);  // a position beyond the range stays at its end
    EXPECT_EQ(model.colour(), 0x00FF1101u);
    EXPECT_TRUE(model.editChannel(Channel::Red, u"255"));
    EXPECT_EQ(model.colour(), 0x00FF11FFu);
    EXPECT_EQ(model.swatch(), 9);
    EXPECT_EQ(p().ledColor[0][0], 0x000000FFu);  // the other zone keeps its default
}

TEST_F(LedPageModelTest, ABoxThatCannotBeReadLeavesTheColourAsItWas) {
    model.pickSwatch(2);
    for (const char16_t* text : {u"", u"256", u"12x"}) {
        EXPECT_FALSE(model.editChannel(Channel::Red, text)) << std::u16string_view(text).size();
        EXPECT_EQ(model.colour(), SwatchColour(2));
    }
}

// ---- effect, speed, brightness, proximity -----------------------------------------------------

TEST_F(LedPageModelTest, SpeedAndBrightnessStayInTheirRangesAndProximityIsPerMode) {
    model.setBrightness(12);
    EXPECT_EQ(model.brightness(), 9);
    model.setBrightness(-3);
    EXPECT_EQ(model.brightness(), 0);
    model.setSpeed(4);
    EXPECT_EQ(model.speed(), 4);
    model.setSpeed(5);
    EXPECT_EQ(model.speed(), 4);
    EXPECT_EQ(p().ledSpeed[0][0], 3);  // zone 0 untouched

    EXPECT_TRUE(model.proximityOn());
    model.setProximity(false);
    EXPECT_FALSE(model.proximityOn());
    EXPECT_EQ(p().proximitySensing[0], 0);
    host.setCurrentMode(2);
    EXPECT_TRUE(model.proximityOn());
    model.setEffect(1);
    EXPECT_EQ(p().ledEffect[1][2], 1);
}

}  // namespace
}  // namespace q350::pages
