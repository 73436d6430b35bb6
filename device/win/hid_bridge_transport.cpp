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
    timedOut_ = false;
    if (!device_.valid()) {
        return false;
    }
    // The library opens the device for overlapped I/O, so that a mouse that stops taking
    // reports costs one limit instead of the thread.
    const HANDLE device = device_.get();
    const win::TransferOutcome outcome =
        win::BoundedTransfer(device, kTransferLimitMs, [&](OVERLAPPED& ov) {
            return WriteFile(device, frame.data(), static_cast<DWORD>(frame.size()), nullptr,
                             &ov);
        });
    timedOut_ = outcome == win::TransferOutcome::TimedOut;
    return outcome == win::TransferOutcome::Done;
}

bool HidBridgeTransport::getInputReport(std::span<std::uint8_t, kReportSize> frame) {
    timedOut_ = false;
    if (!device_.valid() || getInputReport_ == nullptr) {
        return false;
    }
    // The library bounds its read by the same limit and reports running past it as a timeout.
    SetLastError(ERROR_SUCCESS);
    const BOOL result =
        getInputReport_(device_.get(), frame.data(), static_cast<DWORD>(frame.size()));
    if (static_cast<std::uint8_t>(result) != 0) {
        return true;
    }
    timedOut_ = GetLastError() == ERROR_TIMEOUT;
    return false;
}

void HidBridgeTransport::traceLine(std::u16string_view line) {
    std::wstring text(line.begin(), line.end());
    OutputDebugStringW(text.c_str());
}

}  // namespace q350
