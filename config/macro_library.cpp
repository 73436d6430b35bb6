#include "config/macro_library.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <system_error>

#include "base/utf.h"
#include "config/key_tables.h"
#include "config/profile_files.h"

namespace q350 {

namespace {

constexpr std::uint32_t kSaveSettleMs = 100;  // pause before and after writing Macro.cfg
constexpr std::u16string_view kDefaultMissingText = u"Cannot open the macro file %s.";
constexpr std::uint16_t kEntryPressedBit = 0x0001;

void PutU16(std::uint8_t* at, std::uint16_t v) {
    at[0] = static_cast<std::uint8_t>(v);
    at[1] = static_cast<std::uint8_t>(v >> 8);
}

std::uint16_t GetU16(const std::uint8_t* at) {
    return static_cast<std::uint16_t>(at[0] | (at[1] << 8));
}

// Copies an exchange block (already checked) into an entry.
void FillEntry(MacroRecord& entry, const MacroExchangeHeader& head,
               std::span<const std::uint8_t> block) {
    std::memset(entry.events, 0, sizeof(entry.events));
    std::memcpy(entry.events, block.data() + kExchangeHeaderSize,
                std::size_t{head.eventCount} * sizeof(std::uint32_t));
    entry.id = head.id;
    entry.eventCount = head.eventCount;
    entry.repeat = head.repeat;
    entry.reserved = head.reserved;
    std::memcpy(entry.macroName, head.name, sizeof(entry.macroName));
    entry.size = head.size;
    entry.formatTag = head.tag;
}

}  // namespace

std::u16string MacroRegistryKey(std::uint32_t id) {
    char hex[9];
    std::snprintf(hex, sizeof(hex), "%08x", static_cast<unsigned>(id));
    std::u16string key(kMacroRegistryKey);
    for (const char* c = hex; *c; ++c) {
        key.push_back(static_cast<char16_t>(*c));
    }
    return key;
}

bool IsMacroInUse(const MacroRecord& record) {
    return record.size > kMacroInUseMinSize || (record.formatTag >> 16) == kMacroFormatTagHigh;
}

std::vector<std::uint8_t> MakeExchangeBlock(std::uint32_t id, std::uint32_t repeat,
                                            std::u16string_view name,
                                            std::span<const std::uint32_t> events) {
    MacroExchangeHeader head{};
    head.size = static_cast<std::uint32_t>(kExchangeHeaderSize + 4 * events.size());
    head.tag = kMacroFormatTag;
    head.id = id;
    head.repeat = repeat;
    SetField(head.name, kMacroNameChars, name);
    head.eventCount = static_cast<std::uint32_t>(events.size());
    std::vector<std::uint8_t> block(head.size);
    std::memcpy(block.data(), &head, sizeof(head));
    if (!events.empty()) {
        std::memcpy(block.data() + kExchangeHeaderSize, events.data(), 4 * events.size());
    }
    return block;
}

std::vector<std::uint8_t> MakeExchangeBlock(const MacroRecord& record) {
    const std::size_t n = std::min<std::size_t>(record.eventCount, kMacroMaxEvents);
    auto block = MakeExchangeBlock(record.id, record.repeat,
                                   FieldText(record.macroName, kMacroNameChars),
                                   std::span<const std::uint32_t>(record.events, n));
    // Keep the fields exactly as the entry holds them (a copy of a foreign entry stays foreign).
    auto* head = reinterpret_cast<MacroExchangeHeader*>(block.data());
    head->tag = record.formatTag;
    head->reserved = record.reserved;
    std::memcpy(head->name, record.macroName, sizeof(head->name));
    return block;
}

bool EncodeMacroEvents(std::span<const std::uint32_t> events, std::uint32_t repeat,
                       MacroProgram& out) {
    out.fill(0);
    PutU16(out.data() + 2, static_cast<std::uint16_t>(repeat));
    std::size_t k = 0;
    for (std::uint32_t event : events) {
        const std::uint32_t type = MacroEventType(event);
        const std::uint32_t value = MacroEventValue(event);
        if (type == kMacroKeyDown || type == kMacroKeyUp) {
            if (value > 0xFF) {
                return false;  // no virtual key is this large
            }
            const std::uint8_t usage = keyToUsage(static_cast<int>(value));
            if (usage == 0) {
                return false;
            }
            std::uint8_t* entry = out.data() + kMacroProgramHeader + k * kMacroProgramEntrySize;
            PutU16(entry, type == kMacroKeyDown ? kEntryPressedBit : 0);
            entry[2] = usage;
            ++k;
        } else if (type == kMacroPause) {
            // A pause belongs to the key event before it; one that comes first has none and is
            // dropped. Pauses longer than the field holds play as the longest it can hold.
            if (k > 0) {
                std::uint8_t* entry =
                    out.data() + kMacroProgramHeader + (k - 1) * kMacroProgramEntrySize;
                const std::uint32_t units =
                    std::min(value / kMacroPauseUnitMs, kMacroMaxPauseUnits);
                const auto bits = static_cast<std::uint16_t>(units << 1);
                PutU16(entry, static_cast<std::uint16_t>(bits | (GetU16(entry) & kEntryPressedBit)));
            }
        } else {
            return false;
        }
        if (k > kMacroProgramMaxEntries) {
            return false;
        }
    }
    PutU16(out.data(), static_cast<std::uint16_t>(kMacroProgramHeader + kMacroProgramEntrySize * k));
    return true;
}

bool EncodeMacro(const MacroRecord& record, MacroProgram& out) {
    if (record.formatTag != kMacroFormatTag || record.eventCount > kMacroMaxEvents) {
        return false;
    }
    return EncodeMacroEvents(std::span<const std::uint32_t>(record.events, record.eventCount),
                             record.repeat, out);
}

std::uint16_t MacroProgramLength(const MacroProgram& program) { return GetU16(program.data()); }

bool UploadMacro(DeviceCommands& device, int slot, const MacroRecord& record) {
    if (record.size == 0 || slot < 0 || slot >= kMacroSlotCount) {
        return false;
    }
    MacroProgram program{};
    if (!EncodeMacro(record, program)) {
        return false;
    }
    return device.writeBlock(MacroSlotAddress(slot), program.data(), MacroProgramLength(program));
}

MacroLibrary::MacroLibrary(std::filesystem::path programFolder, SettingsStore& store,
                           Notifier& notifier, Clock& clock,
                           std::function<std::u16string()> missingFileText)
    : folder_(std::move(programFolder)),
      store_(store),
      notifier_(notifier),
      clock_(clock),
      missingFileText_(std::move(missingFileText)),
      writer_([](const std::filesystem::path& p, std::span<const std::uint8_t> d, FileError* e) {
          return WriteFileAtomic(p, d, e);
      }),
      records_(std::make_unique<std::array<MacroRecord, kMacroLibraryEntries>>()) {
    clear();
}

std::span<const std::uint8_t> MacroLibrary::bytes() const {
    return {reinterpret_cast<const std::uint8_t*>(records_->data()), kMacroFileSize};
}

void MacroLibrary::clear() { std::memset(records_->data(), 0, kMacroFileSize); }

bool MacroLibrary::load() {
    std::vector<std::uint8_t> data;
    FileError error = FileError::None;
    if (!ReadFileBytes(filePath(), data, &error, kMacroFileSize)) {
        if (error == FileError::NotFound) {
            const std::u16string text =
                missingFileText_ ? missingFileText_() : std::u16string(kDefaultMissingText);
            notifier_.show(MessageForm::SkinnedNotice,
                           FormatMessage(text, Utf16FromPath(filePath())));
        }
        return false;
    }
    clear();
    if (!data.empty()) {  // an empty file gives an empty library
        std::memcpy(records_->data(), data.data(), std::min(data.size(), kMacroFileSize));
    }
    for (MacroRecord& r : *records_) {
        r.eventCount = std::min<std::uint32_t>(r.eventCount, kMacroMaxEvents);
    }
    return true;
}

bool MacroLibrary::save() {
    const std::filesystem::path path = filePath();
    std::error_code ec;
    const bool exists = std::filesystem::is_regular_file(path, ec);
    lastSaveError_ = FileError::None;
    if (!exists) {
        // The file was deleted while the program ran: say so, then create it from the library.
        notifier_.show(MessageForm::StandardInfo,
                       FormatMessage(kMsgOpenFailed, Utf16FromPath(path)));
        if (!writer_(path, bytes(), &lastSaveError_)) {
            if (lastSaveError_ == FileError::None) {
                lastSaveError_ = FileError::Other;
            }
            if (lastSaveError_ == FileError::AccessDenied) {
                notifier_.show(MessageForm::SkinnedNotice, kMsgCreateFailed);
            }
            return false;
        }
        return true;
    }
    clock_.sleepMs(kSaveSettleMs);
    const bool written = writer_(path, bytes(), &lastSaveError_);
    clock_.sleepMs(kSaveSettleMs);
    if (!written && lastSaveError_ == FileError::None) {
        lastSaveError_ = FileError::Other;
    }
    return written;
}

bool MacroLibrary::store(std::span<const std::uint8_t> block) {
    lastSaveError_ = FileError::None;
    if (block.size() < kExchangeHeaderSize) {
        return false;
    }
    MacroExchangeHeader head;
    std::memcpy(&head, block.data(), sizeof(head));
    if (head.eventCount > kMacroMaxEvents ||
        block.size() < kExchangeHeaderSize + std::size_t{head.eventCount} * 4) {
        return false;
    }
    MacroRecord* target = nullptr;
    for (MacroRecord& r : *records_) {
        if (r.id == head.id) {
            target = &r;
            break;
        }
    }
    if (!target) {
        for (MacroRecord& r : *records_) {
            if (r.formatTag == 0) {
                target = &r;
                break;
            }
        }
    }
    if (!target) {
        return false;
    }
    FillEntry(*target, head, block);
    return save();
}

bool MacroLibrary::remove(std::uint32_t id) {
    for (MacroRecord& r : *records_) {
        if (r.id == id) {
            std::memset(&r, 0, sizeof(r));
            return save();
        }
    }
    lastSaveError_ = FileError::None;
    return false;
}

MacroLibrary::Change MacroLibrary::commitBlock(std::span<const std::uint8_t> block) {
    if (block.size() < kExchangeHeaderSize) {
        return Change::Refused;
    }
    MacroExchangeHeader head;
    std::memcpy(&head, block.data(), sizeof(head));
    if (head.eventCount > kMacroMaxEvents ||
        block.size() < kExchangeHeaderSize + std::size_t{head.eventCount} * 4) {
        return Change::Refused;
    }
    auto target = std::find_if(records_->begin(), records_->end(),
                               [&](const MacroRecord& r) { return r.id == head.id; });
    if (target == records_->end()) {
        target = std::find_if(records_->begin(), records_->end(),
                              [](const MacroRecord& r) { return r.formatTag == 0; });
    }
    if (target == records_->end()) {
        return Change::Full;
    }
    const auto before = std::make_unique<MacroRecord>(*target);
    FillEntry(*target, head, block);
    if (!save()) {
        *target = *before;
        return Change::NotWritten;
    }
    return Change::Done;
}

MacroLibrary::Change MacroLibrary::eraseMacro(std::uint32_t id) {
    auto target = std::find_if(records_->begin(), records_->end(),
                               [&](const MacroRecord& r) { return r.id == id; });
    if (target == records_->end()) {
        return Change::Refused;
    }
    const auto before = std::make_unique<MacroRecord>(*target);
    std::memset(&*target, 0, sizeof(MacroRecord));
    if (!save()) {
        *target = *before;
        return Change::NotWritten;
    }
    return Change::Done;
}

const MacroRecord* MacroLibrary::find(std::uint32_t id) const {
    for (const MacroRecord& r : *records_) {
        if (r.id == id) {
            return &r;
        }
    }
    return nullptr;
}

std::optional<std::vector<std::uint8_t>> MacroLibrary::readRegistryCopy(std::uint32_t id) {
    std::vector<std::uint8_t> value;
    if (store_.readBinary(MacroRegistryKey(id), u"", value) != StoreResult::Ok) {
        return std::nullopt;
    }
    return value;
}

}  // namespace q350
