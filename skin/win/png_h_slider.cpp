#include "skin/win/png_h_slider.h"

#include <windowsx.h>

#include "skin/geometry.h"
#include "skin/win/framework/gdi.h"
#include "skin/win/images.h"
#include "skin/win/skin_ids.h"

namespace q350::ui {

namespace {

const wchar_t* SliderClass() {
    static const bool registered =
        RegisterWindowClass(L"Q350SliderPart", CS_DBLCLKS, nullptr, nullptr);
    (void)registered;
    return L"Q350SliderPart";
}

skin::Rect ToSkin(const RECT& r) {
    return {r.left, r.top, r.right, r.bottom};
}

}  // namespace

// ---- thumb ------------------------------------------------------------------------------------

bool CPngHSlider::Create(const std::wstring& picturePath, HWND parent, UINT id, const RECT& track) {
    picture_ = LoadImageFile(picturePath);
    size_ = picture_ ? SIZE{static_cast<LONG>(picture_->GetWidth()),
                            static_cast<LONG>(picture_->GetHeight())}
                     : SIZE{0, 0};
    track_ = track;
    id_ = id;
    const RECT r{track.left, track.bottom - size_.cy, track.left + size_.cx, track.bottom};
    if (!Window::Create(SliderClass(), L"", 0x50010000, 0, r, parent, id))
        return false;
    if (picture_)
        RegionFromCornerColour(hwnd_, *picture_);
    return true;
}

void CPngHSlider::SetPicture(const std::wstring& picturePath) {
    auto picture = LoadImageFile(picturePath);
    if (!picture) {
        return;  // the old picture stays
    }
    picture_ = std::move(picture);
    size_ = SIZE{static_cast<LONG>(picture_->GetWidth()), static_cast<LONG>(picture_->GetHeight())};
    if (hwnd_) {
        SetWindowRgn(hwnd_, nullptr, FALSE);
        SetPos(pos_);  // the window takes the new picture's size before it is shaped
        RegionFromCornerColour(hwnd_, *picture_);
        InvalidateRect(hwnd_, nullptr, FALSE);
    }
}

void CPngHSlider::SetPos(int value) {
    pos_ = skin::SliderAcceptedPos(value, min, max);
    const int x = skin::SliderThumbLeft(ToSkin(track_), size_.cx, pos_, min, max);
    const int y = placeTop ? track_.top : track_.bottom - size_.cy;
    if (hwnd_)
        MoveWindow(hwnd_, x, y, size_.cx, size_.cy, TRUE);
}

void CPngHSlider::Paint() {
    PaintDc paint(hwnd_);
    OffscreenBuffer buffer(paint.get(), size_.cx, size_.cy);
    {
        Gdiplus::Graphics g(buffer.dc());
        if (backdrop_) {
            RECT wr{};
            GetWindowRect(hwnd_, &wr);
            MapWindowPoints(nullptr, GetParent(hwnd_), reinterpret_cast<POINT*>(&wr), 2);
            g.DrawImage(backdrop_, Gdiplus::Rect(0, 0, size_.cx, size_.cy), wr.left, wr.top,
                        size_.cx, size_.cy, Gdiplus::UnitPixel);
        }
        if (picture_)
            g.DrawImage(picture_.get(), 0, 0, size_.cx, size_.cy);
    }
    buffer.Present(paint.get());
}

bool CPngHSlider::OnMessage(UINT msg, WPARAM, LPARAM lp, LRESULT& result) {
    switch (msg) {
        case WM_PAINT:
            Paint();
            return true;
        case WM_ERASEBKGND:
            result = 1;
            return true;
        case WM_LBUTTONDOWN:
            if (enabled && !disabledInput) {
                SetCapture(hwnd_);
                dragging_ = true;
                pressX_ = GET_X_LPARAM(lp);
            }
            return true;
        case WM_MOUSEMOVE: {
            if (!dragging_ || !enabled || disabledInput)
                return true;
            RECT r{};
            GetWindowRect(hwnd_, &r);
            MapWindowPoints(nullptr, GetParent(hwnd_), reinterpret_cast<POINT*>(&r), 2);
            const int dx =
                skin::SliderLimitDrag(ToSkin(track_), r.left, r.right, GET_X_LPARAM(lp) - pressX_);
            const int pos =
                skin::SliderPosFromThumbLeft(ToSkin(track_), size_.cx, r.left + dx, min, max);
            SetPos(pos);
            PostMessageW(GetParent(hwnd_), kMsgSliderPos, static_cast<WPARAM>(pos_), id_);
            return true;
        }
        case WM_LBUTTONUP:
            if (dragging_) {
                dragging_ = false;
                ReleaseCapture();
            }
            return true;
        case WM_CAPTURECHANGED:
            dragging_ = false;
            return false;
        default:
            return false;
    }
}

// ---- track ------------------------------------------------------------------------------------

bool CPngHSliderBar::Init(const std::wstring& thumbPicturePath, HWND parent, UINT id,
                          const RECT& rect) {
    id_ = id;
    min = 0;
    max = 10;
    thumbPath_ = thumbPicturePath;
    if (auto picture = LoadImageFile(thumbPicturePath)) {
        thumbSize = {static_cast<LONG>(picture->GetWidth()),
                     static_cast<LONG>(picture->GetHeight())};
    }
    travel = rect;
    return Window::Create(SliderClass(), L"", WS_CHILD | WS_VISIBLE, 0, rect, parent, id);
}

void CPngHSliderBar::SetThumbPicture(const std::wstring& picturePath) {
    if (picturePath == thumbPath_) {
        return;  // already shown
    }
    thumbPath_ = picturePath;
    thumb_.SetPicture(picturePath);
    thumbSize = thumb_.size();
}

void CPngHSliderBar::SetEnabled(int flag) {
    disabledInput = flag ? 0 : 1;
    thumb_.disabledInput = disabledInput;
}

void CPngHSliderBar::SetBackground(std::unique_ptr<Gdiplus::Bitmap> background) {
    background_ = std::move(background);
    thumb_.SetBackdrop(background_.get());
    Invalidate();
    if (thumb_.hwnd())
        InvalidateRect(thumb_.hwnd(), nullptr, FALSE);
}

bool CPngHSliderBar::OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
    switch (msg) {
        case WM_CREATE: {
            const RECT rc = ClientRect();
            if (thumb_.Create(thumbPath_, hwnd_, id_, rc))
                thumb_.SetPos(0);
            return false;
        }
        case WM_PAINT: {
            PaintDc paint(hwnd_);
            const RECT rc = ClientRect();
            OffscreenBuffer buffer(paint.get(), rc.right, rc.bottom);
            if (background_) {
                Gdiplus::Graphics g(buffer.dc());
                g.DrawImage(background_.get(), 0, 0, rc.right, rc.bottom);
            }
            buffer.Present(paint.get());
            return true;
        }
        case WM_ERASEBKGND:
            result = 1;
            return true;
        case WM_LBUTTONDOWN: {
            if (disabledInput)
                return true;
            POINT p{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
            MapWindowPoints(hwnd_, GetParent(hwnd_), &p, 1);
            const int pos = skin::PosFromTravelX(p.x, travel.left, travel.right, min, max);
            thumb_.SetPos(pos);
            PostMessageW(GetParent(hwnd_), kMsgSliderPos, static_cast<WPARAM>(thumb_.pos()), id_);
            return true;
        }
        case kMsgSliderPos:  // from the thumb during a drag
            PostMessageW(GetParent(hwnd_), kMsgSliderPos, wp, id_);
            return true;
        default:
            return false;
    }
}

}  // namespace q350::ui
