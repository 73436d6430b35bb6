#include "pages/win/url_downloader_win.h"

#include <windows.h>

#include <urlmon.h>
#include <wininet.h>

#include <string>

#include "base/win/module.h"

namespace q350::pages {

bool WinUrlDownloader::download(const std::u16string& address,
                                const std::filesystem::path& target) {
    const std::wstring url(address.begin(), address.end());
    const std::wstring file = target.wstring();
    static const auto forget =
        win::SystemProc<decltype(&DeleteUrlCacheEntryW)>(L"wininet.dll", "DeleteUrlCacheEntryW");
    static const auto fetch =
        win::SystemProc<decltype(&URLDownloadToFileW)>(L"urlmon.dll", "URLDownloadToFileW");
    if (fetch == nullptr) {
        return false;
    }
    if (forget != nullptr) {
        forget(url.c_str());
    }
    const HRESULT hr = fetch(nullptr, url.c_str(), file.c_str(), 0, nullptr);
    return SUCCEEDED(hr) && GetFileAttributesW(file.c_str()) != INVALID_FILE_ATTRIBUTES;
}

}  // namespace q350::pages
