// Real HID devices through SetupAPI and hid.dll.
#include <windows.h>
#include <winioctl.h>
#include <setupapi.h>
// These headers declare the hid.dll functions without C linkage.
extern "C" {
// clang-format off
#include <hidsdi.h>
#include <hidpi.h>
#include <hidclass.h>
// clang-format on
}

#include <cwctype>
#include <string>
#include <vector>

#include "device/hid_transport.h"
#include "device/win/overlapped_transfer.h"
#include "outside/HidBridge/backends.h"

namespace q350::bridge {

namespace {

std::wstring Upper(const wchar_t* text) {
    std::wstring out(text);
    for (wchar_t& c : out) {
        c = static_cast<wchar_t>(std::towupper(c));
    }
    return out;
}

bool HasUsage(HANDLE device, USHORT usagePage, USHORT usage) {
    PHIDP_PREPARSED_DATA data = nullptr;
    if (!HidD_GetPreparsedData(device, &data)) {
        return false;
    }
    HIDP_CAPS caps{};
    const bool match = HidP_GetCaps(data, &caps) == HIDP_STATUS_SUCCESS &&
                       caps.UsagePage == usagePage && caps.Usage == usage;
    HidD_FreePreparsedData(data);
    return match;
}

}  // namespace

HANDLE OpenRealDevice(USHORT usagePage, USHORT usage, const wchar_t* hardwareId) {
    GUID hidGuid;
    HidD_GetHidGuid(&hidGuid);
    HDEVINFO set =
        SetupDiGetClassDevsW(&hidGuid, nullptr, nullptr, DIGCF_PRESENT | DIGCF_DEVICEINTERFACE);
    if (set == INVALID_HANDLE_VALUE) {
        return nullptr;
    }
    const std::wstring wanted = Upper(hardwareId);
    HANDLE found = nullptr;
    SP_DEVICE_INTERFACE_DATA iface{};
    iface.cbSize = sizeof iface;
    for (DWORD i = 0;
         found == nullptr && SetupDiEnumDeviceInterfaces(set, nullptr, &hidGuid, i, &iface); ++i) {
        DWORD needed = 0;
        SetupDiGetDeviceInterfaceDetailW(set, &iface, nullptr, 0, &needed, nullptr);
        if (needed < sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_W)) {
            continue;
        }
        std::vector<BYTE> storage(needed);
        auto* detail = reinterpret_cast<SP_DEVICE_INTERFACE_DETAIL_DATA_W*>(storage.data());
        detail->cbSize = sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_W);
        if (!SetupDiGetDeviceInterfaceDetailW(set, &iface, detail, needed, nullptr, nullptr)) {
            continue;
        }
        // Interface paths carry the hardware id ("...#vid_3f5c&pid_4106&mi_01#...").
        if (Upper(detail->DevicePath).find(wanted) == std::wstring::npos) {
            continue;
        }
        // Overlapped, so that every transfer can be given up after its limit.
        HANDLE device = CreateFileW(detail->DevicePath, GENERIC_READ | GENERIC_WRITE,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                    FILE_FLAG_OVERLAPPED, nullptr);
        if (device == INVALID_HANDLE_VALUE) {
            continue;
        }
        if (HasUsage(device, usagePage, usage)) {
            found = device;
        } else {
            CloseHandle(device);
        }
    }
    SetupDiDestroyDeviceInfoList(set);
    return found;
}

namespace {

// The request the hid.dll calls make, bounded by the transfer limit.
win::TransferOutcome GetReport(HANDLE device, DWORD code, BYTE* buffer, DWORD length) {
    return win::BoundedTransfer(device, kTransferLimitMs, [&](OVERLAPPED& ov) {
        return DeviceIoControl(device, code, nullptr, 0, buffer, length, nullptr, &ov);
    });
}

}  // namespace

BOOL GetRealInputReport(HANDLE device, BYTE* buffer, DWORD length) {
    // The reply comes as an input report; the request bytes after the report id stay in the
    // buffer for the device to see. Some firmware serves it as a feature report instead.
    std::vector<BYTE> request(buffer, buffer + length);
    win::TransferOutcome outcome = GetReport(device, IOCTL_HID_GET_INPUT_REPORT, buffer, length);
    if (outcome == win::TransferOutcome::Failed) {
        std::copy(request.begin(), request.end(), buffer);
        outcome = GetReport(device, IOCTL_HID_GET_FEATURE, buffer, length);
    }
    if (outcome == win::TransferOutcome::TimedOut) {
        SetLastError(ERROR_TIMEOUT);
    }
    return outcome == win::TransferOutcome::Done ? TRUE : FALSE;
}

}  // namespace q350::bridge
