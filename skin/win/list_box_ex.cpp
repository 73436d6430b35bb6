#include "skin/win/list_box_ex.h"

#include <windowsx.h>

#include <memory>

#include "skin/looks.h"
#include "skin/win/framework/gdiplus_include.h"
#include "skin/win/images.h"
#include "skin/win/skin_ids.h"

namespace q350::ui {

namespace {

const wchar_t* ListClass() {
    static const bool registered = RegisterSuperclass(L"Q350ListBox", L"LISTBOX");
    (void)registered;
    return L"Q350ListBox";
}

// Only one in-place edit exists in the program at a time.
CListBoxEx* gEditingList = nullptr;

}  // namespace

// The edit window over a row: Enter (on release) and focus loss end the edit with a notice,
// Escape ends it without one.
class CListBoxEx::InPlaceEdit : public Window {
public:
    explicit InPlaceEdit(CListBoxEx& list) : list_(list) {}

protected:
    bool OnMessage(UINT msg, WPARAM wp, LPARAM, LRESULT& result) override {
        switch (msg) {
            case WM_GETDLGCODE:
                result = DLGC_WANTALLKEYS;
                return true;
            case WM_KEYUP:
                if (wp == VK_RETURN) {
                    list_.EndEdit(true);
                    return true;
                }
                return false;
            case WM_KEYDOWN:
                if (wp == VK_ESCAPE) {
                    CListBoxEx& list = list_;  // this edit is retired by EndEdit
                    const int row = list.editRow_;
                    list.EndEdit(false);
                    SendMessageW(list.hwnd(), LB_SETCURSEL, static_cast<WPARAM>(row), 0);
                    InvalidateRect(list.hwnd(), nullptr, TRUE);
                    return true;
                }
                return wp == VK_RETURN;
            case WM_CHAR:
                return wp == VK_RETURN || wp == VK_ESCAPE;  // no beep
            case WM_KILLFOCUS:
                list_.EndEdit(true);
                return false;
            default:
                return false;
        }
    }

private:
    CListBoxEx& list_;
};

CListBoxEx::CListBoxEx() {
    font_.Reset(MakeFont(14, 400, L"MS Shell Dlg"));
}

CListBoxEx::~CListBoxEx() {
    EndEdit(false);
    delete retired_;
}

bool CListBoxEx::Create(HWND parent, const RECT& rect, UINT id, DWORD style) {
    if (!Window::Create(ListClass(), L"", style, 0, rect, parent, id))
        return false;
    SendMessageW(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), FALSE);
    SendMessageW(hwnd_, LB_SETITEMHEIGHT, 0, skin::kListRowHeight);
    return true;
}

void CListBoxEx::SetRowHeight(int height) {
    if (hwnd_ != nullptr && height > 0) {
        SendMessageW(hwnd_, LB_SETITEMHEIGHT, 0, height);
    }
}

HWND CListBoxEx::Target() const {
    return target_ ? target_ : GetParent(hwnd_);
}

HWND CListBoxEx::editWindow() const {
    return edit_ ? edit_->hwnd() : nullptr;
}

int CListBoxEx::Count() const {
    return static_cast<int>(SendMessageW(hwnd_, LB_GETCOUNT, 0, 0));
}

std::wstring CListBoxEx::ItemText(int index) const {
    const LRESULT n = SendMessageW(hwnd_, LB_GETTEXTLEN, static_cast<WPARAM>(index), 0);
    if (n == LB_ERR)
        return {};
    std::wstring s(static_cast<std::size_t>(n) + 1, L'\0');
    SendMessageW(hwnd_, LB_GETTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(s.data()));
    s.resize(static_cast<std::size_t>(n));
    return s;
}

int CListBoxEx::AddItem(const std::wstring& text, int kind, DWORD data, bool startEditing) {
    EndEdit(false);
    const int index = static_cast<int>(
        SendMessageW(hwnd_, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str())));
    if (index < 0)
        return index;
    if (kind != 0) {
        SendMessageW(hwnd_, LB_SETITEMDATA, index, skin::PackRowData(kind, data));
        showPictures = 1;
    } else {
        SendMessageW(hwnd_, LB_SETITEMDATA, index, data);
        showPictures = 0;
    }
    SendMessageW(hwnd_, LB_SETCURSEL, index, 0);
    if (startEditing)
        StartEdit(index);
    Invalidate(true);
    return index;
}

