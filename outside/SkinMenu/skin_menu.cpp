#include "outside/SkinMenu/skin_menu.h"

#include <windowsx.h>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <memory>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

#include "skin/win/framework/gdi.h"

// One menu is open at a time, on one thread. The menu is a chain of popups: the top level first,
// then each open sub-menu, every popup owned by the one before it, so destroying a popup takes the
// deeper ones with it. Each popup object belongs to its window and is deleted with it; the chain
// holds only window handles and is cut back whenever one of its windows goes.
//
// While a menu is open, a low-level mouse hook closes it at a button press anywhere outside it, and
// a keyboard hook of the owner's thread lets the arrow keys, Enter and Escape drive it.

namespace q350::skinmenu {
namespace {

using ui::Bitmap;
using ui::Brush;
using ui::Font;
using ui::MemoryDc;
using ui::PaintDc;
using ui::Pen;
using ui::SelectGuard;
using ui::WindowDc;

constexpr UINT kCloseMessage = WM_APP + 2;
constexpr UINT_PTR kSubMenuTimer = 1;
constexpr UINT_PTR kOwnerTimer = 2;
constexpr UINT kSubMenuDelayMs = 200;  // the pointer rests this long on a row before it opens
constexpr UINT kOwnerCheckMs = 250;
constexpr int kDefaultItemHeight = 24;
constexpr int kTextLeft = 10;
constexpr int kTextRight = 10;
constexpr int kArrowRoom = 14;  // beside the text, in popups with a sub-menu row
constexpr int kMinWidth = 80;
constexpr int kMinColumnWidth = 24;
constexpr int kMaxDepth = 8;  // the top level and seven sub-menu levels
// A row picture keeps its left edge and its right end (where the sub-menu arrow is) 1:1 and
// stretches the part between them.
constexpr int kSliceLeft = 4;
constexpr int kSliceRight = 16;
// The plain look of rows whose picture is missing.
constexpr COLORREF kPlainFill = RGB(32, 36, 42);
constexpr COLORREF kPlainEdge = RGB(52, 60, 70);

HINSTANCE g_module = nullptr;

enum Look { kNormal = 0, kOver = 1, kDown = 2, kDisabled = 3 };

struct Picture {
    Bitmap bitmap;
    SIZE size{};
};

struct Item {
    int parent = 0;
    int command = 0;
    std::wstring text;
    bool hasSub = false;
};

// What one CreateMenuEx call set up, shared by the popups of that menu.
struct Menu {
    HWND owner = nullptr;
    int itemHeight = kDefaultItemHeight;
    COLORREF text = 0;
    COLORREF hoverText = 0;
    COLORREF accent = 0;
    Picture pictures[2][4];  // [row has a sub-menu][look]
    Font font;
    std::vector<Item> items;

    // Indices of the items that hang under `parent`, in the caller's order.
    std::vector<int> RowsUnder(int parent) const {
        std::vector<int> rows;
        for (int i = 0; i < static_cast<int>(items.size()); ++i) {
            if (items[i].parent == parent)
                rows.push_back(i);
        }
        return rows;
    }
};

// The text of a record: up to the terminator, never more than 39 characters, never read past
// the field.
std::wstring RecordText(const MenuItem& record) {
    std::size_t n = 0;
    while (n < static_cast<std::size_t>(kTextChars - 1) && record.text[n] != u'\0')
        ++n;
    std::wstring text;
    text.reserve(n);
    for (std::size_t i = 0; i < n; ++i)
        text.push_back(static_cast<wchar_t>(record.text[i]));
    return text;
}

void LoadPicture(const wchar_t* path, Picture& picture) {
    if (path == nullptr || path[0] == L'\0')
        return;
    picture.bitmap.Reset(static_cast<HBITMAP>(
        LoadImageW(nullptr, path, IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE | LR_CREATEDIBSECTION)));
    BITMAP bm{};
    if (!picture.bitmap || GetObjectW(picture.bitmap.get(), sizeof(bm), &bm) == 0 ||
        bm.bmWidth <= 0 || bm.bmHeight <= 0) {
        picture.bitmap.Reset();
        return;
    }
    picture.size = {bm.bmWidth, bm.bmHeight};
}

RECT WorkAreaAt(POINT p) {
    MONITORINFO info{};
    info.cbSize = sizeof(info);
    if (GetMonitorInfoW(MonitorFromPoint(p, MONITOR_DEFAULTTONEAREST), &info))
        return info.rcWork;
    RECT work{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    return work;
}

// Where a popup goes: under a point (the top level) or beside a row of its parent popup.
struct Placement {
    POINT at{};
    bool beside = false;
    RECT parentRow{};  // screen coordinates, when beside
};

class Popup;

struct Unhook {
    void operator()(HHOOK hook) const { UnhookWindowsHookEx(hook); }
};
using Hook = std::unique_ptr<std::remove_pointer_t<HHOOK>, Unhook>;

struct Session {
    std::shared_ptr<const Menu> menu;
    std::vector<HWND> chain;
    Hook mouseHook;
    Hook keyHook;
};

Session g_session;
std::atomic<DWORD> g_menuThread{0};

Popup* PopupAt(std::size_t level);
void CloseFrom(std::size_t level);
void CloseMenu();
void Choose(int command);
void PointerIn(int level);
bool OpenSubMenu(Popup& parent, int row);

class Popup {
public:
    Popup(std::shared_ptr<const Menu> menu, std::vector<int> rows, int level)
        : menu_(std::move(menu)), rows_(std::move(rows)), level_(level) {}
    Popup(const Popup&) = delete;
    Popup& operator=(const Popup&) = delete;

    static Popup* FromHandle(HWND hwnd) {
        return hwnd ? reinterpret_cast<Popup*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA)) : nullptr;
    }
    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);

