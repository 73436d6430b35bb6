#pragma once

// The mouse's command set over a HidChannel: three one-byte queries, memory writes and the
// parameters that are set for all three modes at once. Every wait of the protocol goes through the
// clock. Nothing here is shown to the user; operations report true or false.
#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>

#include "base/clock.h"
#include "device/hid_channel.h"

namespace q350 {

class DeviceCommands {
public:
    DeviceCommands(HidChannel& channel, Clock& clock) : channel_(channel), clock_(clock) {}
    // currentMode names the mode that writeButtonWord(button, word) addresses (tools and probes
    // that write one mode).
    DeviceCommands(HidChannel& channel, Clock& clock, std::function<int()> currentMode)
        : channel_(channel), clock_(clock), currentMode_(std::move(currentMode)) {}

    // 0xA2, 0xA3 or 0xA9. On success value holds the reply's value byte; otherwise it is untouched.
    bool query(std::uint8_t opcode, std::uint32_t& value);
    // Writes the word of button 1...14 into the block of mode 0...2; true when confirmed.
    bool writeButtonWord(int mode, int button, std::uint32_t word);
    // The same into the block of the mode the constructor's function names.
    bool writeButtonWord(int button, std::uint32_t word);
    // Writes any number of bytes in chunks of 24; stops at the first chunk the mouse does not
    // confirm.
    bool writeBlock(std::uint32_t address, const std::uint8_t* data, std::size_t length);
    // One chunk of 1...24 bytes with its wait (120 ms for 24 bytes, 5 ms a byte otherwise); true
    // when confirmed.
    bool writeChunk(std::uint32_t address, const std::uint8_t* data, std::size_t n);
    // Ids 0x0B...0x16 without the colours: one value per mode. Done once sent; confirmed, when
    // given, tells whether the mouse also confirmed it.
    bool setParameter(std::uint8_t id, const std::array<std::uint32_t, 3>& values,
                      bool* confirmed = nullptr);
    // Ids 0x01...0x03 and 0x13...0x15: one value per mode. Done only when the mouse confirms.
    bool setColourComponent(std::uint8_t id, const std::array<std::uint32_t, 3>& values);
    // Ids 5...10: four levels in units of 100 DPI, each sent doubled. Done once sent.
    bool setDpiLevels(std::uint8_t id, std::uint32_t l1, std::uint32_t l2, std::uint32_t l3,
                      std::uint32_t l4, bool* confirmed = nullptr);

private:
    // Polls for status 1 with receives of n bytes; buffer starts with what was sent.
    bool poll(std::uint8_t* buffer, std::size_t n);
    bool sendChunk(std::uint32_t address, const std::uint8_t* data, std::size_t n,
                   std::uint32_t waitMs);
    // Sends A6, id and the values; true when the send went out; done tells whether it was
    // confirmed.
    bool sendParameter(std::uint8_t id, const std::uint8_t* values, std::size_t count, bool& done);

    HidChannel& channel_;
    Clock& clock_;
    std::function<int()> currentMode_;
};

}  // namespace q350
