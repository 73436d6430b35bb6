#include "pages/win/url_downloader_win.h"

#include <windows.h>

#include <urlmon.h>
#include <wininet.h>

#include <string>

namespace q350::pages {

bool WinUrlDownloader::download(const std::u16string& address,
                                const std::filesystem::path& target) {
    const std::wstring url(address.begin(), address.end());
    const std::wstring file = target.wstring();
    DeleteUrlCacheEntryW(url.c_str());
    const HRESULT hr = URLDownloadToFileW(nullptr, url.c_str(), file.c_str(), 0, nullptr);
    return SUCCEEDED(hr) && GetFileAttributesW(file.c_str()) != INVALID_FILE_ATTRIBUTES;
}

}  // namespace q350::pages
