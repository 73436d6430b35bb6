#include "skin/win/framework/window.h"

#include <map>
#include <mutex>
#include <string>
#include <unordered_map>
#include <vector>

namespace q350::ui {

namespace {

// The object of every bound window. Looked up for every message of every window, so it is kept
// in the process: a window property costs a trip to the window server on some systems.
struct BoundWindows {
    std::mutex lock;
    std::unordered_map<HWND, Window*> objects;
};
BoundWindows& Bound() {
    static BoundWindows table;
    return table;
}

// System procedures behind the superclasses, by class name.
std::map<std::wstring, WNDPROC>& BaseProcs() {
    static std::map<std::wstring, WNDPROC> procs;
    return procs;
}

WNDPROC BaseProcOfClass(HWND hwnd) {
    wchar_t name[128] = {};
    GetClassNameW(hwnd, name, 128);
    const auto it = BaseProcs().find(name);
    return it != BaseProcs().end() ? it->second : DefWindowProcW;
}

// The dialog being created on this thread; it binds at its first message.
thread_local Dialog* tPendingDialog = nullptr;

// The modal loops running on this thread, and the close waiting for the outermost to end.
struct ModalState {
    int depth = 0;
    std::vector<Dialog*> dialogs;  // framework dialogs in DoModal, outermost first
    HWND closeTarget = nullptr;  // still to get WM_CLOSE when the outermost loop ends
    HWND closingWindow = nullptr;  // the window whose close is under way, until it is destroyed
    bool closing = false;
};
thread_local ModalState tModal;

// The window whose close was deferred is gone: the program may run modal loops again.
void ForgetClosingWindow(HWND hwnd) {
    if (tModal.closing && tModal.closingWindow == hwnd) {
        tModal.closing = false;
        tModal.closingWindow = nullptr;
        tModal.closeTarget = nullptr;
    }
}

// Ends a system dialog (message box, file or folder dialog) of this thread as its Cancel would.
BOOL CALLBACK CancelSystemDialog(HWND hwnd, LPARAM) {
    wchar_t name[16] = {};
    GetClassNameW(hwnd, name, 16);
    if (IsWindowVisible(hwnd) && std::wstring(name) == L"#32770" &&
        Window::FromHandle(hwnd) == nullptr) {
        PostMessageW(hwnd, WM_COMMAND, IDCANCEL, 0);
    }
    return TRUE;
}

// Child window that a notification comes from, or null.
HWND NotificationSource(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_COMMAND:
            return reinterpret_cast<HWND>(lp);
        case WM_DRAWITEM: {
            const auto* dis = reinterpret_cast<const DRAWITEMSTRUCT*>(lp);
            return dis->CtlType == ODT_MENU ? nullptr : dis->hwndItem;
        }
        case WM_CTLCOLORBTN:
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORLISTBOX:
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLORSCROLLBAR:
            return reinterpret_cast<HWND>(lp);
        default:
            (void)wp;
            return nullptr;
    }
}

}  // namespace

Window::~Window() {
    if (dispatching_ > 0) {
        // A fault of the program: whatever called into this object goes on in freed memory.
        OutputDebugStringW(L"window framework: a window object was destroyed while its own code "
                           L"was running\n");
    }
    if (hwnd_ != nullptr && FromHandle(hwnd_) == this) {
        // Derived parts are gone: from here on the window gets the default handling only.
        DestroyWindow(hwnd_);
    }
    if (hwnd_ != nullptr)
        Unbind();
}

Window* Window::FromHandle(HWND hwnd) {
    if (hwnd == nullptr)
        return nullptr;
    BoundWindows& bound = Bound();
    std::lock_guard<std::mutex> hold(bound.lock);
    const auto it = bound.objects.find(hwnd);
    return it != bound.objects.end() ? it->second : nullptr;
}

void Window::Bind(HWND hwnd) {
    hwnd_ = hwnd;
    BoundWindows& bound = Bound();
    std::lock_guard<std::mutex> hold(bound.lock);
    bound.objects[hwnd] = this;
}

void Window::Unbind() {
    if (hwnd_ == nullptr)
        return;
    if (subclassed_ && IsWindow(hwnd_)) {
        if (reinterpret_cast<WNDPROC>(GetWindowLongPtrW(hwnd_, GWLP_WNDPROC)) == WindowProc) {
            SetWindowLongPtrW(hwnd_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(baseProc_));
        }
    }
    {
        BoundWindows& bound = Bound();
        std::lock_guard<std::mutex> hold(bound.lock);
        const auto it = bound.objects.find(hwnd_);
        if (it != bound.objects.end() && it->second == this)
            bound.objects.erase(it);
    }
    subclassed_ = false;
    hwnd_ = nullptr;
}

