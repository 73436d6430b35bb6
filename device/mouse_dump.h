#pragma once

// The simulated mouse in readable form: its settings, the button words of each mode, the values of
// each parameter and the macro programs of the slots decoded back into key events.
#include <cstdint>
#include <string>

#include "device/virtual_mouse.h"

namespace q350 {

// "office", "MOBA", "FPS", or "?" for a value that is no mode.
const char* ModeName(int mode);
// A short description of a parameter id ("lift-off value"), or "unused".
const char* ParameterName(std::uint8_t id);
const char* FaultName(MouseFault fault);

std::string DumpMouseText(const VirtualMouseState& state);

}  // namespace q350
