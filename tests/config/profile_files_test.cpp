#include "config/profile_files.h"

#include <gtest/gtest.h>

#include <sys/resource.h>

#include <csignal>
#include <cstring>
#include <fstream>
#include <random>

#include "base/utf.h"

namespace q350 {
namespace {

namespace fs = std::filesystem;

std::vector<std::uint8_t> ReadAll(const fs::path& p) {
    std::vector<std::uint8_t> out;
    EXPECT_TRUE(ReadFileBytes(p, out));
    return out;
}

void WriteAll(const fs::path& p, std::span<const std::uint8_t> data) {
    std::ofstream out(p, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data.data()),
              static_cast<std::streamsize>(data.size()));
}

std::unique_ptr<ProfileData> DefaultProfile() {
    auto p = std::make_unique<ProfileData>();
    BuildDefaults(*p, false);
    return p;
}

// A profile that differs from the defaults, to tell files apart.
std::unique_ptr<ProfileData> MarkedProfile(std::int32_t lift) {
    auto p = DefaultProfile();
    p->liftHeight[0] = lift;
    return p;
}

class ProfileFilesTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::random_device rd;
        folder = fs::temp_directory_path() / ("q350-config-" + std::to_string(rd()));
        fs::create_directories(folder / "Profile");
        files = std::make_unique<ProfileFiles>(folder, store, notifier);
    }
    void TearDown() override { fs::remove_all(folder); }

    fs::path profileFile(int n) const {
        return folder / "Profile" / ("Profile" + std::to_string(n) + ".cfg");
    }
    void plantTable(int activeSlot) {
        auto table = std::make_unique<ConfigInfo>();
        ZeroRecord(*table);
        table->slots[activeSlot].active = 1;
        table->slots[activeSlot].buttonMacroId[0][3] = 77;
        store.writeBinary(u"", kValueConfigInfo, RecordBytes(*table));
    }
    std::u16string pathText(int n) const { return Utf16FromPath(profileFile(n)); }

    fs::path folder;
    MemorySettingsStore store;
    RecordingNotifier notifier;
    std::unique_ptr<ProfileFiles> files;
};

TEST_F(ProfileFilesTest, FirstStartLeavesZeroTableAndOnlyProfileOne) {
    ASSERT_TRUE(files->ensureFirstRun());
    files->startupLoad();

    const auto* firstRun = store.find(u"", kValueFirstRun);
    ASSERT_NE(firstRun, nullptr);
    EXPECT_EQ(firstRun->type, MemorySettingsStore::Type::Binary);
    EXPECT_EQ(firstRun->bytes, (std::vector<std::uint8_t>{1, 0, 0, 0}));
    const auto* table = store.find(u"", kValueConfigInfo);
    ASSERT_NE(table, nullptr);
    EXPECT_EQ(table->bytes, std::vector<std::uint8_t>(8700, 0));

    const auto defaults = DefaultProfile();
    const auto defaultBytes = RecordBytes(*defaults);
    EXPECT_EQ(ReadAll(profileFile(1)),
              std::vector<std::uint8_t>(defaultBytes.begin(), defaultBytes.end()));
    for (int n = 2; n <= 5; ++n) {
        EXPECT_FALSE(fs::exists(profileFile(n)));
    }
    EXPECT_EQ(files->activeSlot(), 0);
    const ProfileSlot& s = files->configInfo().slots[0];
    EXPECT_EQ(s.active, 1);
    EXPECT_EQ(s.tag, kSlotTag);
    EXPECT_EQ(FieldText(s.name, kTextChars), u"Profile1");
    EXPECT_EQ(FieldText(files->configInfo().slots[4].path, kTextChars), pathText(5));
    EXPECT_TRUE(notifier.shown.empty());

    // A second start keeps an existing FirstRun and rewrites one of the wrong type.
    store.setRaw(u"", kValueFirstRun, MemorySettingsStore::Type::Dword, {9, 0, 0, 0});
    ASSERT_TRUE(files->ensureFirstRun());
    EXPECT_EQ(store.find(u"", kValueFirstRun)->type, MemorySettingsStore::Type::Binary);
}

