#pragma once

// The profile record: every setting of the mouse for each of its three on-board modes, held once in
// memory and stored byte for byte in the profile files, the export file and the registry. The
// structures below ARE the file format: each field sits at a fixed little-endian offset.
#include <bit>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <span>

#include "device/device_protocol.h"

namespace q350 {

static_assert(std::endian::native == std::endian::little,
              "profile records are stored in host order and must be little-endian");

// kModeCount (0 office, 1 MOBA, 2 FPS) and kButtonCount (buttons per mode) are the mouse's own
// and come from the device protocol.
inline constexpr int kZoneCount = 2;            // lighting zones
inline constexpr int kDpiSlots = 20;            // DPI values per mode
inline constexpr int kDpiLevels = 4;            // DPI levels per mode
inline constexpr int kDpiPresetSlots = 10;      // slots 0..9: ticked preset values
inline constexpr int kDpiLevelSlotFirst = 10;   // slots 10..13: the level sliders
inline constexpr std::size_t kTextChars = 260;  // UTF-16 units of a path or label field

inline constexpr std::uint32_t kProfileMagic = 0x80800350u;
inline constexpr std::int32_t kSlotTag = 0xBEBE;
inline constexpr int kSlotCount = 5;

// Report-rate codes, in the order the performance page offers them.
inline constexpr std::int32_t kReportRateCodes[4] = {8, 4, 2, 1};

// What one mouse button does in one mode.
struct ButtonAssignment {
    std::int32_t function;      // function code of the catalogue; 0 = nothing assigned
    std::int32_t macroId;       // macro library id, when function is the macro code
    std::uint8_t reserved1[4];  // always 0
    std::uint32_t keyWord;      // key-combination device word, when function is the combo code
    std::uint32_t actionWord;   // device word of an advanced (host-side) function
    char16_t path[kTextChars];  // program, file, folder, address or sound of an advanced function
    std::uint8_t reserved2[4];
    char16_t label[kTextChars];    // text shown for the button
    std::uint8_t reserved3[2080];  // always 0
};

static_assert(sizeof(ButtonAssignment) == 0xC48);
static_assert(offsetof(ButtonAssignment, function) == 0x000);
static_assert(offsetof(ButtonAssignment, macroId) == 0x004);
static_assert(offsetof(ButtonAssignment, reserved1) == 0x008);
static_assert(offsetof(ButtonAssignment, keyWord) == 0x00C);
static_assert(offsetof(ButtonAssignment, actionWord) == 0x010);
static_assert(offsetof(ButtonAssignment, path) == 0x014);
static_assert(offsetof(ButtonAssignment, reserved2) == 0x21C);
static_assert(offsetof(ButtonAssignment, label) == 0x220);
static_assert(offsetof(ButtonAssignment, reserved3) == 0x428);

// One profile. Arrays indexed [zone][mode] keep zone-major order (element m + 3*z).
struct ProfileData {
    std::uint32_t magic;  // kProfileMagic; any other value means "not a profile"
    ButtonAssignment buttons[kModeCount][kButtonCount];
    // DPI in units of 100. Slots 0..9 hold the ticked preset values in list order, 10..13 the
    // values of levels 1..4 as set by the sliders, 14..19 are unused (0).
    std::int32_t dpiX[kModeCount][kDpiSlots];
    std::int32_t dpiY[kModeCount][kDpiSlots];
    std::int32_t dpiLevelOn[kModeCount][kDpiLevels];  // 1 = level in use (slider form)
    std::int32_t dpiListMode[kModeCount];    // 1 = levels are preset slots 0..3; 0 = slots 10..13
    std::int32_t xyIndependent[kModeCount];  // 1 = X and Y are set separately
    std::int32_t dpiTopLevel[kModeCount];    // levels in use minus one, 0..3
    std::int32_t liftHeight[kModeCount];     // lift-off value 1..30
    std::int32_t reportRate[kModeCount];     // one of kReportRateCodes
    std::int32_t pointerSpeed[kModeCount];   // Windows pointer speed 1..20
    std::int32_t scrollLines[kModeCount];    // wheel lines 0..10, or -1 for a screen at a time
    std::int32_t enhancePrecision[kModeCount];       // 1 = pointer acceleration on
    std::int32_t doubleClickSpeed[kModeCount];       // 1..10; double-click time 900 - 70*value ms
    std::uint32_t ledColor[kZoneCount][kModeCount];  // 0x00BBGGRR
    std::int32_t ledSwatch[kZoneCount][kModeCount];  // colour swatch last picked, 0..25
    std::int32_t ledEffect[kZoneCount][kModeCount];  // 0 = off .. 4
    std::int32_t ledZoneSel[kModeCount];             // zone last selected on the LED page
    std::int32_t proximitySensing[kModeCount];       // 1 = on
    std::int32_t ledSpeed[kZoneCount][kModeCount];   // 0..4
    std::int32_t ledBrightness[kZoneCount][kModeCount];  // 0..9
};

static_assert(sizeof(ProfileData) == 132832);
static_assert(offsetof(ProfileData, magic) == 0x00000);
static_assert(offsetof(ProfileData, buttons) == 0x00004);
static_assert(offsetof(ProfileData, dpiX) == 0x203D4);
static_assert(offsetof(ProfileData, dpiY) == 0x204C4);
static_assert(offsetof(ProfileData, dpiLevelOn) == 0x205B4);
static_assert(offsetof(ProfileData, dpiListMode) == 0x205E4);
static_assert(offsetof(ProfileData, xyIndependent) == 0x205F0);
static_assert(offsetof(ProfileData, dpiTopLevel) == 0x205FC);
static_assert(offsetof(ProfileData, liftHeight) == 0x20608);
static_assert(offsetof(ProfileData, reportRate) == 0x20614);
static_assert(offsetof(ProfileData, pointerSpeed) == 0x20620);
static_assert(offsetof(ProfileData, scrollLines) == 0x2062C);
static_assert(offsetof(ProfileData, enhancePrecision) == 0x20638);
static_assert(offsetof(ProfileData, doubleClickSpeed) == 0x20644);
static_assert(offsetof(ProfileData, ledColor) == 0x20650);
static_assert(offsetof(ProfileData, ledSwatch) == 0x20668);
static_assert(offsetof(ProfileData, ledEffect) == 0x20680);
static_assert(offsetof(ProfileData, ledZoneSel) == 0x20698);
static_assert(offsetof(ProfileData, proximitySensing) == 0x206A4);
static_assert(offsetof(ProfileData, ledSpeed) == 0x206B0);
static_assert(offsetof(ProfileData, ledBrightness) == 0x206C8);

// One of the five stored profiles, as remembered in the registry.
inline constexpr std::size_t kAutoPathChars = kTextChars;  // 259 characters and the terminating 0
inline constexpr std::int32_t kAutoSwitchOn = 1;

struct ProfileSlot {
    std::int32_t tag;     // kSlotTag, set at every start
    std::int32_t active;  // 1 for the active profile
    // 1: switch to this profile while its program is in front; anything else is off (tables
    // written before the switch existed hold 0 here).
    std::int32_t autoSwitch;
    char16_t name[kTextChars];  // "Profile1".."Profile5"
    char16_t path[kTextChars];  // program folder + Profile\ProfileN.cfg
    // The program the profile follows: a full path or a bare file name, at most 259 characters
    // and a 0; all zeros: no program.
    char16_t autoPath[kAutoPathChars];
    std::int32_t buttonMacroId[kModeCount][kButtonCount];  // macro id used by each button
};

static_assert(sizeof(ProfileSlot) == 0x6CC);
static_assert(offsetof(ProfileSlot, tag) == 0x000);
static_assert(offsetof(ProfileSlot, active) == 0x004);
static_assert(offsetof(ProfileSlot, autoSwitch) == 0x008);
static_assert(offsetof(ProfileSlot, name) == 0x00C);
static_assert(offsetof(ProfileSlot, path) == 0x214);
static_assert(offsetof(ProfileSlot, autoPath) == 0x41C);
static_assert(offsetof(ProfileSlot, buttonMacroId) == 0x624);

// The slot table kept in the registry value ConfigInfo; slot i belongs to Profile<i+1>.cfg.
struct ConfigInfo {
    ProfileSlot slots[kSlotCount];
};

static_assert(sizeof(ConfigInfo) == 8700);

// The program a slot follows when its switch is on, or empty: a value other than 1, an empty
// path or one without its terminator reads as "off".
std::u16string AutoSwitchProgram(const ProfileSlot& slot);
// The path as stored (empty when it has no terminator), whatever the switch says.
std::u16string AutoPathOf(const ProfileSlot& slot);
// Stores a path (false when it is longer than 259 characters) and the switch.
bool SetAutoSwitch(ProfileSlot& slot, std::u16string_view path, bool on);

inline constexpr std::size_t kProfileSize = sizeof(ProfileData);
inline constexpr std::size_t kSlotSize = sizeof(ProfileSlot);
inline constexpr std::size_t kConfigInfoSize = sizeof(ConfigInfo);
inline constexpr std::size_t kExportFileSize = kProfileSize + kSlotSize;  // 134,572

// Default function codes of each button, per mode.
extern const std::int32_t kDefaultButtonCodes[kModeCount][kButtonCount];
// Default DPI levels (units of 100) per mode; also the first four preset slots.
extern const std::int32_t kDefaultDpi[kModeCount][kDpiLevels];

// Fills the record with the default profile; button labels in English or Chinese.
void BuildDefaults(ProfileData& profile, bool chinese);

// Raw byte views of the records, for files and the registry.
template <typename T>
std::span<const std::uint8_t> RecordBytes(const T& record) {
    return {reinterpret_cast<const std::uint8_t*>(&record), sizeof(T)};
}
template <typename T>
std::span<std::uint8_t> RecordBytes(T& record) {
    return {reinterpret_cast<std::uint8_t*>(&record), sizeof(T)};
}
// Zero-fills the record and copies at most sizeof(T) bytes of data into its start.
template <typename T>
void FillRecord(T& record, std::span<const std::uint8_t> data) {
    auto bytes = RecordBytes(record);
    const std::size_t n = data.size() < bytes.size() ? data.size() : bytes.size();
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        bytes[i] = i < n ? data[i] : std::uint8_t{0};
    }
}
template <typename T>
void ZeroRecord(T& record) {
    FillRecord(record, {});
}

}  // namespace q350
