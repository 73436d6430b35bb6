#pragma once
// CXPMenu: an owner-drawn popup menu (the tray menu). Each item's record stays alive, kept by the
// caller, while the menu is tracked; the owner window routes WM_MEASUREITEM and WM_DRAWITEM of
// menus to MeasureItem and DrawItem.
#include <windows.h>

#include <string>

namespace q350::ui {

struct XPMenuItem {
    DWORD normalIcon = 0;    // icon resource, low 16 bits used
    DWORD selectedIcon = 0;  // icon resource while selected
    std::wstring text;
};

class CXPMenu {
public:
    CXPMenu();
    ~CXPMenu();
    CXPMenu(const CXPMenu&) = delete;
    CXPMenu& operator=(const CXPMenu&) = delete;

    HMENU handle() const { return menu_; }
    bool AppendItem(UINT command, XPMenuItem* record);
    // Shows the menu at a screen point; returns the chosen command (0 for none).
    UINT Track(HWND owner, POINT screen);

    static void MeasureItem(MEASUREITEMSTRUCT& mis);
    static void DrawItem(const DRAWITEMSTRUCT& dis);

private:
    HMENU menu_;
};

}  // namespace q350::ui
