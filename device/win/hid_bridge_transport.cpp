#include "device/win/hid_bridge_transport.h"

#include <string>

namespace q350 {

namespace {

template <typename Fn>
Fn Entry(HMODULE module, const char* name) {
    // Through a generic function pointer: FARPROC's own signature means nothing.
    return reinterpret_cast<Fn>(reinterpret_cast<void (*)()>(GetProcAddress(module, name)));
}

}  // namespace

bool HidBridgeTransport::open() {
    close();
    module_ = LoadLibraryW(library_.c_str());
    if (module_ == nullptr) {
        return false;
    }
    openHidDevice_ = Entry<OpenHidDeviceFn>(module_, kOpenHidDeviceName);
    getInputReport_ = Entry<GetInputReportFn>(module_, kGetInputReportName);
    findHidDevice_ = Entry<FindHidDeviceFn>(module_, kFindHidDeviceName);
    if (openHidDevice_ == nullptr || getInputReport_ == nullptr) {
        close();
        return false;
    }
    device_ = openHidDevice_(kMouseUsagePage, kMouseUsage,
                             reinterpret_cast<const wchar_t*>(kMouseHardwareId), 0, 0);
    // Some libraries report "not found" as an invalid handle instead of null.
    if (device_ == INVALID_HANDLE_VALUE) {
        device_ = nullptr;
    }
    if (device_ == nullptr) {
        close();
        return false;
    }
    return true;
}

void HidBridgeTransport::close() {
    if (device_ != nullptr) {
        CloseHandle(device_);
        device_ = nullptr;
    }
    if (module_ != nullptr) {
        FreeLibrary(module_);
        module_ = nullptr;
    }
    openHidDevice_ = nullptr;
    getInputReport_ = nullptr;
    findHidDevice_ = nullptr;
}

bool HidBridgeTransport::writeReport(std::span<const std::uint8_t, kReportSize> frame) {
    if (device_ == nullptr) {
        return false;
    }
    DWORD written = 0;
    return WriteFile(device_, frame.data(), static_cast<DWORD>(frame.size()), &written, nullptr) !=
           FALSE;
}

bool HidBridgeTransport::getInputReport(std::span<std::uint8_t, kReportSize> frame) {
    if (device_ == nullptr || getInputReport_ == nullptr) {
        return false;
    }
    const BOOL result = getInputReport_(device_, frame.data(), static_cast<DWORD>(frame.size()));
    return static_cast<std::uint8_t>(result) != 0;
}

void HidBridgeTransport::traceLine(std::u16string_view line) {
    std::wstring text(line.begin(), line.end());
    OutputDebugStringW(text.c_str());
}

}  // namespace q350
