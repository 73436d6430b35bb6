#include "pages/win/performance_controls.h"

#include <cwchar>
#include <string>

#include "pages/performance_layout.h"
#include "skin/win/images.h"
#include "skin/win/skin_ids.h"

namespace q350::pages {

namespace {
constexpr wchar_t kThumb[] = L"Slider.png";
constexpr wchar_t kThumbDisabled[] = L"SliderDisable.PNG";
constexpr COLORREF kValueColour = RGB(88, 99, 105);
constexpr int kDpiTravelCut = 10;
constexpr int kOtherTravelCut = 20;

RECT ToRect(const skin::Rect& r) { return RECT{r.left, r.top, r.right, r.bottom}; }

skin::Rect WindowRectIn(HWND window, HWND reference) {
    RECT r{};
    GetWindowRect(window, &r);
    MapWindowPoints(nullptr, reference, reinterpret_cast<POINT*>(&r), 2);
    return {r.left, r.top, r.right, r.bottom};
}
}  // namespace

PerformanceControls::PerformanceControls(WinPageHost& host, bool chineseLayout)
    : host_(host), model_(host), chinese_(chineseLayout) {}

void PerformanceControls::MakeButton(ui::CGDIBitmapBtn& b, const skin::Rect& r,
                                     bool disableSheet, bool twoState) {
    const RECT rect = ToRect(r);
    b.Create(page_, rect);
    b.SetSheetImages(sheets_.normal, sheets_.over, sheets_.down,
                     disableSheet ? sheets_.disable : sheets_.normal, rect);
    b.checkMode = twoState ? 1 : 0;
    b.toggleOnClick = 0;
}

void PerformanceControls::MakeSlider(ui::CPngHSliderBar& s, unsigned id, const skin::Rect& r,
                                     int min, int max, int travelCut) {
    const RECT rect = ToRect(r);
    s.Init(ui::SkinPath(kThumb), page_, id, rect);
    s.min = min;
    s.max = max;
    s.thumb().min = min;
    s.thumb().max = max;
    s.travel = RECT{rect.left, rect.top, rect.right - travelCut, rect.bottom};
    s.SetBackground(ui::ImagePart(sheets_.normal, r.left, r.top, r.Width(), r.Height()));
}

void PerformanceControls::Create(HWND page, const PageSheets& sheets) {
    page_ = page;
    sheets_ = sheets;
    const bool zh = chinese_;
    MakeButton(presetForm_, kPresetFormRect.of(zh), true);
    for (int j = 0; j < kPresetCount; ++j) {
        MakeButton(presets_[static_cast<std::size_t>(j)], kPresetRects[static_cast<std::size_t>(j)],
                   true);
    }
    MakeButton(sliderForm_, kSliderFormRect.of(zh), true);
    MakeButton(xy_, kXyRect.of(zh), true);
    for (int l = 0; l < kDpiLevels; ++l) {
        const auto n = static_cast<std::size_t>(l);
        MakeButton(levels_[n], kLevelRects[n].of(zh), true);
        MakeSlider(dpiX_[n], kDpiXSliderId(l), kDpiXRects[n], kDpiSliderMin, kDpiSliderMax,
                   kDpiTravelCut);
        MakeSlider(dpiY_[n], kDpiYSliderId(l), kDpiYRects[n], kDpiSliderMin, kDpiSliderMax,
                   kDpiTravelCut);
    }
    for (std::size_t k = 0; k < rates_.size(); ++k) {
        MakeButton(rates_[k], kReportRateRects[k], false);
    }
    MakeSlider(lift_, kLiftSliderId, kLiftSliderRect.of(zh), kLiftSliderMin, kLiftMax,
               kOtherTravelCut);
    liftBox_.Create(page_, ToRect(kLiftBoxRect), kLiftBoxId);
    liftBox_.min = 0;
    liftBox_.max = kLiftMax;
    liftBox_.SetBackground(sheets_.normal, kLiftBoxRect.left, kLiftBoxRect.top,
                           kLiftBoxRect.Width(), kLiftBoxRect.Height());
    ShowWindow(liftBox_.hwnd(), SW_HIDE);
    MakeButton(liftPlus_, kLiftPlusRect, false, false);
    MakeButton(liftMinus_, kLiftMinusRect, false, false);
    MakeSlider(pointer_, kPointerSliderId, kPointerSliderRect, kPointerSpeedMin, kPointerSpeedMax,
               kOtherTravelCut);
    MakeButton(precision_, kPrecisionRect, false);
    MakeButton(linesChoice_, kLinesChoiceRect.of(zh), false);
    const skin::Rect& lines = kLinesBoxRect.of(zh);
    linesBox_.Create(page_, ToRect(lines), kLinesBoxId);
    linesBox_.min = 0;
    linesBox_.max = kLinesMax;
    linesBox_.SetBackground(sheets_.normal, lines.left, lines.top, lines.Width(), lines.Height());
    MakeButton(linesPlus_, kLinesPlusRect.of(zh), false, false);
    MakeButton(linesMinus_, kLinesMinusRect.of(zh), false, false);
    MakeButton(screenChoice_, kScreenChoiceRect.of(zh), false);
    MakeSlider(doubleClick_, kDoubleClickSliderId, kDoubleClickSliderRect, kDoubleClickMin,
               kDoubleClickMax, kOtherTravelCut);
    doubleClickTest_.animationId = kDoubleClickAnimation;
    doubleClickTest_.Create(page_, ToRect(kDoubleClickTestRect));
    valueFont_.Reset(ui::MakeFont(14, 300, L"Arial"));
    narrowFont_.Reset(ui::MakeFont(12, 300, L"Arial"));
    for (int l = 0; l < kDpiLevels; ++l) {
        const auto n = static_cast<std::size_t>(l);
        for (int axis = 0; axis < 2; ++axis) {
            const skin::Rect& r = axis == 0 ? kDpiXRects[n] : kDpiYRects[n];
            const std::size_t i = 2 * n + static_cast<std::size_t>(axis);
            dpiBackground_[i] = ui::ImagePart(sheets_.normal, r.left, r.top, r.Width(),
                                              r.Height());
            dpiGreyed_[i] = ui::ImagePart(sheets_.disable, r.left, r.top, r.Width(),
                                          r.Height());
        }
    }
    sheets_ = PageSheets{};  // the page may let go of its pictures now
}

void PerformanceControls::SetSlider(ui::CPngHSliderBar& s, int value) {
    s.thumb().SetPos(value);
    s.Invalidate();
}

void PerformanceControls::ShowChoice(ui::CGDIBitmapBtn& set, ui::CGDIBitmapBtn& cleared) {
    set.SetCheck(1);
    cleared.SetCheck(0);
}

void PerformanceControls::PostLevel(int level) const {
    PostMessageW(page_, kMsgLevelChanged, 0, level + 1);
}

void PerformanceControls::ShowRecord() {
    if (page_ == nullptr) {
        return;
    }
    const PerformanceView v = model_.show();
    for (int k = 0; k < 4; ++k) {
        rates_[static_cast<std::size_t>(k)].SetCheck(k == v.reportRateButton ? 1 : 0);
    }
    xy_.SetCheck(v.xySeparate ? 1 : 0);
    precision_.SetCheck(v.precision ? 1 : 0);
    if (v.presetForm) {
        ShowChoice(presetForm_, sliderForm_);
    } else {
        ShowChoice(sliderForm_, presetForm_);
    }
    SetSlider(lift_, v.lift);
    for (int l = 0; l < kDpiLevels; ++l) {
        const auto n = static_cast<std::size_t>(l);
        SetSlider(dpiX_[n], v.sliderX[n]);
        SetSlider(dpiY_[n], v.sliderY[n]);
        PostLevel(l);
    }
    SetSlider(pointer_, v.pointerSpeed);
    SetSlider(doubleClick_, v.doubleClick);
    if (v.screenChoice) {
        ShowChoice(screenChoice_, linesChoice_);
    } else {
        ShowChoice(linesChoice_, screenChoice_);
    }
    ShowBoxes();
    for (int j = 0; j < kPresetCount; ++j) {
        presets_[static_cast<std::size_t>(j)].SetCheck(v.presetTicked[static_cast<std::size_t>(j)]
                                                           ? 1
                                                           : 0);
    }
    for (int l = 0; l < kDpiLevels; ++l) {
        levels_[static_cast<std::size_t>(l)].SetCheck(v.levelOn[static_cast<std::size_t>(l)] ? 1
                                                                                              : 0);
    }
    SwitchSection();
}

void PerformanceControls::SwitchSection() {
    const std::int32_t form = host_.profile().dpiListMode[host_.currentMode()];
    if (form != 0 && form != 1) {
        return;
    }
    const bool presets = form == 1;
    EnableWindow(xy_.hwnd(), presets ? FALSE : TRUE);
    for (auto& b : levels_) {
        EnableWindow(b.hwnd(), presets ? FALSE : TRUE);
    }
    for (auto& b : presets_) {
        EnableWindow(b.hwnd(), presets ? TRUE : FALSE);
    }
    for (int l = 0; l < kDpiLevels; ++l) {
        const auto n = static_cast<std::size_t>(l);
        for (int axis = 0; axis < 2; ++axis) {
            ui::CPngHSliderBar& slider = axis == 0 ? dpiX_[n] : dpiY_[n];
            const auto& background = (presets ? dpiGreyed_ : dpiBackground_)[2 * n + axis];
            slider.SetThumbPicture(ui::SkinPath(presets ? kThumbDisabled : kThumb));
            slider.SetBackground(background ? std::unique_ptr<Gdiplus::Bitmap>(background->Clone(
                                                  0, 0, background->GetWidth(),
                                                  background->GetHeight(), PixelFormat32bppARGB))
                                            : nullptr);
            slider.SetEnabled(presets ? 0 : 1);
        }
    }
}

void PerformanceControls::SetBoxText(ui::CBitmapEdit& box, int& pending, int value) {
    const std::wstring text = std::to_wstring(value);
    wchar_t shown[16] = {};
    GetWindowTextW(box.hwnd(), shown, 16);
    if (text == shown) {
        return;  // unchanged: no notice comes
    }
    ++pending;
    SetWindowTextW(box.hwnd(), text.c_str());
}

void PerformanceControls::ShowBoxes() {
    SetBoxText(liftBox_, liftPending_, model_.liftValue());
    SetBoxText(linesBox_, linesPending_, model_.linesValue());
}

std::optional<int> PerformanceControls::BoxValue(HWND box) {
    wchar_t text[16] = {};
    if (GetWindowTextW(box, text, 16) <= 0) {
        return std::nullopt;
    }
    wchar_t* end = nullptr;
    const long v = std::wcstol(text, &end, 10);
    if (end == text || *end != L'\0') {
        return std::nullopt;
    }
    return static_cast<int>(v);
}

bool PerformanceControls::OnCommand(HWND from) {
    for (int j = 0; j < kPresetCount; ++j) {
        if (from == presets_[static_cast<std::size_t>(j)].hwnd()) {
            if (model_.clickPreset(j)) {
                presets_[static_cast<std::size_t>(j)].SetCheck(
                    presets_[static_cast<std::size_t>(j)].checkState ? 0 : 1);
            }
            return true;
        }
    }
    for (int l = 0; l < kDpiLevels; ++l) {
        if (from == levels_[static_cast<std::size_t>(l)].hwnd()) {
            if (model_.clickLevel(l)) {
                const bool on = host_.profile().dpiLevelOn[host_.currentMode()][l] != 0;
                levels_[static_cast<std::size_t>(l)].SetCheck(on ? 1 : 0);
            }
            return true;
        }
    }
    for (int k = 0; k < 4; ++k) {
        if (from == rates_[static_cast<std::size_t>(k)].hwnd()) {
            model_.clickReportRate(k);
            for (int i = 0; i < 4; ++i) {
                rates_[static_cast<std::size_t>(i)].SetCheck(i == k ? 1 : 0);
            }
            return true;
        }
    }
    if (from == presetForm_.hwnd() || from == sliderForm_.hwnd()) {
        const bool presets = from == presetForm_.hwnd();
        model_.chooseForm(presets);
        if (presets) {
            ShowChoice(presetForm_, sliderForm_);
        } else {
            ShowChoice(sliderForm_, presetForm_);
        }
        SwitchSection();
    } else if (from == xy_.hwnd()) {
        model_.clickXy();
        xy_.SetCheck(host_.profile().xyIndependent[host_.currentMode()] != 0 ? 1 : 0);
    } else if (from == precision_.hwnd()) {
        model_.clickPrecision();
        precision_.SetCheck(host_.profile().enhancePrecision[host_.currentMode()] != 0 ? 1 : 0);
    } else if (from == linesChoice_.hwnd()) {
        model_.chooseLines();
        ShowChoice(linesChoice_, screenChoice_);
    } else if (from == screenChoice_.hwnd()) {
        model_.chooseScreen();
        ShowChoice(screenChoice_, linesChoice_);
    } else if (from == liftPlus_.hwnd() || from == liftMinus_.hwnd()) {
        model_.stepLift(from == liftPlus_.hwnd() ? 1 : -1);
        SetSlider(lift_, model_.liftValue());
        ShowBoxes();
    } else if (from == linesPlus_.hwnd() || from == linesMinus_.hwnd()) {
        model_.stepLines(from == linesPlus_.hwnd() ? 1 : -1);
        ShowChoice(linesChoice_, screenChoice_);
        ShowBoxes();
    } else {
        return false;
    }
    return true;
}

void PerformanceControls::OnSlider(int position, unsigned id) {
    for (int l = 0; l < kDpiLevels; ++l) {
        const auto n = static_cast<std::size_t>(l);
        const bool x = id == kDpiXSliderId(l);
        if (x || id == kDpiYSliderId(l)) {
            if (model_.moveDpi(l, x, position)) {
                // Linked: the other slider of the level follows without a notice of its own.
                SetSlider(x ? dpiY_[n] : dpiX_[n], position);
            }
            PostLevel(l);
            return;
        }
    }
    switch (id) {
        case kLiftSliderId:
            model_.moveLift(position);
            ShowBoxes();
            break;
        case kPointerSliderId:
            model_.movePointerSpeed(position);
            SetSlider(pointer_, position);
            break;
        case kDoubleClickSliderId:
            model_.moveDoubleClick(position);
            SetSlider(doubleClick_, position);
            break;
        default:
            break;
    }
}

void PerformanceControls::OnEditChanged(HWND edit) {
    if (edit == liftBox_.hwnd()) {
        if (liftPending_ > 0) {
            --liftPending_;
            return;
        }
        model_.typedLift(BoxValue(edit));
        SetSlider(lift_, model_.liftValue());
    } else if (edit == linesBox_.hwnd()) {
        if (linesPending_ > 0) {
            --linesPending_;
            return;
        }
        const std::optional<int> typed = BoxValue(edit);
        if (typed) {
            model_.typedLines(typed);
            ShowChoice(linesChoice_, screenChoice_);
        }
    }
}

void PerformanceControls::RedrawLevel(int level) {
    if (level < 1 || level > kDpiLevels) {
        return;
    }
    for (const auto& rects : {kDpiXTextRects, kDpiYTextRects}) {
        const RECT r = ToRect(rects[static_cast<std::size_t>(level - 1)]);
        InvalidateRect(page_, &r, FALSE);
    }
}

void PerformanceControls::Paint(HDC dc) {
    const ProfileData& p = host_.profile();
    const int m = host_.currentMode();
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, kValueColour);
    for (int l = 0; l < kDpiLevels; ++l) {
        const auto n = static_cast<std::size_t>(l);
        for (auto [value, rect] : {std::pair{p.dpiX[m][kDpiLevelSlotFirst + l], kDpiXTextRects[n]},
                                   std::pair{p.dpiY[m][kDpiLevelSlotFirst + l], kDpiYTextRects[n]}}) {
            const std::wstring text = std::to_wstring(value * 100);
            RECT r = ToRect(rect);
            // Where the system puts a wider face in place of the one asked for, the smaller size
            // keeps the four digits whole instead of cutting them.
            ui::SelectGuard keep(dc, valueFont_.get());
            SIZE extent{};
            GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &extent);
            ui::SelectGuard narrow(dc, extent.cx > r.right - r.left ? narrowFont_.get() : nullptr);
            DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &r,
                      DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_END_ELLIPSIS | DT_NOPREFIX);
        }
    }
}

