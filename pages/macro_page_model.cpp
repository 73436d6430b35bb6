#include "pages/macro_page_model.h"

#include <algorithm>
#include <cstring>

#include "base/utf.h"
#include "config/function_catalog.h"
#include "config/key_tables.h"

namespace q350::pages {

namespace {

constexpr std::size_t kNameMax = kMacroNameChars - 1;

bool IsKeyEvent(std::uint32_t event) {
    const std::uint32_t type = MacroEventType(event);
    return type == kMacroKeyDown || type == kMacroKeyUp;
}

bool IsPauseEvent(std::uint32_t event) {
    return MacroEventType(event) == kMacroPause;
}

std::uint32_t AddPause(std::uint32_t pause, std::uint32_t ms) {
    const std::uint32_t sum = MacroEventValue(pause) + std::min(ms, kMacroPauseLimitMs);
    return MacroEvent(kMacroPause, std::min(sum, kMacroPauseLimitMs));
}

std::u16string CutName(std::u16string name) {
    if (name.size() > kNameMax) {
        name.resize(kNameMax);
    }
    return name;
}

}  // namespace

std::u16string_view GroupName(int group, bool chinese) {
    if (group < 1 || group > kGroupCount) {
        return {};
    }
    if (group == 13 && chinese) {
        return u"远古遗迹守卫2（Dota 2）";
    }
    return GameRowText(group - 1, chinese);
}

std::u16string_view GroupMenuText(int group, bool chinese) {
    if (group == 1) {
        return chinese ? u"战地 3 " : u"Battlefield 3 ";
    }
    if (chinese && group == 5) {
        return u"军团要塞2";
    }
    if (chinese && group == 13) {
        return u"远古遗迹守卫2（Dota 2） ";
    }
    return GroupName(group, chinese);
}

std::u16string_view NewMacroName(bool chinese) {
    return chinese ? u"新建宏" : u"New Macro";
}

std::u16string_view RecordCaption(bool recording, bool chinese) {
    if (recording) {
        return chinese ? u"停止录制" : u"Stop Record";
    }
    return chinese ? u"开始录制" : u"Start Record";
}

std::u16string_view MacroInUseText(bool chinese) {
    return chinese ? u"当前宏正在被使用，不能删除！"
                   : u"The macro is being applied and cannot be deleted!";
}

std::u16string_view LibraryFullText(bool chinese) {
    return chinese ? u"宏库已满，宏未保存" : u"Macro library full: not saved";
}

std::u16string_view NotSavedText(bool chinese) {
    return chinese ? u"无法写入 Macro.cfg，未保存" : u"Macro.cfg not writable: not saved";
}

std::u16string_view TooLongText(bool chinese) {
    return chinese ? u"一个宏最多 1000 个事件" : u"A macro holds 1000 events at most";
}

int EventRowKind(std::uint32_t event) {
    switch (MacroEventType(event)) {
        case kMacroKeyUp:
            return kRowKeyUp;
        case kMacroKeyDown:
            return kRowKeyDown;
        case kMacroPause:
            return kRowPause;
        default:
            return 0;
    }
}

std::u16string EventText(std::uint32_t event) {
    if (IsPauseEvent(event)) {
        const std::string ms = std::to_string(MacroEventValue(event));
        return std::u16string(ms.begin(), ms.end()) + u"  ms";
    }
    return MacroKeyNames(static_cast<int>(MacroEventValue(event)));
}

std::vector<HintArea> MacroHintAreas() {
    using namespace macro_layout;
    return {{kRecord, 38},      {kNoPause, 39},     {kLoop, 40},        {kLoopCount, 40},
            {kToggle, 80},      {kHold, 81},        {kNewMacro, 33},    {kDeleteMacro, 34},
            {kInsertEvent, 35}, {kDeleteEvent, 36}, {kModifyEvent, 37}, {kKeyType, 41},
            {kPauseType, 42},   {kPictures[0], 43}, {kPictures[1], 44}, {kPictures[2], 45}};
}

bool IsUsableExchangeBlock(const std::vector<std::uint8_t>& block) {
    if (block.size() < kExchangeMinSize) {
        return false;
    }
    MacroExchangeHeader head;
    std::memcpy(&head, block.data(), sizeof(head));
    return head.tag == kMacroFormatTag && head.eventCount >= 1 &&
           head.eventCount <= kMacroMaxEvents &&
           head.size == kExchangeHeaderSize + 4 * std::size_t{head.eventCount} &&
           head.size <= block.size();
}

MacroPageModel::MacroPageModel(PageHost& host) : host_(host) {}

// ---- groups and macros --------------------------------------------------------------------------

SaveOutcome MacroPageModel::listGroup(int group) {
    const SaveOutcome out = stopRecording();
    closeEditor();
    group_ = group;
    rows_ = MacrosOfGame(host_.macros(), group - 1);
    new_.clear();
    selected_.reset();
    events_.clear();
    option_ = RepeatOption::Loop;
    loopText_ = u"1";
    return out;
}

void MacroPageModel::refresh() {
    if (recording()) {
        return;
    }
    std::vector<MacroRow> rows = MacrosOfGame(host_.macros(), group_ - 1);
    for (const MacroRow& row : rows_) {
        const MacroRecord* stored = host_.macros().find(row.id);
        const bool isNew = std::find(new_.begin(), new_.end(), row.id) != new_.end();
        if (isNew && (stored == nullptr || !IsMacroInUse(*stored))) {
            rows.push_back(row);  // a new macro that has no event yet
        }
    }
    rows_ = std::move(rows);
    if (selectedRow() < 0) {
        selected_.reset();
    }
    load();
}

int MacroPageModel::selectedRow() const {
    if (!selected_) {
        return -1;
    }
    for (std::size_t i = 0; i < rows_.size(); ++i) {
        if (rows_[i].id == *selected_) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

SaveOutcome MacroPageModel::select(int row) {
    if (row < 0 || row >= static_cast<int>(rows_.size()) ||
        (selected_ && rows_[static_cast<std::size_t>(row)].id == *selected_)) {
        return SaveOutcome::Nothing;
    }
    // The recording goes into the macro it was started for, whatever is selected now.
    const SaveOutcome out = stopRecording();
    selected_ = rows_[static_cast<std::size_t>(row)].id;
    load();
    return out;
}

void MacroPageModel::load() {
    events_.clear();
    cutShort_ = false;
    option_ = RepeatOption::Loop;
    loopText_ = u"1";
    const MacroRecord* r = selected_ ? host_.macros().find(*selected_) : nullptr;
    if (r == nullptr || !IsMacroInUse(*r)) {
        return;
    }
    const std::size_t n = std::min<std::size_t>(r->eventCount, kMacroMaxEvents);
    for (std::size_t i = 0; i < n; ++i) {
        if (EventRowKind(r->events[i]) == 0) {
            cutShort_ = true;  // a word of another kind ends the list
            break;
        }
        events_.push_back(r->events[i]);
    }
    const std::uint32_t repeat = r->repeat & 0xFFFF;
    if (repeat == kRepeatWhileHeld) {
        option_ = RepeatOption::Toggle;
    } else if (repeat == kRepeatUntilPressed) {
        option_ = RepeatOption::Hold;
    } else {
        const std::string digits = std::to_string(repeat);
        loopText_.assign(digits.begin(), digits.end());
    }
}

// ---- repeat rule and saving ---------------------------------------------------------------------

SaveOutcome MacroPageModel::chooseRepeat(RepeatOption option) {
    option_ = option;
    return save();
}

SaveOutcome MacroPageModel::editLoopText(std::u16string text) {
    loopText_ = std::move(text);
    return save();
}

std::uint32_t MacroPageModel::repeatRule() const {
    if (option_ == RepeatOption::Toggle) {
        return kRepeatWhileHeld;
    }
    if (option_ == RepeatOption::Hold) {
        return kRepeatUntilPressed;
    }
    if (loopText_.empty() || loopText_.size() > 9 ||
        !std::all_of(loopText_.begin(), loopText_.end(),
                     [](char16_t c) { return c >= u'0' && c <= u'9'; })) {
        return 1;
    }
    std::uint32_t n = 0;
    for (char16_t c : loopText_) {
        n = n * 10 + static_cast<std::uint32_t>(c - u'0');
    }
    return n == 0 ? 1 : std::min<std::uint32_t>(n, 0xFFFD);
}

std::optional<std::uint32_t> MacroPageModel::targetId() const {
    return recordingId_ ? recordingId_ : selected_;
}

SaveOutcome MacroPageModel::save() {
    const std::optional<std::uint32_t> id = targetId();
    if (!id || events_.empty()) {
        return SaveOutcome::Nothing;
    }
    // Pauses before the first key belong to nothing: they are not stored.
    const auto firstKey = std::find_if(events_.begin(), events_.end(), IsKeyEvent);
    const std::vector<std::uint32_t> stored(firstKey, events_.end());
    if (stored.empty()) {
        return SaveOutcome::Nothing;
    }
    if (stored.size() > kMacroMaxEvents) {
        return SaveOutcome::TooLong;
    }
    std::u16string name;
    const auto row =
        std::find_if(rows_.begin(), rows_.end(), [&](const MacroRow& r) { return r.id == *id; });
    if (row != rows_.end()) {
        name = row->name;
    } else if (const MacroRecord* r = host_.macros().find(*id)) {
        name = FieldText(r->macroName, kMacroNameChars);
    }
    return storeBlock(MakeExchangeBlock(*id, repeatRule(), name, stored));
}

SaveOutcome MacroPageModel::storeBlock(const std::vector<std::uint8_t>& block) {
    switch (host_.macros().commitBlock(block)) {
        case MacroLibrary::Change::Done:
            return SaveOutcome::Saved;
        case MacroLibrary::Change::Full:
            return SaveOutcome::LibraryFull;
        case MacroLibrary::Change::NotWritten:
            return SaveOutcome::NotWritten;
        case MacroLibrary::Change::Refused:
            break;
    }
    return SaveOutcome::TooLong;
}

// ---- new, delete, rename ------------------------------------------------------------------------

int MacroPageModel::newMacro(std::uint32_t tick) {
    const auto group = static_cast<std::uint32_t>(group_) << 24;
    std::uint32_t low = tick & kMacroValueMask;
    auto taken = [&](std::uint32_t id) {
        return host_.macros().find(id) != nullptr ||
               std::any_of(rows_.begin(), rows_.end(),
                           [&](const MacroRow& r) { return r.id == id; });
    };
    // At most 500 entries and as many new rows are taken: a free id is always near.
    while (taken(group | low)) {
        low = (low + 1) & kMacroValueMask;
    }
    const std::uint32_t id = group | low;
    const SaveOutcome ignored = stopRecording();
    (void)ignored;  // the record button disables this button while recording
    rows_.push_back({id, std::u16string(NewMacroName(host_.chinese()))});
    new_.push_back(id);
    selected_ = id;
    load();
    option_ = RepeatOption::Loop;
    return static_cast<int>(rows_.size()) - 1;
}

bool MacroPageModel::macroInUse(std::uint32_t id) const {
    const auto signedId = static_cast<std::int32_t>(id);
    ConfigInfo& table = host_.configInfo();
    ProfileData& profile = host_.profile();
    for (int m = 0; m < kModeCount; ++m) {
        for (int k = 0; k < kButtonCount; ++k) {
            for (const ProfileSlot& slot : table.slots) {
                if (slot.buttonMacroId[m][k] == signedId) {
                    return true;
                }
            }
            const ButtonAssignment& b = profile.buttons[m][k];
            if ((b.function == fn::kMacro && b.macroId == signedId) ||
                host_.pendingMacroId(m, k) == signedId) {
                return true;
            }
        }
    }
    return false;
}

DeleteOutcome MacroPageModel::deleteSelected() {
    const int row = selectedRow();
    if (row < 0 || recording()) {
        return DeleteOutcome::Nothing;
    }
    const std::uint32_t id = *selected_;
    if (macroInUse(id)) {
        return DeleteOutcome::InUse;
    }
    const MacroRecord* stored = host_.macros().find(id);
    if (stored != nullptr && IsMacroInUse(*stored) &&
        host_.macros().eraseMacro(id) != MacroLibrary::Change::Done) {
        return DeleteOutcome::NotWritten;
    }
    rows_.erase(rows_.begin() + row);
    selected_.reset();
    events_.clear();
    closeEditor();
    return DeleteOutcome::Deleted;
}

RenameOutcome MacroPageModel::rename(int row, std::u16string name) {
    if (row < 0 || row >= static_cast<int>(rows_.size())) {
        return RenameOutcome::Kept;
    }
    MacroRow& target = rows_[static_cast<std::size_t>(row)];
    name = CutName(std::move(name));
    MacroLibrary& library = host_.macros();
    const MacroRecord* stored = library.find(target.id);
    std::vector<std::uint8_t> block;
    if (stored != nullptr && IsMacroInUse(*stored)) {
        block = MakeExchangeBlock(*stored);  // its own events and repeat rule
    } else if (auto copy = library.readRegistryCopy(target.id);
               copy && IsUsableExchangeBlock(*copy) &&
               reinterpret_cast<const MacroExchangeHeader*>(copy->data())->id == target.id) {
        block.assign(
            copy->begin(),
            copy->begin() + static_cast<std::ptrdiff_t>(
                                reinterpret_cast<const MacroExchangeHeader*>(copy->data())->size));
    } else {
        target.name = name;  // stored with the macro's first save
        return RenameOutcome::Kept;
    }
    auto* head = reinterpret_cast<MacroExchangeHeader*>(block.data());
    std::memset(head->name, 0, sizeof(head->name));
    SetField(head->name, kMacroNameChars, name);
    if (storeBlock(block) != SaveOutcome::Saved) {
        if (stored != nullptr) {
            target.name = FieldText(stored->macroName, kMacroNameChars);
        }
        return RenameOutcome::Failed;
    }
    target.name = name;
    if (selected_ == target.id && !recording()) {
        load();
    }
    return RenameOutcome::Renamed;
}

// ---- event editor -------------------------------------------------------------------------------

void MacroPageModel::closeEditor() {
    recorder_.setCapture(false);
    editor_ = EditorMode::Hidden;
    modify_ = false;
}

void MacroPageModel::showTypes() {
    if (editor_ == EditorMode::Hidden && !recording()) {
        editor_ = EditorMode::Types;
    }
}

void MacroPageModel::keyMode() {
    if (recording()) {
        return;  // the keys are the recording's
    }
    editor_ = EditorMode::Key;
    recorder_.setCapture(true);
}

void MacroPageModel::pauseMode() {
    editor_ = EditorMode::Pause;
    recorder_.setCapture(false);
}

void MacroPageModel::modifyEvent(int selected) {
    if (recording()) {
        return;
    }
    modify_ = true;
    recorder_.setCapture(false);
    if (selected < 0 || selected >= static_cast<int>(events_.size())) {
        return;
    }
    if (IsKeyEvent(events_[static_cast<std::size_t>(selected)])) {
        keyMode();
    } else {
        pauseMode();
    }
}

SaveOutcome MacroPageModel::confirmEditor(int selected, std::uint32_t pauseMs) {
    const EditorMode mode = editor_;
    const bool modify = modify_;
    const int key = recorder_.capturedKey();
    closeEditor();
    // An empty list takes its first event at the top.
    const int at = events_.empty() && !modify ? 0 : selected;
    if (at < 0 || at > static_cast<int>(events_.size()) ||
        (at == static_cast<int>(events_.size()) && !events_.empty()) ||
        (mode != EditorMode::Key && mode != EditorMode::Pause)) {
        return SaveOutcome::Nothing;
    }
    const auto i = static_cast<std::size_t>(at);
    const std::uint32_t pause = std::min(pauseMs, kMacroPauseLimitMs);
    if (modify) {
        std::uint32_t& event = events_[i];
        if (IsKeyEvent(event) && mode == EditorMode::Key) {
            if (key == 0) {
                return SaveOutcome::Nothing;  // no key was pressed: the item stays
            }
            event = MacroEvent(MacroEventType(event), static_cast<std::uint32_t>(key));
        } else if (IsPauseEvent(event) && mode == EditorMode::Pause) {
            event = MacroEvent(kMacroPause, pause);
        } else {
            return SaveOutcome::Nothing;
        }
        return save();
    }
    if (mode == EditorMode::Key) {
        if (key == 0) {
            return SaveOutcome::Nothing;
        }
        if (events_.size() + 2 > kMacroMaxEvents) {
            return SaveOutcome::TooLong;
        }
        const auto vk = static_cast<std::uint32_t>(key);
        events_.insert(events_.begin() + at,
                       {MacroEvent(kMacroKeyDown, vk), MacroEvent(kMacroKeyUp, vk)});
        return save();
    }
    if (at == 0) {
        return SaveOutcome::Nothing;  // no pause before the first key
    }
    if (IsPauseEvent(events_[i - 1])) {
        events_[i - 1] = AddPause(events_[i - 1], pause);
    } else if (IsPauseEvent(events_[i])) {
        events_[i] = AddPause(events_[i], pause);
    } else {
        if (events_.size() + 1 > kMacroMaxEvents) {
            return SaveOutcome::TooLong;
        }
        events_.insert(events_.begin() + at, MacroEvent(kMacroPause, pause));
    }
    return save();
}

SaveOutcome MacroPageModel::deleteEvent(int index) {
    if (index < 0 || index >= static_cast<int>(events_.size()) || recording()) {
        return SaveOutcome::Nothing;
    }
    events_.erase(events_.begin() + index);
    return save();
}

// ---- recorder -----------------------------------------------------------------------------------

bool MacroPageModel::startRecording() {
    if (recording() || !selected_) {
        return false;
    }
    closeEditor();
    recordingId_ = selected_;
    recorder_.start(events_);
    return true;
}

SaveOutcome MacroPageModel::stopRecording() {
    if (!recording()) {
        return SaveOutcome::Nothing;
    }
    recorder_.stop();
    const SaveOutcome out = save();
    recordingId_.reset();
    return out;
}

KeyUse MacroPageModel::onKey(int virtualKey, unsigned flags, std::uint32_t tick) {
    return recorder_.onKey(virtualKey, flags, tick, noPause, events_, kMacroMaxEvents);
}

}  // namespace q350::pages
