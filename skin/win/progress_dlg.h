#pragma once
// CProgressDlg: the modal progress dialog shown while a profile is written into the mouse. The
// worker posts 1067 with the position 0..100 and finally WM_CLOSE.
#include <windows.h>

#include <memory>

#include "skin/win/framework/gdiplus_include.h"
#include "skin/win/framework/window.h"
#include "skin/win/png_h_progress_bar.h"

namespace q350::ui {

class CProgressDlg : public Dialog {
public:
    CProgressDlg();
    CPngHProgressBar& bar() { return bar_; }
    int lastPosition() const { return last_; }

protected:
    bool OnInitDialog() override;
    bool OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;

private:
    void Paint();

    std::unique_ptr<Gdiplus::Bitmap> background_;
    std::unique_ptr<Gdiplus::Bitmap> over_;
    CPngHProgressBar bar_;
    int last_ = 0;
};

}  // namespace q350::ui
