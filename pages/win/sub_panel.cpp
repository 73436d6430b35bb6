#include "pages/win/sub_panel.h"

#include "pages/win/page_base.h"
#include "skin/win/images.h"

namespace q350::pages {

namespace {
ui::Dialog::Template ChildTemplate() {
    ui::Dialog::Template t;
    t.style = WS_CHILD | WS_CLIPSIBLINGS | DS_SETFONT | DS_CONTROL;
    return t;
}
}  // namespace

void PanelSheets::Load(const std::wstring& folder, const std::wstring& stem) {
    const std::wstring base = ui::SkinPath(folder + L"\\" + stem);
    ui::LoadPictureFile((base + L"_Normal.bmp").c_str(), normal_, size);
    SIZE ignored{};
    ui::LoadPictureFile((base + L"_Over.bmp").c_str(), over_, ignored);
    ui::LoadPictureFile((base + L"_Down.bmp").c_str(), down_, ignored);
}

bool CreateSheetButton(ui::CGDIBitmapBtn& button, HWND parent, const RECT& rect,
                       const PanelSheets& sheets, bool twoState) {
    if (!button.Create(parent, rect)) {
        return false;
    }
    button.SetSheetImages(sheets.normal(), sheets.over(), sheets.down(), sheets.normal(), rect);
    if (twoState) {
        button.checkMode = 1;
        button.toggleOnClick = 0;
    }
    return true;
}

HFONT MakePanelFont() {
    return ui::MakeFont(14, 300, L"MS Shell Dlg");
}

void DrawPanelText(HDC dc, HFONT font, const std::wstring& text, RECT rect, COLORREF colour,
                   bool centred) {
    ui::SelectGuard keep(dc, font);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, colour);
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &rect,
              (centred ? DT_CENTER : DT_LEFT) | DT_VCENTER | DT_SINGLELINE | DT_END_ELLIPSIS |
                  DT_NOPREFIX);
}

CSubPanel::CSubPanel(const wchar_t* windowText, const wchar_t* folder, const wchar_t* stem)
    : Dialog(ChildTemplate()), windowText_(windowText), folder_(folder), stem_(stem) {}

bool CSubPanel::Create(HWND parent, const RECT& rect) {
    if (!CreateModeless(parent)) {
        return false;
    }
    SetWindowPos(hwnd_, nullptr, rect.left, rect.top, rect.right - rect.left,
                 rect.bottom - rect.top, SWP_NOZORDER | SWP_NOACTIVATE);
    return true;
}

void CSubPanel::Show(bool shown) {
    if (hwnd_ != nullptr) {
        ShowWindow(hwnd_, shown ? SW_SHOW : SW_HIDE);
    }
}

bool CSubPanel::OnInitDialog() {
    SetWindowTextW(hwnd_, windowText_);
    sheets_.Load(folder_, stem_);
    BuildControls();
    return true;
}

bool CSubPanel::OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
    switch (msg) {
        case WM_PAINT: {
            ui::PaintDc dc(hwnd_);
            const RECT client = ClientRect();
            DrawSheet(dc.get(), sheets_.normal(), POINT{0, 0}, client);
            PaintOver(dc.get());
            return true;
        }
        case WM_ERASEBKGND:
            result = 1;
            return true;
        default:
            return OnPanelMessage(msg, wp, lp, result);
    }
}

}  // namespace q350::pages
