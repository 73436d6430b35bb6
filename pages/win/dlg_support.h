#pragma once

// CDlgSupport: the support page. Shows the software's and the mouse's firmware version, checks
// the update server for newer software and firmware (a newer firmware is downloaded, checked and
// handed to the flasher, and the program closes), opens the maker's web site, restores the
// default settings (the main window does the work on 2054) and imports and exports the active
// profile through the system's file dialogs.
#include <windows.h>

#include <array>
#include <memory>
#include <string>

#include "config/profile_files.h"
#include "pages/support_page_model.h"
#include "pages/update_check.h"
#include "pages/win/flasher_win.h"
#include "pages/win/page_base.h"
#include "pages/win/url_downloader_win.h"
#include "skin/win/framework/gdi.h"
#include "skin/win/gdi_bitmap_btn.h"

namespace q350::pages {

// To the main window: restore the default settings (no parameters).
inline constexpr UINT kMsgRestoreDefaults = 2054;

class CDlgSupport : public CPageBase {
public:
    // chineseLayout: the pictures of the Chinese layout, where the skin has them.
    CDlgSupport(WinPageHost& host, ProfileFiles& files, bool chineseLayout);
    ~CDlgSupport() override;

    // The mouse's firmware version in decimal, or empty when it is not known.
    void SetFirmwareText(std::wstring text);
    const std::wstring& firmwareText() const { return firmwareText_; }

    // The buttons' actions.
    bool CheckSoftwareUpdate();
    bool CheckFirmwareUpdate();
    void OpenWebSite();
    void RestoreDefaults();
    void ImportProfile();
    void ExportProfile();

protected:
    bool OnInitDialog() override;
    bool OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;

private:
    class Environment;
    enum Sheet { kNormal, kOver, kDown, kSheetCount };

    void LoadSheets();
    void Paint();
    void OnButton(HWND button);
    UpdateChecker& Checker();

    ProfileFiles& files_;
    bool chineseLayout_;
    std::wstring firmwareText_;
    std::u16string updateXml_;
    ui::Bitmap sheets_[kSheetCount];
    std::array<ui::CGDIBitmapBtn, kSupportButtonCount> buttons_;
    WinUrlDownloader downloader_;
    std::unique_ptr<Environment> environment_;
    std::unique_ptr<UpdateChecker> checker_;  // keeps the firmware address between checks
};

}  // namespace q350::pages
