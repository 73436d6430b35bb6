#include "pages/win/color_set_dlg.h"

#include <windowsx.h>

#include <string>

#include "skin/win/images.h"
#include "skin/win/info_dlg.h"
#include "skin/win/skin_ids.h"

namespace q350::pages {

namespace {

constexpr const wchar_t* kSheetFiles[] = {L"Light\\LedSet_normal.bmp", L"Light\\LedSet_over.bmp",
                                          L"Light\\LedSet_down.bmp"};
// The compiled-in copies of the page's picture the sliders and edit boxes are painted from.
constexpr WORD kBackgroundOther = 184;
constexpr WORD kBackgroundChinese = 153;
constexpr wchar_t kThumbPicture[] = L"Slider.png";
// A slider's thumb travels to 5 pixels short of the bar's right end.
constexpr int kTravelShortening = 5;

constexpr unsigned kSliderIds[3] = {kSliderRed, kSliderGreen, kSliderBlue};
constexpr unsigned kEditIds[3] = {kEditRed, kEditGreen, kEditBlue};
constexpr Channel kChannels[3] = {Channel::Red, Channel::Green, Channel::Blue};

RECT ToRect(const Rect& r) {
    return RECT{r.left, r.top, r.right, r.bottom};
}

std::u16string WindowText(HWND hwnd) {
    const int n = GetWindowTextLengthW(hwnd);
    std::wstring text(static_cast<std::size_t>(n) + 1, L'\0');
    const int got = GetWindowTextW(hwnd, text.data(), n + 1);
    text.resize(static_cast<std::size_t>(got > 0 ? got : 0));
    return std::u16string(text.begin(), text.end());
}

POINT PointOf(LPARAM lp) {
    return POINT{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
}

// The page whose keys are filtered (there is one LED page).
HWND gFilteredPage = nullptr;

}  // namespace

void PageKeyFilter::Attach(HWND page) {
    gFilteredPage = page;
    if (hook_ == nullptr) {
        hook_ = SetWindowsHookExW(WH_MSGFILTER, FilterProc, nullptr, GetCurrentThreadId());
    }
}

PageKeyFilter::~PageKeyFilter() {
    if (hook_ != nullptr) {
        UnhookWindowsHookEx(hook_);
        gFilteredPage = nullptr;
    }
}

LRESULT CALLBACK PageKeyFilter::FilterProc(int code, WPARAM wp, LPARAM lp) {
    if (code == MSGF_DIALOGBOX && lp != 0 && gFilteredPage != nullptr) {
        const MSG* m = reinterpret_cast<const MSG*>(lp);
        if (IsDialogKey(m->message, m->wParam) &&
            (m->hwnd == gFilteredPage || IsChild(gFilteredPage, m->hwnd))) {
            return 1;  // dropped
        }
    }
    return CallNextHookEx(nullptr, code, wp, lp);
}

CColorSetDlg::CColorSetDlg(WinPageHost& host, bool chineseLayout)
    : CPageBase(host),
      model_(host),
      layout_(LedLayoutOf(chineseLayout)),
      chineseLayout_(chineseLayout) {}

bool CColorSetDlg::OnInitDialog() {
    LoadSheets();
    picker_ = LoadCursorW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDC_PICKER));
    BuildControls();
    // The controls have cut their looks out of the sheets; painting and the colour wheel read the
    // normal one only.
    sheets_[kOver].Reset();
    sheets_[kDown].Reset();
    keys_.Attach(hwnd_);
    RefreshFromProfile();
    return true;
}

void CColorSetDlg::LoadSheets() {
    LoadLayoutSheets(kSheetFiles, chineseLayout_, sheets_);
    background_.Reset(
        ui::LoadBitmapResource(chineseLayout_ ? kBackgroundChinese : kBackgroundOther));
}

