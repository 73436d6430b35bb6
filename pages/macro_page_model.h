#pragma once

// The macro page without its window: the game groups, the macros of the current group, the events
// of the selected macro with the event editor's rules, the repeat rule, new, delete and rename,
// the recorder, and saving every change through the macro library so that nothing is lost
// without a word: a full library or an unwritable Macro.cfg is reported and the library in memory
// keeps what the file holds.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "pages/assign_panels_model.h"
#include "pages/macro_recorder.h"
#include "pages/mouse_page_layout.h"
#include "pages/page_host.h"

namespace q350::pages {

// ---- groups and texts ---------------------------------------------------------------------------

inline constexpr int kGroupCount = 21;
inline constexpr int kGroupCustom = 21;  // the player's own macros, shown at start
// The group's name on the group button (empty outside 1..21).
std::u16string_view GroupName(int group, bool chinese);
// The group's text in the group menu (a few differ from the button's).
std::u16string_view GroupMenuText(int group, bool chinese);

std::u16string_view NewMacroName(bool chinese);
std::u16string_view RecordCaption(bool recording, bool chinese);
std::u16string_view MacroInUseText(bool chinese);
std::u16string_view LibraryFullText(bool chinese);
std::u16string_view NotSavedText(bool chinese);
std::u16string_view TooLongText(bool chinese);
inline constexpr std::u16string_view kRenameErrorText = u"      Rename Error     ";
inline constexpr std::u16string_view kRenameErrorTitle = u"Warning";
inline constexpr std::u16string_view kNotAnItemTrace = u"LoadMacroToList:  Not a vaild item";

// ---- event list rows ----------------------------------------------------------------------------

// Row kinds of the event list (they pick the row pictures).
inline constexpr int kRowKeyUp = 2;
inline constexpr int kRowKeyDown = 3;
inline constexpr int kRowPause = 4;
// The row kind of a macro event (0 for another type).
int EventRowKind(std::uint32_t event);
// The row text: the key's name, or the milliseconds and "  ms".
std::u16string EventText(std::uint32_t event);

// ---- layout -------------------------------------------------------------------------------------

namespace macro_layout {
inline constexpr Rect kRecord{782, 20, 900, 53};
inline constexpr Rect kGroup{25, 49, 326, 70};
inline constexpr Rect kNoPause{646, 59, 835, 79};
inline constexpr Rect kLoop{643, 86, 760, 105};
inline constexpr Rect kLoopCount{856, 89, 890, 100};
inline constexpr Rect kToggle{643, 112, 895, 128};
inline constexpr Rect kHold{643, 131, 787, 152};
inline constexpr Rect kMacroList{27, 89, 324, 405};
inline constexpr Rect kEventList{345, 51, 625, 405};
inline constexpr Rect kNewMacro{26, 412, 67, 440};
inline constexpr Rect kDeleteMacro{77, 412, 139, 440};
inline constexpr Rect kInsertEvent{361, 412, 391, 440};
inline constexpr Rect kDeleteEvent{394, 412, 424, 440};
inline constexpr Rect kModifyEvent{427, 412, 457, 440};
inline constexpr Rect kKeyType{641, 339, 786, 358};
inline constexpr Rect kKeyEdit{666, 365, 821, 379};
inline constexpr Rect kKeyOk{852, 363, 892, 381};
inline constexpr Rect kPauseType{640, 387, 801, 407};
inline constexpr Rect kPauseEdit{666, 414, 821, 429};
inline constexpr Rect kPauseOk{852, 412, 892, 432};
// Left, middle and right mouse-button pictures.
inline constexpr Rect kPictures[3] = {
    {717, 213, 745, 263}, {756, 211, 781, 251}, {789, 213, 818, 264}};
}  // namespace macro_layout
// The page's hover help.
std::vector<HintArea> MacroHintAreas();

// ---- the page -----------------------------------------------------------------------------------

enum class RepeatOption { Loop, Toggle, Hold };
enum class SaveOutcome {
    Saved,
    Nothing,      // no macro selected, or no events to store
    LibraryFull,  // a new macro found no free entry: not stored
    NotWritten,   // Macro.cfg could not be written: the library is as the file holds it
    TooLong,      // more events than a library entry holds: not stored
};
enum class DeleteOutcome { Deleted, Nothing, InUse, NotWritten };
enum class RenameOutcome { Renamed, Kept, Failed };
enum class EditorMode { Hidden, Types, Key, Pause };

class MacroPageModel {
public:
    explicit MacroPageModel(PageHost& host);

