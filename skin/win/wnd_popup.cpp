#include "skin/win/wnd_popup.h"

#include <windowsx.h>

#include "skin/looks.h"
#include "skin/win/images.h"
#include "skin/win/skin_ids.h"

namespace q350::ui {

namespace {

constexpr wchar_t kPopupClass[] = L"Q350Popup";

// A 32-bit top-down picture in its own memory context.
struct Layer {
    MemoryDc dc;
    Bitmap bitmap;
    std::uint32_t* bits = nullptr;
    HGDIOBJ old = nullptr;
    Layer(HDC compatible, int w, int h) : dc(compatible) {
        const BITMAPINFO bi = PixelInfo(w, h, 32, RowOrder::TopDown);
        void* p = nullptr;
        bitmap.Reset(CreateDIBSection(dc.get(), &bi, DIB_RGB_COLORS, &p, nullptr, 0));
        bits = static_cast<std::uint32_t*>(p);
        if (bitmap)
            old = SelectObject(dc.get(), bitmap.get());
        SetBkMode(dc.get(), TRANSPARENT);
    }
    ~Layer() {
        if (old)
            SelectObject(dc.get(), old);
    }
};

}  // namespace

CWndPopup::CWndPopup() {
    // Without smoothing: the text is drawn onto the magenta key colour, and smoothed edges
    // would keep a magenta fringe once the key is cut away.
    font_.Reset(
        MakeFont(12, FW_DONTCARE, L"Arial", 134, DEFAULT_PITCH | FF_SWISS, NONANTIALIASED_QUALITY));
}

bool CWndPopup::LoadFrameImage() {
    if (!LoadPngResource(L"PNG", IDR_PNG_POPUP_FRAME, frame_))
        return false;
    frameW_ = static_cast<int>(frame_->GetWidth());
    frameH_ = static_cast<int>(frame_->GetHeight());
    return true;
}

bool CWndPopup::Create(HWND parent, const RECT& rect) {
    RegisterWindowClass(kPopupClass, CS_DBLCLKS, LoadCursorW(nullptr, IDC_ARROW), nullptr);
    showPos_ = {rect.left, rect.top};
    notifyMessage_ = kMsgMenuChoice;
    return Window::Create(kPopupClass, L"", WS_POPUP, WS_EX_TOPMOST | WS_EX_TOOLWINDOW, rect,
                          parent, 0);
}

void CWndPopup::DrawContent(HDC, const RECT&) {}
void CWndPopup::DrawImages(HDC, const RECT&) {}
bool CWndPopup::OnHover(int, int) {
    return false;
}
bool CWndPopup::OnPress(int, int) {
    return false;
}
bool CWndPopup::OnRelease(int, int) {
    return false;
}

void CWndPopup::Render() {
    if (!hwnd_)
        return;
    const RECT rc = ClientRect();
    const int w = rc.right;
    const int h = rc.bottom;
    if (w <= 0 || h <= 0)
        return;
    WindowDc windowDc(hwnd_);
    Layer a(windowDc.get(), w, h);
    Layer b(windowDc.get(), w, h);
    if (!a.bits || !b.bits)
        return;
    if (frame_) {
        Gdiplus::Graphics g(a.dc.get());
        DrawNineSlice(g, *frame_, rc, frameW_, frameH_);
    } else {
        Brush border(CreateSolidBrush(RGB(0, 147, 209)));
        FillRect(a.dc.get(), &rc, border.get());
        RECT inner{1, 1, w - 1, h - 1};
        FillRect(a.dc.get(), &inner, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    }
    Brush magenta(CreateSolidBrush(RGB(255, 0, 255)));
    FillRect(b.dc.get(), &rc, magenta.get());
    DrawContent(b.dc.get(), rc);
    GdiFlush();
    for (int i = 0; i < w * h; ++i) {
        std::uint32_t& px = b.bits[i];
        const std::uint32_t rgb = px & 0xFFFFFF;
        if (rgb == 0xFF00FF) {
            px = 0;
        } else {
            if (rgb == 0)
                px |= 1;  // keep black text out of the colour key
            px |= 0xFF000000u;
        }
    }
    BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    AlphaBlend(a.dc.get(), 0, 0, w, h, b.dc.get(), 0, 0, w, h, blend);
    DrawImages(a.dc.get(), rc);
    GdiFlush();
    for (int i = 0; i < w * h; ++i) {
        if ((a.bits[i] & 0xFFFFFF) == 0)
            a.bits[i] |= 1;
    }
    POINT dest{0, 0};
    ClientToScreen(hwnd_, &dest);
    SetWindowLongPtrW(hwnd_, GWL_EXSTYLE, GetWindowLongPtrW(hwnd_, GWL_EXSTYLE) | WS_EX_LAYERED);
    SIZE size{w, h};
    POINT src{0, 0};
    UpdateLayeredWindow(hwnd_, windowDc.get(), &dest, &size, a.dc.get(), &src, RGB(0, 0, 0), &blend,
                        frame_ ? ULW_ALPHA : ULW_COLORKEY);
}

void CWndPopup::HoverAtCursor() {
    POINT p{};
    GetCursorPos(&p);
    ScreenToClient(hwnd_, &p);
    if (OnHover(p.x, p.y))
        Render();
}

bool CWndPopup::OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
    switch (msg) {
        case WM_CREATE: {
            LONG_PTR style = GetWindowLongPtrW(hwnd_, GWL_STYLE);
            style = (style & ~WS_CAPTION) | 0x060C0000;
            SetWindowLongPtrW(hwnd_, GWL_STYLE, style);
            SetWindowLongPtrW(hwnd_, GWL_EXSTYLE, WS_EX_TOOLWINDOW);
            SetWindowPos(hwnd_, nullptr, 0, 0, 0, 0,
                         SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_FRAMECHANGED);
            OnInitItems();
            Render();
            SetWindowPos(hwnd_, nullptr, showPos_.x, showPos_.y, 0, 0,
                         SWP_NOSIZE | SWP_NOZORDER | SWP_SHOWWINDOW);
            result = 0;
            return true;
        }
        case WM_NCCALCSIZE:
            result = 0;
            return true;  // the client area is the whole window
        case WM_NCHITTEST:
            result = HTCLIENT;
            return true;
        case WM_ERASEBKGND:
            result = 1;
            return true;
        case WM_MOUSEMOVE:
            if (!hoverRequested_) {
                TRACKMOUSEEVENT t{sizeof(t), TME_HOVER | TME_LEAVE, hwnd_, 50};
                hoverRequested_ = TrackMouseEvent(&t) != 0;
            }
            if (!leftDown_ && OnHover(GET_X_LPARAM(lp), GET_Y_LPARAM(lp)))
                Render();
            return true;
        case WM_MOUSEHOVER:
            HoverAtCursor();
            return true;
        case WM_MOUSELEAVE:
            hoverRequested_ = false;
            if (!leftDown_)
                HoverAtCursor();
            return true;
        case WM_LBUTTONDOWN:
            leftDown_ = true;
            SetCapture(hwnd_);
            captured_ = true;
            if (OnPress(GET_X_LPARAM(lp), GET_Y_LPARAM(lp))) {
                Render();
                return true;
            }
            return false;
        case WM_LBUTTONUP: {
            if (captured_) {
                captured_ = false;
                ReleaseCapture();
            }
            leftDown_ = false;
            const HWND self = hwnd_;
            const bool changed = OnRelease(GET_X_LPARAM(lp), GET_Y_LPARAM(lp));
            if (!IsWindow(self))
                return true;  // the owner destroyed the popup (and this object)
            if (changed)
                Render();
            return false;
        }
        case WM_NCACTIVATE:
            if (wp == 0)
                PostMessageW(hwnd_, WM_CLOSE, 0, 0);
            result = TRUE;
            return true;
        case WM_CLOSE:
            if (const HWND owner = GetWindow(hwnd_, GW_OWNER)) {
                SendMessageW(owner, notifyMessage_, 0, 0);
            }
            return false;
        default:
            return false;
    }
}

// ---- CMenuEx ----------------------------------------------------------------------------------

int CMenuEx::AppendItem(const std::wstring& text, int pngId, int command) {
    Item item;
    item.command = command;
    item.text = text;
    if (LoadPngResource(L"PNG", static_cast<WORD>(pngId), item.icon) && item.icon &&
        item.icon->GetLastStatus() == Gdiplus::Ok) {
        item.iconW = static_cast<int>(item.icon->GetWidth());
        item.iconH = static_cast<int>(item.icon->GetHeight());
    } else {
        item.icon.reset();
    }
    items_.push_back(std::move(item));
    Layout();
    return static_cast<int>(items_.size());
}

void CMenuEx::Layout() {
    for (std::size_t i = 0; i < items_.size(); ++i) {
        items_[i].rect = skin::MenuItemRect(static_cast<int>(i));
    }
    if (hwnd_) {
        SetWindowPos(hwnd_, nullptr, 0, 0, skin::kMenuWidth,
                     skin::MenuHeight(static_cast<int>(items_.size())),
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

void CMenuEx::DrawContent(HDC dc, const RECT&) {
    const HGDIOBJ oldFont = SelectObject(dc, font_.get());
    const COLORREF oldColour = SetTextColor(dc, skin::kMenuText);
    for (int i = 0; i < static_cast<int>(items_.size()); ++i) {
        const Item& item = items_[i];
        const RECT r{item.rect.left, item.rect.top, item.rect.right, item.rect.bottom};
        const skin::Rect t = skin::MenuItemTextRect(item.rect);
        RECT tr{t.left, t.top, t.right, t.bottom};
        if (i == hot_) {
            SetTextColor(dc, skin::kMenuHotText);
            Brush fill(CreateSolidBrush(skin::kMenuHotFill));
            FillRect(dc, &r, fill.get());
        }
        DrawTextW(dc, item.text.c_str(), static_cast<int>(item.text.size()), &tr,
                  DT_SINGLELINE | DT_VCENTER | DT_WORD_ELLIPSIS);
        if (i == hot_)
            SetTextColor(dc, skin::kMenuText);
    }
    SetTextColor(dc, oldColour);
    SelectObject(dc, oldFont);
}

void CMenuEx::DrawImages(HDC dc, const RECT&) {
    Gdiplus::Graphics g(dc);
    for (const Item& item : items_) {
        if (!item.icon)
            continue;
        const skin::Box b = skin::MenuIconBox(item.rect, item.iconW, item.iconH);
        g.DrawImage(item.icon.get(), b.x, b.y, b.width, b.height);
    }
}

bool CMenuEx::OnHover(int x, int y) {
    bool changed = false;
    if (hot_ >= 0) {
        if (items_[hot_].rect.Contains(x, y))
            return false;
        hot_ = -1;
        changed = true;
    }
    for (int i = 0; i < static_cast<int>(items_.size()); ++i) {
        if (items_[i].rect.Contains(x, y)) {
            hot_ = i;
            return true;
        }
    }
    return changed;
}

bool CMenuEx::OnRelease(int x, int y) {
    if (hot_ < 0)
        return false;
    if (!items_[hot_].rect.Contains(x, y)) {
        hot_ = -1;
        return true;
    }
    if (const HWND owner = GetWindow(hwnd_, GW_OWNER)) {
        SendMessageW(owner, notifyMessage_, 0, items_[hot_].command);
    }
    return false;
}

void CMenuExA::OnInitItems() {
    for (const skin::LanguageMenuEntry& e : skin::kLanguageMenu) {
        AppendItem(std::wstring(e.text, e.text + std::char_traits<char16_t>::length(e.text)),
                   e.iconResource, e.index);
    }
}

}  // namespace q350::ui
