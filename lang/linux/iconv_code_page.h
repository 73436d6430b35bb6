#pragma once

// Code page conversion on Linux through iconv.
#include "lang/code_page.h"

namespace q350::lang {

// The iconv name of a Windows code page, or nullptr when there is none.
const char* IconvNameOfCodePage(std::uint32_t codePage);

class IconvCodePageConverter final : public BasicCodePageConverter {
public:
    // Linux has no ANSI code page; documents without a known encoding are read as Windows-1252.
    std::uint32_t ansiCodePage() const override { return 1252; }
    bool toUtf16(std::uint32_t codePage, std::span<const std::uint8_t> bytes,
                 std::u16string& out) const override;
};

}  // namespace q350::lang
