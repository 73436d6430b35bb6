#pragma once

// Fetching a web address into a file: URLDownloadToFileW in the program (pages/win), a table of
// answers in the tests.
#include <filesystem>
#include <string>

namespace q350::pages {

class UrlDownloader {
public:
    virtual ~UrlDownloader() = default;
    // Fetches address into target, replacing it; false when the transfer did not complete.
    virtual bool download(const std::u16string& address, const std::filesystem::path& target) = 0;
};

}  // namespace q350::pages
