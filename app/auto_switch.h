#pragma once

// Profiles that follow the program in front: which profile a foreground program asks for, when a
// switch is due and when it must wait. Fed by the window's foreground watcher; the window carries
// the switch out (select the slot, apply it in the background).
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "config/profile_data.h"

namespace q350::app {

// A bound program against the image path of a running one: a binding with a folder matches the
// whole path, one without matches the file name; both without regard to case (as the file system
// compares names: ASCII and Latin-1 letters fold).
bool ProgramMatches(std::u16string_view bound, std::u16string_view image);

// How long a bound program must stay in front before its profile is switched to.
inline constexpr std::uint64_t kAutoSwitchSettleMs = 300;

// The status line and tray tip of automatic switching, in English or Chinese: the profile now in
// use and the program it follows, a switch that waits for Apply, a switch whose download failed.
std::u16string AutoSwitchedText(std::u16string_view profile, std::u16string_view program,
                                bool chinese);
std::u16string AutoSwitchWaitsText(bool chinese);
std::u16string AutoSwitchFailedText(std::u16string_view profile, bool chinese);

class AutoSwitcher {
public:
    // What holds a switch back at the moment it would happen.
    struct Conditions {
        bool unappliedEdits = false;  // the active profile has edits that were not applied
        bool busy = false;            // an Apply, a restore or one of the program's popups
        int activeSlot = 0;           // the slot the window shows now
    };
    enum class Hold { None, WaitsForApply, Busy };

    // The programs of the five slots (empty: none or switched off), from ProfileSlot.
    void setBindings(const std::array<std::u16string, kSlotCount>& programs);
    void setBindings(const ProfileSlot (&slots)[kSlotCount]);
    // The user chose a profile by hand: it is where the program goes back to.
    void chosenByHand(int slot) { manual_ = slot; }
    int manualSlot() const { return manual_; }

    // The window in front changed: the image path of its process (empty when it could not be
    // read) and whether it is one of the program's own windows (those change nothing).
    void foreground(std::u16string_view image, bool ownWindow, std::uint64_t nowMs);

    // The slot to switch to now, if any: the target has been the same for the settle time, it
    // differs from the active slot and nothing holds it back. hold tells why a due switch waits.
    std::optional<int> due(const Conditions& c, std::uint64_t nowMs);
    Hold hold() const { return hold_; }
    // Milliseconds until the current target has settled (0 when it has or there is none).
    std::uint64_t settlesInMs(std::uint64_t nowMs) const;
    // The slot the program in front asks for (the one chosen by hand when no bound program is).
    int target() const { return bound_ ? *bound_ : manual_; }

private:
    std::optional<int> slotFor(std::u16string_view image) const;

    std::array<std::u16string, kSlotCount> programs_{};
    int manual_ = 0;
    std::optional<int> bound_;  // the slot of the bound program in front, if one is
    std::uint64_t sinceMs_ = 0;  // when the program in front last changed what it asks for
    bool seen_ = false;
    Hold hold_ = Hold::None;
};

}  // namespace q350::app
