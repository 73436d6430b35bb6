#include "lang/win/win_code_page.h"

#include <windows.h>

#include <climits>

namespace q350::lang {

std::uint32_t WinCodePageConverter::ansiCodePage() const {
    return GetACP();
}

bool WinCodePageConverter::toUtf16(std::uint32_t codePage, std::span<const std::uint8_t> bytes,
                                   std::u16string& out) const {
    out.clear();
    if (bytes.empty()) {
        return IsValidCodePage(codePage) != 0;
    }
    if (bytes.size() > static_cast<std::size_t>(INT_MAX) || !IsValidCodePage(codePage)) {
        return false;
    }
    const auto* in = reinterpret_cast<const char*>(bytes.data());
    const int inLength = static_cast<int>(bytes.size());
    const int length = MultiByteToWideChar(codePage, 0, in, inLength, nullptr, 0);
    if (length <= 0) {
        return false;
    }
    out.resize(static_cast<std::size_t>(length));
    const int written = MultiByteToWideChar(codePage, 0, in, inLength,
                                            reinterpret_cast<wchar_t*>(out.data()), length);
    if (written <= 0) {
        out.clear();
        return false;
    }
    out.resize(static_cast<std::size_t>(written));
    return true;
}

}  // namespace q350::lang
