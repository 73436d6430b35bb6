#include "skin/win/dpi_progress_dlg.h"

#include <cstdio>

#include "skin/geometry.h"
#include "skin/win/framework/gdi.h"
#include "skin/win/images.h"
#include "skin/win/skin_ids.h"

namespace q350::ui {

namespace {

Dialog::Template HiddenPopup() {
    Dialog::Template t;
    t.style = WS_POPUP | DS_SETFONT;
    return t;
}

}  // namespace

CDpiProgressDlg::CDpiProgressDlg() : Dialog(HiddenPopup()) {}

int CDpiProgressDlg::FillEdge() const {
    return skin::DpiFillEdge(value, minimum, maximum, barRect[0], barRect[2]);
}

bool CDpiProgressDlg::OnInitDialog() {
    normal_ = LoadImageFile(ProgramFolder() + L"skins\\ProgressBar\\DpiPro_Normal.png");
    fill_ = LoadImageFile(ProgramFolder() + L"skins\\ProgressBar\\DpiPro_Over.png");
    const int w = normal_ ? static_cast<int>(normal_->GetWidth()) : 330;
    const int h = normal_ ? static_cast<int>(normal_->GetHeight()) : 94;
    RECT pr{};
    if (HWND parent = GetWindow(hwnd_, GW_OWNER))
        GetWindowRect(parent, &pr);
    SetWindowPos(hwnd_, nullptr, pr.left + (pr.right - pr.left - w) / 2,
                 pr.top + (pr.bottom - pr.top - h) / 2, w, h, SWP_NOZORDER | SWP_NOACTIVATE);
    SetWindowTextW(hwnd_, L"ProgressDlg.");
    SetWindowLongPtrW(hwnd_, GWL_EXSTYLE, GetWindowLongPtrW(hwnd_, GWL_EXSTYLE) | WS_EX_LAYERED);
    SetLayeredWindowAttributes(hwnd_, 0, 100, LWA_ALPHA);
    RedrawWindow(hwnd_, nullptr, nullptr, RDW_FRAME | RDW_ALLCHILDREN | RDW_ERASE | RDW_INVALIDATE);
    SetWindowPos(hwnd_, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    return false;
}

void CDpiProgressDlg::Paint() {
    PaintDc paint(hwnd_);
    const RECT rc = ClientRect();
    const int w = rc.right;
    const int h = rc.bottom;
    OffscreenBuffer buffer(paint.get(), w, h);
    {
        Gdiplus::Graphics g(buffer.dc());
        if (normal_)
            g.DrawImage(normal_.get(), 0, 0, w, h);
        const int edge = FillEdge();
        if (fill_ && edge > 0) {
            g.DrawImage(fill_.get(), Gdiplus::Rect(0, 0, edge, h), 0, 0, edge, h,
                        Gdiplus::UnitPixel);
        }
        wchar_t number[16];
        std::swprintf(number, 16, L"%d", value * 100);
        text = number;
        Gdiplus::FontFamily family(L"Arial");
        const Gdiplus::FontFamily* generic = Gdiplus::FontFamily::GenericSansSerif();
        Gdiplus::Font font(generic ? generic : &family, 12, Gdiplus::FontStyleRegular,
                           Gdiplus::UnitPoint);
        Gdiplus::SolidBrush brush(Gdiplus::Color(255, 31, 161, 211));
        Gdiplus::StringFormat format;
        format.SetAlignment(Gdiplus::StringAlignmentNear);
        constexpr float kEpsilon = 1.1920929e-7f;
        Gdiplus::RectF layout(textRect[0], textRect[1], textRect[2], textRect[3]);
        if (textRect[2] <= kEpsilon || textRect[3] <= kEpsilon)
            layout = {93, 11, 240, 33};
        g.DrawString(number, -1, &font, layout, &format, &brush);
    }
    buffer.Present(paint.get());
}

bool CDpiProgressDlg::OnMessage(UINT msg, WPARAM wp, LPARAM, LRESULT& result) {
    switch (msg) {
        case kMsgProgress:
            value = skin::AcceptedOrMin(static_cast<int>(wp), minimum, maximum);
            InvalidateRect(hwnd_, nullptr, TRUE);
            UpdateWindow(hwnd_);
            result = 1;
            return true;
        case WM_PAINT:
            Paint();
            return true;
        case WM_ERASEBKGND:
            result = 0;
            return true;
        case WM_CLOSE:
            normal_.reset();
            fill_.reset();
            return false;
        default:
            return false;
    }
}

CUpLayeredDlg::CUpLayeredDlg() : Dialog(HiddenPopup()) {}

bool CUpLayeredDlg::OnInitDialog() {
    anchor = {GetSystemMetrics(SM_CXFULLSCREEN) - 360, GetSystemMetrics(SM_CYFULLSCREEN) - 130};
    return false;
}

}  // namespace q350::ui
