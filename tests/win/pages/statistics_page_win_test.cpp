// The statistics page as a window: counters from the store and back, forwarded driver events and
// real pointer moves, the trophy picture, icons and level bar, the saves that need no closing,
// the reset question, redrawn numbers in both layouts and the hover help.
#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "base/clock.h"
#include "base/notifier.h"
#include "config/win/registry_settings_store.h"
#include "pages/win/sts_dlg.h"
#include "skin/win/framework/gdi.h"
#include "skin/win/images.h"

namespace q350::pages {
namespace {

constexpr wchar_t kInfoTitle[] = L"QuorvQ300InfoDlg";
constexpr POINT kInfoOk{211, 143};
constexpr POINT kInfoCancel{278, 143};
constexpr POINT kResetCentre{760, 386};

// Hints the page posts to the main window.
std::vector<LPARAM> gHints;
LRESULT CALLBACK HintProbe(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == kMsgHint) {
        gHints.push_back(lp);
        return 0;
    }
    return DefWindowProcW(hwnd, msg, wp, lp);
}

// A host whose settings are a private key under HKEY_CURRENT_USER.
class StatsHost final : public WinPageHost {
public:
    explicit StatsHost(const std::wstring& base)
        : profile_(std::make_unique<ProfileData>()),
          table_(std::make_unique<ConfigInfo>()),
          library_("Z:\\nonexistent", memory_, notifier_, clock_),
          folder_(ui::ProgramFolder()),
          settings_(HKEY_CURRENT_USER, base) {
        BuildDefaults(*profile_, false);
        ZeroRecord(*table_);
        WNDCLASSW wc{};
        wc.lpfnWndProc = HintProbe;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"StatisticsHintProbe";
        RegisterClassW(&wc);
        main_ = CreateWindowW(wc.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                              wc.hInstance, nullptr);
    }
    ~StatsHost() override { DestroyWindow(main_); }
    ProfileData& profile() override { return *profile_; }
    ConfigInfo& configInfo() override { return *table_; }
    int activeSlot() const override { return 0; }
    int currentMode() const override { return 0; }
    void setCurrentMode(int) override {}
    std::int32_t& pendingMacroId(int m, int b) override { return pending_[m][b]; }
    MacroLibrary& macros() override { return library_; }
    bool chinese() const override { return false; }
    HWND mainWindow() const override { return main_; }
    const std::wstring& programFolder() const override { return folder_; }
    void setKeyReceiver(HWND) override {}
    void setKeyDelivery(bool) override {}
    SettingsStore* settings() override { return &settings_; }

    RegistrySettingsStore& store() { return settings_; }

private:
    std::unique_ptr<ProfileData> profile_;
    std::unique_ptr<ConfigInfo> table_;
    MemorySettingsStore memory_;
    SilentNotifier notifier_;
    FakeClock clock_;
    MacroLibrary library_;
    std::wstring folder_;
    RegistrySettingsStore settings_;
    HWND main_ = nullptr;
    std::int32_t pending_[kModeCount][kButtonCount] = {};
};

void Pump() {
    MSG m;
    while (PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&m);
        DispatchMessageW(&m);
    }
}

// Handles messages until the condition holds or the time is up; true when it held.
bool PumpUntil(const std::function<bool()>& done, DWORD ms) {
    const ULONGLONG deadline = GetTickCount64() + ms;
    while (!done()) {
        if (GetTickCount64() >= deadline) {
            return false;
        }
        Pump();
        Sleep(20);
    }
    return true;
}

void PumpFor(DWORD ms) {
    PumpUntil([] { return false; }, ms);
}

// Clicks a skinned button of a window as the button reports a click to its parent; false when
// no button is there.
bool Click(HWND window, POINT p) {
    const HWND control = ChildWindowFromPointEx(window, p, CWP_SKIPINVISIBLE);
    if (control == nullptr || control == window) {
        return false;
    }
    PostMessageW(window, WM_COMMAND, MAKEWPARAM(0, BN_CLICKED), reinterpret_cast<LPARAM>(control));
    return true;
}

// Answers the next skinned question box with the button at the point, from inside its modal
// loop; a box without that button is closed after a few seconds so that the test goes on.
POINT gAnswer{};
int gAnswerTries = 0;
void CALLBACK AnswerQuestion(HWND, UINT, UINT_PTR id, DWORD) {
    const HWND box = FindWindowW(nullptr, kInfoTitle);
    if (box == nullptr || !IsWindowVisible(box)) {
        return;
    }
    if (Click(box, gAnswer) || ++gAnswerTries > 30) {
        KillTimer(nullptr, id);
        if (gAnswerTries > 30) {
            ADD_FAILURE() << "the question box has no button at " << gAnswer.x << "," << gAnswer.y;
            PostMessageW(box, WM_COMMAND, IDCANCEL, 0);
        }
    }
}
void AnswerNextQuestion(POINT button) {
    gAnswer = button;
    gAnswerTries = 0;
    SetTimer(nullptr, 0, 100, AnswerQuestion);
}

