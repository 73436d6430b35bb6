// q350ctl macro: not built yet.
#include "cli/commands.h"

namespace q350::cli {

int RunMacro(const Args&) { return Fail("the 'macro' command is not available in this build yet"); }

}  // namespace q350::cli