    // Fits the popup to its texts and the work area; returns its screen rectangle.
    RECT Layout(const Placement& where);
    bool CreateWindowAt(HWND windowOwner, const RECT& bounds);
    void TakenByWindow() { ownedByWindow_ = true; }

    HWND hwnd() const { return hwnd_; }
    int level() const { return level_; }
    int hot() const { return hot_; }
    int rowCount() const { return static_cast<int>(rows_.size()); }
    const Item& item(int row) const { return menu_->items[rows_[row]]; }
    bool RowEnabled(int row) const { return !item(row).text.empty(); }
    bool RowHasSub(int row) const {
        return item(row).hasSub && RowEnabled(row) && level_ + 1 < kMaxDepth;
    }
    RECT RowRect(int row) const;

    // Moves the highlight to the next enabled row in a direction (+1 down, -1 up), wrapping.
    void MoveHot(int direction);
    // The pointer is in a deeper popup: the row whose sub-menu that is stays highlighted.
    void KeepOpenRow();
    void SubMenuOpened(int row);
    void SubMenuClosed();
    void StartOwnerWatch() { SetTimer(hwnd_, kOwnerTimer, kOwnerCheckMs, nullptr); }

private:
    bool Handle(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result);
    int RowAt(POINT client) const;
    Look LookOf(int row) const;
    void Invalidate() const { InvalidateRect(hwnd_, nullptr, FALSE); }
    void Paint(HDC target) const;
    void DrawRows(HDC dc) const;
    void DrawPicture(HDC dc, const RECT& r, const Picture& picture) const;
    void DrawPlain(HDC dc, const RECT& r, Look look, bool sub) const;
    void OnPointer(POINT p, WPARAM keys);
    void OnLeave();
    void OnRelease(POINT p);
    void OnSubMenuTimer();
    bool AnyRowHasSub() const;

    std::shared_ptr<const Menu> menu_;
    std::vector<int> rows_;
    int level_;
    HWND hwnd_ = nullptr;
    bool ownedByWindow_ = false;
    int rowsPerColumn_ = 1;
    int columnWidth_ = kMinWidth;
    int hot_ = -1;      // row under the pointer or chosen by the keys
    int pressed_ = -1;  // row under the pressed left button
    int openRow_ = -1;  // row whose sub-menu is open
    int pending_ = -1;  // row whose sub-menu opens (or, for -1, the open one closes) at the timer
    bool tracking_ = false;
};

bool Popup::AnyRowHasSub() const {
    for (int r = 0; r < rowCount(); ++r) {
        if (RowHasSub(r))
            return true;
    }
    return false;
}

