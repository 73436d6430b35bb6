#pragma once

// Keeps the usage counters in the settings store from a thread of its own, so that the window
// that counts never waits for the store. Counters handed over while an earlier copy waits are
// newer and replace it; writes happen one at a time, in the order the copies were handed over.
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <optional>
#include <thread>

#include "pages/statistics_model.h"

namespace q350::pages {

class StatisticsSaver {
public:
    // store: used from the saver's thread only, while the saver lives.
    explicit StatisticsSaver(SettingsStore& store);
    // Writes what is still waiting, then ends the thread.
    ~StatisticsSaver();
    StatisticsSaver(const StatisticsSaver&) = delete;
    StatisticsSaver& operator=(const StatisticsSaver&) = delete;

    // Hands a copy over to be written soon; returns at once.
    void post(const Counters& counters);
    // Writes the copy after anything handed over before and waits for it; true when the store
    // took every value.
    bool saveNow(const Counters& counters);
    // Whether the last write that finished was refused in part.
    bool lastFailed() const;

private:
    void run();

    SettingsStore& store_;
    mutable std::mutex mutex_;
    std::condition_variable wake_;
    std::condition_variable written_;
    std::optional<Counters> waiting_;
    std::uint64_t handedOver_ = 0;  // copies handed over so far
    std::uint64_t finished_ = 0;    // the last of them that is written
    bool lastOk_ = true;
    bool stopping_ = false;
    std::thread thread_;  // last: starts once everything above is ready
};

}  // namespace q350::pages
