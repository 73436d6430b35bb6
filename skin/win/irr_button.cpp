#include "skin/win/irr_button.h"

#include <windowsx.h>

#include "skin/geometry.h"
#include "skin/win/buttons_common.h"

namespace q350::ui {

bool CIrrButton::CreateFromRegion(HRGN region, HWND parent) {
    if (region == nullptr)
        return false;
    region_.Reset(CreateRectRgn(0, 0, 0, 0));
    if (CombineRgn(region_.get(), region, nullptr, RGN_COPY) == ERROR)
        return false;
    GetRgnBox(region_.get(), &box_);
    OffsetRgn(region_.get(), -box_.left, -box_.top);
    centre_ = {(box_.left + box_.right) / 2, (box_.top + box_.bottom) / 2};
    if (!Window::Create(ButtonClass(), L"", WS_CHILD | WS_VISIBLE | BS_OWNERDRAW, 0, box_, parent,
                        0)) {
        return false;
    }
    HRGN shape = CreateRectRgn(0, 0, 0, 0);
    CombineRgn(shape, region_.get(), nullptr, RGN_COPY);
    if (SetWindowRgn(hwnd_, shape, TRUE) == 0)
        DeleteObject(shape);
    return true;
}

bool CIrrButton::CreateFromPolygon(const std::vector<POINT>& points, HWND parent) {
    Region rgn(CreatePolygonRgn(points.data(), static_cast<int>(points.size()), WINDING));
    return CreateFromRegion(rgn.get(), parent);
}

void CIrrButton::SetSheets(HBITMAP normal, HBITMAP over, HBITMAP down, HBITMAP disabled) {
    sheets_[0] = normal;
    sheets_[1] = over;
    sheets_[2] = down;
    sheets_[3] = disabled;
    Invalidate();
}

void CIrrButton::SetText(const std::wstring& text) {
    text_ = text;
    Invalidate();
}

void CIrrButton::SetSelected(bool value) {
    selected = value ? 1 : 0;
    if (captured) {
        captured = 0;
        if (GetCapture() == hwnd_)
            ReleaseCapture();
    }
    if (hwnd_) {
        SendMessageW(hwnd_, BM_SETSTATE, FALSE, 0);
        RedrawNow();
    }
}

bool CIrrButton::HitTest(POINT p) const {
    const RECT local{0, 0, box_.right - box_.left, box_.bottom - box_.top};
    return PtInRect(&local, p) && PtInRegion(region_.get(), p.x, p.y);
}

void CIrrButton::RedrawNow() {
    RedrawWindow(hwnd_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
}

void CIrrButton::Track(POINT p) {
    if (HitTest(p)) {
        if (!captured) {
            SetCapture(hwnd_);
            captured = 1;
        }
        if (hover == 1)
            return;
        hover = 1;
    } else {
        if (captured) {
            captured = 0;
            ReleaseCapture();
        }
        if (hover == 0)
            return;
        hover = 0;
    }
    RedrawNow();
}

void CIrrButton::Draw(const DRAWITEMSTRUCT& dis) {
    skin::IrrButtonState s;
    s.selectionMode = selectionMode == 1;
    s.selected = selected == 1;
    s.pressed = (dis.itemState & ODS_SELECTED) != 0;
    s.disabled = (dis.itemState & ODS_DISABLED) != 0;
    s.hover = hover == 1;
    const skin::LookChoice choice =
        skin::IrrButtonLook(s, {textColourNormal, textColourHover, textColourDown});
    lastLook_ = choice.look;
    const HBITMAP sheet = sheets_[static_cast<int>(choice.look)];
    const int w = box_.right - box_.left;
    const int h = box_.bottom - box_.top;
    // The caption goes onto a copy of the sheet's part, so the shared sheet stays clean.
    OffscreenBuffer buffer(dis.hDC, w, h);
    if (sheet) {
        MemoryDc source(dis.hDC);
        SelectGuard sel(source.get(), sheet);
        BitBlt(buffer.dc(), 0, 0, w, h, source.get(), box_.left, box_.top, SRCCOPY);
    }
    if (!text_.empty()) {
        Font font(MakeFont(14, 300, L"MS Shell Dlg"));
        SelectGuard selFont(buffer.dc(), font.get());
        SetBkMode(buffer.dc(), TRANSPARENT);
        SetTextColor(buffer.dc(), choice.text);
        const skin::Point at =
            skin::IrrCaptionOrigin({centre_.x, centre_.y}, static_cast<int>(text_.size()));
        TextOutW(buffer.dc(), at.x - box_.left, at.y - box_.top, text_.c_str(),
                 static_cast<int>(text_.size()));
    }
    Region clip(CreateRectRgn(0, 0, 0, 0));
    CombineRgn(clip.get(), region_.get(), nullptr, RGN_COPY);
    SelectClipRgn(dis.hDC, clip.get());
    buffer.Present(dis.hDC);
    SelectClipRgn(dis.hDC, nullptr);
}

bool CIrrButton::OnMessage(UINT msg, WPARAM, LPARAM lp, LRESULT& result) {
    switch (msg) {
        case kReflect + WM_DRAWITEM:
            Draw(*reinterpret_cast<const DRAWITEMSTRUCT*>(lp));
            result = TRUE;
            return true;
        case WM_ERASEBKGND:
            result = 1;
            return true;
        case WM_MOUSEMOVE:
            Track({GET_X_LPARAM(lp), GET_Y_LPARAM(lp)});
            return true;
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
            if (const HWND target = NotifyTarget(hwnd_)) {
                PostMessageW(target, WM_COMMAND, 0, reinterpret_cast<LPARAM>(hwnd_));
            }
            if (!captured) {
                SetCapture(hwnd_);
                captured = 1;
            }
            return true;
        case WM_LBUTTONUP:
            if (captured) {
                captured = 0;
                ReleaseCapture();
            }
            Track({GET_X_LPARAM(lp), GET_Y_LPARAM(lp)});
            return true;
        case WM_CAPTURECHANGED:
            if (reinterpret_cast<HWND>(lp) != hwnd_)
                captured = 0;
            return false;
        default:
            return false;
    }
}

}  // namespace q350::ui
