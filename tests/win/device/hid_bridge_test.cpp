#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>

#include "base/clock.h"
#include "base/file_io.h"
#include "device/device_commands.h"
#include "device/mouse_state_file.h"
#include "device/win/hid_bridge_transport.h"

namespace q350 {
namespace {

namespace fs = std::filesystem;

class HidBridgeTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() /
               (std::string("q350-bridge-") +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir_);
        fs::create_directories(dir_);
        state_ = dir_ / "mouse.state";
        SetEnvironmentVariableW(kVirtualMouseVariable, state_.wstring().c_str());
    }
    void TearDown() override {
        SetEnvironmentVariableW(kVirtualMouseVariable, nullptr);
        std::error_code ec;
        fs::remove_all(dir_, ec);
    }
    void Create(VirtualMouseState s = {}) { ASSERT_TRUE(SaveMouseState(state_, s)); }
    VirtualMouseState Load() {
        VirtualMouseState s;
        EXPECT_TRUE(ReadMouseState(state_, s));
        return s;
    }

    fs::path dir_;
    fs::path state_;
};

TEST_F(HidBridgeTest, CommandsReachTheSimulatedMouseThroughTheLibrary) {
    VirtualMouseState initial;
    initial.mode = 1;
    initial.firmware = 0x21;
    Create(initial);
    HidBridgeTransport transport;
    HidChannel channel(transport);
    ASSERT_TRUE(channel.open());
    SystemClock clock;
    DeviceCommands commands(channel, clock, [] { return 2; });
    std::uint32_t value = 0;
    ASSERT_TRUE(commands.query(kOpQueryMode, value));
    EXPECT_EQ(value, 1u);
    ASSERT_TRUE(commands.query(kOpQueryFirmware, value));
    EXPECT_EQ(value, 0x21u);
    ASSERT_TRUE(commands.writeButtonWord(4, 0xCAFE0005));
    std::uint8_t data[30];
    for (int i = 0; i < 30; ++i) {
        data[i] = static_cast<std::uint8_t>(i + 1);
    }
    ASSERT_TRUE(commands.writeBlock(0x2000, data, sizeof data));
    ASSERT_TRUE(commands.setDpiLevels(kParamDpiX2, 4, 8, 16, 24));
    channel.close();

    const VirtualMouseState s = Load();
    EXPECT_EQ(s.buttonWord(2, 4), 0xCAFE0005u);
    EXPECT_EQ(s.memory[0x2000], 1);
    EXPECT_EQ(s.memory[0x2000 + 29], 30);
    EXPECT_EQ(s.params[kParamDpiX2][3], 48);
    EXPECT_EQ(s.commandCount, 6u);
}

TEST_F(HidBridgeTest, HandleTakesWriteFileAndCloseHandleLikeADevice) {
    Create();
    HMODULE lib = LoadLibraryW(kHidBridgeLibrary);
    ASSERT_NE(lib, nullptr);
    auto open = reinterpret_cast<OpenHidDeviceFn>(
        reinterpret_cast<void (*)()>(GetProcAddress(lib, kOpenHidDeviceName)));
    auto input = reinterpret_cast<GetInputReportFn>(
        reinterpret_cast<void (*)()>(GetProcAddress(lib, kGetInputReportName)));
    auto find = reinterpret_cast<FindHidDeviceFn>(
        reinterpret_cast<void (*)()>(GetProcAddress(lib, kFindHidDeviceName)));
    ASSERT_TRUE(open && input && find);
    EXPECT_TRUE(find(0xFF00, 14, L"VID_3F5C&PID_4106"));

    HANDLE h = open(0xFF00, 14, L"VID_3F5C&PID_4106", 0, 0);
    ASSERT_NE(h, nullptr);
    // The handle is opened for overlapped I/O.
    BYTE frame[32] = {0xBA, 0xA3};
    OVERLAPPED ov{};
    ov.hEvent = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    DWORD written = 0;
    if (!WriteFile(h, frame, 32, nullptr, &ov)) {
        ASSERT_EQ(GetLastError(), static_cast<DWORD>(ERROR_IO_PENDING));
    }
    ASSERT_TRUE(GetOverlappedResult(h, &ov, &written, TRUE));
    CloseHandle(ov.hEvent);
    EXPECT_EQ(written, 32u);
    BYTE reply[32] = {0xBA, 0xA3};
    ASSERT_NE(input(h, reply, 32) & 0xFF, 0);
    EXPECT_EQ(reply[0], 1);
    EXPECT_EQ(reply[1], 1);  // firmware of a new simulated mouse
    EXPECT_TRUE(CloseHandle(h));
    FreeLibrary(lib);
}

TEST_F(HidBridgeTest, OpeningAndClosingRepeatedlyUnloadsCleanly) {
    Create();
    HidBridgeTransport transport;
    HidChannel channel(transport);
    FakeClock clock;
    DeviceCommands commands(channel, clock, [] { return 0; });
    for (int i = 0; i < 5; ++i) {
        ASSERT_TRUE(channel.open());
        std::uint32_t mode = 9;
        EXPECT_TRUE(commands.query(kOpQueryMode, mode));
        channel.close();
        EXPECT_FALSE(transport.libraryLoaded());
    }
    EXPECT_EQ(Load().commandCount, 5u);
}

TEST_F(HidBridgeTest, MissingUnpluggedOrCorruptMouseFailsTheOpen) {
    HidBridgeTransport transport;
    HidChannel channel(transport);
    EXPECT_FALSE(channel.open());  // no state file yet
    EXPECT_FALSE(transport.libraryLoaded());
    VirtualMouseState s;
    s.plugged = false;
    Create(s);
    EXPECT_FALSE(channel.open());
    const std::uint8_t junk[5] = {1, 2, 3, 4, 5};
    ASSERT_TRUE(WriteFileAtomic(state_, junk));
    EXPECT_FALSE(channel.open());
}

