// Colour swatches, the clip button, the interactive progress bar, the tray menu's item drawing and
// thumb shapes.
#include <windows.h>

#include <gtest/gtest.h>

#include "skin/win/avi_button.h"
#include "skin/win/color_btn.h"
#include "skin/win/images.h"
#include "skin/win/png_h_progress_bar.h"
#include "skin/win/skin_ids.h"
#include "skin/win/xp_menu.h"
#include "test_host.h"

namespace q350::ui {
namespace {

using test::Pump;
using test::TestHost;

// Draws a control into a memory picture through WM_PRINTCLIENT and reads one pixel.
class Snapshot {
public:
    Snapshot(HWND hwnd, int w, int h) : screen_(nullptr), dc_(screen_.get()) {
        bitmap_.Reset(CreateCompatibleBitmap(screen_.get(), w, h));
        old_ = SelectObject(dc_.get(), bitmap_.get());
        if (hwnd)
            SendMessageW(hwnd, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc_.get()), PRF_CLIENT);
    }
    ~Snapshot() { SelectObject(dc_.get(), old_); }
    HDC dc() const { return dc_.get(); }
    COLORREF At(int x, int y) const { return GetPixel(dc_.get(), x, y); }

private:
    WindowDc screen_;
    MemoryDc dc_;
    Bitmap bitmap_;
    HGDIOBJ old_;
};

TEST(ColorBtnWin, FillAndFrameColourFollowTheState) {
    TestHost host;
    CColorBtn swatch;
    ASSERT_TRUE(swatch.Create(host.hwnd(), RECT{10, 10, 34, 34}));
    swatch.colour = RGB(10, 200, 30);
    {
        Snapshot s(swatch.hwnd(), 24, 24);
        EXPECT_EQ(s.At(12, 12), RGB(10, 200, 30));
        EXPECT_EQ(s.At(0, 12), RGB(10, 200, 30));  // no frame
    }
    swatch.frameOn = 1;
    {
        Snapshot s(swatch.hwnd(), 24, 24);
        EXPECT_EQ(s.At(0, 12), RGB(49, 52, 57));
        EXPECT_EQ(s.At(23, 12), RGB(49, 52, 57));
    }
    swatch.hover = 1;
    {
        Snapshot s(swatch.hwnd(), 24, 24);
        EXPECT_EQ(s.At(12, 0), RGB(232, 190, 28));
    }
    swatch.selectedLook = 1;
    {
        Snapshot s(swatch.hwnd(), 24, 24);
        EXPECT_EQ(s.At(12, 23), RGB(57, 56, 57));
        EXPECT_EQ(s.At(12, 12), RGB(10, 200, 30));
    }
    ReleaseCapture();
}

TEST(AviButtonWin, DoubleClickPlaysUntilTheTimerStopsIt) {
    TestHost host;
    CAVIButton clip;
    clip.animationId = IDR_DBLCLICK_AVI;
    ASSERT_TRUE(clip.Create(host.hwnd(), RECT{10, 10, 63, 50}));
    SendMessageW(clip.hwnd(), WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(5, 5));
    EXPECT_EQ(clip.playing, 1);
    // A second double click during playback restarts it.
    SendMessageW(clip.hwnd(), WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(5, 5));
    EXPECT_EQ(clip.playing, 1);
    SendMessageW(clip.hwnd(), WM_TIMER, 1, 0);
    EXPECT_EQ(clip.playing, 0);
    // Its clicks stay its own.
    SendMessageW(host.hwnd(), WM_COMMAND, 0, reinterpret_cast<LPARAM>(clip.hwnd()));
    EXPECT_TRUE(host.Of(WM_COMMAND).empty());
}

TEST(ProgressBarWin, InteractiveBarReportsTheReleasePosition) {
    TestHost host;
    CPngHProgressBar bar;
    ASSERT_TRUE(bar.Create(RECT{20, 20, 120, 30}, host.hwnd()));
    bar.min = 0;
    bar.max = 100;
    SendMessageW(bar.hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 5));
    SendMessageW(bar.hwnd(), WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(30, 5));
    EXPECT_EQ(bar.pos, 30);
    SendMessageW(bar.hwnd(), WM_LBUTTONUP, 0, MAKELPARAM(75, 5));
    Pump();
    const auto r = host.Of(kMsgProgressPos);
    ASSERT_EQ(r.size(), 1u);
    EXPECT_EQ(r[0].wp, 75u);
    EXPECT_EQ(r[0].lp, 777);
    EXPECT_EQ(bar.FillWidth(), 75);
    // A display-only bar ignores the pointer.
    bar.disabledInput = 1;
    SendMessageW(bar.hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 5));
    SendMessageW(bar.hwnd(), WM_LBUTTONUP, 0, MAKELPARAM(10, 5));
    EXPECT_EQ(bar.pos, 75);
}

