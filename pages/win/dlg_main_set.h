#pragma once

// CDlgMainSet: the mouse page. Its button half shows the fourteen buttons of the current mode on
// a picture of the mouse, switches modes, and assigns a button through the button setting panel.
#include <array>
#include <memory>

#include "pages/mouse_page_model.h"
#include "pages/win/page_base.h"
#include "pages/win/performance_controls.h"
#include "pages/win/skin_menu_library.h"
#include "skin/win/framework/gdi.h"
#include "skin/win/gdi_bitmap_btn.h"
#include "skin/win/irr_button.h"

namespace q350::pages {

inline constexpr UINT_PTR kTimerMarkers = 17;
inline constexpr UINT kTimerMarkersMs = 200;

class CDlgMainSet : public CPageBase {
public:
    // chineseLayout: the upper row of labels is laid out for Chinese words (fixed for the page's
    // life).
    CDlgMainSet(WinPageHost& host, bool chineseLayout);

    void ShowRecord() override;
    // The menu library, loaded when the page is made (the macro page opens its menus through it).
    const SkinMenuLibrary& menus() const { return menus_; }

protected:
    bool OnInitDialog() override;
    bool OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;

private:
    enum Sheet { kNormal, kOver, kDown, kDisable, kSheetCount };

    void LoadSheets();
    void BuildButtonMap();
    void OnCommand(HWND from);
    void ChangeMode(int mode);
    void EditButton(int button);
    void ShowLabel(int button);
    void TrackMarkers();
    void PostHoverHelp(POINT p);
    void Paint();

    MousePageModel model_;
    bool chineseLayout_;
    ui::Bitmap sheets_[kSheetCount];
    SIZE size_{};
    std::array<ui::CGDIBitmapBtn, kModeCount> modes_;
    std::array<ui::CIrrButton, kButtonCount> labels_;
    std::array<ui::CGDIBitmapBtn, kButtonCount> markers_;
    std::array<bool, kButtonCount> markerSet_{};
    int editing_ = -1;
    PerformanceControls performance_;
    SkinMenuLibrary menus_;
};

}  // namespace q350::pages
