#include "device/mouse_state_file.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <thread>

#include "device/device_commands.h"
#include "device/firmware_image.h"

namespace q350 {
namespace {

namespace fs = std::filesystem;

class StateFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() /
               ("q350-state-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
                "-" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir_);
        fs::create_directories(dir_);
        path_ = dir_ / "mouse.state";
    }
    void TearDown() override { fs::remove_all(dir_); }

    static VirtualMouseState Busy() {
        VirtualMouseState s;
        s.firmware = 9;
        s.mode = 2;
        s.resolution = 40;
        s.dpiLevel = 3;
        s.plugged = false;
        s.modelTiming = true;
        s.fault = MouseFault::CorruptReply;
        s.faultFromCommand = 12;
        s.unplugAfterCommands = 99;
        s.commandCount = 1234;
        s.lastStatus = 2;
        s.lastValue = 0x55;
        s.readyAtMs = 0xFFFFFFF0u;
        s.params[kParamDpiY2] = {1, 2, 3, 4};
        s.params[kParamSpeed1] = {7, 8, 9, 0};
        s.events = {0xDEADBEEF, 7};
        s.memory[0] = 1;
        s.memory[0x838] = 0x42;
        s.memory[kMemorySize - 1] = 0xFF;
        s.flashedBytes = 600;
        s.flashCrc = 0x12345678;
        s.firmwareSize = 4096;
        s.firmwareCrc = 0x9ABCDEF0;
        return s;
    }

    void WriteRaw(const std::vector<std::uint8_t>& bytes) {
        std::ofstream(path_, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()),
                   static_cast<std::streamsize>(bytes.size()));
    }

    StateFileError LoadError() {
        VirtualMouseState s;
        StateFileError e = StateFileError::None;
        EXPECT_FALSE(LoadMouseState(path_, s, &e));
        return e;
    }

    fs::path dir_;
    fs::path path_;
};

TEST_F(StateFileTest, EverySettingSurvivesTheRoundTrip) {
    const VirtualMouseState in = Busy();
    ASSERT_TRUE(SaveMouseState(path_, in));
    EXPECT_EQ(fs::file_size(path_), kMouseStateFileSize);
    VirtualMouseState out;
    ASSERT_TRUE(LoadMouseState(path_, out));
    EXPECT_EQ(out.firmware, 9);
    EXPECT_EQ(out.mode, 2);
    EXPECT_EQ(out.resolution, 40);
    EXPECT_EQ(out.dpiLevel, 3);
    EXPECT_FALSE(out.plugged);
    EXPECT_TRUE(out.modelTiming);
    EXPECT_EQ(out.fault, MouseFault::CorruptReply);
    EXPECT_EQ(out.faultFromCommand, 12u);
    EXPECT_EQ(out.unplugAfterCommands, 99u);
    EXPECT_EQ(out.commandCount, 1234u);
    EXPECT_EQ(out.lastStatus, 2);
    EXPECT_EQ(out.lastValue, 0x55);
    EXPECT_EQ(out.readyAtMs, 0xFFFFFFF0u);
    EXPECT_EQ(out.params, in.params);
    EXPECT_EQ(out.events, in.events);
    EXPECT_EQ(out.memory, in.memory);
    EXPECT_EQ(out.flashedBytes, 600u);
    EXPECT_EQ(out.flashCrc, 0x12345678u);
    EXPECT_EQ(out.firmwareSize, 4096u);
    EXPECT_EQ(out.firmwareCrc, 0x9ABCDEF0u);
}

TEST_F(StateFileTest, LayoutIsFixedLittleEndian) {
    const auto bytes = EncodeMouseState(Busy());
    EXPECT_EQ(bytes[0], 'Q');
    EXPECT_EQ(bytes[3], 'M');
    EXPECT_EQ(bytes[0x10], 9);     // firmware
    EXPECT_EQ(bytes[0x24], 0xD2);  // command count 1234, low byte first
    EXPECT_EQ(bytes[0x25], 0x04);
    EXPECT_EQ(bytes[0x8C], 2);  // queued events
    EXPECT_EQ(bytes[0x90], 0xEF);
    EXPECT_EQ(bytes[0x200 + 0x838], 0x42);
    EXPECT_EQ(bytes[0x190], 0x58);  // 600 bytes of firmware received
    EXPECT_EQ(bytes[0x198], 0x00);  // installed size 4096
    EXPECT_EQ(bytes[0x199], 0x10);
}

