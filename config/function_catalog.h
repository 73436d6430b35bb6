#pragma once

// The button function catalogue: which function codes exist, the 32-bit word the mouse stores for
// each, and the language id under which the basic-function panel lists it.
//
// Device word layout (written little-endian), by its low byte:
//   0x00 single key        byte 2 = key usage
//   0x02 key + modifiers   byte 2 = modifier bits, byte 3 = key usage
//   0x03 mouse button      byte 2 = button bit (1 left, 2 right, 4 middle, 8 back, 0x10 forward),
//                          byte 3 = 1 for a double click
//   0x04 media / host-side byte 2:3 = consumer usage high:low, or 0xC0 + action kind : button index
//   0x05 macro             byte 2 = device macro slot 0..17
//   0x07 button disabled
//   0x08 DPI control       byte 2 = 1 up, 2 down, 3 next level
//   0x09 fire functions    byte 2 = 1 snipe, 2 repeated fire; byte 3 = 0 double, 1 triple
//   0xFFFFFFFF             the wheel functions
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

#include "config/profile_data.h"

namespace q350 {

namespace fn {
inline constexpr int kNone = 0;
inline constexpr int kLeft = 1;
inline constexpr int kRight = 2;
inline constexpr int kMiddle = 4;
inline constexpr int kKeyCombo = 5;
inline constexpr int kMacro = 6;
inline constexpr int kForward = 8;
inline constexpr int kWheelUp = 11;
inline constexpr int kOneKeyStart = 12;
inline constexpr int kBack = 16;
inline constexpr int kAdvanced = 19;
inline constexpr int kWheelDown = 22;
inline constexpr int kZoomIn = 86;   // named, but the mouse gets no word for it
inline constexpr int kZoomOut = 87;  // likewise
inline constexpr int kShotScreen = 116;
inline constexpr int kShotWindow = 117;
inline constexpr int kShotRegion = 118;
inline constexpr int kDisabled = 121;
inline constexpr int kDoubleClick = 133;
}  // namespace fn

// Word types (byte 0 of a device word).
inline constexpr std::uint32_t kWordSingleKey = 0x00;
inline constexpr std::uint32_t kWordKeyCombo = 0x02;
inline constexpr std::uint32_t kWordMouseButton = 0x03;
inline constexpr std::uint32_t kWordMediaOrHost = 0x04;
inline constexpr std::uint32_t kWordMacro = 0x05;
inline constexpr std::uint32_t kWordDisabled = 0x07;
inline constexpr std::uint32_t kWordDpi = 0x08;
inline constexpr std::uint32_t kWordFire = 0x09;
inline constexpr std::uint32_t kWordWheel = 0xFFFFFFFFu;

inline constexpr int kDeviceMacroSlots = 18;

// Host-side action kinds carried in advanced words (byte 2 = 0xC0 + kind).
namespace action {
inline constexpr int kOpenProgram = 2;
inline constexpr int kPlaySound = 3;
inline constexpr int kOpenFile = 4;
inline constexpr int kOpenFolder = 5;
inline constexpr int kShotScreen = 9;
inline constexpr int kShotWindow = 10;
inline constexpr int kShotRegion = 11;
inline constexpr int kOneKeyStart = 12;
}  // namespace action

struct CatalogEntry {
    int code;
    std::uint32_t word;        // meaningful when fixedWord is set
    bool fixedWord;            // false: the word comes from the assignment or the download
    std::string_view panelId;  // language id of the basic-function panel entry, or empty
};

// Every code the download encodes, in code order.
std::span<const CatalogEntry> FunctionCatalog();
// The catalogue entry of a code, or nullptr for a code the download never encodes.
const CatalogEntry* FindFunction(int code);

// The word for an advanced function of a kind on button index (0..13): byte 2 = 0xC0 + kind,
// byte 3 = button.
std::uint32_t AdvancedWord(int kind, int buttonIndex);
// The word of a macro uploaded into a device macro slot.
std::uint32_t MacroWord(int deviceSlot);

// The word the download writes for an assignment, or nothing when the button is to be left alone.
// For the macro code the download passes the device slot its macro was uploaded into; without one
// there is no word.
std::optional<std::uint32_t> DeviceWord(const ButtonAssignment& assignment,
                                        std::optional<int> macroSlot = std::nullopt);

// Language id of the panel entry of a code, empty when the panel does not list it.
std::string_view PanelTextId(int code);

}  // namespace q350