TEST_F(HidBridgeTest, NoDeviceWithoutTheSimulationAndNoLibraryMeansNoOpen) {
    SetEnvironmentVariableW(kVirtualMouseVariable, nullptr);
    HidBridgeTransport real;
    HidChannel channel(real);
    EXPECT_FALSE(channel.open());

    Create();
    SetEnvironmentVariableW(kVirtualMouseVariable, state_.wstring().c_str());
    HidBridgeTransport absent(L"Q350NoSuchBridge.dll");
    HidChannel other(absent);
    EXPECT_FALSE(other.open());
    EXPECT_FALSE(absent.libraryLoaded());
    const std::uint8_t b = kOpQueryMode;
    EXPECT_FALSE(other.send(&b, 1));
}

TEST_F(HidBridgeTest, UnpluggingWhileOpenFailsLaterCommandsWithoutHanging) {
    VirtualMouseState s;
    s.unplugAfterCommands = 2;
    Create(s);
    HidBridgeTransport transport;
    HidChannel channel(transport);
    ASSERT_TRUE(channel.open());
    FakeClock clock;
    DeviceCommands commands(channel, clock, [] { return 0; });
    std::uint32_t v = 0;
    EXPECT_TRUE(commands.query(kOpQueryMode, v));
    EXPECT_TRUE(commands.query(kOpQueryMode, v));
    EXPECT_FALSE(commands.query(kOpQueryMode, v));
    EXPECT_FALSE(commands.query(kOpQueryMode, v));
    channel.close();
    EXPECT_FALSE(Load().plugged);
}

TEST_F(HidBridgeTest, TimingModelHoldsBackTheStatusUntilTheMouseIsDone) {
    VirtualMouseState s;
    s.modelTiming = true;
    Create(s);
    HidBridgeTransport transport;
    HidChannel channel(transport);
    ASSERT_TRUE(channel.open());
    // A real clock: the protocol's waits let every command through.
    SystemClock clock;
    DeviceCommands commands(channel, clock, [] { return 0; });
    std::uint8_t data[24] = {};
    EXPECT_TRUE(commands.writeBlock(0x1000, data, sizeof data));
    EXPECT_TRUE(commands.writeButtonWord(1, 1));
    // Without waiting, the reply to a 24-byte write is not ready yet.
    std::uint8_t buffer[kMaxPayload] = {kOpWriteMemory, 0, 0, 0x10, 0, 24};
    ASSERT_TRUE(channel.send(buffer, 30));
    std::uint8_t status[1] = {0xA5};
    ASSERT_TRUE(channel.receive(status, 1));
    EXPECT_EQ(status[0], kStatusBusy);
}

// Milliseconds that f takes.
template <typename F>
DWORD Timed(F f) {
    const ULONGLONG start = GetTickCount64();
    f();
    return static_cast<DWORD>(GetTickCount64() - start);
}

TEST_F(HidBridgeTest, StalledMouseCostsOneLimitPerTransferAndNeverHangs) {
    VirtualMouseState s;
    s.fault = MouseFault::Stall;
    s.faultFromCommand = 1;
    Create(s);
    HidBridgeTransport transport;
    ASSERT_TRUE(transport.open());
    Report query{kReportId, kOpQueryMode};
    ASSERT_TRUE(transport.writeReport(query));
    Report reply{kReportId, kOpQueryMode};
    ASSERT_TRUE(transport.getInputReport(reply));
    // From the second report on nothing is taken: the library's read gives up after the limit
    // and says so, and once the pipe is full the write waits out its limit as well.
    ASSERT_TRUE(transport.writeReport(query));
    DWORD ms = Timed([&] { EXPECT_FALSE(transport.getInputReport(reply)); });
    EXPECT_TRUE(transport.timedOut());
    EXPECT_GE(ms, kTransferLimitMs - 50);
    EXPECT_LT(ms, kTransferLimitMs + 1500);
    ms = Timed([&] { EXPECT_FALSE(transport.writeReport(query)); });
    EXPECT_TRUE(transport.timedOut());
    EXPECT_GE(ms, kTransferLimitMs - 50);
    EXPECT_LT(ms, kTransferLimitMs + 1500);
    transport.close();
    EXPECT_EQ(Load().commandCount, 1u);
}

TEST_F(HidBridgeTest, StalledDownloadFailsWithinSecondsThroughTheChannel) {
    VirtualMouseState s;
    s.fault = MouseFault::Stall;
    s.faultFromCommand = 2;
    Create(s);
    HidBridgeTransport transport;
    HidChannel channel(transport);
    ASSERT_TRUE(channel.open());
    SystemClock clock;
    DeviceCommands commands(channel, clock, [] { return 0; });
    const DWORD ms = Timed([&] {
        EXPECT_TRUE(commands.writeButtonWord(1, 0x11));
        EXPECT_TRUE(commands.writeButtonWord(2, 0x22));
        for (int button = 3; button <= kButtonCount; ++button) {
            EXPECT_FALSE(commands.writeButtonWord(button, 0x33));
        }
        EXPECT_FALSE(commands.setParameter(kParamReportRate, {1, 1, 1}));
    });
    EXPECT_TRUE(channel.stalled());
    EXPECT_LT(ms, 4000u);
    channel.close();
    const VirtualMouseState out = Load();
    EXPECT_EQ(out.buttonWord(0, 2), 0x22u);
    EXPECT_EQ(out.buttonWord(0, 3), 0u);
}

}  // namespace
}  // namespace q350
