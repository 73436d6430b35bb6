// A message-only window with its own window procedure, for the tests that listen to what the code
// under test sends or posts to a window.
#pragma once

#include <windows.h>

namespace q350::app::test {

inline HWND CreateMessageProbe(const wchar_t* className, WNDPROC proc) {
    WNDCLASSW wc{};
    wc.lpfnWndProc = proc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = className;
    RegisterClassW(&wc);
    return CreateWindowW(className, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance,
                         nullptr);
}

}  // namespace q350::app::test
