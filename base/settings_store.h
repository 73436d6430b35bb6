#pragma once

// The program's settings in the registry, reached through this interface so that portable code
// can be tested with an in-memory store. Every sub-key is relative to the program's own key
// (Software\QUORV\Q350Config under HKEY_LOCAL_MACHINE on Windows): u"" is that key itself,
// u"LANGUAGE", u"STS" or u"Macro\\7" are below it.
#include <cstdint>
#include <map>
#include <span>
#include <string>
#include <string_view>
#include <tuple>
#include <vector>

namespace q350 {

enum class StoreResult {
    Ok,
    Missing,    // the key or the value does not exist
    WrongType,  // the value exists with another type (or a DWORD of the wrong size)
    Failed,     // the store could not be read (access denied, I/O error)
};

class SettingsStore {
public:
    virtual ~SettingsStore() = default;

    virtual StoreResult readBinary(std::u16string_view subKey, std::u16string_view name,
                                   std::vector<std::uint8_t>& out) = 0;
    virtual bool writeBinary(std::u16string_view subKey, std::u16string_view name,
                             std::span<const std::uint8_t> data) = 0;
    virtual StoreResult readDword(std::u16string_view subKey, std::u16string_view name,
                                  std::uint32_t& out) = 0;
    virtual bool writeDword(std::u16string_view subKey, std::u16string_view name,
                            std::uint32_t value) = 0;
    virtual StoreResult readString(std::u16string_view subKey, std::u16string_view name,
                                   std::u16string& out) = 0;
    virtual bool writeString(std::u16string_view subKey, std::u16string_view name,
                             std::u16string_view value) = 0;
    // Deleting a value that does not exist succeeds.
    virtual bool deleteValue(std::u16string_view subKey, std::u16string_view name) = 0;
};

// Kept in memory; for tests and for q350ctl. Key and value names compare without regard to ASCII
// case, as the registry's do.
class MemorySettingsStore final : public SettingsStore {
public:
    enum class Type { Binary, Dword, String };
    struct Value {
        Type type = Type::Binary;
        std::vector<std::uint8_t> bytes;  // DWORD: 4 bytes little-endian; string: UTF-16LE
    };

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

    // Test controls: writes fail while set; raw values of any type can be planted.
    bool failWrites = false;
    void setRaw(std::u16string_view subKey, std::u16string_view name, Type type,
                std::vector<std::uint8_t> bytes);
    const Value* find(std::u16string_view subKey, std::u16string_view name) const;
    std::size_t size() const { return values_.size(); }

private:
    using Key = std::tuple<std::u16string, std::u16string>;
    static Key makeKey(std::u16string_view subKey, std::u16string_view name);
    bool put(std::u16string_view subKey, std::u16string_view name, Value v);
    std::map<Key, Value> values_;
};

}  // namespace q350
