#pragma once

// Writing a whole profile into the mouse: the fourteen button words of each mode, the macros those
// buttons use, the DPI levels, report rate, lift-off value and the lighting of both zones, in one
// fixed sequence, under the device mutex, with progress reported as it goes.
#include "config/download_plan.h"  // first: it reads the device headers

#include "config/acknowledged_state.h"

#include <array>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "base/clock.h"
#include "base/notifier.h"
#include "base/pointer_settings.h"
#include "config/profile_data.h"

namespace q350 {

struct DownloadReport {
    bool ok = false;
    int buttonWordsWritten = 0;
    int macrosUploaded = 0;       // macro buttons whose program the mouse now holds
    int commandsSent = 0;         // commands that went to the mouse
    int commandsSkipped = 0;      // commands left out because the mouse already held their value
    std::vector<std::string> failures;     // steps whose result was a failure
    // Macro buttons whose macro is missing or unused; each was written as a disabled button.
    std::vector<std::string> skipped;
    std::vector<std::string> corrections;  // values brought into range before sending
    // The slot's macro ids with the pending ones taken over: what the slot holds once the
    // download went well (the caller stores them on its own thread).
    std::array<std::array<std::int32_t, kButtonCount>, kModeCount> macroIds{};
};

// Everything a download reads and writes.
struct DownloadJob {
    const ProfileData* profile = nullptr;
    const ProfileSlot* slot = nullptr;  // the active slot: the buttons' macro ids
    const std::int32_t (*pendingMacroId)[kButtonCount] = nullptr;  // [mode][button], may be null
    const MacroLibrary* macros = nullptr;                          // may be null: no macros
    DeviceCommands* device = nullptr;
    std::mutex* deviceMutex = nullptr;
    Clock* clock = nullptr;
    // What the mouse already holds: commands whose value it holds are left out, and what the
    // mouse confirms is added. Null: everything is sent and nothing is remembered.
    AcknowledgedState* held = nullptr;
    bool full = false;             // send every command whatever the mouse holds
    bool endPause = true;          // the 300 ms at 100 that lets the user see the bar full
    int pointerMode = 0;           // the mode whose Windows pointer settings apply afterwards
    std::function<void(int)> progress;         // percentages as the sequence goes
    PointerSettingsApplier* pointer = nullptr;  // the mode's pointer settings
    Notifier* notifier = nullptr;               // told when values were brought into range
    bool chinese = false;                       // the language of what the notifier is told
};

// Told (through the job's notifier) when macro buttons were switched off; "office 13, FPS 2"
// follows.
inline constexpr std::string_view kMissingMacroNotice =
    "The macro of these buttons is missing; they were switched off:";
inline constexpr std::string_view kMissingMacroNoticeChinese = "以下按键的宏已不存在，已被禁用:";

// Runs the plan of the job's profile, less what the mouse already holds, under the device mutex;
// true only when every step whose result is known succeeded. The sequence always runs to its
// end: a failed step does not stop it. Nothing but the mouse, the job's record of what it holds
// and the report is written.
bool DownloadProfile(const DownloadJob& job, DownloadReport* report = nullptr);

}  // namespace q350
