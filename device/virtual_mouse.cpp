#include "device/virtual_mouse.h"

#include <algorithm>
#include <cstring>

#include "device/firmware_image.h"

namespace q350 {

namespace {

// Replies of a mouse with the corrupt-reply fault carry every byte flipped by this pattern.
constexpr std::uint8_t kCorruptionMask = 0x5A;

std::uint32_t ReadAddress(const std::uint8_t* p) {
    return (std::uint32_t{p[0]} << 24) | (std::uint32_t{p[1]} << 16) | (std::uint32_t{p[2]} << 8) |
           p[3];
}

}  // namespace

std::uint32_t VirtualMouseState::buttonWord(int inMode, int button) const {
    const std::uint32_t a = ButtonWordAddress(inMode, button);
    return std::uint32_t{memory[a]} | (std::uint32_t{memory[a + 1]} << 8) |
           (std::uint32_t{memory[a + 2]} << 16) | (std::uint32_t{memory[a + 3]} << 24);
}

std::uint8_t VirtualMouseState::currentResolution() const {
    if (mode < kModeCount && dpiLevel < kDpiLevelCount) {
        const std::uint8_t level = params[kParamDpiX0 + mode][dpiLevel];
        if (level != 0) {
            return level;
        }
    }
    return resolution;
}

bool VirtualMouse::enterUpdateMode() {
    if (!state_.plugged) {
        return false;
    }
    state_.firmware = 0;
    state_.flashedBytes = 0;
    state_.flashCrc = 0;
    return true;
}

bool VirtualMouse::writeFirmware(std::uint32_t offset, std::span<const std::uint8_t> data) {
    if (!state_.plugged || !state_.updateMode() || offset != state_.flashedBytes ||
        data.size() > kMaxFirmwarePayload - offset) {
        return false;
    }
    state_.flashCrc = Crc32(data, state_.flashCrc);
    state_.flashedBytes += static_cast<std::uint32_t>(data.size());
    return true;
}

bool VirtualMouse::leaveUpdateMode(std::uint32_t version, std::uint32_t length,
                                   std::uint32_t crc) {
    if (!state_.plugged || !state_.updateMode() || version == 0 ||
        version > kMaxFirmwareVersion || length != state_.flashedBytes ||
        crc != state_.flashCrc) {
        return false;
    }
    state_.firmware = static_cast<std::uint8_t>(version);
    state_.firmwareSize = length;
    state_.firmwareCrc = crc;
    state_.flashedBytes = 0;
    state_.flashCrc = 0;
    return true;
}

bool VirtualMouse::faulty() const {
    return state_.fault != MouseFault::None && state_.commandCount > state_.faultFromCommand;
}

bool VirtualMouse::stalled() const {
    // The report about to arrive is number commandCount (0-based).
    return state_.plugged && state_.fault == MouseFault::Stall &&
           state_.commandCount >= state_.faultFromCommand;
}

bool VirtualMouse::handleOutputReport(std::span<const std::uint8_t, kReportSize> frame) {
    // The mouse goes away once it has answered its last command.
    if (state_.unplugAfterCommands != 0 && state_.commandCount >= state_.unplugAfterCommands) {
        state_.plugged = false;
    }
    if (!state_.plugged || stalled()) {
        return false;
    }
    ++state_.commandCount;
    state_.lastValue = 0;
    if (frame[0] != kReportId) {
        state_.lastStatus = kStatusRejected;
    } else if (faulty() && state_.fault == MouseFault::NeverDone) {
        state_.lastStatus = kStatusBusy;
    } else {
        execute(frame);
    }
    state_.readyAtMs = clock_.tickMs() + processingTimeMs(frame);
    return true;
}

void VirtualMouse::execute(std::span<const std::uint8_t, kReportSize> frame) {
    state_.lastStatus = kStatusDone;
    switch (frame[1]) {
        case kOpQueryMode:
            state_.lastValue = state_.mode;
            break;
        case kOpQueryFirmware:
            state_.lastValue = state_.firmware;
            break;
        case kOpQueryResolution:
            state_.lastValue = state_.currentResolution();
            break;
        case kOpWriteMemory:
            writeMemory(frame);
            break;
        case kOpSetParameter:
            setParameter(frame);
            break;
        default:
            state_.lastStatus = kStatusRejected;
            break;
    }
}

void VirtualMouse::writeMemory(std::span<const std::uint8_t, kReportSize> frame) {
    const std::uint32_t address = ReadAddress(&frame[2]);
    const std::uint32_t n = frame[6];
    const bool badSize = n == 0 || n > kMaxWriteChunk;
    const bool beyondEnd = address >= kMemorySize || n > kMemorySize - address;
    // The button blocks and everything else below 0x1000 take whole, aligned words only.
    const bool misaligned = address < kWordAlignedLimit && (address % 4 != 0 || n % 4 != 0);
    if (badSize || beyondEnd || misaligned) {
        state_.lastStatus = kStatusRejected;
        return;
    }
    std::memcpy(state_.memory.data() + address, &frame[1 + kWriteHeaderSize], n);
}

void VirtualMouse::setParameter(std::span<const std::uint8_t, kReportSize> frame) {
    const std::uint8_t id = frame[2];
    if (!IsKnownParameter(id)) {
        state_.lastStatus = kStatusRejected;
        return;
    }
    const std::size_t count = ParameterValueCount(id);
    const std::uint8_t* values = &frame[3];
    if (id == kParamLiftOff &&
        std::any_of(values, values + count, [](std::uint8_t v) { return v < kMinLiftOff; })) {
        state_.lastStatus = kStatusRejected;
        return;
    }
    std::copy(values, values + count, state_.params[id].begin());
}

std::uint32_t VirtualMouse::processingTimeMs(
    std::span<const std::uint8_t, kReportSize> frame) const {
    if (!state_.modelTiming) {
        return 0;
    }
    if (frame[1] == kOpWriteMemory) {
        const std::size_t n = frame[6];
        return n == kMaxWriteChunk ? kFullChunkWaitMs : ShortChunkWaitMs(n);
    }
    return kPollIntervalMs;
}

bool VirtualMouse::inputReport(std::span<std::uint8_t, kReportSize> frame) const {
    if (!state_.plugged) {
        return false;
    }
    const bool fault = faulty();
    if (fault && state_.fault == MouseFault::NoReply) {
        return false;
    }
    std::fill(frame.begin(), frame.end(), 0);
    // Signed difference: the tick count wraps.
    const bool ready = static_cast<std::int32_t>(clock_.tickMs() - state_.readyAtMs) >= 0;
    if (ready) {
        frame[0] = state_.lastStatus;
        frame[1] = state_.lastValue;
    } else {
        frame[0] = kStatusBusy;
    }
    if (fault && state_.fault == MouseFault::CorruptReply) {
        for (std::uint8_t& b : frame) {
            b ^= kCorruptionMask;
        }
    }
    return true;
}

bool VirtualMouse::pushEvent(std::uint32_t word) {
    if (state_.events.size() >= kMaxQueuedEvents) {
        return false;
    }
    state_.events.push_back(word);
    return true;
}

std::optional<std::uint32_t> VirtualMouse::popEvent() {
    if (state_.events.empty()) {
        return std::nullopt;
    }
    const std::uint32_t word = state_.events.front();
    state_.events.erase(state_.events.begin());
    return word;
}

bool VirtualMouseTransport::open() {
    open_ = mouse_.state().plugged;
    return open_;
}

bool VirtualMouseTransport::writeReport(std::span<const std::uint8_t, kReportSize> frame) {
    timedOut_ = false;
    if (open_ && mouse_.stalled()) {
        // The report is never taken: the write waits out its limit.
        mouse_.clock().sleepMs(kTransferLimitMs);
        timedOut_ = true;
        return false;
    }
    return open_ && mouse_.handleOutputReport(frame);
}

bool VirtualMouseTransport::getInputReport(std::span<std::uint8_t, kReportSize> frame) {
    timedOut_ = false;
    return open_ && mouse_.inputReport(frame);
}

}  // namespace q350