void CColorSetDlg::BuildControls() {
    const HBITMAP n = sheets_[kNormal].get(), o = sheets_[kOver].get(), d = sheets_[kDown].get();
    auto sheetButton = [&](ui::CGDIBitmapBtn& b, const Rect& r) {
        const RECT rect = ToRect(r);
        b.Create(hwnd_, rect);
        b.SetSheetImages(n, o, d, n, rect);
        b.checkMode = 1;
        b.toggleOnClick = 0;
    };
    for (int e = 0; e < kEffectCount; ++e) {
        sheetButton(effects_[static_cast<std::size_t>(e)],
                    layout_.effects[static_cast<std::size_t>(e)]);
    }
    for (int m = 0; m < kLedPageModes; ++m) {
        sheetButton(modes_[static_cast<std::size_t>(m)],
                    kLedModeRects[static_cast<std::size_t>(m)]);
    }
    for (int z = 0; z < kLedZones; ++z) {
        sheetButton(zones_[static_cast<std::size_t>(z)],
                    layout_.zones[static_cast<std::size_t>(z)]);
    }
    for (std::size_t i = 0; i < proximity_.size(); ++i) {
        sheetButton(proximity_[i], layout_.proximity[i]);
    }
    for (int k = 0; k < kSwatchCount; ++k) {
        sheetButton(swatches_[static_cast<std::size_t>(k)], SwatchRect(k));
    }
    current_.Create(hwnd_, ToRect(kCurrentColourRect));
    current_.colour = RGB(0, 0, 0);

    // The sliders' backgrounds come from the compiled-in picture.
    const std::wstring thumb = ui::SkinPath(kThumbPicture);
    auto slider = [&](ui::CPngHSliderBar& bar, unsigned id, const Rect& r, int max) {
        const RECT rect = ToRect(r);
        bar.Init(thumb, hwnd_, id, rect);
        bar.min = 0;
        bar.max = max;
        bar.travel = RECT{rect.left, rect.top, rect.right - kTravelShortening, rect.bottom};
        bar.thumb().min = 0;
        bar.thumb().max = max;
        if (background_) {
            bar.SetBackground(ui::ImagePart(background_.get(), r.left, r.top, r.right - r.left,
                                            r.bottom - r.top));
        }
    };
    for (std::size_t c = 0; c < rgb_.size(); ++c) {
        slider(rgb_[c], kSliderIds[c], layout_.rgbSliders[c], kChannelMax);
    }
    slider(brightness_, kSliderBrightness, layout_.brightness, kBrightnessMax);
    slider(speed_, kSliderSpeed, layout_.speed, kSpeedMax);

    for (std::size_t c = 0; c < edits_.size(); ++c) {
        const Rect& r = layout_.rgbEdits[c];
        auto& edit = edits_[c];
        edit.Create(hwnd_, ToRect(r), kEditIds[c]);
        edit.min = 0;
        edit.max = kChannelMax;
        if (background_) {
            edit.SetBackground(background_.get(), r.left, r.top, r.right - r.left,
                               r.bottom - r.top);
        }
    }
}

void CColorSetDlg::ClearSwatches() {
    for (auto& swatch : swatches_) {
        swatch.SetCheck(0);
    }
}

void CColorSetDlg::ShowColour() {
    current_.colour = model_.colour() & 0x00FFFFFF;
    current_.Invalidate();
}

void CColorSetDlg::MoveSlider(ui::CPngHSliderBar& slider, int position) {
    slider.thumb().SetPos(position);
    slider.Invalidate();
    if (slider.thumb().hwnd() != nullptr) {
        InvalidateRect(slider.thumb().hwnd(), nullptr, FALSE);
    }
}

void CColorSetDlg::ShowChannelTexts() {
    for (std::size_t c = 0; c < edits_.size(); ++c) {
        const HWND edit = edits_[c].hwnd();
        const std::wstring text = std::to_wstring(ChannelValue(model_.colour(), kChannels[c]));
        const std::u16string shown = WindowText(edit);
        if (shown != std::u16string(text.begin(), text.end())) {
            SetWindowTextW(edit, text.c_str());
        }
    }
}

void CColorSetDlg::RefreshFromProfile() {
    if (hwnd_ == nullptr) {
        return;
    }
    ClearSwatches();
    ShowColour();
    for (std::size_t c = 0; c < rgb_.size(); ++c) {
        MoveSlider(rgb_[c], ChannelValue(model_.colour(), kChannels[c]));
    }
    MoveSlider(brightness_, model_.brightness());
    MoveSlider(speed_, model_.speed());
    ShowChannelTexts();
    const int effect = model_.effect();
    if (effect >= 0 && effect < kEffectCount) {
        for (int e = 0; e < kEffectCount; ++e) {
            effects_[static_cast<std::size_t>(e)].SetCheck(e == effect ? 1 : 0);
        }
    }
    for (int m = 0; m < kLedPageModes; ++m) {
        modes_[static_cast<std::size_t>(m)].SetCheck(m == model_.mode() ? 1 : 0);
    }
    proximity_[0].SetCheck(model_.proximityOn() ? 1 : 0);
    proximity_[1].SetCheck(model_.proximityOn() ? 0 : 1);
    for (int z = 0; z < kLedZones; ++z) {
        zones_[static_cast<std::size_t>(z)].SetCheck(z == model_.zone() ? 1 : 0);
    }
}

