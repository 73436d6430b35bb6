#include "base/file_io.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <fstream>

namespace q350 {
namespace {

namespace fs = std::filesystem;

class FileIoTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir = fs::temp_directory_path() /
              ("q350-fileio-" + std::to_string(::getpid()) + "-" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir);
        fs::create_directories(dir);
    }
    void TearDown() override {
        fs::permissions(dir, fs::perms::owner_all, fs::perm_options::add);
        fs::remove_all(dir);
    }
    fs::path dir;
};

TEST_F(FileIoTest, WritesAndReadsBackAndLeavesNoTemporaryFile) {
    const std::vector<std::uint8_t> data = {0x50, 0x03, 0x80, 0x80, 0x00};
    FileError err = FileError::Other;
    ASSERT_TRUE(WriteFileAtomic(dir / "Profile1.cfg", data, &err));
    EXPECT_EQ(err, FileError::None);
    std::vector<std::uint8_t> back;
    ASSERT_TRUE(ReadFileBytes(dir / "Profile1.cfg", back));
    EXPECT_EQ(back, data);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 1);

    ASSERT_TRUE(ReadFileBytes(dir / "Profile1.cfg", back, nullptr, 2));
    EXPECT_EQ(back.size(), 2u);
}

TEST_F(FileIoTest, MissingFolderAndMissingFileSayNotFound) {
    FileError err = FileError::None;
    const std::uint8_t byte = 1;
    EXPECT_FALSE(WriteFileAtomic(dir / "no-such-folder" / "x.cfg", {&byte, 1}, &err));
    EXPECT_EQ(err, FileError::NotFound);
    std::vector<std::uint8_t> out;
    EXPECT_FALSE(ReadFileBytes(dir / "absent.cfg", out, &err));
    EXPECT_EQ(err, FileError::NotFound);
}

TEST_F(FileIoTest, FailedWriteLeavesTheOldFileWhole) {
    const std::vector<std::uint8_t> old = {1, 2, 3, 4};
    ASSERT_TRUE(WriteFileAtomic(dir / "Macro.cfg", old));
    if (::geteuid() == 0) {
        // root ignores permission bits: make the replacement fail by a directory in the way of
        // the temporary file's rename instead.
        fs::remove(dir / "Macro.cfg");
        fs::create_directories(dir / "Macro.cfg" / "inside");
        const std::uint8_t b = 9;
        EXPECT_FALSE(WriteFileAtomic(dir / "Macro.cfg", {&b, 1}));
        EXPECT_TRUE(fs::is_directory(dir / "Macro.cfg" / "inside"));
    } else {
        fs::permissions(dir, fs::perms::owner_write, fs::perm_options::remove);
        const std::uint8_t b = 9;
        FileError err = FileError::None;
        EXPECT_FALSE(WriteFileAtomic(dir / "Macro.cfg", {&b, 1}, &err));
        EXPECT_EQ(err, FileError::AccessDenied);
        std::vector<std::uint8_t> back;
        ASSERT_TRUE(ReadFileBytes(dir / "Macro.cfg", back));
        EXPECT_EQ(back, old);
    }
    // No temporary file is left behind either way.
    for (const auto& e : fs::directory_iterator(dir)) {
        EXPECT_EQ(e.path().filename().string().find(".tmp"), std::string::npos);
    }
}

}  // namespace
}  // namespace q350
