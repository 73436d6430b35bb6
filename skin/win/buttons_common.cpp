#include "skin/win/buttons_common.h"

#include <windowsx.h>

#include "skin/win/framework/window.h"

namespace q350::ui {

const wchar_t* ButtonClass() {
    static const bool registered = RegisterSuperclass(L"Q350Button", L"BUTTON");
    (void)registered;
    return L"Q350Button";
}

HWND NotifyTarget(HWND button) {
    HWND owner = GetWindow(button, GW_OWNER);
    return owner ? owner : GetParent(button);
}

void TrackHover(HWND button, int& hover, WPARAM keys, LPARAM pos) {
    if ((keys & MK_LBUTTON) && hover == 0)
        return;  // dragged in from elsewhere
    POINT pt{GET_X_LPARAM(pos), GET_Y_LPARAM(pos)};
    const HWND target = NotifyTarget(button);
    if (GetCapture() != button && GetActiveWindow() != nullptr && target != nullptr) {
        hover = 1;
        SetCapture(button);
        InvalidateRect(button, nullptr, FALSE);
    } else {
        POINT screen = pt;
        ClientToScreen(button, &screen);
        if (WindowFromPoint(screen) != button) {
            if (hover == 1) {
                hover = 0;
                InvalidateRect(button, nullptr, FALSE);
            }
            if (!(keys & MK_LBUTTON))
                ReleaseCapture();
        }
    }
    InvalidateRect(button, nullptr, FALSE);
    if (target != nullptr) {
        MapWindowPoints(button, target, &pt, 1);
        PostMessageW(target, WM_MOUSEMOVE, keys, MAKELPARAM(pt.x, pt.y));
    }
}

void HoverCaptureLost(HWND button, int& hover) {
    if (hover != 1)
        return;
    POINT pt{};
    GetCursorPos(&pt);
    if (WindowFromPoint(pt) != button)
        hover = 0;
    InvalidateRect(button, nullptr, FALSE);
}

bool HandleHoverMessage(Window& button, int& hover, UINT msg, WPARAM wp, LPARAM lp,
                        LRESULT& result) {
    switch (msg) {
        case WM_ERASEBKGND:
            result = 1;
            return true;
        case WM_MOUSEMOVE:
            result = button.Default(msg, wp, lp);
            TrackHover(button.hwnd(), hover, wp, lp);
            return true;
        case WM_CAPTURECHANGED:
            result = button.Default(msg, wp, lp);
            HoverCaptureLost(button.hwnd(), hover);
            return true;
        case WM_KILLFOCUS:
            hover = 0;
            button.Invalidate();
            return false;
        default:
            return false;
    }
}

}  // namespace q350::ui
