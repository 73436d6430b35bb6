#pragma once

// A single macro as a file that people share and edit by hand, in the readable text form:
//
//   id 0x02000011        # required, 1...0xFFFFFFFF, decimal or 0x-hexadecimal
//   name Reload          # optional: the rest of the line after one blank, at most 39 UTF-16
//                        # characters, no control characters
//   repeat 2             # optional (1): 1...0xFFFD times, 0xFFFE while held, 0xFFFF until pressed
//   down 0x41            # a key pressed (Windows virtual key the mouse can play)
//   pause 30             # milliseconds after the key before, 0...0xFFFFFF
//   up 0x41              # the key released
//
// '#' starts a comment, except on the name line, which keeps the whole rest of the line. The JSON
// form is config/macro_json.h. Both are read into a MacroDraft and accepted only when it passes
// CheckMacroDraft: a file the library could not hold as it is, or the mouse could not play, is
// refused as a whole.
#include "config/macro_library.h"  // first: it reads the device headers

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace q350 {

struct MacroDraft {
    std::uint32_t id = 0;
    std::uint32_t repeat = 1;
    std::u16string name;
    std::vector<std::uint32_t> events;  // macro event words
};

// The longest name a library entry holds (one unit is kept for the terminator).
inline constexpr std::size_t kMacroNameMaxChars = kMacroNameChars - 1;
inline constexpr std::uint32_t kMacroPauseMaxMs = kMacroValueMask;

// Why a key cannot go into a macro, or empty when it can.
std::string MacroKeyProblem(std::uint32_t virtualKey);
// Why a name cannot be a macro's name (too long for its field, a control character, a lone
// surrogate), or empty.
std::string MacroNameProblem(std::u16string_view name);

// Checks a draft against the library's format and the mouse: id 1...0xFFFFFFFF (0 marks a free
// library entry), repeat 1...0xFFFF, a name that fits its field and holds no control character
// (both file forms carry every other name unchanged), at most 1,000 events, keys the
// mouse can play, pauses within 24 bits and none before the first key. The readers check each item
// where they find it (to name its line or JSON path); this is the whole-macro rule they all meet.
bool CheckMacroDraft(const MacroDraft& draft, std::string& problem);

// The draft of a library entry (for export). False, with problem, for an entry that is not in use,
// holds more than 1,000 events or an event of a type other than key pressed, released or pause.
bool DraftFromRecord(const MacroRecord& record, MacroDraft& draft, std::string& problem);

// The text form of a draft, as shown above (keys named in comments).
std::string MacroTextForm(const MacroDraft& draft);
// Reads the text form; problem names the line ("line 4: ...").
bool ReadMacroText(std::string_view text, MacroDraft& draft, std::string& problem);

// "0x%08X".
std::string HexWord(std::uint32_t value);

}  // namespace q350
