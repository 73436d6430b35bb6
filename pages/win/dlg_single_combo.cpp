#include "pages/win/dlg_single_combo.h"

#include "config/key_tables.h"
#include "outside/KeyCapture/key_capture.h"

namespace q350::pages {

namespace {
// Toggles in ComboCapture's order: Ctrl, Alt, Shift, Win.
constexpr RECT kToggleRects[ComboCapture::kModifierCount] = {
    {59, 45, 72, 58}, {59, 70, 72, 83}, {59, 94, 72, 108}, {58, 119, 72, 133}};
constexpr RECT kKeyTextRect{169, 78, 310, 99};
constexpr RECT kKeyRedrawRect{168, 77, 328, 102};
constexpr COLORREF kKeyColour = RGB(23, 148, 195);
}  // namespace

CDlgSingleCombo::CDlgSingleCombo()
    : CSubPanel(L"QuorvQ300SingleCombDlg", L"combo", L"Combo") {}

void CDlgSingleCombo::BuildControls() {
    font_.Reset(MakePanelFont());
    for (int i = 0; i < ComboCapture::kModifierCount; ++i) {
        CreateSheetButton(toggles_[static_cast<std::size_t>(i)], hwnd_, kToggleRects[i], sheets_,
                          true);
    }
    ShowToggles();
}

void CDlgSingleCombo::ShowToggles() {
    for (int i = 0; i < ComboCapture::kModifierCount; ++i) {
        toggles_[static_cast<std::size_t>(i)].SetCheck(
            capture_.isOn(static_cast<ComboCapture::Modifier>(i)) ? 1 : 0);
    }
}

void CDlgSingleCombo::PaintOver(HDC dc) {
    if (capture_.key() == 0) {
        return;
    }
    const std::u16string name = KeyName(capture_.key());
    DrawPanelText(dc, font_.get(), std::wstring(name.begin(), name.end()), kKeyTextRect,
                  kKeyColour, true);
}

bool CDlgSingleCombo::OnPanelMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT&) {
    switch (msg) {
        case keycapture::kKeyMessage: {
            const auto change = capture_.onKeyEvent(static_cast<int>(wp),
                                                    static_cast<std::uint32_t>(lp & 0xFF));
            if (change == ComboCapture::Change::Modifier) {
                ShowToggles();
            } else if (change == ComboCapture::Change::Key) {
                InvalidateRect(hwnd_, &kKeyRedrawRect, FALSE);
            }
            return true;
        }
        case WM_COMMAND:
            for (int i = 0; i < ComboCapture::kModifierCount; ++i) {
                if (reinterpret_cast<HWND>(lp) == toggles_[static_cast<std::size_t>(i)].hwnd()) {
                    capture_.toggle(static_cast<ComboCapture::Modifier>(i));
                    ShowToggles();
                    return true;
                }
            }
            return false;
        default:
            return false;
    }
}

}  // namespace q350::pages