TEST_F(StateFileTest, DamagedFilesAreReportedNotTrusted) {
    EXPECT_EQ(LoadError(), StateFileError::NotFound);
    WriteRaw({});
    EXPECT_EQ(LoadError(), StateFileError::TooShort);
    auto good = EncodeMouseState(Busy());
    WriteRaw(std::vector<std::uint8_t>(good.begin(), good.begin() + 1000));
    EXPECT_EQ(LoadError(), StateFileError::TooShort);
    auto longer = good;
    longer.push_back(0);
    WriteRaw(longer);
    EXPECT_EQ(LoadError(), StateFileError::BadSize);
    auto bad = good;
    bad[0] ^= 1;
    WriteRaw(bad);
    EXPECT_EQ(LoadError(), StateFileError::BadMagic);
    bad = good;
    bad[4] = 2;
    WriteRaw(bad);
    EXPECT_EQ(LoadError(), StateFileError::BadVersion);
    bad = good;
    bad[0x200 + 0x1234] ^= 0x10;
    WriteRaw(bad);
    EXPECT_EQ(LoadError(), StateFileError::BadChecksum);
}

TEST_F(StateFileTest, OutOfRangeSettingsAreRefusedEvenWithAGoodChecksum) {
    VirtualMouseState s = Busy();
    s.mode = 3;
    VirtualMouseState out;
    StateFileError e = StateFileError::None;
    EXPECT_FALSE(DecodeMouseState(EncodeMouseState(s), out, &e));
    EXPECT_EQ(e, StateFileError::BadValue);
    s = Busy();
    s.flashedBytes = static_cast<std::uint32_t>(kMaxFirmwarePayload) + 1;
    EXPECT_FALSE(DecodeMouseState(EncodeMouseState(s), out, &e));
    EXPECT_EQ(e, StateFileError::BadValue);
}

TEST_F(StateFileTest, FilesFromBeforeFirmwareProgrammingStillLoad) {
    // Such files hold zeros where the programming fields are now: a factory firmware.
    VirtualMouseState s;
    s.firmware = 4;
    auto bytes = EncodeMouseState(s);
    ASSERT_TRUE(std::all_of(bytes.begin() + 0x190, bytes.begin() + 0x200,
                            [](std::uint8_t b) { return b == 0; }));
    VirtualMouseState out;
    ASSERT_TRUE(DecodeMouseState(bytes, out));
    EXPECT_EQ(out.firmware, 4);
    EXPECT_EQ(out.firmwareSize, 0u);
    EXPECT_FALSE(out.updateMode());
}

TEST_F(StateFileTest, TwoOpenersShareOneMouse) {
    ASSERT_TRUE(SaveMouseState(path_, VirtualMouseState{}));
    FakeClock clock;
    VirtualMouseFileTransport writerSide(path_, clock);
    VirtualMouseFileTransport readerSide(path_, clock);
    HidChannel writer(writerSide);
    HidChannel reader(readerSide);
    ASSERT_TRUE(writer.open());
    ASSERT_TRUE(reader.open());
    DeviceCommands w(writer, clock, [] { return 1; });
    DeviceCommands r(reader, clock, [] { return 0; });
    ASSERT_TRUE(w.writeButtonWord(2, 0x00010005));
    std::uint32_t v = 9;
    ASSERT_TRUE(r.query(kOpQueryMode, v));
    EXPECT_EQ(v, 0u);
    VirtualMouseState s;
    ASSERT_TRUE(ReadMouseState(path_, s));
    EXPECT_EQ(s.buttonWord(1, 2), 0x00010005u);
    EXPECT_EQ(s.commandCount, 2u);
    EXPECT_FALSE(fs::exists(path_.string() + ".lock"));
}

