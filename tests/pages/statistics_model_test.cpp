#include "pages/statistics_model.h"

#include <gtest/gtest.h>

#include <climits>
#include <vector>

namespace q350::pages {
namespace {

constexpr std::uint32_t kMax = 0xFFFFFFFFu;

std::vector<std::uint8_t> Le(std::uint32_t v) {
    return {static_cast<std::uint8_t>(v), static_cast<std::uint8_t>(v >> 8),
            static_cast<std::uint8_t>(v >> 16), static_cast<std::uint8_t>(v >> 24)};
}

Counters With(Counter c, std::uint32_t v) {
    Counters counters{};
    counters[c] = v;
    return counters;
}

// ---- driver events -----------------------------------------------------------------------------

TEST(StatisticsEvents, EachButtonAndWheelWordRaisesItsCounterByOne) {
    const struct {
        std::uint32_t word;
        Counter counter;
    } cases[] = {{0x0001, kLeftClicks},   {0x0B01, kLeftClicks},   {0x8001, kLeftClicks},
                 {0x8B01, kLeftClicks},   {0x0002, kRightClicks},  {0x0B02, kRightClicks},
                 {0x8002, kRightClicks},  {0x8B02, kRightClicks},  {0x0004, kMiddleClicks},
                 {0x0B04, kMiddleClicks}, {0x8004, kMiddleClicks}, {0x8B04, kMiddleClicks},
                 {0x0101, kWheelUp},      {0x101B, kWheelUp},      {0x01FF, kWheelDown},
                 {0x1FFB, kWheelDown}};
    for (const auto& c : cases) {
        StatisticsModel model;
        EXPECT_EQ(model.countEvent(c.word), c.counter) << std::hex << c.word;
        EXPECT_EQ(model.counters(), With(c.counter, 1)) << std::hex << c.word;
    }
}

TEST(StatisticsEvents, OtherWordsCountNothing) {
    StatisticsModel model;
    for (std::uint32_t word : {0x0003u, 0x0000u, 0x0008u, 0x9001u, 0x4000C202u, 0x00010001u,
                               0x0102u, 0x01FEu, 0x1001u}) {
        EXPECT_FALSE(model.countEvent(word)) << std::hex << word;
    }
    EXPECT_EQ(model.counters(), Counters{});
    EXPECT_EQ(model.revision(), 0u);
}

TEST(StatisticsEvents, TheTotalsAddTheButtonsAndTheWheelDirections) {
    StatisticsModel model;
    for (std::uint32_t word : {0x0001u, 0x0001u, 0x0004u, 0x8B02u, 0x0101u, 0x01FFu, 0x1FFBu}) {
        model.countEvent(word);
    }
    EXPECT_EQ(model.numberText(kNumberLeft), u"2");
    EXPECT_EQ(model.numberText(kNumberMiddle), u"1");
    EXPECT_EQ(model.numberText(kNumberRight), u"1");
    EXPECT_EQ(model.numberText(kNumberClicks), u"4");
    EXPECT_EQ(model.numberText(kNumberUp), u"1");
    EXPECT_EQ(model.numberText(kNumberDown), u"2");
    EXPECT_EQ(model.numberText(kNumberScrolls), u"3");
    // A change of a counter redraws its own number and its total.
    EXPECT_EQ(NumbersShowing(kMiddleClicks), 1u << kNumberMiddle | 1u << kNumberClicks);
    EXPECT_EQ(NumbersShowing(kWheelDown), 1u << kNumberDown | 1u << kNumberScrolls);
    EXPECT_EQ(NumbersShowing(kDistance), 1u << kNumberDistance);
}

// ---- pointer travel ----------------------------------------------------------------------------

TEST(StatisticsTravel, AddsHorizontalPlusVerticalMovementBetweenSamples) {
    StatisticsModel model;
    model.setLastSample({400, 300});
    EXPECT_TRUE(model.addSample({500, 350}));  // 100 right, 50 down
    EXPECT_EQ(model.value(kDistance), 150u);
    EXPECT_TRUE(model.addSample({480, 320}));  // back: 20 + 30
    EXPECT_EQ(model.value(kDistance), 200u);
    const auto revision = model.revision();
    EXPECT_FALSE(model.addSample({480, 320}));  // a pointer at rest changes nothing
    EXPECT_EQ(model.revision(), revision);
    // Screens left of and above the main one have negative coordinates.
    EXPECT_TRUE(model.addSample({-100, -20}));
    EXPECT_EQ(model.value(kDistance), 200u + 580 + 340);
}

TEST(StatisticsTravel, TheWidestJumpNeitherOverflowsNorWraps) {
    StatisticsModel model;
    model.setLastSample({INT_MIN, INT_MIN});
    EXPECT_TRUE(model.addSample({INT_MAX, INT_MAX}));
    EXPECT_EQ(model.value(kDistance), kMax);
}

TEST(StatisticsTravel, IsShownInTenThousandsOfPixelsWithTwoDecimals) {
    EXPECT_EQ(DistanceText(123'456), u"12.35");
    EXPECT_EQ(DistanceText(0), u"0.00");
    EXPECT_EQ(DistanceText(49), u"0.00");
    EXPECT_EQ(DistanceText(10'000), u"1.00");
    EXPECT_EQ(DistanceText(kMax), u"429496.73");
}

// ---- counters near 2^32 ------------------------------------------------------------------------

TEST(StatisticsLimits, NumbersAreUnsignedAndTotalsDoNotWrap) {
    StatisticsModel model;
    model.setCounters({3'000'000'000u, kMax, kMax, kMax, 2'147'483'648u, 0});
    EXPECT_EQ(model.numberText(kNumberLeft), u"3000000000");
    EXPECT_EQ(model.numberText(kNumberDown), u"2147483648");
    EXPECT_EQ(model.clicks(), 3'000'000'000ull + 2ull * kMax);
    EXPECT_EQ(model.numberText(kNumberClicks), u"11589934590");
    EXPECT_EQ(model.numberText(kNumberScrolls), u"6442450943");
}

TEST(StatisticsLimits, CountersStopAtTheTopInsteadOfWrappingToZero) {
    StatisticsModel model;
    model.setCounters({kMax - 1, 0, 0, kMax, 0, kMax - 100});
    model.countEvent(0x0001);
    EXPECT_EQ(model.value(kLeftClicks), kMax);
    const auto revision = model.revision();
    model.countEvent(0x0001);
    model.countEvent(0x0101);
    EXPECT_EQ(model.value(kLeftClicks), kMax);
    EXPECT_EQ(model.value(kWheelUp), kMax);
    EXPECT_EQ(model.revision(), revision);  // nothing new to keep
    EXPECT_EQ(model.level(), kTopTrophyLevel);

    model.setLastSample({0, 0});
    EXPECT_TRUE(model.addSample({60, 60}));
    EXPECT_EQ(model.value(kDistance), kMax);
}

// ---- trophy levels -----------------------------------------------------------------------------

TEST(StatisticsLevels, EachBoundStartsTheNextLevel) {
    EXPECT_EQ(TrophyLevelFor(0), 0);
    EXPECT_EQ(TrophyLevelFor(99'999), 0);
    EXPECT_EQ(TrophyLevelFor(100'000), 1);
    const std::uint64_t bounds[] = {100'000,   500'000,   1'000'000, 1'500'000,
                                    2'000'000, 2'500'000, 3'000'000, 4'000'000,
                                    5'000'000, 6'000'000, 8'000'000, 10'000'000};
    for (int level = 1; level <= kTopTrophyLevel; ++level) {
        const std::uint64_t bound = bounds[level - 1];
        EXPECT_EQ(TrophyLevelFor(bound - 1), level - 1) << bound;
        EXPECT_EQ(TrophyLevelFor(bound), level) << bound;
    }
    EXPECT_EQ(TrophyLevelFor(3ull * kMax), kTopTrophyLevel);
}

TEST(StatisticsLevels, TheHigherOfBothTotalsCounts) {
    StatisticsModel clicks;
    clicks.setCounters({99'999, 0, 0, 0, 0, 0});
    EXPECT_EQ(clicks.level(), 0);
    clicks.countEvent(0x0004);  // the 100,000th click, a middle one
    EXPECT_EQ(clicks.level(), 1);

    StatisticsModel many;
    many.setCounters({10'000'000, 0, 0, 0, 0, 0});
    EXPECT_EQ(many.level(), kTopTrophyLevel);

    StatisticsModel wheel;
    wheel.setCounters({4, 3, 3, 300'000, 300'000, 0});
    EXPECT_EQ(wheel.level(), 2);
    // Travel earns no trophy.
    StatisticsModel travel;
    travel.setCounters({0, 0, 0, 0, 0, kMax});
    EXPECT_EQ(travel.level(), 0);
}

TEST(StatisticsLevels, TheLevelOfARunFallsOnlyByAReset) {
    StatisticsModel model;
    model.setCounters({600'000, 0, 0, 0, 0, 0});
    ASSERT_EQ(model.level(), 2);
    model.setCounters({5, 0, 0, 0, 0, 0});
    EXPECT_EQ(model.level(), 2);
    model.reset();
    EXPECT_EQ(model.level(), 0);
    EXPECT_EQ(model.counters(), Counters{});
    for (int n = 0; n < kNumberDistance; ++n) {
        EXPECT_EQ(model.numberText(n), u"0");
    }
    EXPECT_EQ(model.numberText(kNumberDistance), u"0.00");
}

TEST(StatisticsLevels, TheLevelBarFillsThirteenthsOfItsWidth) {
    EXPECT_EQ(LevelBarWidth(0), 20);
    EXPECT_EQ(LevelBarWidth(1), 40);
    EXPECT_EQ(LevelBarWidth(6), 142);  // 7 * 265 / 13 = 142.7
    EXPECT_EQ(LevelBarWidth(11), 244);
    EXPECT_EQ(LevelBarWidth(kTopTrophyLevel), 265);
    for (int level = 1; level <= kTopTrophyLevel; ++level) {
        EXPECT_GT(LevelBarWidth(level), LevelBarWidth(level - 1));
    }
}

// ---- the store ---------------------------------------------------------------------------------

TEST(StatisticsStore, CountersComeBackAsSavedInFourLittleEndianBytes) {
    MemorySettingsStore store;
    const Counters saved{1, 0x01020304, kMax, 7, 0, 123'456};
    ASSERT_TRUE(SaveCounters(store, saved));
    const auto* value = store.find(u"STS", u"MidClickCount");
    ASSERT_NE(value, nullptr);
    EXPECT_EQ(value->type, MemorySettingsStore::Type::Binary);
    EXPECT_EQ(value->bytes, Le(0x01020304));
    EXPECT_EQ(store.size(), 6u);
    EXPECT_EQ(LoadCounters(store), saved);
}

TEST(StatisticsStore, ABadValueLosesOnlyItself) {
    MemorySettingsStore store;
    ASSERT_TRUE(SaveCounters(store, {10, 20, 30, 40, 50, 60}));
    store.setRaw(u"STS", u"MidClickCount", MemorySettingsStore::Type::Dword, Le(99));
    store.setRaw(u"STS", u"ScrollUpCount", MemorySettingsStore::Type::Binary, {1, 2, 3, 4, 5});
    ASSERT_TRUE(store.deleteValue(u"STS", u"LeftClickCount"));
    const Counters loaded = LoadCounters(store);
    EXPECT_EQ(loaded, (Counters{0, 0, 30, 0, 50, 60}));
    // The next save puts good values in their place and keeps the others' counts.
    ASSERT_TRUE(SaveCounters(store, loaded));
    EXPECT_EQ(store.find(u"STS", u"MidClickCount")->type, MemorySettingsStore::Type::Binary);
    EXPECT_EQ(LoadCounters(store), loaded);
}

TEST(StatisticsStore, NothingStoredStartsFromZeroAndARefusedSaveIsReported) {
    MemorySettingsStore store;
    EXPECT_EQ(LoadCounters(store), Counters{});
    store.failWrites = true;
    EXPECT_FALSE(SaveCounters(store, {1, 2, 3, 4, 5, 6}));
}

}  // namespace
}  // namespace q350::pages
