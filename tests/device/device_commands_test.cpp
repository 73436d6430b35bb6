#include "device/device_commands.h"

#include <gtest/gtest.h>

#include <numeric>
#include <vector>

#include "tests/device/scripted_transport.h"

namespace q350 {
namespace {

using test::ScriptedTransport;
using Sleeps = std::vector<std::uint32_t>;

struct Rig {
    Rig() : channel(transport), commands(channel, clock, [this] { return mode; }) {
        EXPECT_TRUE(channel.open());
    }
    ScriptedTransport transport;
    FakeClock clock;
    HidChannel channel;
    int mode = 0;
    DeviceCommands commands;
};

std::uint32_t AddressOf(const Report& f) {
    return (std::uint32_t{f[2]} << 24) | (f[3] << 16) | (f[4] << 8) | f[5];
}

TEST(Query, StoresTheValueOnceTheStatusIsDone) {
    Rig r;
    r.transport.reply(0);
    r.transport.reply(1, 2);
    std::uint32_t value = 99;
    ASSERT_TRUE(r.commands.query(kOpQueryMode, value));
    EXPECT_EQ(value, 2u);
    EXPECT_EQ(r.clock.sleeps, (Sleeps{10, 10}));
    ASSERT_EQ(r.transport.written.size(), 1u);
    EXPECT_EQ(r.transport.written[0][1], kOpQueryMode);
    EXPECT_EQ(r.transport.written[0][2], 0);
}

TEST(Query, FiveUnansweredPollsFailAndLeaveTheOutputAlone) {
    Rig r;
    r.transport.defaultStatus = 0;
    std::uint32_t value = 77;
    EXPECT_FALSE(r.commands.query(kOpQueryFirmware, value));
    EXPECT_EQ(value, 77u);
    EXPECT_EQ(r.transport.requests.size(), 5u);
    EXPECT_EQ(r.clock.sleeps, (Sleeps{10, 10, 10, 10, 10}));
}

TEST(Query, ReceiveFailuresCountAsPollsAndNeverHang) {
    Rig r;
    r.transport.readResult = false;
    std::uint32_t value = 5;
    EXPECT_FALSE(r.commands.query(kOpQueryResolution, value));
    EXPECT_EQ(value, 5u);
    EXPECT_EQ(r.clock.totalSleptMs(), 50u);
}

TEST(Query, FailedSendFailsWithoutWaiting) {
    Rig r;
    r.transport.writeResult = false;
    std::uint32_t value = 0;
    EXPECT_FALSE(r.commands.query(kOpQueryMode, value));
    EXPECT_TRUE(r.clock.sleeps.empty());
    EXPECT_TRUE(r.transport.requests.empty());
}

TEST(WriteButtonWord, AddressesTheCurrentModesBlockWithALittleEndianWord) {
    Rig r;
    r.mode = 2;
    ASSERT_TRUE(r.commands.writeButtonWord(4, 0x11223344));
    ASSERT_EQ(r.transport.written.size(), 1u);
    const Report& f = r.transport.written[0];
    EXPECT_EQ(f[1], kOpWriteMemory);
    EXPECT_EQ(AddressOf(f), 0x838u);
    EXPECT_EQ(f[6], 4);
    EXPECT_EQ(f[7], 0x44);
    EXPECT_EQ(f[10], 0x11);
    EXPECT_EQ(f[11], 0);
    EXPECT_EQ(r.clock.sleeps, (Sleeps{50, 10}));
}

TEST(WriteButtonWord, EveryButtonReachesItsOwnSlotOfTheBlock) {
    Rig r;
    r.mode = 1;
    std::vector<std::uint32_t> addresses;
    for (int b = 1; b <= 14; ++b) {
        ASSERT_TRUE(r.commands.writeButtonWord(b, 0));
        addresses.push_back(AddressOf(r.transport.written.back()));
    }
    EXPECT_EQ(addresses,
              (std::vector<std::uint32_t>{0x600, 0x604, 0x608, 0x638, 0x63C, 0x60C, 0x610, 0x61C,
                                          0x620, 0x624, 0x628, 0x62C, 0x630, 0x634}));
}

TEST(WriteButtonWord, BadButtonOrModeFailsWithoutSending) {
    Rig r;
    EXPECT_FALSE(r.commands.writeButtonWord(15, 1));
    EXPECT_FALSE(r.commands.writeButtonWord(0, 1));
    r.mode = 3;
    EXPECT_FALSE(r.commands.writeButtonWord(1, 1));
    r.mode = -1;
    EXPECT_FALSE(r.commands.writeButtonWord(1, 1));
    EXPECT_TRUE(r.transport.written.empty());
}

TEST(WriteButtonWord, UnconfirmedWriteFails) {
    Rig r;
    r.transport.defaultStatus = 2;
    EXPECT_FALSE(r.commands.writeButtonWord(1, 1));
    EXPECT_EQ(r.clock.sleeps, (Sleeps{50, 10, 10, 10, 10, 10}));
}

TEST(WriteBlock, SplitsIntoFullChunksAndOneShortChunkWithTheirWaits) {
    Rig r;
    std::vector<std::uint8_t> data(50);
    std::iota(data.begin(), data.end(), 1);
    ASSERT_TRUE(r.commands.writeBlock(0x1000, data.data(), data.size()));
    const auto& w = r.transport.written;
    ASSERT_EQ(w.size(), 3u);
    EXPECT_EQ(AddressOf(w[0]), 0x1000u);
    EXPECT_EQ(AddressOf(w[1]), 0x1018u);
    EXPECT_EQ(AddressOf(w[2]), 0x1030u);
    EXPECT_EQ(w[0][6], 24);
    EXPECT_EQ(w[1][6], 24);
    EXPECT_EQ(w[2][6], 2);
    EXPECT_EQ(w[0][7], 1);
    EXPECT_EQ(w[0][30], 24);
    EXPECT_EQ(w[0][31], 0);  // the frame's last byte after a full chunk
    EXPECT_EQ(w[1][7], 25);
    EXPECT_EQ(w[2][7], 49);
    EXPECT_EQ(w[2][8], 50);
    EXPECT_EQ(w[2][9], 0);
    EXPECT_EQ(r.clock.sleeps, (Sleeps{120, 10, 120, 10, 40, 10}));
}

TEST(WriteBlock, ShortChunkWaitsFiveMillisecondsPerSentByte) {
    Rig r;
    std::vector<std::uint8_t> data(23, 0xEE);
    ASSERT_TRUE(r.commands.writeBlock(0x2000, data.data(), data.size()));
    EXPECT_EQ(r.clock.sleeps, (Sleeps{145, 10}));
}

TEST(WriteBlock, RefusesWhatTheMemoryMapForbids) {
    Rig r;
    std::vector<std::uint8_t> data(64, 1);
    EXPECT_FALSE(r.commands.writeBlock(0x0400, data.data(), 6));    // not whole words below 0x1000
    EXPECT_FALSE(r.commands.writeBlock(0x1FFF0, data.data(), 16));  // would end at the limit
    EXPECT_FALSE(r.commands.writeBlock(0x20000, data.data(), 4));
    EXPECT_FALSE(r.commands.writeBlock(0x1000, data.data(), 0));
    EXPECT_FALSE(r.commands.writeBlock(0x1000, nullptr, 4));
    // A length beyond the whole memory must not wrap round into an allowed range.
    EXPECT_FALSE(r.commands.writeBlock(0x1000, data.data(), 0xFFFFFFF0u));
    EXPECT_TRUE(r.transport.written.empty());
    EXPECT_TRUE(r.commands.writeBlock(0x0400, data.data(), 8));
    EXPECT_TRUE(r.commands.writeBlock(0x1FFEF, data.data(), 16));
}

TEST(WriteBlock, StopsAtTheFirstUnconfirmedChunk) {
    Rig r;
    r.transport.reply(1);
    for (int i = 0; i < 5; ++i) {
        r.transport.reply(0);
    }
    std::vector<std::uint8_t> data(72, 3);
    EXPECT_FALSE(r.commands.writeBlock(0x3000, data.data(), data.size()));
    EXPECT_EQ(r.transport.written.size(), 2u);
}

TEST(Parameters, LiftOffBelowFiveIsRaisedToFive) {
    Rig r;
    ASSERT_TRUE(r.commands.setParameter(kParamLiftOff, {0, 3, 30}));
    const Report& f = r.transport.written[0];
    EXPECT_EQ(std::vector<int>(f.begin() + 1, f.begin() + 7),
              (std::vector<int>{0xA6, 0x0C, 5, 5, 30, 0}));
    EXPECT_EQ(r.clock.sleeps, (Sleeps{10}));
}

TEST(Parameters, OtherIdsAreSentAsTheirLowBytes) {
    Rig r;
    ASSERT_TRUE(r.commands.setParameter(kParamReportRate, {0x101, 2, 0}));
    const Report& f = r.transport.written[0];
    EXPECT_EQ(f[3], 1);
    EXPECT_EQ(f[4], 2);
}

TEST(Parameters, DpiLevelsAreDoubledIntoOneByteEach) {
    Rig r;
    ASSERT_TRUE(r.commands.setDpiLevels(kParamDpiX0, 4, 8, 16, 24));
    const Report& f = r.transport.written[0];
    EXPECT_EQ(std::vector<int>(f.begin() + 1, f.begin() + 8),
              (std::vector<int>{0xA6, 0x05, 0x08, 0x10, 0x20, 0x30, 0}));
    ASSERT_TRUE(r.commands.setDpiLevels(kParamDpiY2, 160, 0, 0, 0));
    EXPECT_EQ(r.transport.written[1][3], 64);  // 320 truncated to a byte
}

TEST(Parameters, OnlyTheColourCommandsNeedTheMouseToConfirm) {
    Rig r;
    r.transport.defaultStatus = 0;
    EXPECT_TRUE(r.commands.setParameter(kParamTopLevel, {3, 3, 3}));
    EXPECT_TRUE(r.commands.setDpiLevels(kParamDpiX1, 1, 2, 3, 4));
    EXPECT_FALSE(r.commands.setColourComponent(kParamRed1, {1, 2, 3}));
    r.transport.defaultStatus = 1;
    EXPECT_TRUE(r.commands.setColourComponent(kParamRed1, {1, 2, 3}));
    r.transport.writeResult = false;
    EXPECT_FALSE(r.commands.setParameter(kParamTopLevel, {3, 3, 3}));
    EXPECT_FALSE(r.commands.setDpiLevels(kParamDpiX1, 1, 2, 3, 4));
}

}  // namespace
}  // namespace q350
