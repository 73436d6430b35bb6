#include "pages/win/flasher_win.h"

#include <shellapi.h>

#include "skin/win/info_dlg.h"

namespace q350::pages {

FlasherStart HandMouseToFlasher(const std::wstring& programFolder, HWND closeWindow, HWND owner,
                                bool chinese) {
    const FlasherStart result = ProcessFlasher().start([&] {
        // Joined directly: the program folder ends with a backslash, the shell takes the rest.
        const std::wstring path = programFolder + kFlasherPath;
        // Anything above 32 is success; below it says why not (no file, access refused, ...).
        const auto started = reinterpret_cast<INT_PTR>(ShellExecuteW(
            nullptr, L"open", path.c_str(), kFlasherParameters, nullptr, SW_SHOWNORMAL));
        return started > 32;
    });
    if (result == FlasherStart::Started) {
        if (closeWindow != nullptr) {
            PostMessageW(closeWindow, WM_CLOSE, 0, 0);
        }
    } else if (result == FlasherStart::Failed) {
        const std::u16string_view text = FlasherFailedText(chinese);
        const std::wstring wide(text.begin(), text.end());
        OutputDebugStringW((L"flasher: " + wide + L"\n").c_str());
        ui::ShowInfoBox(wide, 0, owner);
    }
    return result;
}

}  // namespace q350::pages
