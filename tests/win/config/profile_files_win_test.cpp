// Profile files on a Windows file system with the registry store: start-up, save over an existing
// file, and the slot table in the registry.
#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "base/utf.h"
#include "config/profile_files.h"
#include "config/win/registry_settings_store.h"

namespace q350 {
namespace {

namespace fs = std::filesystem;

class ProfileFilesWinTest : public ::testing::Test {
protected:
    void SetUp() override {
        const std::wstring id = std::to_wstring(GetCurrentProcessId());
        base = L"Software\\Q350Tests\\profiles" + id;
        RegDeleteTreeW(HKEY_CURRENT_USER, base.c_str());
        folder = fs::temp_directory_path() / (L"q350-profiles-" + id);
        fs::remove_all(folder);
        fs::create_directories(folder / "Profile");
    }
    void TearDown() override {
        RegDeleteTreeW(HKEY_CURRENT_USER, base.c_str());
        fs::remove_all(folder);
    }
    std::wstring base;
    fs::path folder;
    RecordingNotifier notifier;
};

TEST_F(ProfileFilesWinTest, StartSaveAndStartAgain) {
    RegistrySettingsStore store(HKEY_CURRENT_USER, base);
    {
        ProfileFiles files(folder, store, notifier);
        ASSERT_TRUE(files.ensureFirstRun());
        files.startupLoad();
        EXPECT_EQ(fs::file_size(folder / "Profile" / "Profile1.cfg"), kProfileSize);
        // The stored path is the Windows form under the program folder.
        const std::u16string path = FieldText(files.configInfo().slots[1].path, kTextChars);
        EXPECT_EQ(path, Utf16FromPath(folder) + u"\\Profile\\Profile2.cfg");

        files.profile().liftHeight[1] = 29;
        ASSERT_TRUE(files.save());  // replaces the existing file
        ASSERT_TRUE(files.writeConfigInfo());
    }
    std::vector<std::uint8_t> table;
    ASSERT_EQ(store.readBinary(u"", kValueConfigInfo, table), StoreResult::Ok);
    EXPECT_EQ(table.size(), kConfigInfoSize);

    ProfileFiles again(folder, store, notifier);
    again.startupLoad();
    EXPECT_EQ(again.activeSlot(), 0);
    EXPECT_EQ(again.profile().liftHeight[1], 29);
    EXPECT_TRUE(notifier.shown.empty());
    int entries = 0;
    for ([[maybe_unused]] const auto& e : fs::directory_iterator(folder / "Profile")) {
        ++entries;
    }
    EXPECT_EQ(entries, 1);
}

TEST_F(ProfileFilesWinTest, LockedProfileOneFallsBackToTheRegistry) {
    RegistrySettingsStore store(HKEY_CURRENT_USER, base);
    ProfileFiles files(folder, store, notifier);
    files.startupLoad();
    const fs::path one = folder / "Profile" / "Profile1.cfg";
    // Another program holds the file open without sharing: it cannot be replaced.
    HANDLE held = CreateFileW(one.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    files.profile().reportRate[0] = 1;
    const bool saved = files.save();
    CloseHandle(held);
    ASSERT_TRUE(saved);
    EXPECT_TRUE(files.registryFallback());
    std::vector<std::uint8_t> copy;
    ASSERT_EQ(store.readBinary(u"", kValueDefaultSetting, copy), StoreResult::Ok);
    ASSERT_EQ(copy.size(), kProfileSize);
    EXPECT_EQ(copy[0x20614], 1);
    EXPECT_TRUE(notifier.shown.empty());
    std::ifstream file(one, std::ios::binary);
    file.seekg(0x20614);
    EXPECT_EQ(file.get(), 8);  // the held file was left as it was
}

}  // namespace
}  // namespace q350
