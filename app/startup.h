#pragma once

// Start-up and run-time decisions of the program that need no window: the program folder, finding
// the mouse on USB, which way start-up goes, when the window shows itself, the tray icon's mouse
// messages, the DPI indicator's countdown and the keys the window never sees.
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "base/clock.h"

namespace q350::app {

// The folder of the executable, up to and including the last backslash, at most 259 characters;
// empty when the path has no backslash.
inline constexpr std::size_t kMaxProgramFolderChars = 259;
std::u16string ProgramFolderFromExePath(std::u16string_view exePath);

// USB hardware-id fragments of the mouse in normal operation and in its firmware-update mode.
inline constexpr std::u16string_view kMouseHardwareId = u"VID_3F5C&PID_4106";
inline constexpr std::u16string_view kUpdateModeHardwareId = u"VID_3F5C&PID_4001";

// Whether a device's first hardware id contains the fragment (ASCII case ignored).
bool HardwareIdMatches(std::u16string_view hardwareId, std::u16string_view fragment);

struct MousePresence {
    bool normal = false;      // found in normal operation
    bool updateMode = false;  // found in firmware-update mode
};

inline constexpr int kPresenceAttempts = 2;
inline constexpr std::uint32_t kPresenceRetryMs = 500;

// Looks for the mouse: up to two attempts 500 ms apart, each searching the normal id and then the
// update-mode id, stopping once the mouse is found in normal operation. The result is that of
// the last attempt.
MousePresence FindMouse(const std::function<bool(std::u16string_view fragment)>& search,
                        Clock& clock);

enum class StartPath {
    Run,           // mouse present: run and start the updater
    HandToFlasher, // firmware-update mode: start the flasher and close
    NotFound,      // no mouse: notice, then close
};
StartPath ChooseStartPath(const MousePresence& presence);

// The notice shown when the mouse is missing at start-up or unplugged.
std::u16string_view MouseNotFoundText(bool chinese);

// Whether a removed device interface is the mouse (its name holds the normal-operation id).
bool IsMouseRemoval(std::u16string_view deviceInterfaceName);

// Timer 3: the window shows itself only when the system has been up longer than five minutes.
// The uptime is a 64-bit count: a 32-bit tick count starts again from zero every 49.7 days.
inline constexpr std::uint64_t kShowWindowUptimeMs = 300000;
inline bool ShowWindowAtStart(std::uint64_t uptimeMs) { return uptimeMs > kShowWindowUptimeMs; }

// Mouse messages of the tray icon (and of a second copy of the program).
inline constexpr std::intptr_t kTrayDoubleClick = 515;
inline constexpr std::intptr_t kTrayRightUp = 517;
enum class TrayAction { None, ShowWindow, ShowMenu };
TrayAction TrayActionFor(std::intptr_t mouseMessage);

// Timer 2: the DPI indicator stays for ten 200 ms ticks.
class DpiIndicatorCountdown {
public:
    static constexpr int kTicks = 10;
    void restart() { ticks_ = 0; }
    // One tick; true when the indicator is to be hidden now (the countdown starts again).
    bool tick() {
        if (++ticks_ >= kTicks) {
            ticks_ = 0;
            return true;
        }
        return false;
    }
    int ticks() const { return ticks_; }

private:
    int ticks_ = 0;
};

// Enter, Escape and Space never reach the main window or its controls.
bool IsFilteredKey(std::uint32_t message, std::uintptr_t virtualKey);

}  // namespace q350::app
