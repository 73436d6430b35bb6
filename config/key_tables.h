#pragma once

// Keys as the mouse knows them (HID keyboard usages) and as Windows reports them (virtual keys),
// the key-combination device word, and the names shown for keys and basic functions.
#include <array>
#include <cstdint>
#include <string>

namespace q350 {

struct KeyUsagePair {
    std::uint8_t usage;       // HID keyboard-page usage; 0xF0..0xF2 stand for mouse buttons
    std::uint8_t virtualKey;  // Windows virtual-key code
};

// Searches in either direction take the first matching entry in this order.
extern const std::array<KeyUsagePair, 107> KeyUsageMap;

// Usages of the modifier keys as the mouse sends them.
inline constexpr std::uint8_t kUsageLeftCtrl = 0xE0;
inline constexpr std::uint8_t kUsageLeftShift = 0xE1;
inline constexpr std::uint8_t kUsageLeftAlt = 0xE2;
inline constexpr std::uint8_t kUsageLeftWin = 0xE3;

// Key-combination word: byte 0 is its form, byte 2 and 3 depend on it.
inline constexpr std::uint32_t kComboFormSingle = 0x00;    // byte 2 = usage of one key
inline constexpr std::uint32_t kComboFormModified = 0x02;  // byte 2 = modifiers, byte 3 = usage
inline constexpr std::uint32_t kModShift = 0x01;
inline constexpr std::uint32_t kModCtrl = 0x02;
inline constexpr std::uint32_t kModAlt = 0x04;
inline constexpr std::uint32_t kModWin = 0x08;

// Function code that a key combination is stored under.
inline constexpr int kComboKind = 5;

// Virtual key of the first entry with this usage; 0 when none.
std::uint8_t usageToKey(std::uint8_t usage);
// Usage of the first entry with this virtual key; 0 when none (so keypad Enter maps to 0x28).
std::uint8_t keyToUsage(int virtualKey);

struct ComboResult {
    std::uint32_t value;
    int kind;  // always kComboKind
};
// Builds the word of a key combination from the four modifier toggles and the last non-modifier
// key captured (0 when none).
ComboResult EncodeCombo(bool shift, bool ctrl, bool alt, bool win, int key);

// Turns a virtual key into the character that the keyboard layout produces for it with no
// modifier held. The Win32 implementation asks the current layout; UsKeyLayout serves elsewhere.
class KeyLayout {
public:
    virtual ~KeyLayout() = default;
    // The produced character (only its low 8 bits count), or 0 when the key produces nothing.
    virtual unsigned character(int virtualKey) const = 0;
};

// A fixed US keyboard layout.
class UsKeyLayout final : public KeyLayout {
public:
    unsigned character(int virtualKey) const override;
};

// The layout used when none is given: the US table unless the program installs another.
const KeyLayout& DefaultKeyLayout();
void SetDefaultKeyLayout(const KeyLayout* layout);  // nullptr restores the US table

// Name of a key in key-combination texts. Keys without a fixed name are named by the character
// the layout gives them, upper-cased; keys that give nothing are named by their code, as "0x7C".
std::u16string KeyName(int virtualKey, const KeyLayout& layout = DefaultKeyLayout());
// Text of a key-combination word: "Ctrl + C", "Shift + Ctrl + Alt + Win + F5", "F5", "".
std::u16string ComboText(std::uint32_t word, const KeyLayout& layout = DefaultKeyLayout());
// Name of a key in the macro editor's event list (low 8 bits of the key); empty when unknown.
std::u16string MacroKeyNames(int virtualKey);
// Default name of a basic function code; empty for codes without one.
std::u16string FunctionName(int code, bool chinese);

}  // namespace q350
