#pragma once

// The macro recorder without its window: keys from the keyboard hook (message 1034) or from the
// mouse-button pictures become key events with the pauses between them, measured by the tick
// count; a held key's auto-repeat is dropped; the editor's key capture takes one key.
#include <cstdint>
#include <optional>
#include <vector>

namespace q350::pages {

// Flags of message 1034: bit 7 set when the key was released.
inline constexpr unsigned kKeyReleasedFlag = 0x80;
// Keys one recording takes at most.
inline constexpr int kRecordKeyLimit = 999;
// The longest pause a macro keeps, in milliseconds (what the mouse's pause field plays).
inline constexpr std::uint32_t kMacroPauseLimitMs = 327670;
// Virtual keys of the left, middle and right mouse-button pictures.
inline constexpr int kPictureKeys[3] = {1, 4, 2};

enum class KeyUse {
    Ignored,   // not recording or capturing, or a repeat of the last accepted key event
    Captured,  // taken by the editor's key capture
    Recorded,  // appended to the events (with the pause before it)
    Dropped,   // the recording is full
};

class MacroRecorder {
public:
    // Starts a recording into events (emptied); the last accepted key event is kept from the
    // recording before, so that a first key repeating it is dropped.
    void start(std::vector<std::uint32_t>& events);
    void stop() { recording_ = false; }
    bool recording() const { return recording_; }
    int recordedKeys() const { return count_; }

    // Key capture for the event editor: the captured key is cleared when it is switched on.
    void setCapture(bool on);
    bool capturing() const { return capturing_; }
    int capturedKey() const { return captured_; }

    // One key event (virtual key, 1034 flags) at tick milliseconds. While recording, appends to
    // events: a pause since the key before (unless noPause; at most kMacroPauseLimitMs, the ticks
    // subtracted as unsigned so that a wrap of the counter gives the real distance) and the key.
    // Keys past kRecordKeyLimit, or past what a stored macro of maxEvents can hold, are dropped.
    KeyUse onKey(int virtualKey, unsigned flags, std::uint32_t tick, bool noPause,
                 std::vector<std::uint32_t>& events, std::size_t maxEvents);

private:
    bool recording_ = false;
    bool capturing_ = false;
    int captured_ = 0;
    int count_ = 0;
    std::optional<std::uint32_t> lastTick_;
    // The last accepted key event, kept between recordings.
    std::optional<std::pair<int, bool>> last_;  // virtual key, released
};

}  // namespace q350::pages
