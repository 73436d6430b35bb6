#pragma once
// CIrrButton: a button of any shape (the main window's page and profile tabs). Its looks are the
// parts of the page's sheets under its shape; the sheets stay the page's.
#include <windows.h>

#include <string>
#include <vector>

#include "skin/looks.h"
#include "skin/win/framework/gdi.h"
#include "skin/win/framework/window.h"

namespace q350::ui {

class CIrrButton : public Window {
public:
    // Creates the button with the shape of region (parent coordinates; the caller keeps region).
    bool CreateFromRegion(HRGN region, HWND parent);
    // The same from a polygon traced in order and closed back to its first point.
    bool CreateFromPolygon(const std::vector<POINT>& points, HWND parent);

    // The four sheets (normal, over, down, disabled); the button only refers to them.
    void SetSheets(HBITMAP normal, HBITMAP over, HBITMAP down, HBITMAP disabled);
    void SetText(const std::wstring& text);
    // Selects or deselects: releases a held capture, clears the pressed state and redraws.
    void SetSelected(bool selected);
    // Whether a point in client coordinates lies on the button.
    bool HitTest(POINT client) const;
    const RECT& box() const { return box_; }

    int selectionMode = 0;
    BYTE selected = 0;
    int hover = 0;
    int captured = 0;
    COLORREF textColourNormal = skin::kTextNormalDefault;
    COLORREF textColourHover = skin::kTextHoverDefault;
    COLORREF textColourDown = skin::kTextDownDefault;

    skin::Look lastLook() const { return lastLook_; }

protected:
    bool OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;

private:
    void Track(POINT client);
    void RedrawNow();
    void Draw(const DRAWITEMSTRUCT& dis);

    HBITMAP sheets_[4] = {};
    Region region_;  // shape at the button's origin
    RECT box_{};     // bounding box in parent coordinates
    POINT centre_{};
    std::wstring text_;
    skin::Look lastLook_ = skin::Look::Normal;
};

}  // namespace q350::ui
