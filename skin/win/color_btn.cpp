#include "skin/win/color_btn.h"

#include "skin/looks.h"
#include "skin/win/buttons_common.h"
#include "skin/win/framework/gdi.h"

namespace q350::ui {

bool CColorBtn::Create(HWND parent, const RECT& rect, UINT id) {
    if (!Window::Create(ButtonClass(), L"", kOwnerDrawButtonStyle, 0, rect, parent, id)) {
        return false;
    }
    SetWindowLongPtrW(hwnd_, GWL_STYLE, GetWindowLongPtrW(hwnd_, GWL_STYLE) & ~WS_TABSTOP);
    return true;
}

bool CColorBtn::OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
    switch (msg) {
        case kReflect + WM_DRAWITEM: {
            const auto& dis = *reinterpret_cast<const DRAWITEMSTRUCT*>(lp);
            const RECT rc = dis.rcItem;
            const int w = rc.right - rc.left;
            const int h = rc.bottom - rc.top;
            OffscreenBuffer buffer(dis.hDC, w, h);
            const RECT local{0, 0, w, h};
            Brush fill(CreateSolidBrush(colour & 0xFFFFFF));
            FillRect(buffer.dc(), &local, fill.get());
            if (frameOn == 1) {
                const COLORREF frame = skin::ColorBtnFrame(
                    selectedLook == 1, (dis.itemState & ODS_SELECTED) != 0, hover == 1);
                Pen pen(CreatePen(PS_SOLID, 1, frame));
                SelectGuard sel(buffer.dc(), pen.get());
                const POINT edge[5] = {{0, 0}, {0, h - 1}, {w - 1, h - 1}, {w - 1, 0}, {0, 0}};
                Polyline(buffer.dc(), edge, 5);
            }
            buffer.Present(dis.hDC, rc.left, rc.top);
            result = TRUE;
            return true;
        }
        case WM_ERASEBKGND:
        case WM_MOUSEMOVE:
        case WM_CAPTURECHANGED:
        case WM_KILLFOCUS:
            return HandleHoverMessage(*this, hover, msg, wp, lp, result);
        default:
            return false;
    }
}

}  // namespace q350::ui
