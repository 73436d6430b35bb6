#pragma once
// CColorBtn: a flat colour swatch with an optional one-pixel frame.
#include <windows.h>

#include "skin/win/framework/window.h"

namespace q350::ui {

class CColorBtn : public Window {
public:
    bool Create(HWND parent, const RECT& rect, UINT id = 0);

    COLORREF colour = RGB(255, 255, 255);
    int frameOn = 0;
    int selectedLook = 0;
    int hover = 0;

protected:
    bool OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;
};

}  // namespace q350::ui
