#pragma once

// CDlgAdvance: the advanced tab. A sound to play, or a program, file or folder to open when the
// button is pressed; the path is chosen with the system's file dialog or folder browser.
#include <array>

#include "pages/assign_panels_model.h"
#include "pages/win/sub_panel.h"

namespace q350::pages {

class CDlgAdvance : public CSubPanel {
public:
    explicit CDlgAdvance(int button);
    PanelResult Result() const { return choices_.result(); }
    const AdvancedChoices& choices() const { return choices_; }

protected:
    void BuildControls() override;
    void PaintOver(HDC dc) override;
    bool OnPanelMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;

private:
    void Choose(int row);
    void Browse(int row);

    AdvancedChoices choices_;
    std::array<ui::CGDIBitmapBtn, kAdvancedRowCount> choice_, pathBox_, browse_;
    ui::Font font_;
};

// Asks the user for a file of the row's kind (open dialog, no owner); empty when cancelled.
std::u16string AskForFile(const BrowseSpec& browse);
// Asks for a folder with the shell's folder browser; empty when cancelled or not a file-system
// folder.
std::u16string AskForFolder();

}  // namespace q350::pages
