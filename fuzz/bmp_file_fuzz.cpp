// Fuzz target of the BMP header reader: whatever a skin file holds, an accepted layout's pixels
// lie inside the file, and reading every stored row stays within it.
#include <cstddef>
#include <cstdint>
#include <span>

#include "skin/bmp_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::span<const std::uint8_t> file(data, size);
    const auto layout = q350::skin::ReadBmpPixels(file);
    if (!layout) {
        return 0;
    }
    const std::size_t pixelBytes = layout->stride * static_cast<std::size_t>(layout->height);
    if (layout->pixelOffset + pixelBytes > size || layout->width <= 0 || layout->height <= 0 ||
        layout->stride < static_cast<std::size_t>(layout->width) * (layout->bitCount / 8)) {
        __builtin_trap();
    }
    // Touch the first and last byte of every row, as a copy into a picture would.
    unsigned sum = 0;
    for (std::int32_t row = 0; row < layout->height; ++row) {
        const std::size_t at = layout->pixelOffset + layout->stride * static_cast<std::size_t>(row);
        sum += data[at] + data[at + layout->stride - 1];
    }
    return static_cast<int>(sum & 0);
}
