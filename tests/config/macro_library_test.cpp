#include "config/macro_library.h"

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <random>

#include "base/utf.h"
#include "device/virtual_mouse.h"

namespace q350 {
namespace {

namespace fs = std::filesystem;

constexpr std::uint32_t kVkA = 0x41;
constexpr std::uint32_t kVkB = 0x42;
constexpr std::uint32_t kUsageA = 0x04;
constexpr std::uint32_t kUsageB = 0x05;

std::uint32_t Down(std::uint32_t vk) { return MacroEvent(kMacroKeyDown, vk); }
std::uint32_t Up(std::uint32_t vk) { return MacroEvent(kMacroKeyUp, vk); }
std::uint32_t Pause(std::uint32_t ms) { return MacroEvent(kMacroPause, ms); }

std::unique_ptr<MacroRecord> Record(std::uint32_t id, std::vector<std::uint32_t> events,
                                    std::uint32_t repeat = 1) {
    auto r = std::make_unique<MacroRecord>();
    std::memset(r.get(), 0, sizeof(MacroRecord));
    r->size = static_cast<std::uint32_t>(kExchangeHeaderSize + 4 * events.size());
    r->formatTag = kMacroFormatTag;
    r->id = id;
    r->repeat = repeat;
    r->eventCount = static_cast<std::uint32_t>(events.size());
    std::copy(events.begin(), events.end(), r->events);
    return r;
}

// Events of n key presses and releases alternating, n entries in all.
std::vector<std::uint32_t> KeyEvents(std::size_t n) {
    std::vector<std::uint32_t> ev;
    for (std::size_t i = 0; i < n; ++i) {
        ev.push_back(i % 2 == 0 ? Down(kVkA) : Up(kVkA));
    }
    return ev;
}

TEST(MacroEncoding, PressPauseReleaseGivesTheTenByteProgram) {
    MacroProgram out{};
    ASSERT_TRUE(EncodeMacro(*Record(1, {0xC0000041, 0xA0000032, 0xE0000041}), out));
    const std::uint8_t expected[] = {0x0A, 0x00, 0x01, 0x00, 0x0B, 0x00, 0x04, 0x00, 0x00, 0x04};
    EXPECT_EQ(0, std::memcmp(out.data(), expected, sizeof(expected)));
    EXPECT_TRUE(std::all_of(out.begin() + sizeof(expected), out.end(),
                            [](std::uint8_t b) { return b == 0; }));
}

TEST(MacroEncoding, PausesAreTensOfMillisecondsAttachedToThePreviousKey) {
    MacroProgram out{};
    // 5 ms rounds down to nothing; a leading pause has no key to belong to and is dropped.
    ASSERT_TRUE(EncodeMacroEvents(
        std::vector<std::uint32_t>{Pause(700), Down(kVkB), Pause(5), Up(kVkB), Pause(1234)}, 0xFFFE,
        out));
    EXPECT_EQ(MacroProgramLength(out), 10);
    EXPECT_EQ(out[2] | (out[3] << 8), 0xFFFE);
    EXPECT_EQ(out[4] | (out[5] << 8), 0x0001);  // pressed, pause 0
    EXPECT_EQ(out[6], kUsageB);
    EXPECT_EQ(out[7] | (out[8] << 8), 123 * 2);  // released, 1,230 ms
    // A pause longer than the field can hold plays as the longest one, not a wrapped short one.
    ASSERT_TRUE(EncodeMacroEvents(std::vector<std::uint32_t>{Down(kVkA), Pause(0xFFFFFF)}, 1, out));
    EXPECT_EQ(out[4] | (out[5] << 8), 0xFFFF);
}

TEST(MacroEncoding, SlotHoldsAtMost1363KeyEntries) {
    MacroProgram out{};
    ASSERT_TRUE(EncodeMacroEvents(KeyEvents(1363), 1, out));
    EXPECT_EQ(MacroProgramLength(out), 4093);
    EXPECT_FALSE(EncodeMacroEvents(KeyEvents(1364), 1, out));
    // Pauses take no entry of their own.
    auto withPauses = KeyEvents(1363);
    withPauses.push_back(Pause(100));
    EXPECT_TRUE(EncodeMacroEvents(withPauses, 1, out));
}

TEST(MacroEncoding, RefusesWhatTheMouseCannotPlay) {
    MacroProgram out{};
    EXPECT_FALSE(EncodeMacroEvents(std::vector<std::uint32_t>{Down(0x07)}, 1, out));  // no usage
    EXPECT_FALSE(EncodeMacroEvents(std::vector<std::uint32_t>{Down(0x141)}, 1, out));
    EXPECT_FALSE(EncodeMacroEvents(std::vector<std::uint32_t>{0x11000041}, 1, out));
    auto foreign = Record(2, {Down(kVkA), Up(kVkA)});
    foreign->formatTag = 0xE8E80011;
    EXPECT_TRUE(IsMacroInUse(*foreign));  // listed as a macro ...
    EXPECT_FALSE(EncodeMacro(*foreign, out));  // ... but never encoded
    auto damaged = Record(3, {Down(kVkA)});
    damaged->eventCount = 1001;
    EXPECT_FALSE(EncodeMacro(*damaged, out));
}

TEST(MacroEntry, EitherSizeOrTagMarksAnEntryInUse) {
    MacroRecord r{};
    EXPECT_FALSE(IsMacroInUse(r));
    r.size = 108;
    EXPECT_TRUE(IsMacroInUse(r));
    r.size = 107;
    EXPECT_FALSE(IsMacroInUse(r));
    r.formatTag = 0xE8E80000;
    EXPECT_TRUE(IsMacroInUse(r));
}

class MacroUpload : public ::testing::Test {
protected:
    FakeClock clock;
    VirtualMouse mouse{clock};
    VirtualMouseTransport transport{mouse};
    HidChannel channel{transport};
    int mode = 0;
    DeviceCommands device{channel, clock, [this] { return mode; }};
    void SetUp() override { ASSERT_TRUE(channel.open()); }
};

TEST_F(MacroUpload, LastSlotRoundTripsThroughTheMouse) {
    auto r = Record(9, {Down(kVkA), Pause(50), Down(kVkB), Pause(120), Up(kVkB), Up(kVkA)}, 3);
    ASSERT_TRUE(UploadMacro(device, 17, *r));
    const auto& mem = mouse.state().memory;
    const auto program = DecodeMacroProgram(
        std::span<const std::uint8_t>(mem.data() + 0x12000, kMacroSlotSize));
    ASSERT_TRUE(program.valid) << program.problem;
    EXPECT_EQ(program.repeat, 3);
    ASSERT_EQ(program.entries.size(), 4u);
    EXPECT_TRUE(program.entries[0].pressed);
    EXPECT_EQ(program.entries[0].usage, kUsageA);
    EXPECT_EQ(program.entries[0].pauseMs, 50u);
    EXPECT_EQ(program.entries[1].usage, kUsageB);
    EXPECT_EQ(program.entries[1].pauseMs, 120u);
    EXPECT_FALSE(program.entries[2].pressed);
    EXPECT_EQ(program.entries[3].usage, kUsageA);
    EXPECT_EQ(program.entries[3].pauseMs, 0u);
}

TEST_F(MacroUpload, RefusedWithoutTouchingTheMouse) {
    const std::uint32_t before = mouse.state().commandCount;
    EXPECT_FALSE(UploadMacro(device, 18, *Record(1, {Down(kVkA)})));
    EXPECT_FALSE(UploadMacro(device, -1, *Record(1, {Down(kVkA)})));
    auto freeEntry = Record(1, {Down(kVkA)});
    freeEntry->size = 0;
    EXPECT_FALSE(UploadMacro(device, 0, *freeEntry));
    EXPECT_FALSE(UploadMacro(device, 0, *Record(1, {Down(0x07)})));
    EXPECT_EQ(mouse.state().commandCount, before);
}

TEST_F(MacroUpload, UnpluggedMouseFailsTheUpload) {
    mouse.state().plugged = false;
    EXPECT_FALSE(UploadMacro(device, 0, *Record(1, {Down(kVkA), Up(kVkA)})));
}

class MacroLibraryTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::random_device rd;
        folder = fs::temp_directory_path() / ("q350-macro-" + std::to_string(rd()));
        fs::create_directories(folder);
        library = std::make_unique<MacroLibrary>(folder, settings, notifier, clock);
    }
    void TearDown() override { fs::remove_all(folder); }

