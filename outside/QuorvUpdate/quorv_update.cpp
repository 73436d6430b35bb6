// QuorvUpdate.exe: the software updater the program starts, without parameters, a few seconds
// after a successful start. Software updates are offered on the support page; this updater only
// notes that it ran and ends, so that a start of the program never blocks on the network.
#include <windows.h>

#include "outside/tool_log.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    q350::tools::NoteStart();
    return 0;
}