// The pixels of a page rectangle as they are on the window.
std::vector<COLORREF> Pixels(HWND window, const Rect& r) {
    ui::WindowDc dc(window);
    std::vector<COLORREF> out;
    for (int y = r.top; y < r.bottom; ++y) {
        for (int x = r.left; x < r.right; ++x) {
            out.push_back(GetPixel(dc.get(), x, y));
        }
    }
    return out;
}

class StatisticsPageWin : public ::testing::Test {
protected:
    void SetUp() override {
        RegDeleteTreeW(HKEY_CURRENT_USER, base_.c_str());
        parent_ = CreateWindowExW(0, L"STATIC", L"main", WS_POPUP | WS_VISIBLE, 0, 0, 960, 650,
                                  nullptr, nullptr, nullptr, nullptr);
        ASSERT_NE(parent_, nullptr);
        gHints.clear();
    }
    void TearDown() override {
        DestroyWindow(parent_);
        RegDeleteTreeW(HKEY_CURRENT_USER, base_.c_str());
    }

    void Plant(const Counters& c) { ASSERT_TRUE(SaveCounters(host.store(), c)); }
    Counters Stored() { return LoadCounters(host.store()); }
    DWORD StoredType(const wchar_t* name) {
        DWORD type = REG_NONE;
        const std::wstring key = base_ + L"\\STS";
        if (RegGetValueW(HKEY_CURRENT_USER, key.c_str(), name, RRF_RT_ANY, &type, nullptr,
                         nullptr) != ERROR_SUCCESS) {
            return REG_NONE;
        }
        return type;
    }
    std::unique_ptr<CStsDlg> Open(bool chineseLayout = false) {
        auto page = std::make_unique<CStsDlg>(host, chineseLayout);
        EXPECT_TRUE(page->Create(parent_, RECT{17, 129, 942, 586}));
        page->Show(true);
        Pump();
        return page;
    }
    int LitIcons(const CStsDlg& page) {
        int lit = 0;
        for (int j = 0; j < kTrophyCount; ++j) {
            lit += page.trophyIcon(j).checkState;
        }
        return lit;
    }

    std::wstring base_ =
        L"Software\\Q350Tests\\statistics" + std::to_wstring(GetCurrentProcessId());
    HWND parent_ = nullptr;
    StatsHost host{base_};
};

// ---- the store ---------------------------------------------------------------------------------

TEST_F(StatisticsPageWin, AWrongTypedValueLosesOnlyItselfAndIsRepairedWhenThePageGoes) {
    Plant({600'000, 0, 3, 10, 0, 123'456});
    ASSERT_TRUE(host.store().writeDword(u"STS", u"MidClickCount", 5));
    ASSERT_TRUE(host.store().deleteValue(u"STS", u"ScrollDownCount"));
    {
        auto page = Open();
        EXPECT_EQ(page->model().counters(), (Counters{600'000, 0, 3, 10, 0, 123'456}));
        EXPECT_EQ(page->shownLevel(), 2);
        EXPECT_EQ(LitIcons(*page), 3);
        EXPECT_EQ(page->levelBarWidth(), 61);
        EXPECT_EQ(page->levelBar().checkState, 1);
        EXPECT_EQ(page->trophyPicture().checkState, 1);
        page->Destroy();
    }
    EXPECT_EQ(StoredType(L"MidClickCount"), static_cast<DWORD>(REG_BINARY));
    EXPECT_EQ(StoredType(L"ScrollDownCount"), static_cast<DWORD>(REG_BINARY));
    EXPECT_EQ(Stored(), (Counters{600'000, 0, 3, 10, 0, 123'456}));
}

