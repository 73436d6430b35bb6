#include "pages/macro_recorder.h"

#include <algorithm>

#include "config/macro_library.h"

namespace q350::pages {

void MacroRecorder::start(std::vector<std::uint32_t>& events) {
    events.clear();
    count_ = 0;
    lastTick_.reset();
    recording_ = true;
}

void MacroRecorder::setCapture(bool on) {
    capturing_ = on;
    if (on) {
        captured_ = 0;
    }
}

KeyUse MacroRecorder::onKey(int virtualKey, unsigned flags, std::uint32_t tick, bool noPause,
                            std::vector<std::uint32_t>& events, std::size_t maxEvents) {
    const bool released = (flags & kKeyReleasedFlag) != 0;
    if (last_ && last_->first == virtualKey && last_->second == released) {
        return KeyUse::Ignored;  // auto-repeat of a held key, or a repeated release
    }
    if (capturing_) {
        captured_ = virtualKey;
        return KeyUse::Captured;
    }
    if (!recording_) {
        return KeyUse::Ignored;  // a key still queued when the recording stopped
    }
    const bool withPause = !noPause && lastTick_.has_value();
    // The first key of a list starts it without a pause: it is never stored before a key.
    const std::size_t adds = (withPause && !events.empty()) ? 2 : 1;
    if (count_ >= kRecordKeyLimit || events.size() + adds > maxEvents) {
        return KeyUse::Dropped;
    }
    if (!noPause) {
        if (withPause && !events.empty()) {
            const std::uint32_t elapsed = tick - *lastTick_;  // unsigned: right across a wrap
            events.push_back(MacroEvent(kMacroPause, std::min(elapsed, kMacroPauseLimitMs)));
        }
        lastTick_ = tick;
    }
    events.push_back(MacroEvent(released ? kMacroKeyUp : kMacroKeyDown,
                                static_cast<std::uint32_t>(virtualKey) & 0xFF));
    ++count_;
    last_ = std::pair{virtualKey, released};
    return KeyUse::Recorded;
}

}  // namespace q350::pages
