#pragma once

// The conversation with the mouse's kernel driver (device "qvvmsd"): the 172-byte command block
// sent with kCtlDriverCommand, the 60-byte buffer of kCtlReadEvent, and the event word the driver
// hands over for each queued event. Both records are little-endian and byte-exact.
#include <cstddef>
#include <cstdint>

namespace q350 {

// The device the driver creates.
inline constexpr char16_t kDriverDevicePath[] = u"\\\\.\\qvvmsd";

// Buffered control codes of device type 0x22: (type << 16) | (access << 14) | (function << 2).
inline constexpr std::uint32_t DriverControlCode(std::uint32_t function) {
    return (0x22u << 16) | (function << 2);
}
inline constexpr std::uint32_t kCtlDriverCommand = DriverControlCode(0x903);
inline constexpr std::uint32_t kCtlReadEvent = DriverControlCode(0x902);
static_assert(kCtlDriverCommand == 0x22240C);
static_assert(kCtlReadEvent == 0x222408);

// Identifies the mouse to the driver: product id in the high half, vendor id in the low half.
inline constexpr std::uint32_t kDriverTag = 0x41063F5C;

// Commands of the command block.
enum DriverCommand : std::uint32_t {
    kDriverRegister = 1,    // hands the driver the event semaphore
    kDriverUnregister = 2,  // the program is leaving
    kDriverSetting4 = 4,    // start-up setting, sent after command 32
    kDriverSetting32 = 32,  // start-up setting, sent right after registering
};
inline constexpr std::uint32_t kSetting4First = 0x200;
inline constexpr std::uint32_t kSetting4Second = 0x70601;
inline constexpr std::uint32_t kSetting32Third = 0x00010003;

// Semaphore the driver releases once per queued event.
inline constexpr std::int32_t kEventSemaphoreInitial = 0;
inline constexpr std::int32_t kEventSemaphoreMaximum = 8000;
// Commit size of the worker thread that waits on it.
inline constexpr std::size_t kEventWorkerStackBytes = 4096;

struct DriverCommandBlock {
    std::uint32_t command;  // DriverCommand
    std::uint32_t param1;   // command 4: kSetting4First
    std::uint32_t param2;   // command 4: kSetting4Second
    std::uint32_t param3;   // command 32: kSetting32Third
    std::uint32_t param4;   // command 32: 0
    std::uint8_t reserved1[88];
    std::uint32_t tag;  // kDriverTag
    std::uint8_t reserved2[52];
    std::uint32_t semaphore;  // command 1: the event semaphore's handle value
    std::uint8_t reserved3[4];
};
static_assert(sizeof(DriverCommandBlock) == 172);
static_assert(offsetof(DriverCommandBlock, command) == 0);
static_assert(offsetof(DriverCommandBlock, param1) == 4);
static_assert(offsetof(DriverCommandBlock, param2) == 8);
static_assert(offsetof(DriverCommandBlock, param3) == 12);
static_assert(offsetof(DriverCommandBlock, param4) == 16);
static_assert(offsetof(DriverCommandBlock, reserved1) == 20);
static_assert(offsetof(DriverCommandBlock, tag) == 108);
static_assert(offsetof(DriverCommandBlock, reserved2) == 112);
static_assert(offsetof(DriverCommandBlock, semaphore) == 164);
static_assert(offsetof(DriverCommandBlock, reserved3) == 168);

// In and out buffer of kCtlReadEvent.
struct DriverEventBuffer {
    std::uint32_t event;  // out: the oldest queued event word
    std::uint32_t tag;    // in: kDriverTag
    std::uint8_t reserved[52];
};
static_assert(sizeof(DriverEventBuffer) == 60);
static_assert(offsetof(DriverEventBuffer, event) == 0);
static_assert(offsetof(DriverEventBuffer, tag) == 4);
static_assert(offsetof(DriverEventBuffer, reserved) == 8);

// Blocks as the program sends them; every field not named is zero. A handle value of the event
// semaphore always fits the 32-bit field (handles are shareable with 32-bit processes).
DriverCommandBlock MakeRegisterBlock(std::uint32_t semaphoreHandle);
DriverCommandBlock MakeUnregisterBlock();
DriverCommandBlock MakeSetting4Block();
DriverCommandBlock MakeSetting32Block();
DriverEventBuffer MakeEventReadBuffer();

// A command block as a driver reads it: command and semaphore, or nothing when the bytes are not a
// block of this mouse (wrong size or tag).
struct ReceivedCommand {
    bool valid = false;
    std::uint32_t command = 0;
    std::uint32_t semaphore = 0;
};
ReceivedCommand ReadCommandBlock(const void* bytes, std::size_t size);

// The event word. Host actions have bits 30, 15 and 14 set, the action kind in bits 8...11 and the
// index of the pressed button (in the mouse's current mode) in bits 0...3. Every other word is only
// counted by the statistics.
inline constexpr std::uint32_t kHostActionMask = 0x4000C000;
inline constexpr std::uint32_t kResolutionChangedEvent = 0x9001;

// Host action kinds (byte 2 of the button's device word minus 0xC0).
enum HostActionKind : int {
    kActionOpen = 2,
    kActionPlaySound = 3,
    kActionOpenQuoted = 4,
    kActionOpenQuotedAlt = 5,
    kActionOpenAlt = 8,
    kActionShotDesktop = 9,
    kActionShotWindow = 10,
    kActionShotRegion = 11,
};

class DeviceEvent {
public:
    constexpr explicit DeviceEvent(std::uint32_t word) : word_(word) {}
    constexpr std::uint32_t word() const { return word_; }
    constexpr bool isHostAction() const { return (word_ & kHostActionMask) == kHostActionMask; }
    constexpr int actionKind() const { return static_cast<int>((word_ >> 8) & 0xF); }
    constexpr int buttonIndex() const { return static_cast<int>(word_ & 0xF); }
    constexpr bool isResolutionChange() const { return word_ == kResolutionChangedEvent; }

private:
    std::uint32_t word_;
};

// The word the driver reports for a host-action button press.
inline constexpr std::uint32_t HostActionEventWord(int kind, int buttonIndex) {
    return kHostActionMask | ((static_cast<std::uint32_t>(kind) & 0xF) << 8) |
           (static_cast<std::uint32_t>(buttonIndex) & 0xF);
}

}  // namespace q350
