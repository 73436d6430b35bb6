// region_bench SHEET.bmp [RUNS]: the time to shape a window after its key colour, as the program
// does it (runs of pixels handed to the system in one region) beside a naive region built pixel by
// pixel with CombineRgn; prints both and the ratio. Both regions must cover the same pixels.
#include <windows.h>

#include <chrono>
#include <cstdio>
#include <algorithm>
#include <cwchar>

#include "skin/win/framework/gdi.h"
#include "skin/win/images.h"

namespace {

using Clock = std::chrono::steady_clock;

double Ms(Clock::duration d) {
    return std::chrono::duration<double, std::milli>(d).count();
}

// Every pixel but the key colour, one 1 x 1 rectangle at a time.
HRGN NaiveRegion(HBITMAP bitmap) {
    const SIZE size = q350::ui::BitmapSize(bitmap);
    q350::ui::MemoryDc dc(nullptr);
    q350::ui::SelectGuard keep(dc.get(), bitmap);
    HRGN region = CreateRectRgn(0, 0, 0, 0);
    const COLORREF key = RGB(255, 0, 253);
    for (int y = 0; y < size.cy; ++y) {
        for (int x = 0; x < size.cx; ++x) {
            if (GetPixel(dc.get(), x, y) != key) {
                HRGN pixel = CreateRectRgn(x, y, x + 1, y + 1);
                CombineRgn(region, region, pixel, RGN_OR);
                DeleteObject(pixel);
            }
        }
    }
    return region;
}

}  // namespace

extern "C" int wmain(int argc, wchar_t** argv);

int wmain(int argc, wchar_t** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: region_bench SHEET.bmp [RUNS]\n");
        return 2;
    }
    const int runs = argc > 2 ? _wtoi(argv[2]) : 5;
    q350::ui::Bitmap sheet;
    SIZE size{};
    q350::ui::LoadPictureFile(argv[1], sheet, size);
    if (!sheet) {
        std::fprintf(stderr, "region_bench: cannot read %ls\n", argv[1]);
        return 1;
    }
    double fast = 1e300;
    HRGN fastRegion = nullptr;
    for (int i = 0; i < runs; ++i) {
        const auto start = Clock::now();
        HRGN r = q350::ui::RegionFromKeyColour(sheet.get());
        fast = std::min(fast, Ms(Clock::now() - start));
        if (fastRegion) {
            DeleteObject(fastRegion);
        }
        fastRegion = r;
    }
    const auto start = Clock::now();
    HRGN naive = NaiveRegion(sheet.get());
    const double slow = Ms(Clock::now() - start);
    const bool same = fastRegion != nullptr && EqualRgn(fastRegion, naive) != FALSE;
    std::printf("picture %ldx%ld\n", size.cx, size.cy);
    std::printf("key-colour region (runs):   %.1f ms (best of %d)\n", fast, runs);
    std::printf("naive per-pixel region:     %.1f ms\n", slow);
    std::printf("speed-up: %.0fx%s\n", fast > 0 ? slow / fast : 0.0,
                same ? "" : "  (THE REGIONS DIFFER)");
    DeleteObject(naive);
    if (fastRegion) {
        DeleteObject(fastRegion);
    }
    return same ? 0 : 1;
}
