#include "device/device_commands.h"

#include <cstring>

namespace q350 {

namespace {

void PutAddress(std::uint8_t* out, std::uint32_t address) {
    out[0] = static_cast<std::uint8_t>(address >> 24);
    out[1] = static_cast<std::uint8_t>(address >> 16);
    out[2] = static_cast<std::uint8_t>(address >> 8);
    out[3] = static_cast<std::uint8_t>(address);
}

}  // namespace

bool DeviceCommands::poll(std::uint8_t* buffer, std::size_t n) {
    for (int i = 0; i < kMaxPolls && buffer[0] != kStatusDone; ++i) {
        clock_.sleepMs(kPollIntervalMs);
        // A failed receive leaves the buffer as it was; the next poll tries again.
        channel_.receive(buffer, n);
    }
    return buffer[0] == kStatusDone;
}

bool DeviceCommands::query(std::uint8_t opcode, std::uint32_t& value) {
    std::uint8_t buffer[2] = {opcode, 0};
    if (!channel_.send(buffer, 1)) {
        return false;
    }
    if (!poll(buffer, 2)) {
        return false;
    }
    value = buffer[1];
    return true;
}

bool DeviceCommands::writeButtonWord(int button, std::uint32_t word) {
    return writeButtonWord(currentMode_ ? currentMode_() : -1, button, word);
}

bool DeviceCommands::writeButtonWord(int mode, int button, std::uint32_t word) {
    if (mode < 0 || mode >= kModeCount || button < 1 || button > kButtonCount) {
        return false;
    }
    std::uint8_t buffer[kWriteHeaderSize + 4];
    buffer[0] = kOpWriteMemory;
    PutAddress(buffer + 1, ButtonWordAddress(mode, button));
    buffer[5] = 4;
    for (int i = 0; i < 4; ++i) {
        buffer[kWriteHeaderSize + i] = static_cast<std::uint8_t>(word >> (8 * i));
    }
    if (!channel_.send(buffer, sizeof buffer)) {
        return false;
    }
    clock_.sleepMs(kButtonWordWaitMs);
    return poll(buffer, 1);
}

bool DeviceCommands::sendChunk(std::uint32_t address, const std::uint8_t* data, std::size_t n,
                               std::uint32_t waitMs) {
    std::uint8_t buffer[kMaxPayload] = {};
    buffer[0] = kOpWriteMemory;
    PutAddress(buffer + 1, address);
    buffer[5] = static_cast<std::uint8_t>(n);
    std::memcpy(buffer + kWriteHeaderSize, data, n);
    const std::size_t sent = n == kMaxWriteChunk ? kFullChunkPayload : kWriteHeaderSize + n;
    if (!channel_.send(buffer, sent)) {
        return false;
    }
    clock_.sleepMs(waitMs);
    return poll(buffer, 1);
}

bool DeviceCommands::writeBlock(std::uint32_t address, const std::uint8_t* data,
                                std::size_t length) {
    if (data == nullptr || length == 0) {
        return false;
    }
    if (address < kWordAlignedLimit && length % 4 != 0) {
        return false;
    }
    // Compared without wrap-around: a length beyond the memory size never slips through.
    if (length >= kMemorySize || address >= kMemorySize - length) {
        return false;
    }
    while (length >= kMaxWriteChunk) {
        if (!writeChunk(address, data, kMaxWriteChunk)) {
            return false;
        }
        address += kMaxWriteChunk;
        data += kMaxWriteChunk;
        length -= kMaxWriteChunk;
    }
    if (length == 0) {
        return true;
    }
    return writeChunk(address, data, length);
}

bool DeviceCommands::writeChunk(std::uint32_t address, const std::uint8_t* data, std::size_t n) {
    if (data == nullptr || n == 0 || n > kMaxWriteChunk) {
        return false;
    }
    return sendChunk(address, data, n, n == kMaxWriteChunk ? kFullChunkWaitMs : ShortChunkWaitMs(n));
}

bool DeviceCommands::sendParameter(std::uint8_t id, const std::uint8_t* values, std::size_t count,
                                   bool& done) {
    std::uint8_t buffer[2 + kDpiLevelCount] = {kOpSetParameter, id};
    std::memcpy(buffer + 2, values, count);
    if (!channel_.send(buffer, 2 + count)) {
        done = false;
        return false;
    }
    done = poll(buffer, 1);
    return true;
}

bool DeviceCommands::setParameter(std::uint8_t id, const std::array<std::uint32_t, 3>& values,
                                  bool* confirmed) {
    std::uint8_t bytes[3];
    for (std::size_t m = 0; m < 3; ++m) {
        std::uint32_t v = values[m];
        if (id == kParamLiftOff && v < kMinLiftOff) {
            v = kMinLiftOff;
        }
        bytes[m] = static_cast<std::uint8_t>(v);
    }
    bool done = false;
    const bool sent = sendParameter(id, bytes, 3, done);
    if (confirmed) {
        *confirmed = done;
    }
    return sent;
}

bool DeviceCommands::setColourComponent(std::uint8_t id,
                                        const std::array<std::uint32_t, 3>& values) {
    const std::uint8_t bytes[3] = {static_cast<std::uint8_t>(values[0]),
                                   static_cast<std::uint8_t>(values[1]),
                                   static_cast<std::uint8_t>(values[2])};
    bool done = false;
    return sendParameter(id, bytes, 3, done) && done;
}

bool DeviceCommands::setDpiLevels(std::uint8_t id, std::uint32_t l1, std::uint32_t l2,
                                  std::uint32_t l3, std::uint32_t l4, bool* confirmed) {
    const std::uint8_t bytes[kDpiLevelCount] = {
        static_cast<std::uint8_t>(2 * l1), static_cast<std::uint8_t>(2 * l2),
        static_cast<std::uint8_t>(2 * l3), static_cast<std::uint8_t>(2 * l4)};
    bool done = false;
    const bool sent = sendParameter(id, bytes, kDpiLevelCount, done);
    if (confirmed) {
        *confirmed = done;
    }
    return sent;
}

}  // namespace q350
