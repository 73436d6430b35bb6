#pragma once

// Pieces shared by the setting panel and its sub-panels: skinned buttons cut from a window's
// sheets, the sheets of a panel folder, and a child dialog that draws its normal sheet.
#include <windows.h>

#include <string>

#include "skin/win/framework/gdi.h"
#include "skin/win/framework/window.h"
#include "skin/win/gdi_bitmap_btn.h"

namespace q350::pages {

// The three sheets of a panel: skins\<folder>\<stem>_Normal.bmp, _Over.bmp and _Down.bmp.
struct PanelSheets {
    void Load(const std::wstring& folder, const std::wstring& stem);
    HBITMAP normal() const { return normal_.get(); }
    HBITMAP over() const { return over_.get(); }
    HBITMAP down() const { return down_.get(); }
    SIZE size{};

private:
    ui::Bitmap normal_, over_, down_;
};

// Creates a skinned button at rect of parent, its looks cut from the sheets (the normal sheet
// standing for the disabled look). Two-state buttons keep their state as the owner sets it.
bool CreateSheetButton(ui::CGDIBitmapBtn& button, HWND parent, const RECT& rect,
                       const PanelSheets& sheets, bool twoState);

// The 14-pixel light face the panels draw their texts with.
HFONT MakePanelFont();
// Draws text in rect on one line, left or centred, with an ellipsis when it is too long.
void DrawPanelText(HDC dc, HFONT font, const std::wstring& text, RECT rect, COLORREF colour,
                   bool centred = false);

// A sub-panel of the button setting panel: a child dialog, hidden at first, that shows its normal
// sheet and keeps its controls.
class CSubPanel : public ui::Dialog {
public:
    CSubPanel(const wchar_t* windowText, const wchar_t* folder, const wchar_t* stem);

    bool Create(HWND parent, const RECT& rect);
    void Show(bool shown);
    bool shown() const { return hwnd_ != nullptr && IsWindowVisible(hwnd_); }

protected:
    bool OnInitDialog() override;
    bool OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;
    // Makes the sub-panel's controls (after the sheets are loaded).
    virtual void BuildControls() {}
    // Draws on top of the normal sheet.
    virtual void PaintOver(HDC) {}
    // Messages besides painting.
    virtual bool OnPanelMessage(UINT, WPARAM, LPARAM, LRESULT&) { return false; }

    PanelSheets sheets_;

private:
    const wchar_t* windowText_;
    const wchar_t* folder_;
    const wchar_t* stem_;
};

}  // namespace q350::pages
