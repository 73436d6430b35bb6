#include "skin/win/skin_scroll.h"

#include <windowsx.h>

#include "skin/win/framework/gdi.h"
#include "skin/win/skin_ids.h"

namespace q350::ui {

namespace {

constexpr wchar_t kScrollClass[] = L"Q350SkinScroll";
constexpr wchar_t kFrameProp[] = L"Q350.ScrollFrame";
constexpr UINT_PTR kSyncTimer = 100;

void RegisterScrollClass() {
    RegisterWindowClass(kScrollClass, 0, nullptr, nullptr);
}

skin::ScrollInfo ReadInfo(HWND hwnd, int bar) {
    SCROLLINFO si{};
    si.cbSize = sizeof(si);
    si.fMask = SIF_ALL;
    skin::ScrollInfo out;
    if (GetScrollInfo(hwnd, bar, &si)) {
        out = {si.nMin, si.nMax, static_cast<int>(si.nPage), si.nPos, -1};
    }
    return out;
}

bool SameInfo(const skin::ScrollInfo& a, const skin::ScrollInfo& b) {
    return a.min == b.min && a.max == b.max && a.page == b.page && a.pos == b.pos;
}

}  // namespace

// ---- bar --------------------------------------------------------------------------------------

bool CSkinScrollBar::Create(HWND parent, const RECT& rect, UINT id, bool vertical, HBITMAP skin) {
    RegisterScrollClass();
    vertical_ = vertical;
    skin_ = skin;
    BITMAP bm{};
    if (skin && GetObjectW(skin, sizeof(bm), &bm))
        cell_ = bm.bmWidth / 9;
    return Window::Create(kScrollClass, L"", WS_CHILD, 0, rect, parent, id);
}

skin::ScrollLayout CSkinScrollBar::Layout() const {
    const RECT rc = ClientRect();
    return skin::LayoutScrollBar(vertical_ ? rc.bottom : rc.right, cell_, info_);
}

void CSkinScrollBar::SetInfo(const skin::ScrollInfo& info, bool redraw) {
    const int track = info_.trackPos;
    info_ = info;
    info_.trackPos = pressed_ == skin::ScrollPart::Thumb ? track : -1;
    EnableWindow(hwnd_, skin::ScrollBarEnabled(info_));
    if (redraw)
        Invalidate();
}

void CSkinScrollBar::Send(int request, int pos) {
    SendMessageW(GetParent(hwnd_), vertical_ ? WM_VSCROLL : WM_HSCROLL, MAKEWPARAM(request, pos),
                 reinterpret_cast<LPARAM>(hwnd_));
}

int CSkinScrollBar::Along(LPARAM lp) const {
    return vertical_ ? GET_Y_LPARAM(lp) : GET_X_LPARAM(lp);
}

void CSkinScrollBar::Paint(HDC target) {
    const RECT rc = ClientRect();
    OffscreenBuffer buffer(target, rc.right, rc.bottom);
    const HDC dc = buffer.dc();
    MemoryDc cells(dc);
    SelectGuard sel(cells.get(), skin_);
    const skin::ScrollLayout l = Layout();
    const int s = cell_;
    const int thick = vertical_ ? rc.right : rc.bottom;
    const int base = vertical_ ? 0 : 4;
    const bool enabled = IsWindowEnabled(hwnd_) != 0;
    auto row = [&](skin::ScrollPart p) {
        if (!enabled)
            return 0;
        if (pressed_ == p)
            return 2;
        return hot_ == p ? 1 : 0;
    };
    // Copies a cell stretched along the axis into [begin, end).
    auto put = [&](int column, int r, int begin, int end, int srcOff, int srcLen) {
        if (end <= begin)
            return;
        if (vertical_) {
            StretchBlt(dc, 0, begin, thick, end - begin, cells.get(), column * s, r * s + srcOff, s,
                       srcLen, SRCCOPY);
        } else {
            StretchBlt(dc, begin, 0, end - begin, thick, cells.get(), column * s + srcOff, r * s,
                       srcLen, s, SRCCOPY);
        }
    };
    using P = skin::ScrollPart;
    put(base + 0, row(P::FirstArrow), 0, l.PartEnd(P::FirstArrow), 0, s);
    put(base + 1, row(P::SecondArrow), l.PartBegin(P::SecondArrow), l.length, 0, s);
    for (P track : {P::PageUp, P::PageDown}) {
        for (int at = l.PartBegin(track); at < l.PartEnd(track); at += s) {
            put(base + 3, 0, at, std::min(at + s, l.PartEnd(track)), 0,
                std::min(s, l.PartEnd(track) - at));
        }
    }
    if (l.thumb > 0) {
        const int b = l.PartBegin(P::Thumb);
        const int e = l.PartEnd(P::Thumb);
        const int cap = skin::kScrollThumbCap;
        const int r = row(P::Thumb);
        put(base + 2, r, b, b + cap, 0, cap);
        for (int at = b + cap; at < e - cap; at += s - 2 * cap) {
            const int len = std::min(s - 2 * cap, e - cap - at);
            put(base + 2, r, at, at + len, cap, len);
        }
        put(base + 2, r, e - cap, e, s - cap, cap);
    }
    buffer.Present(target);
}

bool CSkinScrollBar::RepeatStep() {
    using P = skin::ScrollPart;
    const skin::ScrollLayout l = Layout();
    const int last = info_.min + std::max(skin::ScrollSteps(info_), 0);
    switch (pressed_) {
        case P::FirstArrow:
            if (info_.pos <= info_.min)
                return false;
            Send(SB_LINEUP);
            return true;
        case P::SecondArrow:
            if (info_.pos >= last)
                return false;
            Send(SB_LINEDOWN);
            return true;
        case P::PageUp:
            if (lastAlong_ >= l.PartBegin(P::Thumb))
                return false;  // the thumb reached the pointer
            Send(SB_PAGEUP);
            return true;
        case P::PageDown:
            if (lastAlong_ < l.PartEnd(P::Thumb))
                return false;
            Send(SB_PAGEDOWN);
            return true;
        default:
            return false;
    }
}

bool CSkinScrollBar::OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
    using P = skin::ScrollPart;
    switch (msg) {
        case WM_PAINT: {
            PaintDc paint(hwnd_);
            Paint(paint.get());
            return true;
        }
        case WM_ERASEBKGND:
            result = 1;
            return true;
        case SBM_SETSCROLLINFO: {
            const auto* si = reinterpret_cast<const SCROLLINFO*>(lp);
            skin::ScrollInfo next = info_;
            if (si->fMask & SIF_RANGE) {
                next.min = si->nMin;
                next.max = si->nMax;
            }
            if (si->fMask & SIF_PAGE)
                next.page = static_cast<int>(si->nPage);
            if (si->fMask & SIF_POS)
                next.pos = si->nPos;
            SetInfo(next, wp != 0);
            result = info_.pos;
            return true;
        }
        case SBM_GETSCROLLINFO: {
            auto* si = reinterpret_cast<SCROLLINFO*>(lp);
            si->nMin = info_.min;
            si->nMax = info_.max;
            si->nPage = static_cast<UINT>(info_.page);
            si->nPos = info_.pos;
            si->nTrackPos = info_.trackPos >= 0 ? info_.trackPos : info_.pos;
            result = TRUE;
            return true;
        }
        case WM_LBUTTONDOWN: {
            if (!IsWindowEnabled(hwnd_))
                return true;
            const int along = Along(lp);
            const skin::ScrollLayout l = Layout();
            pressed_ = skin::HitTestScrollBar(l, along);
            if (pressed_ == P::None)
                return true;
            SetCapture(hwnd_);
            lastAlong_ = along;
            if (pressed_ == P::Thumb) {
                pressAlong_ = along;
                pressPos_ = info_.pos;
                info_.trackPos = info_.pos;
            } else {
                RepeatStep();
                StartTimer(kDelayTimer, 500);
            }
            Invalidate();
            return true;
        }
        case WM_LBUTTONDBLCLK:
            return true;
        case WM_TIMER:
            if (wp == kDelayTimer) {
                StopTimer(kDelayTimer);
                StartTimer(kRepeatTimer, 100);
            } else if (wp == kRepeatTimer) {
                const P under = skin::HitTestScrollBar(Layout(), lastAlong_);
                if (under != pressed_ && !(pressed_ == P::PageUp || pressed_ == P::PageDown)) {
                    return true;  // the pointer left the arrow: pause
                }
                if (!RepeatStep())
                    StopTimer(kRepeatTimer);
            }
            Invalidate();
            return true;
        case WM_MOUSEMOVE: {
            const int along = Along(lp);
            lastAlong_ = along;
            if (pressed_ == P::Thumb) {
                const int pos =
                    skin::ScrollPosFromDrag(Layout(), info_, pressPos_, along - pressAlong_);
                if (pos != info_.trackPos) {
                    info_.trackPos = pos;
                    Invalidate();
                    Send(SB_THUMBTRACK, pos);
                }
                return true;
            }
            if (pressed_ == P::None) {
                if (!trackingLeave_) {
                    TRACKMOUSEEVENT t{sizeof(t), TME_LEAVE, hwnd_, 0};
                    trackingLeave_ = TrackMouseEvent(&t) != 0;
                }
                const P under = skin::HitTestScrollBar(Layout(), along);
                if (under != hot_) {
                    hot_ = under;
                    Invalidate();
                }
            }
            return true;
        }
        case WM_MOUSELEAVE:
            trackingLeave_ = false;
            hot_ = P::None;
            Invalidate();
            return true;
        case WM_LBUTTONUP:
        case WM_CAPTURECHANGED: {
            if (pressed_ == P::None)
                return msg == WM_LBUTTONUP;
            const P was = pressed_;
            pressed_ = P::None;
            StopTimer(kDelayTimer);
            StopTimer(kRepeatTimer);
            if (GetCapture() == hwnd_)
                ReleaseCapture();
            if (was == P::Thumb) {
                const int pos = info_.trackPos >= 0 ? info_.trackPos : info_.pos;
                info_.trackPos = -1;
                Send(SB_THUMBPOSITION, pos);
            }
            Invalidate();
            return true;
        }
        default:
            return false;
    }
}