TEST_F(StatisticsPageWin, ChangesReachTheStoreWithinSecondsAndOnlyWhenThereAreChanges) {
    Plant({7, 0, 0, 0, 0, 0});
    auto page = Open();
    SendMessageW(page->hwnd(), kMsgDriverEvent, 0x0001, 0);
    const ULONGLONG start = GetTickCount64();
    ASSERT_TRUE(PumpUntil([&] { return Stored()[kLeftClicks] == 8; }, 12'000));
    EXPECT_LT(GetTickCount64() - start, 10'000u);

    // Nothing counted since: nothing is written again (the pointer stays where it is).
    ASSERT_TRUE(host.store().deleteValue(u"STS", u"LeftClickCount"));
    PumpFor(kTimerStatisticsMs + 1500);
    EXPECT_EQ(StoredType(L"LeftClickCount"), static_cast<DWORD>(REG_NONE));

    SendMessageW(page->hwnd(), kMsgDriverEvent, 0x0101, 0);
    page->SessionEnding();  // written before it returns
    EXPECT_EQ(Stored(), (Counters{8, 0, 0, 1, 0, 0}));
}

// ---- counting ----------------------------------------------------------------------------------

TEST_F(StatisticsPageWin, ForwardedEventsRaiseTheLevelItsPictureIconsAndBar) {
    Plant({99'999, 0, 0, 0, 0, 0});
    auto page = Open();
    EXPECT_EQ(page->shownLevel(), 0);
    EXPECT_EQ(LitIcons(*page), 1);
    EXPECT_EQ(page->levelBarWidth(), 20);
    for (WPARAM word : {0x0003, 0x9001, 0x4000C202}) {
        EXPECT_EQ(SendMessageW(page->hwnd(), kMsgDriverEvent, word, 0), 0);
    }
    EXPECT_EQ(page->model().counters()[kLeftClicks], 99'999u);
    SendMessageW(page->hwnd(), kMsgDriverEvent, 0x8B04, 0);  // the 100,000th click
    EXPECT_EQ(page->model().counters()[kMiddleClicks], 1u);
    EXPECT_EQ(page->shownLevel(), 1);
    EXPECT_EQ(page->trophyIcon(1).checkState, 1);
    EXPECT_EQ(page->trophyIcon(2).checkState, 0);
    EXPECT_EQ(page->levelBarWidth(), 40);
}

TEST_F(StatisticsPageWin, RealPointerMovesAreAddedByTheSampler) {
    SetCursorPos(400, 300);
    auto page = Open();
    PumpFor(3 * kPointerSampleMs);
    const std::uint32_t before = page->model().value(kDistance);
    SetCursorPos(500, 350);  // 100 right, 50 down
    ASSERT_TRUE(PumpUntil([&] { return page->model().value(kDistance) != before; }, 3000));
    PumpFor(3 * kPointerSampleMs);
    EXPECT_EQ(page->model().value(kDistance) - before, 150u);
}

// ---- reset -------------------------------------------------------------------------------------

TEST_F(StatisticsPageWin, ResetAsksAndOnlyItsConfirmationZeroesEverything) {
    Plant({3'000'000, 5, 6, 7, 8, 9});
    auto page = Open();
    ASSERT_EQ(page->shownLevel(), 7);

    AnswerNextQuestion(kInfoCancel);
    ASSERT_TRUE(Click(page->hwnd(), kResetCentre));
    PumpFor(1500);
    EXPECT_EQ(page->model().counters(), (Counters{3'000'000, 5, 6, 7, 8, 9}));
    EXPECT_EQ(LitIcons(*page), 8);

    AnswerNextQuestion(kInfoOk);
    ASSERT_TRUE(Click(page->hwnd(), kResetCentre));
    PumpFor(1500);
    EXPECT_EQ(page->model().counters(), Counters{});
    EXPECT_EQ(Stored(), Counters{});  // at once, not at the next timer
    EXPECT_EQ(page->shownLevel(), 0);
    EXPECT_EQ(page->trophyIcon(0).checkState, 1);
    EXPECT_EQ(LitIcons(*page), 1);
    EXPECT_EQ(page->levelBarWidth(), 20);
}

// ---- drawing -----------------------------------------------------------------------------------

// A number that grows to the left is drawn whole over fresh background: the window shows the
// same pixels as after a repaint of the whole page.
TEST_F(StatisticsPageWin, GrownNumbersAreRedrawnWholeInBothLayouts) {
    for (bool chinese : {false, true}) {
        RegDeleteTreeW(HKEY_CURRENT_USER, base_.c_str());
        Plant({999'999'999, 0, 0, 0, 0, 0});
        auto page = Open(chinese);
        UpdateWindow(page->hwnd());
        const Rect left = NumberRect(kNumberLeft, chinese);
        const Rect total = NumberRect(kNumberClicks, chinese);
        const std::vector<COLORREF> nine = Pixels(page->hwnd(), left);
        SendMessageW(page->hwnd(), kMsgDriverEvent, 0x0001, 0);  // 1000000000: one digit more
        UpdateWindow(page->hwnd());
        const std::vector<COLORREF> grown = Pixels(page->hwnd(), left);
        const std::vector<COLORREF> grownTotal = Pixels(page->hwnd(), total);
        EXPECT_NE(grown, nine) << "layout " << chinese;
        page->Invalidate();
        UpdateWindow(page->hwnd());
        EXPECT_EQ(grown, Pixels(page->hwnd(), left)) << "layout " << chinese;
        EXPECT_EQ(grownTotal, Pixels(page->hwnd(), total)) << "layout " << chinese;
    }
}

TEST_F(StatisticsPageWin, HoverHelpNamesTheResetButtonAndTheTrophyAtTheirEdges) {
    SetCursorPos(950, 600);  // off the page: only the moves below reach it
    auto page = Open();
    PumpFor(200);
    gHints.clear();
    auto move = [&](int x, int y) {
        SendMessageW(page->hwnd(), WM_MOUSEMOVE, 0, MAKELPARAM(x, y));
        Pump();
    };
    move(kResetRect.left - 1, 380);
    move(kTrophyPictureRect.left - 1, 200);
    move(100, 20);
    move(kResetRect.left - 2, 380);
    EXPECT_EQ(gHints, (std::vector<LPARAM>{kHintReset, kHintTrophy}));
}

}  // namespace
}  // namespace q350::pages

int main(int argc, char** argv) {
    q350::ui::SetProgramFolder(Q350_PROGRAM_FOLDER);
    q350::ui::GdiplusSession gdiplus;
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
