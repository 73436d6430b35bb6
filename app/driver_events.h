#pragma once

// The link to the kernel driver's event channel as the main window sees it. The window calls it at
// four moments: at start-up to start the worker that waits for events, on each tick of timer 19
// until the driver accepts the program, for each event the worker hands over (message 2027 on the
// window's thread) and at shutdown. The program runs with NoDriverEvents until the real channel
// is plugged in; the window does not change for it.
#include <cstdint>
#include <functional>

namespace q350::app {

// What the channel may ask of the main window, on the window's thread.
class DriverEventHost {
public:
    virtual ~DriverEventHost() = default;
    // Shows the DPI indicator at a level in units of 100 DPI (1..82) for about two seconds.
    virtual void showDpiIndicator(int level) = 0;
    // Passes an event word on to the statistics page (message 1225) once that page exists.
    virtual void forwardToStatistics(std::uint32_t eventWord) = 0;
    // The mode the program knows the mouse to be in (0...2): taken when the mouse cannot be
    // asked, as while a download holds it.
    virtual int knownMode() const { return 0; }
};

class DriverEvents {
public:
    virtual ~DriverEvents() = default;
    // Start-up: creates the semaphore and the worker. deliver(word) is called on the worker and
    // must only post the word to the window (message 2027). False when no worker runs.
    virtual bool startWorker(std::function<void(std::uint32_t)> deliver) = 0;
    // Timer 19: opens the driver and registers with it; true once connected (the timer stops).
    virtual bool tryConnect() = 0;
    // Message 2027 on the window's thread: counts the event and carries out its host action.
    virtual void onEvent(std::uint32_t eventWord, DriverEventHost& host) = 0;
    // Shutdown: tells the driver the program leaves, closes it and stops the worker (stop flag
    // and one release of the semaphore; the worker is not waited for).
    virtual void shutdown() = 0;
};

// No driver link: start-up and shutdown do nothing, the connection attempt never succeeds (so
// timer 19 keeps trying, as with an absent driver) and no event ever arrives.
class NoDriverEvents final : public DriverEvents {
public:
    bool startWorker(std::function<void(std::uint32_t)>) override { return false; }
    bool tryConnect() override { return false; }
    void onEvent(std::uint32_t, DriverEventHost&) override {}
    void shutdown() override {}
};

}  // namespace q350::app
