#pragma once

// The menu library SkinMenu.dll as the pages use it: loaded by name, its three functions looked
// up, and every call guarded, so that a missing library or function is never called through.
#include <windows.h>

#include <span>
#include <string>

#include "base/win/module.h"
#include "outside/SkinMenu/skin_menu.h"

namespace q350::pages {

inline constexpr wchar_t kSkinMenuLibrary[] = L"SkinMenu.dll";

class SkinMenuLibrary {
public:
    // Loads the library; true when it and both menu functions are there.
    bool load(const wchar_t* name = kSkinMenuLibrary);
    bool usable() const { return create_ != nullptr && destroy_ != nullptr; }
    // Closes an open menu; nothing when the library is missing.
    void destroyMenu() const;
    // Opens a menu of items under point for owner, drawn from the pictures in skins\Menu\ of the
    // program folder; false when the library is missing or the menu did not open.
    bool openMenu(HWND owner, POINT topLeft, std::span<const skinmenu::MenuItem> items,
                  const std::wstring& programFolder) const;

private:
    win::LoadedModule module_;
    skinmenu::CreateMenuExFn create_ = nullptr;
    skinmenu::DestroyMenuExFn destroy_ = nullptr;
    skinmenu::DllPreTranslateMessageFn preTranslate_ = nullptr;  // looked up, not used
};

}  // namespace q350::pages
