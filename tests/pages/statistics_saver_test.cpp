#include "pages/statistics_saver.h"

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

namespace q350::pages {
namespace {

using namespace std::chrono_literals;

// A store whose writes can be held at a gate, as a slow registry would hold them; it counts the
// sets of counters written.
class GatedStore final : public SettingsStore {
public:
    StoreResult readBinary(std::u16string_view k, std::u16string_view n,
                           std::vector<std::uint8_t>& out) override {
        std::lock_guard<std::mutex> lock(mutex_);
        return inner_.readBinary(k, n, out);
    }
    bool writeBinary(std::u16string_view k, std::u16string_view n,
                     std::span<const std::uint8_t> data) override {
        std::unique_lock<std::mutex> lock(mutex_);
        if (n == kCounterNames[0]) {
            ++writing_;
            changed_.notify_all();
            changed_.wait(lock, [&] { return open_; });
        }
        const bool ok = inner_.writeBinary(k, n, data);
        if (n == kCounterNames[kCounterCount - 1]) {
            ++sets_;
        }
        return ok;
    }
    StoreResult readDword(std::u16string_view, std::u16string_view, std::uint32_t&) override {
        return StoreResult::Missing;
    }
    bool writeDword(std::u16string_view, std::u16string_view, std::uint32_t) override {
        return false;
    }
    StoreResult readString(std::u16string_view, std::u16string_view, std::u16string&) override {
        return StoreResult::Missing;
    }
    bool writeString(std::u16string_view, std::u16string_view, std::u16string_view) override {
        return false;
    }
    bool deleteValue(std::u16string_view, std::u16string_view) override { return true; }

    void setOpen(bool open) {
        std::lock_guard<std::mutex> lock(mutex_);
        open_ = open;
        changed_.notify_all();
    }
    void setFailing(bool failing) {
        std::lock_guard<std::mutex> lock(mutex_);
        inner_.failWrites = failing;
    }
    // Waits until the n-th set of counters has begun to be written.
    bool waitWriting(int n) {
        std::unique_lock<std::mutex> lock(mutex_);
        return changed_.wait_for(lock, 5s, [&] { return writing_ >= n; });
    }
    int sets() {
        std::lock_guard<std::mutex> lock(mutex_);
        return sets_;
    }
    Counters stored() {
        std::lock_guard<std::mutex> lock(mutex_);
        return LoadCounters(inner_);
    }

private:
    std::mutex mutex_;
    std::condition_variable changed_;
    MemorySettingsStore inner_;
    bool open_ = true;
    int writing_ = 0;
    int sets_ = 0;
};

TEST(StatisticsSaver, HandingOverReturnsWhileTheStoreIsStillBusy) {
    GatedStore store;
    store.setOpen(false);
    StatisticsSaver saver(store);
    saver.post({1, 2, 3, 4, 5, 6});
    ASSERT_TRUE(store.waitWriting(1));
    // The first write hangs at the gate; handing over more does not wait for it.
    const auto start = std::chrono::steady_clock::now();
    saver.post({2, 2, 3, 4, 5, 6});
    saver.post({3, 2, 3, 4, 5, 6});
    EXPECT_LT(std::chrono::steady_clock::now() - start, 1s);
    EXPECT_EQ(store.sets(), 0);
    store.setOpen(true);
    // The copy that waited behind the slow write was replaced by the newer one, not written.
    const auto deadline = std::chrono::steady_clock::now() + 5s;
    while (store.sets() < 2 && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(10ms);
    }
    EXPECT_EQ(store.sets(), 2);
    EXPECT_EQ(store.stored(), (Counters{3, 2, 3, 4, 5, 6}));
}

TEST(StatisticsSaver, ASaveNowIsWrittenAfterWhatWasHandedOverBefore) {
    GatedStore store;
    store.setOpen(false);
    StatisticsSaver saver(store);
    saver.post({100, 0, 0, 0, 0, 0});
    ASSERT_TRUE(store.waitWriting(1));
    store.setOpen(true);
    // A reset's zeros must not be overwritten by the older counts still being written.
    EXPECT_TRUE(saver.saveNow(Counters{}));
    EXPECT_EQ(store.stored(), Counters{});
}

TEST(StatisticsSaver, ARefusedWriteIsReportedAndTheNextGoodOneClearsIt) {
    GatedStore store;
    StatisticsSaver saver(store);
    store.setFailing(true);
    EXPECT_FALSE(saver.saveNow({1, 1, 1, 1, 1, 1}));
    EXPECT_TRUE(saver.lastFailed());
    store.setFailing(false);
    EXPECT_TRUE(saver.saveNow({2, 2, 2, 2, 2, 2}));
    EXPECT_FALSE(saver.lastFailed());
}

TEST(StatisticsSaver, WhatIsStillWaitingIsWrittenBeforeTheSaverEnds) {
    GatedStore store;
    {
        StatisticsSaver saver(store);
        saver.post({9, 8, 7, 6, 5, 4});
    }
    EXPECT_EQ(store.stored(), (Counters{9, 8, 7, 6, 5, 4}));
}

}  // namespace
}  // namespace q350::pages
