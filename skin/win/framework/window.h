#pragma once
// The window framework: a C++ object per window, bound to its handle when the window is created
// (or when an existing window is subclassed), with one message function per class.
//
// - Our own classes are registered with RegisterWindowClass; system controls are used through
//   superclasses (RegisterSuperclass), so every window binds at WM_NCCREATE through
//   lpCreateParams and keeps the system control's behaviour behind Default().
// - A parent hands WM_COMMAND, WM_DRAWITEM, WM_MEASUREITEM and WM_CTLCOLOR* from a child control
//   first to the child's object (as kReflect + message); whatever the child leaves unhandled goes
//   to the parent's own OnMessage.
// - No exception leaves a window procedure: one thrown by a handler ends in Default().
#include <windows.h>

#include <string>

namespace q350::ui {

// Reflected notifications arrive at the child as kReflect + the original message number.
inline constexpr UINT kReflect = 0x2000;

class Window {
public:
    Window() = default;
    virtual ~Window();
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;

    HWND hwnd() const { return hwnd_; }
    // The object bound to a window, or null.
    static Window* FromHandle(HWND hwnd);

    // Creates a window of a class registered through this framework; the object is bound before
    // the window's first message is handled.
    bool Create(const wchar_t* className, const wchar_t* text, DWORD style, DWORD exStyle,
                const RECT& rect, HWND parent, UINT_PTR id);
    // Binds the object to an existing window by replacing its window procedure.
    bool Subclass(HWND hwnd);
    // Destroys the window (the object stays).
    void Destroy();

    // Timers of this window.
    bool StartTimer(UINT_PTR id, UINT ms) { return SetTimer(hwnd_, id, ms, nullptr) != 0; }
    void StopTimer(UINT_PTR id) { KillTimer(hwnd_, id); }
    RECT ClientRect() const;
    void Invalidate(bool erase = false) const {
        if (hwnd_)
            InvalidateRect(hwnd_, nullptr, erase ? TRUE : FALSE);
    }

    // The procedure of every window served by the framework.
    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);

    // Runs the class's default handling of the message being handled (or any message).
    LRESULT Default(UINT msg, WPARAM wp, LPARAM lp);

protected:
    // Handles one message; returns false to leave it to the default handling. For reflected
    // messages (kReflect + n) false lets the parent handle the original.
    virtual bool OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result);
    // The window's handle is gone (after WM_NCDESTROY). An object that owns itself deletes
    // itself here.
    virtual void OnFinalMessage() {}

    // Dispatch used by the window procedures of the framework.
    LRESULT Dispatch(UINT msg, WPARAM wp, LPARAM lp);
    void Bind(HWND hwnd);
    void Unbind();

    friend class Dialog;

    HWND hwnd_ = nullptr;
    WNDPROC baseProc_ = nullptr;  // the class's own procedure, or the replaced one
    bool subclassed_ = false;
    // Messages of this object being handled right now (nested through modal loops and sends).
    // An object destroyed while it is above zero has code still running on the stack.
    int dispatching_ = 0;
};

// Marks a modal loop of the program for as long as it runs: a modal dialog of the framework (done
// by Dialog::DoModal itself), a system message box, file or folder dialog or a popup menu (a guard
// around the call). A close of the program that arrives while such a loop runs must not destroy
// windows whose code is still on the stack below the loop: DeferClose remembers it, ends the open
// loops as their Cancel would, and the end of the outermost loop posts WM_CLOSE to the window
// again, to be carried out from the main message loop.
class ModalLoop {
public:
    ModalLoop();
    ~ModalLoop();
    ModalLoop(const ModalLoop&) = delete;
    ModalLoop& operator=(const ModalLoop&) = delete;

    // True while any modal loop of this thread runs.
    static bool Running();
    // True from a deferred close until its window is destroyed; modal dialogs opened meanwhile
    // end at once.
    static bool Closing();
    // When a modal loop runs: remembers that window is to close, ends the loops and returns true.
    // Otherwise returns false and the caller closes now.
    static bool DeferClose(HWND window);
};

// Registers a class whose windows are served by the framework.
bool RegisterWindowClass(const wchar_t* name, UINT style, HCURSOR cursor, HBRUSH background);
// Registers `name` as a copy of the system class `base` served by the framework.
bool RegisterSuperclass(const wchar_t* name, const wchar_t* base);

// Offers a notification from child window `from` to its object; true when the child handled it.
bool ReflectToChild(HWND from, UINT msg, WPARAM wp, LPARAM lp, LRESULT& result);

// A dialog made from an empty in-memory template (no controls: every control is created in code).
class Dialog : public Window {
public:
    struct Template {
        DWORD style = WS_POPUP | DS_SETFONT;
        DWORD exStyle = 0;
        int width = 10;  // dialog units; the dialogs here size themselves anyway
        int height = 10;
        const wchar_t* title = L"";
        const wchar_t* font = L"MS Shell Dlg";
        WORD fontSize = 8;
    };
    explicit Dialog(Template t) : template_(t) {}

    // Runs the dialog modally; returns its end code, or -1 when it could not be created.
    INT_PTR DoModal(HWND parent);
    // Creates the dialog modeless.
    bool CreateModeless(HWND parent);
    void End(INT_PTR result);

protected:
    // Called at WM_INITDIALOG; return false to keep the focus where it was set.
    virtual bool OnInitDialog() { return true; }

private:
    static INT_PTR CALLBACK DialogProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
    std::wstring BuildTemplate() const;

    Template template_;
    bool modal_ = false;
};

}  // namespace q350::ui
