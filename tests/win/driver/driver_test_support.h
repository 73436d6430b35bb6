#pragma once

// Shared pieces of the driver-link tests: a window that collects message 2027, a scripted driver
// device and a temporary simulated mouse.
#include <windows.h>

#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <filesystem>
#include <memory>
#include <vector>

#include "device/driver_channel.h"
#include "device/mouse_state_file.h"
#include "device/win/driver_link_win.h"

namespace q350::testing {

inline constexpr UINT kMsgDriverEvent = 2027;

// A hidden message-only window that records the words of every 2027 it receives.
class EventSink {
public:
    EventSink();
    ~EventSink();
    EventSink(const EventSink&) = delete;
    EventSink& operator=(const EventSink&) = delete;

    HWND hwnd() const { return hwnd_; }
    // The deliver callback of a worker: posts 2027 with the word to this window.
    std::function<void(std::uint32_t)> poster() const;
    // Pumps messages until count words arrived or timeoutMs passed; returns the words so far.
    const std::vector<std::uint32_t>& waitFor(std::size_t count, DWORD timeoutMs = 5000);

    std::vector<std::uint32_t> words;
    std::vector<LPARAM> lparams;

private:
    static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
    HWND hwnd_ = nullptr;
};

// The driver's side of a scripted driver: what it saw and what it will do. Outlives the device.
struct DriverScript {
    std::mutex lock;
    std::vector<std::uint32_t> commands;  // commands of the blocks, in order
    std::uint32_t semaphore = 0;          // as given with command 1
    std::deque<std::uint32_t> pending;    // events queued, oldest first
    int reads = 0;
    int opens = 0;
    bool closed = false;
    bool refuseRegister = false;
    int failReads = 0;  // the next n reads fail
    HANDLE readGate = nullptr;  // when set, a read waits for this event first (as in the driver)

    // Queues words and releases the registered semaphore once per word, as the driver does.
    void signal(const std::vector<std::uint32_t>& words);
};

class ScriptedDriver final : public DriverDevice {
public:
    explicit ScriptedDriver(std::shared_ptr<DriverScript> script) : script_(std::move(script)) {}
    ~ScriptedDriver() override;
    bool control(std::uint32_t code, const void* in, std::uint32_t inSize, void* out,
                 std::uint32_t outSize) override;

private:
    std::shared_ptr<DriverScript> script_;
};

// An opener that hands out a scripted device for the script each time it is called.
DriverOpener ScriptedOpener(const std::shared_ptr<DriverScript>& script);

// A fresh simulated mouse in the temporary folder, removed again at the end.
class TempMouse {
public:
    explicit TempMouse(const VirtualMouseState& state = {});
    ~TempMouse();
    const std::filesystem::path& path() const { return path_; }
    bool queue(std::uint32_t word);
    std::vector<std::uint32_t> queued() const;

private:
    std::filesystem::path path_;
};

}  // namespace q350::testing