TEST_F(ProfileFilesTest, MissingActiveProfileIsCreatedAndProfileOneTakesOver) {
    plantTable(2);
    WriteAll(profileFile(1), RecordBytes(*MarkedProfile(21)));
    files->startupLoad();

    ASSERT_EQ(notifier.shown.size(), 1u);
    EXPECT_EQ(notifier.shown[0].form, MessageForm::SkinnedNotice);
    EXPECT_EQ(notifier.shown[0].text,
              u"Failed to open file, check whether there is a " + pathText(3) + u" path?");
    EXPECT_EQ(ReadAll(profileFile(3)).size(), kProfileSize);
    EXPECT_FALSE(fs::exists(profileFile(4)));
    EXPECT_EQ(files->configInfo().slots[2].active, 0);
    EXPECT_EQ(files->configInfo().slots[2].buttonMacroId[0][3], 77);  // the table is kept
    EXPECT_EQ(files->activeSlot(), 0);
    EXPECT_EQ(files->configInfo().slots[0].active, 1);
    EXPECT_EQ(files->profile().liftHeight[0], 21);  // profile 1's own file, not defaults
}

TEST_F(ProfileFilesTest, ActiveProfileWithItsFileIsLoaded) {
    plantTable(4);
    WriteAll(profileFile(5), RecordBytes(*MarkedProfile(7)));
    files->startupLoad();
    EXPECT_EQ(files->activeSlot(), 4);
    EXPECT_EQ(files->profile().liftHeight[0], 7);
    EXPECT_TRUE(notifier.shown.empty());
    EXPECT_FALSE(fs::exists(profileFile(1)));
}

TEST_F(ProfileFilesTest, ForeignActiveFileIsReplacedByDefaults) {
    plantTable(1);
    const std::vector<std::uint8_t> junk(500, 0x11);
    WriteAll(profileFile(2), junk);
    files->startupLoad();
    ASSERT_GE(notifier.shown.size(), 1u);
    EXPECT_EQ(notifier.shown[0].form, MessageForm::StandardInfo);
    EXPECT_EQ(notifier.shown[0].text, pathText(2) + u" is an invaild Profile!");
    EXPECT_EQ(ReadAll(profileFile(2))[0], 0x50);  // a default profile now
    EXPECT_EQ(files->activeSlot(), 0);
    EXPECT_EQ(files->profile().magic, kProfileMagic);
}

TEST_F(ProfileFilesTest, TableOfWrongTypeOrUnwritableRegistry) {
    store.setRaw(u"", kValueConfigInfo, MemorySettingsStore::Type::String, {'x', 0});
    files->startupLoad();
    EXPECT_EQ(store.find(u"", kValueConfigInfo)->bytes.size(), kConfigInfoSize);

    MemorySettingsStore broken;
    broken.failWrites = true;
    ProfileFiles noRegistry(folder, broken, notifier);
    noRegistry.startupLoad();
    EXPECT_EQ(noRegistry.activeSlot(), 0);
    EXPECT_EQ(noRegistry.profile().magic, kProfileMagic);
}

TEST_F(ProfileFilesTest, ShortAndForeignFilesOnLoad) {
    std::vector<std::uint8_t> shortFile(100, 0);
    shortFile[0] = 0x50, shortFile[1] = 0x03, shortFile[2] = 0x80, shortFile[3] = 0x80;
    shortFile[4] = 66;  // function of button 0, mode 0
    WriteAll(profileFile(1), shortFile);
    files->profile().liftHeight[2] = 9;
    EXPECT_EQ(files->load(profileFile(1), true), LoadResult::Loaded);
    EXPECT_EQ(files->profile().buttons[0][0].function, 66);
    EXPECT_EQ(files->profile().liftHeight[2], 0);

    shortFile[0] = 0x51;
    WriteAll(profileFile(1), shortFile);
    EXPECT_EQ(files->load(profileFile(1), true), LoadResult::NotProfile);
    EXPECT_EQ(static_cast<int>(LoadResult::NotProfile), 255);

    // A missing file without reporting neither speaks nor creates.
    EXPECT_EQ(files->load(profileFile(4), false), LoadResult::NotLoaded);
    EXPECT_FALSE(fs::exists(profileFile(4)));
    EXPECT_EQ(notifier.shown.size(), 1u);
}

