#include "device/virtual_mouse.h"

#include <gtest/gtest.h>

#include <vector>

#include "device/device_commands.h"
#include "device/firmware_image.h"

namespace q350 {
namespace {

struct Rig {
    explicit Rig(VirtualMouseState s = {})
        : mouse(clock, std::move(s)),
          transport(mouse),
          channel(transport),
          commands(channel, clock, [this] { return hostMode; }) {
        EXPECT_TRUE(channel.open());
    }
    FakeClock clock;
    VirtualMouse mouse;
    VirtualMouseTransport transport;
    HidChannel channel;
    int hostMode = 0;
    DeviceCommands commands;

    std::uint8_t rawStatus(const Report& frame) {
        mouse.handleOutputReport(frame);
        Report reply{};
        EXPECT_TRUE(mouse.inputReport(reply));
        return reply[0];
    }
};

Report Frame(std::initializer_list<std::uint8_t> payload) {
    Report f{};
    f[0] = kReportId;
    std::copy(payload.begin(), payload.end(), f.begin() + 1);
    return f;
}

TEST(VirtualMouseQueries, AnswerModeFirmwareAndResolution) {
    VirtualMouseState s;
    s.mode = 1;
    s.firmware = 0x17;
    Rig r(s);
    std::uint32_t v = 0;
    ASSERT_TRUE(r.commands.query(kOpQueryMode, v));
    EXPECT_EQ(v, 1u);
    ASSERT_TRUE(r.commands.query(kOpQueryFirmware, v));
    EXPECT_EQ(v, 0x17u);
    ASSERT_TRUE(r.commands.query(kOpQueryResolution, v));
    EXPECT_EQ(v, kDefaultResolution);
    // Once the levels of the current mode are set, the current level's X value is reported.
    r.mouse.state().dpiLevel = 2;
    ASSERT_TRUE(r.commands.setDpiLevels(kParamDpiX1, 4, 8, 16, 24));
    ASSERT_TRUE(r.commands.query(kOpQueryResolution, v));
    EXPECT_EQ(v, 32u);
}

TEST(VirtualMouseWrites, ButtonWordsAndBlocksLandInMemory) {
    Rig r;
    r.hostMode = 2;
    ASSERT_TRUE(r.commands.writeButtonWord(4, 0xA1B2C3D4));
    EXPECT_EQ(r.mouse.state().buttonWord(2, 4), 0xA1B2C3D4u);
    EXPECT_EQ(r.mouse.state().memory[0x838], 0xD4);
    std::vector<std::uint8_t> data(50);
    for (std::size_t i = 0; i < data.size(); ++i) {
        data[i] = static_cast<std::uint8_t>(i * 7);
    }
    ASSERT_TRUE(r.commands.writeBlock(MacroSlotAddress(17), data.data(), data.size()));
    EXPECT_TRUE(std::equal(data.begin(), data.end(), r.mouse.state().memory.begin() + 0x12000));
    EXPECT_EQ(r.mouse.state().memory[0x12000 + 50], 0);
}

TEST(VirtualMouseWrites, ParametersAreKeptPerModeAndPerLevel) {
    Rig r;
    ASSERT_TRUE(r.commands.setParameter(kParamLiftOff, {1, 7, 30}));
    ASSERT_TRUE(r.commands.setColourComponent(kParamGreen1, {10, 20, 30}));
    ASSERT_TRUE(r.commands.setDpiLevels(kParamDpiY2, 1, 2, 3, 4));
    const auto& p = r.mouse.state().params;
    EXPECT_EQ(p[kParamLiftOff][0], 5);
    EXPECT_EQ(p[kParamLiftOff][2], 30);
    EXPECT_EQ(p[kParamGreen1][1], 20);
    EXPECT_EQ(p[kParamDpiY2][3], 8);
}

TEST(VirtualMouseRejects, WhatTheProtocolForbids) {
    Rig r;
    EXPECT_EQ(r.rawStatus(Frame({0xA7})), kStatusRejected);                       // opcode
    EXPECT_EQ(r.rawStatus(Frame({0xA5, 0, 0, 0x10, 0, 25})), kStatusRejected);    // n > 24
    EXPECT_EQ(r.rawStatus(Frame({0xA5, 0, 0, 0x10, 0, 0})), kStatusRejected);     // n = 0
    EXPECT_EQ(r.rawStatus(Frame({0xA5, 0, 1, 0xFF, 0xFC, 8})), kStatusRejected);  // past end
    EXPECT_EQ(r.rawStatus(Frame({0xA5, 0, 0, 4, 2, 4})), kStatusRejected);        // misaligned
    EXPECT_EQ(r.rawStatus(Frame({0xA5, 0, 0, 4, 0, 6})), kStatusRejected);        // part word
    EXPECT_EQ(r.rawStatus(Frame({0xA6, 0x04, 1, 1, 1})), kStatusRejected);        // unused id
    EXPECT_EQ(r.rawStatus(Frame({0xA6, 0x17, 1, 1, 1})), kStatusRejected);        // unknown id
    EXPECT_EQ(r.rawStatus(Frame({0xA6, 0x0C, 5, 4, 5})), kStatusRejected);        // lift < 5
    Report noId = Frame({0xA2});
    noId[0] = 0;
    EXPECT_EQ(r.rawStatus(noId), kStatusRejected);
    EXPECT_EQ(r.mouse.state().params[kParamLiftOff][0], 0);
    EXPECT_EQ(r.rawStatus(Frame({0xA5, 0, 1, 0xFF, 0xFC, 4, 1, 2, 3, 4})), kStatusDone);
    EXPECT_EQ(r.mouse.state().memory[0x1FFFF], 4);
}

TEST(VirtualMouseTiming, StatusTurnsDoneOnlyAfterTheProcessingTime) {
    VirtualMouseState s;
    s.modelTiming = true;
    Rig r(s);
    std::vector<std::uint8_t> chunk(24, 1);
    const Report frame = Frame({0xA5, 0, 0, 0x10, 0, 24});
    r.mouse.handleOutputReport(frame);
    Report reply{};
    r.clock.sleepMs(119);
    ASSERT_TRUE(r.mouse.inputReport(reply));
    EXPECT_EQ(reply[0], kStatusBusy);
    r.clock.sleepMs(1);
    ASSERT_TRUE(r.mouse.inputReport(reply));
    EXPECT_EQ(reply[0], kStatusDone);
}

TEST(VirtualMouseTiming, TheProtocolsOwnWaitsAreEnough) {
    VirtualMouseState s;
    s.modelTiming = true;
    Rig r(s);
    std::vector<std::uint8_t> data(4093, 9);
    ASSERT_TRUE(r.commands.writeBlock(0x1000, data.data(), data.size()));
    ASSERT_TRUE(r.commands.writeButtonWord(1, 5));
    std::uint32_t v = 0;
    ASSERT_TRUE(r.commands.query(kOpQueryMode, v));
    ASSERT_TRUE(r.commands.setColourComponent(kParamRed0, {1, 2, 3}));
    // Every command needed exactly one poll.
    EXPECT_EQ(r.mouse.state().commandCount, 171u + 3u);
}

TEST(VirtualMouseFaults, NoReplyFailsTheQueryAndKeepsTheOutput) {
    VirtualMouseState s;
    s.fault = MouseFault::NoReply;
    Rig r(s);
    std::uint32_t v = 42;
    EXPECT_FALSE(r.commands.query(kOpQueryMode, v));
    EXPECT_EQ(v, 42u);
}

TEST(VirtualMouseFaults, NeverDoneLeavesTheMemoryUntouched) {
    VirtualMouseState s;
    s.fault = MouseFault::NeverDone;
    s.faultFromCommand = 1;
    Rig r(s);
    std::vector<std::uint8_t> data(48, 0x77);
    // The first chunk is carried out, the second never completes.
    EXPECT_FALSE(r.commands.writeBlock(0x1000, data.data(), data.size()));
    EXPECT_EQ(r.mouse.state().memory[0x1000], 0x77);
    EXPECT_EQ(r.mouse.state().memory[0x1018], 0);
    EXPECT_FALSE(r.commands.setColourComponent(kParamBlue0, {1, 1, 1}));
    EXPECT_TRUE(r.commands.setParameter(kParamEffect0, {1, 1, 1}));
}

TEST(VirtualMouseFaults, CorruptRepliesNeverPassForDone) {
    VirtualMouseState s;
    s.fault = MouseFault::CorruptReply;
    Rig r(s);
    std::uint32_t v = 1;
    EXPECT_FALSE(r.commands.query(kOpQueryFirmware, v));
    EXPECT_FALSE(r.commands.writeButtonWord(1, 1));
    EXPECT_EQ(v, 1u);
}

TEST(VirtualMouseFaults, UnplugsAfterTheGivenNumberOfCommands) {
    VirtualMouseState s;
    s.unplugAfterCommands = 2;
    Rig r(s);
    std::uint32_t v = 0;
    EXPECT_TRUE(r.commands.query(kOpQueryMode, v));
    EXPECT_TRUE(r.commands.query(kOpQueryMode, v));
    EXPECT_FALSE(r.commands.query(kOpQueryMode, v));
    EXPECT_FALSE(r.mouse.state().plugged);
    EXPECT_EQ(r.mouse.state().commandCount, 2u);
    r.channel.close();
    EXPECT_FALSE(r.channel.open());
}

TEST(VirtualMouseStall, ReportsFromTheGivenCommandOnAreNeverTaken) {
    VirtualMouseState s;
    s.fault = MouseFault::Stall;
    s.faultFromCommand = 1;
    Rig r(s);
    std::uint32_t v = 0;
    ASSERT_TRUE(r.commands.query(kOpQueryMode, v));
    EXPECT_TRUE(r.mouse.stalled());
    // The write waits out its limit and fails; the mouse neither counts nor carries it out.
    const std::uint64_t before = r.clock.totalSleptMs();
    EXPECT_FALSE(r.commands.writeButtonWord(3, 0x12345678));
    EXPECT_EQ(r.clock.totalSleptMs() - before, kTransferLimitMs);
    EXPECT_TRUE(r.transport.timedOut());
    EXPECT_EQ(r.mouse.state().commandCount, 1u);
    EXPECT_EQ(r.mouse.state().buttonWord(0, 3), 0u);
    // What stays readable is the reply to the last report taken.
    Report reply{};
    ASSERT_TRUE(r.mouse.inputReport(reply));
    EXPECT_EQ(reply[0], kStatusDone);
}

TEST(VirtualMouseStall, StalledChannelFailsTheRestAtOnceUntilReopened) {
    VirtualMouseState s;
    s.fault = MouseFault::Stall;
    Rig r(s);
    std::uint32_t v = 0;
    EXPECT_FALSE(r.commands.query(kOpQueryMode, v));
    EXPECT_TRUE(r.channel.stalled());
    // A download's worth of further commands costs no further limit.
    const std::uint64_t before = r.clock.totalSleptMs();
    for (int button = 1; button <= kButtonCount; ++button) {
        EXPECT_FALSE(r.commands.writeButtonWord(button, 1));
    }
    EXPECT_FALSE(r.commands.setParameter(kParamReportRate, {1, 1, 1}));
    EXPECT_EQ(r.clock.totalSleptMs(), before);
    // Once the mouse answers again, opening the channel anew brings it back.
    r.mouse.state().fault = MouseFault::None;
    EXPECT_FALSE(r.commands.query(kOpQueryMode, v));
    ASSERT_TRUE(r.channel.open());
    EXPECT_FALSE(r.channel.stalled());
    EXPECT_TRUE(r.commands.query(kOpQueryMode, v));
}

TEST(VirtualMouseStall, OtherFailuresDoNotCountAsAStall) {
    VirtualMouseState s;
    s.fault = MouseFault::NoReply;
    Rig r(s);
    std::uint32_t v = 0;
    EXPECT_FALSE(r.commands.query(kOpQueryMode, v));
    EXPECT_FALSE(r.channel.stalled());
    r.mouse.state().fault = MouseFault::None;
    EXPECT_TRUE(r.commands.query(kOpQueryMode, v));
}

TEST(VirtualMouseEvents, QueueKeepsOrderAndItsLimit) {
    FakeClock clock;
    VirtualMouse mouse(clock);
    for (std::uint32_t i = 0; i < kMaxQueuedEvents; ++i) {
        ASSERT_TRUE(mouse.pushEvent(0x100 + i));
    }
    EXPECT_FALSE(mouse.pushEvent(1));
    EXPECT_EQ(mouse.popEvent(), 0x100u);
    EXPECT_EQ(mouse.popEvent(), 0x101u);
    while (mouse.popEvent()) {
    }
    EXPECT_FALSE(mouse.popEvent().has_value());
}

TEST(VirtualMouseFirmwareUpdate, ProgramsTheNewVersionOnlyWhenEveryByteArrived) {
    VirtualMouseState s;
    s.firmware = 3;
    Rig r(s);
    const std::vector<std::uint8_t> payload(1000, 0x3C);
    const std::span<const std::uint8_t> all(payload);
    // Outside update mode nothing is written.
    EXPECT_FALSE(r.mouse.writeFirmware(0, all));
    ASSERT_TRUE(r.mouse.enterUpdateMode());
    EXPECT_TRUE(r.mouse.state().updateMode());
    std::uint32_t v = 99;
    ASSERT_TRUE(r.commands.query(kOpQueryFirmware, v));
    EXPECT_EQ(v, 0u);
    // Pieces arrive in order only.
    ASSERT_TRUE(r.mouse.writeFirmware(0, all.first(600)));
    EXPECT_FALSE(r.mouse.writeFirmware(0, all.first(600)));
    EXPECT_FALSE(r.mouse.writeFirmware(700, all.subspan(700)));
    // Leaving before everything arrived, or with another CRC, keeps the mouse in update mode.
    const std::uint32_t crc = Crc32(all);
    EXPECT_FALSE(r.mouse.leaveUpdateMode(7, 1000, crc));
    ASSERT_TRUE(r.mouse.writeFirmware(600, all.subspan(600)));
    EXPECT_FALSE(r.mouse.leaveUpdateMode(7, 1000, crc ^ 1));
    EXPECT_FALSE(r.mouse.leaveUpdateMode(0, 1000, crc));
    EXPECT_TRUE(r.mouse.state().updateMode());
    ASSERT_TRUE(r.mouse.leaveUpdateMode(7, 1000, crc));
    ASSERT_TRUE(r.commands.query(kOpQueryFirmware, v));
    EXPECT_EQ(v, 7u);
    EXPECT_EQ(r.mouse.state().firmwareSize, 1000u);
    EXPECT_EQ(r.mouse.state().firmwareCrc, crc);
    EXPECT_EQ(r.mouse.state().flashedBytes, 0u);
}

TEST(VirtualMouseFirmwareUpdate, AnInterruptedUpdateStartsOverAndAnUnpluggedMouseRefuses) {
    Rig r;
    const std::vector<std::uint8_t> payload(64, 1);
    ASSERT_TRUE(r.mouse.enterUpdateMode());
    ASSERT_TRUE(r.mouse.writeFirmware(0, payload));
    // The flasher was stopped; the next one begins again from the first byte.
    ASSERT_TRUE(r.mouse.enterUpdateMode());
    EXPECT_EQ(r.mouse.state().flashedBytes, 0u);
    ASSERT_TRUE(r.mouse.writeFirmware(0, payload));
    EXPECT_TRUE(r.mouse.leaveUpdateMode(2, 64, Crc32(payload)));
    r.mouse.state().plugged = false;
    EXPECT_FALSE(r.mouse.enterUpdateMode());
    EXPECT_EQ(r.mouse.state().firmware, 2);
}

}  // namespace
}  // namespace q350