bool Window::Create(const wchar_t* className, const wchar_t* text, DWORD style, DWORD exStyle,
                    const RECT& r, HWND parent, UINT_PTR id) {
    if (hwnd_ != nullptr)
        return false;
    const auto it = BaseProcs().find(className);
    baseProc_ = it != BaseProcs().end() ? it->second : DefWindowProcW;
    const HWND hwnd = CreateWindowExW(exStyle, className, text, style, r.left, r.top,
                                      r.right - r.left, r.bottom - r.top, parent,
                                      reinterpret_cast<HMENU>(id), GetModuleHandleW(nullptr), this);
    if (hwnd == nullptr) {
        if (hwnd_ != nullptr)
            Unbind();
        return false;
    }
    return true;
}

bool Window::Subclass(HWND hwnd) {
    if (hwnd_ != nullptr || hwnd == nullptr || FromHandle(hwnd) != nullptr)
        return false;
    baseProc_ = reinterpret_cast<WNDPROC>(GetWindowLongPtrW(hwnd, GWLP_WNDPROC));
    Bind(hwnd);
    subclassed_ = true;
    SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(WindowProc));
    return true;
}

void Window::Destroy() {
    if (hwnd_ != nullptr)
        DestroyWindow(hwnd_);
}

RECT Window::ClientRect() const {
    RECT rc{};
    if (hwnd_)
        GetClientRect(hwnd_, &rc);
    return rc;
}

LRESULT Window::Default(UINT msg, WPARAM wp, LPARAM lp) {
    if (dynamic_cast<Dialog*>(this) != nullptr && !subclassed_) {
        return 0;  // dialogs: returning "not handled" hands the message to the dialog manager
    }
    return CallWindowProcW(baseProc_ ? baseProc_ : DefWindowProcW, hwnd_, msg, wp, lp);
}

bool Window::OnMessage(UINT, WPARAM, LPARAM, LRESULT&) {
    return false;
}

bool ReflectToChild(HWND from, UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
    Window* child = Window::FromHandle(from);
    if (child == nullptr)
        return false;
    struct Access : Window {
        static bool Offer(Window* w, UINT m, WPARAM a, LPARAM b, LRESULT& r) {
            return static_cast<Access*>(w)->OnMessage(kReflect + m, a, b, r);
        }
    };
    try {
        return Access::Offer(child, msg, wp, lp, result);
    } catch (...) {
        return false;
    }
}

LRESULT Window::Dispatch(UINT msg, WPARAM wp, LPARAM lp) {
    const HWND hwnd = hwnd_;
    LRESULT result = 0;
    bool handled = false;
    if (const HWND source = NotificationSource(msg, wp, lp); source != nullptr && source != hwnd) {
        handled = ReflectToChild(source, msg, wp, lp, result);
    }
    if (!handled) {
        ++dispatching_;
        try {
            handled = OnMessage(msg, wp, lp, result);
        } catch (...) {
            handled = false;
        }
        --dispatching_;
    }
    if (msg == WM_NCDESTROY) {
        ForgetClosingWindow(hwnd);
        const WNDPROC base = baseProc_;
        Unbind();
        result = CallWindowProcW(base ? base : DefWindowProcW, hwnd, msg, wp, lp);
        OnFinalMessage();
        return result;
    }
    if (!handled)
        result = Default(msg, wp, lp);
    return result;
}

LRESULT CALLBACK Window::WindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    Window* w = FromHandle(hwnd);
    if (w == nullptr && msg == WM_NCCREATE) {
        w = static_cast<Window*>(reinterpret_cast<CREATESTRUCTW*>(lp)->lpCreateParams);
        if (w != nullptr)
            w->Bind(hwnd);
    }
    if (w == nullptr)
        return CallWindowProcW(BaseProcOfClass(hwnd), hwnd, msg, wp, lp);
    return w->Dispatch(msg, wp, lp);
}

bool RegisterWindowClass(const wchar_t* name, UINT style, HCURSOR cursor, HBRUSH background) {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    const HINSTANCE inst = GetModuleHandleW(nullptr);
    if (GetClassInfoExW(inst, name, &wc))
        return true;
    wc.cbSize = sizeof(wc);
    wc.style = style;
    wc.lpfnWndProc = Window::WindowProc;
    wc.hInstance = inst;
    wc.hCursor = cursor ? cursor : LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = background;
    wc.lpszClassName = name;
    return RegisterClassExW(&wc) != 0;
}

bool RegisterSuperclass(const wchar_t* name, const wchar_t* base) {
    const HINSTANCE inst = GetModuleHandleW(nullptr);
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    if (GetClassInfoExW(inst, name, &wc))
        return true;
    if (!GetClassInfoExW(nullptr, base, &wc))
        return false;
    BaseProcs()[name] = wc.lpfnWndProc;
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = Window::WindowProc;
    wc.hInstance = inst;
    wc.lpszClassName = name;
    wc.style &= ~CS_GLOBALCLASS;
    return RegisterClassExW(&wc) != 0;
}

// ---- modal loops --------------------------------------------------------------------------------

ModalLoop::ModalLoop() {
    ++tModal.depth;
}

ModalLoop::~ModalLoop() {
    if (--tModal.depth == 0 && tModal.closeTarget != nullptr) {
        const HWND target = tModal.closeTarget;
        tModal.closeTarget = nullptr;
        PostMessageW(target, WM_CLOSE, 0, 0);
    }
}