TEST_F(ProfileFilesTest, ScrollOneScreenSurvivesSaveAndLoad) {
    files->startupLoad();
    files->profile().scrollLines[1] = -1;
    ASSERT_TRUE(files->save());
    const auto bytes = ReadAll(profileFile(1));
    ASSERT_EQ(bytes.size(), kProfileSize);
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(bytes[0x2062C + 4 + i], 0xFF);
    }
    files->profile().scrollLines[1] = 3;
    ASSERT_EQ(files->load(profileFile(1), true), LoadResult::Loaded);
    EXPECT_EQ(files->profile().scrollLines[1], -1);
}

TEST_F(ProfileFilesTest, FailedWriteLeavesTheOldFileWhole) {
    files->startupLoad();
    const auto before = ReadAll(profileFile(1));
    files->profile().liftHeight[0] = 30;

    // Let the process write no file larger than 64 KiB: the new profile cannot be written.
    struct rlimit old {};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
    auto* previous = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit small = old;
    small.rlim_cur = 64 * 1024;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const bool saved = files->save();
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, previous);

    EXPECT_FALSE(saved);
    EXPECT_EQ(ReadAll(profileFile(1)), before);
    int entries = 0;
    for ([[maybe_unused]] const auto& e : fs::directory_iterator(folder / "Profile")) {
        ++entries;
    }
    EXPECT_EQ(entries, 1);  // no temporary file left behind
    ASSERT_FALSE(notifier.shown.empty());
    EXPECT_EQ(notifier.shown.back().text, kMsgSaveFailed);
}

TEST_F(ProfileFilesTest, SaveIntoMissingFolderNamesThePath) {
    files->startupLoad();
    fs::remove_all(folder / "Profile");
    EXPECT_FALSE(files->save());
    ASSERT_EQ(notifier.shown.size(), 1u);
    EXPECT_EQ(notifier.shown[0].form, MessageForm::StandardInfo);
    EXPECT_EQ(notifier.shown[0].text,
              u"Failed to open file, check whether there is a " + pathText(1) + u" path?");
}

TEST_F(ProfileFilesTest, RefusedProfileOneGoesToTheRegistryUntilTheFileIsWritable) {
    files->startupLoad();
    bool refuse = true;
    files->setFileWriter([&](const fs::path& p, std::span<const std::uint8_t> d, FileError* e) {
        if (refuse) {
            *e = FileError::AccessDenied;
            return false;
        }
        return WriteFileAtomic(p, d, e);
    });
    files->profile().liftHeight[1] = 12;
    ASSERT_TRUE(files->save());
    EXPECT_TRUE(files->registryFallback());
    EXPECT_EQ(store.find(u"", kValueDefaultSetting)->bytes.size(), kProfileSize);
    EXPECT_TRUE(notifier.shown.empty());

    // Later loads of profile 1 read the registry copy, not the stale file.
    files->profile().liftHeight[1] = 1;
    ASSERT_EQ(files->load(profileFile(1), true), LoadResult::Loaded);
    EXPECT_EQ(files->profile().liftHeight[1], 12);

    // Once the file can be written again, it is the one that counts.
    refuse = false;
    files->profile().liftHeight[1] = 13;
    ASSERT_TRUE(files->save());
    EXPECT_FALSE(files->registryFallback());
    ASSERT_EQ(files->load(profileFile(1), true), LoadResult::Loaded);
    EXPECT_EQ(files->profile().liftHeight[1], 13);

    // Refused file and refused registry: the user is told.
    refuse = true;
    store.failWrites = true;
    EXPECT_FALSE(files->save());
    ASSERT_EQ(notifier.shown.size(), 1u);
    EXPECT_EQ(notifier.shown[0].form, MessageForm::StandardInfo);
    EXPECT_EQ(notifier.shown[0].text, kMsgSaveFailed);
}

