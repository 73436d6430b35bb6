#include "pages/win/sts_dlg.h"

#include <algorithm>
#include <chrono>
#include <string>
#include <vector>

#include "pages/mouse_page_layout.h"
#include "skin/win/images.h"
#include "skin/win/info_dlg.h"

namespace q350::pages {

namespace {

constexpr const wchar_t* kSheetFiles[] = {L"Sts_Normal.bmp", L"Sts_Over.bmp", L"Sts_Down.bmp"};
constexpr COLORREF kNumberColour = RGB(220, 220, 220);

RECT ToRect(const Rect& r) {
    return RECT{r.left, r.top, r.right, r.bottom};
}

Rect WindowRectIn(HWND window, HWND reference) {
    RECT r{};
    GetWindowRect(window, &r);
    MapWindowPoints(nullptr, reference, reinterpret_cast<POINT*>(&r), 2);
    return {r.left, r.top, r.right, r.bottom};
}

// Positions travel as the message's parameters; screens left of or above the main one have
// negative coordinates.
WPARAM PackCoordinate(LONG v) {
    return static_cast<WPARAM>(static_cast<INT_PTR>(v));
}
int UnpackCoordinate(WPARAM v) {
    return static_cast<int>(static_cast<INT_PTR>(v));
}

}  // namespace

// ---- the sampler -------------------------------------------------------------------------------

void PointerSampler::Start(HWND target, UINT message, DWORD intervalMs) {
    Stop();
    stopping_ = false;
    thread_ = std::thread([this, target, message, intervalMs] {
        std::unique_lock<std::mutex> lock(mutex_);
        while (!wake_.wait_for(lock, std::chrono::milliseconds(intervalMs),
                               [this] { return stopping_; })) {
            POINT p{};
            if (GetCursorPos(&p)) {
                PostMessageW(target, message, PackCoordinate(p.x),
                             static_cast<LPARAM>(PackCoordinate(p.y)));
            }
        }
    });
}

void PointerSampler::Stop() {
    if (!thread_.joinable()) {
        return;
    }
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stopping_ = true;
    }
    wake_.notify_one();
    thread_.join();
}

// ---- the page ----------------------------------------------------------------------------------

CStsDlg::CStsDlg(WinPageHost& host, bool chineseLayout)
    : CPageBase(host), chineseLayout_(chineseLayout) {
    if (SettingsStore* store = host.settings()) {
        saver_ = std::make_unique<StatisticsSaver>(*store);
    }
}

CStsDlg::~CStsDlg() {
    // The window goes while this object can still keep the counters.
    Destroy();
    Finish();
}

bool CStsDlg::OnInitDialog() {
    if (SettingsStore* store = host_.settings()) {
        model_.setCounters(LoadCounters(*store));
    }
    savedRevision_ = model_.revision();
    counting_ = true;
    LoadSheets();
    font_.Reset(ui::MakeFont(14, 300, L"MS Shell Dlg"));
    BuildControls();
    // The controls have cut their looks out of the sheets; the level bar still reads the down one.
    sheets_[kOver].Reset();
    POINT cursor{};
    GetCursorPos(&cursor);
    model_.setLastSample({cursor.x, cursor.y});
    sampler_.Start(hwnd_, kMsgPointerSample, kPointerSampleMs);
    StartTimer(kTimerStatistics, kTimerStatisticsMs);
    ShowLevel();
    return true;
}

void CStsDlg::LoadSheets() {
    LoadLayoutSheets(kSheetFiles, chineseLayout_, sheets_);
}

void CStsDlg::BuildControls() {
    const HBITMAP n = sheets_[kNormal].get(), o = sheets_[kOver].get(), d = sheets_[kDown].get();
    auto make = [&](ui::CGDIBitmapBtn& b, const Rect& r, HBITMAP over, HBITMAP down) {
        const RECT rect = ToRect(r);
        b.Create(hwnd_, rect);
        b.SetSheetImages(n, over, down, n, rect);
        b.checkMode = 1;
        b.toggleOnClick = 0;
    };
    make(trophy_, kTrophyPictureRect, d, d);
    trophy_.SetCheck(1);
    for (int j = 0; j < kTrophyCount; ++j) {
        make(icons_[static_cast<std::size_t>(j)], TrophyIconRect(j), n, d);
    }
    make(bar_, kLevelBarRect, n, d);
    make(reset_, kResetRect, o, d);
}

void CStsDlg::ShowLevel() {
    const int level = model_.level();
    if (level != loadedLevel_) {
        LoadTrophyPicture(level);
        loadedLevel_ = level;
        for (int j = 0; j <= level; ++j) {
            icons_[static_cast<std::size_t>(j)].SetCheck(1);
        }
    }
    // The bar's window keeps its size; its filled look shows the level's share of it.
    const int width = std::min(LevelBarWidth(level), kLevelBarRect.Width());
    if (width != barWidth_) {
        CutLevelBar(width);
        barWidth_ = width;
    }
    bar_.SetCheck(1);
}

void CStsDlg::LoadTrophyPicture(int level) {
    const std::wstring path =
        host_.programFolder() + L"skins\\trophy\\trophy" + std::to_wstring(level) + L"Down.bmp";
    // The button owns each of its four looks: the picture is read once for each.
    ui::Bitmap looks[4];
    for (ui::Bitmap& look : looks) {
        SIZE size{};
        ui::LoadPictureFile(path.c_str(), look, size);
    }
    trophy_.SetImages(looks[0].Release(), looks[1].Release(), looks[2].Release(),
                      looks[3].Release());
}

