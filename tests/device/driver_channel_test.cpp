#include "device/driver_channel.h"

#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <map>

namespace q350 {
namespace {

template <typename Record>
std::array<std::uint8_t, sizeof(Record)> BytesOf(const Record& record) {
    std::array<std::uint8_t, sizeof(Record)> bytes{};
    std::memcpy(bytes.data(), &record, sizeof(Record));
    return bytes;
}

// Every byte of the record: the little-endian words expected at the given offsets, zero elsewhere.
template <std::size_t N>
void ExpectWords(const std::array<std::uint8_t, N>& bytes,
                 const std::map<std::size_t, std::uint32_t>& words) {
    std::array<std::uint8_t, N> expected{};
    for (const auto& [offset, word] : words) {
        for (int i = 0; i < 4; ++i) {
            expected[offset + i] = static_cast<std::uint8_t>(word >> (8 * i));
        }
    }
    for (std::size_t i = 0; i < N; ++i) {
        EXPECT_EQ(bytes[i], expected[i]) << "byte " << i;
    }
}

TEST(DriverCommandBlocks, RegisterCarriesTagAndSemaphoreAndNothingElse) {
    ExpectWords(BytesOf(MakeRegisterBlock(0x1234ABCD)),
                {{0, 1}, {108, 0x41063F5C}, {164, 0x1234ABCD}});
}

TEST(DriverCommandBlocks, UnregisterAndSettingsHaveTheirParameters) {
    ExpectWords(BytesOf(MakeUnregisterBlock()), {{0, 2}, {108, 0x41063F5C}});
    ExpectWords(BytesOf(MakeSetting4Block()),
                {{0, 4}, {4, 0x200}, {8, 0x70601}, {108, 0x41063F5C}});
    ExpectWords(BytesOf(MakeSetting32Block()), {{0, 32}, {12, 0x00010003}, {108, 0x41063F5C}});
}

TEST(DriverCommandBlocks, EventReadBufferHoldsOnlyTheTag) {
    ExpectWords(BytesOf(MakeEventReadBuffer()), {{4, 0x41063F5C}});
}

TEST(DriverCommandBlocks, DriverSideReadsBackWhatTheProgramSends) {
    const auto bytes = BytesOf(MakeRegisterBlock(0x88));
    const ReceivedCommand got = ReadCommandBlock(bytes.data(), bytes.size());
    EXPECT_TRUE(got.valid);
    EXPECT_EQ(got.command, 1u);
    EXPECT_EQ(got.semaphore, 0x88u);
}

TEST(DriverCommandBlocks, DriverSideRefusesForeignOrTruncatedBlocks) {
    auto bytes = BytesOf(MakeUnregisterBlock());
    EXPECT_FALSE(ReadCommandBlock(bytes.data(), bytes.size() - 1).valid);
    EXPECT_FALSE(ReadCommandBlock(nullptr, bytes.size()).valid);
    bytes[108] ^= 0xFF;  // another product's tag
    EXPECT_FALSE(ReadCommandBlock(bytes.data(), bytes.size()).valid);
}

TEST(DriverControlCodes, AreBufferedCodesOfDeviceType22) {
    EXPECT_EQ(kCtlDriverCommand, 0x22240Cu);
    EXPECT_EQ(kCtlReadEvent, 0x222408u);
    EXPECT_EQ(kCtlDriverCommand & 3u, 0u);  // METHOD_BUFFERED
}

TEST(DeviceEventWord, HostActionNeedsAllThreeMarkerBits) {
    EXPECT_TRUE(DeviceEvent(0x4000C302).isHostAction());
    EXPECT_TRUE(DeviceEvent(0xFFFFFFFF).isHostAction());
    EXPECT_FALSE(DeviceEvent(0x0000C302).isHostAction());  // bit 30 missing
    EXPECT_FALSE(DeviceEvent(0x40008302).isHostAction());  // bit 14 missing
    EXPECT_FALSE(DeviceEvent(0x40004302).isHostAction());  // bit 15 missing
    EXPECT_FALSE(DeviceEvent(0x8B01).isHostAction());      // a click the statistics count
}

TEST(DeviceEventWord, KindAndIndexComeFromTheirNibbles) {
    const DeviceEvent e(0x4000CB0D);
    EXPECT_EQ(e.actionKind(), 11);
    EXPECT_EQ(e.buttonIndex(), 13);
    const DeviceEvent high(0x7FF0FFFF);  // other bits set do not leak into kind or index
    EXPECT_EQ(high.actionKind(), 15);
    EXPECT_EQ(high.buttonIndex(), 15);
}

TEST(DeviceEventWord, ResolutionChangeIsTheWholeWord) {
    EXPECT_TRUE(DeviceEvent(0x9001).isResolutionChange());
    EXPECT_FALSE(DeviceEvent(0x19001).isResolutionChange());
    EXPECT_FALSE(DeviceEvent(0x9001).isHostAction());
}

TEST(DeviceEventWord, HostActionWordRoundTrips) {
    for (int kind = 0; kind < 16; ++kind) {
        for (int index = 0; index < 16; ++index) {
            const DeviceEvent e(HostActionEventWord(kind, index));
            ASSERT_TRUE(e.isHostAction());
            EXPECT_EQ(e.actionKind(), kind);
            EXPECT_EQ(e.buttonIndex(), index);
        }
    }
    EXPECT_EQ(HostActionEventWord(3, 2), 0x4000C302u);
}

}  // namespace
}  // namespace q350
