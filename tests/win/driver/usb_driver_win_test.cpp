#include "app/win/usb_driver.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>

#include "base/clock.h"
#include "base/utf.h"
#include "device/device_commands.h"
#include "device/device_protocol.h"
#include "device/hid_channel.h"
#include "device/virtual_mouse.h"
#include "tests/win/driver/driver_test_support.h"

namespace q350::testing {
namespace {

using app::DriverEventHost;
using app::UsbDriver;
using Log = std::vector<std::string>;

class RecordingShell final : public app::HostShell {
public:
    explicit RecordingShell(Log& log) : log_(log) {}
    void open(std::u16string_view t) override { log_.push_back("open " + Utf16ToUtf8(t)); }
    void playSound(std::u16string_view f) override { log_.push_back("sound " + Utf16ToUtf8(f)); }
    void run(std::string_view c) override { log_.push_back("run " + std::string(c)); }

private:
    Log& log_;
};

class RecordingHost final : public DriverEventHost {
public:
    explicit RecordingHost(Log& log) : log_(log) {}
    void showDpiIndicator(int level) override { log_.push_back("dpi " + std::to_string(level)); }
    void forwardToStatistics(std::uint32_t word) override {
        log_.push_back("statistics " + std::to_string(word));
    }

private:
    Log& log_;
};

TEST(UsbDriverConnect, FailsWhileTheDriverIsAbsentThenRegistersAndSendsBothSettings) {
    auto script = std::make_shared<DriverScript>();
    bool present = false;
    auto scripted = ScriptedOpener(script);
    UsbDriver driver(nullptr, nullptr, [&]() -> std::unique_ptr<DriverDevice> {
        return present ? scripted() : nullptr;
    });
    ASSERT_TRUE(driver.startWorker(nullptr));
    EXPECT_FALSE(driver.tryConnect());
    EXPECT_FALSE(driver.tryConnect());
    present = true;
    EXPECT_TRUE(driver.tryConnect());
    driver.shutdown();
    std::lock_guard<std::mutex> hold(script->lock);
    EXPECT_EQ(script->commands, (std::vector<std::uint32_t>{1, 32, 4, 2}));
}

// The whole road inside the program: an event queued in the simulated mouse, the simulated driver,
// the semaphore and worker, message 2027, and the handler with the active profile.
TEST(UsbDriverEvents, QueuedPressesAndDpiChangeBecomeDesktopActions) {
    VirtualMouseState state;
    state.events = {HostActionEventWord(kActionPlaySound, 2), kResolutionChangedEvent,
                    HostActionEventWord(kActionOpenQuoted, 0)};
    TempMouse mouse(state);
    auto profile = std::make_unique<ProfileData>();
    SetField(profile->buttons[1][2].path, kTextChars, u"C:\\sounds\\ping.wav");
    SetField(profile->buttons[1][0].path, kTextChars, u"C:\\Program Files\\tool.exe");

    std::vector<std::uint8_t> asked;
    auto query = [&](std::uint8_t opcode, std::uint32_t& value) {
        asked.push_back(opcode);
        value = opcode == kOpQueryMode ? 1 : 70;
        return true;
    };
    Log log;
    const auto path = mouse.path();
    UsbDriver driver(
        query, [&]() -> const ProfileData& { return *profile; },
        [path] { return OpenSimulatedDriver(path, 10); }, std::make_unique<RecordingShell>(log));
    EventSink sink;
    ASSERT_TRUE(driver.startWorker(sink.poster()));
    ASSERT_TRUE(driver.tryConnect());
    ASSERT_EQ(sink.waitFor(3).size(), 3u);

    RecordingHost host(log);
    for (std::uint32_t word : sink.words) {
        driver.onEvent(word, host);
    }
    EXPECT_EQ(log,
              (Log{"statistics " + std::to_string(state.events[0]), "sound C:\\sounds\\ping.wav",
                   "statistics 36865", "dpi 35", "statistics " + std::to_string(state.events[2]),
                   "open \"C:\\Program Files\\tool.exe\""}));
    EXPECT_EQ(asked, (std::vector<std::uint8_t>{kOpQueryMode, kOpQueryResolution, kOpQueryMode}));
}

TEST(UsbDriverQueries, AskTheMouseButNeverWaitForADownload) {
    FakeClock clock;
    VirtualMouseState state;
    state.mode = 2;
    VirtualMouse mouse(clock, state);
    VirtualMouseTransport transport(mouse);
    HidChannel channel(transport);
    ASSERT_TRUE(channel.open());
    DeviceCommands device(channel, clock, [] { return 0; });
    std::mutex deviceMutex;
    const app::MouseQuery query = app::QueryUnlessBusy(device, deviceMutex);

    std::uint32_t mode = 9;
    ASSERT_TRUE(query(kOpQueryMode, mode));
    EXPECT_EQ(mode, 2u);

    // A download holds the device on its own thread.
    std::lock_guard<std::mutex> download(deviceMutex);
    const std::uint32_t commandsBefore = mouse.state().commandCount;
    bool answered = true;
    std::uint32_t value = 9;
    std::thread([&] { answered = query(kOpQueryResolution, value); }).join();
    EXPECT_FALSE(answered);
    EXPECT_EQ(value, 9u);
    EXPECT_EQ(mouse.state().commandCount, commandsBefore) << "nothing went to the mouse";
}

// The screenshot action starts the tool through the program search path with its command line.
TEST(WinHostShell, RunStartsTheScreenshotToolFromTheSearchPath) {
    namespace fs = std::filesystem;
    const fs::path work =
        fs::temp_directory_path() / ("q350_shell_" + std::to_string(GetCurrentProcessId()));
    fs::create_directories(work);
    const fs::path toolLog = work / "tools.log";
    const std::wstring pathBefore = [] {
        wchar_t buffer[32768] = {};
        GetEnvironmentVariableW(L"PATH", buffer, 32768);
        return std::wstring(buffer);
    }();
    const std::wstring toolDir = fs::path(Q350_TOOL_DIR).make_preferred().wstring();
    SetEnvironmentVariableW(L"PATH", (toolDir + L";" + pathBefore).c_str());
    SetEnvironmentVariableW(L"Q350_TOOL_LOG", toolLog.wstring().c_str());
    SetEnvironmentVariableW(L"Q350_SCREENSHOT_DIR", work.wstring().c_str());

    app::WinHostShell().run(app::kShotDesktopCommand);

    std::string logged;
    for (int i = 0; i < 200 && logged.find("-p") == std::string::npos; ++i) {
        Sleep(50);
        std::ifstream in(toolLog);
        std::stringstream text;
        text << in.rdbuf();
        logged = text.str();
    }
    SetEnvironmentVariableW(L"PATH", pathBefore.c_str());
    SetEnvironmentVariableW(L"Q350_TOOL_LOG", nullptr);
    SetEnvironmentVariableW(L"Q350_SCREENSHOT_DIR", nullptr);
    EXPECT_NE(logged.find("ScreenGrab.exe -t desktop -p"), std::string::npos) << logged;
    Sleep(500);  // let the tool finish writing before its folder goes
    std::error_code ignored;
    fs::remove_all(work, ignored);
}

}  // namespace
}  // namespace q350::testing
