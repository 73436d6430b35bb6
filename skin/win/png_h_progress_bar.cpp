#include "skin/win/png_h_progress_bar.h"

#include <windowsx.h>

#include <algorithm>

#include "skin/geometry.h"
#include "skin/win/framework/gdi.h"
#include "skin/win/images.h"
#include "skin/win/skin_ids.h"

namespace q350::ui {

bool CPngHProgressBar::Create(const RECT& rect, HWND parent) {
    static const bool registered = RegisterWindowClass(L"Q350ProgressBar", 0, nullptr, nullptr);
    (void)registered;
    notifyId = 777;
    interactive = 1;
    min = 0;
    max = 10;
    pos = 0;
    rect_ = rect;
    return Window::Create(L"Q350ProgressBar", L"", 0x50010000, 0, rect, parent, 777);
}

void CPngHProgressBar::SetPictures(int x, int y, int width, int height, Gdiplus::Image* background,
                                   Gdiplus::Image* fill) {
    background_ = ImagePart(background, x, y, width, height);
    fill_ = ImagePart(fill, x, y, width, height);
}

void CPngHProgressBar::RedrawNow() {
    if (hwnd_)
        RedrawWindow(hwnd_, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
}

int CPngHProgressBar::FillWidth() const {
    return skin::ProgressFillWidth(pos, min, max, rect_.right - rect_.left);
}

void CPngHProgressBar::TrackTo(int clientX) {
    POINT p{clientX, 0};
    MapWindowPoints(hwnd_, GetParent(hwnd_), &p, 1);
    const int x = std::max<int>(p.x, rect_.left);
    pos = skin::PosFromTravelX(x, rect_.left, rect_.right, min, max);
}

bool CPngHProgressBar::OnMessage(UINT msg, WPARAM, LPARAM lp, LRESULT& result) {
    switch (msg) {
        case WM_PAINT: {
            PaintDc paint(hwnd_);
            const RECT rc = ClientRect();
            OffscreenBuffer buffer(paint.get(), rc.right, rc.bottom);
            {
                Gdiplus::Graphics g(buffer.dc());
                if (background_)
                    g.DrawImage(background_.get(), 0, 0, rc.right, rc.bottom);
                const int fill = FillWidth();
                if (fill_ && fill > 0) {
                    g.DrawImage(fill_.get(), Gdiplus::Rect(0, 0, fill, rc.bottom), 0, 0, fill,
                                rc.bottom, Gdiplus::UnitPixel);
                }
            }
            buffer.Present(paint.get());
            return true;
        }
        case WM_ERASEBKGND:
            result = 1;
            return true;
        case WM_LBUTTONDOWN:
            if (interactive && !disabledInput) {
                SetCapture(hwnd_);
                tracking_ = true;
            }
            return true;
        case WM_MOUSEMOVE:
            if (tracking_) {
                TrackTo(GET_X_LPARAM(lp));
                RedrawNow();
            }
            return true;
        case WM_LBUTTONUP:
            if (tracking_) {
                TrackTo(GET_X_LPARAM(lp));
                PostMessageW(GetParent(hwnd_), kMsgProgressPos, static_cast<WPARAM>(pos), notifyId);
                tracking_ = false;
                ReleaseCapture();
                RedrawNow();
            }
            return true;
        case WM_CAPTURECHANGED:
        case WM_KILLFOCUS:
            if (tracking_) {
                tracking_ = false;
                RedrawNow();
            }
            return false;
        default:
            return false;
    }
}

}  // namespace q350::ui
