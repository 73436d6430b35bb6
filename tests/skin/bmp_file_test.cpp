#include "skin/bmp_file.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace q350::skin {
namespace {

void Put16(std::vector<std::uint8_t>& b, std::size_t at, std::uint16_t v) {
    b[at] = static_cast<std::uint8_t>(v);
    b[at + 1] = static_cast<std::uint8_t>(v >> 8);
}

void Put32(std::vector<std::uint8_t>& b, std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) {
        b[at + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(v >> (8 * i));
    }
}

// A file as a picture editor writes it: headers, then rows padded to four bytes.
std::vector<std::uint8_t> Bmp(std::int32_t width, std::int32_t height, std::uint16_t bits,
                              std::uint32_t compression = 0) {
    const std::size_t rows = static_cast<std::size_t>(height < 0 ? -height : height);
    const std::size_t stride = ((static_cast<std::size_t>(width) * bits + 31) / 32) * 4;
    std::vector<std::uint8_t> b(54 + stride * rows, 0);
    b[0] = 'B';
    b[1] = 'M';
    Put32(b, 2, static_cast<std::uint32_t>(b.size()));
    Put32(b, 10, 54);
    Put32(b, 14, 40);
    Put32(b, 18, static_cast<std::uint32_t>(width));
    Put32(b, 22, static_cast<std::uint32_t>(height));
    Put16(b, 26, 1);
    Put16(b, 28, bits);
    Put32(b, 30, compression);
    return b;
}

TEST(BmpPixels, UncompressedPicturesGiveTheirRowsAndPadding) {
    // Three 24-bit pixels are nine bytes, stored as twelve.
    const auto odd = ReadBmpPixels(Bmp(3, 2, 24));
    ASSERT_TRUE(odd);
    EXPECT_EQ(odd->width, 3);
    EXPECT_EQ(odd->height, 2);
    EXPECT_EQ(odd->stride, 12u);
    EXPECT_EQ(odd->pixelOffset, 54u);
    EXPECT_FALSE(odd->topDown);

    const auto topDown = ReadBmpPixels(Bmp(5, -4, 32));
    ASSERT_TRUE(topDown);
    EXPECT_TRUE(topDown->topDown);
    EXPECT_EQ(topDown->height, 4);
    EXPECT_EQ(topDown->stride, 20u);
    EXPECT_EQ(topDown->bitCount, 32);

    // Pixels placed after a gap (a colour table some writers add) are found where the header says.
    auto gap = Bmp(2, 2, 24);
    gap.insert(gap.begin() + 54, 16, 0xAA);
    Put32(gap, 10, 70);
    const auto later = ReadBmpPixels(gap);
    ASSERT_TRUE(later);
    EXPECT_EQ(later->pixelOffset, 70u);
}

TEST(BmpPixels, FilesWhosePixelsAreNotWhereTheyClaimAreRefused) {
    auto shortByOne = Bmp(4, 4, 24);
    shortByOne.pop_back();
    EXPECT_FALSE(ReadBmpPixels(shortByOne));

    auto intoHeaders = Bmp(2, 2, 24);
    Put32(intoHeaders, 10, 20);  // pixels would overlap the info header
    EXPECT_FALSE(ReadBmpPixels(intoHeaders));

    auto pastEnd = Bmp(2, 2, 24);
    Put32(pastEnd, 10, 0xFFFFFFF0u);
    EXPECT_FALSE(ReadBmpPixels(pastEnd));

    auto headerPastEnd = Bmp(2, 2, 24);
    Put32(headerPastEnd, 14, 0x7FFFFFFF);
    EXPECT_FALSE(ReadBmpPixels(headerPastEnd));

    auto headersOnly = Bmp(1, 1, 24);
    headersOnly.resize(40);
    EXPECT_FALSE(ReadBmpPixels(headersOnly));
    EXPECT_FALSE(ReadBmpPixels({}));
}

TEST(BmpPixels, OtherKindsAreLeftToTheSystemDecoder) {
    EXPECT_FALSE(ReadBmpPixels(Bmp(4, 4, 8)));  // palette
    EXPECT_FALSE(ReadBmpPixels(Bmp(4, 4, 16)));
    EXPECT_FALSE(ReadBmpPixels(Bmp(4, 4, 32, 3)));  // bit fields
    EXPECT_FALSE(ReadBmpPixels(Bmp(4, 4, 24, 1)));  // run-length coded
    auto notBmp = Bmp(4, 4, 24);
    notBmp[0] = 0xFF;  // a JPEG starts FF D8
    notBmp[1] = 0xD8;
    EXPECT_FALSE(ReadBmpPixels(notBmp));
    auto planes = Bmp(4, 4, 24);
    Put16(planes, 26, 2);
    EXPECT_FALSE(ReadBmpPixels(planes));
}

TEST(BmpPixels, ImpossibleSidesAreRefused) {
    EXPECT_FALSE(ReadBmpPixels(Bmp(0, 4, 24)));
    EXPECT_FALSE(ReadBmpPixels(Bmp(4, 0, 24)));
    auto negativeWidth = Bmp(4, 4, 24);
    Put32(negativeWidth, 18, static_cast<std::uint32_t>(-4));
    EXPECT_FALSE(ReadBmpPixels(negativeWidth));
    // The one height without a positive counterpart, and sides whose rows would overflow.
    auto lowest = Bmp(1, 1, 24);
    Put32(lowest, 22, 0x80000000u);
    EXPECT_FALSE(ReadBmpPixels(lowest));
    auto wide = Bmp(1, 1, 24);
    Put32(wide, 18, 0x7FFFFFFF);
    EXPECT_FALSE(ReadBmpPixels(wide));
}

}  // namespace
}  // namespace q350::skin
