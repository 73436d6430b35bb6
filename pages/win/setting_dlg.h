#pragma once

// CSettingDlg: the button setting panel the mouse page opens for one button. Four tabs (key
// combination, macro, basic function, advanced function), "Disable key", OK, Restore and close;
// it hands its choice back as a result and changes no record itself.
#include <array>
#include <memory>
#include <string>

#include "pages/setting_panel_model.h"
#include "pages/win/dlg_advance.h"
#include "pages/win/dlg_base.h"
#include "pages/win/dlg_macro_set.h"
#include "pages/win/dlg_single_combo.h"
#include "pages/win/page_base.h"
#include "pages/win/sub_panel.h"

namespace q350::pages {

class CSettingDlg : public ui::Dialog {
public:
    CSettingDlg(WinPageHost& host, int button, std::wstring currentFunction);
    ~CSettingDlg() override;

    // Runs the panel modally over page; true when it ended with OK (the result is then set).
    bool Run(HWND page);
    const PanelResult& result() const { return result_; }

    // For tests: the panel's parts.
    const SettingPanelModel& model() const { return model_; }
    CDlgSingleCombo& combo() { return combo_; }
    CDlgBase& basic() { return basic_; }
    CDlgMacroSet& macroSet() { return macroSet_; }
    CDlgAdvance& advanced() { return advanced_; }

protected:
    bool OnInitDialog() override;
    bool OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;

private:
    void SelectTab(int tab);
    void ApplyHook(SettingPanelModel::Hook hook);
    void ShowTabs();
    void OnCommand(HWND from);
    void Finish(bool ok);
    void Paint();

    WinPageHost& host_;
    SettingPanelModel model_;
    std::wstring currentFunction_;
    PanelResult result_;
    HWND page_ = nullptr;

    PanelSheets sheets_;
    ui::Font font_;
    ui::CGDIBitmapBtn close_, ok_, restore_, disable_;
    std::array<ui::CGDIBitmapBtn, 4> tabs_;  // tabs 2..5

    CDlgSingleCombo combo_;
    CDlgMacroSet macroSet_;
    CDlgBase basic_;
    CDlgAdvance advanced_;
};

}  // namespace q350::pages
