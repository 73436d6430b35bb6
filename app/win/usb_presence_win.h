#pragma once

// Whether a USB device with a hardware-id fragment is present: through the setup API, or, when the
// environment variable Q350_VIRTUAL_MOUSE names a simulated mouse's state file, from that file.
#include <windows.h>

#include <functional>
#include <string>
#include <string_view>

namespace q350::app {

inline constexpr wchar_t kVirtualMouseVariable[] = L"Q350_VIRTUAL_MOUSE";

// The simulated mouse's state file, or empty when none is named.
std::wstring VirtualMouseStatePath();

// Searches the present devices of the "USB" enumerator for the fragment.
bool UsbDevicePresent(std::u16string_view fragment);

// The simulated mouse: plugged in and with firmware it is in normal operation; plugged in
// without firmware (version 0) it is in its firmware-update mode; unplugged it is neither.
bool SimulatedDevicePresent(const std::wstring& statePath, std::u16string_view fragment);

// Whether the simulated mouse's state file says it was unplugged (an unreadable file says nothing).
bool SimulatedMouseUnplugged(const std::wstring& statePath);

// The device-interface name of the simulated mouse in its removal notice, shaped as the system
// names the real mouse's HID interface.
inline constexpr wchar_t kSimulatedMouseInterface[] =
    L"\\\\?\\HID#VID_3F5C&PID_4106&MI_00#7&2b5c1f3a&0&0000#"
    L"{4d1e55b2-f16f-11cf-88cb-001111000030}";

// Sends the window the device-removal notice the system sends when the real mouse is unplugged.
void SendSimulatedRemoval(HWND window);

// The search the program uses: simulated when the variable is set, else the setup API.
std::function<bool(std::u16string_view)> DeviceSearch();

}  // namespace q350::app