TEST_F(StateFileTest, ConcurrentUpdatesAreNotLost) {
    ASSERT_TRUE(SaveMouseState(path_, VirtualMouseState{}));
    auto work = [this](std::uint32_t base) {
        FakeClock clock;
        for (std::uint32_t i = 0; i < 25; ++i) {
            UpdateMouseState(path_, clock, [&](VirtualMouse& m) { return m.pushEvent(base + i); });
        }
    };
    std::thread a(work, 0x1000);
    std::thread b(work, 0x2000);
    a.join();
    b.join();
    VirtualMouseState s;
    ASSERT_TRUE(LoadMouseState(path_, s));
    EXPECT_EQ(s.events.size(), 50u);
}

TEST_F(StateFileTest, AbandonedLockIsTakenOverAndMissingFolderIsNotFound) {
    ASSERT_TRUE(SaveMouseState(path_, VirtualMouseState{}));
    fs::create_directory(path_.string() + ".lock");
    {
        MouseStateLock lock(path_, 20);
        EXPECT_TRUE(lock.held());
    }
    EXPECT_FALSE(fs::exists(path_.string() + ".lock"));
    FakeClock clock;
    StateFileError e = StateFileError::None;
    EXPECT_FALSE(UpdateMouseState(
        dir_ / "none" / "x.state", clock, [](VirtualMouse&) { return true; }, &e));
    EXPECT_EQ(e, StateFileError::NotFound);
}

TEST_F(StateFileTest, TransportRefusesMissingCorruptAndUnpluggedMice) {
    FakeClock clock;
    VirtualMouseFileTransport t(path_, clock);
    EXPECT_FALSE(t.open());
    EXPECT_EQ(t.lastError(), StateFileError::NotFound);
    WriteRaw({1, 2, 3});
    EXPECT_FALSE(t.open());
    EXPECT_EQ(t.lastError(), StateFileError::TooShort);
    VirtualMouseState s;
    s.plugged = false;
    ASSERT_TRUE(SaveMouseState(path_, s));
    EXPECT_FALSE(t.open());
    EXPECT_EQ(t.lastError(), StateFileError::None);
}

TEST_F(StateFileTest, StalledMouseInTheFileTimesOutAndStaysAsItWas) {
    VirtualMouseState s;
    s.fault = MouseFault::Stall;
    s.faultFromCommand = 1;
    ASSERT_TRUE(SaveMouseState(path_, s));
    FakeClock clock;
    VirtualMouseFileTransport t(path_, clock);
    ASSERT_TRUE(t.open());
    EXPECT_TRUE(t.takesReports());
    Report f{kReportId, kOpQueryMode};
    ASSERT_TRUE(t.writeReport(f));
    EXPECT_FALSE(t.timedOut());
    EXPECT_FALSE(t.takesReports());
    EXPECT_FALSE(t.writeReport(f));
    EXPECT_TRUE(t.timedOut());
    EXPECT_EQ(clock.totalSleptMs(), kTransferLimitMs);
    EXPECT_TRUE(t.getInputReport(f));
    EXPECT_FALSE(t.timedOut());
    VirtualMouseState out;
    ASSERT_TRUE(LoadMouseState(path_, out));
    EXPECT_EQ(out.fault, MouseFault::Stall);
    EXPECT_EQ(out.commandCount, 1u);
}

TEST_F(StateFileTest, FileVanishingWhileOpenFailsSendsAndReceives) {
    ASSERT_TRUE(SaveMouseState(path_, VirtualMouseState{}));
    FakeClock clock;
    VirtualMouseFileTransport t(path_, clock);
    ASSERT_TRUE(t.open());
    fs::remove(path_);
    Report f{kReportId, kOpQueryMode};
    EXPECT_FALSE(t.writeReport(f));
    EXPECT_FALSE(t.getInputReport(f));
}

}  // namespace
}  // namespace q350
