#pragma once

// The small tools we ship beside the program note every start in the file that the environment
// variable Q350_TOOL_LOG names (when it is set): one line with the tool's command line. Tests use
// it to see what the program started and how.
#include <windows.h>

#include <string>

namespace q350::tools {

inline void NoteStart() {
    wchar_t path[MAX_PATH] = {};
    const DWORD len = GetEnvironmentVariableW(L"Q350_TOOL_LOG", path, MAX_PATH);
    if (len == 0 || len >= MAX_PATH) {
        return;
    }
    HANDLE file = CreateFileW(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return;
    }
    const std::wstring line = std::wstring(GetCommandLineW()) + L"\n";
    const int bytes = WideCharToMultiByte(CP_UTF8, 0, line.c_str(), static_cast<int>(line.size()),
                                          nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<std::size_t>(bytes), '\0');
    WideCharToMultiByte(CP_UTF8, 0, line.c_str(), static_cast<int>(line.size()), utf8.data(), bytes,
                        nullptr, nullptr);
    DWORD written = 0;
    WriteFile(file, utf8.data(), static_cast<DWORD>(utf8.size()), &written, nullptr);
    CloseHandle(file);
}

}  // namespace q350::tools
