#pragma once

// CDlgBase: the basic-function tab of the button setting panel, one list of 36 functions.
#include "pages/win/sub_panel.h"
#include "skin/win/list_box_ex.h"

namespace q350::pages {

class CDlgBase : public CSubPanel {
public:
    CDlgBase();
    // The function code of the selected row; 0 when none is selected.
    std::int32_t SelectedCode() const;
    ui::CListBoxEx& list() { return list_; }

protected:
    void BuildControls() override;

private:
    ui::CListBoxEx list_;
    ui::Bitmap scrollSkin_;
    ui::Brush background_;
};

// The look shared by the panels' lists: dark rows, light selection, a skinned scroll bar.
void StyleSkinList(ui::CListBoxEx& list, HBRUSH background, int rowHeight);
// The list style the panels create their lists with.
inline constexpr DWORD kPanelListStyle =
    WS_CHILD | WS_VISIBLE | WS_VSCROLL | LBS_NOTIFY | LBS_OWNERDRAWFIXED | LBS_HASSTRINGS |
    LBS_NOINTEGRALHEIGHT;
inline constexpr COLORREF kPanelListBackground = RGB(15, 15, 15);

}  // namespace q350::pages