TEST_F(ProfileFilesTest, StartupTellsItsCallerWhenADefaultProfileCouldNotBeWritten) {
    EXPECT_TRUE(files->startupLoad());  // profile 1 created
    bool refuse = true;
    files->setFileWriter([&](const fs::path& p, std::span<const std::uint8_t> d, FileError* e) {
        if (refuse) {
            *e = FileError::Other;  // a full disk: no message of its own
            return false;
        }
        return WriteFileAtomic(p, d, e);
    });
    // A foreign active profile is to be replaced by defaults, and that write fails.
    plantTable(2);
    WriteAll(profileFile(3), std::vector<std::uint8_t>(64, 0x11));
    EXPECT_FALSE(files->startupLoad());
    EXPECT_EQ(files->activeSlot(), 0);
    EXPECT_EQ(ReadAll(profileFile(3)), std::vector<std::uint8_t>(64, 0x11));
    // With the disk writable again, the next start-up succeeds.
    refuse = false;
    EXPECT_TRUE(files->startupLoad());
}

TEST_F(ProfileFilesTest, RefusedOtherProfileIsReportedNotHidden) {
    plantTable(1);
    WriteAll(profileFile(2), RecordBytes(*MarkedProfile(2)));
    files->startupLoad();
    ASSERT_EQ(files->activeSlot(), 1);
    notifier.shown.clear();
    files->setFileWriter([](const fs::path&, std::span<const std::uint8_t>, FileError* e) {
        *e = FileError::AccessDenied;
        return false;
    });
    EXPECT_FALSE(files->save());
    EXPECT_EQ(store.find(u"", kValueDefaultSetting), nullptr);
    ASSERT_EQ(notifier.shown.size(), 1u);
    EXPECT_EQ(notifier.shown[0].text, kMsgSaveFailed);

    // Creating a profile where files are refused says so in the skinned box.
    notifier.shown.clear();
    EXPECT_FALSE(files->create(profileFile(4)));
    ASSERT_EQ(notifier.shown.size(), 1u);
    EXPECT_EQ(notifier.shown[0].form, MessageForm::SkinnedNotice);
    EXPECT_EQ(notifier.shown[0].text,
              u"Failed to create Profile, make sure you have permission to create files!");
}

TEST_F(ProfileFilesTest, StartupThatCannotWriteItsProfileSaysSoOnce) {
    // A file where the profile folder should be: every write fails, not for lack of access.
    fs::remove_all(folder / "Profile");
    WriteAll(folder / "Profile", std::vector<std::uint8_t>{1});
    EXPECT_FALSE(files->startupLoad());
    EXPECT_EQ(files->activeSlot(), 0);
    EXPECT_EQ(files->profile().magic, DefaultProfile()->magic);
    std::size_t createNotices = 0;
    for (const auto& shown : notifier.shown) {
        createNotices += shown.text == kMsgCreateFailed ? 1 : 0;
    }
    EXPECT_EQ(createNotices, 1u);

    // Refused access is said where it happens, and not a second time at the end.
    fs::remove(folder / "Profile");
    fs::create_directories(folder / "Profile");
    notifier.shown.clear();
    files->setFileWriter([](const fs::path&, std::span<const std::uint8_t>, FileError* e) {
        *e = FileError::AccessDenied;
        return false;
    });
    EXPECT_FALSE(files->startupLoad());
    ASSERT_EQ(notifier.shown.size(), 1u);
    EXPECT_EQ(notifier.shown[0].text, kMsgCreateFailed);

    // And a start whose files can be written says nothing.
    files->setFileWriter({});
    notifier.shown.clear();
    EXPECT_TRUE(files->startupLoad());
    EXPECT_TRUE(notifier.shown.empty());
}

