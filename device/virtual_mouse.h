#pragma once

// The simulated mouse: answers the command set like the real one, keeps its memory and settings,
// can take as long as the real mouse to carry out a command, and can be made to misbehave.
#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "base/clock.h"
#include "device/device_protocol.h"
#include "device/hid_transport.h"

namespace q350 {

// Misbehaviour of the simulated mouse, from a given command on.
enum class MouseFault : std::uint8_t {
    None = 0,
    NoReply = 1,       // input reports fail
    NeverDone = 2,     // commands are not carried out and the status stays "busy"
    CorruptReply = 3,  // replies arrive scrambled
    Stall = 4,         // reports are no longer taken and nothing is answered
};

inline constexpr std::size_t kMaxQueuedEvents = 64;
// The A9 resolution of a mouse whose DPI levels were never set: 1,600 DPI.
inline constexpr std::uint8_t kDefaultResolution = 32;

struct VirtualMouseState {
    std::uint8_t firmware = 1;
    std::uint8_t mode = 0;
    std::uint8_t resolution = kDefaultResolution;  // used while the current level is unset
    std::uint8_t dpiLevel = 0;                     // current DPI level 0...3
    bool plugged = true;
    bool modelTiming = false;  // status turns 1 only after the mouse's processing time
    MouseFault fault = MouseFault::None;
    std::uint32_t faultFromCommand = 0;     // 0-based index of the first command that misbehaves
    std::uint32_t unplugAfterCommands = 0;  // 0 = never
    std::uint32_t commandCount = 0;         // output reports received so far
    // Reply to the last command.
    std::uint8_t lastStatus = kStatusBusy;
    std::uint8_t lastValue = 0;
    std::uint32_t readyAtMs = 0;  // clock tick from which the reply is ready (with timing)
    // Values of each parameter id: index = mode for the per-mode ids, = level for the DPI ids.
    std::array<std::array<std::uint8_t, kDpiLevelCount>, kHighestParameterId + 1> params{};
    // Driver event words waiting to be delivered, oldest first.
    std::vector<std::uint32_t> events;
    std::vector<std::uint8_t> memory = std::vector<std::uint8_t>(kMemorySize, 0);
    // Firmware programming: what arrived in update mode so far, and what is installed (a size
    // of 0 is the factory's firmware).
    std::uint32_t flashedBytes = 0;
    std::uint32_t flashCrc = 0;  // CRC-32 of the bytes that arrived
    std::uint32_t firmwareSize = 0;
    std::uint32_t firmwareCrc = 0;

    // A mouse in its firmware-update mode reports no version.
    bool updateMode() const { return firmware == 0; }
    std::uint32_t buttonWord(int inMode, int button) const;
    std::uint8_t currentResolution() const;
};

class VirtualMouse {
public:
    explicit VirtualMouse(Clock& clock, VirtualMouseState state = {})
        : clock_(clock), state_(std::move(state)) {}

    VirtualMouseState& state() { return state_; }
    const VirtualMouseState& state() const { return state_; }

    // One output report from the host. False when the mouse is unplugged (the write fails).
    bool handleOutputReport(std::span<const std::uint8_t, kReportSize> frame);
    // The reply to the last command: status in byte 0, value in byte 1. False when unplugged or
    // when the mouse does not answer.
    bool inputReport(std::span<std::uint8_t, kReportSize> frame) const;

    // The flasher's side of the mouse (the program itself never programs firmware). Entering
    // update mode drops the version and whatever a broken update left; the payload then arrives
    // in order; leaving checks its length and CRC-32 and installs the new version. A mouse left
    // in update mode stays there (and is found so at the next start) until an update completes.
    bool enterUpdateMode();
    bool writeFirmware(std::uint32_t offset, std::span<const std::uint8_t> data);
    bool leaveUpdateMode(std::uint32_t version, std::uint32_t length, std::uint32_t crc);

    bool pushEvent(std::uint32_t word);
    std::optional<std::uint32_t> popEvent();

    // A stalled mouse takes no further report: a write to it waits until the host gives up. The
    // reply to the last report it took can still be read.
    bool stalled() const;
    Clock& clock() const { return clock_; }

private:
    bool faulty() const;
    void execute(std::span<const std::uint8_t, kReportSize> frame);
    void writeMemory(std::span<const std::uint8_t, kReportSize> frame);
    void setParameter(std::span<const std::uint8_t, kReportSize> frame);
    std::uint32_t processingTimeMs(std::span<const std::uint8_t, kReportSize> frame) const;

    Clock& clock_;
    VirtualMouseState state_;
};

// Transport to a simulated mouse living in this process.
class VirtualMouseTransport final : public HidTransport {
public:
    explicit VirtualMouseTransport(VirtualMouse& mouse) : mouse_(mouse) {}
    bool open() override;
    void close() override { open_ = false; }
    bool writeReport(std::span<const std::uint8_t, kReportSize> frame) override;
    bool getInputReport(std::span<std::uint8_t, kReportSize> frame) override;
    void traceLine(std::u16string_view line) override { trace.emplace_back(line); }
    bool timedOut() const override { return timedOut_; }

    std::vector<std::u16string> trace;

private:
    VirtualMouse& mouse_;
    bool open_ = false;
    bool timedOut_ = false;
};

}  // namespace q350
