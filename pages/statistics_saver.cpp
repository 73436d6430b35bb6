#include "pages/statistics_saver.h"

namespace q350::pages {

StatisticsSaver::StatisticsSaver(SettingsStore& store)
    : store_(store), thread_([this] { run(); }) {}

StatisticsSaver::~StatisticsSaver() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stopping_ = true;
    }
    wake_.notify_one();
    thread_.join();
}

void StatisticsSaver::post(const Counters& counters) {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        waiting_ = counters;
        ++handedOver_;
    }
    wake_.notify_one();
}

bool StatisticsSaver::saveNow(const Counters& counters) {
    std::unique_lock<std::mutex> lock(mutex_);
    waiting_ = counters;
    const std::uint64_t mine = ++handedOver_;
    wake_.notify_one();
    written_.wait(lock, [&] { return finished_ >= mine; });
    return lastOk_;
}

bool StatisticsSaver::lastFailed() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return !lastOk_;
}

void StatisticsSaver::run() {
    std::unique_lock<std::mutex> lock(mutex_);
    for (;;) {
        wake_.wait(lock, [&] { return waiting_.has_value() || stopping_; });
        if (!waiting_) {
            return;  // stopping with nothing left to write
        }
        const Counters copy = *waiting_;
        const std::uint64_t taken = handedOver_;
        waiting_.reset();
        lock.unlock();
        const bool ok = SaveCounters(store_, copy);
        lock.lock();
        finished_ = taken;
        lastOk_ = ok;
        written_.notify_all();
    }
}

}  // namespace q350::pages
