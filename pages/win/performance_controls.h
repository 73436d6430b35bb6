#pragma once

// The performance half of the mouse page: the DPI section in its preset and slider forms, report
// rate, lift-off value and the Windows pointer settings. Owned by the page, which hands it its
// window, its sheets and the messages of these controls; every change goes through the model.
#include <windows.h>

#include <array>
#include <memory>
#include <vector>

#include "pages/mouse_page_layout.h"
#include "pages/performance_model.h"
#include "pages/win/page_base.h"
#include "skin/win/avi_button.h"
#include "skin/win/bitmap_edit.h"
#include "skin/win/framework/gdi.h"
#include "skin/win/framework/gdiplus_include.h"
#include "skin/win/gdi_bitmap_btn.h"
#include "skin/win/png_h_slider.h"

namespace q350::pages {

// The page's own message: the values of level lParam (1..4) are to be redrawn.
inline constexpr UINT kMsgLevelChanged = 2049;

// The page's four sheets while the controls are made; the buttons cut their looks and the sliders
// their backgrounds out of them. The controls keep what they need; none is used after Create.
struct PageSheets {
    HBITMAP normal = nullptr, over = nullptr, down = nullptr, disable = nullptr;
};

class PerformanceControls {
public:
    PerformanceControls(WinPageHost& host, bool chineseLayout);

    void Create(HWND page, const PageSheets& sheets);
    // Every control shows the record for the current mode.
    void ShowRecord();
    // A click on one of these controls; false when the control is not one of them.
    bool OnCommand(HWND from);
    // Message 2048 of a slider.
    void OnSlider(int position, unsigned id);
    // Message 2050 of an edit box.
    void OnEditChanged(HWND edit);
    // Message 2049: the values of level 1..4 are redrawn.
    void RedrawLevel(int level);
    // Writes the DPI values of the slider form.
    void Paint(HDC dc);
    // The controls with their hint codes, for the page's hover help.
    void AddHintAreas(std::vector<HintArea>& areas) const;

private:
    void SwitchSection();
    void ShowBoxes();
    void SetBoxText(ui::CBitmapEdit& box, int& pending, int value);
    static std::optional<int> BoxValue(HWND box);
    void MakeButton(ui::CGDIBitmapBtn& b, const skin::Rect& r, bool disableSheet,
                    bool twoState = true);
    void MakeSlider(ui::CPngHSliderBar& s, unsigned id, const skin::Rect& r, int min, int max,
                    int travelCut);
    void SetSlider(ui::CPngHSliderBar& s, int value);
    void ShowChoice(ui::CGDIBitmapBtn& set, ui::CGDIBitmapBtn& cleared);
    void PostLevel(int level) const;

    WinPageHost& host_;
    PerformanceModel model_;
    bool chinese_;
    HWND page_ = nullptr;
    PageSheets sheets_;  // only during Create
    // The DPI sliders' backgrounds in the slider form and greyed in the preset form, X then Y.
    std::array<std::unique_ptr<Gdiplus::Bitmap>, 2 * kDpiLevels> dpiBackground_, dpiGreyed_;

    ui::CGDIBitmapBtn presetForm_, sliderForm_, xy_, precision_, linesChoice_, screenChoice_;
    std::array<ui::CGDIBitmapBtn, kPresetCount> presets_;
    std::array<ui::CGDIBitmapBtn, kDpiLevels> levels_;
    std::array<ui::CGDIBitmapBtn, 4> rates_;
    ui::CGDIBitmapBtn liftPlus_, liftMinus_, linesPlus_, linesMinus_;
    std::array<ui::CPngHSliderBar, kDpiLevels> dpiX_, dpiY_;
    ui::CPngHSliderBar lift_, pointer_, doubleClick_;
    ui::CBitmapEdit liftBox_, linesBox_;
    // Texts the page itself wrote into the boxes whose change notices have yet to arrive: those
    // notices are the page's own and change nothing.
    int liftPending_ = 0;
    int linesPending_ = 0;
    ui::CAVIButton doubleClickTest_;
    ui::Font valueFont_;
    ui::Font narrowFont_;
};

}  // namespace q350::pages
