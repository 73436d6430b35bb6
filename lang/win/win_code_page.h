#pragma once

// Code page conversion on Windows through the system's own tables.
#include "lang/code_page.h"

namespace q350::lang {

class WinCodePageConverter final : public CodePageConverter {
public:
    std::uint32_t ansiCodePage() const override;
    bool toUtf16(std::uint32_t codePage, std::span<const std::uint8_t> bytes,
                 std::u16string& out) const override;
};

}  // namespace q350::lang
