#pragma once
// CBitmapEdit: a one-line edit box painted over a piece of the page background that keeps the
// number it holds inside a range.
#include <windows.h>

#include "skin/looks.h"
#include "skin/win/framework/gdi.h"
#include "skin/win/framework/window.h"

namespace q350::ui {

class CBitmapEdit : public Window {
public:
    // Creates the box (the pages use 0x50002081: child, visible, digits only, auto-scroll,
    // centred).
    bool Create(HWND parent, const RECT& rect, UINT id, DWORD style = 0x50002081);
    // The background becomes the part (x, y, width, height) of picture.
    void SetBackground(HBITMAP picture, int x, int y, int width, int height);

    int fontHeight = 12;
    int min = 0;
    int max = 10;

protected:
    bool OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;

private:
    void OnTextChanged();

    Bitmap background_;
    Brush brush_;
    Font font_;
    bool limiting_ = false;
};

}  // namespace q350::ui
