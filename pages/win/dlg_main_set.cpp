#include "pages/win/dlg_main_set.h"

#include <string>
#include <vector>

#include "base/utf.h"
#include "pages/mouse_page_layout.h"
#include "pages/win/setting_dlg.h"
#include "skin/win/images.h"
#include "skin/win/info_dlg.h"
#include "skin/win/skin_ids.h"

namespace q350::pages {

namespace {

constexpr const wchar_t* kSheetFiles[] = {L"Q350_Main_Normal.bmp", L"Q350_Main_Over.bmp",
                                          L"Q350_Main_Down.bmp", L"Q350_Main_Disable.bmp"};

RECT ToRect(const Rect& r) { return RECT{r.left, r.top, r.right, r.bottom}; }

Rect WindowRectIn(HWND window, HWND reference) {
    RECT r{};
    GetWindowRect(window, &r);
    if (reference != nullptr) {
        MapWindowPoints(nullptr, reference, reinterpret_cast<POINT*>(&r), 2);
    }
    return {r.left, r.top, r.right, r.bottom};
}

}  // namespace

CDlgMainSet::CDlgMainSet(WinPageHost& host, bool chineseLayout)
    : CPageBase(host),
      model_(host),
      chineseLayout_(chineseLayout),
      performance_(host, chineseLayout) {}

bool CDlgMainSet::OnInitDialog() {
    LoadSheets();
    BuildButtonMap();
    PageSheets sheets;
    sheets.normal = sheets_[kNormal].get();
    sheets.over = sheets_[kOver].get();
    sheets.down = sheets_[kDown].get();
    sheets.disable = sheets_[kDisable].get();
    performance_.Create(hwnd_, sheets);
    // Every control has cut its looks out of the sheets: only the normal sheet (the page's
    // background and the labels' normal look) and the down sheet (the labels' other looks) stay.
    sheets_[kOver].Reset();
    sheets_[kDisable].Reset();
    if (!menus_.load()) {
        // Without the menu library the page cannot offer its menus: it closes.
        PostMessageW(hwnd_, WM_CLOSE, 0, 0);
    }
    StartTimer(kTimerMarkers, kTimerMarkersMs);
    ShowRecord();
    return true;
}

void CDlgMainSet::LoadSheets() {
    size_ = LoadLayoutSheets(kSheetFiles, chineseLayout_, sheets_);
}

void CDlgMainSet::BuildButtonMap() {
    const HBITMAP n = sheets_[kNormal].get(), o = sheets_[kOver].get(), d = sheets_[kDown].get();
    auto sheetButton = [&](ui::CGDIBitmapBtn& b, const Rect& r) {
        const RECT rect = ToRect(r);
        b.Create(hwnd_, rect);
        b.SetSheetImages(n, o, d, n, rect);
        b.checkMode = 1;
        b.toggleOnClick = 0;
    };
    for (int m = 0; m < kModeCount; ++m) {
        sheetButton(modes_[static_cast<std::size_t>(m)], kModeButtonRects[static_cast<std::size_t>(m)]);
    }
    for (int k = 0; k < kButtonCount; ++k) {
        const LabelShape& shape = LabelShapeOf(k, chineseLayout_);
        std::vector<POINT> points;
        for (const Point& p : shape) {
            points.push_back(POINT{p.x, p.y});
        }
        auto& label = labels_[static_cast<std::size_t>(k)];
        label.CreateFromPolygon(points, hwnd_);
        label.SetSheets(n, d, d, n);
        label.selectionMode = 1;
    }
    for (int k = 0; k < kButtonCount; ++k) {
        sheetButton(markers_[static_cast<std::size_t>(k)], kMarkerRects[static_cast<std::size_t>(k)]);
    }
}

void CDlgMainSet::ShowRecord() {
    if (hwnd_ == nullptr) {
        return;
    }
    const int mode = host_.currentMode();
    for (int m = 0; m < kModeCount; ++m) {
        modes_[static_cast<std::size_t>(m)].SetCheck(m == mode ? 1 : 0);
    }
    for (int k = 0; k < kButtonCount; ++k) {
        ShowLabel(k);
    }
    performance_.ShowRecord();
}

void CDlgMainSet::ShowLabel(int k) {
    labels_[static_cast<std::size_t>(k)].SetSelected(model_.labelSelected(k));
}

void CDlgMainSet::ChangeMode(int mode) {
    for (int m = 0; m < kModeCount; ++m) {
        modes_[static_cast<std::size_t>(m)].SetCheck(m == mode ? 1 : 0);
    }
    // The host makes every page that shows the mode (this one included) show the record.
    host_.setCurrentMode(mode);
}

void CDlgMainSet::EditButton(int k) {
    editing_ = k;
    const ButtonAssignment& b = host_.profile().buttons[host_.currentMode()][k];
    const std::u16string label = FieldText(b.label, kTextChars);
    {
        CSettingDlg panel(host_, k, std::wstring(label.begin(), label.end()));
        if (panel.Run(hwnd_) && model_.apply(k, panel.result()) == EditOutcome::Refused) {
            const std::u16string_view text = model_.clickRuleText();
            ui::ShowInfoBox(std::wstring(text.begin(), text.end()), 0, hwnd_);
        }
    }
    ShowLabel(k);
    editing_ = -1;
}

void CDlgMainSet::OnCommand(HWND from) {
    if (performance_.OnCommand(from)) {
        return;
    }
    for (int m = 0; m < kModeCount; ++m) {
        if (from == modes_[static_cast<std::size_t>(m)].hwnd()) {
            ChangeMode(m);
            return;
        }
    }
    for (int k = 0; k < kButtonCount; ++k) {
        if (from == labels_[static_cast<std::size_t>(k)].hwnd()) {
            EditButton(k);
            return;
        }
    }
}

void CDlgMainSet::TrackMarkers() {
    POINT cursor{};
    GetCursorPos(&cursor);
    const HWND main = host_.mainWindow();
    const bool inFront = main != nullptr && GetForegroundWindow() == main;
    for (int k = 0; k < kButtonCount; ++k) {
        const auto n = static_cast<std::size_t>(k);
        const Rect label = WindowRectIn(labels_[n].hwnd(), nullptr);
        const MarkerState state = MarkerFor(label, Point{cursor.x, cursor.y}, inFront);
        if (state == MarkerState::Kept) {
            continue;
        }
        const bool set = state == MarkerState::Set;
        if (set == markerSet_[n]) {
            continue;
        }
        markerSet_[n] = set;
        markers_[n].SetCheck(set ? 1 : 0);
        if (set) {
            // Markers 6..13 share one spot: the lit one goes in front of the others.
            SetWindowPos(markers_[n].hwnd(), HWND_TOP, 0, 0, 0, 0,
                         SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
            InvalidateRect(markers_[n].hwnd(), nullptr, FALSE);
        }
    }
}

void CDlgMainSet::PostHoverHelp(POINT p) {
    std::vector<HintArea> areas;
    for (int k = 0; k < kButtonCount; ++k) {
        areas.push_back({WindowRectIn(labels_[static_cast<std::size_t>(k)].hwnd(), hwnd_),
                         LabelHint(k)});
    }
    for (int m = 0; m < kModeCount; ++m) {
        areas.push_back(
            {WindowRectIn(modes_[static_cast<std::size_t>(m)].hwnd(), hwnd_), kHintModeFirst + m});
    }
    performance_.AddHintAreas(areas);
    for (int hint : HintsAt(Point{p.x, p.y}, areas)) {
        PostHint(hint);
    }
}

void CDlgMainSet::Paint() {
    ui::PaintDc dc(hwnd_);
    DrawSheet(dc.get(), sheets_[kNormal].get(), POINT{0, 0}, ClientRect());
    performance_.Paint(dc.get());
}

bool CDlgMainSet::OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
    switch (msg) {
        case WM_PAINT:
            Paint();
            return true;
        case WM_ERASEBKGND:
            result = 1;
            return true;
        case WM_COMMAND:
            menus_.destroyMenu();
            if (lp != 0) {
                OnCommand(reinterpret_cast<HWND>(lp));
            }
            return true;
        case WM_TIMER:
            if (wp == kTimerMarkers) {
                TrackMarkers();
                return true;
            }
            return false;
        case WM_MOUSEMOVE:
            PostHoverHelp(POINT{static_cast<short>(LOWORD(lp)), static_cast<short>(HIWORD(lp))});
            return false;
        case ui::kMsgSliderPos:
            performance_.OnSlider(static_cast<int>(wp), static_cast<unsigned>(lp));
            return true;
        case kMsgLevelChanged:
            performance_.RedrawLevel(static_cast<int>(lp));
            return true;
        case ui::kMsgEditChanged:
            performance_.OnEditChanged(reinterpret_cast<HWND>(wp));
            return true;
        case WM_LBUTTONDOWN:
        case kMsgMenuChoice:
            menus_.destroyMenu();
            return false;
        case WM_CLOSE:
            DestroyWindow(hwnd_);
            return true;
        default:
            return false;
    }
}

}  // namespace q350::pages
