#include "device/macro_program.h"

#include <array>
#include <cstdio>

namespace q350 {

namespace {

constexpr std::uint32_t kEventPressed = 0xC0000000u;
constexpr std::uint32_t kEventReleased = 0xE0000000u;
constexpr std::uint32_t kEventPause = 0xA0000000u;
constexpr std::uint32_t kPauseUnitMs = 10;

std::uint16_t U16(std::span<const std::uint8_t> b, std::size_t at) {
    return static_cast<std::uint16_t>(b[at] | (b[at + 1] << 8));
}

}  // namespace

DecodedMacroProgram DecodeMacroProgram(std::span<const std::uint8_t> slot) {
    DecodedMacroProgram out;
    if (slot.size() < kMacroProgramHeader) {
        out.problem = "shorter than its header";
        return out;
    }
    out.length = U16(slot, 0);
    out.repeat = U16(slot, 2);
    out.empty = out.length == 0;
    if (out.empty) {
        out.problem = "empty";
        return out;
    }
    if (out.length < kMacroProgramHeader || out.length > kMacroProgramMax ||
        out.length > slot.size() || (out.length - kMacroProgramHeader) % kMacroProgramEntrySize) {
        out.problem = "length " + std::to_string(out.length) + " is not 4 + 3 x entries";
        return out;
    }
    for (std::size_t at = kMacroProgramHeader; at < out.length; at += kMacroProgramEntrySize) {
        const std::uint16_t flags = U16(slot, at);
        MacroProgramEntry e;
        e.pressed = (flags & 1) != 0;
        e.pauseMs = static_cast<std::uint32_t>(flags >> 1) * kPauseUnitMs;
        e.usage = slot[at + 2];
        out.entries.push_back(e);
    }
    out.valid = true;
    return out;
}

std::vector<std::uint32_t> MacroProgramEvents(
    const DecodedMacroProgram& program, const std::function<std::uint32_t(std::uint8_t)>& keyOf) {
    std::vector<std::uint32_t> events;
    for (const MacroProgramEntry& e : program.entries) {
        const std::uint32_t key = (keyOf ? keyOf(e.usage) : e.usage) & 0xFFFFFFu;
        events.push_back((e.pressed ? kEventPressed : kEventReleased) | key);
        if (e.pauseMs != 0) {
            events.push_back(kEventPause | e.pauseMs);
        }
    }
    return events;
}

std::string KeyboardUsageName(std::uint8_t usage) {
    static constexpr std::array<const char*, 0x2C> kFrom0x28 = {
        "Enter",       "Escape",       "Backspace",   "Tab",        "Space",     "Minus",  "Equals",
        "LeftBracket", "RightBracket", "Backslash",   "NonUS#",     "Semicolon", "Quote",  "Grave",
        "Comma",       "Period",       "Slash",       "CapsLock",   "F1",        "F2",     "F3",
        "F4",          "F5",           "F6",          "F7",         "F8",        "F9",     "F10",
        "F11",         "F12",          "PrintScreen", "ScrollLock", "Pause",     "Insert", "Home",
        "PageUp",      "Delete",       "End",         "PageDown",   "Right",     "Left",   "Down",
        "Up",          "NumLock"};
    static constexpr std::array<const char*, 8> kModifiers = {"LeftCtrl", "LeftShift", "LeftAlt",
                                                              "LeftWin",  "RightCtrl", "RightShift",
                                                              "RightAlt", "RightWin"};
    if (usage >= 0x04 && usage <= 0x1D) {
        return std::string(1, static_cast<char>('A' + (usage - 0x04)));
    }
    if (usage >= 0x1E && usage <= 0x27) {
        return std::string(1, usage == 0x27 ? '0' : static_cast<char>('1' + (usage - 0x1E)));
    }
    if (usage >= 0x28 && usage < 0x28 + kFrom0x28.size()) {
        return kFrom0x28[usage - 0x28];
    }
    if (usage >= 0x59 && usage <= 0x62) {
        return "Num" +
               std::string(1, usage == 0x62 ? '0' : static_cast<char>('1' + (usage - 0x59)));
    }
    if (usage >= 0xE0 && usage <= 0xE7) {
        return kModifiers[usage - 0xE0];
    }
    char buf[16];
    std::snprintf(buf, sizeof buf, "usage 0x%02X", usage);
    return buf;
}

}  // namespace q350
