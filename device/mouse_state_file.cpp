#include "device/mouse_state_file.h"

#include <algorithm>
#include <bit>
#include <chrono>
#include <cstring>
#include <system_error>
#include <thread>

#include "base/file_io.h"
#include "device/firmware_image.h"

namespace q350 {

static_assert(std::endian::native == std::endian::little,
              "the state file is stored as the little-endian image of its records");

namespace {

constexpr std::uint32_t kLockRetryMs = 2;

std::uint32_t Fnv1a(const std::uint8_t* data, std::size_t size) {
    std::uint32_t h = 0x811C9DC5u;
    for (std::size_t i = 0; i < size; ++i) {
        h ^= data[i];
        h *= 0x01000193u;
    }
    return h;
}

std::uint32_t Checksum(std::vector<std::uint8_t> bytes) {
    std::memset(bytes.data() + offsetof(MouseStateHeader, checksum), 0, sizeof(std::uint32_t));
    return Fnv1a(bytes.data(), bytes.size());
}

void SetError(StateFileError* error, StateFileError value) {
    if (error) {
        *error = value;
    }
}

// Why a lock could not be taken: a missing file or folder, or a busy lock.
StateFileError LockFailure(const std::filesystem::path& path) {
    std::error_code ec;
    return std::filesystem::exists(path, ec) ? StateFileError::Locked : StateFileError::NotFound;
}

}  // namespace

std::string StateFileErrorText(StateFileError error) {
    switch (error) {
        case StateFileError::None:
            return "fine";
        case StateFileError::NotFound:
            return "missing";
        case StateFileError::AccessDenied:
            return "not accessible";
        case StateFileError::TooShort:
            return "too short (truncated or not a state file)";
        case StateFileError::BadMagic:
            return "not a simulated mouse state file";
        case StateFileError::BadVersion:
            return "of an unknown version";
        case StateFileError::BadSize:
            return "of the wrong size";
        case StateFileError::BadChecksum:
            return "corrupt (checksum mismatch)";
        case StateFileError::BadValue:
            return "corrupt (a setting is out of range)";
        case StateFileError::Locked:
            return "locked by another process";
        case StateFileError::WriteFailed:
            return "not writable";
    }
    return "unusable";
}

std::vector<std::uint8_t> EncodeMouseState(const VirtualMouseState& s) {
    MouseStateHeader h{};
    h.magic = kMouseStateMagic;
    h.version = kMouseStateVersion;
    h.fileSize = static_cast<std::uint32_t>(kMouseStateFileSize);
    h.firmware = s.firmware;
    h.mode = s.mode;
    h.resolution = s.resolution;
    h.dpiLevel = s.dpiLevel;
    h.plugged = s.plugged ? 1 : 0;
    h.modelTiming = s.modelTiming ? 1 : 0;
    h.fault = static_cast<std::uint8_t>(s.fault);
    h.lastStatus = s.lastStatus;
    h.lastValue = s.lastValue;
    h.faultFromCommand = s.faultFromCommand;
    h.unplugAfterCommands = s.unplugAfterCommands;
    h.commandCount = s.commandCount;
    h.readyAtMs = s.readyAtMs;
    for (std::size_t id = 0; id < s.params.size(); ++id) {
        std::memcpy(h.params[id], s.params[id].data(), kDpiLevelCount);
    }
    const std::size_t events = std::min(s.events.size(), kMaxQueuedEvents);
    h.eventCount = static_cast<std::uint32_t>(events);
    std::copy_n(s.events.begin(), events, h.events);
    h.flashedBytes = s.flashedBytes;
    h.flashCrc = s.flashCrc;
    h.firmwareSize = s.firmwareSize;
    h.firmwareCrc = s.firmwareCrc;

    std::vector<std::uint8_t> bytes(kMouseStateFileSize, 0);
    std::memcpy(bytes.data(), &h, sizeof h);
    std::memcpy(bytes.data() + kMouseMemoryOffset, s.memory.data(),
                std::min<std::size_t>(s.memory.size(), kMemorySize));
    const std::uint32_t sum = Checksum(bytes);
    std::memcpy(bytes.data() + offsetof(MouseStateHeader, checksum), &sum, sizeof sum);
    return bytes;
}

bool DecodeMouseState(const std::vector<std::uint8_t>& bytes, VirtualMouseState& s,
                      StateFileError* error) {
    MouseStateHeader h;
    if (bytes.size() < sizeof h) {
        SetError(error, StateFileError::TooShort);
        return false;
    }
    std::memcpy(&h, bytes.data(), sizeof h);
    if (h.magic != kMouseStateMagic) {
        SetError(error, StateFileError::BadMagic);
        return false;
    }
    if (h.version != kMouseStateVersion) {
        SetError(error, StateFileError::BadVersion);
        return false;
    }
    if (h.fileSize != kMouseStateFileSize || bytes.size() != kMouseStateFileSize) {
        SetError(error, bytes.size() < kMouseStateFileSize ? StateFileError::TooShort
                                                           : StateFileError::BadSize);
        return false;
    }
    if (Checksum(bytes) != h.checksum) {
        SetError(error, StateFileError::BadChecksum);
        return false;
    }
    if (h.mode >= kModeCount || h.dpiLevel >= kDpiLevelCount || h.plugged > 1 ||
        h.modelTiming > 1 || h.fault > static_cast<std::uint8_t>(MouseFault::Stall) ||
        h.eventCount > kMaxQueuedEvents || h.flashedBytes > kMaxFirmwarePayload ||
        h.firmwareSize > kMaxFirmwarePayload) {
        SetError(error, StateFileError::BadValue);
        return false;
    }
    VirtualMouseState out;
    out.firmware = h.firmware;
    out.mode = h.mode;
    out.resolution = h.resolution;
    out.dpiLevel = h.dpiLevel;
    out.plugged = h.plugged != 0;
    out.modelTiming = h.modelTiming != 0;
    out.fault = static_cast<MouseFault>(h.fault);
    out.lastStatus = h.lastStatus;
    out.lastValue = h.lastValue;
    out.faultFromCommand = h.faultFromCommand;
    out.unplugAfterCommands = h.unplugAfterCommands;
    out.commandCount = h.commandCount;
    out.readyAtMs = h.readyAtMs;
    for (std::size_t id = 0; id < out.params.size(); ++id) {
        std::memcpy(out.params[id].data(), h.params[id], kDpiLevelCount);
    }
    out.events.assign(h.events, h.events + h.eventCount);
    out.flashedBytes = h.flashedBytes;
    out.flashCrc = h.flashCrc;
    out.firmwareSize = h.firmwareSize;
    out.firmwareCrc = h.firmwareCrc;
    std::memcpy(out.memory.data(), bytes.data() + kMouseMemoryOffset, kMemorySize);
    s = std::move(out);
    SetError(error, StateFileError::None);
    return true;
}

bool LoadMouseState(const std::filesystem::path& path, VirtualMouseState& state,
                    StateFileError* error) {
    std::vector<std::uint8_t> bytes;
    FileError fe = FileError::None;
    // A little more than the file's size, so an oversized file is recognised as such.
    if (!ReadFileBytes(path, bytes, &fe, kMouseStateFileSize + 1)) {
        SetError(error, fe == FileError::AccessDenied ? StateFileError::AccessDenied
                                                      : StateFileError::NotFound);
        return false;
    }
    return DecodeMouseState(bytes, state, error);
}

bool SaveMouseState(const std::filesystem::path& path, const VirtualMouseState& state,
                    StateFileError* error) {
    const std::vector<std::uint8_t> bytes = EncodeMouseState(state);
    FileError fe = FileError::None;
    if (!WriteFileAtomic(path, bytes, &fe)) {
        SetError(error, fe == FileError::NotFound       ? StateFileError::NotFound
                        : fe == FileError::AccessDenied ? StateFileError::AccessDenied
                                                        : StateFileError::WriteFailed);
        return false;
    }
    SetError(error, StateFileError::None);
    return true;
}

MouseStateLock::MouseStateLock(std::filesystem::path statePath, std::uint32_t waitMs)
    : lockPath_(std::move(statePath)) {
    lockPath_ += ".lock";
    std::error_code ec;
    const std::filesystem::path folder =
        lockPath_.has_parent_path() ? lockPath_.parent_path() : std::filesystem::path(".");
    for (std::uint32_t waited = 0;; waited += kLockRetryMs) {
        if (std::filesystem::create_directory(lockPath_, ec)) {
            held_ = true;
            return;
        }
        // Without the state file's folder there is nothing to lock.
        if (!std::filesystem::exists(lockPath_, ec) && !std::filesystem::is_directory(folder, ec)) {
            return;
        }
        if (waited >= waitMs) {
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(kLockRetryMs));
    }
    // Held far longer than any update takes: its owner is gone. Take it over.
    std::filesystem::remove(lockPath_, ec);
    held_ = std::filesystem::create_directory(lockPath_, ec);
}

MouseStateLock::~MouseStateLock() {
    if (held_) {
        std::error_code ec;
        std::filesystem::remove(lockPath_, ec);
    }
}

bool UpdateMouseState(const std::filesystem::path& path, Clock& clock,
                      const std::function<bool(VirtualMouse&)>& change, StateFileError* error) {
    MouseStateLock lock(path);
    if (!lock.held()) {
        SetError(error, LockFailure(path));
        return false;
    }
    VirtualMouseState state;
    if (!LoadMouseState(path, state, error)) {
        return false;
    }
    VirtualMouse mouse(clock, std::move(state));
    if (!change(mouse)) {
        SetError(error, StateFileError::None);
        return false;
    }
    return SaveMouseState(path, mouse.state(), error);
}

bool ReadMouseState(const std::filesystem::path& path, VirtualMouseState& state,
                    StateFileError* error) {
    MouseStateLock lock(path);
    if (!lock.held()) {
        SetError(error, LockFailure(path));
        return false;
    }
    return LoadMouseState(path, state, error);
}

std::uint32_t WallClock::tickMs() {
    const auto now = std::chrono::system_clock::now().time_since_epoch();
    return static_cast<std::uint32_t>(
        std::chrono::duration_cast<std::chrono::milliseconds>(now).count());
}

void WallClock::sleepMs(std::uint32_t ms) {
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

bool VirtualMouseFileTransport::open() {
    VirtualMouseState state;
    open_ = false;
    if (!ReadMouseState(path_, state, &lastError_)) {
        return false;
    }
    open_ = state.plugged;
    return open_;
}

bool VirtualMouseFileTransport::stall() {
    clock_.sleepMs(kTransferLimitMs);
    timedOut_ = true;
    return false;
}

bool VirtualMouseFileTransport::takesReports() {
    VirtualMouseState state;
    if (!ReadMouseState(path_, state)) {
        return true;  // the write finds out what is wrong
    }
    return !VirtualMouse(clock_, std::move(state)).stalled();
}

bool VirtualMouseFileTransport::writeReport(std::span<const std::uint8_t, kReportSize> frame) {
    timedOut_ = false;
    if (!open_) {
        return false;
    }
    // A refused report can still change the mouse (it may have just gone away): always save,
    // except for a stalled mouse, which does not change at all.
    bool accepted = false;
    bool stalled = false;
    const bool saved = UpdateMouseState(path_, clock_, [&](VirtualMouse& mouse) {
        stalled = mouse.stalled();
        accepted = !stalled && mouse.handleOutputReport(frame);
        return !stalled;
    });
    if (stalled) {
        return stall();
    }
    return saved && accepted;
}

bool VirtualMouseFileTransport::getInputReport(std::span<std::uint8_t, kReportSize> frame) {
    timedOut_ = false;
    VirtualMouseState state;
    if (!open_ || !ReadMouseState(path_, state)) {
        return false;
    }
    const VirtualMouse mouse(clock_, std::move(state));
    return mouse.inputReport(frame);
}

}  // namespace q350
