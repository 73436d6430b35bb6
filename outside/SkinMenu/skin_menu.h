#pragma once

// SkinMenu.dll: a skinned popup menu with sub-menus, opened by the program's pages. The program
// loads the library by name and looks the three functions up by these names. All three use
// __cdecl, in the 32- and the 64-bit build alike, and are called on the thread of the owner window.
//
// CreateMenuEx opens a menu whose top-left corner is at a screen point (moved to stay inside the
// work area) and replaces a menu that is already open. A click on an item without a sub-menu
// closes the menu and posts kChoiceMessage (1281) to the owner: wParam 0, lParam = the item's
// command id in the low 16 bits (the upper bits are 0). A click outside the menu, Escape on the
// top level or DestroyMenuEx closes it without posting anything. The menu never takes the
// activation or the keyboard focus from the owner.
#include <windows.h>

#include <cstddef>
#include <cstdint>

namespace q350::skinmenu {

inline constexpr UINT kChoiceMessage = 1281;
// `parent` of the items shown at the top level.
inline constexpr std::int32_t kTopLevel = 0xFF;
inline constexpr int kTextChars = 40;
// Items after this many are left out.
inline constexpr int kMaxItems = 256;

// One item as the program lays them out, 88 bytes. An item whose parent is another item's command
// id is in that item's sub-menu; an item with an empty text is shown as a disabled row.
struct MenuItem {
    std::int32_t parent;        // kTopLevel or the command id of the item it hangs under
    std::int32_t command;       // posted with kChoiceMessage
    char16_t text[kTextChars];  // at most 39 characters are shown; zero-terminated when shorter
};
static_assert(sizeof(MenuItem) == 88);
static_assert(offsetof(MenuItem, parent) == 0);
static_assert(offsetof(MenuItem, command) == 4);
static_assert(offsetof(MenuItem, text) == 8);

// Opens the menu. itemHeight is the row height in pixels (24 in the program; a value outside
// 8...128 gives 24). The colours are the text of ordinary rows, the text of the row under the
// pointer, and the highlight drawn when the picture of a row is missing. The eight pictures (BMP
// files) are those of rows without a sub-menu in the normal, pointer-over, pressed and disabled
// states, then the same four for rows with a sub-menu; each is stretched to the menu's width and
// a missing or unreadable one is replaced by a plain fill. Returns non-zero when the menu is open;
// zero, with no menu open, for a missing owner window or when no item is on the top level.
using CreateMenuExFn = BOOL(__cdecl*)(HWND owner, int itemHeight, POINT topLeft, COLORREF text,
                                      COLORREF hoverText, COLORREF accent, const wchar_t* normal,
                                      const wchar_t* over, const wchar_t* down,
                                      const wchar_t* disabled, const wchar_t* subNormal,
                                      const wchar_t* subOver, const wchar_t* subDown,
                                      const wchar_t* subDisabled, const MenuItem* items, int count);
// Closes the open menu, if any, without posting anything.
using DestroyMenuExFn = void(__cdecl*)();
// For the owner's message loop: arrow keys, Enter and Escape drive an open menu (TRUE: handled,
// do not dispatch); a button press on another window closes the menu and returns FALSE.
using DllPreTranslateMessageFn = BOOL(__cdecl*)(MSG* msg);

// For tests and tools: each open popup (the menu and every open sub-menu) is a top-level window
// of class kPopupClass. Sent kRowTextMessage with wParam = row and lParam = a wchar_t buffer of
// kTextChars, it copies the text drawn in that row and returns its length, or -1 for no such row.
inline constexpr wchar_t kPopupClass[] = L"Q350SkinMenuPopup";
inline constexpr UINT kRowTextMessage = WM_APP + 1;

}  // namespace q350::skinmenu

extern "C" {
__declspec(dllexport) BOOL
    __cdecl CreateMenuEx(HWND owner, int itemHeight, POINT topLeft, COLORREF text,
                         COLORREF hoverText, COLORREF accent, const wchar_t* normal,
                         const wchar_t* over, const wchar_t* down, const wchar_t* disabled,
                         const wchar_t* subNormal, const wchar_t* subOver, const wchar_t* subDown,
                         const wchar_t* subDisabled, const q350::skinmenu::MenuItem* items,
                         int count);
__declspec(dllexport) void __cdecl DestroyMenuEx();
__declspec(dllexport) BOOL __cdecl DllPreTranslateMessage(MSG* msg);
}
