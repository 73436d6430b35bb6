#pragma once

// CStsDlg: the statistics page. It counts the mouse's button presses and wheel steps from the
// driver events the main window forwards and the pointer's travel from a sampler thread, shows
// the eight numbers and the trophy level the totals reached (the level's trophy picture, the
// thirteen trophy icons, the level bar) and resets everything when asked. The counters are kept
// in the host's settings store a few seconds after they change, when Windows ends the session,
// at a reset and when the page goes; the writes that come with counting never hold up the page.
#include <windows.h>

#include <array>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <thread>

#include "pages/statistics_model.h"
#include "pages/statistics_saver.h"
#include "pages/win/page_base.h"
#include "skin/win/framework/gdi.h"
#include "skin/win/gdi_bitmap_btn.h"

namespace q350::pages {

// From the main window: a driver event word in wParam.
inline constexpr UINT kMsgDriverEvent = 1225;
// From the sampler: the pointer's screen position, x in wParam and y in lParam (signed).
inline constexpr UINT kMsgPointerSample = 1226;

// Redraws the travel and hands changed counters to the saver.
inline constexpr UINT_PTR kTimerStatistics = 1;
inline constexpr UINT kTimerStatisticsMs = 5000;
inline constexpr DWORD kPointerSampleMs = 500;

inline constexpr wchar_t kResetQuestion[] = L"Do you want to reset trophy data ?";
inline constexpr wchar_t kResetQuestionChinese[] = L"确定要重置奖杯和统计数据么？";
inline constexpr wchar_t kSaveFailedText[] = L"Reg_SaveData Create key failed";

// Reads the pointer's screen position at a fixed interval on a thread of its own and posts it to
// a window with the position as the message's parameters: the thread shares nothing else.
class PointerSampler {
public:
    PointerSampler() = default;
    ~PointerSampler() { Stop(); }
    PointerSampler(const PointerSampler&) = delete;
    PointerSampler& operator=(const PointerSampler&) = delete;

    void Start(HWND target, UINT message, DWORD intervalMs);
    // Ends the thread and waits for it (at once, not at the end of an interval).
    void Stop();

private:
    std::mutex mutex_;
    std::condition_variable wake_;
    bool stopping_ = false;
    std::thread thread_;
};

class CStsDlg : public CPageBase {
public:
    // chineseLayout: the numbers stand where the Chinese sheets have room for them (fixed for the
    // page's life).
    CStsDlg(WinPageHost& host, bool chineseLayout);
    ~CStsDlg() override;

    void SessionEnding() override;

    const StatisticsModel& model() const { return model_; }
    // The level whose trophy picture is shown.
    int shownLevel() const { return loadedLevel_; }
    const ui::CGDIBitmapBtn& trophyIcon(int j) const { return icons_[static_cast<std::size_t>(j)]; }
    const ui::CGDIBitmapBtn& trophyPicture() const { return trophy_; }
    const ui::CGDIBitmapBtn& levelBar() const { return bar_; }
    const ui::CGDIBitmapBtn& resetButton() const { return reset_; }
    // The filled width of the level bar as last cut.
    int levelBarWidth() const { return barWidth_; }

protected:
    bool OnInitDialog() override;
    bool OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;

private:
    enum Sheet { kNormal, kOver, kDown, kSheetCount };
    static constexpr int kNoLevel = 800;

    void LoadSheets();
    void BuildControls();
    void ShowLevel();
    void LoadTrophyPicture(int level);
    void CutLevelBar(int width);
    void InvalidateNumbers(unsigned numbers);
    void SaveIfChanged();
    // Writes the counters and waits for it; false when the store refused them.
    bool SaveNow();
    void SaveWithNotice(HWND owner);
    void Reset();
    void PostHoverHelp(POINT p);
    void Paint();
    void Finish();

    StatisticsModel model_;
    bool chineseLayout_;
    ui::Bitmap sheets_[kSheetCount];
    ui::Font font_;
    ui::CGDIBitmapBtn trophy_;
    std::array<ui::CGDIBitmapBtn, kTrophyCount> icons_;
    ui::CGDIBitmapBtn bar_;
    ui::CGDIBitmapBtn reset_;
    int loadedLevel_ = kNoLevel;
    int barWidth_ = -1;
    std::uint64_t savedRevision_ = 0;
    bool counting_ = false;                   // the counters are loaded
    bool finished_ = false;                   // and kept for the last time
    std::unique_ptr<StatisticsSaver> saver_;  // none when the host keeps no settings
    PointerSampler sampler_;
};

}  // namespace q350::pages
