#pragma once

// CDlgMacroSet: the macro tab. Games on the left, the macros of the selected game on the right.
#include "pages/assign_panels_model.h"
#include "pages/win/sub_panel.h"
#include "skin/win/list_box_ex.h"

namespace q350::pages {

class CDlgMacroSet : public CSubPanel {
public:
    // library: the program's macro library; chinese: the game names' language.
    CDlgMacroSet(const MacroLibrary& library, bool chinese);
    // Kind 6 with the selected macro's id, or value 0 when no macro is selected.
    PanelResult Result() const;
    int gameRow() const { return gameRow_; }

protected:
    void BuildControls() override;
    bool OnPanelMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;

private:
    void FillMacros(int gameRow);

    const MacroLibrary& library_;
    bool chinese_;
    int gameRow_ = -1;
    ui::CListBoxEx games_;
    ui::CListBoxEx macros_;
    ui::Bitmap scrollSkin_;
    ui::Brush background_;
};

}  // namespace q350::pages
