#include "pages/macro_page_model.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>

#include "base/clock.h"
#include "base/notifier.h"
#include "base/settings_store.h"
#include "base/utf.h"
#include "config/function_catalog.h"

namespace q350::pages {
namespace {

constexpr std::uint32_t kCustom = 21u << 24;
constexpr int kVkA = 'A';
constexpr int kVkB = 'B';

std::uint32_t Down(int vk) {
    return MacroEvent(kMacroKeyDown, static_cast<std::uint32_t>(vk));
}
std::uint32_t Up(int vk) {
    return MacroEvent(kMacroKeyUp, static_cast<std::uint32_t>(vk));
}
std::uint32_t Pause(std::uint32_t ms) {
    return MacroEvent(kMacroPause, ms);
}

// A host whose macro library writes into memory: the "file" is what the last successful save
// wrote, and saves fail while the test says so.
class Host final : public PageHost {
public:
    Host()
        : profile_(std::make_unique<ProfileData>()),
          table_(std::make_unique<ConfigInfo>()),
          library_("/nonexistent", store_, notifier_, clock_) {
        BuildDefaults(*profile_, false);
        ZeroRecord(*table_);
        library_.clear();
        library_.setFileWriter(
            [this](const std::filesystem::path&, std::span<const std::uint8_t> d, FileError* e) {
                ++saves;
                if (!writable) {
                    if (e)
                        *e = FileError::AccessDenied;
                    return false;
                }
                file.assign(d.begin(), d.end());
                return true;
            });
    }
    ProfileData& profile() override { return *profile_; }
    ConfigInfo& configInfo() override { return *table_; }
    int activeSlot() const override { return 0; }
    int currentMode() const override { return 0; }
    void setCurrentMode(int) override {}
    std::int32_t& pendingMacroId(int mode, int button) override { return pending_[mode][button]; }
    MacroLibrary& macros() override { return library_; }
    bool chinese() const override { return false; }

    // The library entry as the last written file holds it (null when not there).
    const MacroRecord* inFile(std::uint32_t id) const {
        for (std::size_t at = 0; at + sizeof(MacroRecord) <= file.size();
             at += sizeof(MacroRecord)) {
            const auto* r = reinterpret_cast<const MacroRecord*>(file.data() + at);
            if (r->id == id && IsMacroInUse(*r))
                return r;
        }
        return nullptr;
    }
    void put(std::size_t index, std::uint32_t id, std::u16string_view name,
             std::vector<std::uint32_t> events, std::uint32_t repeat = 1) {
        const auto block = MakeExchangeBlock(id, repeat, name, events);
        MacroRecord& r = library_.entry(index);
        std::memset(&r, 0, sizeof(r));
        r.size = static_cast<std::uint32_t>(block.size());
        r.formatTag = kMacroFormatTag;
        r.id = id;
        r.repeat = repeat;
        r.eventCount = static_cast<std::uint32_t>(events.size());
        std::copy(events.begin(), events.end(), r.events);
        SetField(r.macroName, kMacroNameChars, name);
    }

    MemorySettingsStore store_;
    bool writable = true;
    int saves = 0;
    std::vector<std::uint8_t> file;
    std::int32_t pending_[kModeCount][kButtonCount] = {};

private:
    std::unique_ptr<ProfileData> profile_;
    std::unique_ptr<ConfigInfo> table_;
    SilentNotifier notifier_;
    FakeClock clock_;
    MacroLibrary library_;
};

std::vector<std::uint32_t> Stored(Host& host, std::uint32_t id) {
    const MacroRecord* r = host.macros().find(id);
    if (r == nullptr || !IsMacroInUse(*r))
        return {};
    return {r->events, r->events + r->eventCount};
}

class MacroPageTest : public ::testing::Test {
protected:
    void SetUp() override {
        host.put(0, kCustom | 1, u"Reload", {Down(kVkA), Pause(30), Up(kVkA)}, kRepeatWhileHeld);
        host.put(1, (1u << 24) | 5, u"Grenade", {Down(kVkB), Up(kVkB)}, 3);
        host.put(2, kCustom | 2, u"Jump", {Down(kVkB), Up(kVkB)}, 7);
        model.listGroup(kGroupCustom);
    }
    int rowOf(std::uint32_t id) const {
        for (std::size_t i = 0; i < model.macros().size(); ++i)
            if (model.macros()[i].id == id)
                return static_cast<int>(i);
        return -1;
    }

