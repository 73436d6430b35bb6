#pragma once

// Ini files through the system's private-profile functions.
#include "base/ini_file.h"

namespace q350::lang {

class PrivateProfileIniFile final : public IniFile {
public:
    std::u16string read(const std::filesystem::path& file, std::u16string_view section,
                        std::u16string_view key, std::u16string_view fallback) override;
    bool write(const std::filesystem::path& file, std::u16string_view section,
               std::u16string_view key, std::u16string_view value) override;
};

}  // namespace q350::lang
