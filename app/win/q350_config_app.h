#pragma once

// CQ350ConfigApp: the process from its first instruction to its last. One copy only (a second
// wakes the first and ends), GDI+, the program folder, English texts, the keyboard-hook library,
// then the main window in its message loop until it closes.
#include <windows.h>

#include <memory>
#include <string>

#include "app/win/key_capture_library.h"

namespace q350::app {

inline constexpr wchar_t kInstanceMutex[] = L"Q350Config";
inline constexpr UINT kMsgWakeFirstCopy = 1132;
inline constexpr LPARAM kWakeFirstCopyCode = 515;

class CQ350ConfigApp {
public:
    // Runs the program; returns the process exit code.
    int Run();

    const std::wstring& programFolder() const { return folder_; }

private:
    // True when another copy runs (it has been told to show its window).
    bool AnotherCopyRuns();
    bool FindProgramFolder();
    int RunMainWindow();

    HANDLE mutex_ = nullptr;  // kept for the process's life
    std::wstring folder_;
    KeyCaptureLibrary keyCapture_;
};

// Runs the main window's loop until the window is gone; Enter, Escape and Space are dropped
// before they are dispatched.
void RunMainLoop(HWND mainWindow);

}  // namespace q350::app