RECT Popup::Layout(const Placement& where) {
    const RECT work = WorkAreaAt(where.at);
    const int itemHeight = menu_->itemHeight;
    const int n = rowCount();
    const int workW = std::max(1, static_cast<int>(work.right - work.left));
    const int workH = std::max(1, static_cast<int>(work.bottom - work.top));
    // A menu taller than the work area continues in further columns.
    rowsPerColumn_ = std::clamp(workH / itemHeight, 1, std::max(1, n));
    const int columns = (n + rowsPerColumn_ - 1) / rowsPerColumn_;

    int widest = 0;
    {
        WindowDc screen(nullptr);
        SelectGuard font(screen.get(), menu_->font.get());
        for (int r = 0; r < n; ++r) {
            const std::wstring& text = item(r).text;
            SIZE size{};
            if (!text.empty() && GetTextExtentPoint32W(screen.get(), text.c_str(),
                                                       static_cast<int>(text.size()), &size)) {
                widest = std::max(widest, static_cast<int>(size.cx));
            }
        }
    }
    columnWidth_ =
        std::max(kMinWidth, kTextLeft + widest + kTextRight + (AnyRowHasSub() ? kArrowRoom : 0));
    columnWidth_ = std::max(kMinColumnWidth, std::min(columnWidth_, workW / columns));
    const int w = columns * columnWidth_;
    const int h = rowsPerColumn_ * itemHeight;

    int x = 0;
    int y = 0;
    if (!where.beside) {
        // Under the point; moved left at the right edge, above the point at the bottom edge.
        x = std::min(static_cast<int>(where.at.x), static_cast<int>(work.right) - w);
        y = where.at.y;
        if (y + h > work.bottom)
            y = (y - h >= work.top) ? y - h : static_cast<int>(work.bottom) - h;
    } else {
        // Right of the parent row; on its left side when there is no room on the right.
        x = where.parentRow.right;
        if (x + w > work.right) {
            x = where.parentRow.left - w;
            if (x < work.left)
                x = work.right - w;
        }
        y = std::min(static_cast<int>(where.parentRow.top), static_cast<int>(work.bottom) - h);
    }
    x = std::max(x, static_cast<int>(work.left));
    y = std::max(y, static_cast<int>(work.top));
    return RECT{x, y, x + w, y + h};
}

bool Popup::CreateWindowAt(HWND windowOwner, const RECT& bounds) {
    const HWND hwnd =
        CreateWindowExW(WS_EX_TOPMOST | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE, kPopupClass, L"",
                        WS_POPUP, bounds.left, bounds.top, bounds.right - bounds.left,
                        bounds.bottom - bounds.top, windowOwner, nullptr, g_module, this);
    return hwnd != nullptr;
}

RECT Popup::RowRect(int row) const {
    const int column = row / rowsPerColumn_;
    const int line = row % rowsPerColumn_;
    const int h = menu_->itemHeight;
    return RECT{column * columnWidth_, line * h, (column + 1) * columnWidth_, (line + 1) * h};
}

int Popup::RowAt(POINT p) const {
    if (p.x < 0 || p.y < 0 || columnWidth_ <= 0)
        return -1;
    const int column = p.x / columnWidth_;
    const int line = p.y / menu_->itemHeight;
    if (line >= rowsPerColumn_)
        return -1;
    const int row = column * rowsPerColumn_ + line;
    if (row >= rowCount() || !RowEnabled(row))
        return -1;
    return row;
}

Look Popup::LookOf(int row) const {
    if (!RowEnabled(row))
        return kDisabled;
    if (row == pressed_)
        return kDown;
    if (row == hot_ || row == openRow_)
        return kOver;
    return kNormal;
}

void Popup::Paint(HDC target) const {
    RECT client{};
    GetClientRect(hwnd_, &client);
    const int w = client.right;
    const int h = client.bottom;
    if (w <= 0 || h <= 0)
        return;
    MemoryDc buffer(target);
    Bitmap canvas(CreateCompatibleBitmap(target, w, h));
    if (!buffer || !canvas) {
        DrawRows(target);
        return;
    }
    {
        SelectGuard keep(buffer.get(), canvas.get());
        DrawRows(buffer.get());
        BitBlt(target, 0, 0, w, h, buffer.get(), 0, 0, SRCCOPY);
    }
}

