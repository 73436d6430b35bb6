#include "app/host_actions.h"

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "base/utf.h"
#include "device/driver_channel.h"

namespace q350::app {
namespace {

// Everything the handler did, in order, as readable lines.
using Log = std::vector<std::string>;

class FakeQueries final : public EventQueries {
public:
    explicit FakeQueries(Log& log) : log_(log) {}
    bool queryMode(std::uint32_t& mode) override {
        log_.push_back("query mode");
        if (!modeReply)
            return false;
        mode = *modeReply;
        return true;
    }
    bool queryResolution(std::uint32_t& resolution) override {
        log_.push_back("query resolution");
        if (!resolutionReply)
            return false;
        resolution = *resolutionReply;
        return true;
    }
    std::optional<std::uint32_t> modeReply = 0;
    std::optional<std::uint32_t> resolutionReply = 32;

private:
    Log& log_;
};

class FakeShell final : public HostShell {
public:
    explicit FakeShell(Log& log) : log_(log) {}
    void open(std::u16string_view target) override {
        log_.push_back("open " + Utf16ToUtf8(target));
    }
    void playSound(std::u16string_view file) override {
        log_.push_back("sound " + Utf16ToUtf8(file));
    }
    void run(std::string_view commandLine) override {
        log_.push_back("run " + std::string(commandLine));
    }

private:
    Log& log_;
};

class FakeHost final : public DriverEventHost {
public:
    explicit FakeHost(Log& log) : log_(log) {}
    void showDpiIndicator(int level) override { log_.push_back("dpi " + std::to_string(level)); }
    void forwardToStatistics(std::uint32_t word) override {
        log_.push_back("statistics " + std::to_string(word));
    }
    int knownMode() const override { return known; }
    int known = 0;

private:
    Log& log_;
};

class HostActionsTest : public ::testing::Test {
protected:
    HostActionsTest() : profile(std::make_unique<ProfileData>()) {}

    void setPath(int mode, int button, std::u16string_view path) {
        SetField(profile->buttons[mode][button].path, kTextChars, path);
    }
    // Runs the handler and returns what it did after the forwarding to the statistics.
    Log handle(std::uint32_t word) {
        log.clear();
        HandleDriverEvent(word, *profile, queries, shell, host);
        EXPECT_FALSE(log.empty());
        if (log.empty())
            return log;
        EXPECT_EQ(log.front(), "statistics " + std::to_string(word)) << "forwarded first";
        return Log(log.begin() + 1, log.end());
    }