    // An existing, empty Macro.cfg so that saves take the ordinary path.
    void CreateFile() {
        std::vector<std::uint8_t> zero(kMacroFileSize, 0);
        ASSERT_TRUE(WriteFileAtomic(library->filePath(), zero));
    }
    std::vector<std::uint8_t> FileBytes() {
        std::vector<std::uint8_t> out;
        ReadFileBytes(library->filePath(), out);
        return out;
    }

    fs::path folder;
    MemorySettingsStore settings;
    RecordingNotifier notifier;
    FakeClock clock;
    std::unique_ptr<MacroLibrary> library;
};

TEST_F(MacroLibraryTest, StoreFillsFreeEntriesAndReplacesBySameId) {
    CreateFile();
    ASSERT_TRUE(library->store(MakeExchangeBlock(7, 2, u"Combo", KeyEvents(6))));
    ASSERT_TRUE(library->store(MakeExchangeBlock(8, 1, u"Other", KeyEvents(2))));
    ASSERT_TRUE(library->store(MakeExchangeBlock(7, 5, u"Short", KeyEvents(2))));
    const MacroRecord* r = library->find(7);
    ASSERT_NE(r, nullptr);
    EXPECT_EQ(r, &library->entry(0));
    EXPECT_EQ(r->eventCount, 2u);
    EXPECT_EQ(r->events[2], 0u);  // the longer old list is cleared
    EXPECT_EQ(r->repeat, 5u);
    EXPECT_EQ(r->size, kExchangeHeaderSize + 8);
    EXPECT_EQ(FieldText(r->macroName, kMacroNameChars), u"Short");
    EXPECT_EQ(library->find(8), &library->entry(1));
    // Every change reaches the file.
    const auto bytes = FileBytes();
    ASSERT_EQ(bytes.size(), kMacroFileSize);
    EXPECT_EQ(0, std::memcmp(bytes.data(), library->bytes().data(), kMacroFileSize));
    EXPECT_TRUE(notifier.shown.empty());
}

