// q350ctl device: not built yet.
#include "cli/commands.h"

namespace q350::cli {

int RunDevice(const Args&) { return Fail("the 'device' command is not available in this build yet"); }

}  // namespace q350::cli
