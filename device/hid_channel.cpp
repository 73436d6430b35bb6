#include "device/hid_channel.h"

#include <atomic>
#include <cstring>
#include <string>

namespace q350 {

namespace {

std::atomic<bool> g_trace{false};

// The trace text is built in a buffer of this many UTF-16 units and flushed when nearly full.
constexpr std::size_t kTraceBufferUnits = 1024;
constexpr std::size_t kTraceEntryUnits = 3;  // "xx "

}  // namespace

void HidChannel::setTraceEnabled(bool on) {
    g_trace = on;
}
bool HidChannel::traceEnabled() {
    return g_trace;
}

bool HidChannel::open() {
    close();
    stalled_ = false;
    open_ = transport_.open();
    return open_;
}

void HidChannel::noteFailure() {
    if (transport_.timedOut()) {
        stalled_ = true;
    }
}

void HidChannel::close() {
    if (open_) {
        transport_.close();
        open_ = false;
    }
}

bool HidChannel::send(const std::uint8_t* payload, std::size_t n) {
    if (!open_ || stalled_ || payload == nullptr || n > kMaxPayload) {
        return false;
    }
    Report frame{};
    frame[0] = kReportId;
    std::memcpy(frame.data() + 1, payload, n);
    if (!transport_.writeReport(frame)) {
        noteFailure();
        return false;
    }
    if (g_trace) {
        trace(u"Send:", frame.data(), n + 1);
    }
    return true;
}

bool HidChannel::receive(std::uint8_t* buffer, std::size_t n) {
    // A request longer than the report cannot be framed.
    if (!open_ || stalled_ || buffer == nullptr || n > kMaxPayload) {
        return false;
    }
    Report frame{};
    frame[0] = kReportId;
    std::memcpy(frame.data() + 1, buffer, n);
    if (!transport_.getInputReport(frame)) {
        noteFailure();
        return false;
    }
    if (g_trace) {
        trace(u"Receive:", frame.data(), n);
    }
    std::memcpy(buffer, frame.data(), n);
    return true;
}

bool HidChannel::sendFrame(const Report& frame) {
    if (!open_ || stalled_) {
        return false;
    }
    if (!transport_.writeReport(frame)) {
        noteFailure();
        return false;
    }
    if (g_trace) {
        trace(u"Send:", frame.data(), frame.size());
    }
    return true;
}

void HidChannel::trace(const char16_t* prefix, const std::uint8_t* bytes, std::size_t count) {
    static constexpr char16_t kHex[] = u"0123456789abcdef";
    std::u16string line;
    line.reserve(kTraceBufferUnits);
    line += prefix;
    line += u' ';
    for (std::size_t i = 0; i < count; ++i) {
        // Keep room for the terminating null of the fixed buffer.
        if (line.size() + kTraceEntryUnits >= kTraceBufferUnits) {
            transport_.traceLine(line);
            line.clear();
        }
        line += kHex[bytes[i] >> 4];
        line += kHex[bytes[i] & 0x0F];
        line += u' ';
    }
    transport_.traceLine(line);
}

}  // namespace q350
