#include "config/acknowledged_state.h"  // first: it reads the device headers

#include <gtest/gtest.h>

namespace q350 {
namespace {

PlanCommand Word(int mode, int button, std::uint32_t word) {
    PlanCommand c;
    c.op = PlanOp::ButtonWord;
    c.mode = mode;
    c.button = button;
    c.word = word;
    return c;
}

PlanCommand Chunk(std::uint32_t address, std::vector<std::uint8_t> bytes) {
    PlanCommand c;
    c.op = PlanOp::MacroChunk;
    c.address = address;
    c.bytes = std::move(bytes);
    return c;
}

TEST(AcknowledgedState, HoldsOnlyWhatWasConfirmedInThisAttachment) {
    AcknowledgedState held;
    EXPECT_TRUE(held.empty());
    const PlanCommand w = Word(2, 14, 0x1234);
    EXPECT_FALSE(held.holds(w));
    const std::uint64_t run = held.generation();
    held.acknowledge(w, run);
    EXPECT_TRUE(held.holds(w));
    EXPECT_FALSE(held.holds(Word(2, 14, 0x1235)));
    EXPECT_FALSE(held.holds(Word(1, 14, 0x1234)));
    held.forget(w);
    EXPECT_FALSE(held.holds(w));

    // A mouse swapped during a run is not credited with what the run sent before the swap.
    held.acknowledge(w, run);
    held.forgetAll();
    EXPECT_FALSE(held.holds(w));
    held.acknowledge(w, run);
    EXPECT_FALSE(held.holds(w));
    EXPECT_TRUE(held.empty());

    // Out-of-range commands are never held.
    held.acknowledge(Word(3, 1, 0), held.generation());
    held.acknowledge(Word(0, 15, 0), held.generation());
    EXPECT_TRUE(held.empty());
}

TEST(AcknowledgedState, MacroBytesAreKnownChunkByChunk) {
    AcknowledgedState held;
    const std::uint64_t run = held.generation();
    held.acknowledge(Chunk(0x1000, {1, 2, 3, 4}), run);
    EXPECT_TRUE(held.holds(Chunk(0x1000, {1, 2, 3, 4})));
    EXPECT_TRUE(held.holds(Chunk(0x1001, {2, 3})));
    EXPECT_FALSE(held.holds(Chunk(0x1000, {1, 2, 3, 5})));
    EXPECT_FALSE(held.holds(Chunk(0x1002, {3, 4, 0})));  // the last byte was never written
    held.forget(Chunk(0x1003, {9}));
    EXPECT_FALSE(held.holds(Chunk(0x1000, {1, 2, 3, 4})));
    EXPECT_TRUE(held.holds(Chunk(0x1000, {1, 2, 3})));
    // Outside the eighteen slots nothing is kept.
    const std::uint32_t end = MacroSlotAddress(kMacroSlotCount);
    held.acknowledge(Chunk(end - 2, {7, 7, 7, 7}), run);
    EXPECT_FALSE(held.holds(Chunk(end - 2, {7, 7})));
    held.acknowledge(Chunk(0x0FFF, {7, 7}), run);
    EXPECT_FALSE(held.holds(Chunk(0x0FFF, {7, 7})));

    PlanCommand p;
    p.op = PlanOp::Parameter;
    p.id = kParamLiftOff;
    p.values = {5, 6, 7, 0};
    held.acknowledge(p, run);
    EXPECT_TRUE(held.holds(p));
    p.values[2] = 8;
    EXPECT_FALSE(held.holds(p));
    p.op = PlanOp::NoSlot;
    held.acknowledge(p, run);
    EXPECT_FALSE(held.holds(p));
}

}  // namespace
}  // namespace q350