// ---- frame ------------------------------------------------------------------------------------

CSkinScrollWnd::~CSkinScrollWnd() = default;

void CSkinScrollWnd::SyncBars() {
    if (!wrapped_)
        return;
    const LONG_PTR style = GetWindowLongPtrW(wrapped_, GWL_STYLE);
    if (style & WS_VSCROLL) {
        const skin::ScrollInfo v = ReadInfo(wrapped_, SB_VERT);
        if (!SameInfo(v, vbar_.info()))
            vbar_.SetInfo(v);
    }
    if (style & WS_HSCROLL) {
        const skin::ScrollInfo h = ReadInfo(wrapped_, SB_HORZ);
        if (!SameInfo(h, hbar_.info()))
            hbar_.SetInfo(h);
    }
}

void CSkinScrollWnd::LayOut() {
    const RECT rc = ClientRect();
    const LONG_PTR style = wrapped_ ? GetWindowLongPtrW(wrapped_, GWL_STYLE) : 0;
    const bool v = (style & WS_VSCROLL) != 0;
    const bool h = (style & WS_HSCROLL) != 0;
    const bool left = (GetWindowLongPtrW(wrapped_, GWL_EXSTYLE) & WS_EX_LEFTSCROLLBAR) != 0;
    const int s = cell_;
    const int limitW = rc.right - (v ? s : 0);
    const int limitH = rc.bottom - (h ? s : 0);
    const int limitX = (v && left) ? s : 0;
    MoveWindow(limit_, limitX, 0, limitW, limitH, TRUE);
    // The wrapped window keeps its own bars, pushed out of the clipping window.
    MoveWindow(wrapped_, 0, 0, limitW + (v ? GetSystemMetrics(SM_CXVSCROLL) : 0),
               limitH + (h ? GetSystemMetrics(SM_CYHSCROLL) : 0), TRUE);
    MoveWindow(vbar_.hwnd(), left ? 0 : rc.right - s, 0, s, limitH, TRUE);
    MoveWindow(hbar_.hwnd(), limitX, rc.bottom - s, limitW, s, TRUE);
    ShowWindow(vbar_.hwnd(), v ? SW_SHOW : SW_HIDE);
    ShowWindow(hbar_.hwnd(), h ? SW_SHOW : SW_HIDE);
    Invalidate();
}

