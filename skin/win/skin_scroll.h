#pragma once
// CSkinScrollBar, a scroll bar drawn from a 9 x 3 grid of picture cells, and CSkinScrollWnd, the
// frame that wraps a window with standard scroll bars and shows skinned bars in their place.
// SkinWndScroll wraps a window.
#include <windows.h>

#include "skin/geometry.h"
#include "skin/win/framework/window.h"

namespace q350::ui {

class CSkinScrollBar : public Window {
public:
    bool Create(HWND parent, const RECT& rect, UINT id, bool vertical, HBITMAP skin);
    void SetInfo(const skin::ScrollInfo& info, bool redraw = true);
    const skin::ScrollInfo& info() const { return info_; }
    skin::ScrollLayout Layout() const;
    bool vertical() const { return vertical_; }

protected:
    bool OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;

private:
    void Paint(HDC dc);
    void Send(int request, int pos = 0);
    int Along(LPARAM lp) const;
    bool RepeatStep();

    static constexpr UINT_PTR kRepeatTimer = 100;
    static constexpr UINT_PTR kDelayTimer = 200;
    HBITMAP skin_ = nullptr;  // the frame's
    int cell_ = 18;
    bool vertical_ = true;
    skin::ScrollInfo info_;
    skin::ScrollPart hot_ = skin::ScrollPart::None;
    skin::ScrollPart pressed_ = skin::ScrollPart::None;
    int pressAlong_ = 0;
    int pressPos_ = 0;
    int lastAlong_ = 0;
    bool trackingLeave_ = false;
};

class CSkinScrollWnd : public Window {
public:
    ~CSkinScrollWnd() override;
    CSkinScrollBar& vbar() { return vbar_; }
    CSkinScrollBar& hbar() { return hbar_; }
    HWND limit() const { return limit_; }
    // Copies the wrapped window's scroll information into the bars when it differs.
    void SyncBars();

protected:
    bool OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;
    void OnFinalMessage() override { delete this; }

private:
    friend CSkinScrollWnd* SkinWndScroll(HWND window, HBITMAP skin);
    static LRESULT CALLBACK WrappedProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
    void LayOut();
    void Detach();

    HWND wrapped_ = nullptr;
    HWND oldParent_ = nullptr;
    WNDPROC wrappedProc_ = nullptr;
    HWND limit_ = nullptr;
    HBITMAP skin_ = nullptr;  // the caller's, alive while the frame is
    int cell_ = 18;
    CSkinScrollBar vbar_;
    CSkinScrollBar hbar_;
    bool forwarding_ = false;
};

// Wraps window (a list box of the macro pages) in a frame with skinned scroll bars drawn from
// skin (bitmap resource 147). Returns the frame, which frees itself with the wrapped window.
CSkinScrollWnd* SkinWndScroll(HWND window, HBITMAP skin);

}  // namespace q350::ui
