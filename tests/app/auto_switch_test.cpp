#include "app/auto_switch.h"

#include <gtest/gtest.h>

namespace q350::app {
namespace {

TEST(ProgramMatches, FolderMeansTheWholePathAFileNameAnyFolder) {
    const std::u16string_view game = u"C:\\Games\\Arena\\Arena.exe";
    EXPECT_TRUE(ProgramMatches(u"arena.EXE", game));
    EXPECT_TRUE(ProgramMatches(u"c:\\games\\arena\\ARENA.exe", game));
    EXPECT_TRUE(ProgramMatches(u"C:/Games/Arena/Arena.exe", game));
    EXPECT_FALSE(ProgramMatches(u"D:\\Games\\Arena\\Arena.exe", game));
    EXPECT_FALSE(ProgramMatches(u"Arena", game));        // a name is the whole file name
    EXPECT_FALSE(ProgramMatches(u"rena.exe", game));
    EXPECT_FALSE(ProgramMatches(u"Arena\\Arena.exe", game));  // a folder asks for the whole path
    EXPECT_FALSE(ProgramMatches(u"", game));
    EXPECT_FALSE(ProgramMatches(u"Arena.exe", u""));
    EXPECT_TRUE(ProgramMatches(u"spiel\u00e4.exe", u"C:\\Spiel\u00c4.EXE"));
}

class Switching : public ::testing::Test {
protected:
    Switching() {
        std::array<std::u16string, kSlotCount> programs{};
        programs[1] = u"arena.exe";
        programs[3] = u"C:\\Racing\\race.exe";
        s.setBindings(programs);
        s.chosenByHand(0);
    }
    std::optional<int> Due(std::uint64_t now) { return s.due(c, now); }

    AutoSwitcher s;
    AutoSwitcher::Conditions c;
};

TEST_F(Switching, BoundProgramSettlesThenBackToTheHandChosenProfile) {
    s.foreground(u"C:\\Games\\Arena.exe", false, 1000);
    EXPECT_EQ(Due(1299), std::nullopt);  // not yet 300 ms in front
    EXPECT_EQ(s.settlesInMs(1299), 1u);
    EXPECT_EQ(Due(1300), 1);
    c.activeSlot = 1;
    EXPECT_EQ(Due(1400), std::nullopt);  // already there

    // The program's own window in front changes nothing; an unbound program goes back.
    s.foreground(u"Z:\\Q350\\Q350Config.exe", true, 2000);
    EXPECT_EQ(Due(2500), std::nullopt);
    s.foreground(u"C:\\Windows\\explorer.exe", false, 3000);
    EXPECT_EQ(Due(3300), 0);

    // A program that comes and goes within the settle time switches nothing.
    c.activeSlot = 0;
    s.foreground(u"C:\\Racing\\race.exe", false, 4000);
    s.foreground(u"C:\\Windows\\explorer.exe", false, 4200);
    EXPECT_EQ(Due(4600), std::nullopt);
    // An unreadable image is no bound program.
    s.foreground(u"", false, 5000);
    EXPECT_EQ(Due(5400), std::nullopt);

    // A profile chosen by hand while no bound program is in front stays.
    s.chosenByHand(2);
    c.activeSlot = 2;
    EXPECT_EQ(Due(6000), std::nullopt);
    s.foreground(u"C:\\Windows\\notepad.exe", false, 7000);
    EXPECT_EQ(Due(7400), std::nullopt);
}

TEST_F(Switching, UnappliedEditsAndBusyWindowsHoldTheSwitchBack) {
    s.chosenByHand(2);
    c.activeSlot = 2;
    s.foreground(u"D:\\x\\ARENA.EXE", false, 0);
    c.unappliedEdits = true;
    EXPECT_EQ(Due(500), std::nullopt);
    EXPECT_EQ(s.hold(), AutoSwitcher::Hold::WaitsForApply);
    c.unappliedEdits = false;
    c.busy = true;
    EXPECT_EQ(Due(600), std::nullopt);
    EXPECT_EQ(s.hold(), AutoSwitcher::Hold::Busy);
    c.busy = false;
    EXPECT_EQ(Due(700), 1);
    EXPECT_EQ(s.hold(), AutoSwitcher::Hold::None);
    // Gone from the front: back to the profile chosen by hand, not to the first one.
    c.activeSlot = 1;
    s.foreground(u"C:\\other.exe", false, 800);
    EXPECT_EQ(Due(1100), 2);
}

TEST_F(Switching, BindingsComeFromTheSlotsWithTheSwitchOn) {
    ProfileSlot slots[kSlotCount];
    for (ProfileSlot& slot : slots) {
        ZeroRecord(slot);
    }
    ASSERT_TRUE(SetAutoSwitch(slots[4], u"arena.exe", true));
    ASSERT_TRUE(SetAutoSwitch(slots[1], u"race.exe", false));  // bound, but switched off
    slots[2].autoSwitch = 1;                                    // on, but no program
    s.setBindings(slots);
    s.foreground(u"C:\\arena.exe", false, 0);
    EXPECT_EQ(Due(300), 4);
    c.activeSlot = 4;
    s.foreground(u"C:\\race.exe", false, 400);
    EXPECT_EQ(Due(800), 0);
    EXPECT_FALSE(SetAutoSwitch(slots[0], std::u16string(kAutoPathChars, u'a'), true));
}

}  // namespace
}  // namespace q350::app
