#pragma once

// The mouse through Linux hidraw: found among /dev/hidraw* by vendor, product and the vendor usage
// of its report descriptor, or opened at a given node.
#include <string>

#include "device/hid_transport.h"

namespace q350 {

class HidrawTransport final : public HidTransport {
public:
    // devicePath empty: search /dev/hidraw*.
    explicit HidrawTransport(std::string devicePath = {}) : devicePath_(std::move(devicePath)) {}
    ~HidrawTransport() override { close(); }

    bool open() override;
    void close() override;
    bool writeReport(std::span<const std::uint8_t, kReportSize> frame) override;
    bool getInputReport(std::span<std::uint8_t, kReportSize> frame) override;
    void traceLine(std::u16string_view line) override;

    // The node in use after a successful open; why the last open failed otherwise.
    const std::string& openedPath() const { return openedPath_; }
    const std::string& lastError() const { return lastError_; }

private:
    bool isMouse(int fd) const;

    std::string devicePath_;
    std::string openedPath_;
    std::string lastError_;
    int fd_ = -1;
};

}  // namespace q350
