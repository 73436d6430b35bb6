#pragma once
// Horizontal runs of a window shape: every pixel that is not the skin key colour belongs to the
// window. Runs are handed out in batches so that no single region-building call grows large.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>
#include <vector>

#include "skin/geometry.h"

namespace q350::skin {

// The key colour red 255, green 0, blue 253, exactly (red 255, green 0, blue 255 is not it).
inline constexpr std::uint8_t kKeyRed = 255;
inline constexpr std::uint8_t kKeyGreen = 0;
inline constexpr std::uint8_t kKeyBlue = 253;
inline constexpr std::uint32_t kKeyColourRef = 0x00FD00FF;  // 0x00BBGGRR

// Rectangles per region-building batch, and the step by which the rectangle buffer grows.
inline constexpr std::size_t kRegionBatchRects = 2000;
inline constexpr std::size_t kRegionGrowRects = 100;

// Receives one batch: its rectangles (one pixel high) and their bounding box.
using RunBatchSink = std::function<void(std::span<const Rect> runs, const Rect& bounds)>;

// Scans a 32-bit picture whose bytes per pixel are blue, green, red, unused. `topRow` points at the
// picture's top row and `stride` is the byte distance from one row to the next one below (negative
// for bottom-up pictures). Calls sink for every full batch and once more for the remainder, when
// there is one. Returns the number of runs.
std::size_t CollectShapeRuns(const std::uint8_t* topRow, std::ptrdiff_t stride, int width,
                             int height, const RunBatchSink& sink);

// The horizontal runs (one pixel high) of the pixels of such a picture whose blue, green and red
// equal those of its top-left pixel: the parts a small control's window leaves out. Empty for an
// empty picture.
std::vector<Rect> CornerColourRuns(const std::uint8_t* topRow, std::ptrdiff_t stride, int width,
                                   int height);

}  // namespace q350::skin
