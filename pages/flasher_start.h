#pragma once

// Handing the mouse to the flasher without ever stranding it. The flasher is started at most once
// in a run of the program, whether the firmware check or a mouse found in its update mode at
// start-up asks for it; the program closes only once it really started. When the flasher cannot
// be started (missing, refused by the system), the program stays open and says so, and the mouse,
// perhaps in its update mode, is left to be plugged in again.
#include <functional>
#include <string_view>

namespace q350::pages {

enum class FlasherStart {
    Started,         // the flasher runs: the program closes
    Failed,          // it could not be started: the message, and the program works on
    AlreadyStarted,  // this run started it before: nothing again
};

class FlasherOnce {
public:
    // Runs launch (true when the flasher was started) unless this run already tried.
    FlasherStart start(const std::function<bool()>& launch);
    bool tried() const { return tried_; }

private:
    bool tried_ = false;
};

// The one of this process (UI thread only).
FlasherOnce& ProcessFlasher();

// The message box text when the flasher could not be started.
std::u16string_view FlasherFailedText(bool chinese);

}  // namespace q350::pages
