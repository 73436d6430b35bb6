// FwFlash.exe: the firmware flasher the program hands the mouse to, started with "-QUORV" from
// the update folder (after a firmware update was accepted on the support page, or at start-up
// when the mouse is in its update mode). It programs the image the program left at
// new_version\QuorvGameDevice.bin beside it, after checking it completely. The simulated mouse
// (Q350_VIRTUAL_MOUSE) is programmed through its update mode; a real mouse is refused, since its
// maker's flashing protocol is not known, and nothing is changed. The outcome goes to the tool
// log when one is kept (Q350_TOOL_LOG, tests) and to a message box otherwise; the exit code is
// 0 only when the mouse was programmed.
#include <windows.h>

#include <cwchar>
#include <filesystem>
#include <string>
#include <vector>

#include "base/file_io.h"
#include "device/firmware_flash.h"
#include "device/mouse_state_file.h"
#include "outside/tool_log.h"

namespace {

constexpr wchar_t kImageRelative[] = L"new_version\\QuorvGameDevice.bin";
constexpr wchar_t kVirtualMouseVariable[] = L"Q350_VIRTUAL_MOUSE";
// Pieces after which the flasher stops, standing in for a power cut (tests only).
constexpr wchar_t kStopAfterVariable[] = L"Q350_FLASH_STOP_AFTER";
constexpr wchar_t kTitle[] = L"FwFlash";

enum ExitCode : int { kFlashed = 0, kImageUnusable = 2, kMouseUnusable = 3, kRealMouse = 4 };

std::wstring Environment(const wchar_t* name) {
    wchar_t buffer[MAX_PATH] = {};
    const DWORD n = GetEnvironmentVariableW(name, buffer, MAX_PATH);
    return n == 0 || n >= MAX_PATH ? std::wstring() : std::wstring(buffer, n);
}

std::filesystem::path OwnFolder() {
    wchar_t buffer[MAX_PATH] = {};
    const DWORD n = GetModuleFileNameW(nullptr, buffer, MAX_PATH);
    return std::filesystem::path(std::wstring(buffer, n)).parent_path();
}

std::wstring Widen(const std::string& text) {
    return std::wstring(text.begin(), text.end());  // the reports are plain ASCII
}

// One line appended to the tool log, in UTF-8 like the start notes.
void NoteLine(const std::wstring& logPath, const std::wstring& text) {
    HANDLE file = CreateFileW(logPath.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return;
    }
    const std::string line = std::string(text.begin(), text.end()) + "\n";  // ASCII
    DWORD written = 0;
    WriteFile(file, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
    CloseHandle(file);
}

void Report(const std::wstring& text, bool failed) {
    const std::wstring log = Environment(L"Q350_TOOL_LOG");
    if (!log.empty()) {
        NoteLine(log, L"FwFlash: " + text);
        return;
    }
    MessageBoxW(nullptr, text.c_str(), kTitle,
                MB_OK | (failed ? MB_ICONWARNING : MB_ICONINFORMATION));
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    q350::tools::NoteStart();
    const std::filesystem::path image = OwnFolder() / kImageRelative;
    const std::wstring state = Environment(kVirtualMouseVariable);
    if (state.empty()) {
        // Check the image anyway, so that a bad download is named as such.
        q350::FirmwareImage parsed;
        q350::FirmwareImageError error = q350::FirmwareImageError::None;
        std::vector<std::uint8_t> bytes;
        if (!q350::ReadFileBytes(image, bytes) ||
            !q350::ParseFirmwareImage(bytes, parsed, &error)) {
            Report(L"no usable firmware image; the mouse was not changed", true);
            return kImageUnusable;
        }
        Report(L"this flasher cannot program the connected mouse; nothing was changed", true);
        return kRealMouse;
    }
    const std::wstring stop = Environment(kStopAfterVariable);
    const auto stopAfter =
        static_cast<std::uint32_t>(stop.empty() ? 0 : std::wcstoul(stop.c_str(), nullptr, 10));
    q350::WallClock clock;
    const q350::FlashReport report =
        q350::FlashSimulatedMouse(image, std::filesystem::path(state), clock, stopAfter);
    const bool done = report.result == q350::FlashResult::Flashed;
    Report(Widen(q350::FlashReportText(report)), !done);
    if (done) {
        return kFlashed;
    }
    return report.result == q350::FlashResult::ImageMissing ||
                   report.result == q350::FlashResult::ImageBad
               ? kImageUnusable
               : kMouseUnusable;
}