TEST_F(ProfileFilesTest, SelectSwitchesSlotsAndStoresTheTableOnlyWhenHidden) {
    files->startupLoad();
    WriteAll(profileFile(2), RecordBytes(*MarkedProfile(2)));
    WriteAll(profileFile(3), RecordBytes(*MarkedProfile(3)));
    const auto storedBefore = store.find(u"", kValueConfigInfo)->bytes;

    ASSERT_TRUE(files->select(1, false));
    EXPECT_EQ(files->activeSlot(), 1);
    EXPECT_EQ(files->profile().liftHeight[0], 2);
    EXPECT_EQ(files->configInfo().slots[0].active, 0);
    EXPECT_EQ(files->configInfo().slots[1].active, 1);
    EXPECT_EQ(store.find(u"", kValueConfigInfo)->bytes, storedBefore);

    // An id picked for the profile shown before never reaches the new one's slot.
    files->pendingMacroId[0][4] = 0x15000009;
    ASSERT_TRUE(files->select(2, true));
    EXPECT_EQ(files->pendingMacroId[0][4], 0);
    ConfigInfo stored;
    FillRecord(stored, store.find(u"", kValueConfigInfo)->bytes);
    EXPECT_EQ(stored.slots[2].active, 1);
    EXPECT_EQ(stored.slots[1].active, 0);
    EXPECT_FALSE(files->select(5, false));
}

TEST_F(ProfileFilesTest, EditsCountAsUnappliedUntilSavedOrReplacedByALoad) {
    files->startupLoad();
    EXPECT_FALSE(files->hasUnappliedEdits());
    const std::int32_t defaultLift = files->profile().liftHeight[2];
    files->profile().liftHeight[2] = 7;
    EXPECT_TRUE(files->hasUnappliedEdits());
    files->profile().liftHeight[2] = defaultLift;
    EXPECT_FALSE(files->hasUnappliedEdits());  // changed back: nothing to apply
    files->pendingMacroId[1][1] = 0x15000002;  // a macro chosen for a button
    EXPECT_TRUE(files->hasUnappliedEdits());
    files->clearPendingMacroIds();
    files->profile().reportRate[0] = 1;
    ASSERT_TRUE(files->save());  // what an Apply that went well ends with
    EXPECT_FALSE(files->hasUnappliedEdits());

    // Restored defaults and imports are edits until applied; a selection loads a file as it is.
    files->restoreDefaults();
    EXPECT_TRUE(files->hasUnappliedEdits());
    WriteAll(profileFile(2), RecordBytes(*MarkedProfile(2)));
    ASSERT_TRUE(files->select(1, false));
    EXPECT_FALSE(files->hasUnappliedEdits());
    // A save that fails leaves the edits unapplied.
    files->profile().liftHeight[0] = 9;
    files->setFileWriter([](const fs::path&, std::span<const std::uint8_t>, FileError* e) {
        *e = FileError::Other;
        return false;
    });
    EXPECT_FALSE(files->save());
    EXPECT_TRUE(files->hasUnappliedEdits());
}

TEST_F(ProfileFilesTest, FailedSelectKeepsTheActiveProfileSafeFromLaterSaves) {
    files->startupLoad();
    files->profile().liftHeight[2] = 25;  // edited, not yet applied
    const std::vector<std::uint8_t> foreign(kProfileSize, 0x22);
    WriteAll(profileFile(2), foreign);

    EXPECT_FALSE(files->select(1, false));  // foreign file
    EXPECT_FALSE(files->select(3, false));  // missing file: message, default file created
    EXPECT_TRUE(fs::exists(profileFile(4)));
    EXPECT_EQ(files->activeSlot(), 0);
    EXPECT_EQ(files->configInfo().slots[0].active, 1);
    EXPECT_EQ(files->profile().liftHeight[2], 25);

    ASSERT_TRUE(files->save());
    const auto bytes = ReadAll(profileFile(1));
    ProfileData saved;
    FillRecord(saved, bytes);
    EXPECT_EQ(saved.magic, kProfileMagic);
    EXPECT_EQ(saved.liftHeight[2], 25);
    EXPECT_EQ(ReadAll(profileFile(2)), foreign);
}

