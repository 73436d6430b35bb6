#pragma once
// CListBoxEx: an owner-drawn list whose rows carry a small picture and can be edited in place.
#include <windows.h>

#include <string>

#include "skin/win/framework/gdi.h"
#include "skin/win/framework/window.h"

namespace q350::ui {

class CListBoxEx : public Window {
public:
    CListBoxEx();
    ~CListBoxEx() override;
    // An owner-drawn list with fixed 20-pixel rows and strings.
    bool Create(HWND parent, const RECT& rect, UINT id,
                DWORD style = WS_CHILD | WS_VISIBLE | WS_VSCROLL | LBS_OWNERDRAWFIXED |
                              LBS_HASSTRINGS | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT);

    int AddItem(const std::wstring& text, int kind, DWORD data, bool startEditing);
    int InsertItem(int index, int kind, const std::wstring& text, DWORD data);
    int ReplaceItem(int index, int kind, const std::wstring& text, DWORD data);
    std::wstring ItemText(int index) const;
    int Count() const;

    // Starts the in-place edit of a row; ends it (with the 1136 notice when notify is set).
    void StartEdit(int row);
    void EndEdit(bool notify);
    HWND editWindow() const;
    int editRow() const { return editRow_; }

    void SetBackground(HBRUSH brush) { background_ = brush; }  // the owner's brush
    void SetNotifyTarget(HWND target) { target_ = target; }

    // Row height in pixels (20 unless set).
    void SetRowHeight(int height);
    // Colours of the rows' texts and of the selected row; CLR_INVALID keeps the system's.
    COLORREF textColour = CLR_INVALID;
    COLORREF selectedFill = CLR_INVALID;
    COLORREF selectedText = CLR_INVALID;
    int showPictures = 1;
    int editableByDoubleClick = 0;
    int hotRow = -1;

protected:
    bool OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;

private:
    class InPlaceEdit;
    void DrawRow(const DRAWITEMSTRUCT& dis);
    HWND Target() const;
    int RowAt(LPARAM lp) const;

    Font font_;
    HBRUSH background_ = nullptr;
    HWND target_ = nullptr;
    InPlaceEdit* edit_ = nullptr;
    InPlaceEdit* retired_ = nullptr;  // the last edit, freed later
    bool ending_ = false;
    int editRow_ = -1;
    bool trackingLeave_ = false;
};

}  // namespace q350::ui
