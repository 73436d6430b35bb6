#pragma once

// Conversions between UTF-8, UTF-16 and file paths. Invalid input never fails: bad sequences and
// lone surrogates become U+FFFD.
#include <filesystem>
#include <string>
#include <string_view>

namespace q350 {

std::u16string Utf8ToUtf16(std::string_view utf8);
std::string Utf16ToUtf8(std::u16string_view utf16);

// Paths held as UTF-16 in records and the registry, and the file system's own paths.
std::filesystem::path PathFromUtf16(std::u16string_view utf16);
std::u16string Utf16FromPath(const std::filesystem::path& path);

// Length of a null-terminated UTF-16 field of a fixed-size record (at most capacity units).
std::size_t FieldLength(const char16_t* field, std::size_t capacity);
// Copies text into a fixed UTF-16 field, cut to capacity - 1 units and null-filled to the end.
void SetField(char16_t* field, std::size_t capacity, std::u16string_view text);
inline std::u16string FieldText(const char16_t* field, std::size_t capacity) {
    return std::u16string(field, FieldLength(field, capacity));
}

}  // namespace q350
