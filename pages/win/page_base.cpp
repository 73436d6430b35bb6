#include "pages/win/page_base.h"

#include "skin/win/framework/gdi.h"
#include "skin/win/images.h"

namespace q350::pages {

namespace {
ui::Dialog::Template PageTemplate() {
    ui::Dialog::Template t;
    t.style = WS_CHILD | WS_CLIPSIBLINGS | DS_SETFONT;
    return t;
}

bool IsEditControl(HWND hwnd) {
    wchar_t name[16] = {};
    GetClassNameW(hwnd, name, 16);
    return lstrcmpiW(name, L"Edit") == 0;
}
}  // namespace

CPageBase::CPageBase(WinPageHost& host) : Dialog(PageTemplate()), host_(host) {}

bool CPageBase::Create(HWND parent, const RECT& rect) {
    if (!CreateModeless(parent)) {
        return false;
    }
    SetWindowPos(hwnd_, nullptr, rect.left, rect.top, rect.right - rect.left,
                 rect.bottom - rect.top, SWP_NOZORDER | SWP_NOACTIVATE);
    return true;
}

void CPageBase::Show(bool shown) {
    if (hwnd_ != nullptr) {
        ShowWindow(hwnd_, shown ? SW_SHOW : SW_HIDE);
    }
}

void CPageBase::PostHint(int code) const {
    if (const HWND main = host_.mainWindow()) {
        PostMessageW(main, kMsgHint, 0, code);
    }
}

void DrawSheet(HDC dc, HBITMAP sheet, POINT origin, const RECT& area) {
    if (sheet == nullptr) {
        FillRect(dc, &area, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
        return;
    }
    ui::MemoryDc mem(dc);
    ui::SelectGuard keep(mem.get(), sheet);
    BitBlt(dc, area.left, area.top, area.right - area.left, area.bottom - area.top, mem.get(),
           origin.x + area.left, origin.y + area.top, SRCCOPY);
}

std::wstring LayoutSkinPath(const std::wstring& name, bool chineseLayout) {
    if (chineseLayout) {
        std::wstring chinese = ui::SkinPath(L"chs\\" + name);
        if (GetFileAttributesW(chinese.c_str()) != INVALID_FILE_ATTRIBUTES) {
            return chinese;
        }
    }
    return ui::SkinPath(name);
}

SIZE LoadLayoutSheets(std::span<const wchar_t* const> names, bool chineseLayout,
                      ui::Bitmap* sheets) {
    SIZE first{};
    for (std::size_t i = 0; i < names.size(); ++i) {
        SIZE size{};
        ui::LoadPictureFile(LayoutSkinPath(names[i], chineseLayout).c_str(), sheets[i], size);
        if (i == 0) {
            first = size;
        }
    }
    return first;
}

bool IsDialogKey(UINT message, WPARAM vk) {
    return (message == WM_KEYDOWN || message == WM_KEYUP) &&
           (vk == VK_RETURN || vk == VK_ESCAPE || vk == VK_SPACE);
}

ModalKeyFilter::ModalKeyFilter()
    : hook_(SetWindowsHookExW(WH_MSGFILTER, FilterProc, nullptr, GetCurrentThreadId())) {}

ModalKeyFilter::~ModalKeyFilter() {
    if (hook_ != nullptr) {
        UnhookWindowsHookEx(hook_);
    }
}

LRESULT CALLBACK ModalKeyFilter::FilterProc(int code, WPARAM wp, LPARAM lp) {
    if (code == MSGF_DIALOGBOX && lp != 0) {
        const MSG* m = reinterpret_cast<const MSG*>(lp);
        if (IsDialogKey(m->message, m->wParam) && !IsEditControl(m->hwnd)) {
            return 1;  // dropped
        }
    }
    return CallNextHookEx(nullptr, code, wp, lp);
}

}  // namespace q350::pages