void CSkinScrollWnd::Detach() {
    if (!wrapped_)
        return;
    const HWND w = std::exchange(wrapped_, nullptr);
    SetWindowLongPtrW(w, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(wrappedProc_));
    RemovePropW(w, kFrameProp);
}

LRESULT CALLBACK CSkinScrollWnd::WrappedProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    auto* frame = static_cast<CSkinScrollWnd*>(GetPropW(hwnd, kFrameProp));
    if (frame == nullptr)
        return DefWindowProcW(hwnd, msg, wp, lp);
    const WNDPROC proc = frame->wrappedProc_;
    if (msg == WM_NCDESTROY) {
        // Back to its own procedure and its old parent; the frame goes.
        RECT r{};
        GetWindowRect(frame->hwnd(), &r);
        MapWindowPoints(nullptr, frame->oldParent_, reinterpret_cast<POINT*>(&r), 2);
        frame->Detach();
        SetParent(hwnd, frame->oldParent_);
        MoveWindow(hwnd, r.left, r.top, r.right - r.left, r.bottom - r.top, FALSE);
        frame->Destroy();
        return CallWindowProcW(proc, hwnd, msg, wp, lp);
    }
    const LRESULT result = CallWindowProcW(proc, hwnd, msg, wp, lp);
    switch (msg) {
        case WM_ERASEBKGND:
        case WM_VSCROLL:
        case WM_HSCROLL:
        case LB_ADDSTRING:
        case LB_INSERTSTRING:
        case LB_DELETESTRING:
        case LB_RESETCONTENT:
        case LB_SETTOPINDEX:
        case LB_SETCURSEL:
        case WM_SIZE:
            if (!frame->forwarding_)
                frame->SyncBars();
            break;
        case WM_STYLECHANGED:
            frame->LayOut();
            break;
        default:
            break;
    }
    return result;
}

