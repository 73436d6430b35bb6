#include "device/hid_descriptor.h"

#include <gtest/gtest.h>

#include <vector>

namespace q350 {
namespace {

TEST(DescriptorHasUsage, FindsTheVendorCollection) {
    // A mouse collection first, then the vendor page with usage 14.
    const std::vector<std::uint8_t> d = {0x05, 0x01, 0x09, 0x02, 0xA1, 0x01, 0xC0,
                                         0x06, 0x00, 0xFF, 0x09, 0x0E, 0xA1, 0x01,
                                         0x85, 0xBA, 0x95, 0x1F, 0x75, 0x08, 0xC0};
    EXPECT_TRUE(DescriptorHasUsage(d, 0xFF00, 14));
    EXPECT_FALSE(DescriptorHasUsage(d, 0xFF00, 2));
    EXPECT_TRUE(DescriptorHasUsage(d, 0x0001, 2));
}

TEST(DescriptorHasUsage, ExtendedUsageNamesItsOwnPage) {
    const std::vector<std::uint8_t> d = {0x05, 0x01, 0x0B, 0x0E, 0x00, 0x00, 0xFF};
    EXPECT_TRUE(DescriptorHasUsage(d, 0xFF00, 14));
    EXPECT_FALSE(DescriptorHasUsage(d, 0x0001, 14));
}

TEST(DescriptorHasUsage, TruncatedOrLongItemsAreSafe) {
    EXPECT_FALSE(DescriptorHasUsage({}, 0xFF00, 14));
    const std::vector<std::uint8_t> cut = {0x06, 0x00};
    EXPECT_FALSE(DescriptorHasUsage(cut, 0xFF00, 14));
    const std::vector<std::uint8_t> longItem = {0xFE, 0x02, 0x10, 0x09, 0x0E,
                                                0x06, 0x00, 0xFF, 0x09, 0x0E};
    EXPECT_TRUE(DescriptorHasUsage(longItem, 0xFF00, 14));
    const std::vector<std::uint8_t> longCut = {0xFE, 0x40, 0x10};
    EXPECT_FALSE(DescriptorHasUsage(longCut, 0xFF00, 14));
    const std::vector<std::uint8_t> justPrefix = {0xFE};
    EXPECT_FALSE(DescriptorHasUsage(justPrefix, 0xFF00, 14));
}

}  // namespace
}  // namespace q350
