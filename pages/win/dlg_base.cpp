#include "pages/win/dlg_base.h"

#include "lang/language_table.h"
#include "pages/setting_panel_model.h"
#include "skin/win/images.h"
#include "skin/win/skin_scroll.h"

namespace q350::pages {

namespace {
constexpr UINT kListId = 101;
constexpr RECT kListRect{0, 0, 372, 171};
constexpr int kRowHeight = 18;
constexpr WORD kScrollSkinResource = 147;
}  // namespace

void StyleSkinList(ui::CListBoxEx& list, HBRUSH background, int rowHeight) {
    list.SetBackground(background);
    list.SetRowHeight(rowHeight);
    list.textColour = RGB(83, 92, 107);
    list.selectedFill = RGB(37, 37, 37);
    list.selectedText = RGB(150, 150, 150);
    list.showPictures = 0;
}

CDlgBase::CDlgBase() : CSubPanel(L"QuorvQ300BaseDlg", L"base", L"Base") {}

void CDlgBase::BuildControls() {
    background_.Reset(CreateSolidBrush(kPanelListBackground));
    if (!list_.Create(hwnd_, kListRect, kListId, kPanelListStyle)) {
        return;
    }
    StyleSkinList(list_, background_.get(), kRowHeight);
    for (const BasicRow& row : kBasicRows) {
        const std::u16string& text = lang::Str(row.text);
        list_.AddItem(std::wstring(text.begin(), text.end()), 0, 0, false);
    }
    scrollSkin_.Reset(ui::LoadBitmapResource(kScrollSkinResource));
    if (scrollSkin_) {
        ui::SkinWndScroll(list_.hwnd(), scrollSkin_.get());
    }
}

std::int32_t CDlgBase::SelectedCode() const {
    if (list_.hwnd() == nullptr) {
        return 0;
    }
    const auto row = static_cast<int>(SendMessageW(list_.hwnd(), LB_GETCURSEL, 0, 0));
    return BasicCodeOfRow(row);
}

}  // namespace q350::pages
