#pragma once

// HidChannel: the owner of the link to the mouse. Sends 32-byte output reports that begin with the
// report id 0xBA and fetches the mouse's replies as input reports.
#include <cstddef>
#include <cstdint>

#include "device/device_protocol.h"
#include "device/hid_transport.h"

namespace q350 {

class HidChannel {
public:
    explicit HidChannel(HidTransport& transport) : transport_(transport) {}
    ~HidChannel() { close(); }
    HidChannel(const HidChannel&) = delete;
    HidChannel& operator=(const HidChannel&) = delete;

    // Opens the mouse; true when it was found. A failed open leaves the channel closed.
    bool open();
    // Releases the device; sends and receives fail until the next open.
    void close();
    bool isOpen() const { return open_; }

    // A transfer that ran past its limit leaves the mouse counted as stalled: every later send and
    // receive fails at once, until the channel is opened again. A stalled mouse would otherwise
    // cost a whole limit per report of a download.
    bool stalled() const { return stalled_; }

    // Sends one report whose bytes 1...n are the payload (n <= 31).
    bool send(const std::uint8_t* payload, std::size_t n);
    // Fetches one input report. On entry buffer holds the n request bytes that go into the report
    // after its id; on success it holds the first n bytes of the reply (status, value, ...).
    bool receive(std::uint8_t* buffer, std::size_t n);
    // Writes a frame the caller has built itself (byte 0 already the report id).
    bool sendFrame(const Report& frame);

    // Process-wide diagnostic hex trace; off unless a developer switches it on.
    static void setTraceEnabled(bool on);
    static bool traceEnabled();

private:
    void trace(const char16_t* prefix, const std::uint8_t* bytes, std::size_t count);
    // Notes a stall when the transport's last transfer failed by its limit.
    void noteFailure();

    HidTransport& transport_;
    bool open_ = false;
    bool stalled_ = false;
};

}  // namespace q350
