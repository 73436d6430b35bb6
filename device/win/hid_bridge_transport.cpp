#include "device/win/hid_bridge_transport.h"

#include <string>

namespace q350 {

bool HidBridgeTransport::open() {
    close();
    module_ = win::LoadedModule(library_.c_str());
    if (!module_) {
        return false;
    }
    openHidDevice_ = module_.proc<OpenHidDeviceFn>(kOpenHidDeviceName);
    getInputReport_ = module_.proc<GetInputReportFn>(kGetInputReportName);
    findHidDevice_ = module_.proc<FindHidDeviceFn>(kFindHidDeviceName);
    if (openHidDevice_ == nullptr || getInputReport_ == nullptr) {
        close();
        return false;
    }
    // Some libraries report "not found" as an invalid handle instead of null; the owner takes
    // both for no device.
    device_.reset(openHidDevice_(kMouseUsagePage, kMouseUsage,
                                 reinterpret_cast<const wchar_t*>(kMouseHardwareId), 0, 0));
    if (!device_.valid()) {
        close();
        return false;
    }
    return true;
}

void HidBridgeTransport::close() {
    device_.reset();
    module_.reset();
    openHidDevice_ = nullptr;
    getInputReport_ = nullptr;
    findHidDevice_ = nullptr;
}

bool HidBridgeTransport::writeReport(std::span<const std::uint8_t, kReportSize> frame) {
    if (!device_.valid()) {
        return false;
    }
    DWORD written = 0;
    return WriteFile(device_.get(), frame.data(), static_cast<DWORD>(frame.size()), &written,
                     nullptr) != FALSE;
}

bool HidBridgeTransport::getInputReport(std::span<std::uint8_t, kReportSize> frame) {
    if (!device_.valid() || getInputReport_ == nullptr) {
        return false;
    }
    const BOOL result =
        getInputReport_(device_.get(), frame.data(), static_cast<DWORD>(frame.size()));
    return static_cast<std::uint8_t>(result) != 0;
}

void HidBridgeTransport::traceLine(std::u16string_view line) {
    std::wstring text(line.begin(), line.end());
    OutputDebugStringW(text.c_str());
}

}  // namespace q350
