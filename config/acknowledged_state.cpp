#include "config/acknowledged_state.h"

#include <algorithm>

namespace q350 {

AcknowledgedState::AcknowledgedState() : macro_(kMacroBytes, 0), macroKnown_(kMacroBytes, false) {}

void AcknowledgedState::forgetAll() {
    std::lock_guard<std::mutex> hold(lock_);
    ++generation_;
    for (auto& mode : words_) {
        mode.fill(std::nullopt);
    }
    std::fill(macroKnown_.begin(), macroKnown_.end(), false);
    params_.fill(std::nullopt);
}

std::uint64_t AcknowledgedState::generation() const {
    std::lock_guard<std::mutex> hold(lock_);
    return generation_;
}

std::optional<std::size_t> AcknowledgedState::MacroOffset(const PlanCommand& c) {
    const std::uint32_t first = MacroSlotAddress(0);
    if (c.address < first || c.bytes.empty() || c.address - first >= kMacroBytes ||
        c.bytes.size() > kMacroBytes - (c.address - first)) {
        return std::nullopt;
    }
    return c.address - first;
}

namespace {

bool ValidButton(const PlanCommand& c) {
    return c.mode >= 0 && c.mode < kModeCount && c.button >= 1 && c.button <= kButtonCount;
}

bool ValidParameter(const PlanCommand& c) { return c.id <= kHighestParameterId; }

}  // namespace

bool AcknowledgedState::holds(const PlanCommand& c) const {
    std::lock_guard<std::mutex> hold(lock_);
    switch (c.op) {
        case PlanOp::ButtonWord:
            return ValidButton(c) && words_[c.mode][c.button - 1] == c.word;
        case PlanOp::MacroChunk: {
            const auto at = MacroOffset(c);
            if (!at) {
                return false;
            }
            for (std::size_t i = 0; i < c.bytes.size(); ++i) {
                if (!macroKnown_[*at + i] || macro_[*at + i] != c.bytes[i]) {
                    return false;
                }
            }
            return true;
        }
        case PlanOp::Parameter:
        case PlanOp::DpiLevels:
        case PlanOp::Colour:
            return ValidParameter(c) && params_[c.id] == c.values;
        case PlanOp::NoSlot:
            return false;
    }
    return false;
}

void AcknowledgedState::acknowledge(const PlanCommand& c, std::uint64_t generation) {
    std::lock_guard<std::mutex> hold(lock_);
    if (generation != generation_) {
        return;  // the mouse was detached since the run began
    }
    switch (c.op) {
        case PlanOp::ButtonWord:
            if (ValidButton(c)) {
                words_[c.mode][c.button - 1] = c.word;
            }
            break;
        case PlanOp::MacroChunk:
            if (const auto at = MacroOffset(c)) {
                std::copy(c.bytes.begin(), c.bytes.end(),
                          macro_.begin() + static_cast<std::ptrdiff_t>(*at));
                std::fill_n(macroKnown_.begin() + static_cast<std::ptrdiff_t>(*at),
                            c.bytes.size(), true);
            }
            break;
        case PlanOp::Parameter:
        case PlanOp::DpiLevels:
        case PlanOp::Colour:
            if (ValidParameter(c)) {
                params_[c.id] = c.values;
            }
            break;
        case PlanOp::NoSlot:
            break;
    }
}

void AcknowledgedState::forget(const PlanCommand& c) {
    std::lock_guard<std::mutex> hold(lock_);
    switch (c.op) {
        case PlanOp::ButtonWord:
            if (ValidButton(c)) {
                words_[c.mode][c.button - 1].reset();
            }
            break;
        case PlanOp::MacroChunk:
            if (const auto at = MacroOffset(c)) {
                std::fill_n(macroKnown_.begin() + static_cast<std::ptrdiff_t>(*at),
                            c.bytes.size(), false);
            }
            break;
        case PlanOp::Parameter:
        case PlanOp::DpiLevels:
        case PlanOp::Colour:
            if (ValidParameter(c)) {
                params_[c.id].reset();
            }
            break;
        case PlanOp::NoSlot:
            break;
    }
}

bool AcknowledgedState::empty() const {
    std::lock_guard<std::mutex> hold(lock_);
    for (const auto& mode : words_) {
        for (const auto& w : mode) {
            if (w) {
                return false;
            }
        }
    }
    for (const auto& p : params_) {
        if (p) {
            return false;
        }
    }
    return std::none_of(macroKnown_.begin(), macroKnown_.end(), [](bool b) { return b; });
}

}  // namespace q350