int CListBoxEx::InsertItem(int index, int kind, const std::wstring& text, DWORD data) {
    const int at = static_cast<int>(
        SendMessageW(hwnd_, LB_INSERTSTRING, index, reinterpret_cast<LPARAM>(text.c_str())));
    if (at < 0)
        return at;
    SendMessageW(hwnd_, LB_SETITEMDATA, at, skin::PackRowData(kind, data));
    SendMessageW(hwnd_, LB_SETCURSEL, at, 0);
    return at;
}

int CListBoxEx::ReplaceItem(int index, int kind, const std::wstring& text, DWORD data) {
    if (SendMessageW(hwnd_, LB_DELETESTRING, index, 0) == LB_ERR)
        return LB_ERR;
    const int at = static_cast<int>(
        SendMessageW(hwnd_, LB_INSERTSTRING, index, reinterpret_cast<LPARAM>(text.c_str())));
    if (at < 0)
        return at;
    SendMessageW(hwnd_, LB_SETITEMDATA, at, kind != 0 ? skin::PackRowData(kind, data) : data);
    SendMessageW(hwnd_, LB_SETCURSEL, index, 0);
    return at;
}

void CListBoxEx::StartEdit(int row) {
    if (gEditingList)
        gEditingList->EndEdit(true);
    RECT r{};
    if (SendMessageW(hwnd_, LB_GETITEMRECT, row, reinterpret_cast<LPARAM>(&r)) == LB_ERR)
        return;
    static const bool registered = RegisterSuperclass(L"Q350InPlaceEdit", L"EDIT");
    (void)registered;
    auto edit = std::make_unique<InPlaceEdit>(*this);
    if (!edit->Create(L"Q350InPlaceEdit", ItemText(row).c_str(), 0x50801080, 0, r, hwnd_, 0)) {
        return;
    }
    editRow_ = row;
    edit_ = edit.release();
    gEditingList = this;
    SendMessageW(edit_->hwnd(), WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), FALSE);
    SendMessageW(edit_->hwnd(), EM_LIMITTEXT, skin::kInPlaceEditLimit, 0);
    SendMessageW(edit_->hwnd(), EM_SETSEL, 0, -1);
    SetFocus(edit_->hwnd());
}

void CListBoxEx::EndEdit(bool notify) {
    if (edit_ == nullptr || ending_)
        return;
    ending_ = true;  // no second end from the focus loss while the window goes
    const int row = editRow_;
    if (notify && hwnd_) {
        // The target reads the text from the edit window, so it is told before the window goes.
        SendMessageW(Target(), kMsgListEdited, GetDlgCtrlID(hwnd_), row);
    }
    InPlaceEdit* edit = std::exchange(edit_, nullptr);
    editRow_ = -1;
    if (gEditingList == this)
        gEditingList = nullptr;
    edit->Destroy();
    // The edit may be inside its own message handler: free it at the next edit or with the list.
    delete std::exchange(retired_, edit);
    ending_ = false;
}

int CListBoxEx::RowAt(LPARAM lp) const {
    const LRESULT r = SendMessageW(hwnd_, LB_ITEMFROMPOINT, 0, lp);
    if (HIWORD(r) != 0)
        return -1;  // outside every row
    return LOWORD(r);
}

