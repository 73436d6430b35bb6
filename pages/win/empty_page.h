#pragma once

// A page whose controls are not there yet: the main window's sheet under it and the page's
// title from the language table.
#include "lang/string_ids.h"
#include "pages/win/page_base.h"
#include "skin/win/framework/gdi.h"

namespace q350::pages {

class CEmptyPage : public CPageBase {
public:
    // sheet: the main window's normal sheet (the main window keeps it); origin: the page's place
    // on it.
    CEmptyPage(WinPageHost& host, lang::StringId title, HBITMAP sheet, POINT origin);

protected:
    bool OnInitDialog() override;
    bool OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;

private:
    void Paint();

    lang::StringId title_;
    HBITMAP sheet_;
    POINT origin_;
    ui::Font font_;
};

}  // namespace q350::pages
