#pragma once
// CDpiProgressDlg: the translucent DPI indicator (a filled bar and the DPI number), and
// CUpLayeredDlg, the hidden window that owns it and fixes where it appears.
#include <windows.h>

#include <memory>
#include <string>

#include "skin/win/framework/gdiplus_include.h"
#include "skin/win/framework/window.h"

namespace q350::ui {

class CDpiProgressDlg : public Dialog {
public:
    CDpiProgressDlg();
    // Creates the hidden indicator owned by parent.
    bool Create(HWND parent) { return CreateModeless(parent); }

    int minimum = 0;
    int maximum = 10;
    int value = 0;
    std::wstring text;                 // the number last drawn
    float textRect[4] = {0, 0, 0, 0};  // x, y, width, height
    int barRect[4] = {0, 0, 0, 0};     // left, top, right, bottom

    int FillEdge() const;

protected:
    bool OnInitDialog() override;
    bool OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;

private:
    void Paint();

    std::unique_ptr<Gdiplus::Bitmap> normal_;
    std::unique_ptr<Gdiplus::Bitmap> fill_;
};

class CUpLayeredDlg : public Dialog {
public:
    CUpLayeredDlg();
    bool Create(HWND parent) { return CreateModeless(parent); }
    POINT anchor{};

protected:
    bool OnInitDialog() override;
};

}  // namespace q350::ui
