#pragma once

// The entry points of HidBridge.dll as the program calls them. They are exported under these
// undecorated names with the WINAPI calling convention.
#include <windows.h>

namespace q350 {

// Opens the HID interface with the usage page, usage and hardware id ("VID_xxxx&PID_xxxx"); the
// last two arguments are reserved and 0. Returns a handle opened for overlapped I/O that takes
// 32-byte output reports with WriteFile and is closed with CloseHandle, or null when the device is
// not found. A report the device does not take stays pending until the caller cancels it.
using OpenHidDeviceFn = HANDLE(WINAPI*)(USHORT usagePage, USHORT usage, const wchar_t* hardwareId,
                                        DWORD reserved1, DWORD reserved2);
// Reads one input report into buffer (byte 0 the report id, then the request bytes). Non-zero low
// byte on success. Gives up after kTransferLimitMs (device/hid_transport.h) with the last error
// ERROR_TIMEOUT.
using GetInputReportFn = BOOL(WINAPI*)(HANDLE device, BYTE* buffer, DWORD length);
// True when such a device is present.
using FindHidDeviceFn = BOOL(WINAPI*)(USHORT usagePage, USHORT usage, const wchar_t* hardwareId);

inline constexpr wchar_t kHidBridgeLibrary[] = L"HidBridge.dll";
inline constexpr char kOpenHidDeviceName[] = "OpenHidDevice";
inline constexpr char kGetInputReportName[] = "GetInputReport";
inline constexpr char kFindHidDeviceName[] = "FindHidDevice";

// Environment variable that points HidBridge.dll at a simulated mouse's state file.
inline constexpr wchar_t kVirtualMouseVariable[] = L"Q350_VIRTUAL_MOUSE";

}  // namespace q350
