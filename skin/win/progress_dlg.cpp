#include "skin/win/progress_dlg.h"

#include "skin/geometry.h"
#include "skin/win/framework/gdi.h"
#include "skin/win/images.h"
#include "skin/win/info_dlg.h"
#include "skin/win/skin_ids.h"

namespace q350::ui {

namespace {

Dialog::Template ProgressTemplate() {
    Dialog::Template t;
    t.style = WS_POPUP | DS_SETFONT;
    return t;
}

constexpr RECT kBarRect{35, 47, 295, 56};

}  // namespace

CProgressDlg::CProgressDlg() : Dialog(ProgressTemplate()) {}

bool CProgressDlg::OnInitDialog() {
    SetWindowTextW(hwnd_, L"QuorvQ300ProcessDlg");
    background_ = LoadImageFile(ProgramFolder() + L"skins\\ProgressBar\\Progress_Normal.png");
    over_ = LoadImageFile(ProgramFolder() + L"skins\\ProgressBar\\Progress_Over.png");
    const int w = background_ ? static_cast<int>(background_->GetWidth()) : 330;
    const int h = background_ ? static_cast<int>(background_->GetHeight()) : 80;
    SetWindowPos(hwnd_, nullptr, (GetSystemMetrics(SM_CXFULLSCREEN) - w) / 2,
                 (GetSystemMetrics(SM_CYFULLSCREEN) - h) / 2, w, h, SWP_NOZORDER);
    if (bar_.Create(kBarRect, hwnd_)) {
        bar_.SetPictures(kBarRect.left, kBarRect.top, kBarRect.right - kBarRect.left,
                         kBarRect.bottom - kBarRect.top, background_.get(), over_.get());
        bar_.min = 0;
        bar_.max = 100;
        bar_.pos = 0;
        bar_.disabledInput = 1;
    }
    // Come to the front even when another program holds the foreground.
    const HWND fg = GetForegroundWindow();
    const DWORD fgThread = fg ? GetWindowThreadProcessId(fg, nullptr) : 0;
    const DWORD self = GetCurrentThreadId();
    const bool attach = fgThread != 0 && fgThread != self;
    if (attach)
        AttachThreadInput(fgThread, self, TRUE);
    SetForegroundWindow(hwnd_);
    if (attach)
        AttachThreadInput(fgThread, self, FALSE);
    return true;
}

void CProgressDlg::Paint() {
    PaintDc paint(hwnd_);
    Gdiplus::Graphics g(paint.get());
    const RECT rc = ClientRect();
    if (background_)
        g.DrawImage(background_.get(), 0, 0, rc.right, rc.bottom);
    const wchar_t* text = SkinChinese()
                              ? L"\x66F4\x65B0\x8FDB\x884C\x4E2D\xFF0C\x8BF7\x7A0D\x5019..."
                              : L"Updating is in progress, please wait\x2026";
    const Gdiplus::FontFamily* family = Gdiplus::FontFamily::GenericSansSerif();
    Gdiplus::Font font(family, 8);
    Gdiplus::SolidBrush grey(Gdiplus::Color(0xFF808080));
    Gdiplus::StringFormat format;
    format.SetAlignment(Gdiplus::StringAlignmentNear);
    g.DrawString(text, -1, &font, Gdiplus::RectF(35, 20, 310, 40), &format, &grey);
}

bool CProgressDlg::OnMessage(UINT msg, WPARAM wp, LPARAM, LRESULT& result) {
    switch (msg) {
        case kMsgProgress:
            last_ = static_cast<int>(wp);
            bar_.pos = skin::AcceptedOrMin(last_, bar_.min, bar_.max);
            bar_.RedrawNow();
            RedrawWindow(hwnd_, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
            result = 1;
            return true;
        case WM_PAINT:
            Paint();
            return true;
        case WM_ERASEBKGND:
            result = 1;
            return true;
        case WM_CLOSE:
            End(IDCANCEL);
            return true;
        case WM_COMMAND:  // Enter and Escape do not end the dialog
            return LOWORD(wp) == IDOK || LOWORD(wp) == IDCANCEL;
        default:
            return false;
    }
}

}  // namespace q350::ui
