#pragma once

// The download as data: the ordered list of device commands that writes a whole profile into the
// mouse, each with the waits the sequence puts around it and the progress positions the full
// sequence reports before it. Computing the plan reads the profile, the slot's macro ids and the
// macro library and touches nothing else; running it is the worker's job (profile_download.h).
#include "config/macro_library.h"  // first: it reads the device headers

#include <array>
#include <cstdint>
#include <string>
#include <vector>

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

enum class PlanOp : std::uint8_t {
    ButtonWord,  // A5 of one button's word into its mode's block
    MacroChunk,  // A5 of up to 24 bytes of a macro program into its slot
    Parameter,   // A6 of a per-mode parameter; done once sent
    DpiLevels,   // A6 of one axis of one mode's four levels; done once sent
    Colour,      // A6 of one colour component of the three modes; done only when confirmed
    NoSlot,      // a macro button beyond the last slot: sends nothing and always fails
};

struct PlanCommand {
    PlanOp op = PlanOp::Parameter;
    std::uint32_t pauseBeforeMs = 0;  // the sequence's own pause before the command
    std::uint32_t pauseAfterMs = 0;   // and after it
    // Positions the full sequence reports just before this command (and its pause).
    std::vector<int> progressBefore;
    // ButtonWord: the mode and button 1...14 it addresses and the word.
    int mode = 0;
    int button = 0;
    std::uint32_t word = 0;
    // ButtonWord of a macro button: the plan index of its macro's first chunk and the chunk
    // count; the word is written only when every one of them went through.
    int macroFirst = -1;
    int macroChunks = 0;
    // MacroChunk: the slot, the address and the bytes.
    int slot = -1;
    std::uint32_t address = 0;
    std::vector<std::uint8_t> bytes;
    // Parameter, DpiLevels and Colour: the id and the values (three per mode, or four levels in
    // units of 100 DPI).
    std::uint8_t id = 0;
    std::array<std::uint32_t, 4> values{};
    std::string step;  // how a failure is reported ("mode FPS button 3: button word")
};

struct DownloadPlan {
    std::vector<PlanCommand> commands;
    // Positions the full sequence reports after its last command (the final 100 is the runner's).
    std::vector<int> progressAfter;
    // The slot's macro ids once the download went well: the pending ids taken over.
    std::array<std::array<std::int32_t, kButtonCount>, kModeCount> macroIds{};
    std::vector<std::string> corrections;  // values brought into range before sending
    // Macro buttons whose macro is missing or unused; each is written as a disabled button.
    std::vector<std::string> skipped;
    std::vector<std::string> switchedOff;  // the same, as told to the user ("office 13")
    int macroUploads = 0;
};

struct PlanInput {
    const ProfileData* profile = nullptr;
    const ProfileSlot* slot = nullptr;  // the active slot: the buttons' macro ids
    const std::int32_t (*pendingMacroId)[kButtonCount] = nullptr;  // [mode][button], may be null
    const MacroLibrary* macros = nullptr;                          // may be null: no macros
    bool chinese = false;                                          // language of switchedOff
};

// The whole sequence for the profile, in its order. A null profile or slot gives an empty plan.
DownloadPlan PlanDownload(const PlanInput& input);

// One readable line of a command: what it writes, its values and its waits.
std::string DescribeCommand(const PlanCommand& command);

}  // namespace q350
