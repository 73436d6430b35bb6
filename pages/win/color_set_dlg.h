#pragma once

// CColorSetDlg: the LED page. Effect, colour, speed and brightness of the back-light and the
// wheel light of the current mode, the proximity sensing switch and the mode buttons; the colour
// comes from the swatches, the colour wheel of the page's picture, the red, green and blue
// sliders or their edit boxes. It edits the record only; Apply sends it to the mouse.
#include <array>

#include "pages/led_page_layout.h"
#include "pages/led_page_model.h"
#include "pages/win/page_base.h"
#include "skin/win/bitmap_edit.h"
#include "skin/win/color_btn.h"
#include "skin/win/framework/gdi.h"
#include "skin/win/gdi_bitmap_btn.h"
#include "skin/win/png_h_slider.h"

namespace q350::pages {

// While alive, Enter, Escape and Space pressed in a page or one of its controls reach neither the
// main window's dialog handling nor the control: their key-down and key-up messages are dropped.
class PageKeyFilter {
public:
    PageKeyFilter() = default;
    ~PageKeyFilter();
    PageKeyFilter(const PageKeyFilter&) = delete;
    PageKeyFilter& operator=(const PageKeyFilter&) = delete;
    void Attach(HWND page);

private:
    static LRESULT CALLBACK FilterProc(int code, WPARAM wp, LPARAM lp);
    HHOOK hook_ = nullptr;
};

class CColorSetDlg : public CPageBase {
public:
    // chineseLayout: the controls are laid out for Chinese words (fixed for the page's life).
    CColorSetDlg(WinPageHost& host, bool chineseLayout);

    // Shows the settings of the current mode and of the zone being edited.
    void ShowRecord() override { RefreshFromProfile(); }
    void RefreshFromProfile();

protected:
    bool OnInitDialog() override;
    bool OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;

private:
    enum Sheet { kNormal, kOver, kDown, kSheetCount };

    void LoadSheets();
    void BuildControls();
    void OnCommand(HWND from);
    void OnSlider(int position, unsigned id);
    void OnEditChanged(HWND edit);
    void OnWheelPress(POINT p);
    void PostHints(POINT p);
    void ClearSwatches();
    void ShowColour();
    void MoveSlider(ui::CPngHSliderBar& slider, int position);
    void ShowChannelTexts();
    void Paint();

    LedPageModel model_;
    const LedLayout& layout_;
    bool chineseLayout_;
    ui::Bitmap sheets_[kSheetCount];
    ui::Bitmap background_;  // the compiled-in copy of the page's picture
    HCURSOR picker_ = nullptr;
    std::array<ui::CGDIBitmapBtn, kEffectCount> effects_;
    std::array<ui::CGDIBitmapBtn, kLedPageModes> modes_;
    std::array<ui::CGDIBitmapBtn, kLedZones> zones_;
    std::array<ui::CGDIBitmapBtn, 2> proximity_;  // on, off
    std::array<ui::CGDIBitmapBtn, kSwatchCount> swatches_;
    ui::CColorBtn current_;
    std::array<ui::CPngHSliderBar, 3> rgb_;  // red, green, blue
    ui::CPngHSliderBar brightness_;
    ui::CPngHSliderBar speed_;
    std::array<ui::CBitmapEdit, 3> edits_;  // red, green, blue
    PageKeyFilter keys_;
};

}  // namespace q350::pages
