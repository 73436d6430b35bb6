#pragma once

// CDlgSingleCombo: the key-combination tab. Four modifier toggles and the last key captured
// through the keyboard hook (message 1034).
#include <array>

#include "pages/setting_panel_model.h"
#include "pages/win/sub_panel.h"

namespace q350::pages {

class CDlgSingleCombo : public CSubPanel {
public:
    CDlgSingleCombo();
    PanelResult Result() const { return capture_.result(); }
    const ComboCapture& capture() const { return capture_; }

protected:
    void BuildControls() override;
    void PaintOver(HDC dc) override;
    bool OnPanelMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;

private:
    void ShowToggles();

    ComboCapture capture_;
    std::array<ui::CGDIBitmapBtn, ComboCapture::kModifierCount> toggles_;
    ui::Font font_;
};

}  // namespace q350::pages
