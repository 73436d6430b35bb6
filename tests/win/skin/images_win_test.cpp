// Picture loading and window shapes on the generated skin.
#include <windows.h>

#include <gtest/gtest.h>

#include "skin/region_runs.h"
#include "skin/win/images.h"
#include "test_host.h"

namespace q350::ui {
namespace {

TEST(ImagesWin, KeyColourRegionMatchesPerPixelTestOnTheMainSheet) {
    Bitmap sheet;
    SIZE size{};
    LoadPictureFile(SkinPath(L"Main_Normal.bmp").c_str(), sheet, size);
    ASSERT_TRUE(sheet);
    EXPECT_EQ(size.cx, 960);
    EXPECT_EQ(size.cy, 650);
    Region region(RegionFromKeyColour(sheet.get()));
    ASSERT_TRUE(region);
    MemoryDc dc(nullptr);
    SelectGuard sel(dc.get(), sheet.get());
    int keyed = 0;
    for (int y = 0; y < size.cy; ++y) {
        for (int x = 0; x < size.cx; ++x) {
            const bool key = GetPixel(dc.get(), x, y) == skin::kKeyColourRef;
            keyed += key;
            ASSERT_EQ(PtInRegion(region.get(), x, y) != 0, !key) << x << "," << y;
        }
    }
    EXPECT_GT(keyed, 0);  // the sheet has rounded corners
}

TEST(ImagesWin, MissingFilesAndResources) {
    Bitmap target(CreateBitmap(4, 4, 1, 32, nullptr));
    SIZE size{7, 7};
    LoadPictureFile(L"Z:\\no\\such\\picture.bmp", target, size);
    EXPECT_FALSE(target);
    EXPECT_EQ(size.cx, 0);
    EXPECT_EQ(RegionFromKeyColour(nullptr), nullptr);
    std::unique_ptr<Gdiplus::Image> image;
    EXPECT_FALSE(LoadPngResource(L"PNG", 999, image));
    EXPECT_FALSE(image);
    ASSERT_TRUE(LoadPngResource(L"PNG", 173, image));
    EXPECT_EQ(image->GetWidth(), 65u);
    ASSERT_TRUE(LoadPngResource(L"PNG", 179, image));
    EXPECT_EQ(image->GetWidth(), 19u);
    EXPECT_EQ(image->GetHeight(), 11u);
}

TEST(ImagesWin, CopyBitmapPartCutsTheRectangleAndIgnoresAnEmptySource) {
    WindowDc screen(nullptr);
    Bitmap source(CreateCompatibleBitmap(screen.get(), 20, 20));
    {
        MemoryDc dc(screen.get());
        SelectGuard sel(dc.get(), source.get());
        RECT all{0, 0, 20, 20};
        FillRect(dc.get(), &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
        SetPixel(dc.get(), 5, 6, RGB(255, 255, 255));
    }
    Bitmap part;
    CopyBitmapPart(screen.get(), part, source, RECT{5, 6, 15, 12});
    ASSERT_TRUE(part);
    EXPECT_EQ(BitmapSize(part.get()).cx, 10);
    EXPECT_EQ(BitmapSize(part.get()).cy, 6);
    {
        MemoryDc dc(screen.get());
        SelectGuard sel(dc.get(), part.get());
        EXPECT_EQ(GetPixel(dc.get(), 0, 0), RGB(255, 255, 255));
    }
    const HBITMAP before = part.get();
    Bitmap empty;
    CopyBitmapPart(screen.get(), part, empty, RECT{0, 0, 3, 3});
    EXPECT_EQ(part.get(), before);
}

}  // namespace
}  // namespace q350::ui
