#pragma once

// q350ctl profile apply: writes a profile file into the mouse.
#include "cli/commands.h"

namespace q350::cli {

// profile apply FILE [--macros Macro.cfg] [--virtual STATE | --device PATH]
// args are the words after "profile"; a leading "apply" is skipped.
int RunProfileApply(const Args& args);

}  // namespace q350::cli
