#pragma once

// The progress dialog of one download: it starts the download worker once it exists, so that the
// worker's progress and its final close message always have a window to go to. The worker posts
// the outcome (1795 or 1796) to the main window and then closes the dialog.
#include "app/profile_apply.h"  // first: it reads the device headers

#include <windows.h>

#include "skin/win/progress_dlg.h"

namespace q350::app {

class ApplyProgress final : public ui::CProgressDlg {
public:
    // files and services live at least until the main window hears the outcome.
    ApplyProgress(ProfileFiles& files, const ApplyServices& services, HWND mainWindow);

    // Runs the dialog modally. True when the download was started, so that its outcome (1795 or
    // 1796) reaches the main window; false when the dialog could not be shown and nothing ran.
    bool Run();

    // The same download without a dialog, for the automatic profile switch: no progress and no
    // end pause (services.endPause). True when the worker was started; its outcome (1795 or
    // 1796) then reaches the main window.
    static bool StartInBackground(ProfileFiles& files, const ApplyServices& services,
                                  HWND mainWindow);

protected:
    bool OnInitDialog() override;

private:
    struct Work;
    static DWORD WINAPI RunWorker(void* param);

    ProfileFiles& files_;
    ApplyServices services_;
    HWND main_;
    bool outcomeOwed_ = false;
};

}  // namespace q350::app
