#pragma once

// The macro library: up to 500 recorded macros kept in memory and stored as one fixed image in
// "Macro.cfg" beside the program; the exchange block in which a whole macro is handed over (also
// the content of the registry copies); and the compact macro program that the mouse plays from one
// of its 18 macro slots, with its encoder and upload.
#include "device/device_commands.h"
#include "device/device_protocol.h"
#include "device/macro_program.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "base/clock.h"
#include "base/file_io.h"
#include "base/notifier.h"
#include "base/settings_store.h"

namespace q350 {

// Macro event word: top byte = type, low 24 bits = virtual key or milliseconds.
inline constexpr std::uint32_t kMacroKeyDown = 0xC0;   // key pressed, value = virtual key
inline constexpr std::uint32_t kMacroKeyUp = 0xE0;     // key released, value = virtual key
inline constexpr std::uint32_t kMacroPause = 0xA0;     // pause after the previous key, value = ms
inline constexpr std::uint32_t kMacroValueMask = 0x00FFFFFFu;
inline constexpr std::uint32_t MacroEventType(std::uint32_t event) { return event >> 24; }
inline constexpr std::uint32_t MacroEventValue(std::uint32_t event) {
    return event & kMacroValueMask;
}
inline constexpr std::uint32_t MacroEvent(std::uint32_t type, std::uint32_t value) {
    return (type << 24) | (value & kMacroValueMask);
}

// Repeat rule: 1..0xFFFD plays that many times; these two play continuously.
inline constexpr std::uint32_t kRepeatWhileHeld = 0xFFFE;
inline constexpr std::uint32_t kRepeatUntilPressed = 0xFFFF;

inline constexpr std::uint32_t kMacroFormatTag = 0xE8E80010u;
inline constexpr std::uint32_t kMacroFormatTagHigh = 0xE8E8u;  // high half that marks a macro
inline constexpr std::size_t kMacroMaxEvents = 1000;
inline constexpr std::size_t kMacroNameChars = 40;
inline constexpr std::size_t kMacroLibraryEntries = 500;
// An entry whose size field exceeds this counts as a macro.
inline constexpr std::uint32_t kMacroInUseMinSize = 107;

// One library entry, as stored in Macro.cfg.
struct MacroRecord {
    std::uint32_t size;        // length of the exchange block it came from; 0 = free entry
    std::uint32_t formatTag;   // kMacroFormatTag for a valid macro; 0 = free entry
    std::uint32_t id;          // macro id; top byte = game group
    std::uint32_t reserved;    // written as 0
    std::uint32_t repeat;      // repeat rule in the low 16 bits
    std::uint32_t eventCount;  // 0..1000
    std::uint32_t events[kMacroMaxEvents];  // unused entries are 0
    char16_t macroName[kMacroNameChars];    // zero-terminated
};
static_assert(sizeof(MacroRecord) == 0x1008);
static_assert(offsetof(MacroRecord, size) == 0x000);
static_assert(offsetof(MacroRecord, formatTag) == 0x004);
static_assert(offsetof(MacroRecord, id) == 0x008);
static_assert(offsetof(MacroRecord, reserved) == 0x00C);
static_assert(offsetof(MacroRecord, repeat) == 0x010);
static_assert(offsetof(MacroRecord, eventCount) == 0x014);
static_assert(offsetof(MacroRecord, events) == 0x018);
static_assert(offsetof(MacroRecord, macroName) == 0xFB8);

inline constexpr std::size_t kMacroFileSize = sizeof(MacroRecord) * kMacroLibraryEntries;
static_assert(kMacroFileSize == 2052000);
inline constexpr char16_t kMacroFileName[] = u"Macro.cfg";

// Head of an exchange block; n event words follow it.
struct MacroExchangeHeader {
    std::uint32_t size;      // whole block: 104 + 4n bytes
    std::uint32_t tag;       // kMacroFormatTag
    std::uint32_t id;
    std::uint32_t reserved;
    std::uint32_t repeat;
    char16_t name[kMacroNameChars];
    std::uint32_t eventCount;  // n
};
static_assert(sizeof(MacroExchangeHeader) == 0x68);
static_assert(offsetof(MacroExchangeHeader, tag) == 0x04);
static_assert(offsetof(MacroExchangeHeader, id) == 0x08);
static_assert(offsetof(MacroExchangeHeader, reserved) == 0x0C);
static_assert(offsetof(MacroExchangeHeader, repeat) == 0x10);
static_assert(offsetof(MacroExchangeHeader, name) == 0x14);
static_assert(offsetof(MacroExchangeHeader, eventCount) == 0x64);
inline constexpr std::size_t kExchangeHeaderSize = sizeof(MacroExchangeHeader);
inline constexpr std::size_t kExchangeMinSize = kExchangeHeaderSize + 4;

// Registry copies live in this sub-key, one key per id named "%08x", in its default value.
inline constexpr std::u16string_view kMacroRegistryKey = u"Macro\\";
std::u16string MacroRegistryKey(std::uint32_t id);

// True when an entry counts as a macro (listed and looked up as one).
bool IsMacroInUse(const MacroRecord& record);

// The entry as an exchange block.
std::vector<std::uint8_t> MakeExchangeBlock(const MacroRecord& record);
std::vector<std::uint8_t> MakeExchangeBlock(std::uint32_t id, std::uint32_t repeat,
                                            std::u16string_view name,
                                            std::span<const std::uint32_t> events);

// Device macro program: u16 length L = 4 + 3k, u16 repeat rule, then k entries of a u16 (bit 0 =
// pressed, bits 1..15 = pause after the entry in tens of milliseconds) and a u8 key usage.
using MacroProgram = std::array<std::uint8_t, kMacroProgramMax>;
inline constexpr std::size_t kMacroProgramMaxEntries = 1363;
inline constexpr std::uint32_t kMacroPauseUnitMs = 10;
inline constexpr std::uint32_t kMacroMaxPauseUnits = 0x7FFF;  // what bits 1..15 can hold

// Builds the program of an event list. False for an event of an unknown type, a key without a
// usage or more key events than a slot holds; out is then unspecified.
bool EncodeMacroEvents(std::span<const std::uint32_t> events, std::uint32_t repeat,
                       MacroProgram& out);
// Builds the program of a library entry; false for an entry that is not a valid macro.
bool EncodeMacro(const MacroRecord& record, MacroProgram& out);
// Length L of an encoded program.
std::uint16_t MacroProgramLength(const MacroProgram& program);
// Encodes the entry and writes it into device slot 0..17.
bool UploadMacro(DeviceCommands& device, int slot, const MacroRecord& record);

class MacroLibrary {
public:
    // missingFileText: the message shown when Macro.cfg is missing at load, with %s for the
    // path (the language table's text in the program).
    MacroLibrary(std::filesystem::path programFolder, SettingsStore& store, Notifier& notifier,
                 Clock& clock, std::function<std::u16string()> missingFileText = {});