void Popup::DrawRows(HDC dc) const {
    RECT client{};
    GetClientRect(hwnd_, &client);
    {
        Brush fill(CreateSolidBrush(kPlainFill));
        FillRect(dc, &client, fill.get());
    }
    SetBkMode(dc, TRANSPARENT);
    SelectGuard font(dc, menu_->font.get());
    const int arrowRoom = AnyRowHasSub() ? kArrowRoom : 0;
    for (int row = 0; row < rowCount(); ++row) {
        const RECT r = RowRect(row);
        const Look look = LookOf(row);
        const bool sub = RowHasSub(row);
        const Picture& picture = menu_->pictures[sub ? 1 : 0][look];
        if (picture.bitmap) {
            DrawPicture(dc, r, picture);
        } else {
            DrawPlain(dc, r, look, sub);
        }
        const std::wstring& text = item(row).text;
        if (text.empty())
            continue;
        SetTextColor(dc, look == kNormal ? menu_->text : menu_->hoverText);
        RECT textRect{r.left + kTextLeft, r.top, r.right - kTextRight - arrowRoom, r.bottom};
        DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &textRect,
                  DT_SINGLELINE | DT_VCENTER | DT_LEFT | DT_NOPREFIX | DT_END_ELLIPSIS);
    }
}

void Popup::DrawPicture(HDC dc, const RECT& r, const Picture& picture) const {
    MemoryDc source(dc);
    if (!source)
        return;
    SelectGuard keep(source.get(), picture.bitmap.get());
    SetStretchBltMode(dc, COLORONCOLOR);
    const int pw = picture.size.cx;
    const int ph = picture.size.cy;
    const int dw = r.right - r.left;
    const int dh = r.bottom - r.top;
    const HDC src = source.get();
    if (pw > kSliceLeft + kSliceRight && dw > kSliceLeft + kSliceRight) {
        StretchBlt(dc, r.left, r.top, kSliceLeft, dh, src, 0, 0, kSliceLeft, ph, SRCCOPY);
        StretchBlt(dc, r.left + kSliceLeft, r.top, dw - kSliceLeft - kSliceRight, dh, src,
                   kSliceLeft, 0, pw - kSliceLeft - kSliceRight, ph, SRCCOPY);
        StretchBlt(dc, r.right - kSliceRight, r.top, kSliceRight, dh, src, pw - kSliceRight, 0,
                   kSliceRight, ph, SRCCOPY);
    } else {
        StretchBlt(dc, r.left, r.top, dw, dh, src, 0, 0, pw, ph, SRCCOPY);
    }
}

void Popup::DrawPlain(HDC dc, const RECT& r, Look look, bool sub) const {
    const bool lit = look == kOver || look == kDown;
    {
        Brush fill(CreateSolidBrush(lit ? menu_->accent : kPlainFill));
        FillRect(dc, &r, fill.get());
        Brush edge(CreateSolidBrush(kPlainEdge));
        const RECT line{r.left, r.bottom - 1, r.right, r.bottom};
        FillRect(dc, &line, edge.get());
    }
    if (!sub)
        return;
    const COLORREF colour = lit ? menu_->hoverText : menu_->text;
    Brush brush(CreateSolidBrush(colour));
    Pen pen(CreatePen(PS_SOLID, 1, colour));
    SelectGuard useBrush(dc, brush.get());
    SelectGuard usePen(dc, pen.get());
    const int cy = (r.top + r.bottom) / 2;
    const POINT arrow[3] = {{r.right - 12, cy - 4}, {r.right - 8, cy}, {r.right - 12, cy + 4}};
    Polygon(dc, arrow, 3);
}

void Popup::MoveHot(int direction) {
    const int n = rowCount();
    const int start = hot_ >= 0 ? hot_ : (direction > 0 ? -1 : n);
    for (int step = 1; step <= n; ++step) {
        const int row = ((start + direction * step) % n + n) % n;
        if (RowEnabled(row)) {
            hot_ = row;
            pending_ = openRow_;
            KillTimer(hwnd_, kSubMenuTimer);
            Invalidate();
            return;
        }
    }
}

void Popup::KeepOpenRow() {
    KillTimer(hwnd_, kSubMenuTimer);
    pending_ = openRow_;
    if (hot_ != openRow_) {
        hot_ = openRow_;
        Invalidate();
    }
}

void Popup::SubMenuOpened(int row) {
    KillTimer(hwnd_, kSubMenuTimer);
    openRow_ = pending_ = hot_ = row;
    Invalidate();
}

void Popup::SubMenuClosed() {
    if (pending_ == openRow_)
        pending_ = -1;
    openRow_ = -1;
    Invalidate();
}

