// q350ctl profile: not built yet.
#include "cli/commands.h"

namespace q350::cli {

int RunProfile(const Args&) { return Fail("the 'profile' command is not available in this build yet"); }

}  // namespace q350::cli
