#include "app/win/usb_presence_win.h"

#include <windows.h>

#include <setupapi.h>

#include <filesystem>

#include "app/startup.h"
#include "device/mouse_state_file.h"

namespace q350::app {

std::wstring VirtualMouseStatePath() {
    wchar_t buffer[MAX_PATH] = {};
    const DWORD n = GetEnvironmentVariableW(kVirtualMouseVariable, buffer, MAX_PATH);
    if (n == 0 || n >= MAX_PATH) {
        return {};
    }
    return std::wstring(buffer, n);
}

bool UsbDevicePresent(std::u16string_view fragment) {
    constexpr DWORD kHardwareIdBytes = 260;
    HDEVINFO list = SetupDiGetClassDevsW(nullptr, L"USB", nullptr, DIGCF_ALLCLASSES | DIGCF_PRESENT);
    if (list == INVALID_HANDLE_VALUE) {
        return false;
    }
    bool found = false;
    SP_DEVINFO_DATA info{};
    info.cbSize = sizeof(info);
    for (DWORD index = 0; !found && SetupDiEnumDeviceInfo(list, index, &info); ++index) {
        BYTE buffer[kHardwareIdBytes + sizeof(wchar_t)] = {};
        DWORD type = 0;
        if (!SetupDiGetDeviceRegistryPropertyW(list, &info, SPDRP_HARDWAREID, &type, buffer,
                                               kHardwareIdBytes, nullptr)) {
            continue;
        }
        // The first string of the multi-string property.
        const auto* first = reinterpret_cast<const char16_t*>(buffer);
        found = HardwareIdMatches(std::u16string_view(first), fragment);
    }
    SetupDiDestroyDeviceInfoList(list);
    return found;
}

bool SimulatedDevicePresent(const std::wstring& statePath, std::u16string_view fragment) {
    VirtualMouseState state;
    if (!ReadMouseState(std::filesystem::path(statePath), state) || !state.plugged) {
        return false;
    }
    const bool updateMode = state.firmware == 0;
    if (HardwareIdMatches(fragment, kUpdateModeHardwareId)) {
        return updateMode;
    }
    if (HardwareIdMatches(fragment, kMouseHardwareId)) {
        return !updateMode;
    }
    return false;
}

std::function<bool(std::u16string_view)> DeviceSearch() {
    std::wstring state = VirtualMouseStatePath();
    if (!state.empty()) {
        return [state](std::u16string_view fragment) {
            return SimulatedDevicePresent(state, fragment);
        };
    }
    return UsbDevicePresent;
}

}  // namespace q350::app