    std::filesystem::path filePath() const { return folder_ / kMacroFileName; }

    // Reads Macro.cfg. A missing file is reported and leaves the library empty. Event counts
    // above what an entry holds are cut to 1,000.
    bool load();
    // Writes the whole library to Macro.cfg (torn-free); a missing file is reported and created.
    // False when the file was not written; lastSaveError() says why.
    bool save();
    // Puts an exchange block into the entry with its id, or into the first free entry, and saves.
    // False for a malformed block (too short, more than 1,000 events) or a full library, and the
    // library is then unchanged; false as well when the save failed, and then the library holds
    // the block in memory and lastSaveError() is not None.
    bool store(std::span<const std::uint8_t> block);
    // Frees the entry with the id and saves. False when there is none (lastSaveError() None), or
    // when the save failed.
    bool remove(std::uint32_t id);
    // Why the last save failed; None after a successful one and before the first.
    FileError lastSaveError() const { return lastSaveError_; }
    // Puts a block into the library and saves, keeping memory and Macro.cfg alike: when the file
    // cannot be written the entry gets back what it held. Refused for a malformed block, Full
    // when the block's id is new and no entry is free; the library is then unchanged.
    enum class Change { Done, Refused, Full, NotWritten };
    Change commitBlock(std::span<const std::uint8_t> block);
    // Frees the entry with the id and saves; the entry stays when the file cannot be written.
    Change eraseMacro(std::uint32_t id);
    // The first entry with the id, free entries included (the caller checks it is in use).
    const MacroRecord* find(std::uint32_t id) const;
    // The registry copy of a macro, or nothing when it is missing or not binary.
    std::optional<std::vector<std::uint8_t>> readRegistryCopy(std::uint32_t id);

    const MacroRecord& entry(std::size_t index) const { return (*records_)[index]; }
    MacroRecord& entry(std::size_t index) { return (*records_)[index]; }
    std::span<const std::uint8_t> bytes() const;
    void clear();

    // How Macro.cfg is written; WriteFileAtomic unless replaced (tests refuse writes with it).
    using FileWriter = std::function<bool(const std::filesystem::path&,
                                          std::span<const std::uint8_t>, FileError*)>;
    void setFileWriter(FileWriter writer) { writer_ = std::move(writer); }

private:
    std::filesystem::path folder_;
    SettingsStore& store_;
    Notifier& notifier_;
    Clock& clock_;
    std::function<std::u16string()> missingFileText_;
    FileWriter writer_;
    std::unique_ptr<std::array<MacroRecord, kMacroLibraryEntries>> records_;
    FileError lastSaveError_ = FileError::None;
};

}  // namespace q350
