#include "pages/win/empty_page.h"

#include <string>

#include "lang/language_table.h"

namespace q350::pages {

namespace {
constexpr COLORREF kTitleColour = RGB(83, 97, 103);
}  // namespace

CEmptyPage::CEmptyPage(WinPageHost& host, lang::StringId title, HBITMAP sheet, POINT origin)
    : CPageBase(host), title_(title), sheet_(sheet), origin_(origin) {}

bool CEmptyPage::OnInitDialog() {
    font_.Reset(ui::MakeFont(24, FW_NORMAL, L"MS Shell Dlg"));
    return true;
}

void CEmptyPage::Paint() {
    ui::PaintDc dc(hwnd_);
    const RECT client = ClientRect();
    DrawSheet(dc.get(), sheet_, origin_, client);
    const std::u16string& title = lang::Str(title_);
    const std::wstring text(title.begin(), title.end());
    ui::SelectGuard keepFont(dc.get(), font_.get());
    SetBkMode(dc.get(), TRANSPARENT);
    SetTextColor(dc.get(), kTitleColour);
    RECT r = client;
    DrawTextW(dc.get(), text.c_str(), static_cast<int>(text.size()), &r,
              DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
}

bool CEmptyPage::OnMessage(UINT msg, WPARAM, LPARAM, LRESULT& result) {
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

}  // namespace q350::pages
