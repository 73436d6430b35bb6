#include "device/hid_descriptor.h"

namespace q350 {

namespace {

// Short item prefix: bits 0-1 size code (3 = four bytes), bits 2-3 type, bits 4-7 tag.
constexpr std::uint8_t kLongItemPrefix = 0xFE;
constexpr std::uint8_t kTypeGlobal = 1;
constexpr std::uint8_t kTypeLocal = 2;
constexpr std::uint8_t kTagUsagePage = 0;  // global
constexpr std::uint8_t kTagUsage = 0;      // local

}  // namespace

bool DescriptorHasUsage(std::span<const std::uint8_t> d, std::uint16_t page, std::uint16_t usage) {
    std::uint32_t currentPage = 0;
    std::size_t i = 0;
    while (i < d.size()) {
        const std::uint8_t prefix = d[i];
        if (prefix == kLongItemPrefix) {
            // Long item: data size, long tag, then the data.
            if (i + 1 >= d.size()) {
                return false;
            }
            i += 3 + d[i + 1];
            continue;
        }
        const std::size_t size = (prefix & 3) == 3 ? 4 : (prefix & 3);
        if (i + 1 + size > d.size()) {
            return false;
        }
        std::uint32_t value = 0;
        for (std::size_t b = 0; b < size; ++b) {
            value |= std::uint32_t{d[i + 1 + b]} << (8 * b);
        }
        const std::uint8_t type = (prefix >> 2) & 3;
        const std::uint8_t tag = prefix >> 4;
        if (type == kTypeGlobal && tag == kTagUsagePage) {
            currentPage = value;
        } else if (type == kTypeLocal && tag == kTagUsage) {
            const bool match = size == 4 ? value == ((std::uint32_t{page} << 16) | usage)
                                         : currentPage == page && value == usage;
            if (match) {
                return true;
            }
        }
        i += 1 + size;
    }
    return false;
}

}  // namespace q350
