#pragma once

// The road a HidChannel's reports take to the mouse: the HidBridge library on Windows, hidraw on
// Linux, or the simulated mouse.
#include <cstdint>
#include <span>
#include <string_view>

#include "device/device_protocol.h"

namespace q350 {

// The longest a single report may take on its way to or from the mouse. A transfer still pending
// then is cancelled and fails.
inline constexpr std::uint32_t kTransferLimitMs = 1000;

class HidTransport {
public:
    virtual ~HidTransport() = default;
    // Finds and opens the mouse's vendor interface; false when it is not there.
    virtual bool open() = 0;
    // Releases the device and whatever was loaded for it. Safe to call when not open.
    virtual void close() = 0;
    // Writes one output report (byte 0 is the report id).
    virtual bool writeReport(std::span<const std::uint8_t, kReportSize> frame) = 0;
    // Fetches one input report into frame, which holds the report id and the request on entry.
    virtual bool getInputReport(std::span<std::uint8_t, kReportSize> frame) = 0;
    // One line of the channel's diagnostic trace (the debugger output on Windows).
    virtual void traceLine(std::u16string_view line) { (void)line; }
    // True when the last write or read failed because it ran past kTransferLimitMs.
    virtual bool timedOut() const { return false; }
};

}  // namespace q350