TEST_F(MacroLibraryTest, StoreRefusesBlocksThatDoNotFitAndAFullLibrary) {
    CreateFile();
    EXPECT_FALSE(library->store(MakeExchangeBlock(1, 1, u"Long", KeyEvents(1001))));
    auto block = MakeExchangeBlock(2, 1, u"Cut", KeyEvents(10));
    block.resize(block.size() - 4);  // claims more events than it carries
    EXPECT_FALSE(library->store(block));
    EXPECT_FALSE(library->store(std::vector<std::uint8_t>(50, 0)));
    EXPECT_EQ(library->find(1), nullptr);  // nothing taken
    EXPECT_EQ(library->find(2), nullptr);
    EXPECT_TRUE(library->store(MakeExchangeBlock(3, 1, u"Max", KeyEvents(1000))));

    for (std::uint32_t id = 100; id < 100 + kMacroLibraryEntries - 1; ++id) {
        auto& e = library->entry(id - 99);
        e.formatTag = kMacroFormatTag;
        e.id = id;
    }
    const auto before = std::vector<std::uint8_t>(library->bytes().begin(), library->bytes().end());
    EXPECT_FALSE(library->store(MakeExchangeBlock(4, 1, u"None", KeyEvents(2))));
    EXPECT_TRUE(std::equal(before.begin(), before.end(), library->bytes().begin()));
    EXPECT_TRUE(library->store(MakeExchangeBlock(150, 1, u"Existing", KeyEvents(2))));
}

TEST_F(MacroLibraryTest, RemoveFreesTheEntryForReuse) {
    CreateFile();
    ASSERT_TRUE(library->store(MakeExchangeBlock(7, 2, u"A", KeyEvents(4))));
    ASSERT_TRUE(library->store(MakeExchangeBlock(8, 2, u"B", KeyEvents(4))));
    EXPECT_TRUE(library->remove(7));
    EXPECT_FALSE(library->remove(77));
    const MacroRecord& freed = library->entry(0);
    EXPECT_FALSE(IsMacroInUse(freed));
    EXPECT_EQ(freed.events[0], 0u);
    EXPECT_EQ(freed.macroName[0], u'\0');
    ASSERT_TRUE(library->store(MakeExchangeBlock(9, 1, u"C", KeyEvents(2))));
    EXPECT_EQ(library->find(9), &library->entry(0));
}

