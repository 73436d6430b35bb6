#pragma once

// Reading back the macro programs that the mouse keeps in its macro slots: a u16 length
// L = 4 + 3k, a u16 repeat rule, then k entries of a u16 (bit 0 set = key pressed, bits 1...15 =
// pause after the entry in tens of milliseconds) and a u8 keyboard usage.
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <vector>

namespace q350 {

inline constexpr std::size_t kMacroProgramHeader = 4;
inline constexpr std::size_t kMacroProgramEntrySize = 3;
inline constexpr std::size_t kMacroProgramMax = 4096;

struct MacroProgramEntry {
    bool pressed = false;
    std::uint8_t usage = 0;
    std::uint32_t pauseMs = 0;  // pause after this key event
};

struct DecodedMacroProgram {
    bool empty = true;    // length 0: nothing stored in the slot
    bool valid = false;   // a length the mouse can play
    std::string problem;  // why not valid
    std::uint16_t length = 0;
    std::uint16_t repeat = 0;
    std::vector<MacroProgramEntry> entries;
};

// Decodes the program at the start of a slot's bytes.
DecodedMacroProgram DecodeMacroProgram(std::span<const std::uint8_t> slot);

// The program as macro event words (0xC0 pressed, 0xE0 released, 0xA0 pause in milliseconds),
// with each usage turned into a key code by keyOf (by default the usage itself).
std::vector<std::uint32_t> MacroProgramEvents(
    const DecodedMacroProgram& program,
    const std::function<std::uint32_t(std::uint8_t)>& keyOf = nullptr);

// A short name for a keyboard usage ("A", "F5", "LeftCtrl"), or "usage 0xNN".
std::string KeyboardUsageName(std::uint8_t usage);

}  // namespace q350
