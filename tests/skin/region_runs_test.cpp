#include "skin/region_runs.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace q350::skin {
namespace {

// A 32-bit picture in memory, blue-green-red-unused per pixel.
struct Picture {
    int w, h;
    std::vector<std::uint8_t> px;
    Picture(int width, int height) : w(width), h(height), px(std::size_t(width) * height * 4, 40) {}
    void Set(int x, int y, std::uint8_t r, std::uint8_t g, std::uint8_t b) {
        std::uint8_t* p = &px[(std::size_t(y) * w + x) * 4];
        p[0] = b;
        p[1] = g;
        p[2] = r;
    }
    void Key(int x, int y) { Set(x, y, 255, 0, 253); }
};

struct Collected {
    std::vector<Rect> runs;
    std::vector<std::size_t> batchSizes;
    std::vector<Rect> bounds;
};

Collected Collect(const Picture& pic, bool bottomUp = false) {
    Collected c;
    const std::uint8_t* top = pic.px.data();
    std::ptrdiff_t stride = pic.w * 4;
    std::vector<std::uint8_t> flipped;
    if (bottomUp) {  // store rows bottom first and scan with a negative stride
        flipped.resize(pic.px.size());
        for (int y = 0; y < pic.h; ++y) {
            std::copy_n(&pic.px[std::size_t(y) * pic.w * 4], pic.w * 4,
                        &flipped[std::size_t(pic.h - 1 - y) * pic.w * 4]);
        }
        top = flipped.data() + std::size_t(pic.h - 1) * pic.w * 4;
        stride = -stride;
    }
    CollectShapeRuns(top, stride, pic.w, pic.h, [&](std::span<const Rect> runs, const Rect& b) {
        c.runs.insert(c.runs.end(), runs.begin(), runs.end());
        c.batchSizes.push_back(runs.size());
        c.bounds.push_back(b);
    });
    return c;
}

// Naive membership: is (x, y) covered by one of the runs?
bool Covered(const std::vector<Rect>& runs, int x, int y) {
    for (const Rect& r : runs) {
        if (r.Contains(x, y))
            return true;
    }
    return false;
}

TEST(ShapeRuns, PictureWithoutKeyGivesOneRunPerRow) {
    const Picture pic(10, 4);
    const Collected c = Collect(pic);
    ASSERT_EQ(c.runs.size(), 4u);
    for (int y = 0; y < 4; ++y)
        EXPECT_EQ(c.runs[y], (Rect{0, y, 10, y + 1}));
    ASSERT_EQ(c.bounds.size(), 1u);
    EXPECT_EQ(c.bounds[0], (Rect{0, 0, 10, 4}));
}

TEST(ShapeRuns, OnlyTheExactKeyColourIsOutside) {
    Picture pic(6, 3);
    for (int x = 0; x < 6; ++x)
        pic.Key(x, 1);           // a whole row of key colour
    pic.Set(2, 0, 255, 0, 255);  // magenta is inside
    pic.Key(3, 2);
    const Collected c = Collect(pic);
    const std::vector<Rect> expected = {{0, 0, 6, 1}, {0, 2, 3, 3}, {4, 2, 6, 3}};
    EXPECT_EQ(c.runs, expected);
}

TEST(ShapeRuns, MatchesPerPixelTestOnABusySheet) {
    Picture pic(97, 61);
    std::uint32_t seed = 12345;
    for (int y = 0; y < pic.h; ++y) {
        for (int x = 0; x < pic.w; ++x) {
            seed = seed * 1103515245u + 12345u;
            if ((seed >> 16) % 3 == 0)
                pic.Key(x, y);
        }
    }
    for (bool bottomUp : {false, true}) {
        const Collected c = Collect(pic, bottomUp);
        for (int y = 0; y < pic.h; ++y) {
            for (int x = 0; x < pic.w; ++x) {
                const std::uint8_t* p = &pic.px[(std::size_t(y) * pic.w + x) * 4];
                const bool inside = !(p[0] == 253 && p[1] == 0 && p[2] == 255);
                ASSERT_EQ(Covered(c.runs, x, y), inside) << x << "," << y << " up=" << bottomUp;
            }
        }
    }
}

TEST(ShapeRuns, ManyRunsComeInBatchesOf2000) {
    Picture pic(200, 50);  // every other pixel keyed: 100 runs per row, 5,000 runs
    for (int y = 0; y < pic.h; ++y) {
        for (int x = 1; x < pic.w; x += 2)
            pic.Key(x, y);
    }
    const Collected c = Collect(pic);
    EXPECT_EQ(c.runs.size(), 5000u);
    EXPECT_EQ(c.batchSizes, (std::vector<std::size_t>{2000, 2000, 1000}));
    // Each batch's bounds are its own, not the whole picture's.
    EXPECT_EQ(c.bounds[0], (Rect{0, 0, 199, 20}));
    EXPECT_EQ(c.bounds[2], (Rect{0, 40, 199, 50}));
}

}  // namespace
}  // namespace q350::skin

namespace q350::skin {
namespace {

std::vector<Rect> CornerRuns(const Picture& pic) {
    return CornerColourRuns(pic.px.data(), pic.w * 4, pic.w, pic.h);
}

TEST(CornerColourRuns, CoverExactlyThePixelsOfTheCornersColour) {
    // The corner's colour (40, 40, 40 here) wherever it stands, the unused byte not looked at.
    Picture pic(6, 3);
    for (int x = 1; x < 5; ++x) {
        pic.Set(x, 0, 200, 10, 10);
    }
    pic.Set(2, 1, 40, 40, 41);  // one blue step off: not the key
    pic.px[(std::size_t(1) * 6 + 4) * 4 + 3] = 99;  // same colour, other unused byte: the key
    pic.Set(0, 2, 1, 2, 3);
    const std::vector<Rect> want = {{0, 0, 1, 1}, {5, 0, 6, 1}, {0, 1, 2, 2},
                                    {3, 1, 6, 2}, {1, 2, 6, 3}};
    EXPECT_EQ(CornerRuns(pic), want);

    // Every pixel in the run list is of the corner's colour, and every such pixel is in it.
    Picture busy(23, 17);
    for (int y = 0; y < busy.h; ++y) {
        for (int x = 0; x < busy.w; ++x) {
            if ((x * 7 + y * 3) % 5 == 0) {
                busy.Set(x, y, 9, 9, 9);
            }
        }
    }
    std::vector<std::vector<int>> covered(busy.h, std::vector<int>(busy.w, 0));
    for (const Rect& r : CornerRuns(busy)) {
        ASSERT_EQ(r.bottom - r.top, 1);
        for (int x = r.left; x < r.right; ++x) {
            ++covered[r.top][x];
        }
    }
    for (int y = 0; y < busy.h; ++y) {
        for (int x = 0; x < busy.w; ++x) {
            const std::uint8_t* p = &busy.px[(std::size_t(y) * busy.w + x) * 4];
            const bool key = p[0] == busy.px[0] && p[1] == busy.px[1] && p[2] == busy.px[2];
            EXPECT_EQ(covered[y][x], key ? 1 : 0) << x << "," << y;
        }
    }
    EXPECT_TRUE(CornerColourRuns(nullptr, 0, 0, 0).empty());
}

}  // namespace
}  // namespace q350::skin
