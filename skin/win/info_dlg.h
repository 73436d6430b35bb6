#pragma once
// CInfoDlg: the skinned message box (notice form with OK, question form with OK and Cancel),
// optionally closing itself after five seconds; ShowInfoBox runs one.
#include <windows.h>

#include <string>

#include "base/clock.h"
#include "skin/looks.h"
#include "skin/win/framework/gdi.h"
#include "skin/win/framework/window.h"
#include "skin/win/gdi_bitmap_btn.h"

namespace q350::ui {

// Whether the built-in texts of the skinned windows are Chinese (the program's Chinese flag).
void SetSkinChinese(bool chinese);
bool SkinChinese();

class CInfoDlg : public Dialog {
public:
    // clock: the pauses of the countdown (the real clock when null).
    explicit CInfoDlg(Clock* clock = nullptr);

    std::wstring message;
    int questionForm = 0;
    int autoClose = 0;
    int countdown = 5;

    CGDIBitmapBtn closeButton;
    CGDIBitmapBtn okButton;
    CGDIBitmapBtn cancelButton;

protected:
    bool OnInitDialog() override;
    bool OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;

private:
    void Paint();
    void CreateButton(CGDIBitmapBtn& button, const skin::Rect& r, const wchar_t* caption);

    SystemClock systemClock_;
    Clock* clock_;
    skin::InfoCountdown countdown_;
    Bitmap sheets_[3];  // normal, over, down
    SIZE size_{};
};

// Runs a message box modally: result 1 for OK, 2 otherwise.
int ShowInfoBox(const std::wstring& text, int questionForm, HWND parent = nullptr);

}  // namespace q350::ui
