#include "config/download_plan.h"  // first: it reads the device headers

#include <gtest/gtest.h>

#include <cstring>
#include <memory>

#include "config/function_catalog.h"

namespace q350 {
namespace {

class Plan : public ::testing::Test {
protected:
    Plan() {
        BuildDefaults(*profile, false);
        std::memset(slot.get(), 0, sizeof(ProfileSlot));
    }
    DownloadPlan Make() {
        PlanInput in;
        in.profile = profile.get();
        in.slot = slot.get();
        in.pendingMacroId = pending;
        in.macros = &library;
        return PlanDownload(in);
    }
    void PutMacro(std::size_t index, std::uint32_t id, std::size_t keys) {
        MacroRecord& r = library.entry(index);
        std::memset(&r, 0, sizeof(r));
        r.formatTag = kMacroFormatTag;
        r.id = id;
        r.repeat = 1;
        r.eventCount = static_cast<std::uint32_t>(keys);
        r.size = static_cast<std::uint32_t>(kExchangeHeaderSize + 4 * keys);
        for (std::size_t i = 0; i < keys; ++i) {
            r.events[i] = MacroEvent(i % 2 ? kMacroKeyUp : kMacroKeyDown, 0x41);
        }
    }

    FakeClock clock;
    MemorySettingsStore settings;
    SilentNotifier notifier;
    MacroLibrary library{"/nonexistent-q350-folder", settings, notifier, clock};
    std::unique_ptr<ProfileData> profile = std::make_unique<ProfileData>();
    std::unique_ptr<ProfileSlot> slot = std::make_unique<ProfileSlot>();
    std::int32_t pending[kModeCount][kButtonCount] = {};
};

TEST_F(Plan, WholeSequenceInItsOrderWithItsPauses) {
    const DownloadPlan plan = Make();
    ASSERT_EQ(plan.commands.size(), 42u + 20u);
    for (int i = 0; i < 42; ++i) {
        const PlanCommand& c = plan.commands[static_cast<std::size_t>(i)];
        EXPECT_EQ(c.op, PlanOp::ButtonWord);
        EXPECT_EQ(c.mode, i / 14);
        EXPECT_EQ(c.button, i % 14 + 1);
        EXPECT_EQ(c.pauseBeforeMs, 0u);
        EXPECT_EQ(c.pauseAfterMs, kCommandPauseMs);
    }
    const std::uint8_t ids[20] = {0x0E, 5,    6,    7,    8,    9,    10,   0x0B, 0x0C, 0x0D,
                                  0x11, 0x01, 0x02, 0x03, 0x10, 0x12, 0x16, 0x13, 0x14, 0x15};
    for (int i = 0; i < 20; ++i) {
        const PlanCommand& c = plan.commands[static_cast<std::size_t>(42 + i)];
        EXPECT_EQ(c.id, ids[i]) << i;
        EXPECT_EQ(c.pauseBeforeMs, kCommandPauseMs);
        EXPECT_EQ(c.pauseAfterMs, 0u);
    }
    // The progress positions ride on the commands they precede: 0, 5, 2 ... at the first
    // button, 90 before the report rate, 95 before the first lighting command.
    EXPECT_EQ(plan.commands[0].progressBefore, (std::vector<int>{0, 5, 2}));
    EXPECT_EQ(plan.commands[14].progressBefore, (std::vector<int>{5, 30}));
    EXPECT_EQ(plan.commands[49].progressBefore, (std::vector<int>{90}));
    EXPECT_EQ(plan.commands[51].progressBefore, (std::vector<int>{95}));
    EXPECT_TRUE(plan.progressAfter.empty());
    // Pure: the same input gives the same plan.
    EXPECT_EQ(DescribeCommand(Make().commands[30]), DescribeCommand(plan.commands[30]));
}

TEST_F(Plan, MacroButtonsTakeSlotsInOrderAndPendingIdsWin) {
    PutMacro(0, 7, 20);  // 20 key entries: 4 + 60 = 64 bytes, chunks of 24, 24 and 16
    PutMacro(1, 8, 2);
    profile->buttons[0][2].function = fn::kMacro;
    slot->buttonMacroId[0][2] = 8;
    pending[0][2] = 7;  // chosen since the last download
    profile->buttons[1][0].function = fn::kMacro;
    slot->buttonMacroId[1][0] = 7;
    const DownloadPlan plan = Make();
    EXPECT_EQ(plan.macroIds[0][2], 7);
    EXPECT_EQ(plan.macroIds[1][0], 7);
    EXPECT_EQ(plan.macroUploads, 2);
    std::vector<const PlanCommand*> chunks;
    const PlanCommand* word0 = nullptr;
    const PlanCommand* word1 = nullptr;
    for (const PlanCommand& c : plan.commands) {
        if (c.op == PlanOp::MacroChunk) {
            chunks.push_back(&c);
        } else if (c.op == PlanOp::ButtonWord && c.mode == 0 && c.button == 3) {
            word0 = &c;
        } else if (c.op == PlanOp::ButtonWord && c.mode == 1 && c.button == 1) {
            word1 = &c;
        }
    }
    ASSERT_EQ(chunks.size(), 6u);
    EXPECT_EQ(chunks[0]->address, 0x1000u);
    EXPECT_EQ(chunks[1]->address, 0x1018u);
    EXPECT_EQ(chunks[2]->bytes.size(), 16u);
    EXPECT_EQ(chunks[3]->address, 0x2000u);  // the same macro again, in slot 1
    ASSERT_TRUE(word0 && word1);
    EXPECT_EQ(word0->word, 0x00000005u);
    EXPECT_EQ(word1->word, 0x00010005u);
    EXPECT_EQ(word0->macroChunks, 3);
    EXPECT_EQ(&plan.commands[static_cast<std::size_t>(word0->macroFirst)], chunks[0]);
    EXPECT_EQ(DescribeCommand(*chunks[2]).substr(0, 38), "write 0x01030  macro slot  0  16 bytes");

    // Past the eighteenth slot a macro button gets a command that can only fail.
    for (int i = 0; i < 19; ++i) {
        profile->buttons[i / 14][i % 14].function = fn::kMacro;
        slot->buttonMacroId[i / 14][i % 14] = 8;
        pending[i / 14][i % 14] = 0;
    }
    const DownloadPlan full = Make();
    EXPECT_EQ(full.macroUploads, 18);
    EXPECT_EQ(std::count_if(full.commands.begin(), full.commands.end(),
                            [](const PlanCommand& c) { return c.op == PlanOp::NoSlot; }),
              1);
}

}  // namespace
}  // namespace q350
