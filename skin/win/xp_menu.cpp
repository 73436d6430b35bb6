#include "skin/win/xp_menu.h"

#include "skin/geometry.h"
#include "skin/win/framework/gdi.h"

namespace q350::ui {

CXPMenu::CXPMenu() : menu_(CreatePopupMenu()) {}

CXPMenu::~CXPMenu() {
    if (menu_)
        DestroyMenu(menu_);
}

bool CXPMenu::AppendItem(UINT command, XPMenuItem* record) {
    return AppendMenuW(menu_, MF_OWNERDRAW, command, reinterpret_cast<LPCWSTR>(record)) != 0;
}

UINT CXPMenu::Track(HWND owner, POINT p) {
    return static_cast<UINT>(TrackPopupMenu(menu_, TPM_RETURNCMD | TPM_NONOTIFY | TPM_RIGHTBUTTON,
                                            p.x, p.y, 0, owner, nullptr));
}

void CXPMenu::MeasureItem(MEASUREITEMSTRUCT& mis) {
    mis.itemWidth = skin::kXpMenuItemWidth;
    mis.itemHeight = skin::kXpMenuItemHeight;
}

void CXPMenu::DrawItem(const DRAWITEMSTRUCT& dis) {
    const auto* item = reinterpret_cast<const XPMenuItem*>(dis.itemData);
    if (item == nullptr)
        return;
    const HDC dc = dis.hDC;
    RECT r = dis.rcItem;
    SetBkMode(dc, TRANSPARENT);
    const bool selected = (dis.itemState & ODS_SELECTED) != 0;
    WORD iconId;
    int iconAt;
    if (selected) {
        SelectGuard pen(dc, GetStockObject(BLACK_PEN));
        SelectGuard brush(dc, GetStockObject(NULL_BRUSH));
        Rectangle(dc, r.left, r.top, r.right, r.bottom);
        RECT inner{r.left + 1, r.top + 1, r.right - 1, r.bottom - 1};
        Brush fill(CreateSolidBrush(RGB(177, 185, 207)));
        FillRect(dc, &inner, fill.get());
        iconId = LOWORD(item->selectedIcon);
        iconAt = 2;
        SetTextColor(dc, RGB(0, 60, 145));
    } else {
        Brush fill(CreateSolidBrush(RGB(219, 216, 209)));
        FillRect(dc, &r, fill.get());
        iconId = LOWORD(item->normalIcon);
        iconAt = 3;
        SetTextColor(dc, RGB(0, 0, 0));
    }
    if (HICON icon = static_cast<HICON>(LoadImageW(
            GetModuleHandleW(nullptr), MAKEINTRESOURCEW(iconId), IMAGE_ICON, 16, 16, 0))) {
        DrawIconEx(dc, r.left + iconAt, r.top + iconAt, icon, 16, 16, 0, nullptr, DI_NORMAL);
        DestroyIcon(icon);
    }
    Font font(MakeFont(14, 500, L"Arial"));
    SelectGuard sel(dc, font.get());
    RECT text{r.left + 33, r.top, r.right, r.bottom};
    DrawTextW(dc, item->text.c_str(), static_cast<int>(item->text.size()), &text,
              DT_SINGLELINE | DT_CENTER | DT_VCENTER | DT_END_ELLIPSIS | DT_NOCLIP);
}

}  // namespace q350::ui
