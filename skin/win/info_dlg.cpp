#include "skin/win/info_dlg.h"

#include "skin/win/images.h"
#include "skin/win/skin_ids.h"

namespace q350::ui {

namespace {

bool gChinese = false;

std::wstring Wide(const std::u16string& s) {
    return std::wstring(s.begin(), s.end());
}

Dialog::Template InfoTemplate() {
    Dialog::Template t;
    t.style = WS_POPUP | DS_SETFONT;
    return t;
}

}  // namespace

void SetSkinChinese(bool chinese) {
    gChinese = chinese;
}
bool SkinChinese() {
    return gChinese;
}

CInfoDlg::CInfoDlg(Clock* clock) : Dialog(InfoTemplate()), clock_(clock ? clock : &systemClock_) {}

void CInfoDlg::CreateButton(CGDIBitmapBtn& button, const skin::Rect& r, const wchar_t* caption) {
    const RECT rc{r.left, r.top, r.right, r.bottom};
    button.Create(hwnd_, rc, 0);
    button.SetSheetImages(sheets_[0].get(), sheets_[1].get(), sheets_[2].get(), sheets_[0].get(),
                          rc);
    if (caption) {
        button.SetText(caption);
        button.textColourNormal = skin::kInfoText;
        button.textColourHover = RGB(255, 255, 255);
        button.textColourDown = RGB(255, 255, 255);
    }
}

bool CInfoDlg::OnInitDialog() {
    SetWindowTextW(hwnd_, L"QuorvQ300InfoDlg");
    const skin::InfoBoxLayout layout =
        skin::InfoLayout(questionForm ? skin::InfoForm::Question : skin::InfoForm::Notice);
    sheets_[0].Reset(LoadBitmapResource(static_cast<WORD>(layout.normalSheet)));
    sheets_[1].Reset(LoadBitmapResource(static_cast<WORD>(layout.overSheet)));
    sheets_[2].Reset(LoadBitmapResource(static_cast<WORD>(layout.downSheet)));
    size_ = BitmapSize(sheets_[0].get());
    const int screenW = GetSystemMetrics(SM_CXFULLSCREEN);
    const int screenH = GetSystemMetrics(SM_CYFULLSCREEN);
    SetWindowPos(hwnd_, nullptr, (screenW - size_.cx) / 2, (screenH - size_.cy) / 2, size_.cx,
                 size_.cy, SWP_NOZORDER);
    CreateButton(closeButton, layout.close, nullptr);
    CreateButton(okButton, layout.ok, gChinese ? L"\x786E\x5B9A" : L"OK");
    if (layout.cancel)
        CreateButton(cancelButton, *layout.cancel, gChinese ? L"\x53D6\x6D88" : L"Cancel");
    if (autoClose) {
        okButton.SetText(Wide(countdown_.Start()));
        countdown = countdown_.remaining();
        StartTimer(skin::kInfoCountdownTimer, 1000);
        SetWindowPos(hwnd_, nullptr, screenW - size_.cx - 10, screenH - size_.cy, 0, 0,
                     SWP_NOZORDER | SWP_NOSIZE);
    }
    return true;
}

void CInfoDlg::Paint() {
    PaintDc paint(hwnd_);
    const HDC dc = paint.get();
    if (sheets_[0]) {
        MemoryDc src(dc);
        SelectGuard sel(src.get(), sheets_[0].get());
        BitBlt(dc, 0, 0, size_.cx, size_.cy, src.get(), 0, 0, SRCCOPY);
    }
    Font font(MakeFont(14, 300, L"MS Shell Dlg"));
    SelectGuard selFont(dc, font.get());
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, skin::kInfoText);
    RECT text{90, 73, 305, 91};
    DrawTextW(dc, message.c_str(), static_cast<int>(message.size()), &text,
              DT_WORDBREAK | DT_VCENTER | DT_END_ELLIPSIS | DT_NOCLIP);
    RECT title{10, 9, 100, 23};
    DrawTextW(dc, L"Tips", 4, &title, DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS | DT_NOCLIP);
}

bool CInfoDlg::OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
    switch (msg) {
        case WM_PAINT:
            Paint();
            return true;
        case WM_ERASEBKGND:
            result = 1;
            return true;
        case WM_COMMAND: {
            const auto from = reinterpret_cast<HWND>(lp);
            if (from == nullptr) {
                // Keyboard Enter or Escape from the dialog manager.
                if (LOWORD(wp) == IDCANCEL)
                    End(skin::kInfoResultOther);
                return true;
            }
            if (from == okButton.hwnd()) {
                StopTimer(skin::kInfoCountdownTimer);
                End(skin::kInfoResultOk);
            } else if (from == closeButton.hwnd() || from == cancelButton.hwnd()) {
                StopTimer(skin::kInfoCountdownTimer);
                End(skin::kInfoResultOther);
            }
            return true;
        }
        case WM_TIMER: {
            clock_->sleepMs(500);
            if (wp == static_cast<WPARAM>(skin::kInfoCountdownTimer)) {
                const skin::InfoCountdown::Tick tick = countdown_.OnTick();
                if (tick.close) {
                    StopTimer(skin::kInfoCountdownTimer);
                    PostMessageW(hwnd_, WM_CLOSE, 0, 0);
                    clock_->sleepMs(100);
                }
                okButton.SetText(Wide(tick.caption));
                countdown = countdown_.remaining();
            }
            return true;
        }
        case WM_CLOSE:
            StopTimer(skin::kInfoCountdownTimer);
            End(skin::kInfoResultOther);
            return true;
        default:
            return false;
    }
}

int ShowInfoBox(const std::wstring& text, int questionForm, HWND parent) {
    CInfoDlg box;
    box.message = text;
    box.questionForm = questionForm;
    box.autoClose = 0;
    const INT_PTR r = box.DoModal(parent);
    return r == skin::kInfoResultOk ? skin::kInfoResultOk : skin::kInfoResultOther;
}

}  // namespace q350::ui
