// Exports of HidBridge.dll.
#include <windows.h>

#include <string>

#include "device/win/hid_bridge_api.h"
#include "outside/HidBridge/backends.h"

extern "C" {
__declspec(dllexport) HANDLE WINAPI
    OpenHidDevice(USHORT usagePage, USHORT usage, const wchar_t* hardwareId, DWORD, DWORD);
__declspec(dllexport) BOOL WINAPI GetInputReport(HANDLE device, BYTE* buffer, DWORD length);
__declspec(dllexport) BOOL WINAPI
    FindHidDevice(USHORT usagePage, USHORT usage, const wchar_t* hardwareId);
}

namespace {

// The state file of a simulated mouse, when the environment names one.
bool VirtualMousePath(std::wstring& path) {
    wchar_t buffer[MAX_PATH * 2];
    const DWORD n = GetEnvironmentVariableW(q350::kVirtualMouseVariable, buffer, MAX_PATH * 2);
    if (n == 0 || n >= MAX_PATH * 2) {
        return false;
    }
    path.assign(buffer, n);
    return true;
}

}  // namespace

extern "C" {

__declspec(dllexport) HANDLE WINAPI
    OpenHidDevice(USHORT usagePage, USHORT usage, const wchar_t* hardwareId, DWORD, DWORD) {
    if (hardwareId == nullptr) {
        return nullptr;
    }
    std::wstring simulated;
    if (VirtualMousePath(simulated)) {
        return q350::bridge::OpenSimulatedDevice(simulated.c_str());
    }
    return q350::bridge::OpenRealDevice(usagePage, usage, hardwareId);
}

__declspec(dllexport) BOOL WINAPI GetInputReport(HANDLE device, BYTE* buffer, DWORD length) {
    if (device == nullptr || device == INVALID_HANDLE_VALUE || buffer == nullptr || length == 0) {
        return FALSE;
    }
    bool handled = false;
    const BOOL result = q350::bridge::GetSimulatedInputReport(device, buffer, length, handled);
    if (handled) {
        return result;
    }
    return q350::bridge::GetRealInputReport(device, buffer, length);
}

__declspec(dllexport) BOOL WINAPI
    FindHidDevice(USHORT usagePage, USHORT usage, const wchar_t* hardwareId) {
    if (hardwareId == nullptr) {
        return FALSE;
    }
    std::wstring simulated;
    if (VirtualMousePath(simulated)) {
        return q350::bridge::SimulatedDevicePresent(simulated.c_str()) ? TRUE : FALSE;
    }
    HANDLE device = q350::bridge::OpenRealDevice(usagePage, usage, hardwareId);
    if (device == nullptr) {
        return FALSE;
    }
    CloseHandle(device);
    return TRUE;
}

}  // extern "C"
