#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <thread>
#include <vector>

#include "base/file_io.h"
#include "base/win/kernel_handle.h"

namespace q350 {
namespace {

// Not "ReplaceFile": the Windows headers define that name as a macro.
class AtomicReplace : public ::testing::Test {
protected:
    void SetUp() override {
        wchar_t temp[MAX_PATH] = {};
        GetTempPathW(MAX_PATH, temp);
        folder_ =
            std::filesystem::path(temp) / ("q350_replace_" + std::to_string(GetCurrentProcessId()));
        std::filesystem::create_directories(folder_);
        target_ = folder_ / "state.bin";
        ASSERT_TRUE(WriteFileAtomic(target_, Bytes(1)));
    }
    void TearDown() override {
        std::error_code ec;
        std::filesystem::remove_all(folder_, ec);
    }

    static std::vector<std::uint8_t> Bytes(std::uint8_t fill) {
        return std::vector<std::uint8_t>(4096, fill);
    }
    std::uint8_t FirstByte() const {
        std::vector<std::uint8_t> bytes;
        return ReadFileBytes(target_, bytes) && !bytes.empty() ? bytes[0] : 0;
    }
    // A reader that, like most programs, shares reading and writing but not deletion.
    win::KernelHandle OpenWithoutDeleteSharing() const {
        return win::KernelHandle(CreateFileW(target_.c_str(), GENERIC_READ,
                                           FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                           OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    }
    std::size_t LeftoverFiles() const {
        std::size_t n = 0;
        for (const auto& entry : std::filesystem::directory_iterator(folder_)) {
            n += entry.path() != target_ ? 1 : 0;
        }
        return n;
    }

    std::filesystem::path folder_;
    std::filesystem::path target_;
};

TEST_F(AtomicReplace, WaitsOutAReaderThatHoldsTheFileBriefly) {
    win::KernelHandle reader = OpenWithoutDeleteSharing();
    ASSERT_TRUE(reader.valid());
    std::thread closer([&] {
        Sleep(100);
        reader.reset();
    });
    FileError error = FileError::Other;
    const bool written = WriteFileAtomic(target_, Bytes(2), &error);
    closer.join();
    EXPECT_TRUE(written);
    EXPECT_EQ(error, FileError::None);
    EXPECT_EQ(FirstByte(), 2);
    EXPECT_EQ(LeftoverFiles(), 0u);
}

TEST_F(AtomicReplace, AReaderThatKeepsTheFileOpenMakesTheWriteFailAndKeepsTheOldContents) {
    win::KernelHandle reader = OpenWithoutDeleteSharing();
    ASSERT_TRUE(reader.valid());
    FileError error = FileError::None;
    EXPECT_FALSE(WriteFileAtomic(target_, Bytes(3), &error));
    EXPECT_EQ(error, FileError::AccessDenied);
    reader.reset();
    EXPECT_EQ(FirstByte(), 1);
    EXPECT_EQ(LeftoverFiles(), 0u) << "the temporary file is removed";
}

}  // namespace
}  // namespace q350
