#include "pages/win/dlg_macro_set.h"

#include "pages/win/dlg_base.h"
#include "skin/win/images.h"
#include "skin/win/skin_ids.h"
#include "skin/win/skin_scroll.h"

namespace q350::pages {

namespace {
constexpr UINT kGamesId = 10001;
constexpr UINT kMacrosId = 10002;
constexpr RECT kGamesRect{1, 1, 184, 168};
constexpr RECT kMacrosRect{188, 1, 369, 168};
constexpr int kRowHeight = 16;
constexpr WORD kScrollSkinResource = 147;

std::wstring Wide(std::u16string_view s) { return std::wstring(s.begin(), s.end()); }
}  // namespace

CDlgMacroSet::CDlgMacroSet(const MacroLibrary& library, bool chinese)
    : CSubPanel(L"QuorvQ300MacrosetDlg", L"macro", L"Macro"), library_(library), chinese_(chinese) {}

void CDlgMacroSet::BuildControls() {
    background_.Reset(CreateSolidBrush(kPanelListBackground));
    scrollSkin_.Reset(ui::LoadBitmapResource(kScrollSkinResource));
    for (auto [list, rect, id] : {std::tuple{&games_, kGamesRect, kGamesId},
                                  std::tuple{&macros_, kMacrosRect, kMacrosId}}) {
        if (!list->Create(hwnd_, rect, id, kPanelListStyle)) {
            continue;
        }
        StyleSkinList(*list, background_.get(), kRowHeight);
        list->SetNotifyTarget(hwnd_);
        if (scrollSkin_) {
            ui::SkinWndScroll(list->hwnd(), scrollSkin_.get());
        }
    }
    if (games_.hwnd() == nullptr) {
        return;
    }
    for (int row = 0; row < kGameRowCount; ++row) {
        games_.AddItem(Wide(GameRowText(row, chinese_)), 0, static_cast<DWORD>(row), false);
    }
    gameRow_ = static_cast<int>(SendMessageW(games_.hwnd(), LB_GETCURSEL, 0, 0));
    FillMacros(gameRow_);
}

void CDlgMacroSet::FillMacros(int gameRow) {
    if (macros_.hwnd() == nullptr) {
        return;
    }
    SendMessageW(macros_.hwnd(), LB_RESETCONTENT, 0, 0);
    SendMessageW(macros_.hwnd(), WM_SETREDRAW, FALSE, 0);
    for (const MacroRow& row : MacrosOfGame(library_, gameRow)) {
        macros_.AddItem(Wide(row.name), 0, row.id, false);
    }
    SendMessageW(macros_.hwnd(), WM_SETREDRAW, TRUE, 0);
    InvalidateRect(macros_.hwnd(), nullptr, TRUE);
}

PanelResult CDlgMacroSet::Result() const {
    if (macros_.hwnd() == nullptr) {
        return {};
    }
    const LRESULT row = SendMessageW(macros_.hwnd(), LB_GETCURSEL, 0, 0);
    if (row == LB_ERR) {
        return MacroSetResult(std::nullopt);
    }
    const LRESULT id = SendMessageW(macros_.hwnd(), LB_GETITEMDATA, static_cast<WPARAM>(row), 0);
    return MacroSetResult(static_cast<std::uint32_t>(id));
}

bool CDlgMacroSet::OnPanelMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT&) {
    if (msg != ui::kMsgListSelection) {
        return false;
    }
    if (wp == kGamesId && static_cast<int>(lp) != gameRow_) {
        const auto row = static_cast<int>(SendMessageW(games_.hwnd(), LB_GETCURSEL, 0, 0));
        if (row >= 0) {
            gameRow_ = row;
            FillMacros(gameRow_);
        }
    }
    return true;
}

}  // namespace q350::pages
