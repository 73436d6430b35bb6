#pragma once

// UrlDownloader through URLDownloadToFileW. Every fetch asks the server again: a copy the system
// kept of an earlier fetch of the same address is dropped first.
#include "pages/url_downloader.h"

namespace q350::pages {

class WinUrlDownloader final : public UrlDownloader {
public:
    bool download(const std::u16string& address, const std::filesystem::path& target) override;
};

}  // namespace q350::pages
