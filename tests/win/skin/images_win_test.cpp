// Picture loading and window shapes on the generated skin.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <vector>

#include "skin/region_runs.h"
#include "skin/win/images.h"
#include "test_host.h"

namespace q350::ui {
namespace {

void Put(std::vector<std::uint8_t>& b, std::size_t at, std::uint32_t v, int bytes) {
    for (int i = 0; i < bytes; ++i) {
        b[at + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(v >> (8 * i));
    }
}

// A BMP file of width x rows whose pixel (x, y) from the top is colour(x, y); palette files get a
// grey ramp of 256 entries and the index colour(x, y) & 0xFF.
template <class Colour>
std::filesystem::path WriteBmp(const wchar_t* name, int width, int rows, int bits, bool topDown,
                               Colour colour) {
    const std::size_t palette = bits == 8 ? 256 * 4 : 0;
    const std::size_t stride = ((static_cast<std::size_t>(width) * bits + 31) / 32) * 4;
    std::vector<std::uint8_t> b(54 + palette + stride * static_cast<std::size_t>(rows), 0);
    b[0] = 'B';
    b[1] = 'M';
    Put(b, 2, static_cast<std::uint32_t>(b.size()), 4);
    Put(b, 10, static_cast<std::uint32_t>(54 + palette), 4);
    Put(b, 14, 40, 4);
    Put(b, 18, static_cast<std::uint32_t>(width), 4);
    Put(b, 22, static_cast<std::uint32_t>(topDown ? -rows : rows), 4);
    Put(b, 26, 1, 2);
    Put(b, 28, static_cast<std::uint32_t>(bits), 2);
    for (std::size_t i = 0; i < palette / 4; ++i) {
        b[54 + 4 * i] = b[55 + 4 * i] = b[56 + 4 * i] = static_cast<std::uint8_t>(i);
    }
    for (int y = 0; y < rows; ++y) {
        const int stored = topDown ? y : rows - 1 - y;
        std::uint8_t* row = b.data() + 54 + palette + stride * static_cast<std::size_t>(stored);
        for (int x = 0; x < width; ++x) {
            const COLORREF c = colour(x, y);
            if (bits == 8) {
                row[x] = static_cast<std::uint8_t>(c & 0xFF);
                continue;
            }
            std::uint8_t* px =
                row + static_cast<std::size_t>(x) * static_cast<std::size_t>(bits / 8);
            px[0] = GetBValue(c);
            px[1] = GetGValue(c);
            px[2] = GetRValue(c);
        }
    }
    const auto path = std::filesystem::temp_directory_path() / name;
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(b.data()), static_cast<std::streamsize>(b.size()));
    return path;
}

COLORREF Pattern(int x, int y) {
    return RGB(10 * x + 1, 20 * y + 2, (x * 7 + y * 3) & 0xFF);
}

COLORREF PixelOf(HBITMAP bitmap, int x, int y) {
    MemoryDc dc(nullptr);
    SelectGuard sel(dc.get(), bitmap);
    return GetPixel(dc.get(), x, y);
}

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

TEST(ImagesWin, PicturesLoadPixelForPixelWhateverTheirRowOrderDepthOrPalette) {
    struct Case {
        const wchar_t* name;
        int bits;
        bool topDown;
    };
    // Three pixels a row leave padding at the end of 24-bit rows; 8-bit files go to the decoder.
    for (const Case c :
         {Case{L"q350-rows-up-24.bmp", 24, false}, Case{L"q350-rows-down-32.bmp", 32, true},
          Case{L"q350-rows-up-32.bmp", 32, false}, Case{L"q350-palette-8.bmp", 8, false}}) {
        const auto path = WriteBmp(c.name, 3, 5, c.bits, c.topDown, Pattern);
        Bitmap picture;
        SIZE size{};
        LoadPictureFile(path.wstring().c_str(), picture, size);
        ASSERT_TRUE(picture) << c.bits;
        EXPECT_EQ(size.cx, 3);
        EXPECT_EQ(size.cy, 5);
        for (int y = 0; y < 5; ++y) {
            for (int x = 0; x < 3; ++x) {
                const COLORREF want = c.bits == 8 ? RGB(Pattern(x, y) & 0xFF, Pattern(x, y) & 0xFF,
                                                        Pattern(x, y) & 0xFF)
                                                  : Pattern(x, y);
                EXPECT_EQ(PixelOf(picture.get(), x, y), want) << c.bits << " " << x << "," << y;
            }
        }
        std::filesystem::remove(path);
    }
}

TEST(ImagesWin, BrokenPictureFilesLeaveNothing) {
    auto path = WriteBmp(L"q350-cut-short.bmp", 40, 40, 24, false, Pattern);
    std::filesystem::resize_file(path, std::filesystem::file_size(path) - 100);
    Bitmap picture(CreateBitmap(4, 4, 1, 32, nullptr));
    SIZE size{9, 9};
    LoadPictureFile(path.wstring().c_str(), picture, size);
    if (picture) {
        // A decoder may show what there is; it must still be the picture's own size.
        EXPECT_EQ(size.cx, 40);
        EXPECT_EQ(size.cy, 40);
    } else {
        EXPECT_EQ(size.cx, 0);
        EXPECT_EQ(size.cy, 0);
    }
    std::ofstream(path, std::ios::binary | std::ios::trunc) << "BM not a picture at all";
    LoadPictureFile(path.wstring().c_str(), picture, size);
    EXPECT_FALSE(picture);
    EXPECT_EQ(size.cx, 0);
    std::filesystem::remove(path);
}

TEST(ImagesWin, PartOfASheetIsTheSameAsPartOfItsDecodedPicture) {
    Bitmap sheet;
    SIZE size{};
    const std::wstring path = SkinPath(L"Main_Normal.bmp");
    LoadPictureFile(path.c_str(), sheet, size);
    ASSERT_TRUE(sheet);
    std::unique_ptr<Gdiplus::Bitmap> decoded(Gdiplus::Bitmap::FromFile(path.c_str()));
    ASSERT_TRUE(decoded);
    // A corner with key colour and edge pixels, and one inside.
    for (const RECT r : {RECT{0, 0, 40, 30}, RECT{300, 200, 357, 241}}) {
        const int w = r.right - r.left, h = r.bottom - r.top;
        auto fromSheet = ImagePart(sheet.get(), r.left, r.top, w, h);
        auto fromDecoder = ImagePart(decoded.get(), r.left, r.top, w, h);
        ASSERT_TRUE(fromSheet);
        ASSERT_TRUE(fromDecoder);
        for (int y = 0; y < h; ++y) {
            for (int x = 0; x < w; ++x) {
                Gdiplus::Color a, b;
                fromSheet->GetPixel(x, y, &a);
                fromDecoder->GetPixel(x, y, &b);
                ASSERT_EQ(a.GetValue(), b.GetValue()) << x << "," << y;
            }
        }
    }
    EXPECT_FALSE(ImagePart(static_cast<HBITMAP>(nullptr), 0, 0, 4, 4));
    EXPECT_FALSE(ImagePart(sheet.get(), 0, 0, 0, 4));
}

TEST(ImagesWin, EveryLoadOfAnImageFileIsItsOwnCopy) {
    const std::wstring path = SkinPath(L"ProgressBar\\DpiPro_Normal.png");
    auto first = LoadImageFile(path);
    ASSERT_TRUE(first);
    Gdiplus::Color original;
    first->GetPixel(1, 1, &original);
    first->SetPixel(1, 1, Gdiplus::Color(255, 1, 2, 3));
    auto second = LoadImageFile(path);
    ASSERT_TRUE(second);
    EXPECT_NE(first.get(), second.get());
    Gdiplus::Color again;
    second->GetPixel(1, 1, &again);
    EXPECT_EQ(again.GetValue(), original.GetValue());
    EXPECT_EQ(second->GetWidth(), first->GetWidth());
    EXPECT_FALSE(LoadImageFile(SkinPath(L"no-such-picture.png")));
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

    // Several looks at once: each from its own sheet, a missing sheet leaving its look alone.
    const auto path = WriteBmp(L"q350-parts-24.bmp", 20, 20, 24, false, Pattern);
    Bitmap sheet;
    SIZE size{};
    LoadPictureFile(path.wstring().c_str(), sheet, size);
    ASSERT_TRUE(sheet);
    Bitmap looks[3];
    looks[2].Reset(CreateBitmap(1, 1, 1, 32, nullptr));
    const HBITMAP kept = looks[2].get();
    const HBITMAP sources[3] = {sheet.get(), source.get(), nullptr};
    CopyBitmapParts(screen.get(), looks, sources, 3, RECT{5, 6, 9, 8});
    EXPECT_EQ(BitmapSize(looks[0].get()).cx, 4);
    EXPECT_EQ(PixelOf(looks[0].get(), 3, 1), Pattern(8, 7));
    EXPECT_EQ(PixelOf(looks[1].get(), 0, 0), RGB(255, 255, 255));
    EXPECT_EQ(looks[2].get(), kept);
    std::filesystem::remove(path);
}

}  // namespace
}  // namespace q350::ui
