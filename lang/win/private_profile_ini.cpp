#include "lang/win/private_profile_ini.h"

#include <windows.h>

#include <string>

namespace q350::lang {

namespace {

const wchar_t* Wide(const std::u16string& s) {
    return reinterpret_cast<const wchar_t*>(s.c_str());
}

}  // namespace

std::u16string PrivateProfileIniFile::read(const std::filesystem::path& file,
                                           std::u16string_view section, std::u16string_view key,
                                           std::u16string_view fallback) {
    const std::u16string sectionZ(section);
    const std::u16string keyZ(key);
    const std::u16string fallbackZ(fallback);
    std::u16string buffer(256, u'\0');
    // The value is cut to the buffer; a longer buffer is tried until it fits.
    while (true) {
        const DWORD got = GetPrivateProfileStringW(Wide(sectionZ), Wide(keyZ), Wide(fallbackZ),
                                                   reinterpret_cast<wchar_t*>(buffer.data()),
                                                   static_cast<DWORD>(buffer.size()), file.c_str());
        if (got + 1 < buffer.size() || buffer.size() >= 65536) {
            buffer.resize(got);
            return buffer;
        }
        buffer.resize(buffer.size() * 4);
    }
}

bool PrivateProfileIniFile::write(const std::filesystem::path& file, std::u16string_view section,
                                  std::u16string_view key, std::u16string_view value) {
    const std::u16string sectionZ(section);
    const std::u16string keyZ(key);
    const std::u16string valueZ(value);
    return WritePrivateProfileStringW(Wide(sectionZ), Wide(keyZ), Wide(valueZ), file.c_str()) !=
           FALSE;
}

}  // namespace q350::lang
