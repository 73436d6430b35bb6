#pragma once

// UrlDownloader through WinINet, on a worker thread while the skinned progress dialog runs
// modally: the window and the rest of the program keep answering (the dialog's loop serves every
// window of the thread), the bar shows the bytes of the announced size, Cancel gives the transfer
// up, and so do the limits of TransferWatch (20 s without a byte, 5 minutes in all). Every fetch
// asks the server again (no cache), follows no redirection and takes only an answer 200.
//
// The worker owns its connection and writes a private part file; a transfer given up is left to
// end by itself (its receive timeout is the stall limit) and deletes that file, so the caller
// never waits for it and never sees a part of a file.
#include <windows.h>

#include "pages/url_downloader.h"

namespace q350::pages {

class WinUrlDownloader final : public UrlDownloader {
public:
    // The window that owns the progress dialog.
    void setOwner(HWND owner) { owner_ = owner; }
    bool download(const std::u16string& address, const std::filesystem::path& target) override;

private:
    HWND owner_ = nullptr;
};

}  // namespace q350::pages
