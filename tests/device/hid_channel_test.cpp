#include "device/hid_channel.h"

#include <gtest/gtest.h>

#include "tests/device/scripted_transport.h"

namespace q350 {
namespace {

using test::ScriptedTransport;

TEST(HidChannelSend, FramesPayloadAfterReportIdAndZeroFillsTheRest) {
    ScriptedTransport t;
    HidChannel channel(t);
    ASSERT_TRUE(channel.open());
    const std::uint8_t payload[3] = {0xA6, 0x0B, 0x01};
    ASSERT_TRUE(channel.send(payload, 3));
    ASSERT_EQ(t.written.size(), 1u);
    const Report& f = t.written[0];
    EXPECT_EQ(f[0], 0xBA);
    EXPECT_EQ(f[1], 0xA6);
    EXPECT_EQ(f[3], 0x01);
    for (std::size_t i = 4; i < kReportSize; ++i) {
        EXPECT_EQ(f[i], 0) << i;
    }
}

TEST(HidChannelSend, ThirtyOneBytesFillTheFrameAndThirtyTwoAreRefused) {
    ScriptedTransport t;
    HidChannel channel(t);
    ASSERT_TRUE(channel.open());
    std::uint8_t payload[32];
    for (int i = 0; i < 32; ++i) {
        payload[i] = static_cast<std::uint8_t>(0x40 + i);
    }
    ASSERT_TRUE(channel.send(payload, 31));
    EXPECT_EQ(t.written[0][31], 0x40 + 30);
    EXPECT_FALSE(channel.send(payload, 32));
    EXPECT_FALSE(channel.send(nullptr, 1));
    EXPECT_EQ(t.written.size(), 1u);
}

TEST(HidChannelSend, FailedWriteFailsTheSend) {
    ScriptedTransport t;
    t.writeResult = false;
    HidChannel channel(t);
    ASSERT_TRUE(channel.open());
    const std::uint8_t b = 0xA2;
    EXPECT_FALSE(channel.send(&b, 1));
}

TEST(HidChannelReceive, PassesRequestBytesAndReturnsTheReplysFirstBytes) {
    ScriptedTransport t;
    t.reply(1, 2);
    HidChannel channel(t);
    ASSERT_TRUE(channel.open());
    std::uint8_t buffer[2] = {0xA2, 0};
    ASSERT_TRUE(channel.receive(buffer, 2));
    ASSERT_EQ(t.requests.size(), 1u);
    EXPECT_EQ(t.requests[0][0], 0xBA);
    EXPECT_EQ(t.requests[0][1], 0xA2);
    EXPECT_EQ(t.requests[0][2], 0);
    EXPECT_EQ(buffer[0], 1);
    EXPECT_EQ(buffer[1], 2);
}

TEST(HidChannelReceive, FailureLeavesTheBufferAlone) {
    ScriptedTransport t;
    t.readResult = false;
    HidChannel channel(t);
    ASSERT_TRUE(channel.open());
    std::uint8_t buffer[2] = {0xA3, 7};
    EXPECT_FALSE(channel.receive(buffer, 2));
    EXPECT_EQ(buffer[0], 0xA3);
    EXPECT_EQ(buffer[1], 7);
    EXPECT_FALSE(channel.receive(nullptr, 2));
    // A request that cannot be framed is refused rather than overrunning the report.
    std::uint8_t big[40] = {};
    t.readResult = true;
    EXPECT_FALSE(channel.receive(big, 32));
}

TEST(HidChannelLifecycle, ClosedChannelRefusesEverything) {
    ScriptedTransport t;
    t.openResult = false;
    HidChannel channel(t);
    EXPECT_FALSE(channel.open());
    EXPECT_FALSE(channel.isOpen());
    const std::uint8_t b = 0xA2;
    std::uint8_t buffer[2] = {0xA2, 0};
    EXPECT_FALSE(channel.send(&b, 1));
    EXPECT_FALSE(channel.receive(buffer, 2));
    EXPECT_FALSE(channel.sendFrame(Report{kReportId}));
    EXPECT_TRUE(t.written.empty());
    EXPECT_TRUE(t.requests.empty());
}

TEST(HidChannelLifecycle, AfterCloseSendAndReceiveFailUntilReopened) {
    ScriptedTransport t;
    HidChannel channel(t);
    ASSERT_TRUE(channel.open());
    channel.close();
    EXPECT_EQ(t.closes, 1);
    const std::uint8_t b = 0xA2;
    std::uint8_t buffer[2] = {0xA2, 0};
    EXPECT_FALSE(channel.send(&b, 1));
    EXPECT_FALSE(channel.receive(buffer, 2));
    ASSERT_TRUE(channel.open());
    EXPECT_TRUE(channel.send(&b, 1));
}

TEST(HidChannelTrace, SilentUnlessSwitchedOnThenHexLines) {
    ScriptedTransport t;
    HidChannel channel(t);
    ASSERT_TRUE(channel.open());
    const std::uint8_t payload[2] = {0xA6, 0x0E};
    ASSERT_TRUE(channel.send(payload, 2));
    EXPECT_TRUE(t.trace.empty());

    HidChannel::setTraceEnabled(true);
    ASSERT_TRUE(channel.send(payload, 2));
    t.reply(1, 0x2F);
    std::uint8_t buffer[2] = {0xA9, 0};
    ASSERT_TRUE(channel.receive(buffer, 2));
    HidChannel::setTraceEnabled(false);

    ASSERT_EQ(t.trace.size(), 2u);
    EXPECT_EQ(t.trace[0], u"Send: ba a6 0e ");
    EXPECT_EQ(t.trace[1], u"Receive: 01 2f ");
}

}  // namespace
}  // namespace q350