    Host host;
    MacroPageModel model{host};
};

// ---- groups, selection and loading --------------------------------------------------------------

TEST_F(MacroPageTest, GroupsListTheirOwnMacrosInLibraryOrder) {
    ASSERT_EQ(model.macros().size(), 2u);
    EXPECT_EQ(model.macros()[0].name, u"Reload");
    EXPECT_EQ(model.macros()[1].name, u"Jump");
    EXPECT_EQ(model.selectedRow(), -1);
    EXPECT_TRUE(model.events().empty());
    model.listGroup(1);
    ASSERT_EQ(model.macros().size(), 1u);
    EXPECT_EQ(model.macros()[0].name, u"Grenade");
    EXPECT_EQ(GroupName(21, false), u"Customisze");
    EXPECT_EQ(GroupName(13, true), u"远古遗迹守卫2（Dota 2）");
    EXPECT_EQ(GroupMenuText(13, true), u"远古遗迹守卫2（Dota 2） ");
    EXPECT_EQ(GroupMenuText(1, false), u"Battlefield 3 ");
    EXPECT_EQ(GroupMenuText(5, true), u"军团要塞2");
    EXPECT_EQ(GroupName(22, false), u"");
}

TEST_F(MacroPageTest, LoadingShowsTheMacroAndItsRuleWithoutSaving) {
    EXPECT_EQ(model.select(0), SaveOutcome::Nothing);
    EXPECT_EQ(model.events(), (std::vector<std::uint32_t>{Down(kVkA), Pause(30), Up(kVkA)}));
    EXPECT_EQ(model.repeatOption(), RepeatOption::Toggle);
    EXPECT_EQ(model.loopText(), u"1");
    model.select(1);
    EXPECT_EQ(model.repeatOption(), RepeatOption::Loop);
    EXPECT_EQ(model.loopText(), u"7");
    EXPECT_EQ(host.saves, 0);
    // Reload keeps its own rule: switching macros stored nothing into it.
    EXPECT_EQ(host.macros().find(kCustom | 1)->repeat, kRepeatWhileHeld);
}

TEST_F(MacroPageTest, AWordOfAnotherKindEndsTheLoadedListAndCountsAreBounded) {
    MacroRecord& r = host.macros().entry(0);
    r.events[1] = 0x12345678;
    model.select(0);
    EXPECT_EQ(model.events(), (std::vector<std::uint32_t>{Down(kVkA)}));
    EXPECT_TRUE(model.loadCutShort());
    model.listGroup(kGroupCustom);
    r.eventCount = 5000;  // as a damaged file can say
    for (std::uint32_t& e : r.events)
        e = Down(kVkA);
    model.select(0);
    EXPECT_EQ(model.events().size(), kMacroMaxEvents);
}

TEST_F(MacroPageTest, RefreshReadsTheLibraryAgainAndKeepsWhatIsShown) {
    model.select(1);
    const int fresh = model.newMacro(0x400);
    host.put(5, kCustom | 9, u"Imported", {Down(kVkA), Up(kVkA)});
    model.select(1);
    model.refresh();
    ASSERT_EQ(model.macros().size(), 4u);
    EXPECT_EQ(model.macros()[2].name, u"Imported");
    EXPECT_EQ(model.macros()[3].id, kCustom | 0x400);  // not stored yet, still there
    EXPECT_EQ(model.selectedId(), kCustom | 2);
    EXPECT_EQ(model.repeatOption(), RepeatOption::Loop);
    EXPECT_EQ(model.loopText(), u"7");
    (void)fresh;
    // A selected macro that left the library is no longer selected.
    std::memset(&host.macros().entry(2), 0, sizeof(MacroRecord));
    model.refresh();
    EXPECT_EQ(model.selectedRow(), -1);
    EXPECT_TRUE(model.events().empty());
}

// ---- saving and the repeat rule -----------------------------------------------------------------

TEST_F(MacroPageTest, RepeatRulesAndLoopCountsAreStored) {
    model.select(1);
    EXPECT_EQ(model.chooseRepeat(RepeatOption::Hold), SaveOutcome::Saved);
    EXPECT_EQ(host.inFile(kCustom | 2)->repeat, kRepeatUntilPressed);
    model.chooseRepeat(RepeatOption::Toggle);
    EXPECT_EQ(host.inFile(kCustom | 2)->repeat, kRepeatWhileHeld);
    model.chooseRepeat(RepeatOption::Loop);
    for (auto [text, rule] :
         {std::pair{u"0", 1u}, {u"abc", 1u}, {u"", 1u}, {u"9999", 9999u}, {u"12", 12u}}) {
        model.editLoopText(text);
        EXPECT_EQ(host.inFile(kCustom | 2)->repeat, rule) << std::string(text, text + 0);
    }
    EXPECT_EQ(Stored(host, kCustom | 2), (std::vector<std::uint32_t>{Down(kVkB), Up(kVkB)}));
}

TEST_F(MacroPageTest, PausesBeforeTheFirstKeyAreNotStored) {
    model.select(0);
    model.deleteEvent(0);  // Pause(30) is now first
    EXPECT_EQ(model.events().front(), Pause(30));
    EXPECT_EQ(Stored(host, kCustom | 1), (std::vector<std::uint32_t>{Up(kVkA)}));
}

TEST_F(MacroPageTest, UnwritableFileIsToldAndTheLibraryKeepsWhatTheFileHolds) {
    model.select(1);
    model.chooseRepeat(RepeatOption::Loop);  // the file now holds Jump with 7
    host.writable = false;
    EXPECT_EQ(model.chooseRepeat(RepeatOption::Hold), SaveOutcome::NotWritten);
    EXPECT_EQ(host.macros().find(kCustom | 2)->repeat, 7u);
    EXPECT_EQ(host.inFile(kCustom | 2)->repeat, 7u);
    // A new macro that could not be written is not in the library either.
    model.newMacro(0x100);
    ASSERT_TRUE(model.startRecording());
    model.onKey(kVkA, 0, 10);
    EXPECT_EQ(model.stopRecording(), SaveOutcome::NotWritten);
    EXPECT_EQ(host.macros().find(kCustom | 0x100), nullptr);
    host.writable = true;
    EXPECT_EQ(model.chooseRepeat(RepeatOption::Hold), SaveOutcome::Saved);
    EXPECT_EQ(host.inFile(kCustom | 0x100)->repeat, kRepeatUntilPressed);
}

TEST_F(MacroPageTest, FullLibraryIsToldAndNothingIsOverwritten) {
    for (std::size_t i = 3; i < kMacroLibraryEntries; ++i) {
        host.put(i, (2u << 24) | static_cast<std::uint32_t>(i), u"x", {Down(kVkA), Up(kVkA)});
    }
    const std::vector<std::uint8_t> before(host.macros().bytes().begin(),
                                           host.macros().bytes().end());
    model.newMacro(0x200);
    model.startRecording();
    model.onKey(kVkA, 0, 10);
    EXPECT_EQ(model.stopRecording(), SaveOutcome::LibraryFull);
    EXPECT_TRUE(std::equal(before.begin(), before.end(), host.macros().bytes().begin()));
    // Existing macros still save.
    model.select(0);
    EXPECT_EQ(model.chooseRepeat(RepeatOption::Hold), SaveOutcome::Saved);
}

// ---- new, delete, rename ------------------------------------------------------------------------

TEST_F(MacroPageTest, NewMacroIdsNeverTakeAnExistingOne) {
    // The tick's low bits are those of Reload's id and then of the first new macro.
    const int first = model.newMacro(1);
    const int second = model.newMacro(1);
    const std::uint32_t a = model.macros()[static_cast<std::size_t>(first)].id;
    const std::uint32_t b = model.macros()[static_cast<std::size_t>(second)].id;
    EXPECT_EQ(a >> 24, 21u);
    EXPECT_NE(a, kCustom | 1);
    EXPECT_NE(a, kCustom | 2);
    EXPECT_NE(a, b);
    EXPECT_EQ(model.macros()[static_cast<std::size_t>(second)].name, u"New Macro");
    EXPECT_EQ(model.selectedRow(), second);
    EXPECT_EQ(model.repeatOption(), RepeatOption::Loop);
    // Without events it is not stored and does not survive a group change.
    EXPECT_EQ(host.macros().find(b), nullptr);
    model.listGroup(kGroupCustom);
    EXPECT_EQ(model.macros().size(), 2u);
    EXPECT_EQ(host.macros().find(kCustom | 1)->eventCount, 3u);
}

TEST_F(MacroPageTest, DeleteIsRefusedWhileAnythingUsesTheMacro) {
    model.select(0);
    host.configInfo().slots[3].buttonMacroId[2][13] = static_cast<std::int32_t>(kCustom | 1);
    EXPECT_EQ(model.deleteSelected(), DeleteOutcome::InUse);
    host.configInfo().slots[3].buttonMacroId[2][13] = 0;
    host.profile().buttons[1][4].function = fn::kMacro;
    host.profile().buttons[1][4].macroId = static_cast<std::int32_t>(kCustom | 1);
    EXPECT_EQ(model.deleteSelected(), DeleteOutcome::InUse);
    host.profile().buttons[1][4].function = fn::kLeft;
    host.pending_[0][9] = static_cast<std::int32_t>(kCustom | 1);
    EXPECT_EQ(model.deleteSelected(), DeleteOutcome::InUse);
    host.pending_[0][9] = 0;
    EXPECT_NE(host.macros().find(kCustom | 1), nullptr);

    host.writable = false;
    EXPECT_EQ(model.deleteSelected(), DeleteOutcome::NotWritten);
    EXPECT_TRUE(IsMacroInUse(*host.macros().find(kCustom | 1)));
    EXPECT_EQ(model.macros().size(), 2u);
    host.writable = true;
    EXPECT_EQ(model.deleteSelected(), DeleteOutcome::Deleted);
    EXPECT_EQ(host.inFile(kCustom | 1), nullptr);
    EXPECT_EQ(model.macros().size(), 1u);
    EXPECT_EQ(model.selectedRow(), -1);
    EXPECT_TRUE(model.events().empty());
}

TEST_F(MacroPageTest, RenameChangesOnlyTheName) {
    // A registry copy with other events must not replace the macro's own.
    host.store_.setRaw(MacroRegistryKey(kCustom | 1), u"", MemorySettingsStore::Type::Binary,
                       MakeExchangeBlock(kCustom | 1, 1, u"Old", {{Down(kVkB)}}));
    EXPECT_EQ(model.rename(0, u"Reload fast"), RenameOutcome::Renamed);
    EXPECT_EQ(FieldText(host.inFile(kCustom | 1)->macroName, kMacroNameChars), u"Reload fast");
    EXPECT_EQ(Stored(host, kCustom | 1),
              (std::vector<std::uint32_t>{Down(kVkA), Pause(30), Up(kVkA)}));
    EXPECT_EQ(host.inFile(kCustom | 1)->repeat, kRepeatWhileHeld);
    EXPECT_EQ(model.macros()[0].name, u"Reload fast");

    host.writable = false;
    EXPECT_EQ(model.rename(0, u"Lost"), RenameOutcome::Failed);
    EXPECT_EQ(model.macros()[0].name, u"Reload fast");
}

TEST_F(MacroPageTest, RenameOfANewMacroUsesOnlySoundRegistryCopies) {
    const int row = model.newMacro(0x300);
    const std::uint32_t id = model.macros()[static_cast<std::size_t>(row)].id;
    auto copy = MakeExchangeBlock(id, 2, u"From registry", {{Down(kVkA), Up(kVkA)}});
    auto bad = copy;
    reinterpret_cast<MacroExchangeHeader*>(bad.data())->eventCount = 40;  // beyond the value
    host.store_.setRaw(MacroRegistryKey(id), u"", MemorySettingsStore::Type::Binary, bad);
    EXPECT_EQ(model.rename(row, u"Mine"), RenameOutcome::Kept);
    EXPECT_EQ(host.macros().find(id), nullptr);
    EXPECT_EQ(model.macros()[static_cast<std::size_t>(row)].name, u"Mine");

    host.store_.setRaw(MacroRegistryKey(id), u"", MemorySettingsStore::Type::Binary, copy);
    EXPECT_EQ(model.rename(row, u"Imported"), RenameOutcome::Renamed);
    EXPECT_EQ(FieldText(host.inFile(id)->macroName, kMacroNameChars), u"Imported");
    EXPECT_EQ(host.inFile(id)->repeat, 2u);
    EXPECT_EQ(model.events(), (std::vector<std::uint32_t>{Down(kVkA), Up(kVkA)}));

    EXPECT_FALSE(IsUsableExchangeBlock(std::vector<std::uint8_t>(copy.begin(), copy.end() - 1)));
    auto untagged = copy;
    reinterpret_cast<MacroExchangeHeader*>(untagged.data())->tag = 0x12345678;
    EXPECT_FALSE(IsUsableExchangeBlock(untagged));
    EXPECT_TRUE(IsUsableExchangeBlock(copy));
}

// ---- event editor -------------------------------------------------------------------------------

TEST_F(MacroPageTest, PauseInsertsMergeAndStayWithinTheMouseLimit) {
    model.select(0);
    model.showTypes();
    model.pauseMode();
    EXPECT_EQ(model.confirmEditor(2, 50), SaveOutcome::Saved);  // right after the 30 ms pause
    EXPECT_EQ(model.events(), (std::vector<std::uint32_t>{Down(kVkA), Pause(80), Up(kVkA)}));
    EXPECT_EQ(model.editorMode(), EditorMode::Hidden);
    model.pauseMode();
    model.confirmEditor(1, 9999);  // on the pause itself
    EXPECT_EQ(model.events()[1], Pause(10079));
    for (int i = 0; i < 40; ++i) {
        model.pauseMode();
        model.confirmEditor(1, 9999);
    }
    EXPECT_EQ(model.events()[1], Pause(kMacroPauseLimitMs));
    EXPECT_EQ(Stored(host, kCustom | 1)[1], Pause(kMacroPauseLimitMs));
    // Between two keys a new item; never at position 0.
    model.pauseMode();
    model.confirmEditor(0, 5);
    EXPECT_EQ(model.events().size(), 3u);
    model.pauseMode();
    model.confirmEditor(2, 7);  // before Up(A): the pause there stays at the limit
    EXPECT_EQ(model.events()[1], Pause(kMacroPauseLimitMs));
    model.select(1);
    model.pauseMode();
    model.confirmEditor(1, 7);
    EXPECT_EQ(model.events(), (std::vector<std::uint32_t>{Down(kVkB), Pause(7), Up(kVkB)}));
    model.pauseMode();
    model.confirmEditor(2, 50);
    EXPECT_EQ(model.events(), (std::vector<std::uint32_t>{Down(kVkB), Pause(57), Up(kVkB)}));
}

TEST_F(MacroPageTest, KeyInsertsAndChangesNeedACapturedKey) {
    model.select(1);
    model.keyMode();
    EXPECT_TRUE(model.capturing());
    EXPECT_EQ(model.confirmEditor(1, 0), SaveOutcome::Nothing);  // no key pressed yet
    EXPECT_FALSE(model.capturing());
    EXPECT_EQ(model.events().size(), 2u);
    model.keyMode();
    EXPECT_EQ(model.onKey('C', 0, 5), KeyUse::Captured);
    EXPECT_EQ(model.confirmEditor(1, 0), SaveOutcome::Saved);
    EXPECT_EQ(Stored(host, kCustom | 2),
              (std::vector<std::uint32_t>{Down(kVkB), Down('C'), Up('C'), Up(kVkB)}));
    // Modify without a key keeps the key; with one it keeps the item's direction.
    model.modifyEvent(3);
    EXPECT_EQ(model.editorMode(), EditorMode::Key);
    EXPECT_EQ(model.confirmEditor(3, 0), SaveOutcome::Nothing);
    EXPECT_EQ(model.events()[3], Up(kVkB));
    model.modifyEvent(3);
    model.onKey('D', kKeyReleasedFlag, 6);
    model.confirmEditor(3, 0);
    EXPECT_EQ(model.events()[3], Up('D'));
    EXPECT_FALSE(model.modifying());
}

TEST_F(MacroPageTest, EditsNeverMakeAMacroLongerThanAnEntry) {
    std::vector<std::uint32_t> full;
    for (std::size_t i = 0; i < kMacroMaxEvents - 1; ++i)
        full.push_back(i % 2 ? Up(kVkA) : Down(kVkA));
    host.put(0, kCustom | 1, u"Long", full);
    model.select(0);
    model.keyMode();
    model.onKey('C', 0, 1);
    EXPECT_EQ(model.confirmEditor(1, 0), SaveOutcome::TooLong);
    EXPECT_EQ(model.events().size(), kMacroMaxEvents - 1);
    model.pauseMode();
    EXPECT_EQ(model.confirmEditor(1, 10), SaveOutcome::Saved);  // the 1,000th event fits
    model.pauseMode();
    EXPECT_EQ(model.confirmEditor(3, 10), SaveOutcome::TooLong);
    EXPECT_EQ(Stored(host, kCustom | 1).size(), kMacroMaxEvents);
}

// ---- recording ----------------------------------------------------------------------------------

TEST_F(MacroPageTest, RecordingGoesIntoTheMacroItStartedFor) {
    EXPECT_FALSE(model.startRecording());  // nothing selected
    model.select(1);
    ASSERT_TRUE(model.startRecording());
    EXPECT_TRUE(model.events().empty());
    model.onKey(kVkA, 0, 1000);
    model.onKey(kVkA, kKeyReleasedFlag, 1040);
    // Choosing another macro stops the recording and stores it into Jump.
    EXPECT_EQ(model.select(0), SaveOutcome::Saved);
    EXPECT_FALSE(model.recording());
    EXPECT_EQ(Stored(host, kCustom | 2),
              (std::vector<std::uint32_t>{Down(kVkA), Pause(40), Up(kVkA)}));
    EXPECT_EQ(Stored(host, kCustom | 1),
              (std::vector<std::uint32_t>{Down(kVkA), Pause(30), Up(kVkA)}));
    // A key still queued after the stop is not recorded anywhere.
    EXPECT_EQ(model.onKey(kVkB, 0, 1100), KeyUse::Ignored);
    EXPECT_EQ(model.events().size(), 3u);
}

TEST_F(MacroPageTest, AGroupChangeEndsTheRecordingFirst) {
    model.select(0);
    model.startRecording();
    model.onKey(kVkB, 0, 10);
    EXPECT_EQ(model.listGroup(1), SaveOutcome::Saved);
    EXPECT_FALSE(model.recording());
    EXPECT_EQ(Stored(host, kCustom | 1), (std::vector<std::uint32_t>{Down(kVkB)}));
    EXPECT_EQ(Stored(host, (1u << 24) | 5), (std::vector<std::uint32_t>{Down(kVkB), Up(kVkB)}));
    // Deleting after new and delete never reaches a stale row.
    model.listGroup(kGroupCustom);
    model.select(rowOf(kCustom | 2));
    model.deleteSelected();
    model.newMacro(7);
    model.startRecording();
    model.onKey(kVkA, 0, 20);
    model.stopRecording();
    EXPECT_EQ(Stored(host, kCustom | 1), (std::vector<std::uint32_t>{Down(kVkB)}));
    EXPECT_EQ(Stored(host, kCustom | 7), (std::vector<std::uint32_t>{Down(kVkA)}));
}

TEST_F(MacroPageTest, RecordingSwitchesCaptureOffAndTheNoPauseSwitchWorks) {
    model.select(0);
    model.keyMode();
    model.startRecording();
    EXPECT_FALSE(model.capturing());
    EXPECT_EQ(model.editorMode(), EditorMode::Hidden);
    model.keyMode();  // the editor's buttons take no keys from a recording
    EXPECT_FALSE(model.capturing());
    model.noPause = true;
    model.onKey(kVkA, 0, 10);
    model.onKey(kVkA, kKeyReleasedFlag, 500);
    model.stopRecording();
    EXPECT_EQ(Stored(host, kCustom | 1), (std::vector<std::uint32_t>{Down(kVkA), Up(kVkA)}));
}

}  // namespace
}  // namespace q350::pages
