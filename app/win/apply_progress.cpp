#include "app/win/apply_progress.h"

#include <memory>
#include <string>

#include "app/win/main_window_messages.h"
#include "skin/win/skin_ids.h"

namespace q350::app {

struct ApplyProgress::Work {
    ProfileFiles* files;
    ApplyServices services;
    HWND mainWindow;
    HWND progress;
};

ApplyProgress::ApplyProgress(ProfileFiles& files, const ApplyServices& services, HWND mainWindow)
    : files_(files), services_(services), main_(mainWindow) {}

bool ApplyProgress::Run() {
    // The dialog's own result cannot tell: a refused owner window makes it 0, as a closed
    // dialog's would be. What counts is whether an outcome was sent on its way.
    outcomeOwed_ = false;
    DoModal(main_);
    return outcomeOwed_;
}

bool ApplyProgress::OnInitDialog() {
    const bool focus = CProgressDlg::OnInitDialog();
    auto* work = new Work{&files_, services_, main_, hwnd_};
    HANDLE thread = CreateThread(nullptr, 0, RunWorker, work, 0, nullptr);
    if (thread == nullptr) {
        delete work;
        PostMessageW(main_, kMsgDownloadFailed, 0, 0);
        PostMessageW(hwnd_, WM_CLOSE, 0, 0);
    } else {
        CloseHandle(thread);
    }
    outcomeOwed_ = true;
    return focus;
}

DWORD WINAPI ApplyProgress::RunWorker(void* param) {
    std::unique_ptr<Work> work(static_cast<Work*>(param));
    const HWND progress = work->progress;  // none for a download in the background
    DownloadReport local;
    DownloadReport& report = work->services.report ? *work->services.report : local;
    const bool ok = RunApply(
        *work->files, work->services,
        [progress](int position) {
            if (progress != nullptr) {
                PostMessageW(progress, ui::kMsgProgress, static_cast<WPARAM>(position), 0);
            }
        },
        &report);
    // The user sees "Setting Error" only; the failed steps go to the debugger's output.
    for (const std::string& failure : report.failures) {
        OutputDebugStringA(("Q350Config: download step failed: " + failure + "\n").c_str());
    }
    OutputDebugStringA(("Q350Config: download sent " + std::to_string(report.commandsSent) +
                        " commands, " + std::to_string(report.commandsSkipped) +
                        " already held by the mouse\n")
                           .c_str());
    PostMessageW(work->mainWindow, ok ? kMsgDownloadDone : kMsgDownloadFailed, 0, 0);
    if (progress != nullptr) {
        PostMessageW(progress, WM_CLOSE, 0, 0);
    }
    return 0;
}

bool ApplyProgress::StartInBackground(ProfileFiles& files, const ApplyServices& services,
                                      HWND mainWindow) {
    auto* work = new Work{&files, services, mainWindow, nullptr};
    HANDLE thread = CreateThread(nullptr, 0, RunWorker, work, 0, nullptr);
    if (thread == nullptr) {
        delete work;
        return false;
    }
    CloseHandle(thread);
    return true;
}

}  // namespace q350::app