void Popup::OnPointer(POINT p, WPARAM keys) {
    if (!tracking_) {
        TRACKMOUSEEVENT t{sizeof(t), TME_LEAVE, hwnd_, 0};
        tracking_ = TrackMouseEvent(&t) != 0;
    }
    PointerIn(level_);
    const int row = RowAt(p);
    const int pressed = (keys & MK_LBUTTON) ? row : -1;
    if (row == hot_ && pressed == pressed_)
        return;
    pressed_ = pressed;
    if (row != hot_) {
        hot_ = row;
        pending_ = row;
        if (pending_ == openRow_) {
            KillTimer(hwnd_, kSubMenuTimer);
        } else {
            SetTimer(hwnd_, kSubMenuTimer, kSubMenuDelayMs, nullptr);
        }
    }
    Invalidate();
}

void Popup::OnLeave() {
    tracking_ = false;
    pressed_ = -1;
    // A row with a sub-menu stays highlighted (and still opens) when the pointer leaves; another
    // row loses the highlight and does not close an open sub-menu.
    if (hot_ >= 0 && !RowHasSub(hot_))
        hot_ = openRow_;
    if (pending_ < 0 || !RowHasSub(pending_)) {
        pending_ = openRow_;
        KillTimer(hwnd_, kSubMenuTimer);
    }
    Invalidate();
}

void Popup::OnRelease(POINT p) {
    const int row = RowAt(p);
    pressed_ = -1;
    if (row < 0) {
        Invalidate();
        return;
    }
    if (RowHasSub(row)) {
        hot_ = row;
        if (openRow_ != row) {
            CloseFrom(static_cast<std::size_t>(level_) + 1);
            OpenSubMenu(*this, row);
        }
        Invalidate();
        return;
    }
    Choose(item(row).command);  // this popup is gone now
}

void Popup::OnSubMenuTimer() {
    KillTimer(hwnd_, kSubMenuTimer);
    if (pending_ == openRow_)
        return;
    const int row = pending_;
    CloseFrom(static_cast<std::size_t>(level_) + 1);
    if (row >= 0 && RowHasSub(row))
        OpenSubMenu(*this, row);
    Invalidate();
}

bool Popup::Handle(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
    const POINT p{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
    result = 0;
    switch (msg) {
        case WM_MOUSEACTIVATE:
            result = MA_NOACTIVATE;
            return true;
        case WM_ERASEBKGND:
            result = 1;
            return true;
        case WM_PAINT: {
            PaintDc dc(hwnd_);
            Paint(dc.get());
            return true;
        }
        case WM_PRINTCLIENT:
            Paint(reinterpret_cast<HDC>(wp));
            return true;
        case WM_MOUSEMOVE:
            OnPointer(p, wp);
            return true;
        case WM_MOUSELEAVE:
            OnLeave();
            return true;
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
            pressed_ = RowAt(p);
            Invalidate();
            return true;
        case WM_LBUTTONUP:
            OnRelease(p);
            return true;
        case WM_RBUTTONDOWN:
        case WM_RBUTTONUP:
        case WM_MBUTTONDOWN:
        case WM_MBUTTONUP:
            return true;
        case WM_TIMER:
            if (wp == kSubMenuTimer) {
                OnSubMenuTimer();
            } else if (wp == kOwnerTimer && !IsWindow(menu_->owner)) {
                CloseMenu();
            }
            return true;
        case WM_ACTIVATEAPP:
            // Another program became active: close once this notification is over.
            if (!wp)
                PostMessageW(hwnd_, kCloseMessage, 0, 0);
            return true;
        case kCloseMessage:
            if (std::find(g_session.chain.begin(), g_session.chain.end(), hwnd_) !=
                g_session.chain.end()) {
                CloseMenu();
            }
            return true;
        case kRowTextMessage: {
            const int row = static_cast<int>(wp);
            auto* out = reinterpret_cast<wchar_t*>(lp);
            if (row < 0 || row >= rowCount() || out == nullptr) {
                result = -1;
                return true;
            }
            const std::wstring& text = item(row).text;  // at most kTextChars - 1 characters
            std::memcpy(out, text.c_str(), (text.size() + 1) * sizeof(wchar_t));
            result = static_cast<LRESULT>(text.size());
            return true;
        }
        default:
            return false;
    }
}

void Forget(HWND hwnd);

LRESULT CALLBACK Popup::WindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    Popup* popup = FromHandle(hwnd);
    if (popup == nullptr && msg == WM_NCCREATE) {
        popup = static_cast<Popup*>(reinterpret_cast<CREATESTRUCTW*>(lp)->lpCreateParams);
        if (popup != nullptr) {
            popup->hwnd_ = hwnd;
            SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(popup));
        }
    }
    if (popup == nullptr)
        return DefWindowProcW(hwnd, msg, wp, lp);
    if (msg == WM_NCDESTROY) {
        const LRESULT result = DefWindowProcW(hwnd, msg, wp, lp);
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
        popup->hwnd_ = nullptr;
        try {
            Forget(hwnd);
        } catch (...) {
        }
        if (popup->ownedByWindow_)
            delete popup;
        return result;
    }
    try {
        LRESULT result = 0;
        if (popup->Handle(msg, wp, lp, result))
            return result;
    } catch (...) {
    }
    return DefWindowProcW(hwnd, msg, wp, lp);
}

