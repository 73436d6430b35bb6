#pragma once

// Private-profile (ini) files: read and write one key of one section. The Win32 implementation
// uses the system's private-profile functions; the memory one serves tests.
#include <filesystem>
#include <map>
#include <string>
#include <string_view>
#include <tuple>

namespace q350 {

class IniFile {
public:
    virtual ~IniFile() = default;
    // The key's value, or fallback when the file, section or key is missing.
    virtual std::u16string read(const std::filesystem::path& file, std::u16string_view section,
                                std::u16string_view key, std::u16string_view fallback) = 0;
    virtual bool write(const std::filesystem::path& file, std::u16string_view section,
                       std::u16string_view key, std::u16string_view value) = 0;
};

class MemoryIniFile final : public IniFile {
public:
    std::u16string read(const std::filesystem::path& file, std::u16string_view section,
                        std::u16string_view key, std::u16string_view fallback) override {
        auto it = values.find({file.generic_u8string(), std::u16string(section), std::u16string(key)});
        return it == values.end() ? std::u16string(fallback) : it->second;
    }
    bool write(const std::filesystem::path& file, std::u16string_view section,
               std::u16string_view key, std::u16string_view value) override {
        if (failWrites) {
            return false;
        }
        values[{file.generic_u8string(), std::u16string(section), std::u16string(key)}] =
            std::u16string(value);
        return true;
    }
    bool failWrites = false;
    std::map<std::tuple<std::u8string, std::u16string, std::u16string>, std::u16string> values;
};

}  // namespace q350
