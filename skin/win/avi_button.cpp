#include "skin/win/avi_button.h"

#include <commctrl.h>

#include "skin/win/buttons_common.h"
#include "skin/win/images.h"
#include "skin/win/skin_ids.h"

namespace q350::ui {

CAVIButton::CAVIButton() {
    still_.Reset(LoadBitmapResource(IDB_DBLCLICK_STILL));
}

bool CAVIButton::Create(HWND parent, const RECT& rect, UINT id) {
    return Window::Create(ButtonClass(), L"", kOwnerDrawButtonStyle, 0, rect, parent, id);
}

void CAVIButton::Play() {
    if (animation_ == nullptr) {
        const RECT rc = ClientRect();
        animation_ = CreateWindowExW(
            0, ANIMATE_CLASSW, nullptr, WS_CHILD | WS_VISIBLE | ACS_CENTER | ACS_TRANSPARENT, 0, 0,
            rc.right, rc.bottom, hwnd_, nullptr, GetModuleHandleW(nullptr), nullptr);
        if (animation_ == nullptr)
            return;
    }
    SendMessageW(animation_, ACM_OPENW, reinterpret_cast<WPARAM>(GetModuleHandleW(nullptr)),
                 reinterpret_cast<LPARAM>(MAKEINTRESOURCEW(animationId)));
    playing = 1;
    ShowWindow(animation_, SW_SHOW);
    SendMessageW(animation_, ACM_PLAY, 1, MAKELPARAM(1, 0xFFFF));
    StartTimer(kStopTimer, kPlayMs);  // restarts a running timer
}

void CAVIButton::StopClip() {
    if (playing) {
        if (animation_) {
            SendMessageW(animation_, ACM_STOP, 0, 0);
            SendMessageW(animation_, ACM_OPENW, 0, 0);  // close the clip
            ShowWindow(animation_, SW_HIDE);
        }
        playing = 0;
        RedrawWindow(hwnd_, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    }
    StopTimer(kStopTimer);
}

bool CAVIButton::OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
    switch (msg) {
        case kReflect + WM_DRAWITEM: {
            const auto& dis = *reinterpret_cast<const DRAWITEMSTRUCT*>(lp);
            if (!playing && still_) {
                MemoryDc src(dis.hDC);
                SelectGuard sel(src.get(), still_.get());
                BitBlt(dis.hDC, dis.rcItem.left, dis.rcItem.top, dis.rcItem.right - dis.rcItem.left,
                       dis.rcItem.bottom - dis.rcItem.top, src.get(), 0, 0, SRCCOPY);
            }
            result = TRUE;
            return true;
        }
        case kReflect + WM_COMMAND:
            result = 0;
            return true;  // its clicks are its own
        case WM_ERASEBKGND:
            result = 1;
            return true;
        case WM_LBUTTONDBLCLK:
            Play();
            return true;
        case WM_TIMER:
            if (wp == kStopTimer) {
                StopClip();
                return true;
            }
            return false;
        default:
            (void)wp;
            return false;
    }
}

}  // namespace q350::ui