void CListBoxEx::DrawRow(const DRAWITEMSTRUCT& dis) {
    const HDC dc = dis.hDC;
    RECT r = dis.rcItem;
    const bool selected = (dis.itemState & ODS_SELECTED) != 0;
    if (selected) {
        if (selectedFill != CLR_INVALID) {
            Brush fill(CreateSolidBrush(selectedFill));
            FillRect(dc, &r, fill.get());
        } else {
            FillRect(dc, &r, GetSysColorBrush(COLOR_HIGHLIGHT));
        }
        SetTextColor(dc, selectedText != CLR_INVALID ? selectedText
                                                     : GetSysColor(COLOR_HIGHLIGHTTEXT));
    } else {
        FillRect(dc, &r, background_ ? background_ : GetSysColorBrush(COLOR_WINDOW));
        SetTextColor(dc, textColour != CLR_INVALID ? textColour : GetSysColor(COLOR_WINDOWTEXT));
    }
    if (dis.itemState & ODS_DISABLED)
        SetTextColor(dc, GetSysColor(COLOR_BTNSHADOW));
    if (dis.itemID == static_cast<UINT>(-1))
        return;
    const int kind = skin::RowKind(static_cast<std::uint32_t>(dis.itemData));
    const bool pictures = showPictures == 1;
    if (pictures && kind >= 2 && kind <= 4) {
        const std::wstring_view name16 = [&] {
            const auto n = skin::RowPictureName(kind, selected);
            return std::wstring_view(reinterpret_cast<const wchar_t*>(n.data()), n.size());
        }();
        if (auto picture = LoadImageFile(SkinPath(std::wstring(name16)))) {
            Gdiplus::Graphics g(dc);
            g.DrawImage(picture.get(), r.left + 5, r.top + 1, skin::kListPictureSize,
                        skin::kListPictureSize);
        }
    }
    const std::wstring text = ItemText(static_cast<int>(dis.itemID));
    SetBkMode(dc, TRANSPARENT);
    SelectGuard sel(dc, font_.get());
    RECT tr{skin::RowTextLeft(r.left, pictures ? kind : 0, pictures), r.top, r.right, r.bottom};
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &tr,
              DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_END_ELLIPSIS);
}

bool CListBoxEx::OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
    switch (msg) {
        case kReflect + WM_DRAWITEM:
            DrawRow(*reinterpret_cast<const DRAWITEMSTRUCT*>(lp));
            result = TRUE;
            return true;
        case kReflect + WM_COMMAND:
            if (HIWORD(wp) == LBN_SELCHANGE) {
                const int row = hotRow >= 0
                                    ? hotRow
                                    : static_cast<int>(SendMessageW(hwnd_, LB_GETCURSEL, 0, 0));
                PostMessageW(Target(), kMsgListSelection, GetDlgCtrlID(hwnd_), row);
            }
            return false;
        case kReflect + WM_CTLCOLORLISTBOX:
            result = reinterpret_cast<LRESULT>(IsWindowEnabled(hwnd_) && background_
                                                   ? background_
                                                   : GetSysColorBrush(COLOR_INACTIVEBORDER));
            return true;
        case WM_MOUSEMOVE: {
            if (edit_)
                return false;
            if (!trackingLeave_) {
                TRACKMOUSEEVENT t{sizeof(t), TME_LEAVE, hwnd_, 0};
                trackingLeave_ = TrackMouseEvent(&t) != 0;
            }
            const int row = RowAt(lp);
            if (row != hotRow) {
                RECT r{};
                if (SendMessageW(hwnd_, LB_GETITEMRECT, hotRow, reinterpret_cast<LPARAM>(&r)) !=
                    LB_ERR) {
                    InvalidateRect(hwnd_, &r, FALSE);
                }
                hotRow = row;
                if (SendMessageW(hwnd_, LB_GETITEMRECT, row, reinterpret_cast<LPARAM>(&r)) !=
                    LB_ERR) {
                    InvalidateRect(hwnd_, &r, FALSE);
                }
            }
            return false;
        }
        case WM_MOUSELEAVE:
            trackingLeave_ = false;
            hotRow = -1;
            return false;
        case WM_LBUTTONDBLCLK:
            result = Default(msg, wp, lp);
            if (editableByDoubleClick) {
                const int row = RowAt(lp);
                if (row >= 0 && row < Count())
                    StartEdit(row);
            }
            return true;
        case WM_KILLFOCUS:
            return true;  // the list keeps its look without the focus
        case WM_ENABLE:
            Invalidate(true);
            return false;
        case WM_DESTROY:
            EndEdit(false);
            return false;
        default:
            return false;
    }
}

}  // namespace q350::ui