bool CSkinScrollWnd::OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
    switch (msg) {
        case WM_TIMER:
            if (wp == kSyncTimer)
                SyncBars();
            return true;
        case WM_VSCROLL:
        case WM_HSCROLL: {
            if (!wrapped_)
                return true;
            forwarding_ = true;
            SendMessageW(wrapped_, msg, wp, 0);
            forwarding_ = false;
            if (LOWORD(wp) != SB_THUMBTRACK)
                SyncBars();
            return true;
        }
        case kMsgScrollLayout:
            LayOut();
            return true;
        case WM_PAINT: {
            PaintDc paint(hwnd_);
            if (IsWindowVisible(vbar_.hwnd()) && IsWindowVisible(hbar_.hwnd()) && skin_) {
                const RECT rc = ClientRect();
                const bool left =
                    wrapped_ && (GetWindowLongPtrW(wrapped_, GWL_EXSTYLE) & WS_EX_LEFTSCROLLBAR);
                MemoryDc cells(paint.get());
                SelectGuard sel(cells.get(), skin_);
                BitBlt(paint.get(), left ? 0 : rc.right - cell_, rc.bottom - cell_, cell_, cell_,
                       cells.get(), 8 * cell_, left ? cell_ : 0, SRCCOPY);
            }
            return true;
        }
        case WM_ERASEBKGND:
            result = 1;
            return true;
        default:
            (void)lp;
            return false;
    }
}

CSkinScrollWnd* SkinWndScroll(HWND window, HBITMAP skin) {
    if (!window || GetPropW(window, kFrameProp))
        return nullptr;
    RegisterScrollClass();
    BITMAP bm{};
    const int s = (skin && GetObjectW(skin, sizeof(bm), &bm)) ? bm.bmWidth / 9 : 18;
    const HWND parent = GetParent(window);
    RECT r{};
    GetWindowRect(window, &r);
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
    const LONG_PTR style = GetWindowLongPtrW(window, GWL_STYLE);
    const LONG_PTR ex = GetWindowLongPtrW(window, GWL_EXSTYLE);
    auto* frame = new CSkinScrollWnd();
    frame->cell_ = s;
    frame->skin_ = skin;
    const DWORD frameStyle = WS_CHILD | WS_CLIPCHILDREN | (style & (WS_VISIBLE | WS_BORDER));
    if (!frame->Create(kScrollClass, L"", frameStyle, static_cast<DWORD>(ex & WS_EX_CLIENTEDGE), r,
                       parent, static_cast<UINT_PTR>(GetDlgCtrlID(window)))) {
        delete frame;
        return nullptr;
    }
    SetWindowLongPtrW(window, GWL_STYLE, style & ~WS_BORDER);
    SetWindowLongPtrW(window, GWL_EXSTYLE, ex & ~WS_EX_CLIENTEDGE);
    frame->limit_ = CreateWindowExW(0, L"STATIC", L"LIMIT", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN,
                                    0, 0, 1, 1, frame->hwnd(), reinterpret_cast<HMENU>(200),
                                    GetModuleHandleW(nullptr), nullptr);
    frame->hbar_.Create(frame->hwnd(), RECT{0, 0, 1, s}, 100, false, skin);
    frame->vbar_.Create(frame->hwnd(), RECT{0, 0, s, 1}, 101, true, skin);
    frame->wrapped_ = window;
    frame->oldParent_ = parent;
    SetParent(window, frame->limit_);
    SetPropW(window, kFrameProp, frame);
    frame->wrappedProc_ = reinterpret_cast<WNDPROC>(SetWindowLongPtrW(
        window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(CSkinScrollWnd::WrappedProc)));
    SetWindowPos(window, nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_FRAMECHANGED);
    frame->StartTimer(kSyncTimer, 500);
    SendMessageW(frame->hwnd(), kMsgScrollLayout, (style & WS_VSCROLL) != 0,
                 (ex & WS_EX_LEFTSCROLLBAR) != 0);
    frame->SyncBars();
    return frame;
}

}  // namespace q350::ui
