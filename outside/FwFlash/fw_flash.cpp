// FwFlash.exe: the firmware flasher the program hands the mouse to, started with "-QUORV" from the
// update folder when the mouse is in its firmware-update mode. Programming the mouse belongs to
// the firmware update on the support page; until then the flasher notes that it was started and
// how, and ends without touching the mouse.
#include <windows.h>

#include "outside/tool_log.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    q350::tools::NoteStart();
    return 0;
}
