#pragma once
// CGDIBitmapBtn: a rectangular button drawn from four pictures, optionally with a caption.
#include <windows.h>

#include <string>

#include "skin/looks.h"
#include "skin/win/framework/gdi.h"
#include "skin/win/framework/window.h"

namespace q350::ui {

class CGDIBitmapBtn : public Window {
public:
    // Creates the visible owner-drawn child button at rect (parent coordinates).
    bool Create(HWND parent, const RECT& rect, UINT id = 0);

    // Cuts the four looks out of the sheets at rect; a sheet without bitmap leaves its look.
    void SetSheetImages(HBITMAP normal, HBITMAP over, HBITMAP down, HBITMAP disabled,
                        const RECT& rect);
    // Takes over the four bitmaps (deleting the current ones).
    void SetImages(HBITMAP normal, HBITMAP over, HBITMAP down, HBITMAP disabled);
    void SetText(const std::wstring& text);
    const std::wstring& text() const { return text_; }
    void SetCheck(int value);
    void SetToolTipText(const std::wstring& text);
    void SetTextRect(const RECT& r) {
        textRect = r;
        hasTextRect = true;
    }

    int checkMode = 0;
    int checkState = 0;
    int toggleOnClick = 0;
    int hoverEnabled = 1;
    int hover = 0;
    int notifyPress = 0;
    bool hasTextRect = false;
    RECT textRect{};
    COLORREF textColourNormal = skin::kTextNormalDefault;
    COLORREF textColourHover = skin::kTextHoverDefault;
    COLORREF textColourDown = skin::kTextDownDefault;

    // The look chosen by the last drawing.
    skin::Look lastLook() const { return lastLook_; }

protected:
    bool OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;

private:
    void Draw(const DRAWITEMSTRUCT& dis);

    Bitmap images_[4];  // normal, over, down, disabled
    std::wstring text_;
    HWND tooltip_ = nullptr;
    bool toolAdded_ = false;
    skin::Look lastLook_ = skin::Look::Normal;
};

}  // namespace q350::ui