// ---- the open menu ----------------------------------------------------------------------------

bool RegisterPopupClass() {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    if (GetClassInfoExW(g_module, kPopupClass, &wc))
        return true;
    wc = WNDCLASSEXW{};
    wc.cbSize = sizeof(wc);
    wc.style = CS_DROPSHADOW;
    wc.lpfnWndProc = Popup::WindowProc;
    wc.hInstance = g_module;
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.lpszClassName = kPopupClass;
    return RegisterClassExW(&wc) != 0;
}

Popup* PopupAt(std::size_t level) {
    return level < g_session.chain.size() ? Popup::FromHandle(g_session.chain[level]) : nullptr;
}

void EndSession() {
    g_session.mouseHook.reset();
    g_session.keyHook.reset();
    g_session.menu.reset();
}

// A popup window is gone: the chain ends before it.
void Forget(HWND hwnd) {
    auto& chain = g_session.chain;
    const auto it = std::find(chain.begin(), chain.end(), hwnd);
    if (it == chain.end())
        return;
    const std::size_t level = static_cast<std::size_t>(it - chain.begin());
    chain.resize(level);
    if (level == 0) {
        EndSession();
    } else if (Popup* parent = PopupAt(level - 1)) {
        parent->SubMenuClosed();
    }
}

void CloseFrom(std::size_t level) {
    auto& chain = g_session.chain;
    while (chain.size() > level) {
        const std::size_t before = chain.size();
        if (!DestroyWindow(chain.back()) || chain.size() == before)
            chain.resize(before - 1);  // already gone (or not ours to destroy)
    }
}

void CloseMenu() {
    CloseFrom(0);
    EndSession();
}

void Choose(int command) {
    const HWND owner = g_session.menu ? g_session.menu->owner : nullptr;
    CloseMenu();
    if (owner != nullptr) {
        PostMessageW(owner, kChoiceMessage, 0, static_cast<LPARAM>(command & 0xFFFF));
    }
}

void PointerIn(int level) {
    for (int l = 0; l < level; ++l) {
        if (Popup* p = PopupAt(static_cast<std::size_t>(l)))
            p->KeepOpenRow();
    }
}

