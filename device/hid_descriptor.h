#pragma once

// Looks into a HID report descriptor for the usage that marks the mouse's vendor interface.
#include <cstdint>
#include <span>

namespace q350 {

// True when the descriptor declares usage `usage` of usage page `page` (a Usage item while that
// page is the current Usage Page, or an extended 32-bit Usage naming both).
bool DescriptorHasUsage(std::span<const std::uint8_t> descriptor, std::uint16_t page,
                        std::uint16_t usage);

}  // namespace q350
