#pragma once

// Code pages: the table of charset names that documents declare, and the conversion of byte
// text in a code page to UTF-16, behind an interface (the system's conversion on Windows, iconv on
// Linux).
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace q350::lang {

inline constexpr std::uint32_t kCodePageUtf16Le = 1200;
inline constexpr std::uint32_t kCodePageUtf16Be = 1201;
inline constexpr std::uint32_t kCodePageUtf7 = 65000;
inline constexpr std::uint32_t kCodePageUtf8 = 65001;

// The code page of a charset name (compared without regard to ASCII case, surrounding blanks
// ignored), or 0 when the name is not in the table.
std::uint32_t CodePageOfCharset(std::string_view name);

class CodePageConverter {
public:
    virtual ~CodePageConverter() = default;
    // The system's ANSI code page, used for text whose encoding is unknown.
    virtual std::uint32_t ansiCodePage() const = 0;
    // Converts bytes of the code page to UTF-16. False when the code page is not available; bytes
    // that are invalid in the code page become replacement characters.
    virtual bool toUtf16(std::uint32_t codePage, std::span<const std::uint8_t> bytes,
                         std::u16string& out) const = 0;
};

// Converts UTF-8 (bad sequences become U+FFFD) and, without any system help, the single-byte
// code pages 28591 (Latin-1) and 20127 (US-ASCII). Serves as the fallback of the others and on
// its own where no system conversion exists; its ANSI code page is 1252, of which it converts
// the Latin-1 part.
class BasicCodePageConverter : public CodePageConverter {
public:
    std::uint32_t ansiCodePage() const override { return 1252; }
    bool toUtf16(std::uint32_t codePage, std::span<const std::uint8_t> bytes,
                 std::u16string& out) const override;
};

// Fast UTF-8 to UTF-16 decoding with an ASCII path; appends to out. Returns false when the input
// held any invalid sequence (each became U+FFFD).
bool DecodeUtf8(std::span<const std::uint8_t> bytes, std::u16string& out);
// Whether the bytes are valid UTF-8 as a whole.
bool IsValidUtf8(std::span<const std::uint8_t> bytes);

}  // namespace q350::lang