TEST(XPMenuWin, SelectedItemHasABlackFrameAndBlueGreyFill) {
    MEASUREITEMSTRUCT mis{};
    CXPMenu::MeasureItem(mis);
    EXPECT_EQ(mis.itemWidth, 75u);
    EXPECT_EQ(mis.itemHeight, 22u);
    XPMenuItem item{IDI_SKIN_TRAY, IDI_SKIN_TRAY, L"Config"};
    Snapshot s(nullptr, 75, 22);
    DRAWITEMSTRUCT dis{};
    dis.CtlType = ODT_MENU;
    dis.itemState = ODS_SELECTED;
    dis.hDC = s.dc();
    dis.rcItem = RECT{0, 0, 75, 22};
    dis.itemData = reinterpret_cast<ULONG_PTR>(&item);
    CXPMenu::DrawItem(dis);
    EXPECT_EQ(s.At(0, 10), RGB(0, 0, 0));
    EXPECT_EQ(s.At(70, 1), RGB(177, 185, 207));
    dis.itemState = 0;
    CXPMenu::DrawItem(dis);
    EXPECT_EQ(s.At(0, 10), RGB(219, 216, 209));
}

TEST(ThumbShapeWin, TransparentAndBlackPixelsAreCutAway) {
    TestHost host;
    HWND thumb = CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE, 5, 5, 10, 10,
                                 host.hwnd(), nullptr, GetModuleHandleW(nullptr), nullptr);
    Gdiplus::Bitmap picture(10, 10, PixelFormat32bppARGB);
    for (int y = 0; y < 10; ++y) {
        for (int x = 0; x < 10; ++x) {
            const bool corner = (x < 2 && y < 2) || (x > 7 && y > 7);
            picture.SetPixel(
                x, y, corner ? Gdiplus::Color(0, 0, 0, 0) : Gdiplus::Color(255, 31, 161, 211));
        }
    }
    picture.SetPixel(5, 5, Gdiplus::Color(255, 0, 0, 0));  // opaque black goes too
    RegionFromCornerColour(thumb, picture);
    Region shape(CreateRectRgn(0, 0, 0, 0));
    ASSERT_NE(GetWindowRgn(thumb, shape.get()), ERROR);
    EXPECT_FALSE(PtInRegion(shape.get(), 0, 0));
    EXPECT_FALSE(PtInRegion(shape.get(), 9, 9));
    EXPECT_FALSE(PtInRegion(shape.get(), 5, 5));
    EXPECT_TRUE(PtInRegion(shape.get(), 4, 4));
    EXPECT_TRUE(PtInRegion(shape.get(), 9, 0));
    DestroyWindow(thumb);
}

TEST(ThumbShapeWin, TheShippedThumbsAreShapedAsAPixelByPixelTestWould) {
    TestHost host;
    for (const wchar_t* name : {L"Slider.png", L"SliderDisable.PNG"}) {
        auto picture = LoadImageFile(SkinPath(name));
        ASSERT_TRUE(picture) << name;
        const int pw = static_cast<int>(picture->GetWidth());
        const int ph = static_cast<int>(picture->GetHeight());
        // A window two pixels wider and taller than its picture: the extra pixels stay.
        HWND thumb = CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE, 0, 0, pw + 2, ph + 2,
                                     host.hwnd(), nullptr, GetModuleHandleW(nullptr), nullptr);
        RegionFromCornerColour(thumb, *picture);
        Region shape(CreateRectRgn(0, 0, 0, 0));
        ASSERT_NE(GetWindowRgn(thumb, shape.get()), ERROR) << name;
        HBITMAP raw = nullptr;
        ASSERT_EQ(picture->GetHBITMAP(Gdiplus::Color(255, 0, 0, 0), &raw), Gdiplus::Ok);
        Bitmap flat(raw);
        MemoryDc dc(nullptr);
        SelectGuard sel(dc.get(), flat.get());
        const COLORREF key = GetPixel(dc.get(), 0, 0);
        int cut = 0;
        for (int y = 0; y < ph + 2; ++y) {
            for (int x = 0; x < pw + 2; ++x) {
                const bool keyed = x < pw && y < ph && GetPixel(dc.get(), x, y) == key;
                cut += keyed ? 1 : 0;
                EXPECT_EQ(PtInRegion(shape.get(), x, y) != 0, !keyed) << name << " " << x << "," << y;
            }
        }
        EXPECT_GT(cut, 0) << name;
        DestroyWindow(thumb);
    }
}

}  // namespace
}  // namespace q350::ui
