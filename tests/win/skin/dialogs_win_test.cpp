// The message box's results and countdown, the progress dialog and the DPI indicator.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "skin/win/dpi_progress_dlg.h"
#include "skin/win/info_dlg.h"
#include "skin/win/progress_dlg.h"
#include "skin/win/skin_ids.h"
#include "test_host.h"

namespace q350::ui {
namespace {

// A message box that clicks one of its own buttons (or closes) as soon as it is up, and records
// the OK captions it shows.
class ScriptedInfo : public CInfoDlg {
public:
    enum class Action { None, Ok, Cancel, Cross, Close };
    ScriptedInfo(Action a, Clock* clock) : CInfoDlg(clock), action_(a) {}
    std::vector<std::wstring> captions;
    POINT place{};

protected:
    bool OnInitDialog() override {
        const bool r = CInfoDlg::OnInitDialog();
        captions.push_back(okButton.text());
        RECT wr{};
        GetWindowRect(hwnd(), &wr);
        place = {wr.left, wr.top};
        HWND target = nullptr;
        switch (action_) {
            case Action::Ok:
                target = okButton.hwnd();
                break;
            case Action::Cancel:
                target = cancelButton.hwnd();
                break;
            case Action::Cross:
                target = closeButton.hwnd();
                break;
            case Action::Close:
                PostMessageW(hwnd(), WM_CLOSE, 0, 0);
                break;
            case Action::None:
                break;
        }
        if (target)
            PostMessageW(hwnd(), WM_COMMAND, BN_CLICKED, reinterpret_cast<LPARAM>(target));
        return r;
    }
    bool OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override {
        const bool handled = CInfoDlg::OnMessage(msg, wp, lp, result);
        if (msg == WM_TIMER)
            captions.push_back(okButton.text());
        return handled;
    }

private:
    Action action_;
};

INT_PTR RunBox(ScriptedInfo::Action a, int question) {
    FakeClock clock;
    ScriptedInfo box(a, &clock);
    box.message = L"Message";
    box.questionForm = question;
    return box.DoModal(nullptr);
}

TEST(InfoDlgWin, OnlyOkGivesOne) {
    using A = ScriptedInfo::Action;
    EXPECT_EQ(RunBox(A::Ok, 1), 1);
    EXPECT_EQ(RunBox(A::Cancel, 1), 2);
    EXPECT_EQ(RunBox(A::Cross, 1), 2);
    EXPECT_EQ(RunBox(A::Close, 1), 2);
    EXPECT_EQ(RunBox(A::Ok, 0), 1);
    EXPECT_EQ(RunBox(A::Cross, 0), 2);
}

TEST(InfoDlgWin, AutoCloseCountsDownAtTheBottomRightAndEndsWithTwo) {
    FakeClock clock;
    ScriptedInfo box(ScriptedInfo::Action::None, &clock);
    box.message = L"The mouse cannot be found";
    box.autoClose = 1;
    EXPECT_EQ(box.DoModal(nullptr), 2);
    const std::vector<std::wstring> expected = {L"OK (5s)", L"OK (4)", L"OK (3)",
                                                L"OK (2)",  L"OK (1)", L"OK (0)"};
    EXPECT_EQ(box.captions, expected);
    EXPECT_EQ(box.place.x, GetSystemMetrics(SM_CXFULLSCREEN) - 330 - 10);
    EXPECT_EQ(box.place.y, GetSystemMetrics(SM_CYFULLSCREEN) - 160);
    // Every tick pauses 500 ms; the closing tick 100 ms more.
    EXPECT_EQ(clock.sleeps, (std::vector<std::uint32_t>{500, 500, 500, 500, 500, 100}));
}

class ScriptedProgress : public CProgressDlg {
public:
    std::vector<int> positions;

protected:
    bool OnInitDialog() override {
        const bool r = CProgressDlg::OnInitDialog();
        for (WPARAM p : {40u, 100u, 101u})
            PostMessageW(hwnd(), kMsgProgress, p, 0);
        PostMessageW(hwnd(), WM_CLOSE, 0, 0);
        return r;
    }
    bool OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override {
        const bool handled = CProgressDlg::OnMessage(msg, wp, lp, result);
        if (msg == kMsgProgress)
            positions.push_back(bar().pos);
        return handled;
    }
};

TEST(ProgressDlgWin, PositionAbove100ResetsTheBar) {
    ScriptedProgress dlg;
    dlg.DoModal(nullptr);
    EXPECT_EQ(dlg.positions, (std::vector<int>{40, 100, 0}));
    EXPECT_EQ(dlg.lastPosition(), 101);
}

TEST(DpiIndicatorWin, OutOfRangeValuesShowTheMinimum) {
    test::TestHost host;
    CUpLayeredDlg layered;
    ASSERT_TRUE(layered.Create(host.hwnd()));
    EXPECT_EQ(layered.anchor.x, GetSystemMetrics(SM_CXFULLSCREEN) - 360);
    CDpiProgressDlg dpi;
    ASSERT_TRUE(dpi.Create(layered.hwnd()));
    dpi.minimum = 1;
    dpi.maximum = 82;
    const int bar[4] = {4, 36, 324, 85};
    std::copy(bar, bar + 4, dpi.barRect);
    EXPECT_EQ(SendMessageW(dpi.hwnd(), kMsgProgress, 82, 0), 1);
    EXPECT_EQ(dpi.FillEdge(), 324);
    SendMessageW(dpi.hwnd(), kMsgProgress, 83, 0);
    EXPECT_EQ(dpi.value, 1);
    EXPECT_EQ(dpi.FillEdge(), 4);
    SendMessageW(dpi.hwnd(), kMsgProgress, 0, 0);
    EXPECT_EQ(dpi.value, 1);
    EXPECT_TRUE(GetWindowLongPtrW(dpi.hwnd(), GWL_EXSTYLE) & WS_EX_LAYERED);
    wchar_t title[32] = {};
    GetWindowTextW(dpi.hwnd(), title, 32);
    EXPECT_STREQ(title, L"ProgressDlg.");
    dpi.Destroy();
    layered.Destroy();
}

}  // namespace
}  // namespace q350::ui
