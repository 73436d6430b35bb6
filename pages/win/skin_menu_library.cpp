#include "pages/win/skin_menu_library.h"

namespace q350::pages {

namespace {
constexpr int kItemHeight = 24;
// Text, text under the pointer, highlight.
constexpr COLORREF kMenuColours[3] = {0x676153, 0xFFFFFF, 0xB98C15};
constexpr const wchar_t* kPictures[8] = {
    L"MenuNorL.BMP",       L"MenuOverL.BMP",       L"MenuDownL.BMP",       L"MenuNorL.BMP",
    L"MenuNorHaveSub.BMP", L"MenuOverHaveSub.BMP", L"MenuDownHaveSub.BMP", L"MenuNorHaveSub.BMP"};
}  // namespace

bool SkinMenuLibrary::load(const wchar_t* name) {
    module_ = win::LoadedModule(name);
    create_ = module_.proc<skinmenu::CreateMenuExFn>("CreateMenuEx");
    destroy_ = module_.proc<skinmenu::DestroyMenuExFn>("DestroyMenuEx");
    preTranslate_ = module_.proc<skinmenu::DllPreTranslateMessageFn>("DllPreTranslateMessage");
    return usable();
}

void SkinMenuLibrary::destroyMenu() const {
    if (destroy_ != nullptr) {
        destroy_();
    }
}

bool SkinMenuLibrary::openMenu(HWND owner, POINT topLeft,
                               std::span<const skinmenu::MenuItem> items,
                               const std::wstring& programFolder) const {
    if (!usable() || items.empty()) {
        return false;
    }
    std::wstring paths[8];
    for (int i = 0; i < 8; ++i) {
        paths[i] = programFolder + L"skins\\Menu\\" + kPictures[i];
    }
    return create_(owner, kItemHeight, topLeft, kMenuColours[0], kMenuColours[1], kMenuColours[2],
                   paths[0].c_str(), paths[1].c_str(), paths[2].c_str(), paths[3].c_str(),
                   paths[4].c_str(), paths[5].c_str(), paths[6].c_str(), paths[7].c_str(),
                   items.data(), static_cast<int>(items.size())) != FALSE;
}

}  // namespace q350::pages
