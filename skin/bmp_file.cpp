#include "skin/bmp_file.h"

namespace q350::skin {

namespace {

std::uint16_t U16(std::span<const std::uint8_t> b, std::size_t at) {
    return static_cast<std::uint16_t>(b[at] | (b[at + 1] << 8));
}

std::uint32_t U32(std::span<const std::uint8_t> b, std::size_t at) {
    return static_cast<std::uint32_t>(b[at]) | (static_cast<std::uint32_t>(b[at + 1]) << 8) |
           (static_cast<std::uint32_t>(b[at + 2]) << 16) |
           (static_cast<std::uint32_t>(b[at + 3]) << 24);
}

}  // namespace

std::optional<BmpPixels> ReadBmpPixels(std::span<const std::uint8_t> file) {
    if (file.size() < kBmpFileHeaderSize + kBmpInfoHeaderMinSize || file[0] != 'B' ||
        file[1] != 'M') {
        return std::nullopt;
    }
    BmpPixels p;
    p.infoHeaderSize = U32(file, kBmpInfoSizeAt);
    if (p.infoHeaderSize < kBmpInfoHeaderMinSize ||
        p.infoHeaderSize > file.size() - kBmpFileHeaderSize) {
        return std::nullopt;
    }
    p.width = static_cast<std::int32_t>(U32(file, kBmpWidthAt));
    const auto height = static_cast<std::int32_t>(U32(file, kBmpHeightAt));
    p.bitCount = U16(file, kBmpBitCountAt);
    if (U16(file, kBmpPlanesAt) != 1 || U32(file, kBmpCompressionAt) != kBmpUncompressed ||
        (p.bitCount != 24 && p.bitCount != 32)) {
        return std::nullopt;
    }
    // INT32_MIN has no positive counterpart: the side check below refuses it with the others.
    if (p.width <= 0 || p.width > kBmpMaxSide || height == 0 || height < -kBmpMaxSide ||
        height > kBmpMaxSide) {
        return std::nullopt;
    }
    p.topDown = height < 0;
    p.height = p.topDown ? -height : height;
    p.stride = ((static_cast<std::size_t>(p.width) * p.bitCount + 31) / 32) * 4;
    p.pixelOffset = U32(file, kBmpPixelOffsetAt);
    if (p.pixelOffset < kBmpFileHeaderSize + p.infoHeaderSize || p.pixelOffset > file.size()) {
        return std::nullopt;
    }
    const std::size_t pixelBytes = p.stride * static_cast<std::size_t>(p.height);
    if (pixelBytes > file.size() - p.pixelOffset) {
        return std::nullopt;
    }
    return p;
}

}  // namespace q350::skin
