#include "device/firmware_flash.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <vector>

#include "device/mouse_state_file.h"

namespace q350 {
namespace {

namespace fs = std::filesystem;

class FlashTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() /
               ("q350-flash-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
                "-" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir_);
        fs::create_directories(dir_);
        state_ = dir_ / "mouse.state";
        image_ = dir_ / "QuorvGameDevice.bin";
        VirtualMouseState s;
        s.firmware = 1;
        s.memory[0x400] = 0x77;  // a button word that programming must leave alone
        ASSERT_TRUE(SaveMouseState(state_, s));
    }
    void TearDown() override { fs::remove_all(dir_); }

    void WriteImage(const std::vector<std::uint8_t>& bytes) {
        std::ofstream(image_, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()),
                   static_cast<std::streamsize>(bytes.size()));
    }
    VirtualMouseState Mouse() {
        VirtualMouseState s;
        EXPECT_TRUE(LoadMouseState(state_, s));
        return s;
    }

    FakeClock clock_;
    fs::path dir_, state_, image_;
};

std::vector<std::uint8_t> Payload(std::size_t n) {
    std::vector<std::uint8_t> p(n);
    for (std::size_t i = 0; i < n; ++i) {
        p[i] = static_cast<std::uint8_t>(i * 7 + 3);
    }
    return p;
}

TEST_F(FlashTest, AGoodImageLeavesTheMouseInNormalOperationWithTheNewVersion) {
    const auto payload = Payload(3 * kFlashPieceSize + 17);  // a short last piece
    WriteImage(BuildFirmwareImage(7, payload));
    const FlashReport r = FlashSimulatedMouse(image_, state_, clock_);
    ASSERT_EQ(r.result, FlashResult::Flashed) << FlashReportText(r);
    EXPECT_EQ(r.bytesWritten, payload.size());
    EXPECT_EQ(FlashReportText(r), "firmware 7 written (3089 bytes)");
    const VirtualMouseState s = Mouse();
    EXPECT_EQ(s.firmware, 7);
    EXPECT_FALSE(s.updateMode());
    EXPECT_EQ(s.firmwareSize, payload.size());
    EXPECT_EQ(s.firmwareCrc, Crc32(payload));
    EXPECT_EQ(s.memory[0x400], 0x77);
}

TEST_F(FlashTest, MissingOrDamagedImagesLeaveTheMouseUntouched) {
    const auto before = EncodeMouseState(Mouse());
    FlashReport r = FlashSimulatedMouse(image_, state_, clock_);
    EXPECT_EQ(r.result, FlashResult::ImageMissing);

    auto image = BuildFirmwareImage(7, Payload(2000));
    image[500] ^= 0xFF;
    WriteImage(image);
    r = FlashSimulatedMouse(image_, state_, clock_);
    EXPECT_EQ(r.result, FlashResult::ImageBad);
    EXPECT_EQ(r.imageError, FirmwareImageError::BadChecksum);
    EXPECT_EQ(FlashReportText(r),
              "the firmware image is corrupt (CRC mismatch); the mouse was not changed");

    image = BuildFirmwareImage(7, Payload(2000));
    image.resize(1500);  // a download that broke off
    WriteImage(image);
    EXPECT_EQ(FlashSimulatedMouse(image_, state_, clock_).imageError,
              FirmwareImageError::BadLength);
    EXPECT_EQ(EncodeMouseState(Mouse()), before);
}

TEST_F(FlashTest, AStoppedFlasherLeavesUpdateModeAndTheNextOneFinishes) {
    const auto payload = Payload(4 * kFlashPieceSize);
    WriteImage(BuildFirmwareImage(9, payload));
    FlashReport r = FlashSimulatedMouse(image_, state_, clock_, 2);
    EXPECT_EQ(r.result, FlashResult::Stopped);
    EXPECT_EQ(r.bytesWritten, 2 * kFlashPieceSize);
    EXPECT_TRUE(Mouse().updateMode());
    EXPECT_EQ(Mouse().flashedBytes, 2 * kFlashPieceSize);

    r = FlashSimulatedMouse(image_, state_, clock_);
    ASSERT_EQ(r.result, FlashResult::Flashed);
    EXPECT_EQ(Mouse().firmware, 9);
}

TEST_F(FlashTest, AnUnpluggedOrMissingMouseIsNotProgrammed) {
    WriteImage(BuildFirmwareImage(7, Payload(10)));
    VirtualMouseState s = Mouse();
    s.plugged = false;
    ASSERT_TRUE(SaveMouseState(state_, s));
    EXPECT_EQ(FlashSimulatedMouse(image_, state_, clock_).result, FlashResult::NoMouse);
    EXPECT_EQ(Mouse().firmware, 1);
    EXPECT_EQ(FlashSimulatedMouse(image_, dir_ / "none.state", clock_).result,
              FlashResult::NoMouse);
}

}  // namespace
}  // namespace q350
