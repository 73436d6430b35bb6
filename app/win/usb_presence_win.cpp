#include "app/win/usb_presence_win.h"

#include <windows.h>

#include <dbt.h>
#include <setupapi.h>

#include <cstddef>
#include <cstring>
#include <filesystem>
#include <vector>

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
    HDEVINFO list =
        SetupDiGetClassDevsW(nullptr, L"USB", nullptr, DIGCF_ALLCLASSES | DIGCF_PRESENT);
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

bool SimulatedMouseUnplugged(const std::wstring& statePath) {
    VirtualMouseState state;
    return ReadMouseState(std::filesystem::path(statePath), state) && !state.plugged;
}

void SendSimulatedRemoval(HWND window) {
    // The notice carries the name inline: a header followed by as many characters as it needs.
    constexpr std::size_t kNameChars = sizeof(kSimulatedMouseInterface) / sizeof(wchar_t);
    std::vector<BYTE> storage(offsetof(DEV_BROADCAST_DEVICEINTERFACE_W, dbcc_name) +
                              kNameChars * sizeof(wchar_t));
    auto* notice = reinterpret_cast<DEV_BROADCAST_DEVICEINTERFACE_W*>(storage.data());
    notice->dbcc_size = static_cast<DWORD>(storage.size());
    notice->dbcc_devicetype = DBT_DEVTYP_DEVICEINTERFACE;
    std::memcpy(notice->dbcc_name, kSimulatedMouseInterface, sizeof(kSimulatedMouseInterface));
    SendMessageW(window, WM_DEVICECHANGE, DBT_DEVICEREMOVECOMPLETE,
                 reinterpret_cast<LPARAM>(notice));
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