    std::unique_ptr<ProfileData> profile;
    Log log;
    FakeQueries queries{log};
    FakeShell shell{log};
    FakeHost host{log};
};

TEST_F(HostActionsTest, SoundComesFromThePressedButtonInTheMouseMode) {
    setPath(0, 2, u"C:\\wrong mode.wav");
    setPath(1, 2, u"C:\\sounds\\ping.wav");
    setPath(1, 3, u"C:\\wrong button.wav");
    queries.modeReply = 1;
    EXPECT_EQ(handle(HostActionEventWord(3, 2)), (Log{"query mode", "sound C:\\sounds\\ping.wav"}));
}

TEST_F(HostActionsTest, BlankPathIsQuotedOnlyForKindsFourAndFive) {
    setPath(0, 5, u"C:\\Program Files\\game.exe");
    for (int kind : {4, 5}) {
        EXPECT_EQ(handle(HostActionEventWord(kind, 5)),
                  (Log{"query mode", "open \"C:\\Program Files\\game.exe\""}))
            << kind;
    }
    for (int kind : {2, 8}) {
        EXPECT_EQ(handle(HostActionEventWord(kind, 5)),
                  (Log{"query mode", "open C:\\Program Files\\game.exe"}))
            << kind;
    }
    setPath(0, 5, u"https://example.org/");
    EXPECT_EQ(handle(HostActionEventWord(4, 5)), (Log{"query mode", "open https://example.org/"}));
}

TEST_F(HostActionsTest, EmptyPathDoesNothingForPathKinds) {
    for (int kind : {2, 3, 4, 5, 8}) {
        EXPECT_EQ(handle(HostActionEventWord(kind, 0)), (Log{"query mode"})) << kind;
    }
}

TEST_F(HostActionsTest, ScreenshotKindsRunTheToolWhateverThePath) {
    setPath(0, 1, u"C:\\ignored.exe");
    EXPECT_EQ(handle(HostActionEventWord(9, 1)),
              (Log{"query mode", "run ScreenGrab.exe -t desktop -p"}));
    EXPECT_EQ(handle(HostActionEventWord(10, 1)),
              (Log{"query mode", "run ScreenGrab.exe -t window -p"}));
    EXPECT_EQ(handle(HostActionEventWord(11, 1)),
              (Log{"query mode", "run ScreenGrab.exe -t region -p"}));
}

TEST_F(HostActionsTest, KindsWithoutActionDoNothing) {
    setPath(0, 0, u"C:\\tool.exe");
    for (int kind : {0, 1, 6, 7, 12, 13, 14, 15}) {
        EXPECT_EQ(handle(HostActionEventWord(kind, 0)), (Log{"query mode"})) << kind;
    }
}

TEST_F(HostActionsTest, IndexBeyondTheButtonsIsOnlyForwarded) {
    setPath(0, 0, u"C:\\tool.exe");
    EXPECT_EQ(handle(HostActionEventWord(2, 14)), Log{});
    EXPECT_EQ(handle(HostActionEventWord(2, 15)), Log{});
}

TEST_F(HostActionsTest, UnreadableOrImpossibleModeFallsBackToModeZero) {
    setPath(0, 4, u"C:\\office.exe");
    setPath(2, 4, u"C:\\fps.exe");
    queries.modeReply.reset();
    EXPECT_EQ(handle(HostActionEventWord(2, 4)), (Log{"query mode", "open C:\\office.exe"}));
    queries.modeReply = 7;  // a scrambled reply must not reach past the three modes
    EXPECT_EQ(handle(HostActionEventWord(2, 4)), (Log{"query mode", "open C:\\office.exe"}));
    queries.modeReply = 2;
    EXPECT_EQ(handle(HostActionEventWord(2, 4)), (Log{"query mode", "open C:\\fps.exe"}));
}

TEST_F(HostActionsTest, UnansweredModeTakesTheModeTheProgramKnows) {
    // While a download holds the mouse the query fails; the action is the one of the mode the
    // program knows, not of mode 0.
    setPath(0, 4, u"C:\\office.exe");
    setPath(1, 4, u"C:\\moba.exe");
    host.known = 1;
    queries.modeReply.reset();
    EXPECT_EQ(handle(HostActionEventWord(2, 4)), (Log{"query mode", "open C:\\moba.exe"}));
    queries.modeReply = 7;
    EXPECT_EQ(handle(HostActionEventWord(2, 4)), (Log{"query mode", "open C:\\moba.exe"}));
    // An answer from the mouse still wins.
    queries.modeReply = 0;
    EXPECT_EQ(handle(HostActionEventWord(2, 4)), (Log{"query mode", "open C:\\office.exe"}));
    // A known mode out of range is no mode.
    host.known = 5;
    queries.modeReply.reset();
    EXPECT_EQ(handle(HostActionEventWord(2, 4)), (Log{"query mode", "open C:\\office.exe"}));
}

TEST_F(HostActionsTest, UnterminatedPathIsReadOnlyToTheFieldsEnd) {
    ButtonAssignment& b = profile->buttons[0][6];
    for (char16_t& c : b.path)
        c = u'x';
    for (char16_t& c : b.label)
        c = u'y';  // the next field must not join the path
    const Log did = handle(HostActionEventWord(2, 6));
    ASSERT_EQ(did.size(), 2u);
    EXPECT_EQ(did[1], "open " + std::string(kTextChars, 'x'));
}

TEST_F(HostActionsTest, ResolutionChangeShowsHalfTheReply) {
    queries.resolutionReply = 64;  // 3,200 DPI
    EXPECT_EQ(handle(0x9001), (Log{"query resolution", "dpi 32"}));
    queries.resolutionReply = 164;  // the top of the indicator's range
    EXPECT_EQ(handle(0x9001), (Log{"query resolution", "dpi 82"}));
    queries.resolutionReply = 3;  // 150 DPI: the lowest level
    EXPECT_EQ(handle(0x9001), (Log{"query resolution", "dpi 1"}));
}

TEST_F(HostActionsTest, ResolutionOutsideTheRangeOrUnreadableShowsTheMinimum) {
    queries.resolutionReply = 0;
    EXPECT_EQ(handle(0x9001), (Log{"query resolution", "dpi 1"}));
    queries.resolutionReply = 166;  // 83 is above the range
    EXPECT_EQ(handle(0x9001), (Log{"query resolution", "dpi 1"}));
    queries.resolutionReply.reset();
    EXPECT_EQ(handle(0x9001), (Log{"query resolution", "dpi 1"}));
}

TEST_F(HostActionsTest, OtherEventsAreOnlyForwardedWithoutAskingTheMouse) {
    for (std::uint32_t word : {0x0001u, 0x8B02u, 0x9002u, 0x0000C302u, 0u}) {
        EXPECT_EQ(handle(word), Log{}) << word;
    }
}

TEST(DpiIndicatorLevel, HalvesAndClampsToTheMinimum) {
    EXPECT_EQ(DpiIndicatorLevel(2), 1);
    EXPECT_EQ(DpiIndicatorLevel(1), 1);
    EXPECT_EQ(DpiIndicatorLevel(33), 16);
    EXPECT_EQ(DpiIndicatorLevel(165), 82);
    EXPECT_EQ(DpiIndicatorLevel(0xFFFFFFFF), 1);
}

}  // namespace
}  // namespace q350::app
