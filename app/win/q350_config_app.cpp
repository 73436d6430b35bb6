#include "app/win/q350_config_app.h"

#include <commctrl.h>

#include "app/startup.h"
#include "app/win/q350_config_dlg.h"
#include "base/utf.h"
#include "config/win/registry_settings_store.h"
#include "lang/language_table.h"
#include "lang/win/shared_xml_reader.h"
#include "skin/win/framework/gdi.h"
#include "skin/win/images.h"

namespace q350::app {

namespace {
constexpr DWORD kAllControlClasses = 0xFF;
constexpr wchar_t kEnglishFile[] = L"Language\\en.xml";
}  // namespace

bool CQ350ConfigApp::AnotherCopyRuns() {
    mutex_ = CreateMutexW(nullptr, FALSE, kInstanceMutex);
    if (GetLastError() != ERROR_ALREADY_EXISTS) {
        return false;
    }
    if (HWND first = FindWindowW(nullptr, kMainWindowTitle)) {
        PostMessageW(first, kMsgWakeFirstCopy, 0, kWakeFirstCopyCode);
    }
    return true;
}

bool CQ350ConfigApp::FindProgramFolder() {
    wchar_t path[MAX_PATH] = {};
    const DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH);
    if (n == 0 || n >= MAX_PATH) {
        return false;
    }
    const std::u16string folder =
        ProgramFolderFromExePath(std::u16string_view(reinterpret_cast<const char16_t*>(path), n));
    folder_.assign(folder.begin(), folder.end());
    ui::SetProgramFolder(folder_);
    return !folder_.empty();
}

int CQ350ConfigApp::Run() {
    INITCOMMONCONTROLSEX controls{};
    controls.dwSize = sizeof(controls);
    controls.dwICC = kAllControlClasses;
    InitCommonControlsEx(&controls);

    if (AnotherCopyRuns()) {
        return 0;
    }
    ui::GdiplusSession gdiplus;
    if (!FindProgramFolder()) {
        return 0;
    }
    const std::wstring english = folder_ + kEnglishFile;
    lang::TheLanguage().table.load(lang::TheXmlReader(),
                                   PathFromUtf16(std::u16string(english.begin(), english.end())));
    keyCapture_.load();
    return RunMainWindow();
}

int CQ350ConfigApp::RunMainWindow() {
    RegistrySettingsStore store;
    auto window = std::make_unique<CQ350ConfigDlg>(folder_, store);
    window->setKeyCapture(&keyCapture_);
    if (window->Create()) {
        RunMainLoop(window->hwnd());
    }
    window.reset();
    return 0;
}

void RunMainLoop(HWND mainWindow) {
    MSG msg;
    while (IsWindow(mainWindow) && GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (IsFilteredKey(msg.message, msg.wParam)) {
            continue;
        }
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

}  // namespace q350::app
