#pragma once

// Writing a whole profile into the mouse: the fourteen button words of each mode, the macros those
// buttons use, the DPI levels, report rate, lift-off value and the lighting of both zones, in one
// fixed sequence, under the device mutex, with progress reported as it goes.
#include "config/macro_library.h"  // first: it reads the device headers

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

// Progress positions: start, start of each mode, 2 x button step (2..84), parameters, lighting,
// done.
inline constexpr int kProgressStart = 0;
inline constexpr int kProgressMode = 5;
inline constexpr int kProgressParameters = 90;
inline constexpr int kProgressLighting = 95;
inline constexpr int kProgressDone = 100;

// Waits of the sequence (milliseconds).
inline constexpr std::uint32_t kDownloadStartPauseMs = 20;
inline constexpr std::uint32_t kCommandPauseMs = 3;
inline constexpr std::uint32_t kDownloadDonePauseMs = 300;

// Ranges the pages keep every value in.
inline constexpr std::int32_t kDpiValueMin = 1;  // units of 100 DPI
inline constexpr std::int32_t kDpiValueMax = 82;
inline constexpr std::int32_t kLiftMax = 30;
inline constexpr std::int32_t kLedEffectMax = 4;
inline constexpr std::int32_t kLedSpeedMax = 4;
inline constexpr std::int32_t kLedBrightnessMax = 9;

struct Rgb {
    std::uint32_t red = 0, green = 0, blue = 0;
};
// Brightness scaling of a colour for the always-on effect: the largest component becomes
// (2a)/10 + (M mod 23) + 23(a + 1) and the others keep their proportion to it.
Rgb ScaleBrightness(Rgb colour, std::int32_t brightness);
inline constexpr std::int32_t kEffectSteady = 1;  // the effect whose colour is scaled

// The values the download sends for the DPI levels: X[mode][level] and Y[mode][level].
struct DpiTables {
    std::array<std::array<std::uint32_t, kDpiLevels>, kModeCount> x{};
    std::array<std::array<std::uint32_t, kDpiLevels>, kModeCount> y{};
};
DpiTables BuildDpiTables(const ProfileData& profile);

// Copies the profile with every value the pages cannot produce brought into range; each change
// is described in corrections ("mode 2: report rate 7 sent as 8").
void SanitizeForDevice(ProfileData& profile, std::vector<std::string>* corrections);

struct DownloadReport {
    bool ok = false;
    int buttonWordsWritten = 0;
    int macrosUploaded = 0;
    std::vector<std::string> failures;     // steps whose result was a failure
    // Macro buttons whose macro is missing or unused; each was written as a disabled button.
    std::vector<std::string> skipped;
    std::vector<std::string> corrections;  // values brought into range before sending
};

// Everything a download reads and writes.
struct DownloadJob {
    const ProfileData* profile = nullptr;
    ProfileSlot* slot = nullptr;  // the active slot: its buttonMacroId takes the pending ids
    const std::int32_t (*pendingMacroId)[kButtonCount] = nullptr;  // [mode][button], may be null
    const MacroLibrary* macros = nullptr;                          // may be null: no macros
    DeviceCommands* device = nullptr;
    int* currentMode = nullptr;  // the process-wide mode the device's button writes address
    std::mutex* deviceMutex = nullptr;
    Clock* clock = nullptr;
    std::function<void(int)> progress;         // percentages as the sequence goes
    PointerSettingsApplier* pointer = nullptr;  // the restored mode's pointer settings
    Notifier* notifier = nullptr;               // told when values were brought into range
    bool chinese = false;                       // the language of what the notifier is told
};

// Told (through the job's notifier) when macro buttons were switched off; "office 13, FPS 2"
// follows.
inline constexpr std::string_view kMissingMacroNotice =
    "The macro of these buttons is missing; they were switched off:";
inline constexpr std::string_view kMissingMacroNoticeChinese = "以下按键的宏已不存在，已被禁用:";

// Runs the whole sequence; true only when every step whose result is known succeeded. The
// sequence always runs to its end: a failed step does not stop it.
bool DownloadProfile(const DownloadJob& job, DownloadReport* report = nullptr);

}  // namespace q350