bool ModalLoop::Running() {
    return tModal.depth > 0;
}

bool ModalLoop::Closing() {
    return tModal.closing;
}



bool ModalLoop::DeferClose(HWND window) {
    if (tModal.depth == 0) {
        return false;
    }
    tModal.closeTarget = window;
    tModal.closingWindow = window;
    tModal.closing = true;
    // Inner loops first: an outer dialog's end takes effect once the inner ones have returned.
    for (auto it = tModal.dialogs.rbegin(); it != tModal.dialogs.rend(); ++it) {
        if ((*it)->hwnd() != nullptr) {
            EndDialog((*it)->hwnd(), IDCANCEL);
        }
    }
    EnumThreadWindows(GetCurrentThreadId(), CancelSystemDialog, 0);
    EndMenu();
    return true;
}

// ---- dialogs ----------------------------------------------------------------------------------

std::wstring Dialog::BuildTemplate() const {
    // DLGTEMPLATE followed by menu, class, title and, with DS_SETFONT, the font; all in WORDs.
    std::wstring t;
    auto word = [&](WORD w) { t.push_back(static_cast<wchar_t>(w)); };
    auto dword = [&](DWORD d) {
        word(LOWORD(d));
        word(HIWORD(d));
    };
    const DWORD style = template_.style | (template_.font ? DS_SETFONT : 0);
    dword(style);
    dword(template_.exStyle);
    word(0);  // no controls
    word(0);  // x
    word(0);  // y
    word(static_cast<WORD>(template_.width));
    word(static_cast<WORD>(template_.height));
    word(0);  // no menu
    word(0);  // the standard dialog class
    t.append(template_.title ? template_.title : L"");
    word(0);
    if (template_.font) {
        word(template_.fontSize);
        t.append(template_.font);
        word(0);
    }
    return t;
}

INT_PTR Dialog::DoModal(HWND parent) {
    if (hwnd_ != nullptr)
        return -1;
    // The program is closing: the dialog ends at once, as if cancelled.
    if (tModal.closing)
        return IDCANCEL;
    const std::wstring t = BuildTemplate();
    modal_ = true;
    ModalLoop loop;
    tModal.dialogs.push_back(this);
    tPendingDialog = this;
    const INT_PTR r = DialogBoxIndirectParamW(GetModuleHandleW(nullptr),
                                              reinterpret_cast<const DLGTEMPLATE*>(t.data()),
                                              parent, DialogProc, reinterpret_cast<LPARAM>(this));
    tPendingDialog = nullptr;
    std::erase(tModal.dialogs, this);
    return r;
}

bool Dialog::CreateModeless(HWND parent) {
    if (hwnd_ != nullptr)
        return false;
    const std::wstring t = BuildTemplate();
    modal_ = false;
    tPendingDialog = this;
    const HWND hwnd = CreateDialogIndirectParamW(
        GetModuleHandleW(nullptr), reinterpret_cast<const DLGTEMPLATE*>(t.data()), parent,
        DialogProc, reinterpret_cast<LPARAM>(this));
    tPendingDialog = nullptr;
    return hwnd != nullptr;
}

void Dialog::End(INT_PTR result) {
    if (hwnd_ == nullptr)
        return;
    if (modal_) {
        EndDialog(hwnd_, result);
    } else {
        DestroyWindow(hwnd_);
    }
}

INT_PTR CALLBACK Dialog::DialogProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    auto* d = dynamic_cast<Dialog*>(FromHandle(hwnd));
    if (d == nullptr) {
        d = msg == WM_INITDIALOG ? reinterpret_cast<Dialog*>(lp) : tPendingDialog;
        if (d == nullptr)
            return FALSE;
        d->Bind(hwnd);
    }
    if (msg == WM_INITDIALOG) {
        try {
            return d->OnInitDialog() ? TRUE : FALSE;
        } catch (...) {
            return TRUE;
        }
    }
    LRESULT result = 0;
    bool handled = false;
    if (const HWND source = NotificationSource(msg, wp, lp); source != nullptr && source != hwnd) {
        handled = ReflectToChild(source, msg, wp, lp, result);
    }
    if (!handled) {
        ++d->dispatching_;
        try {
            handled = d->OnMessage(msg, wp, lp, result);
        } catch (...) {
            handled = false;
        }
        --d->dispatching_;
    }
    if (msg == WM_NCDESTROY) {
        ForgetClosingWindow(hwnd);
        d->Unbind();
        d->OnFinalMessage();
        return FALSE;
    }
    if (!handled)
        return FALSE;
    switch (msg) {
        case WM_CTLCOLORBTN:
        case WM_CTLCOLORDLG:
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORLISTBOX:
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLORSCROLLBAR:
        case WM_COMPAREITEM:
        case WM_VKEYTOITEM:
        case WM_CHARTOITEM:
        case WM_QUERYDRAGICON:
            return static_cast<INT_PTR>(result);
        default:
            SetWindowLongPtrW(hwnd, DWLP_MSGRESULT, result);
            return TRUE;
    }
}

}  // namespace q350::ui
