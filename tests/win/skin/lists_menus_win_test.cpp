// Lists with in-place editing, number boxes, skinned scroll bars and the language menu.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "skin/win/bitmap_edit.h"
#include "skin/win/images.h"
#include "skin/win/list_box_ex.h"
#include "skin/win/skin_ids.h"
#include "skin/win/skin_scroll.h"
#include "skin/win/wnd_popup.h"
#include "test_host.h"

namespace q350::ui {
namespace {

using test::Pump;
using test::TestHost;

std::wstring TextOf(HWND hwnd) {
    wchar_t buf[300] = {};
    GetWindowTextW(hwnd, buf, 300);
    return buf;
}

TEST(BitmapEditWin, OutOfRangeNumberIsLimitedBeforeTheParentIsTold) {
    TestHost host;
    CBitmapEdit edit;
    ASSERT_TRUE(edit.Create(host.hwnd(), RECT{10, 10, 60, 30}, 55));
    edit.min = 0;
    edit.max = 255;
    std::wstring seen;
    host.onMessage = [&](UINT msg, WPARAM wp, LPARAM) {
        if (msg == kMsgEditChanged)
            seen = TextOf(reinterpret_cast<HWND>(wp));
    };
    SetWindowTextW(edit.hwnd(), L"300");
    Pump();
    const auto told = host.Of(kMsgEditChanged);
    ASSERT_EQ(told.size(), 1u);  // the replacement does not notify twice
    EXPECT_EQ(told[0].lp, 55);
    EXPECT_EQ(seen, L"255");
    EXPECT_EQ(TextOf(edit.hwnd()), L"255");
    SetWindowTextW(edit.hwnd(), L"17");
    Pump();
    EXPECT_EQ(TextOf(edit.hwnd()), L"17");
}

class ListTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(list.Create(host.hwnd(), RECT{10, 10, 200, 200}, 31));
        list.AddItem(L"Key A down", 3, 65, false);
        list.AddItem(L"Delay 50", 4, 50, false);
        list.AddItem(L"Key A up", 2, 65, false);
        Pump();
        host.log.clear();
    }
    TestHost host;
    CListBoxEx list;
};

TEST_F(ListTest, RowDataCarriesThePictureKindAndPlainRowsTurnPicturesOff) {
    EXPECT_EQ(SendMessageW(list.hwnd(), LB_GETITEMDATA, 1, 0), 0x04000032);
    EXPECT_EQ(list.showPictures, 1);
    list.AddItem(L"plain", 0, 7, false);
    EXPECT_EQ(list.showPictures, 0);
    EXPECT_EQ(SendMessageW(list.hwnd(), LB_GETITEMDATA, 3, 0), 7);
    EXPECT_EQ(SendMessageW(list.hwnd(), LB_GETCURSEL, 0, 0), 3);
    list.ReplaceItem(1, 4, L"Delay 80", 80);
    EXPECT_EQ(list.ItemText(1), L"Delay 80");
    EXPECT_EQ(list.Count(), 4);
}