void CStsDlg::CutLevelBar(int width) {
    const RECT rect = ToRect(kLevelBarRect);
    ui::WindowDc screen(nullptr);
    ui::Bitmap empty[3], filled;
    for (ui::Bitmap& look : empty) {
        ui::CopyBitmapPart(screen.get(), look, sheets_[kNormal].get(), rect);
    }
    ui::CopyBitmapPart(screen.get(), filled, sheets_[kNormal].get(), rect);
    if (filled && sheets_[kDown]) {
        ui::MemoryDc target(screen.get()), source(screen.get());
        ui::SelectGuard keepTarget(target.get(), filled.get());
        ui::SelectGuard keepSource(source.get(), sheets_[kDown].get());
        BitBlt(target.get(), 0, 0, width, rect.bottom - rect.top, source.get(), rect.left, rect.top,
               SRCCOPY);
    }
    bar_.SetImages(empty[0].Release(), empty[1].Release(), filled.Release(), empty[2].Release());
}

void CStsDlg::InvalidateNumbers(unsigned numbers) {
    for (int n = 0; n < kNumberCount; ++n) {
        if ((numbers & (1u << n)) != 0) {
            const RECT r = ToRect(NumberRect(n, chineseLayout_));
            InvalidateRect(hwnd_, &r, FALSE);
        }
    }
}

void CStsDlg::SaveIfChanged() {
    if (saver_ && model_.revision() != savedRevision_) {
        saver_->post(model_.counters());
        savedRevision_ = model_.revision();
    }
}

bool CStsDlg::SaveNow() {
    if (!saver_) {
        return true;
    }
    savedRevision_ = model_.revision();
    return saver_->saveNow(model_.counters());
}

void CStsDlg::SaveWithNotice(HWND owner) {
    if (!SaveNow()) {
        MessageBoxW(owner, kSaveFailedText, L"Error", MB_OK);
    }
}

void CStsDlg::SessionEnding() {
    // Windows may end the process once the session is over: no question, no waiting for a timer.
    if (counting_ && !finished_) {
        SaveNow();
    }
}

void CStsDlg::Reset() {
    const wchar_t* question = host_.chinese() ? kResetQuestionChinese : kResetQuestion;
    if (ui::ShowInfoBox(question, 1, hwnd_) != 1) {
        return;
    }
    model_.reset();
    loadedLevel_ = kNoLevel;
    SaveWithNotice(hwnd_);
    ShowLevel();
    Invalidate();
    // Level 0 is always reached: its icon stays lit.
    for (int j = 1; j < kTrophyCount; ++j) {
        icons_[static_cast<std::size_t>(j)].SetCheck(0);
    }
}

void CStsDlg::PostHoverHelp(POINT p) {
    const std::vector<HintArea> areas = {{WindowRectIn(reset_.hwnd(), hwnd_), kHintReset},
                                         {WindowRectIn(trophy_.hwnd(), hwnd_), kHintTrophy}};
    for (int hint : HintsAt(Point{p.x, p.y}, areas)) {
        PostHint(hint);
    }
}

void CStsDlg::Paint() {
    ui::PaintDc dc(hwnd_);
    DrawSheet(dc.get(), sheets_[kNormal].get(), POINT{0, 0}, dc.paint().rcPaint);
    ui::SelectGuard keepFont(dc.get(), font_.get());
    SetBkMode(dc.get(), TRANSPARENT);
    SetTextColor(dc.get(), kNumberColour);
    for (int n = 0; n < kNumberCount; ++n) {
        const std::u16string text = model_.numberText(n);
        const std::wstring wide(text.begin(), text.end());
        RECT r = ToRect(NumberRect(n, chineseLayout_));
        DrawTextW(dc.get(), wide.c_str(), static_cast<int>(wide.size()), &r,
                  DT_RIGHT | DT_VCENTER | DT_SINGLELINE | DT_END_ELLIPSIS | DT_NOPREFIX);
    }
}

void CStsDlg::Finish() {
    // Before the counters were loaded there is nothing of this run to keep.
    if (!counting_ || finished_) {
        return;
    }
    finished_ = true;
    sampler_.Stop();
    SaveWithNotice(host_.mainWindow());
}

bool CStsDlg::OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
    switch (msg) {
        case kMsgDriverEvent:
            if (const auto counter = model_.countEvent(static_cast<std::uint32_t>(wp))) {
                InvalidateNumbers(NumbersShowing(*counter));
                ShowLevel();
            }
            result = 0;
            return true;
        case kMsgPointerSample:
            // The travel is redrawn by the timer, not at every sample.
            model_.addSample({UnpackCoordinate(wp), UnpackCoordinate(static_cast<WPARAM>(lp))});
            result = 1;
            return true;
        case WM_TIMER:
            if (wp == kTimerStatistics) {
                InvalidateNumbers(1u << kNumberDistance);
                SaveIfChanged();
                return true;
            }
            return false;
        case WM_PAINT:
            Paint();
            return true;
        case WM_ERASEBKGND:
            result = 1;
            return true;
        case WM_COMMAND:
            if (lp != 0 && reinterpret_cast<HWND>(lp) == reset_.hwnd()) {
                Reset();
            }
            return false;
        case WM_MOUSEMOVE:
            PostHoverHelp(POINT{static_cast<short>(LOWORD(lp)), static_cast<short>(HIWORD(lp))});
            return false;
        case WM_DESTROY:
            StopTimer(kTimerStatistics);
            Finish();
            return false;
        default:
            return false;
    }
}

}  // namespace q350::pages
