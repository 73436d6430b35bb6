#include "config/win/registry_settings_store.h"

#include <cstring>
#include <utility>

namespace q350 {

namespace {

// Owner of an open registry key.
class RegKey {
public:
    RegKey() = default;
    RegKey(const RegKey&) = delete;
    RegKey& operator=(const RegKey&) = delete;
    ~RegKey() {
        if (key_) {
            RegCloseKey(key_);
        }
    }
    HKEY* out() { return &key_; }
    HKEY get() const { return key_; }

private:
    HKEY key_ = nullptr;
};

std::wstring Wide(std::u16string_view s) {
    return std::wstring(reinterpret_cast<const wchar_t*>(s.data()), s.size());
}

StoreResult FromError(LONG rc) {
    return rc == ERROR_FILE_NOT_FOUND || rc == ERROR_PATH_NOT_FOUND ? StoreResult::Missing
                                                                    : StoreResult::Failed;
}

}  // namespace

RegistrySettingsStore::RegistrySettingsStore(HKEY root, std::wstring baseKey)
    : root_(root), base_(std::move(baseKey)) {}

std::wstring RegistrySettingsStore::keyPath(std::u16string_view subKey) const {
    std::wstring path = base_;
    if (!subKey.empty()) {
        if (!path.empty() && path.back() != L'\\') {
            path += L'\\';
        }
        path += Wide(subKey);
    }
    while (!path.empty() && path.back() == L'\\') {
        path.pop_back();
    }
    return path;
}

StoreResult RegistrySettingsStore::readRaw(std::u16string_view subKey, std::u16string_view name,
                                           DWORD& type, std::vector<std::uint8_t>& bytes) {
    RegKey key;
    LONG rc = RegOpenKeyExW(root_, keyPath(subKey).c_str(), 0, KEY_QUERY_VALUE, key.out());
    if (rc != ERROR_SUCCESS) {
        return FromError(rc);
    }
    const std::wstring valueName = Wide(name);
    DWORD size = 0;
    rc = RegQueryValueExW(key.get(), valueName.c_str(), nullptr, &type, nullptr, &size);
    // The value may grow between the size query and the read: retry with the new size.
    for (int attempt = 0; attempt < 4 && rc == ERROR_SUCCESS; ++attempt) {
        bytes.assign(size, 0);
        DWORD got = size;
        rc = RegQueryValueExW(key.get(), valueName.c_str(), nullptr, &type,
                              size ? bytes.data() : nullptr, &got);
        if (rc == ERROR_SUCCESS) {
            bytes.resize(got);
            return StoreResult::Ok;
        }
        if (rc == ERROR_MORE_DATA) {
            size = got;
            rc = ERROR_SUCCESS;
        }
    }
    return FromError(rc);
}

bool RegistrySettingsStore::writeRaw(std::u16string_view subKey, std::u16string_view name,
                                     DWORD type, const void* data, std::size_t size) {
    if (size > 0xFFFFFFFFu) {
        return false;
    }
    RegKey key;
    if (RegCreateKeyExW(root_, keyPath(subKey).c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                        KEY_SET_VALUE, nullptr, key.out(), nullptr) != ERROR_SUCCESS) {
        return false;
    }
    return RegSetValueExW(key.get(), Wide(name).c_str(), 0, type, static_cast<const BYTE*>(data),
                          static_cast<DWORD>(size)) == ERROR_SUCCESS;
}

StoreResult RegistrySettingsStore::readBinary(std::u16string_view subKey, std::u16string_view name,
                                              std::vector<std::uint8_t>& out) {
    DWORD type = 0;
    std::vector<std::uint8_t> bytes;
    const StoreResult r = readRaw(subKey, name, type, bytes);
    if (r != StoreResult::Ok) {
        return r;
    }
    if (type != REG_BINARY) {
        return StoreResult::WrongType;
    }
    out = std::move(bytes);
    return StoreResult::Ok;
}

bool RegistrySettingsStore::writeBinary(std::u16string_view subKey, std::u16string_view name,
                                        std::span<const std::uint8_t> data) {
    return writeRaw(subKey, name, REG_BINARY, data.data(), data.size());
}

StoreResult RegistrySettingsStore::readDword(std::u16string_view subKey, std::u16string_view name,
                                             std::uint32_t& out) {
    DWORD type = 0;
    std::vector<std::uint8_t> bytes;
    const StoreResult r = readRaw(subKey, name, type, bytes);
    if (r != StoreResult::Ok) {
        return r;
    }
    if (type != REG_DWORD || bytes.size() != 4) {
        return StoreResult::WrongType;
    }
    std::memcpy(&out, bytes.data(), 4);
    return StoreResult::Ok;
}

bool RegistrySettingsStore::writeDword(std::u16string_view subKey, std::u16string_view name,
                                       std::uint32_t value) {
    const DWORD v = value;
    return writeRaw(subKey, name, REG_DWORD, &v, sizeof v);
}

StoreResult RegistrySettingsStore::readString(std::u16string_view subKey, std::u16string_view name,
                                              std::u16string& out) {
    DWORD type = 0;
    std::vector<std::uint8_t> bytes;
    const StoreResult r = readRaw(subKey, name, type, bytes);
    if (r != StoreResult::Ok) {
        return r;
    }
    if (type != REG_SZ) {
        return StoreResult::WrongType;
    }
    std::u16string text(bytes.size() / 2, u'\0');
    std::memcpy(text.data(), bytes.data(), text.size() * 2);
    // Stored strings need not carry their terminator; cut at the first one that is there.
    const auto end = text.find(u'\0');
    if (end != std::u16string::npos) {
        text.resize(end);
    }
    out = std::move(text);
    return StoreResult::Ok;
}

bool RegistrySettingsStore::writeString(std::u16string_view subKey, std::u16string_view name,
                                        std::u16string_view value) {
    std::u16string text(value);
    return writeRaw(subKey, name, REG_SZ, text.c_str(), (text.size() + 1) * sizeof(char16_t));
}

bool RegistrySettingsStore::deleteValue(std::u16string_view subKey, std::u16string_view name) {
    RegKey key;
    LONG rc = RegOpenKeyExW(root_, keyPath(subKey).c_str(), 0, KEY_SET_VALUE, key.out());
    if (rc == ERROR_FILE_NOT_FOUND) {
        return true;
    }
    if (rc != ERROR_SUCCESS) {
        return false;
    }
    rc = RegDeleteValueW(key.get(), Wide(name).c_str());
    return rc == ERROR_SUCCESS || rc == ERROR_FILE_NOT_FOUND;
}

}  // namespace q350