TEST_F(ProfileFilesTest, ExportWritesRecordAndActiveSlot) {
    plantTable(0);
    files->startupLoad();
    files->profile().reportRate[1] = 2;
    const fs::path out = folder / "mine.cfg";
    ASSERT_TRUE(files->exportProfile(out));
    const auto bytes = ReadAll(out);
    ASSERT_EQ(bytes.size(), 134572u);
    EXPECT_EQ(bytes[0x20614 + 4], 2);
    ProfileSlot slot;
    FillRecord(slot, std::span<const std::uint8_t>(bytes).subspan(kProfileSize));
    EXPECT_EQ(slot.buttonMacroId[0][3], 77);
    EXPECT_EQ(FieldText(slot.path, kTextChars), pathText(1));
}

TEST_F(ProfileFilesTest, ImportTakesNameAndMacroIdsButNeverTheFilesPath) {
    plantTable(0);
    files->startupLoad();
    auto incoming = MarkedProfile(19);
    ProfileSlot slot;
    ZeroRecord(slot);
    slot.tag = 1;
    slot.active = 0;
    SetField(slot.name, kTextChars, u"Evil");
    const fs::path elsewhere = folder / "elsewhere.cfg";
    SetField(slot.path, kTextChars, Utf16FromPath(elsewhere));
    slot.buttonMacroId[1][4] = 0x01000005;
    ASSERT_TRUE(SetAutoSwitch(slot, u"C:\\Games\\Arena\\arena.exe", true));
    std::vector<std::uint8_t> file(RecordBytes(*incoming).begin(), RecordBytes(*incoming).end());
    file.insert(file.end(), RecordBytes(slot).begin(), RecordBytes(slot).end());
    const fs::path in = folder / "import.cfg";
    WriteAll(in, file);

    files->pendingMacroId[2][6] = 0x15000003;
    ASSERT_EQ(files->importProfile(in), ImportResult::Imported);
    EXPECT_EQ(files->pendingMacroId[2][6], 0);
    EXPECT_EQ(files->profile().liftHeight[0], 19);
    const ProfileSlot& active = files->activeSlotRecord();
    EXPECT_EQ(active.buttonMacroId[1][4], 0x01000005);
    EXPECT_EQ(active.buttonMacroId[0][3], 0);
    EXPECT_EQ(active.tag, kSlotTag);
    EXPECT_EQ(active.active, 1);
    EXPECT_EQ(FieldText(active.name, kTextChars), u"Evil");
    EXPECT_EQ(FieldText(active.path, kTextChars), pathText(1));
    // The program the profile follows comes along.
    EXPECT_EQ(AutoSwitchProgram(active), u"C:\\Games\\Arena\\arena.exe");

    // A switch value that is not 1, or a path without its end, comes in as "off".
    slot.autoSwitch = 7;
    std::vector<std::uint8_t> odd(RecordBytes(*incoming).begin(), RecordBytes(*incoming).end());
    odd.insert(odd.end(), RecordBytes(slot).begin(), RecordBytes(slot).end());
    WriteAll(in, odd);
    ASSERT_EQ(files->importProfile(in), ImportResult::Imported);
    EXPECT_EQ(files->activeSlotRecord().autoSwitch, 0);
    EXPECT_EQ(AutoPathOf(files->activeSlotRecord()), u"C:\\Games\\Arena\\arena.exe");
    std::fill(std::begin(slot.autoPath), std::end(slot.autoPath), u'x');
    slot.autoSwitch = 1;
    odd.resize(kProfileSize);
    odd.insert(odd.end(), RecordBytes(slot).begin(), RecordBytes(slot).end());
    WriteAll(in, odd);
    ASSERT_EQ(files->importProfile(in), ImportResult::Imported);
    EXPECT_TRUE(AutoSwitchProgram(files->activeSlotRecord()).empty());
    EXPECT_TRUE(AutoPathOf(files->activeSlotRecord()).empty());

    ASSERT_TRUE(files->save());
    EXPECT_FALSE(fs::exists(elsewhere));
    ProfileData saved;
    FillRecord(saved, ReadAll(profileFile(1)));
    EXPECT_EQ(saved.liftHeight[0], 19);
}

