#pragma once

// A profile file (or an export file: the profile followed by its slot) as a readable JSON
// document, and back. Every field of the record has its place:
//
//   {"format": "Q350 profile", "version": 1,
//    "modes": [{"mode": 0, "name": "office",
//               "buttons": [{"button": 0, "function": 1, "functionName": "Click",
//                            "label": "Click", "macroId": 0, "keyWord": "0x00000000",
//                            "keyText": "", "actionWord": "0x00000000", "path": ""}, ...],
//               "dpi": {"listMode": 1, "topLevel": 3, "levelOn": [1, 1, 1, 1],
//                       "xyIndependent": 0, "presetsX": [10 values], "presetsY": [...],
//                       "levelsX": [4 values], "levelsY": [...]},
//               "reportRate": 8, "liftOff": 16,
//               "pointer": {"speed": 10, "scrollLines": 3, "enhancePrecision": 1,
//                           "doubleClickSpeed": 5},
//               "lighting": {"zoneSelected": 1, "proximitySensing": 1,
//                            "zones": [{"zone": 0, "effect": 4, "effectName": "spectrum cycle",
//                                       "color": "0x000000FF", "swatch": 0, "speed": 3,
//                                       "brightness": 5}, ...]}}, ...],
//    "slot": {...}}                                   (export files only)
//
// DPI values are in units of 100 DPI; colours are 0x00BBGGRR. "functionName", "keyText",
// "effectName" and the mode's "name" are there for the reader and are not read back. What the
// readable fields cannot carry is kept so that a file comes back byte for byte: reserved bytes
// that are not zero ("reserved": [{"offset": ..., "hex": ...}]) and text fields whose bytes are
// not plain text ("labelBytes", "pathBytes", "nameBytes": the whole field in hexadecimal, used
// only while the text beside it is unchanged).
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "config/profile_data.h"

namespace q350 {

inline constexpr std::string_view kProfileJsonFormat = "Q350 profile";
inline constexpr int kProfileJsonVersion = 1;

// The document of a profile file (up to kProfileSize bytes; a shorter one counts as zero-filled)
// or an export file (kExportFileSize bytes). False, with problem, for other sizes and a file that
// does not start with the profile magic. notes receives the first value that import would refuse,
// if any, so that the caller can warn before the file is edited.
bool ProfileJsonForm(std::span<const std::uint8_t> file, std::string& json, std::string& problem,
                     std::string* notes = nullptr);

// Reads a document into the bytes of a profile file, or of an export file when it has a "slot".
// Every value must be in the range the program and the mouse use; problem names the first one
// that is not ("/modes/1/liftOff: 200 is out of range (0 to 30)").
bool ReadProfileJson(std::string_view text, std::vector<std::uint8_t>& file, std::string& problem);

}  // namespace q350
