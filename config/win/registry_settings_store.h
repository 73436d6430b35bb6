#pragma once

// The program's settings in the Windows registry: HKEY_LOCAL_MACHINE\Software\QUORV\Q350Config
// and the keys below it. Another root and base key can be given (tests use HKEY_CURRENT_USER).
#include <windows.h>

#include <string>

#include "base/settings_store.h"

namespace q350 {

inline constexpr wchar_t kProgramKey[] = L"Software\\QUORV\\Q350Config";

class RegistrySettingsStore final : public SettingsStore {
public:
    explicit RegistrySettingsStore(HKEY root = HKEY_LOCAL_MACHINE,
                                   std::wstring baseKey = kProgramKey);

    StoreResult readBinary(std::u16string_view subKey, std::u16string_view name,
                           std::vector<std::uint8_t>& out) override;
    bool writeBinary(std::u16string_view subKey, std::u16string_view name,
                     std::span<const std::uint8_t> data) override;
    StoreResult readDword(std::u16string_view subKey, std::u16string_view name,
                          std::uint32_t& out) override;
    bool writeDword(std::u16string_view subKey, std::u16string_view name,
                    std::uint32_t value) override;
    StoreResult readString(std::u16string_view subKey, std::u16string_view name,
                           std::u16string& out) override;
    bool writeString(std::u16string_view subKey, std::u16string_view name,
                     std::u16string_view value) override;
    bool deleteValue(std::u16string_view subKey, std::u16string_view name) override;

private:
    std::wstring keyPath(std::u16string_view subKey) const;
    // Reads a value of any type; Ok with its type and bytes, or why not.
    StoreResult readRaw(std::u16string_view subKey, std::u16string_view name, DWORD& type,
                        std::vector<std::uint8_t>& bytes);
    bool writeRaw(std::u16string_view subKey, std::u16string_view name, DWORD type,
                  const void* data, std::size_t size);

    HKEY root_;
    std::wstring base_;
};

}  // namespace q350
