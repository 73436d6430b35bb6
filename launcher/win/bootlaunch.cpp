// bootlaunch.exe: started at log-on, it starts the configuration program lying in its own folder
// through the shell (so that Windows can ask for the elevation the program requests) and ends.
// It shows nothing and always ends with 0.
#include <windows.h>
#include <shellapi.h>

#include <string>

#include "launcher/launch_path.h"

static_assert(sizeof(wchar_t) == sizeof(char16_t), "Windows wide characters are UTF-16 units");

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    using q350::launcher::kMaxPath;
    wchar_t self[kMaxPath] = {};
    const DWORD len = GetModuleFileNameW(nullptr, self, static_cast<DWORD>(kMaxPath));
    if (len == 0 || len >= kMaxPath) {
        return 0;  // no path, or a cut-off one: start nothing rather than a wrong file
    }
    const std::u16string target = q350::launcher::TargetPathFor(
        std::u16string_view(reinterpret_cast<const char16_t*>(self), len));
    if (target.empty()) {
        return 0;
    }
    // The shell's result is deliberately ignored: a missing target or a refused elevation is not
    // the launcher's to report.
    ShellExecuteW(nullptr, L"open", reinterpret_cast<const wchar_t*>(target.c_str()), nullptr,
                  nullptr, SW_SHOWNORMAL);
    return 0;
}
