#pragma once

// Starting the flasher update\FwFlash.exe with "-QUORV", at most once in a run: on success the
// window closeWindow is told to close, so that the flasher has the mouse to itself; when the
// shell cannot start it, the message box says so (owned by owner) and the program works on.
#include <windows.h>

#include <string>

#include "pages/flasher_start.h"

namespace q350::pages {

// Appended to the program folder; the shell accepts the doubled separators.
inline constexpr wchar_t kFlasherPath[] = L"//update//FwFlash.exe";
inline constexpr wchar_t kFlasherParameters[] = L"-QUORV";

FlasherStart HandMouseToFlasher(const std::wstring& programFolder, HWND closeWindow, HWND owner,
                                bool chinese);

}  // namespace q350::pages