TEST_F(MacroLibraryTest, SaveAndLoadRoundTripTheWholeImage) {
    CreateFile();
    ASSERT_TRUE(library->store(MakeExchangeBlock(0x03000010, 0xFFFF, u"Reload", KeyEvents(3))));
    MacroLibrary other(folder, settings, notifier, clock);
    ASSERT_TRUE(other.load());
    EXPECT_TRUE(std::equal(library->bytes().begin(), library->bytes().end(),
                           other.bytes().begin()));
    // The exchange block of an entry reproduces what was stored.
    EXPECT_EQ(MakeExchangeBlock(*other.find(0x03000010)),
              MakeExchangeBlock(0x03000010, 0xFFFF, u"Reload", KeyEvents(3)));
    // A short file loads into a cleared library.
    ASSERT_TRUE(WriteFileAtomic(library->filePath(), std::vector<std::uint8_t>(16, 0xFF)));
    ASSERT_TRUE(other.load());
    EXPECT_EQ(other.entry(0).id, 0xFFFFFFFFu);
    EXPECT_EQ(other.entry(0).eventCount, 0u);
    EXPECT_EQ(other.find(0x03000010), nullptr);
    // So does an empty one.
    ASSERT_TRUE(WriteFileAtomic(library->filePath(), {}));
    ASSERT_TRUE(other.load());
    EXPECT_EQ(other.entry(0).id, 0u);
}

TEST_F(MacroLibraryTest, MissingFileIsReportedAtLoadAndCreatedAtSave) {
    MacroLibrary lib(folder, settings, notifier, clock, [] { return std::u16string(u"no %s!"); });
    EXPECT_FALSE(lib.load());
    ASSERT_EQ(notifier.shown.size(), 1u);
    EXPECT_EQ(notifier.shown[0].form, MessageForm::SkinnedNotice);
    EXPECT_EQ(notifier.shown[0].text, u"no " + Utf16FromPath(lib.filePath()) + u"!");
    EXPECT_FALSE(fs::exists(lib.filePath()));

    ASSERT_TRUE(lib.store(MakeExchangeBlock(5, 1, u"Kept", KeyEvents(2))));
    ASSERT_EQ(notifier.shown.size(), 2u);
    EXPECT_EQ(notifier.shown[1].form, MessageForm::StandardInfo);
    EXPECT_EQ(notifier.shown[1].text, u"Failed to open file, check whether there is a " +
                                          Utf16FromPath(lib.filePath()) + u" path?");
    // The new file holds the library, the macro just stored included.
    const auto bytes = FileBytes();
    ASSERT_EQ(bytes.size(), kMacroFileSize);
    EXPECT_EQ(0, std::memcmp(bytes.data(), lib.bytes().data(), kMacroFileSize));
}

TEST_F(MacroLibraryTest, RefusedCreationIsReported) {
    library->setFileWriter([](const fs::path&, std::span<const std::uint8_t>, FileError* e) {
        if (e) *e = FileError::AccessDenied;
        return false;
    });
    EXPECT_FALSE(library->save());
    ASSERT_EQ(notifier.shown.size(), 2u);
    EXPECT_EQ(notifier.shown[1].text,
              u"Failed to create Profile, make sure you have permission to create files!");
}

TEST_F(MacroLibraryTest, FailedSavesReachTheCaller) {
    CreateFile();
    bool refuse = false;
    library->setFileWriter([&](const fs::path& p, std::span<const std::uint8_t> d, FileError* e) {
        if (refuse) {
            *e = FileError::AccessDenied;
            return false;
        }
        return WriteFileAtomic(p, d, e);
    });
    ASSERT_TRUE(library->store(MakeExchangeBlock(7, 1, u"Saved", KeyEvents(2))));
    EXPECT_EQ(library->lastSaveError(), FileError::None);

    refuse = true;
    EXPECT_FALSE(library->store(MakeExchangeBlock(8, 1, u"Unsaved", KeyEvents(2))));
    EXPECT_EQ(library->lastSaveError(), FileError::AccessDenied);
    EXPECT_NE(library->find(8), nullptr);  // kept in memory for the next save
    EXPECT_FALSE(library->remove(7));
    EXPECT_EQ(library->lastSaveError(), FileError::AccessDenied);
    // The file still holds what was last saved.
    MacroLibrary onDisk(folder, settings, notifier, clock);
    ASSERT_TRUE(onDisk.load());
    EXPECT_NE(onDisk.find(7), nullptr);
    EXPECT_EQ(onDisk.find(8), nullptr);

    // A refusal of another kind clears the save error: nothing was written or tried.
    EXPECT_FALSE(library->remove(99));
    EXPECT_EQ(library->lastSaveError(), FileError::None);
    refuse = false;
    EXPECT_TRUE(library->save());
    ASSERT_TRUE(onDisk.load());
    EXPECT_EQ(onDisk.find(7), nullptr);
    EXPECT_NE(onDisk.find(8), nullptr);
}

