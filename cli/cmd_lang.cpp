// q350ctl lang: not built yet.
#include "cli/commands.h"

namespace q350::cli {

int RunLang(const Args&) { return Fail("the 'lang' command is not available in this build yet"); }

}  // namespace q350::cli
