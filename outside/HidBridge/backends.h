#pragma once

// The two ways HidBridge.dll reaches a mouse.
#include <windows.h>

namespace q350::bridge {

// Real devices: SetupAPI enumeration of HID interfaces, matched by hardware id, usage page and
// usage. Returns an open handle or null.
HANDLE OpenRealDevice(USHORT usagePage, USHORT usage, const wchar_t* hardwareId);
BOOL GetRealInputReport(HANDLE device, BYTE* buffer, DWORD length);

// The simulated mouse of the state file at path. Returns the write end of a pipe served by a
// thread of this library, or null when the mouse is missing or unplugged.
HANDLE OpenSimulatedDevice(const wchar_t* statePath);
// Answers for a handle of OpenSimulatedDevice; false in handled when the handle is not one.
BOOL GetSimulatedInputReport(HANDLE device, BYTE* buffer, DWORD length, bool& handled);
bool SimulatedDevicePresent(const wchar_t* statePath);

}  // namespace q350::bridge
