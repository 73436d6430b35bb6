// The bitmap buttons' drawing rules, clicks and notifications.
#include <windows.h>

#include <gtest/gtest.h>

#include "skin/win/gdi_bitmap_btn.h"
#include "skin/win/irr_button.h"
#include "skin/win/skin_ids.h"
#include "test_host.h"

namespace q350::ui {
namespace {

using test::Pump;
using test::TestHost;

void Redraw(HWND hwnd) {
    RedrawWindow(hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
}

class BitmapBtnTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(button.Create(host.hwnd(), RECT{10, 10, 76, 42}));
        Pump();
    }
    TestHost host;
    CGDIBitmapBtn button;
};

TEST_F(BitmapBtnTest, CheckModeDrawsDownEvenWhenHovered) {
    button.checkMode = 1;
    button.SetCheck(1);
    button.hover = 1;
    Redraw(button.hwnd());
    EXPECT_EQ(button.lastLook(), skin::Look::Down);
    button.SetCheck(0);
    Redraw(button.hwnd());
    EXPECT_EQ(button.lastLook(), skin::Look::Over);
    button.hover = 0;
    Redraw(button.hwnd());
    EXPECT_EQ(button.lastLook(), skin::Look::Normal);
    EnableWindow(button.hwnd(), FALSE);
    Redraw(button.hwnd());
    EXPECT_EQ(button.lastLook(), skin::Look::Disabled);
}

TEST_F(BitmapBtnTest, SetCheckWithTheSameValueDoesNotRedraw) {
    ValidateRect(button.hwnd(), nullptr);
    button.SetCheck(0);
    EXPECT_FALSE(GetUpdateRect(button.hwnd(), nullptr, FALSE));
    button.SetCheck(1);
    EXPECT_TRUE(GetUpdateRect(button.hwnd(), nullptr, FALSE));
}

TEST_F(BitmapBtnTest, ToggleOnClickFlipsAndEveryClickIsReported) {
    button.toggleOnClick = 1;
    button.notifyPress = 1;
    for (int i = 0; i < 2; ++i) {
        SendMessageW(button.hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
        EXPECT_EQ(button.checkState, i == 0 ? 1 : 0);
        SendMessageW(button.hwnd(), WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
        Pump();
    }
    const auto clicks = host.Of(WM_COMMAND);
    ASSERT_EQ(clicks.size(), 2u);
    EXPECT_EQ(clicks[0].wp, 0u);  // id 0, click notification 0
    EXPECT_EQ(reinterpret_cast<HWND>(clicks[0].lp), button.hwnd());
    const auto presses = host.Of(kMsgButtonPress);
    ASSERT_EQ(presses.size(), 4u);
    EXPECT_EQ(presses[0].wp, 513u);
    EXPECT_EQ(presses[1].wp, 514u);
    EXPECT_EQ(reinterpret_cast<HWND>(presses[1].lp), button.hwnd());
}

TEST_F(BitmapBtnTest, PointerMovesArePassedOnInParentCoordinates) {
    SendMessageW(button.hwnd(), WM_MOUSEMOVE, 0, MAKELPARAM(3, 4));
    Pump();
    bool seen = false;
    for (const auto& m : host.Of(WM_MOUSEMOVE))
        seen |= m.lp == MAKELPARAM(13, 14);
    EXPECT_TRUE(seen);
    ReleaseCapture();
}

TEST(IrrButtonWin, HitTestFollowsThePolygonAndPressIsReported) {
    TestHost host;
    CIrrButton tab;
    // A page tab: slanted right edge.
    ASSERT_TRUE(tab.CreateFromPolygon({{27, 85}, {190, 85}, {212, 121}, {27, 121}}, host.hwnd()));
    EXPECT_EQ(tab.box().left, 27);
    EXPECT_EQ(tab.box().top, 85);
    EXPECT_TRUE(tab.HitTest({1, 1}));
    EXPECT_TRUE(tab.HitTest({170, 30}));
    EXPECT_FALSE(tab.HitTest({183, 2}));   // right of the slant near the top
    EXPECT_FALSE(tab.HitTest({300, 10}));  // outside the box
    SendMessageW(tab.hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 10));
    SendMessageW(tab.hwnd(), WM_LBUTTONUP, 0, MAKELPARAM(10, 10));
    Pump();
    const auto clicks = host.Of(WM_COMMAND);
    ASSERT_EQ(clicks.size(), 1u);  // the press alone, not the release as well
    EXPECT_EQ(reinterpret_cast<HWND>(clicks[0].lp), tab.hwnd());
    ReleaseCapture();
}

TEST(IrrButtonWin, SelectionModeShowsDownWhileSelected) {
    TestHost host;
    CIrrButton tab;
    ASSERT_TRUE(tab.CreateFromPolygon({{0, 0}, {100, 0}, {80, 30}, {0, 30}}, host.hwnd()));
    tab.selectionMode = 1;
    tab.SetSelected(true);
    EXPECT_EQ(tab.lastLook(), skin::Look::Down);
    tab.SetSelected(false);
    EXPECT_EQ(tab.lastLook(), skin::Look::Normal);
    SendMessageW(tab.hwnd(), WM_MOUSEMOVE, 0, MAKELPARAM(10, 10));
    EXPECT_EQ(tab.hover, 1);
    EXPECT_EQ(tab.lastLook(), skin::Look::Over);
    SendMessageW(tab.hwnd(), WM_MOUSEMOVE, 0, MAKELPARAM(95, 25));  // outside the slant
    EXPECT_EQ(tab.hover, 0);
    EXPECT_EQ(tab.captured, 0);
}

}  // namespace
}  // namespace q350::ui
