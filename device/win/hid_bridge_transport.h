#pragma once

// The mouse through HidBridge.dll, loaded by name from the standard DLL search path when the
// channel opens and unloaded when it closes.
#include <string>

#include "base/win/kernel_handle.h"
#include "base/win/module.h"
#include "device/hid_transport.h"
#include "device/win/hid_bridge_api.h"
#include "device/win/overlapped_transfer.h"

namespace q350 {

class HidBridgeTransport final : public HidTransport {
public:
    explicit HidBridgeTransport(std::wstring library = kHidBridgeLibrary)
        : library_(std::move(library)) {}
    ~HidBridgeTransport() override { close(); }
    HidBridgeTransport(const HidBridgeTransport&) = delete;
    HidBridgeTransport& operator=(const HidBridgeTransport&) = delete;

    bool open() override;
    void close() override;
    bool writeReport(std::span<const std::uint8_t, kReportSize> frame) override;
    bool getInputReport(std::span<std::uint8_t, kReportSize> frame) override;
    void traceLine(std::u16string_view line) override;
    bool timedOut() const override { return timedOut_; }

    bool libraryLoaded() const { return static_cast<bool>(module_); }

private:
    std::wstring library_;
    win::LoadedModule module_;
    OpenHidDeviceFn openHidDevice_ = nullptr;
    GetInputReportFn getInputReport_ = nullptr;
    FindHidDeviceFn findHidDevice_ = nullptr;  // looked up, not called
    win::KernelHandle device_;
    bool timedOut_ = false;
};

}  // namespace q350
