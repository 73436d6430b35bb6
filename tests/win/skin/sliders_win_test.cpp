// Slider clicks and drags, and the progress bar's fill.
#include <windows.h>

#include <gtest/gtest.h>

#include "skin/win/images.h"
#include "skin/win/png_h_slider.h"
#include "skin/win/skin_ids.h"
#include "test_host.h"

namespace q350::ui {
namespace {

using test::Pump;
using test::TestHost;

class SliderTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(bar.Init(SkinPath(L"Slider.png"), host.hwnd(), 7, RECT{10, 10, 147, 40}));
        bar.min = bar.thumb().min = 0;
        bar.max = bar.thumb().max = 9;
        bar.travel = RECT{10, 10, 147, 40};
        Pump();
        host.log.clear();
    }
    std::vector<test::Received> Reports() {
        Pump();
        return host.Of(kMsgSliderPos);
    }
    TestHost host;
    CPngHSliderBar bar;
};

TEST_F(SliderTest, TrackClicksAtTheTravelEdgesReportMinAndMax) {
    EXPECT_EQ(bar.thumbSize.cx, 20);
    SendMessageW(bar.hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(0, 5));
    SendMessageW(bar.hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(137, 5));
    const auto r = Reports();
    ASSERT_EQ(r.size(), 2u);
    EXPECT_EQ(r[0].wp, 0u);
    EXPECT_EQ(r[0].lp, 7);
    EXPECT_EQ(r[1].wp, 9u);
    RECT thumb{};
    GetWindowRect(bar.thumb().hwnd(), &thumb);
    MapWindowPoints(nullptr, bar.hwnd(), reinterpret_cast<POINT*>(&thumb), 2);
    EXPECT_EQ(thumb.left, 117);
}

TEST_F(SliderTest, SetPosAboveMaxPutsTheThumbAtMin) {
    bar.thumb().SetPos(5);
    EXPECT_EQ(bar.thumb().pos(), 5);
    bar.thumb().SetPos(12);
    EXPECT_EQ(bar.thumb().pos(), 0);
}

TEST_F(SliderTest, DraggingBeyondTheEndsReportsMaxAndMin) {
    const HWND thumb = bar.thumb().hwnd();
    SendMessageW(thumb, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    SendMessageW(thumb, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(500, 5));
    SendMessageW(thumb, WM_LBUTTONUP, 0, MAKELPARAM(500, 5));
    SendMessageW(thumb, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    SendMessageW(thumb, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(-500, 5));
    SendMessageW(thumb, WM_LBUTTONUP, 0, MAKELPARAM(-500, 5));
    const auto r = Reports();
    ASSERT_EQ(r.size(), 2u);
    EXPECT_EQ(r[0].wp, 9u);
    EXPECT_EQ(r[0].lp, 7);  // the bar's id
    EXPECT_EQ(r[1].wp, 0u);
}

TEST_F(SliderTest, DisabledSliderIgnoresClicksAndDrags) {
    bar.thumb().SetPos(4);
    bar.SetEnabled(0);
    SendMessageW(bar.hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(100, 5));
    SendMessageW(bar.thumb().hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    SendMessageW(bar.thumb().hwnd(), WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(80, 5));
    SendMessageW(bar.thumb().hwnd(), WM_LBUTTONUP, 0, MAKELPARAM(80, 5));
    const auto r = Reports();
    EXPECT_TRUE(r.empty()) << r.size() << " first " << (r.empty() ? 0 : r[0].wp) << "/"
                           << (r.empty() ? 0 : r[0].lp);
    EXPECT_EQ(bar.thumb().pos(), 4);
}

}  // namespace
}  // namespace q350::ui
