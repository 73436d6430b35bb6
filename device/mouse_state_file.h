#pragma once

// The simulated mouse's state file: one fixed little-endian image of the whole mouse, shared by
// every process that talks to the same simulated mouse (q350ctl, HidBridge.dll, tests). Each change
// is made under a lock and written by whole-file replacement, so readers never see a half-written
// mouse.
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "base/clock.h"
#include "device/virtual_mouse.h"

namespace q350 {

inline constexpr std::uint32_t kMouseStateMagic = 0x4D563351;  // "Q3VM"
inline constexpr std::uint32_t kMouseStateVersion = 1;

// The head of the file; the mouse's 128 KiB memory follows it.
struct MouseStateHeader {
    std::uint32_t magic;     // kMouseStateMagic
    std::uint32_t version;   // kMouseStateVersion
    std::uint32_t fileSize;  // whole file, kMouseStateFileSize
    std::uint32_t checksum;  // FNV-1a of the whole file with this field taken as zero
    std::uint8_t firmware;
    std::uint8_t mode;         // 0...2
    std::uint8_t resolution;   // units of 50 DPI, reported while the current level is unset
    std::uint8_t dpiLevel;     // 0...3
    std::uint8_t plugged;      // 0 or 1
    std::uint8_t modelTiming;  // 0 or 1
    std::uint8_t fault;        // MouseFault
    std::uint8_t lastStatus;
    std::uint8_t lastValue;
    std::uint8_t reserved0[3];
    std::uint32_t faultFromCommand;
    std::uint32_t unplugAfterCommands;
    std::uint32_t commandCount;
    std::uint32_t readyAtMs;
    std::uint32_t reserved1;
    std::uint8_t params[kHighestParameterId + 1][kDpiLevelCount];
    std::uint32_t eventCount;  // 0...64 driver event words queued
    std::uint32_t events[kMaxQueuedEvents];
    // Firmware programming (zero in files written before the mouse could be programmed).
    std::uint32_t flashedBytes;
    std::uint32_t flashCrc;
    std::uint32_t firmwareSize;
    std::uint32_t firmwareCrc;
    std::uint8_t reserved2[0x60];
};
static_assert(sizeof(MouseStateHeader) == 0x200);
static_assert(offsetof(MouseStateHeader, checksum) == 0x0C);
static_assert(offsetof(MouseStateHeader, firmware) == 0x10);
static_assert(offsetof(MouseStateHeader, lastValue) == 0x18);
static_assert(offsetof(MouseStateHeader, faultFromCommand) == 0x1C);
static_assert(offsetof(MouseStateHeader, unplugAfterCommands) == 0x20);
static_assert(offsetof(MouseStateHeader, commandCount) == 0x24);
static_assert(offsetof(MouseStateHeader, readyAtMs) == 0x28);
static_assert(offsetof(MouseStateHeader, params) == 0x30);
static_assert(offsetof(MouseStateHeader, eventCount) == 0x8C);
static_assert(offsetof(MouseStateHeader, events) == 0x90);
static_assert(offsetof(MouseStateHeader, flashedBytes) == 0x190);
static_assert(offsetof(MouseStateHeader, firmwareCrc) == 0x19C);
static_assert(offsetof(MouseStateHeader, reserved2) == 0x1A0);

inline constexpr std::size_t kMouseMemoryOffset = sizeof(MouseStateHeader);
inline constexpr std::size_t kMouseStateFileSize = kMouseMemoryOffset + kMemorySize;
static_assert(kMouseStateFileSize == 0x20200);

enum class StateFileError {
    None,
    NotFound,
    AccessDenied,
    TooShort,
    BadMagic,
    BadVersion,
    BadSize,
    BadChecksum,
    BadValue,
    Locked,
    WriteFailed,
};

// A sentence for messages ("the simulated mouse's state file is ...").
std::string StateFileErrorText(StateFileError error);

std::vector<std::uint8_t> EncodeMouseState(const VirtualMouseState& state);
bool DecodeMouseState(const std::vector<std::uint8_t>& bytes, VirtualMouseState& state,
                      StateFileError* error = nullptr);

// Whole-file load and save without the lock (for a file nobody else uses yet).
bool LoadMouseState(const std::filesystem::path& path, VirtualMouseState& state,
                    StateFileError* error = nullptr);
bool SaveMouseState(const std::filesystem::path& path, const VirtualMouseState& state,
                    StateFileError* error = nullptr);

// Holds the lock of a state file: a folder beside it ("<file>.lock") that only one process can
// create. A lock left behind by a crashed process is taken over after the wait.
class MouseStateLock {
public:
    explicit MouseStateLock(std::filesystem::path statePath, std::uint32_t waitMs = 3000);
    ~MouseStateLock();
    MouseStateLock(const MouseStateLock&) = delete;
    MouseStateLock& operator=(const MouseStateLock&) = delete;
    bool held() const { return held_; }

private:
    std::filesystem::path lockPath_;
    bool held_ = false;
};

// Loads the state under the lock, lets change modify the mouse and saves it again (skipped when
// change returns false, which is then the result).
bool UpdateMouseState(const std::filesystem::path& path, Clock& clock,
                      const std::function<bool(VirtualMouse&)>& change,
                      StateFileError* error = nullptr);
// Loads the state under the lock.
bool ReadMouseState(const std::filesystem::path& path, VirtualMouseState& state,
                    StateFileError* error = nullptr);

// Milliseconds of the wall clock, the same in every process on the machine (also under Wine), so
// that a command's processing time carries over from one process to the next.
class WallClock final : public Clock {
public:
    std::uint32_t tickMs() override;
    void sleepMs(std::uint32_t ms) override;
};

// Transport to a simulated mouse kept in a state file.
class VirtualMouseFileTransport final : public HidTransport {
public:
    VirtualMouseFileTransport(std::filesystem::path path, Clock& clock)
        : path_(std::move(path)), clock_(clock) {}
    bool open() override;
    void close() override { open_ = false; }
    bool writeReport(std::span<const std::uint8_t, kReportSize> frame) override;
    bool getInputReport(std::span<std::uint8_t, kReportSize> frame) override;
    bool timedOut() const override { return timedOut_; }
    // False while the mouse is stalled: a report written now would never be taken. For a
    // transport that queues reports of its own before they reach the mouse.
    bool takesReports();
    // Why the last open failed.
    StateFileError lastError() const { return lastError_; }

private:
    // Waits out the transfer limit of a report the stalled mouse does not take.
    bool stall();

    std::filesystem::path path_;
    Clock& clock_;
    bool open_ = false;
    bool timedOut_ = false;
    StateFileError lastError_ = StateFileError::None;
};

}  // namespace q350
