#include "app/startup.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace q350::app {
namespace {

TEST(ProgramFolder, CutAfterTheLastBackslash) {
    EXPECT_EQ(ProgramFolderFromExePath(u"C:\\Program Files\\Quorv\\Q350Config.exe"),
              u"C:\\Program Files\\Quorv\\");
    EXPECT_EQ(ProgramFolderFromExePath(u"D:\\Q350Config.exe"), u"D:\\");
    EXPECT_EQ(ProgramFolderFromExePath(u"Q350Config.exe"), u"");
    // A folder longer than the field keeps its first 259 characters.
    const std::u16string longFolder = u"C:\\" + std::u16string(300, u'a') + u"\\";
    EXPECT_EQ(ProgramFolderFromExePath(longFolder + u"x.exe").size(), kMaxProgramFolderChars);
}

TEST(HardwareIds, SubstringWithoutCase) {
    EXPECT_TRUE(HardwareIdMatches(u"USB\\VID_3F5C&PID_4106&REV_0100", kMouseHardwareId));
    EXPECT_TRUE(HardwareIdMatches(u"usb\\vid_3f5c&pid_4106", kMouseHardwareId));
    EXPECT_FALSE(HardwareIdMatches(u"USB\\VID_3F5C&PID_4001", kMouseHardwareId));
    EXPECT_TRUE(HardwareIdMatches(u"USB\\VID_3F5C&PID_4001", kUpdateModeHardwareId));
    EXPECT_FALSE(HardwareIdMatches(u"", kMouseHardwareId));

    EXPECT_TRUE(IsMouseRemoval(u"\\\\?\\USB#Vid_3f5c&Pid_4106#5&1a2b#{a5dcbf10-6530}"));
    EXPECT_FALSE(IsMouseRemoval(u"\\\\?\\USB#VID_046D&PID_C077#5&1a2b"));
    // The mouse leaving its update mode is not an unplug of the mouse.
    EXPECT_FALSE(IsMouseRemoval(u"\\\\?\\USB#VID_3F5C&PID_4001#1"));
}

// A USB bus whose contents change as the searches go.
struct FakeBus {
    std::vector<std::vector<std::u16string>> attempts;  // devices present in each attempt
    int searches = 0;
    bool search(std::u16string_view fragment) {
        const auto& present = attempts[std::min<std::size_t>(searches++ / 2, attempts.size() - 1)];
        for (const auto& id : present) {
            if (HardwareIdMatches(id, fragment)) {
                return true;
            }
        }
        return false;
    }
};

TEST(FindMouse, FoundAtOnceSearchesOnceWithoutWaiting) {
    FakeBus bus{{{u"USB\\VID_3F5C&PID_4106"}}};
    FakeClock clock;
    const MousePresence p = FindMouse([&](auto f) { return bus.search(f); }, clock);
    EXPECT_TRUE(p.normal);
    EXPECT_FALSE(p.updateMode);
    EXPECT_EQ(bus.searches, 2);
    EXPECT_TRUE(clock.sleeps.empty());
    EXPECT_EQ(ChooseStartPath(p), StartPath::Run);
}

TEST(FindMouse, PluggedInDuringTheWaitIsFoundInTheSecondAttempt) {
    FakeBus bus{{{}, {u"USB\\VID_3F5C&PID_4106"}}};
    FakeClock clock;
    const MousePresence p = FindMouse([&](auto f) { return bus.search(f); }, clock);
    EXPECT_TRUE(p.normal);
    EXPECT_EQ(clock.sleeps, std::vector<std::uint32_t>{kPresenceRetryMs});
    EXPECT_EQ(ChooseStartPath(p), StartPath::Run);
}

TEST(FindMouse, AbsentOrInUpdateMode) {
    FakeBus none{{{u"USB\\VID_046D&PID_C077"}}};
    FakeClock clock;
    MousePresence p = FindMouse([&](auto f) { return none.search(f); }, clock);
    EXPECT_FALSE(p.normal);
    EXPECT_FALSE(p.updateMode);
    EXPECT_EQ(none.searches, 4);  // two attempts, never a third
    EXPECT_EQ(clock.totalSleptMs(), kPresenceRetryMs);
    EXPECT_EQ(ChooseStartPath(p), StartPath::NotFound);

    FakeBus update{{{u"USB\\VID_3F5C&PID_4001"}}};
    p = FindMouse([&](auto f) { return update.search(f); }, clock);
    EXPECT_FALSE(p.normal);
    EXPECT_TRUE(p.updateMode);
    EXPECT_EQ(ChooseStartPath(p), StartPath::HandToFlasher);

    // Found in update mode first and gone in the last attempt: the last attempt counts.
    FakeBus gone{{{u"USB\\VID_3F5C&PID_4001"}, {}}};
    p = FindMouse([&](auto f) { return gone.search(f); }, clock);
    EXPECT_EQ(ChooseStartPath(p), StartPath::NotFound);
}

TEST(WindowRules, NoticeTextsTrayAndTimers) {
    EXPECT_EQ(MouseNotFoundText(false), u"The Q350 gaming mouse cannot be found.");
    EXPECT_EQ(MouseNotFoundText(true), u"没有找到Q350游戏鼠标.");

    EXPECT_FALSE(ShowWindowAtStart(0));
    EXPECT_FALSE(ShowWindowAtStart(300000));
    EXPECT_TRUE(ShowWindowAtStart(300001));
    // Up 49.7 days and a minute: a 32-bit count would have wrapped to one minute.
    EXPECT_TRUE(ShowWindowAtStart(std::uint64_t{1} << 32 | 60000));

    EXPECT_EQ(TrayActionFor(515), TrayAction::ShowWindow);
    EXPECT_EQ(TrayActionFor(517), TrayAction::ShowMenu);
    EXPECT_EQ(TrayActionFor(514), TrayAction::None);  // a single left click does nothing
    EXPECT_EQ(TrayActionFor(516), TrayAction::None);
}

TEST(WindowRules, DpiIndicatorStaysTenTicks) {
    DpiIndicatorCountdown c;
    for (int i = 1; i < DpiIndicatorCountdown::kTicks; ++i) {
        EXPECT_FALSE(c.tick()) << i;
    }
    EXPECT_TRUE(c.tick());
    EXPECT_EQ(c.ticks(), 0);
    // A new level half-way restarts the two seconds.
    for (int i = 0; i < 5; ++i) {
        c.tick();
    }
    c.restart();
    for (int i = 1; i < DpiIndicatorCountdown::kTicks; ++i) {
        EXPECT_FALSE(c.tick());
    }
    EXPECT_TRUE(c.tick());
}

TEST(WindowRules, OnlyEnterEscapeAndSpaceKeysAreDropped) {
    constexpr std::uint32_t kKeyDown = 0x100, kKeyUp = 0x101, kChar = 0x102;
    for (std::uintptr_t vk : {13u, 27u, 32u}) {
        EXPECT_TRUE(IsFilteredKey(kKeyDown, vk));
        EXPECT_TRUE(IsFilteredKey(kKeyUp, vk));
        EXPECT_FALSE(IsFilteredKey(kChar, vk));
    }
    EXPECT_FALSE(IsFilteredKey(kKeyDown, 'A'));
    EXPECT_FALSE(IsFilteredKey(kKeyDown, 9));  // Tab
}

}  // namespace
}  // namespace q350::app
