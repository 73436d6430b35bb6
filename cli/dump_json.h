#pragma once

// The simulated mouse as a JSON document (q350ctl device dump --json): its settings, the button
// words of each mode, the parameter values and the macro programs decoded back into key events.
#include <string>

#include "device/virtual_mouse.h"

namespace q350::cli {

std::string MouseDumpJson(const VirtualMouseState& state);

}  // namespace q350::cli
