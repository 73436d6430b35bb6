#include "device/firmware_image.h"

#include <gtest/gtest.h>

#include <string_view>
#include <vector>

namespace q350 {
namespace {

std::vector<std::uint8_t> Bytes(std::string_view text) {
    return std::vector<std::uint8_t>(text.begin(), text.end());
}

void PutU32(std::vector<std::uint8_t>& file, std::size_t at, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) {
        file[at + i] = static_cast<std::uint8_t>(value >> (8 * i));
    }
}

// Recomputes the trailing CRC after a header field was changed on purpose.
void Reseal(std::vector<std::uint8_t>& file) {
    const std::size_t at = file.size() - kFirmwareTrailerSize;
    PutU32(file, at, Crc32(std::span<const std::uint8_t>(file).first(at)));
}

FirmwareImageError ErrorOf(const std::vector<std::uint8_t>& file) {
    FirmwareImage image;
    FirmwareImageError error = FirmwareImageError::None;
    EXPECT_FALSE(ParseFirmwareImage(file, image, &error));
    return error;
}

TEST(Crc32, MatchesTheZlibValues) {
    EXPECT_EQ(Crc32({}), 0u);
    EXPECT_EQ(Crc32(Bytes("123456789")), 0xCBF43926u);
    EXPECT_EQ(Crc32(Bytes("The quick brown fox jumps over the lazy dog")), 0x414FA339u);
    // Continued in pieces it gives the same value as in one run.
    const auto all = Bytes("123456789");
    const std::span<const std::uint8_t> s(all);
    EXPECT_EQ(Crc32(s.subspan(4), Crc32(s.first(4))), 0xCBF43926u);
}

TEST(FirmwareImage, BuiltImageHasTheFixedLayoutAndReadsBack) {
    const std::vector<std::uint8_t> payload = {1, 2, 3, 4, 5};
    const auto file = BuildFirmwareImage(7, payload);
    ASSERT_EQ(file.size(), kFirmwareHeaderSize + payload.size() + kFirmwareTrailerSize);
    EXPECT_EQ(std::vector<std::uint8_t>(file.begin(), file.begin() + 8), Bytes("Q350FWIM"));
    EXPECT_EQ(file[8], 7);
    EXPECT_EQ(file[12], 5);
    FirmwareImage image;
    ASSERT_TRUE(ParseFirmwareImage(file, image));
    EXPECT_EQ(image.version, 7u);
    EXPECT_EQ(image.payload, payload);
    EXPECT_EQ(image.crc, Crc32(std::span<const std::uint8_t>(file).first(file.size() - 4)));
    // An empty payload is still an image.
    EXPECT_TRUE(ParseFirmwareImage(BuildFirmwareImage(1, {}), image));
    EXPECT_TRUE(image.payload.empty());
}

TEST(FirmwareImage, EveryDamageIsRefusedWithItsReason) {
    const std::vector<std::uint8_t> payload(300, 0xA5);
    const auto good = BuildFirmwareImage(9, payload);

    EXPECT_EQ(ErrorOf({}), FirmwareImageError::TooShort);
    EXPECT_EQ(ErrorOf(std::vector<std::uint8_t>(good.begin(), good.begin() + 19)),
              FirmwareImageError::TooShort);

    auto magic = good;
    magic[3] = '1';
    EXPECT_EQ(ErrorOf(magic), FirmwareImageError::BadMagic);

    // A transfer that broke off, and one that brought too much.
    EXPECT_EQ(ErrorOf(std::vector<std::uint8_t>(good.begin(), good.end() - 1)),
              FirmwareImageError::BadLength);
    auto longer = good;
    longer.push_back(0);
    EXPECT_EQ(ErrorOf(longer), FirmwareImageError::BadLength);

    // A length field that would wrap around when added to the header.
    auto wrap = good;
    PutU32(wrap, 12, 0xFFFFFFF0u);
    Reseal(wrap);
    EXPECT_EQ(ErrorOf(wrap), FirmwareImageError::BadLength);

    auto flipped = good;
    flipped[100] ^= 0x01;
    EXPECT_EQ(ErrorOf(flipped), FirmwareImageError::BadChecksum);
    auto crc = good;
    crc.back() ^= 0x80;
    EXPECT_EQ(ErrorOf(crc), FirmwareImageError::BadChecksum);

    // Versions the mouse cannot report, even when the CRC fits them.
    for (std::uint32_t v : {0u, 256u, 0x01000007u}) {
        EXPECT_EQ(ErrorOf(BuildFirmwareImage(v, payload)), FirmwareImageError::BadVersion) << v;
    }
    EXPECT_EQ(ErrorOf(BuildFirmwareImage(1, std::vector<std::uint8_t>(kMaxFirmwarePayload + 1))),
              FirmwareImageError::BadLength);
    FirmwareImage image;
    EXPECT_TRUE(ParseFirmwareImage(
        BuildFirmwareImage(255, std::vector<std::uint8_t>(kMaxFirmwarePayload)), image));
}

TEST(FirmwareFit, OnlyTheAnnouncedVersionAndOnlyForward) {
    EXPECT_EQ(CheckFirmwareFit(7, 7, 6), FirmwareFit::Fits);
    // A mouse in its update mode reports 0 and takes any announced image.
    EXPECT_EQ(CheckFirmwareFit(1, 1, 0), FirmwareFit::Fits);
    EXPECT_EQ(CheckFirmwareFit(255, 255, 254), FirmwareFit::Fits);
    // The same version again, and a step back, even when announced.
    EXPECT_EQ(CheckFirmwareFit(7, 7, 7), FirmwareFit::NotNewer);
    EXPECT_EQ(CheckFirmwareFit(4, 4, 7), FirmwareFit::NotNewer);
    // An image of another version than announced, newer or older.
    EXPECT_EQ(CheckFirmwareFit(8, 7, 6), FirmwareFit::NotAnnounced);
    EXPECT_EQ(CheckFirmwareFit(6, 7, 5), FirmwareFit::NotAnnounced);
    EXPECT_EQ(CheckFirmwareFit(4, 7, 6), FirmwareFit::NotAnnounced);
    EXPECT_TRUE(FirmwareFits(2, 2, 1));
    EXPECT_FALSE(FirmwareFits(2, 3, 1));
}

}  // namespace
}  // namespace q350