void PerformanceControls::AddHintAreas(std::vector<HintArea>& areas) const {
    auto add = [&](HWND w, int hint) {
        if (w != nullptr) {
            areas.push_back({WindowRectIn(w, page_), hint});
        }
    };
    add(presetForm_.hwnd(), kHintDpiForm);
    add(sliderForm_.hwnd(), kHintDpiForm);
    for (const auto& b : presets_) add(b.hwnd(), kHintDpi);
    add(xy_.hwnd(), kHintXy);
    for (const auto& b : levels_) add(b.hwnd(), kHintDpiForm);
    for (int l = 0; l < kDpiLevels; ++l) {
        add(dpiX_[static_cast<std::size_t>(l)].hwnd(), kHintDpi);
        add(dpiY_[static_cast<std::size_t>(l)].hwnd(), kHintDpi);
    }
    for (const auto& b : rates_) add(b.hwnd(), kHintReportRate);
    add(lift_.hwnd(), kHintLift);
    add(liftPlus_.hwnd(), kHintLines);
    add(liftMinus_.hwnd(), kHintLines);
    add(pointer_.hwnd(), kHintPointerSpeed);
    add(precision_.hwnd(), kHintPrecision);
    add(linesChoice_.hwnd(), kHintLines);
    add(screenChoice_.hwnd(), kHintScreen);
    add(doubleClick_.hwnd(), kHintDoubleClick);
    add(doubleClickTest_.hwnd(), kHintDoubleClickTest);
}

}  // namespace q350::pages
