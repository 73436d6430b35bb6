#include "app/win/empty_page.h"

#include <string>

#include "lang/language_table.h"

namespace q350::app {

namespace {
ui::Dialog::Template ChildTemplate() {
    ui::Dialog::Template t;
    t.style = WS_CHILD | WS_CLIPSIBLINGS | DS_SETFONT;
    return t;
}
constexpr COLORREF kTitleColour = RGB(83, 97, 103);
}  // namespace

EmptyPage::EmptyPage(lang::StringId title, HBITMAP sheet)
    : Dialog(ChildTemplate()), title_(title), sheet_(sheet) {}

bool EmptyPage::Create(HWND parent, const RECT& rect) {
    rect_ = rect;
    if (!CreateModeless(parent)) {
        return false;
    }
    SetWindowPos(hwnd_, nullptr, rect.left, rect.top, rect.right - rect.left,
                 rect.bottom - rect.top, SWP_NOZORDER | SWP_NOACTIVATE);
    font_.Reset(ui::MakeFont(24, FW_NORMAL, L"MS Shell Dlg"));
    return true;
}

void EmptyPage::Refresh() {
    Invalidate(false);
}

void EmptyPage::Show(bool shown) {
    if (hwnd_ != nullptr) {
        ShowWindow(hwnd_, shown ? SW_SHOW : SW_HIDE);
    }
}

void EmptyPage::Paint() {
    ui::PaintDc dc(hwnd_);
    const RECT client = ClientRect();
    if (sheet_ != nullptr) {
        ui::MemoryDc mem(dc.get());
        ui::SelectGuard keep(mem.get(), sheet_);
        BitBlt(dc.get(), 0, 0, client.right, client.bottom, mem.get(), rect_.left, rect_.top,
               SRCCOPY);
    } else {
        FillRect(dc.get(), &client, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    }
    const std::u16string& title = lang::Str(title_);
    const std::wstring text(title.begin(), title.end());
    ui::SelectGuard keepFont(dc.get(), font_.get());
    SetBkMode(dc.get(), TRANSPARENT);
    SetTextColor(dc.get(), kTitleColour);
    RECT r = client;
    DrawTextW(dc.get(), text.c_str(), static_cast<int>(text.size()), &r,
              DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
}

bool EmptyPage::OnMessage(UINT msg, WPARAM, LPARAM, LRESULT& result) {
    switch (msg) {
        case WM_PAINT:
            Paint();
            return true;
        case WM_ERASEBKGND:
            result = 1;
            return true;
        default:
            return false;
    }
}

}  // namespace q350::app
