#include "skin/win/bitmap_edit.h"

#include <string>

#include "skin/win/images.h"
#include "skin/win/skin_ids.h"

namespace q350::ui {

bool CBitmapEdit::Create(HWND parent, const RECT& rect, UINT id, DWORD style) {
    static const bool registered = RegisterSuperclass(L"Q350BitmapEdit", L"EDIT");
    (void)registered;
    if (!Window::Create(L"Q350BitmapEdit", L"", style, 0, rect, parent, id))
        return false;
    SendMessageW(hwnd_, EM_LIMITTEXT, 256, 0);
    font_.Reset(MakeFont(fontHeight, 500, nullptr));
    SendMessageW(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), FALSE);
    SetWindowLongPtrW(hwnd_, GWL_STYLE,
                      GetWindowLongPtrW(hwnd_, GWL_STYLE) & ~(WS_BORDER | WS_TABSTOP));
    SetWindowLongPtrW(hwnd_, GWL_EXSTYLE,
                      GetWindowLongPtrW(hwnd_, GWL_EXSTYLE) & ~WS_EX_CLIENTEDGE);
    return true;
}

void CBitmapEdit::SetBackground(HBITMAP picture, int x, int y, int width, int height) {
    WindowDc screen(nullptr);
    CopyBitmapPart(screen.get(), background_, picture, RECT{x, y, x + width, y + height});
    brush_.Reset(background_ ? CreatePatternBrush(background_.get()) : nullptr);
    Invalidate(true);
}

void CBitmapEdit::OnTextChanged() {
    if (limiting_)
        return;
    if (GetWindowLongPtrW(hwnd_, GWL_STYLE) & ES_NUMBER) {
        const int n = GetWindowTextLengthW(hwnd_);
        std::wstring text(static_cast<std::size_t>(n) + 1, L'\0');
        GetWindowTextW(hwnd_, text.data(), n + 1);
        text.resize(static_cast<std::size_t>(n));
        const std::u16string t16(text.begin(), text.end());
        if (const auto limited = skin::LimitDigitsText(t16, min, max)) {
            limiting_ = true;
            const std::wstring w(limited->begin(), limited->end());
            SetWindowTextW(hwnd_, w.c_str());
            SendMessageW(hwnd_, EM_SETSEL, w.size(), w.size());
            limiting_ = false;
        }
    }
    PostMessageW(GetParent(hwnd_), kMsgEditChanged, reinterpret_cast<WPARAM>(hwnd_),
                 GetDlgCtrlID(hwnd_));
    Invalidate(true);
}

bool CBitmapEdit::OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
    switch (msg) {
        case kReflect + WM_COMMAND:
            if (HIWORD(wp) == EN_CHANGE)
                OnTextChanged();
            return false;
        case kReflect + WM_CTLCOLOREDIT:
        case kReflect + WM_CTLCOLORSTATIC: {
            const auto dc = reinterpret_cast<HDC>(wp);
            SetTextColor(dc, skin::kEditText);
            SetBkMode(dc, TRANSPARENT);
            if (brush_)
                SetBrushOrgEx(dc, 0, 0, nullptr);  // the pattern starts at the box
            result =
                reinterpret_cast<LRESULT>(brush_ ? brush_.get() : GetSysColorBrush(COLOR_WINDOW));
            return true;
        }
        default:
            (void)lp;
            return false;
    }
}

}  // namespace q350::ui
