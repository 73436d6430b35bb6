#pragma once

// Whether a USB device with a hardware-id fragment is present: through the setup API, or, when the
// environment variable Q350_VIRTUAL_MOUSE names a simulated mouse's state file, from that file.
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

// The search the program uses: simulated when the variable is set, else the setup API.
std::function<bool(std::u16string_view)> DeviceSearch();

}  // namespace q350::app
