#include "pages/statistics_model.h"

#include <algorithm>
#include <cinttypes>
#include <cstdio>
#include <limits>

namespace q350::pages {

namespace {

constexpr std::uint32_t kCounterMax = std::numeric_limits<std::uint32_t>::max();

// The first total of each level above 0.
constexpr std::array<std::uint64_t, kTopTrophyLevel> kLevelBounds = {
    100'000,   500'000,   1'000'000, 1'500'000, 2'000'000, 2'500'000,
    3'000'000, 4'000'000, 5'000'000, 6'000'000, 8'000'000, 10'000'000};

constexpr int kLevelBarFull = 265;

constexpr std::array<Rect, kNumberCount> kNumbersOther = {{{152, 85, 227, 106},
                                                           {152, 119, 227, 139},
                                                           {152, 152, 227, 172},
                                                           {152, 183, 227, 203},
                                                           {152, 250, 227, 270},
                                                           {152, 284, 227, 304},
                                                           {152, 319, 227, 339},
                                                           {152, 384, 227, 404}}};
constexpr std::array<Rect, kNumberCount> kNumbersChinese = {{{167, 85, 242, 106},
                                                             {167, 119, 242, 139},
                                                             {167, 152, 242, 172},
                                                             {167, 183, 242, 203},
                                                             {167, 250, 242, 270},
                                                             {167, 284, 242, 304},
                                                             {167, 319, 242, 339},
                                                             {187, 384, 262, 404}}};

std::u16string Widen(const char* text) {
    std::u16string out;
    for (const char* p = text; *p != '\0'; ++p) {
        out.push_back(static_cast<char16_t>(static_cast<unsigned char>(*p)));
    }
    return out;
}

std::uint64_t Distance(int a, int b) {
    const std::int64_t d = static_cast<std::int64_t>(a) - static_cast<std::int64_t>(b);
    return static_cast<std::uint64_t>(d < 0 ? -d : d);
}

}  // namespace

Counters LoadCounters(SettingsStore& store) {
    Counters counters{};
    for (int i = 0; i < kCounterCount; ++i) {
        std::vector<std::uint8_t> bytes;
        if (store.readBinary(kStatisticsKey, kCounterNames[i], bytes) == StoreResult::Ok &&
            bytes.size() == 4) {
            counters[i] = static_cast<std::uint32_t>(bytes[0]) |
                          static_cast<std::uint32_t>(bytes[1]) << 8 |
                          static_cast<std::uint32_t>(bytes[2]) << 16 |
                          static_cast<std::uint32_t>(bytes[3]) << 24;
        }
    }
    return counters;
}

bool SaveCounters(SettingsStore& store, const Counters& counters) {
    bool all = true;
    for (int i = 0; i < kCounterCount; ++i) {
        const std::uint32_t v = counters[i];
        const std::uint8_t bytes[4] = {
            static_cast<std::uint8_t>(v), static_cast<std::uint8_t>(v >> 8),
            static_cast<std::uint8_t>(v >> 16), static_cast<std::uint8_t>(v >> 24)};
        all = store.writeBinary(kStatisticsKey, kCounterNames[i], bytes) && all;
    }
    return all;
}

int TrophyLevelFor(std::uint64_t total) {
    int level = 0;
    while (level < kTopTrophyLevel && total >= kLevelBounds[level]) {
        ++level;
    }
    return level;
}

int LevelBarWidth(int level) {
    const int parts = level < 0 ? 1 : (level > kTopTrophyLevel ? kTrophyCount : level + 1);
    return parts * kLevelBarFull / kTrophyCount;
}

Rect TrophyIconRect(int icon) {
    const int r = icon / 5, c = icon % 5;
    return {647 + 50 * c, 132 + 58 * r, 690 + 50 * c, 182 + 58 * r};
}

const Rect& NumberRect(int number, bool chineseLayout) {
    return (chineseLayout ? kNumbersChinese : kNumbersOther)[static_cast<std::size_t>(number)];
}

unsigned NumbersShowing(Counter counter) {
    switch (counter) {
        case kLeftClicks:
            return 1u << kNumberLeft | 1u << kNumberClicks;
        case kMiddleClicks:
            return 1u << kNumberMiddle | 1u << kNumberClicks;
        case kRightClicks:
            return 1u << kNumberRight | 1u << kNumberClicks;
        case kWheelUp:
            return 1u << kNumberUp | 1u << kNumberScrolls;
        case kWheelDown:
            return 1u << kNumberDown | 1u << kNumberScrolls;
        case kDistance:
            return 1u << kNumberDistance;
    }
    return 0;
}

std::u16string CountText(std::uint64_t value) {
    char text[24];
    std::snprintf(text, sizeof text, "%" PRIu64, value);
    return Widen(text);
}

std::u16string DistanceText(std::uint32_t pixels) {
    char text[32];
    std::snprintf(text, sizeof text, "%0.2f", static_cast<double>(pixels) * 0.0001);
    return Widen(text);
}

std::optional<Counter> CounterForEvent(std::uint32_t word) {
    switch (word) {
        case 0x0001:
        case 0x0B01:
        case 0x8001:
        case 0x8B01:
            return kLeftClicks;
        case 0x0002:
        case 0x0B02:
        case 0x8002:
        case 0x8B02:
            return kRightClicks;
        case 0x0004:
        case 0x0B04:
        case 0x8004:
        case 0x8B04:
            return kMiddleClicks;
        case 0x0101:
        case 0x101B:
            return kWheelUp;
        case 0x01FF:
        case 0x1FFB:
            return kWheelDown;
        default:
            return std::nullopt;
    }
}

void StatisticsModel::setCounters(const Counters& counters) {
    counters_ = counters;
    ++revision_;
    raiseLevel();
}

std::optional<Counter> StatisticsModel::countEvent(std::uint32_t word) {
    const std::optional<Counter> counter = CounterForEvent(word);
    if (counter) {
        add(*counter, 1);
    }
    return counter;
}

bool StatisticsModel::addSample(Point p) {
    const std::uint64_t travel = Distance(p.x, last_.x) + Distance(p.y, last_.y);
    last_ = p;
    if (travel == 0) {
        return false;
    }
    add(kDistance, travel);
    return true;
}

std::uint64_t StatisticsModel::clicks() const {
    return std::uint64_t{counters_[kLeftClicks]} + counters_[kMiddleClicks] +
           counters_[kRightClicks];
}

std::uint64_t StatisticsModel::scrolls() const {
    return std::uint64_t{counters_[kWheelUp]} + counters_[kWheelDown];
}

std::u16string StatisticsModel::numberText(int number) const {
    switch (number) {
        case kNumberLeft:
            return CountText(counters_[kLeftClicks]);
        case kNumberMiddle:
            return CountText(counters_[kMiddleClicks]);
        case kNumberRight:
            return CountText(counters_[kRightClicks]);
        case kNumberClicks:
            return CountText(clicks());
        case kNumberUp:
            return CountText(counters_[kWheelUp]);
        case kNumberDown:
            return CountText(counters_[kWheelDown]);
        case kNumberScrolls:
            return CountText(scrolls());
        case kNumberDistance:
            return DistanceText(counters_[kDistance]);
        default:
            return {};
    }
}

void StatisticsModel::reset() {
    counters_ = {};
    level_ = 0;
    ++revision_;
}

void StatisticsModel::add(Counter c, std::uint64_t amount) {
    std::uint32_t& v = counters_[c];
    const std::uint32_t raised =
        amount >= kCounterMax - v ? kCounterMax : v + static_cast<std::uint32_t>(amount);
    if (raised == v) {
        return;  // already at the top
    }
    v = raised;
    ++revision_;
    raiseLevel();
}

void StatisticsModel::raiseLevel() {
    const int reached = std::max(TrophyLevelFor(clicks()), TrophyLevelFor(scrolls()));
    if (reached > level_) {
        level_ = reached;
    }
}

}  // namespace q350::pages
