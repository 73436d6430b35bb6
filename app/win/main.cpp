// Q350Config.exe: the configuration program of the Quorv Q350 mouse.
#include <windows.h>

#include "app/win/q350_config_app.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    q350::app::CQ350ConfigApp app;
    return app.Run();
}
