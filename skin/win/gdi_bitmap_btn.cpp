#include "skin/win/gdi_bitmap_btn.h"

#include <commctrl.h>

#include "skin/geometry.h"
#include "skin/win/buttons_common.h"
#include "skin/win/images.h"
#include "skin/win/skin_ids.h"

namespace q350::ui {

bool CGDIBitmapBtn::Create(HWND parent, const RECT& rect, UINT id) {
    // Made without a tab stop: the style is not changed afterwards (each change is a round of
    // messages and a trip to the window server).
    return Window::Create(ButtonClass(), L"", kOwnerDrawButtonStyle & ~WS_TABSTOP, 0, rect, parent,
                          id);
}

void CGDIBitmapBtn::SetSheetImages(HBITMAP normal, HBITMAP over, HBITMAP down, HBITMAP disabled,
                                   const RECT& rect) {
    WindowDc screen(nullptr);
    const HBITMAP sheets[4] = {normal, over, down, disabled};
    CopyBitmapParts(screen.get(), images_, sheets, 4, rect);
    if (hwnd_) {
        const LONG_PTR style = GetWindowLongPtrW(hwnd_, GWL_STYLE);
        if ((style & (WS_BORDER | WS_TABSTOP)) != 0)
            SetWindowLongPtrW(hwnd_, GWL_STYLE, style & ~(WS_BORDER | WS_TABSTOP));
        Invalidate();
    }
}

void CGDIBitmapBtn::SetImages(HBITMAP normal, HBITMAP over, HBITMAP down, HBITMAP disabled) {
    images_[0].Reset(normal);
    images_[1].Reset(over);
    images_[2].Reset(down);
    images_[3].Reset(disabled);
    Invalidate();
}

void CGDIBitmapBtn::SetText(const std::wstring& text) {
    text_ = text;
    Invalidate();
}

void CGDIBitmapBtn::SetCheck(int value) {
    if (value == checkState)
        return;
    checkState = value;
    Invalidate();
}

void CGDIBitmapBtn::SetToolTipText(const std::wstring& text) {
    if (!hwnd_)
        return;
    if (tooltip_ == nullptr) {
        tooltip_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                                   WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT,
                                   CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, hwnd_, nullptr,
                                   GetModuleHandleW(nullptr), nullptr);
        if (tooltip_ == nullptr)
            return;
        SendMessageW(tooltip_, TTM_ACTIVATE, FALSE, 0);
    }
    TTTOOLINFOW ti{};
    ti.cbSize = sizeof(ti);
    ti.uFlags = TTF_SUBCLASS;
    ti.hwnd = hwnd_;
    ti.uId = 1;
    ti.rect = ClientRect();
    ti.lpszText = const_cast<wchar_t*>(text.c_str());
    if (!toolAdded_) {
        toolAdded_ = SendMessageW(tooltip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&ti)) != 0;
    }
    SendMessageW(tooltip_, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&ti));
    SendMessageW(tooltip_, TTM_ACTIVATE, TRUE, 0);
}

void CGDIBitmapBtn::Draw(const DRAWITEMSTRUCT& dis) {
    skin::BitmapBtnState s;
    s.checkMode = checkMode == 1;
    s.checked = checkState == 1;
    s.pressed = (dis.itemState & ODS_SELECTED) != 0;
    s.disabled = (dis.itemState & ODS_DISABLED) != 0;
    s.hover = hover == 1;
    s.hoverEnabled = hoverEnabled == 1;
    const skin::LookChoice choice =
        skin::BitmapBtnLook(s, {textColourNormal, textColourHover, textColourDown});
    lastLook_ = choice.look;
    const HBITMAP image = images_[static_cast<int>(choice.look)].get();
    const RECT rc = dis.rcItem;
    const int w = rc.right - rc.left;
    const int h = rc.bottom - rc.top;
    MemoryDc source(dis.hDC);
    SelectGuard selImage(source.get(), image);
    if (text_.empty()) {
        if (image)
            BitBlt(dis.hDC, rc.left, rc.top, w, h, source.get(), 0, 0, SRCCOPY);
        return;
    }
    OffscreenBuffer buffer(dis.hDC, w, h);
    if (image) {
        BitBlt(buffer.dc(), 0, 0, w, h, source.get(), 0, 0, SRCCOPY);
    } else {
        FillRect(buffer.dc(), &rc, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    }
    Font font(MakeFont(14, 300, L"MS Shell Dlg"));
    SelectGuard selFont(buffer.dc(), font.get());
    SetBkMode(buffer.dc(), TRANSPARENT);
    SetTextColor(buffer.dc(), choice.text);
    SIZE extent{};
    GetTextExtentPoint32W(buffer.dc(), text_.c_str(), static_cast<int>(text_.size()), &extent);
    const skin::Rect client{0, 0, w, h};
    const skin::Rect tr{textRect.left, textRect.top, textRect.right, textRect.bottom};
    const skin::Rect box = skin::BitmapCaptionBox(client, extent.cy, hasTextRect ? &tr : nullptr,
                                                  choice.text == textColourDown);
    RECT r{box.left, box.top, box.right, box.bottom};
    DrawTextW(buffer.dc(), text_.c_str(), static_cast<int>(text_.size()), &r,
              DT_CENTER | DT_SINGLELINE | DT_END_ELLIPSIS | DT_NOCLIP | DT_NOPREFIX);
    buffer.Present(dis.hDC, rc.left, rc.top);
}

bool CGDIBitmapBtn::OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
    switch (msg) {
        case kReflect + WM_DRAWITEM:
            Draw(*reinterpret_cast<const DRAWITEMSTRUCT*>(lp));
            result = TRUE;
            return true;
        case WM_ERASEBKGND:
        case WM_MOUSEMOVE:
        case WM_CAPTURECHANGED:
        case WM_KILLFOCUS:
            return HandleHoverMessage(*this, hover, msg, wp, lp, result);
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK: {
            const HWND target = NotifyTarget(hwnd_);
            if (target && GetActiveWindow() != GetAncestor(target, GA_ROOT)) {
                SetActiveWindow(GetAncestor(target, GA_ROOT));
            }
            if (toggleOnClick == 1) {
                checkState = checkState ? 0 : 1;
                Invalidate();
            }
            if (notifyPress == 1 && IsWindowEnabled(hwnd_) && target) {
                SendMessageW(target, kMsgButtonPress, WM_LBUTTONDOWN,
                             reinterpret_cast<LPARAM>(hwnd_));
            }
            result = Default(msg, wp, lp);
            return true;
        }
        case WM_LBUTTONUP: {
            const HWND self = hwnd_;
            const HWND target = NotifyTarget(self);
            const bool notify = notifyPress == 1 && IsWindowEnabled(self);
            result = Default(msg, wp, lp);
            if (notify && target && IsWindow(self)) {
                SendMessageW(target, kMsgButtonPress, WM_LBUTTONUP, reinterpret_cast<LPARAM>(self));
            }
            return true;
        }
        default:
            return false;
    }
}

}  // namespace q350::ui
