#pragma once

// The statistics page without its window: the six usage counters and how driver events and
// pointer samples raise them, the trophy level both totals reach, the level bar's width, the
// texts of the eight numbers and where they stand, and how the counters are kept in the settings
// store (sub-key STS, each counter a 4-byte binary value).
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "base/settings_store.h"
#include "skin/geometry.h"

namespace q350::pages {

using skin::Point;
using skin::Rect;

// The counters, in the order they are stored.
enum Counter : int { kLeftClicks, kMiddleClicks, kRightClicks, kWheelUp, kWheelDown, kDistance };
inline constexpr int kCounterCount = 6;
using Counters = std::array<std::uint32_t, kCounterCount>;

inline constexpr std::u16string_view kStatisticsKey = u"STS";
inline constexpr std::array<std::u16string_view, kCounterCount> kCounterNames = {
    u"LeftClickCount", u"MidClickCount",   u"RightClickCount",
    u"ScrollUpCount",  u"ScrollDownCount", u"Distance"};

// Reads every counter on its own: a value that is missing, of another type or not 4 bytes long
// leaves its counter 0 and the others are still read.
Counters LoadCounters(SettingsStore& store);
// Writes all six values; false when the store refused any of them.
bool SaveCounters(SettingsStore& store, const Counters& counters);

// ---- trophies ----------------------------------------------------------------------------------

inline constexpr int kTopTrophyLevel = 12;
inline constexpr int kTrophyCount = kTopTrophyLevel + 1;
// The level a click or wheel total reaches.
int TrophyLevelFor(std::uint64_t total);
// The filled width of the level bar: level + 1 thirteenths of its 265 pixels, rounded down
// (20 at level 0, 265 at the top level).
int LevelBarWidth(int level);

// ---- the page's layout (page coordinates) ------------------------------------------------------

inline constexpr Rect kTrophyPictureRect{309, 0, 607, 451};
inline constexpr Rect kLevelBarRect{635, 67, 898, 74};
inline constexpr Rect kResetRect{693, 370, 827, 403};
// Trophy icon j: five to a row.
Rect TrophyIconRect(int icon);

inline constexpr int kHintReset = 46;
inline constexpr int kHintTrophy = 47;

// The eight numbers: the three buttons, their total, the two wheel directions, their total and
// the travel.
enum Number : int {
    kNumberLeft,
    kNumberMiddle,
    kNumberRight,
    kNumberClicks,
    kNumberUp,
    kNumberDown,
    kNumberScrolls,
    kNumberDistance
};
inline constexpr int kNumberCount = 8;
// Where number n stands in the layout for Chinese words or in the other one.
const Rect& NumberRect(int number, bool chineseLayout);
// The numbers that show a counter (the counter's own and its total), as a bit per number.
unsigned NumbersShowing(Counter counter);

// Unsigned decimal.
std::u16string CountText(std::uint64_t value);
// Travel in units of 10,000 pixels with two decimals: 123,456 pixels show as "12.35".
std::u16string DistanceText(std::uint32_t pixels);

// ---- counting ----------------------------------------------------------------------------------

// The counter a driver event word raises; none for every other word.
std::optional<Counter> CounterForEvent(std::uint32_t word);

// The counters of this run and the trophy level they reached. Counters stop at 2^32 - 1 rather
// than wrap, so that a long run never falls back to a low level.
class StatisticsModel {
public:
    const Counters& counters() const { return counters_; }
    std::uint32_t value(Counter c) const { return counters_[c]; }
    // The loaded counters (the level is then raised from them).
    void setCounters(const Counters& counters);

    // Counts a driver event; the counter it raised, or none when the word counts nothing.
    std::optional<Counter> countEvent(std::uint32_t word);
    // Where the pointer was when sampling began.
    void setLastSample(Point p) { last_ = p; }
    // Adds the travel since the last sample (horizontal plus vertical); true when it moved.
    bool addSample(Point p);

    std::uint64_t clicks() const;
    std::uint64_t scrolls() const;
    // The highest level the totals reached in this run; it falls only by a reset.
    int level() const { return level_; }
    std::u16string numberText(int number) const;

    // Every counter and the level back to 0.
    void reset();
    // Grows with every change of a counter, so that a saver can tell whether there is anything
    // new to keep.
    std::uint64_t revision() const { return revision_; }

private:
    void add(Counter c, std::uint64_t amount);
    void raiseLevel();

    Counters counters_{};
    Point last_{};
    int level_ = 0;
    std::uint64_t revision_ = 0;
};

}  // namespace q350::pages
