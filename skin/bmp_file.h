#pragma once

// Where the pixels of an uncompressed BMP file are, read from its headers with every size and
// offset checked against the file. The skin sheets are such files; anything else (compressed,
// palette, JPEG) is left to the system's picture decoder.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

namespace q350::skin {

// File header: "BM", file size, two reserved words, offset of the pixels.
inline constexpr std::size_t kBmpFileHeaderSize = 14;
inline constexpr std::size_t kBmpPixelOffsetAt = 10;
// Info header (BITMAPINFOHEADER or a later, longer one) right after the file header.
inline constexpr std::size_t kBmpInfoHeaderMinSize = 40;
inline constexpr std::size_t kBmpInfoSizeAt = 14;
inline constexpr std::size_t kBmpWidthAt = 18;
inline constexpr std::size_t kBmpHeightAt = 22;  // negative: rows stored top-down
inline constexpr std::size_t kBmpPlanesAt = 26;
inline constexpr std::size_t kBmpBitCountAt = 28;
inline constexpr std::size_t kBmpCompressionAt = 30;
inline constexpr std::uint32_t kBmpUncompressed = 0;  // BI_RGB
// Pictures larger than this on either side are not skin sheets.
inline constexpr std::int32_t kBmpMaxSide = 16384;

struct BmpPixels {
    std::int32_t width = 0;
    std::int32_t height = 0;      // always positive
    bool topDown = false;         // rows stored from the top row down
    std::uint16_t bitCount = 0;   // 24 or 32
    std::size_t pixelOffset = 0;  // of the first stored row
    std::size_t stride = 0;       // bytes per stored row (rounded up to 4)
    std::size_t infoHeaderSize = 0;
};

// The layout of an uncompressed 24- or 32-bit BMP whose pixels lie wholly inside file; nothing
// for any other file.
std::optional<BmpPixels> ReadBmpPixels(std::span<const std::uint8_t> file);

}  // namespace q350::skin