    // ---- groups and macros
    // Lists the macros of a group (stopping a recording first, which saves it).
    SaveOutcome listGroup(int group);
    int group() const { return group_; }
    const std::vector<MacroRow>& macros() const { return rows_; }
    // The row of the selected macro (-1 when none).
    int selectedRow() const;
    std::optional<std::uint32_t> selectedId() const { return selected_; }
    // Lists the group again from the library (which may have changed while the page was away),
    // keeping the selected macro and new macros not stored yet. Nothing while recording.
    void refresh();
    // Selects a macro row and shows its events; a recording is stopped (and saved into the macro
    // it was recording) first. Nothing for the selected row or a row out of range.
    SaveOutcome select(int row);

    // ---- events and repeat rule of the selected macro
    const std::vector<std::uint32_t>& events() const { return events_; }
    // Whether the last load met a word of another kind and ended the list there.
    bool loadCutShort() const { return cutShort_; }
    RepeatOption repeatOption() const { return option_; }
    // The loop count as its edit box shows it.
    const std::u16string& loopText() const { return loopText_; }
    SaveOutcome chooseRepeat(RepeatOption option);
    // The loop count box was changed by the user.
    SaveOutcome editLoopText(std::u16string text);
    // The rule a save stores.
    std::uint32_t repeatRule() const;
    // Stores the events and repeat rule of the selected macro (or of the one being recorded).
    SaveOutcome save();

    // ---- new, delete, rename
    // A new macro of the group with an id unused in the library (the low 24 bits from tick);
    // appended and selected. It is stored with its first event.
    int newMacro(std::uint32_t tick);
    // Refused while a profile slot, the record being edited or a pending assignment uses it.
    DeleteOutcome deleteSelected();
    bool macroInUse(std::uint32_t id) const;
    // The in-place edit of a row ended with name: only the name changes (of the stored macro, or
    // of a sound registry copy stored in its place); without either the name waits in the row for
    // the macro's first save.
    RenameOutcome rename(int row, std::u16string name);

    // ---- event editor
    EditorMode editorMode() const { return editor_; }
    bool modifying() const { return modify_; }
    void showTypes();                // insert event
    void keyMode();                  // key type button: capture on
    void pauseMode();                // pause type button: capture off
    void modifyEvent(int selected);  // modify: the selected item's mode
    // Hides the editor without a change; capture off.
    void closeEditor();
    // Key OK or pause OK with the selected item (-1: none) and the pause box's number. Inserts or
    // replaces; refuses a key event without a captured key, a pause at position 0, and anything
    // that would make the macro longer than a library entry holds. The editor closes either way.
    SaveOutcome confirmEditor(int selected, std::uint32_t pauseMs);
    SaveOutcome deleteEvent(int index);

    // ---- recorder
    bool recording() const { return recorder_.recording(); }
    bool capturing() const { return recorder_.capturing(); }
    int capturedKey() const { return recorder_.capturedKey(); }
    bool noPause = false;
    // Starts recording into the selected macro; false without one.
    bool startRecording();
    SaveOutcome stopRecording();
    KeyUse onKey(int virtualKey, unsigned flags, std::uint32_t tick);

private:
    void load();
    // The id a save writes: the macro being recorded, else the selected one.
    std::optional<std::uint32_t> targetId() const;
    SaveOutcome storeBlock(const std::vector<std::uint8_t>& block);

    PageHost& host_;
    int group_ = kGroupCustom;
    std::vector<MacroRow> rows_;
    std::vector<std::uint32_t> new_;  // macros made by newMacro since the group was listed
    std::optional<std::uint32_t> selected_;
    std::optional<std::uint32_t> recordingId_;
    std::vector<std::uint32_t> events_;
    RepeatOption option_ = RepeatOption::Loop;
    std::u16string loopText_ = u"1";
    EditorMode editor_ = EditorMode::Hidden;
    bool modify_ = false;
    bool cutShort_ = false;
    MacroRecorder recorder_;
};

// A registry copy that can be used: a whole exchange block with the macro tag whose events lie
// inside it and fit a library entry.
bool IsUsableExchangeBlock(const std::vector<std::uint8_t>& block);

}  // namespace q350::pages
