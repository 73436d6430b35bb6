#pragma once

// The mouse's HID protocol: report framing, the five commands, their status byte, the parameter ids
// and the parts of the mouse's memory that the program writes.
#include <array>
#include <cstddef>
#include <cstdint>

namespace q350 {

// Every report in either direction is 32 bytes and starts with this report id.
inline constexpr std::size_t kReportSize = 32;
inline constexpr std::uint8_t kReportId = 0xBA;
// Payload bytes after the report id.
inline constexpr std::size_t kMaxPayload = kReportSize - 1;

// How the program finds the mouse's vendor-defined interface.
inline constexpr std::uint16_t kMouseVendorId = 0x3F5C;
inline constexpr std::uint16_t kMouseProductId = 0x4106;
inline constexpr std::uint16_t kMouseUsagePage = 0xFF00;
inline constexpr std::uint16_t kMouseUsage = 14;
inline constexpr char16_t kMouseHardwareId[] = u"VID_3F5C&PID_4106";

using Report = std::array<std::uint8_t, kReportSize>;

// Command opcodes (payload byte 1 of the output report).
enum Opcode : std::uint8_t {
    kOpQueryMode = 0xA2,        // reply value: current mode 0...2
    kOpQueryFirmware = 0xA3,    // reply value: firmware version, 0 = none
    kOpWriteMemory = 0xA5,      // A5, address (4 bytes, big-endian), n <= 24, n data bytes
    kOpSetParameter = 0xA6,     // A6, parameter id, the parameter's values
    kOpQueryResolution = 0xA9,  // reply value: current resolution in units of 50 DPI
};

// Reply byte 0. The mouse reports 1 once a command is carried out; anything else means "not (yet)".
inline constexpr std::uint8_t kStatusBusy = 0;
inline constexpr std::uint8_t kStatusDone = 1;
inline constexpr std::uint8_t kStatusRejected = 2;

// A5 header: opcode, four address bytes, count.
inline constexpr std::size_t kWriteHeaderSize = 6;
inline constexpr std::size_t kMaxWriteChunk = 24;
// A full chunk goes out as a whole report's payload: header, 24 data bytes and one zero byte.
inline constexpr std::size_t kFullChunkPayload = kMaxPayload;
static_assert(kWriteHeaderSize + kMaxWriteChunk < kFullChunkPayload);

// Parameter ids of A6.
enum ParameterId : std::uint8_t {
    kParamRed0 = 0x01,
    kParamBlue0 = 0x02,
    kParamGreen0 = 0x03,
    kParamDpiX0 = 0x05,  // 0x05...0x07: X resolution of levels 1...4 of modes 0, 1, 2
    kParamDpiX1 = 0x06,
    kParamDpiX2 = 0x07,
    kParamDpiY0 = 0x08,  // 0x08...0x0A: Y resolution of the levels of modes 0, 1, 2
    kParamDpiY1 = 0x09,
    kParamDpiY2 = 0x0A,
    kParamReportRate = 0x0B,
    kParamLiftOff = 0x0C,
    kParamEffect0 = 0x0D,
    kParamTopLevel = 0x0E,  // number of DPI levels minus one
    kParamProximity = 0x10,
    kParamSpeed0 = 0x11,
    kParamEffect1 = 0x12,
    kParamRed1 = 0x13,
    kParamBlue1 = 0x14,
    kParamGreen1 = 0x15,
    kParamSpeed1 = 0x16,
};
inline constexpr std::uint8_t kHighestParameterId = kParamSpeed1;
inline constexpr std::size_t kDpiLevelCount = 4;
// The lowest lift-off value the mouse accepts; smaller values are sent as this.
inline constexpr std::uint32_t kMinLiftOff = 5;

inline constexpr bool IsDpiParameter(std::uint8_t id) {
    return id >= kParamDpiX0 && id <= kParamDpiY2;
}
inline constexpr bool IsKnownParameter(std::uint8_t id) {
    return id >= kParamRed0 && id <= kHighestParameterId && id != 0x04 && id != 0x0F;
}
// Bytes of values an A6 command carries for a parameter: one per mode, or one per DPI level.
inline constexpr std::size_t ParameterValueCount(std::uint8_t id) {
    return IsDpiParameter(id) ? kDpiLevelCount : 3;
}

inline constexpr int kModeCount = 3;
inline constexpr int kButtonCount = 14;

// Memory map.
inline constexpr std::uint32_t kMemorySize = 0x20000;  // no write may reach this address
inline constexpr std::uint32_t kButtonBlockBase = 0x0400;
inline constexpr std::uint32_t kButtonBlockStride = 0x200;
inline constexpr std::uint32_t kButtonBlockSize = 64;
// Below this address writes must be whole 32-bit words.
inline constexpr std::uint32_t kWordAlignedLimit = 0x1000;
inline constexpr std::uint32_t kMacroSlotBase = 0x1000;
inline constexpr std::uint32_t kMacroSlotSize = 0x1000;
inline constexpr int kMacroSlotCount = 18;

// Offset of button 1...14's word inside its mode's block (0x14 and 0x18 belong to no button).
inline constexpr std::array<std::uint32_t, kButtonCount> kButtonWordOffset = {
    0x00, 0x04, 0x08, 0x38, 0x3C, 0x0C, 0x10, 0x1C, 0x20, 0x24, 0x28, 0x2C, 0x30, 0x34};

inline constexpr std::uint32_t ButtonBlockAddress(int mode) {
    return kButtonBlockBase + kButtonBlockStride * static_cast<std::uint32_t>(mode);
}
inline constexpr std::uint32_t ButtonWordAddress(int mode, int button) {
    return ButtonBlockAddress(mode) + kButtonWordOffset[static_cast<std::size_t>(button - 1)];
}
inline constexpr std::uint32_t MacroSlotAddress(int slot) {
    return kMacroSlotBase * static_cast<std::uint32_t>(slot + 1);
}

// Waits of the protocol: the mouse's processing time after each kind of command.
inline constexpr std::uint32_t kButtonWordWaitMs = 50;
inline constexpr std::uint32_t kFullChunkWaitMs = 120;
inline constexpr std::uint32_t kPerPayloadByteWaitMs = 5;  // short chunks: per byte of payload
inline constexpr std::uint32_t kPollIntervalMs = 10;
inline constexpr int kMaxPolls = 5;

inline constexpr std::uint32_t ShortChunkWaitMs(std::size_t bytes) {
    return kPerPayloadByteWaitMs * static_cast<std::uint32_t>(bytes + kWriteHeaderSize);
}

}  // namespace q350
