#pragma once

// Time and waiting, behind an interface so that protocol waits can be checked without sleeping.
#include <cstdint>
#include <vector>

namespace q350 {

class Clock {
public:
    virtual ~Clock() = default;
    // Milliseconds since some fixed start; wraps like a 32-bit tick count.
    virtual std::uint32_t tickMs() = 0;
    virtual void sleepMs(std::uint32_t ms) = 0;
};

// The real clock: a steady clock and a real sleep.
class SystemClock final : public Clock {
public:
    std::uint32_t tickMs() override;
    void sleepMs(std::uint32_t ms) override;
};

// A clock that only moves when slept on; remembers every sleep in order.
class FakeClock final : public Clock {
public:
    std::uint32_t tickMs() override { return now; }
    void sleepMs(std::uint32_t ms) override {
        sleeps.push_back(ms);
        now += ms;
    }
    std::uint64_t totalSleptMs() const {
        std::uint64_t sum = 0;
        for (std::uint32_t s : sleeps) {
            sum += s;
        }
        return sum;
    }
    std::uint32_t now = 0;
    std::vector<std::uint32_t> sleeps;
};

}  // namespace q350
