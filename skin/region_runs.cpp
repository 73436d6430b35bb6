#include "skin/region_runs.h"

#include <algorithm>
#include <climits>
#include <vector>

namespace q350::skin {

namespace {

bool IsKey(const std::uint8_t* px) {
    return px[0] == kKeyBlue && px[1] == kKeyGreen && px[2] == kKeyRed;
}

Rect EmptyBounds() {
    return {INT_MAX, INT_MAX, 0, 0};
}

}  // namespace

std::size_t CollectShapeRuns(const std::uint8_t* topRow, std::ptrdiff_t stride, int width,
                             int height, const RunBatchSink& sink) {
    std::vector<Rect> runs;
    runs.reserve(kRegionGrowRects);
    Rect bounds = EmptyBounds();
    std::size_t total = 0;
    for (int y = 0; y < height; ++y) {
        const std::uint8_t* row = topRow + stride * y;
        for (int x = 0; x < width; ++x) {
            const int x0 = x;
            while (x < width && !IsKey(row + 4 * x))
                ++x;
            if (x == x0)
                continue;  // x is a key pixel; the next run starts after it
            if (runs.size() == runs.capacity())
                runs.reserve(runs.capacity() + kRegionGrowRects);
            runs.push_back({x0, y, x, y + 1});
            bounds.left = std::min(bounds.left, x0);
            bounds.top = std::min(bounds.top, y);
            bounds.right = std::max(bounds.right, x);
            bounds.bottom = std::max(bounds.bottom, y + 1);
            ++total;
            if (runs.size() == kRegionBatchRects) {
                sink(runs, bounds);
                runs.clear();
                bounds = EmptyBounds();
            }
        }
    }
    if (!runs.empty())
        sink(runs, bounds);
    return total;
}

std::vector<Rect> CornerColourRuns(const std::uint8_t* topRow, std::ptrdiff_t stride, int width,
                                   int height) {
    std::vector<Rect> runs;
    if (topRow == nullptr || width <= 0 || height <= 0)
        return runs;
    auto same = [key = topRow](const std::uint8_t* px) {
        return px[0] == key[0] && px[1] == key[1] && px[2] == key[2];
    };
    for (int y = 0; y < height; ++y) {
        const std::uint8_t* row = topRow + stride * y;
        for (int x = 0; x < width;) {
            if (!same(row + 4 * x)) {
                ++x;
                continue;
            }
            const int x0 = x;
            while (x < width && same(row + 4 * x))
                ++x;
            runs.push_back({x0, y, x, y + 1});
        }
    }
    return runs;
}

}  // namespace q350::skin
