#pragma once

// What the program does on the desktop when the kernel driver reports an event: every event is
// passed on to the statistics; a host-action button press opens, plays or runs something named by
// the pressed button's settings; a change of resolution shows the DPI indicator. The decision is
// plain code; the desktop and the mouse are reached through the small interfaces below.
#include <cstdint>
#include <string>
#include <string_view>

#include "app/driver_events.h"
#include "config/profile_data.h"

namespace q350::app {

// Command lines of the screenshot tool, found through the program search path.
inline constexpr char kShotDesktopCommand[] = "ScreenGrab.exe -t desktop -p";
inline constexpr char kShotWindowCommand[] = "ScreenGrab.exe -t window -p";
inline constexpr char kShotRegionCommand[] = "ScreenGrab.exe -t region -p";

struct HostAction {
    enum class Type {
        None,
        Open,       // hand target to the shell with the verb "open"
        PlaySound,  // play target as a sound file, without waiting
        Run,        // start commandLine, without waiting
        ShowDpi,    // show the DPI indicator at dpiLevel
    };
    Type type = Type::None;
    std::u16string target;
    std::string commandLine;
    int dpiLevel = 0;  // units of 100 DPI, within the indicator's range

    bool operator==(const HostAction&) const = default;
};

// The two questions the handler asks the mouse. Each is false when the mouse did not answer.
class EventQueries {
public:
    virtual ~EventQueries() = default;
    virtual bool queryMode(std::uint32_t& mode) = 0;              // 0...2
    virtual bool queryResolution(std::uint32_t& resolution) = 0;  // units of 50 DPI
};

// The desktop side of the actions. Each call starts something and forgets it.
class HostShell {
public:
    virtual ~HostShell() = default;
    virtual void open(std::u16string_view target) = 0;
    virtual void playSound(std::u16string_view file) = 0;
    virtual void run(std::string_view commandLine) = 0;
};

// The level the DPI indicator shows for an A9 reply (units of 50 DPI): half of it, or the
// indicator's minimum when that half lies outside its range.
int DpiIndicatorLevel(std::uint32_t resolution);

// The action for one event word. mode is the mouse's mode (0 when it could not be read; any value
// above 2 counts the same), resolution the A9 reply (0 when it could not be read).
HostAction DecideHostAction(std::uint32_t eventWord, std::uint32_t mode, const ProfileData& profile,
                            std::uint32_t resolution);

// Handles one event from the driver on the window's thread: passes it to the statistics, asks the
// mouse only what the event needs (the mode for a button's action, the resolution for a DPI
// change), then carries out the action. A mode the mouse does not answer with is the host's
// known mode.
void HandleDriverEvent(std::uint32_t eventWord, const ProfileData& profile, EventQueries& queries,
                       HostShell& shell, DriverEventHost& host);

}  // namespace q350::app
