#pragma once

// A single macro as a JSON file:
//
//   {"id": 33554449, "name": "Reload", "repeat": 2,
//    "events": [{"down": 65}, {"pause": 30}, {"up": 65}]}
//
// All four keys are required and no other is taken; each event is an object with exactly one of
// "down", "up" (a Windows virtual key the mouse can play) or "pause" (milliseconds). The limits are
// those of the text form (config/macro_file.h); a refusal names the JSON path ("/events/3/down").
#include <string>
#include <string_view>

#include "config/macro_file.h"

namespace q350 {

std::string MacroJsonForm(const MacroDraft& draft);
bool ReadMacroJson(std::string_view text, MacroDraft& draft, std::string& problem);

}  // namespace q350
