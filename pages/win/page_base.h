#pragma once

// The base of the main window's pages: a child dialog in the page area that can be shown and
// hidden, makes its controls reflect the profile record on request and reports hover help to the
// main window. WinPageHost is what the main window offers its pages.
#include <windows.h>

#include <span>
#include <string>

#include "base/settings_store.h"
#include "pages/page_host.h"
#include "skin/win/framework/gdi.h"
#include "skin/win/framework/window.h"

namespace q350::pages {

// Hover help: lParam = hint code, to the main window.
inline constexpr UINT kMsgHint = 2053;
// The menu library's choice: the chosen item's id in the low 16 bits of lParam.
inline constexpr UINT kMsgMenuChoice = 1281;

class WinPageHost : public PageHost {
public:
    // The main window: parent of the pages, receiver of hints.
    virtual HWND mainWindow() const = 0;
    // The program folder, ending with a backslash.
    virtual const std::wstring& programFolder() const = 0;
    // Key delivery of the keyboard-hook library (message 1034 to the receiver); nothing happens
    // when the library did not load.
    virtual void setKeyReceiver(HWND window) = 0;
    virtual void setKeyDelivery(bool on) = 0;
    // The program's settings (the registry), usable from any thread; null when the host keeps
    // none.
    virtual SettingsStore* settings() { return nullptr; }
};

class CPageBase : public ui::Dialog {
public:
    explicit CPageBase(WinPageHost& host);

    // Creates the page hidden as a child of parent at rect (parent coordinates).
    bool Create(HWND parent, const RECT& rect);
    void Show(bool shown);
    // Makes every control reflect the record for the current mode.
    virtual void ShowRecord() { Invalidate(false); }
    // The language changed: texts drawn from the language table are redrawn.
    virtual void LanguageChanged() { Invalidate(false); }
    // Windows is ending the session (or the program is closing): keep what must not be lost.
    virtual void SessionEnding() {}

protected:
    // Posts a hint code to the main window.
    void PostHint(int code) const;

    WinPageHost& host_;
};

// While alive, Enter, Escape and Space reach no dialog of this thread that runs modally (the
// setting panels): their key-down and key-up messages are dropped before the dialog manager sees
// them. Edit controls keep them, so names can still be typed.
class ModalKeyFilter {
public:
    ModalKeyFilter();
    ~ModalKeyFilter();
    ModalKeyFilter(const ModalKeyFilter&) = delete;
    ModalKeyFilter& operator=(const ModalKeyFilter&) = delete;

private:
    static LRESULT CALLBACK FilterProc(int code, WPARAM wp, LPARAM lp);
    HHOOK hook_ = nullptr;
};

// The file of one of a page's pictures: skins\chs\<name> in the Chinese layout where the skin
// has it there, skins\<name> otherwise.
std::wstring LayoutSkinPath(const std::wstring& name, bool chineseLayout);
// Reads a page's sheets for its layout, sheets[i] from names[i]; gives the size of the first.
SIZE LoadLayoutSheets(std::span<const wchar_t* const> names, bool chineseLayout,
                      ui::Bitmap* sheets);

// Copies the part of sheet at origin + area over area of dc (black without a sheet).
void DrawSheet(HDC dc, HBITMAP sheet, POINT origin, const RECT& area);

// Whether a message is a key-down or key-up of Enter, Escape or Space.
bool IsDialogKey(UINT message, WPARAM virtualKey);

}  // namespace q350::pages