TEST_F(MacroLibraryTest, CommittedChangesKeepMemoryAndFileAlike) {
    CreateFile();
    bool refuse = false;
    library->setFileWriter([&](const fs::path& p, std::span<const std::uint8_t> d, FileError* e) {
        if (refuse) {
            if (e) *e = FileError::AccessDenied;
            return false;
        }
        return WriteFileAtomic(p, d, e);
    });
    using Change = MacroLibrary::Change;
    ASSERT_EQ(library->commitBlock(MakeExchangeBlock(7, 2, u"Kept", KeyEvents(4))), Change::Done);
    refuse = true;
    // A failed save gives the entry back what it held, for a replaced and for a new macro.
    EXPECT_EQ(library->commitBlock(MakeExchangeBlock(7, 9, u"Lost", KeyEvents(2))),
              Change::NotWritten);
    EXPECT_EQ(library->commitBlock(MakeExchangeBlock(8, 1, u"New", KeyEvents(2))),
              Change::NotWritten);
    EXPECT_EQ(library->eraseMacro(7), Change::NotWritten);
    EXPECT_EQ(0, std::memcmp(FileBytes().data(), library->bytes().data(), kMacroFileSize));
    EXPECT_EQ(FieldText(library->find(7)->macroName, kMacroNameChars), u"Kept");
    EXPECT_EQ(library->find(7)->eventCount, 4u);
    EXPECT_EQ(library->find(8), nullptr);

    refuse = false;
    EXPECT_EQ(library->commitBlock(MakeExchangeBlock(1, 1, u"Long", KeyEvents(1001))),
              Change::Refused);
    EXPECT_EQ(library->eraseMacro(77), Change::Refused);
    for (std::uint32_t id = 100; id < 100 + kMacroLibraryEntries - 1; ++id) {
        auto& e = library->entry(id - 99);
        e.formatTag = kMacroFormatTag;
        e.id = id;
    }
    EXPECT_EQ(library->commitBlock(MakeExchangeBlock(4, 1, u"None", KeyEvents(2))), Change::Full);
    EXPECT_EQ(library->find(4), nullptr);
    EXPECT_EQ(library->eraseMacro(7), Change::Done);
    EXPECT_EQ(library->commitBlock(MakeExchangeBlock(4, 1, u"Fits", KeyEvents(2))), Change::Done);
    EXPECT_EQ(0, std::memcmp(FileBytes().data(), library->bytes().data(), kMacroFileSize));
}

TEST_F(MacroLibraryTest, EventCountsFromTheFileAreBounded) {
    CreateFile();
    auto image = FileBytes();
    auto* first = reinterpret_cast<MacroRecord*>(image.data());
    first->formatTag = kMacroFormatTag;
    first->id = 5;
    first->eventCount = 0xFFFFFFF0u;
    ASSERT_TRUE(WriteFileAtomic(library->filePath(), image));
    ASSERT_TRUE(library->load());
    EXPECT_EQ(library->find(5)->eventCount, kMacroMaxEvents);
    EXPECT_EQ(MakeExchangeBlock(*library->find(5)).size(), kExchangeHeaderSize + 4 * kMacroMaxEvents);
}

TEST_F(MacroLibraryTest, RegistryCopiesAreReadFromTheirIdKey) {
    const auto block = MakeExchangeBlock(0x0a0b0c0d, 1, u"Copy", KeyEvents(2));
    settings.setRaw(u"Macro\\0a0b0c0d", u"", MemorySettingsStore::Type::Binary, block);
    settings.setRaw(u"Macro\\00000002", u"", MemorySettingsStore::Type::String, {0x41, 0});
    EXPECT_EQ(library->readRegistryCopy(0x0a0b0c0d), block);
    EXPECT_FALSE(library->readRegistryCopy(2).has_value());
    EXPECT_FALSE(library->readRegistryCopy(3).has_value());
}

}  // namespace
}  // namespace q350
