#include "base/settings_store.h"

namespace q350 {

namespace {

std::u16string Folded(std::u16string_view s) {
    std::u16string out(s);
    for (char16_t& c : out) {
        if (c >= u'A' && c <= u'Z') {
            c = static_cast<char16_t>(c - u'A' + u'a');
        }
    }
    return out;
}

}  // namespace

MemorySettingsStore::Key MemorySettingsStore::makeKey(std::u16string_view subKey,
                                                      std::u16string_view name) {
    return {Folded(subKey), Folded(name)};
}

bool MemorySettingsStore::put(std::u16string_view subKey, std::u16string_view name, Value v) {
    if (failWrites) {
        return false;
    }
    values_[makeKey(subKey, name)] = std::move(v);
    return true;
}

void MemorySettingsStore::setRaw(std::u16string_view subKey, std::u16string_view name, Type type,
                                 std::vector<std::uint8_t> bytes) {
    values_[makeKey(subKey, name)] = Value{type, std::move(bytes)};
}

const MemorySettingsStore::Value* MemorySettingsStore::find(std::u16string_view subKey,
                                                            std::u16string_view name) const {
    auto it = values_.find(makeKey(subKey, name));
    return it == values_.end() ? nullptr : &it->second;
}

StoreResult MemorySettingsStore::readBinary(std::u16string_view subKey, std::u16string_view name,
                                            std::vector<std::uint8_t>& out) {
    const Value* v = find(subKey, name);
    if (!v) {
        return StoreResult::Missing;
    }
    if (v->type != Type::Binary) {
        return StoreResult::WrongType;
    }
    out = v->bytes;
    return StoreResult::Ok;
}

bool MemorySettingsStore::writeBinary(std::u16string_view subKey, std::u16string_view name,
                                      std::span<const std::uint8_t> data) {
    return put(subKey, name, Value{Type::Binary, {data.begin(), data.end()}});
}

StoreResult MemorySettingsStore::readDword(std::u16string_view subKey, std::u16string_view name,
                                           std::uint32_t& out) {
    const Value* v = find(subKey, name);
    if (!v) {
        return StoreResult::Missing;
    }
    if (v->type != Type::Dword || v->bytes.size() != 4) {
        return StoreResult::WrongType;
    }
    out = static_cast<std::uint32_t>(v->bytes[0]) | (static_cast<std::uint32_t>(v->bytes[1]) << 8) |
          (static_cast<std::uint32_t>(v->bytes[2]) << 16) |
          (static_cast<std::uint32_t>(v->bytes[3]) << 24);
    return StoreResult::Ok;
}

bool MemorySettingsStore::writeDword(std::u16string_view subKey, std::u16string_view name,
                                     std::uint32_t value) {
    return put(subKey, name,
               Value{Type::Dword,
                     {static_cast<std::uint8_t>(value), static_cast<std::uint8_t>(value >> 8),
                      static_cast<std::uint8_t>(value >> 16),
                      static_cast<std::uint8_t>(value >> 24)}});
}

StoreResult MemorySettingsStore::readString(std::u16string_view subKey, std::u16string_view name,
                                            std::u16string& out) {
    const Value* v = find(subKey, name);
    if (!v) {
        return StoreResult::Missing;
    }
    if (v->type != Type::String) {
        return StoreResult::WrongType;
    }
    out.clear();
    for (std::size_t i = 0; i + 1 < v->bytes.size(); i += 2) {
        const auto c = static_cast<char16_t>(v->bytes[i] | (v->bytes[i + 1] << 8));
        if (c == 0) {
            break;
        }
        out.push_back(c);
    }
    return StoreResult::Ok;
}

bool MemorySettingsStore::writeString(std::u16string_view subKey, std::u16string_view name,
                                      std::u16string_view value) {
    Value v{Type::String, {}};
    for (char16_t c : value) {
        v.bytes.push_back(static_cast<std::uint8_t>(c & 0xFF));
        v.bytes.push_back(static_cast<std::uint8_t>(c >> 8));
    }
    v.bytes.push_back(0);
    v.bytes.push_back(0);
    return put(subKey, name, std::move(v));
}

bool MemorySettingsStore::deleteValue(std::u16string_view subKey, std::u16string_view name) {
    if (failWrites) {
        return false;
    }
    values_.erase(makeKey(subKey, name));
    return true;
}

}  // namespace q350