TEST_F(ListTest, SelectionChangeIsReportedWithTheRowUnderThePointer) {
    list.hotRow = 1;
    SendMessageW(host.hwnd(), WM_COMMAND, MAKEWPARAM(31, LBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(list.hwnd()));
    Pump();
    const auto r = host.Of(kMsgListSelection);
    ASSERT_EQ(r.size(), 1u);
    EXPECT_EQ(r[0].wp, 31u);
    EXPECT_EQ(r[0].lp, 1);
}

TEST_F(ListTest, EnterEndsTheEditOnceWithTheTextStillReadable) {
    std::wstring read;
    host.onMessage = [&](UINT msg, WPARAM, LPARAM) {
        if (msg == kMsgListEdited)
            read = TextOf(list.editWindow());
    };
    list.StartEdit(1);
    ASSERT_NE(list.editWindow(), nullptr);
    SetWindowTextW(list.editWindow(), L"Delay 99");
    SendMessageW(list.editWindow(), WM_KEYDOWN, VK_RETURN, 0);
    SendMessageW(list.editWindow(), WM_KEYUP, VK_RETURN, 0);
    Pump();
    const auto r = host.Of(kMsgListEdited);
    ASSERT_EQ(r.size(), 1u);
    EXPECT_EQ(r[0].lp, 1);
    EXPECT_EQ(read, L"Delay 99");
    EXPECT_EQ(list.editWindow(), nullptr);
}

TEST_F(ListTest, EscapeCancelsWithoutNoticeAndReselectsTheRow) {
    list.StartEdit(0);
    ASSERT_NE(list.editWindow(), nullptr);
    SendMessageW(list.hwnd(), LB_SETCURSEL, 2, 0);
    SendMessageW(list.editWindow(), WM_KEYDOWN, VK_ESCAPE, 0);
    Pump();
    EXPECT_EQ(list.editWindow(), nullptr);
    EXPECT_TRUE(host.Of(kMsgListEdited).empty());
    EXPECT_EQ(SendMessageW(list.hwnd(), LB_GETCURSEL, 0, 0), 0);
}

TEST(SkinScrollWin, PageCoveringTheRangeShowsNoThumbAndDisablesTheBar) {
    TestHost host;
    Bitmap skin(LoadBitmapResource(IDB_SCROLLBAR));
    ASSERT_TRUE(skin);
    CSkinScrollBar bar;
    ASSERT_TRUE(bar.Create(host.hwnd(), RECT{0, 0, 18, 200}, 101, true, skin.get()));
    bar.SetInfo({0, 9, 10, 0, -1});
    EXPECT_FALSE(IsWindowEnabled(bar.hwnd()));
    EXPECT_EQ(bar.Layout().thumb, 0);
    bar.SetInfo({0, 99, 10, 0, -1});
    EXPECT_TRUE(IsWindowEnabled(bar.hwnd()));
    EXPECT_GT(bar.Layout().thumb, 0);
}

TEST(SkinScrollWin, WrappedListScrollsThroughTheSkinnedBar) {
    TestHost host;
    Bitmap skin(LoadBitmapResource(IDB_SCROLLBAR));
    CListBoxEx list;
    ASSERT_TRUE(list.Create(host.hwnd(), RECT{10, 10, 200, 110}, 40));
    for (int i = 0; i < 30; ++i)
        list.AddItem(L"row " + std::to_wstring(i), 0, 0, false);
    CSkinScrollWnd* frame = SkinWndScroll(list.hwnd(), skin.get());
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(GetDlgCtrlID(frame->hwnd()), 40);
    EXPECT_TRUE(IsWindowVisible(frame->vbar().hwnd()));
    EXPECT_EQ(frame->vbar().info().max, 29);
    SendMessageW(list.hwnd(), LB_SETTOPINDEX, 0, 0);
    // A click on the down arrow scrolls the list by one row.
    RECT rc{};
    GetClientRect(frame->vbar().hwnd(), &rc);
    SendMessageW(frame->vbar().hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, rc.bottom - 3));
    SendMessageW(frame->vbar().hwnd(), WM_LBUTTONUP, 0, MAKELPARAM(5, rc.bottom - 3));
    EXPECT_EQ(SendMessageW(list.hwnd(), LB_GETTOPINDEX, 0, 0), 1);
    EXPECT_EQ(frame->vbar().info().pos, 1);
}

TEST(LanguageMenuWin, TwelveItemsMeasure116By273AndReportChoices) {
    TestHost host;
    auto* menu = new CMenuExA();
    menu->LoadFrameImage();
    EXPECT_TRUE(menu->hasFrame());
    if (!menu->Create(host.hwnd(), RECT{100, 100, 216, 387})) {
        delete menu;
        FAIL() << "menu not created";
    }
    const HWND popup = menu->hwnd();
    RECT wr{};
    GetWindowRect(popup, &wr);
    EXPECT_EQ(wr.right - wr.left, 116);
    EXPECT_EQ(wr.bottom - wr.top, 273);
    ASSERT_EQ(menu->items().size(), 12u);
    EXPECT_EQ(menu->items()[1].text, L"English");
    EXPECT_EQ(menu->items()[1].iconW, 19);

    const LPARAM third = MAKELPARAM(20, 6 + 2 * 22 + 5);
    SendMessageW(popup, WM_MOUSEMOVE, 0, third);
    EXPECT_EQ(menu->hotItem(), 2);
    // While the button is held the highlight stays.
    SendMessageW(popup, WM_LBUTTONDOWN, MK_LBUTTON, third);
    SendMessageW(popup, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(20, 6 + 5 * 22 + 5));
    EXPECT_EQ(menu->hotItem(), 2);
    EXPECT_TRUE(host.Of(kMsgMenuChoice).empty());  // pressing alone changes nothing
    SendMessageW(popup, WM_LBUTTONUP, 0, third);
    auto choices = host.Of(kMsgMenuChoice);
    ASSERT_EQ(choices.size(), 1u);
    EXPECT_EQ(choices[0].lp, 3);  // French
    // Releasing elsewhere only removes the highlight.
    SendMessageW(popup, WM_LBUTTONDOWN, MK_LBUTTON, third);
    SendMessageW(popup, WM_LBUTTONUP, 0, MAKELPARAM(20, 6 + 7 * 22 + 5));
    EXPECT_EQ(menu->hotItem(), -1);
    EXPECT_EQ(host.Of(kMsgMenuChoice).size(), 1u);
    // Closing tells the owner with 0 and frees the object.
    SendMessageW(popup, WM_CLOSE, 0, 0);
    choices = host.Of(kMsgMenuChoice);
    ASSERT_EQ(choices.size(), 2u);
    EXPECT_EQ(choices[1].lp, 0);
    EXPECT_FALSE(IsWindow(popup));
}

}  // namespace
}  // namespace q350::ui