TEST_F(ProfileFilesTest, ImportOfShortOrForeignFiles) {
    plantTable(0);
    files->startupLoad();
    notifier.shown.clear();
    // Record only: the slot keeps its own macro ids.
    const fs::path bare = folder / "bare.cfg";
    WriteAll(bare, RecordBytes(*MarkedProfile(4)));
    ASSERT_EQ(files->importProfile(bare), ImportResult::Imported);
    EXPECT_EQ(files->activeSlotRecord().buttonMacroId[0][3], 77);
    EXPECT_EQ(files->profile().liftHeight[0], 4);

    const fs::path foreign = folder / "foreign.cfg";
    WriteAll(foreign, std::vector<std::uint8_t>(kExportFileSize, 0x33));
    EXPECT_EQ(files->importProfile(foreign), ImportResult::NotProfile);
    EXPECT_EQ(files->profile().liftHeight[0], 4);
    EXPECT_EQ(files->activeSlotRecord().buttonMacroId[0][3], 77);
    ASSERT_EQ(notifier.shown.size(), 1u);
    EXPECT_EQ(notifier.shown[0].form, MessageForm::StandardInfo);
    EXPECT_EQ(notifier.shown[0].text, Utf16FromPath(foreign) + u" is an invaild Profile!");

    EXPECT_EQ(files->importProfile(folder / "absent.cfg"), ImportResult::Unreadable);
}

TEST_F(ProfileFilesTest, ImportRefusesValuesTheMouseMustNotGet) {
    plantTable(0);
    files->startupLoad();
    notifier.shown.clear();
    const auto before = std::vector<std::uint8_t>(RecordBytes(files->profile()).begin(),
                                                  RecordBytes(files->profile()).end());
    auto bad = [&](auto change) {
        auto incoming = MarkedProfile(5);
        change(*incoming);
        const fs::path in = folder / "ranges.cfg";
        WriteAll(in, RecordBytes(*incoming));
        return files->importProfile(in);
    };
    EXPECT_EQ(bad([](ProfileData& p) { p.liftHeight[1] = 200; }), ImportResult::NotProfile);
    EXPECT_EQ(bad([](ProfileData& p) { p.reportRate[2] = 7; }), ImportResult::NotProfile);
    EXPECT_EQ(bad([](ProfileData& p) { p.ledBrightness[1][1] = 10; }), ImportResult::NotProfile);
    EXPECT_EQ(bad([](ProfileData& p) { p.dpiX[0][1] = 83; }), ImportResult::NotProfile);
    EXPECT_EQ(notifier.shown.size(), 4u);
    EXPECT_EQ(std::vector<std::uint8_t>(RecordBytes(files->profile()).begin(),
                                        RecordBytes(files->profile()).end()),
              before);
    // The edges of the ranges are fine.
    EXPECT_EQ(bad([](ProfileData& p) { p.liftHeight[1] = 30; }), ImportResult::Imported);
    EXPECT_EQ(files->profile().liftHeight[1], 30);
}

TEST_F(ProfileFilesTest, RestoreDefaultsClearsTheSlotsMacros) {
    plantTable(0);
    files->startupLoad();
    files->profile().buttons[0][0].function = 6;
    files->pendingMacroId[1][1] = 5;
    files->restoreDefaults();
    EXPECT_EQ(files->profile().buttons[0][0].function, 1);
    EXPECT_EQ(files->activeSlotRecord().buttonMacroId[0][3], 0);
    EXPECT_EQ(files->pendingMacroId[1][1], 0);
}

TEST_F(ProfileFilesTest, LabelsFollowTheLanguageOfTheMoment) {
    bool chinese = true;
    ProfileFiles localized(folder, store, notifier, [&] { return chinese; });
    localized.startupLoad();
    EXPECT_EQ(FieldText(localized.profile().buttons[0][1].label, kTextChars), u"菜单");
    chinese = false;
    localized.restoreDefaults();
    EXPECT_EQ(FieldText(localized.profile().buttons[0][1].label, kTextChars), u"Menu");
}

}  // namespace
}  // namespace q350
