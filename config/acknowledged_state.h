#pragma once

// What the attached mouse holds, as far as the program can be sure: the value of every button
// word, macro-slot byte and parameter that a command set, and the mouse confirmed, since the
// mouse was last attached. The mouse cannot be read back, so anything not confirmed is unknown;
// a download sends only what is unknown or different (profile_download.h).
#include <array>
#include <cstdint>
#include <mutex>
#include <optional>
#include <vector>

#include "config/download_plan.h"

namespace q350 {

class AcknowledgedState {
public:
    AcknowledgedState();

    // Everything unknown again: at start, at every arrival or removal of the mouse, after the
    // flasher and whenever the mouse is found in its update mode. Acknowledgements of a run that
    // began before are dropped (see generation()).
    void forgetAll();
    // Changes with every forgetAll(); a run takes it at its start and hands it back with each
    // acknowledgement, so a mouse swapped meanwhile is never credited with what the old one took.
    std::uint64_t generation() const;

    // True when the mouse is known to hold exactly what the command would set.
    bool holds(const PlanCommand& command) const;
    // The mouse confirmed the command.
    void acknowledge(const PlanCommand& command, std::uint64_t generation);
    // The command failed, or its outcome is not known.
    void forget(const PlanCommand& command);

    // Nothing is known.
    bool empty() const;

private:
    static constexpr std::size_t kMacroBytes =
        static_cast<std::size_t>(kMacroSlotCount) * kMacroSlotSize;
    // Offset of a macro chunk's bytes in macro_, or nothing when it lies outside the slots.
    static std::optional<std::size_t> MacroOffset(const PlanCommand& c);

    mutable std::mutex lock_;
    std::uint64_t generation_ = 0;
    std::array<std::array<std::optional<std::uint32_t>, kButtonCount>, kModeCount> words_{};
    std::vector<std::uint8_t> macro_;  // the bytes of slots 0...17
    std::vector<bool> macroKnown_;
    std::array<std::optional<std::array<std::uint32_t, 4>>, kHighestParameterId + 1> params_{};
};

}  // namespace q350
