#pragma once

// A page of the main window before its controls exist: a child window in the page area that shows
// the window's normal sheet under it and the page's title from the language table.
#include <windows.h>

#include "lang/string_ids.h"
#include "skin/win/framework/gdi.h"
#include "skin/win/framework/window.h"

namespace q350::app {

class EmptyPage : public ui::Dialog {
public:
    EmptyPage(lang::StringId title, HBITMAP sheet);
    // Creates the page as a child of parent at rect, hidden.
    bool Create(HWND parent, const RECT& rect);
    // Re-reads what the page shows (the profile, the language) and redraws.
    void Refresh();
    void Show(bool shown);

protected:
    bool OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;

private:
    void Paint();

    lang::StringId title_;
    HBITMAP sheet_;  // the main window's normal sheet, owned by the main window
    RECT rect_{};
    ui::Font font_;
};

}  // namespace q350::app
