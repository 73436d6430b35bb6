// The pointer settings land in Windows and the notify window hears of each, in order.
#include <windows.h>

#include <gtest/gtest.h>

#include <vector>

#include "app/win/pointer_settings_win.h"
#include "message_probe.h"

namespace {

std::vector<WPARAM> g_changes;

LRESULT CALLBACK NotifyProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_SETTINGCHANGE && lp != reinterpret_cast<LPARAM>(nullptr)) {
        g_changes.push_back(wp);
    } else if (msg == WM_SETTINGCHANGE) {
        g_changes.push_back(wp);
    }
    return DefWindowProcW(hwnd, msg, wp, lp);
}

TEST(WinPointerSettings, WritesTheModesValuesAndNotifiesInOrder) {
    const HWND window = q350::app::test::CreateMessageProbe(L"PointerSettingsNotify", NotifyProc);
    ASSERT_NE(window, nullptr);

    q350::app::WinPointerSettingsApplier applier(window);
    applier.apply({0, 14, 10, -1});

    int mouse[3] = {-1, -1, -1};
    ASSERT_TRUE(SystemParametersInfoW(SPI_GETMOUSE, 0, mouse, 0));
    EXPECT_EQ(mouse[0], 0);
    EXPECT_EQ(mouse[2], 0);
    int speed = 0;
    ASSERT_TRUE(SystemParametersInfoW(SPI_GETMOUSESPEED, 0, &speed, 0));
    EXPECT_EQ(speed, 14);
    EXPECT_EQ(GetDoubleClickTime(), 200u);
    UINT lines = 0;
    ASSERT_TRUE(SystemParametersInfoW(SPI_GETWHEELSCROLLLINES, 0, &lines, 0));
    EXPECT_EQ(lines, WHEEL_PAGESCROLL);

    // Our own four notifications, in the order of the writes (broadcasts may add others).
    std::vector<WPARAM> ours;
    for (WPARAM c : g_changes) {
        if (c == 4 || c == 113 || c == 32 || c == 105) {
            ours.push_back(c);
        }
    }
    ASSERT_GE(ours.size(), 4u);
    EXPECT_EQ(ours[0], 4u);
    EXPECT_EQ(ours[1], 113u);
    EXPECT_EQ(ours[2], 32u);
    EXPECT_EQ(ours[3], 105u);

    applier.apply({1, 10, 5, 3});
    ASSERT_TRUE(SystemParametersInfoW(SPI_GETMOUSE, 0, mouse, 0));
    EXPECT_EQ(mouse[0], 6);
    EXPECT_EQ(mouse[1], 10);
    EXPECT_EQ(mouse[2], 1);
    EXPECT_EQ(GetDoubleClickTime(), 550u);
    DestroyWindow(window);
}

}  // namespace