void CColorSetDlg::OnCommand(HWND from) {
    for (int k = 0; k < kSwatchCount; ++k) {
        if (from == swatches_[static_cast<std::size_t>(k)].hwnd()) {
            model_.pickSwatch(k);
            RefreshFromProfile();
            return;
        }
    }
    for (int e = 0; e < kEffectCount; ++e) {
        if (from == effects_[static_cast<std::size_t>(e)].hwnd()) {
            model_.setEffect(e);
            RefreshFromProfile();
            return;
        }
    }
    for (int m = 0; m < kLedPageModes; ++m) {
        if (from == modes_[static_cast<std::size_t>(m)].hwnd()) {
            // The host makes every page that shows the mode (this one included) show the record.
            host_.setCurrentMode(m);
            return;
        }
    }
    for (std::size_t i = 0; i < proximity_.size(); ++i) {
        if (from == proximity_[i].hwnd()) {
            model_.setProximity(i == 0);
            RefreshFromProfile();
            return;
        }
    }
    for (int z = 0; z < kLedZones; ++z) {
        if (from == zones_[static_cast<std::size_t>(z)].hwnd()) {
            model_.selectZone(z);
            RefreshFromProfile();
            return;
        }
    }
}

void CColorSetDlg::OnSlider(int position, unsigned id) {
    for (std::size_t c = 0; c < rgb_.size(); ++c) {
        if (id == kSliderIds[c]) {
            model_.setChannel(kChannels[c], position);
            ShowColour();
            ShowChannelTexts();
        }
    }
    if (id == kSliderBrightness) {
        model_.setBrightness(position);
    } else if (id == kSliderSpeed) {
        model_.setSpeed(position);
    }
    ClearSwatches();
}

void CColorSetDlg::OnEditChanged(HWND edit) {
    for (std::size_t c = 0; c < edits_.size(); ++c) {
        if (edit != edits_[c].hwnd()) {
            continue;
        }
        const std::u16string text = WindowText(edit);
        if (!model_.editChannel(kChannels[c], text)) {
            // An empty box (the user is still typing) keeps the colour as it was.
            if (!text.empty()) {
                ui::ShowInfoBox(std::wstring(kChannelRangeText.begin(), kChannelRangeText.end()), 0,
                                hwnd_);
            }
            return;
        }
        MoveSlider(rgb_[c], ChannelValue(model_.colour(), kChannels[c]));
        ShowColour();
        return;
    }
}

void CColorSetDlg::OnWheelPress(POINT p) {
    SetCursor(picker_);
    // The colour comes from the page's own picture, not from the screen, where another window or
    // no picture at all may lie under the pointer.
    COLORREF pixel = CLR_INVALID;
    if (sheets_[kNormal]) {
        ui::MemoryDc mem(nullptr);
        ui::SelectGuard keep(mem.get(), sheets_[kNormal].get());
        pixel = GetPixel(mem.get(), p.x, p.y);
    }
    if (!model_.pickPixel(pixel)) {
        return;
    }
    ShowColour();
    ShowChannelTexts();
    for (std::size_t c = 0; c < rgb_.size(); ++c) {
        MoveSlider(rgb_[c], ChannelValue(model_.colour(), kChannels[c]));
    }
}

void CColorSetDlg::PostHints(POINT p) {
    for (int hint : HintsAt(Point{p.x, p.y}, LedHintAreas(layout_))) {
        PostHint(hint);
    }
}

void CColorSetDlg::Paint() {
    ui::PaintDc dc(hwnd_);
    DrawSheet(dc.get(), sheets_[kNormal].get(), POINT{0, 0}, ClientRect());
}

bool CColorSetDlg::OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
    switch (msg) {
        case WM_PAINT:
            Paint();
            return true;
        case WM_ERASEBKGND:
            result = 1;
            return true;
        case WM_COMMAND:
            if (lp != 0) {
                OnCommand(reinterpret_cast<HWND>(lp));
            }
            return false;
        case ui::kMsgSliderPos:
            OnSlider(static_cast<int>(wp), static_cast<unsigned>(lp));
            result = 1;
            return true;
        case ui::kMsgEditChanged:
            OnEditChanged(reinterpret_cast<HWND>(wp));
            result = 1;
            return true;
        case WM_LBUTTONDOWN: {
            const POINT p = PointOf(lp);
            if (OnWheel(Point{p.x, p.y})) {
                OnWheelPress(p);
            }
            return false;
        }
        case WM_LBUTTONUP:
        case WM_MOUSEMOVE: {
            const POINT p = PointOf(lp);
            if (OnWheel(Point{p.x, p.y}) && picker_ != nullptr) {
                SetCursor(picker_);
            }
            if (msg == WM_MOUSEMOVE) {
                PostHints(p);
            }
            return false;
        }
        case WM_CLOSE:
            DestroyWindow(hwnd_);
            return true;
        default:
            return false;
    }
}

}  // namespace q350::pages