Popup* OpenPopup(std::vector<int> rows, int level, HWND windowOwner, const Placement& where) {
    auto popup = std::make_unique<Popup>(g_session.menu, std::move(rows), level);
    const RECT bounds = popup->Layout(where);
    if (!popup->CreateWindowAt(windowOwner, bounds))
        return nullptr;
    Popup* open = popup.release();
    open->TakenByWindow();
    g_session.chain.push_back(open->hwnd());
    SetWindowPos(open->hwnd(), HWND_TOPMOST, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
    return open;
}

bool OpenSubMenu(Popup& parent, int row) {
    if (!g_session.menu || !parent.RowHasSub(row))
        return false;
    const std::size_t level = static_cast<std::size_t>(parent.level()) + 1;
    if (g_session.chain.size() != level || g_session.chain.back() != parent.hwnd())
        return false;
    Placement where;
    where.beside = true;
    where.parentRow = parent.RowRect(row);
    MapWindowPoints(parent.hwnd(), nullptr, reinterpret_cast<POINT*>(&where.parentRow), 2);
    where.at = {where.parentRow.right, where.parentRow.top};
    std::vector<int> rows = g_session.menu->RowsUnder(parent.item(row).command);
    if (rows.empty())
        return false;
    if (OpenPopup(std::move(rows), parent.level() + 1, parent.hwnd(), where) == nullptr)
        return false;
    parent.SubMenuOpened(row);
    return true;
}

bool IsMenuKey(WPARAM vk) {
    switch (vk) {
        case VK_ESCAPE:
        case VK_UP:
        case VK_DOWN:
        case VK_LEFT:
        case VK_RIGHT:
        case VK_RETURN:
        case VK_SPACE:
            return true;
        default:
            return false;
    }
}

// A key press for the open menu; true when it was the menu's.
bool HandleKey(WPARAM vk) {
    auto& chain = g_session.chain;
    if (chain.empty() || !IsMenuKey(vk))
        return false;
    Popup* deepest = PopupAt(chain.size() - 1);
    if (deepest == nullptr)
        return false;
    switch (vk) {
        case VK_ESCAPE:
            if (chain.size() > 1) {
                CloseFrom(chain.size() - 1);
            } else {
                CloseMenu();
            }
            return true;
        case VK_LEFT:
            if (chain.size() > 1)
                CloseFrom(chain.size() - 1);
            return true;
        case VK_UP:
        case VK_DOWN:
            deepest->MoveHot(vk == VK_DOWN ? 1 : -1);
            return true;
        default: {
            const int row = deepest->hot();
            if (row < 0)
                return true;
            if (deepest->RowHasSub(row)) {
                if (OpenSubMenu(*deepest, row)) {
                    if (Popup* sub = PopupAt(chain.size() - 1))
                        sub->MoveHot(1);
                }
            } else if (vk != VK_RIGHT) {
                Choose(deepest->item(row).command);
            }
            return true;
        }
    }
}

bool InMenu(POINT screen) {
    for (const HWND hwnd : g_session.chain) {
        RECT r{};
        if (GetWindowRect(hwnd, &r) && PtInRect(&r, screen))
            return true;
    }
    return false;
}

LRESULT CALLBACK MouseHookProc(int code, WPARAM wp, LPARAM lp) {
    try {
        const bool press = wp == WM_LBUTTONDOWN || wp == WM_RBUTTONDOWN || wp == WM_MBUTTONDOWN ||
                           wp == WM_XBUTTONDOWN;
        if (code == HC_ACTION && press && !g_session.chain.empty()) {
            const auto* info = reinterpret_cast<const MSLLHOOKSTRUCT*>(lp);
            // Posted: the hook must return quickly, and the press still reaches its window.
            if (info != nullptr && !InMenu(info->pt))
                PostMessageW(g_session.chain.front(), kCloseMessage, 0, 0);
        }
    } catch (...) {
    }
    return CallNextHookEx(nullptr, code, wp, lp);
}

LRESULT CALLBACK KeyboardHookProc(int code, WPARAM wp, LPARAM lp) {
    try {
        if (code == HC_ACTION && !g_session.chain.empty()) {
            const bool released = (static_cast<std::uint32_t>(lp) & 0x80000000u) != 0;
            if (!released && HandleKey(wp))
                return 1;
            if (released && IsMenuKey(wp))
                return 1;
        }
    } catch (...) {
    }
    return CallNextHookEx(nullptr, code, wp, lp);
}

// The popups' owner: the top-level window of the owner, unless that is a message-only window.
HWND WindowOwnerFor(HWND owner) {
    const HWND root = GetAncestor(owner, GA_ROOT);
    if (root != nullptr && GetAncestor(root, GA_PARENT) == GetDesktopWindow())
        return root;
    return nullptr;
}

}  // namespace
}  // namespace q350::skinmenu

using namespace q350::skinmenu;

