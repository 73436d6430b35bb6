#include "pages/macro_recorder.h"

#include <gtest/gtest.h>

#include "config/macro_library.h"

namespace q350::pages {
namespace {

constexpr unsigned kUp = kKeyReleasedFlag;

std::uint32_t Down(int vk) {
    return MacroEvent(kMacroKeyDown, static_cast<std::uint32_t>(vk));
}
std::uint32_t Up(int vk) {
    return MacroEvent(kMacroKeyUp, static_cast<std::uint32_t>(vk));
}
std::uint32_t Pause(std::uint32_t ms) {
    return MacroEvent(kMacroPause, ms);
}
using Events = std::vector<std::uint32_t>;

class RecorderTest : public ::testing::Test {
protected:
    KeyUse key(int vk, unsigned flags, std::uint32_t tick, bool noPause = false) {
        return recorder.onKey(vk, flags, tick, noPause, events, kMacroMaxEvents);
    }
    MacroRecorder recorder;
    Events events;
};

TEST_F(RecorderTest, HeldKeyGivesOnePressAndOneReleaseWithThePauseBetween) {
    recorder.start(events);
    EXPECT_EQ(key('A', 0, 1000), KeyUse::Recorded);
    EXPECT_EQ(key('A', 0, 1030), KeyUse::Ignored);  // auto-repeat
    EXPECT_EQ(key('A', 0, 1060), KeyUse::Ignored);
    EXPECT_EQ(key('A', kUp, 1250), KeyUse::Recorded);
    EXPECT_EQ(key('A', kUp, 1260), KeyUse::Ignored);  // a repeated release
    EXPECT_EQ(events, (Events{Down('A'), Pause(250), Up('A')}));
    EXPECT_EQ(recorder.recordedKeys(), 2);
}

TEST_F(RecorderTest, OverlappingKeysKeepTheirOrderAndPauses) {
    recorder.start(events);
    key('A', 0, 100);
    key('B', 0, 110);
    key('A', kUp, 130);
    key('B', kUp, 160);
    EXPECT_EQ(events,
              (Events{Down('A'), Pause(10), Down('B'), Pause(20), Up('A'), Pause(30), Up('B')}));
}

TEST_F(RecorderTest, PausesAreLimitedAndTheTickCounterMayWrap) {
    recorder.start(events);
    key('A', 0, 0xFFFFFFF0u);
    key('A', kUp, 0x10);  // 32 ms later, across the wrap
    key('B', 0, 0x10 + 400000);
    EXPECT_EQ(events,
              (Events{Down('A'), Pause(32), Up('A'), Pause(kMacroPauseLimitMs), Down('B')}));
}

TEST_F(RecorderTest, NoPauseSwitchRecordsKeysOnly) {
    recorder.start(events);
    key('A', 0, 10, true);
    key('A', kUp, 500, true);
    key(1, 0, 900, true);
    EXPECT_EQ(events, (Events{Down('A'), Up('A'), Down(1)}));
}

TEST_F(RecorderTest, KeysPastTheLimitsAreDropped) {
    recorder.start(events);
    for (int i = 0; i < kRecordKeyLimit; ++i) {
        ASSERT_EQ(key(i % 2 ? 'A' : 'B', 0, 0, true), KeyUse::Recorded);
    }
    EXPECT_EQ(key('C', 0, 0, true), KeyUse::Dropped);
    EXPECT_EQ(events.size(), static_cast<std::size_t>(kRecordKeyLimit));
    // With pauses a library entry fills up first: 500 keys and 499 pauses.
    recorder.start(events);
    std::uint32_t tick = 0;
    for (int i = 0; i < 600; ++i) {
        recorder.onKey(i % 2 ? 'A' : 'B', 0, tick += 5, false, events, kMacroMaxEvents);
    }
    EXPECT_EQ(events.size(), 999u);
    EXPECT_EQ(recorder.recordedKeys(), 500);
    EXPECT_EQ(MacroEventType(events.back()), kMacroKeyDown);
}

TEST_F(RecorderTest, NothingIsRecordedWhileStoppedAndTheLastKeyCarriesOver) {
    EXPECT_EQ(key('A', 0, 10), KeyUse::Ignored);
    recorder.start(events);
    key('A', 0, 20);
    recorder.stop();
    EXPECT_EQ(key('B', 0, 30), KeyUse::Ignored);
    EXPECT_EQ(events, (Events{Down('A')}));
    // The second recording drops a first key that repeats the last event of the first.
    recorder.start(events);
    EXPECT_EQ(key('A', 0, 40), KeyUse::Ignored);
    EXPECT_EQ(key('A', kUp, 50), KeyUse::Recorded);
    EXPECT_EQ(events, (Events{Up('A')}));  // no pause before the first key of a recording
}

TEST_F(RecorderTest, CaptureTakesOneKeyWithoutRecording) {
    recorder.start(events);
    key('A', 0, 10);
    recorder.stop();
    recorder.setCapture(true);
    EXPECT_EQ(recorder.capturedKey(), 0);
    EXPECT_EQ(key('A', 0, 20), KeyUse::Ignored);  // repeats the last accepted event
    EXPECT_EQ(key('Q', 0, 30), KeyUse::Captured);
    EXPECT_EQ(key('W', 0, 31), KeyUse::Captured);
    EXPECT_EQ(recorder.capturedKey(), 'W');
    EXPECT_EQ(events, (Events{Down('A')}));
    // Capture does not move the last accepted key: a release of A is still new.
    recorder.setCapture(false);
    recorder.start(events);
    EXPECT_EQ(key('A', 0, 40), KeyUse::Ignored);
    EXPECT_EQ(recorder.capturedKey(), 'W');
}

}  // namespace
}  // namespace q350::pages
