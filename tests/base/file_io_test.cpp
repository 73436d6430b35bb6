#include "base/file_io.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <fstream>
#include <random>
#include <thread>

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

// The content of save number g: its number in the first four bytes, a length that differs from
// one save to the next, and every byte derived from g and its place. A torn file (a mix of two
// saves, a cut save, a save not yet written) matches no save.
std::vector<std::uint8_t> Save(std::uint32_t g) {
    std::vector<std::uint8_t> out(150000 + 40000 * (g % 5));
    std::memcpy(out.data(), &g, sizeof g);
    for (std::size_t i = sizeof g; i < out.size(); ++i) {
        out[i] = static_cast<std::uint8_t>((i * 131 + g * 7) >> 3);
    }
    return out;
}

bool IsWholeSave(const std::vector<std::uint8_t>& bytes) {
    std::uint32_t g = 0;
    return bytes.size() >= sizeof g && (std::memcpy(&g, bytes.data(), sizeof g), bytes == Save(g));
}

std::size_t TemporaryFiles(const fs::path& dir, const fs::path& target) {
    std::size_t n = 0;
    for (const auto& e : fs::directory_iterator(dir)) {
        n += IsTemporaryFileOf(e.path(), target) ? 1 : 0;
    }
    return n;
}

TEST_F(FileIoTest, WritersKilledAtRandomMomentsNeverTearTheFile) {
    const fs::path target = dir / "Macro.cfg";
    ASSERT_TRUE(WriteFileAtomic(target, Save(0)));
    std::mt19937 random(std::random_device{}());
    constexpr int kKills = 150;
    int changed = 0, killedMidSave = 0;
    std::uint32_t last = 0;
    for (int round = 1; round <= kKills; ++round) {
        const pid_t parent = ::getpid();
        const pid_t writer = ::fork();
        ASSERT_GE(writer, 0);
        if (writer == 0) {
            // Saves one new content after the other until it is killed (or its test is gone).
            for (std::uint32_t g = round * 100000u; ::getppid() == parent; ++g) {
                WriteFileAtomic(target, Save(g));
            }
            ::_exit(0);
        }
        std::this_thread::sleep_for(std::chrono::microseconds(random() % 20000));
        ASSERT_EQ(::kill(writer, SIGKILL), 0);
        int status = 0;
        ASSERT_EQ(::waitpid(writer, &status, 0), writer);
        ASSERT_TRUE(WIFSIGNALED(status));

        std::vector<std::uint8_t> now;
        ASSERT_TRUE(ReadFileBytes(target, now));
        ASSERT_TRUE(IsWholeSave(now))
            << "torn file after kill " << round << " (" << now.size() << " bytes)";
        std::uint32_t g = 0;
        std::memcpy(&g, now.data(), sizeof g);
        changed += g != last ? 1 : 0;
        last = g;
        // A writer killed during a save leaves its temporary file; the next writer's first save
        // removes it.
        killedMidSave += TemporaryFiles(dir, target) > 0 ? 1 : 0;
        EXPECT_LE(TemporaryFiles(dir, target), 1u);
    }
    // The kills hit saves in flight, and saves went through between kills.
    EXPECT_GT(killedMidSave, 0);
    EXPECT_GT(changed, kKills / 4);
    ASSERT_TRUE(WriteFileAtomic(target, Save(1)));
    EXPECT_EQ(TemporaryFiles(dir, target), 0u);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 1);
}

// A child process that waits until it is killed, killed at the latest when the test ends.
class Sleeper {
public:
    Sleeper() : pid_(::fork()) {
        if (pid_ == 0) {
            ::pause();
            ::_exit(0);
        }
    }
    ~Sleeper() {
        if (pid_ > 0) {
            ::kill(pid_, SIGKILL);
            ::waitpid(pid_, nullptr, 0);
        }
    }
    Sleeper(const Sleeper&) = delete;
    Sleeper& operator=(const Sleeper&) = delete;
    pid_t pid() const { return pid_; }

private:
    pid_t pid_;
};

TEST_F(FileIoTest, SweepSparesTheTemporaryFilesOfRunningWriters) {
    const fs::path target = dir / "Profile1.cfg";
    const Sleeper running;
    ASSERT_GT(running.pid(), 0);
    const pid_t sleeper = running.pid();
    const pid_t gone = ::fork();
    ASSERT_GE(gone, 0);
    if (gone == 0) {
        ::_exit(0);
    }
    ASSERT_EQ(::waitpid(gone, nullptr, 0), gone);
    const auto temp = [&](pid_t pid) {
        fs::path p = target;
        p += ".~" + std::to_string(pid) + ".0.tmp";
        std::ofstream(p) << "partial";
        return p;
    };
    const fs::path ofDead = temp(gone), ofRunning = temp(sleeper), ofSelf = temp(::getpid());
    const fs::path otherTarget = dir / ("Profile2.cfg.~" + std::to_string(gone) + ".0.tmp");
    std::ofstream(otherTarget) << "partial";
    const fs::path lookalike = dir / "Profile1.cfg.~12x.0.tmp";
    std::ofstream(lookalike) << "not ours";

    const std::uint8_t b = 1;
    ASSERT_TRUE(WriteFileAtomic(target, {&b, 1}));
    EXPECT_FALSE(fs::exists(ofDead));
    EXPECT_TRUE(fs::exists(ofRunning));
    EXPECT_TRUE(fs::exists(ofSelf));
    EXPECT_TRUE(fs::exists(otherTarget));  // another file's leftovers wait for its own save
    EXPECT_TRUE(fs::exists(lookalike));
    EXPECT_TRUE(IsTemporaryFileOf(ofRunning, target));
    EXPECT_FALSE(IsTemporaryFileOf(otherTarget, target));
    EXPECT_FALSE(IsTemporaryFileOf(lookalike, target));
    for (const char* name :
         {"Profile1.cfg.~.tmp", "Profile1.cfg.~123.tmp", "Profile1.cfg.~123..tmp",
          "Profile1.cfg.~.5.tmp", "Profile1.cfg.~99999999999.1.tmp", "Profile1.cfg.~1.2.tmp.bak",
          "Profile1.cfg"}) {
        EXPECT_FALSE(IsTemporaryFileOf(dir / name, target)) << name;
    }
    const fs::path accented = dir / "Profil \xC3\xA9t\xC3\xA9.cfg";
    EXPECT_TRUE(IsTemporaryFileOf(dir / "Profil \xC3\xA9t\xC3\xA9.cfg.~7.0.tmp", accented));
    // This process's own old name was passed over, not written into.
    std::ifstream self(ofSelf);
    std::string content;
    self >> content;
    EXPECT_EQ(content, "partial");
}

}  // namespace
}  // namespace q350