extern "C" {

BOOL __cdecl CreateMenuEx(HWND owner, int itemHeight, POINT topLeft, COLORREF text,
                          COLORREF hoverText, COLORREF accent, const wchar_t* normal,
                          const wchar_t* over, const wchar_t* down, const wchar_t* disabled,
                          const wchar_t* subNormal, const wchar_t* subOver, const wchar_t* subDown,
                          const wchar_t* subDisabled, const MenuItem* items, int count) {
    try {
        if (owner == nullptr || !IsWindow(owner) || items == nullptr || count <= 0)
            return FALSE;
        if (!g_session.chain.empty() && g_menuThread.load() != GetCurrentThreadId())
            return FALSE;  // a menu of another thread is open
        count = std::min(count, kMaxItems);

        auto menu = std::make_shared<Menu>();
        menu->owner = owner;
        menu->itemHeight = (itemHeight >= 8 && itemHeight <= 128) ? itemHeight : kDefaultItemHeight;
        menu->text = text;
        menu->hoverText = hoverText;
        menu->accent = accent;
        menu->items.reserve(static_cast<std::size_t>(count));
        for (int i = 0; i < count; ++i) {
            MenuItem record;
            std::memcpy(&record, &items[i], sizeof(record));
            menu->items.push_back(Item{record.parent, record.command, RecordText(record), false});
        }
        for (Item& candidate : menu->items) {
            if (candidate.command == kTopLevel)
                continue;  // kTopLevel as a parent means the top level
            candidate.hasSub =
                std::any_of(menu->items.begin(), menu->items.end(),
                            [&](const Item& other) { return other.parent == candidate.command; });
        }
        std::vector<int> top = menu->RowsUnder(kTopLevel);
        if (top.empty())
            return FALSE;
        const wchar_t* paths[2][4] = {{normal, over, down, disabled},
                                      {subNormal, subOver, subDown, subDisabled}};
        for (int sub = 0; sub < 2; ++sub) {
            for (int look = 0; look < 4; ++look)
                LoadPicture(paths[sub][look], menu->pictures[sub][look]);
        }
        menu->font.Reset(CreateFontW(14, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                                     OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                                     DEFAULT_PITCH | FF_SWISS, L"Arial"));

        CloseMenu();  // the new menu replaces an open one
        if (!RegisterPopupClass())
            return FALSE;
        g_session.menu = std::move(menu);
        g_menuThread.store(GetCurrentThreadId());
        Placement where;
        where.at = topLeft;
        Popup* root = OpenPopup(std::move(top), 0, WindowOwnerFor(owner), where);
        if (root == nullptr) {
            EndSession();
            return FALSE;
        }
        root->StartOwnerWatch();
        g_session.mouseHook.reset(SetWindowsHookExW(WH_MOUSE_LL, MouseHookProc, g_module, 0));
        g_session.keyHook.reset(
            SetWindowsHookExW(WH_KEYBOARD, KeyboardHookProc, nullptr, GetCurrentThreadId()));
        return TRUE;
    } catch (...) {
        try {
            CloseMenu();
        } catch (...) {
        }
        return FALSE;
    }
}

void __cdecl DestroyMenuEx() {
    try {
        if (g_menuThread.load() == GetCurrentThreadId())
            CloseMenu();
    } catch (...) {
    }
}

BOOL __cdecl DllPreTranslateMessage(MSG* msg) {
    try {
        if (msg == nullptr || g_menuThread.load() != GetCurrentThreadId() ||
            g_session.chain.empty()) {
            return FALSE;
        }
        switch (msg->message) {
            case WM_KEYDOWN:
                return HandleKey(msg->wParam) ? TRUE : FALSE;
            case WM_KEYUP:
                return IsMenuKey(msg->wParam) ? TRUE : FALSE;
            case WM_LBUTTONDOWN:
            case WM_RBUTTONDOWN:
            case WM_MBUTTONDOWN:
            case WM_NCLBUTTONDOWN:
            case WM_NCRBUTTONDOWN:
            case WM_NCMBUTTONDOWN:
                if (std::find(g_session.chain.begin(), g_session.chain.end(), msg->hwnd) ==
                    g_session.chain.end()) {
                    CloseMenu();
                }
                return FALSE;
            default:
                return FALSE;
        }
    } catch (...) {
        return FALSE;
    }
}

}  // extern "C"

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved);

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
    if (reason == DLL_PROCESS_ATTACH) {
        g_module = instance;
        DisableThreadLibraryCalls(instance);
    } else if (reason == DLL_PROCESS_DETACH && reserved == nullptr) {
        // Unloaded while the process goes on: no window may be left with this module's procedure.
        try {
            if (g_menuThread.load() == GetCurrentThreadId())
                CloseMenu();
            EndSession();
        } catch (...) {
        }
        UnregisterClassW(kPopupClass, instance);
    }
    return TRUE;
}
