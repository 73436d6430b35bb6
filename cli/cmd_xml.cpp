// q350ctl xml: not built yet.
#include "cli/commands.h"

namespace q350::cli {

int RunXml(const Args&) { return Fail("the 'xml' command is not available in this build yet"); }

}  // namespace q350::cli
