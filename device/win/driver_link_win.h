#pragma once

// The link to the mouse's kernel driver: registration with the device "\\.\qvvmsd", the two
// start-up settings, and the worker thread that waits on the event semaphore (released by the
// driver once per queued event), reads one event per release and hands its word on. When the
// environment names a simulated mouse's state file, a driver living in this process takes the
// events queued in that file and follows the same semaphore protocol.
#include <windows.h>

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>

#include "base/win/kernel_handle.h"

namespace q350 {

// The driver's device as the link uses it: control calls on an open device. Destroying it closes
// the device.
class DriverDevice {
public:
    virtual ~DriverDevice() = default;
    // One buffered control call; true when the device carried it out.
    virtual bool control(std::uint32_t code, const void* in, std::uint32_t inSize, void* out,
                         std::uint32_t outSize) = 0;
};

// Opens "\\.\qvvmsd" for reading and writing, shared read; null when the driver is absent.
std::unique_ptr<DriverDevice> OpenKernelDriver();

// A driver in this process for a simulated mouse: after registration it checks the state file
// every pollMs for queued event words, moves them into its own queue (oldest first) and releases
// the registered semaphore once for each; a read returns the oldest of them.
std::unique_ptr<DriverDevice> OpenSimulatedDriver(std::filesystem::path statePath,
                                                  std::uint32_t pollMs = 20);

// How the link opens the driver: the simulated one when Q350_VIRTUAL_MOUSE names a state file,
// the kernel driver otherwise.
using DriverOpener = std::function<std::unique_ptr<DriverDevice>()>;
DriverOpener DefaultDriverOpener();

class DriverLink {
public:
    explicit DriverLink(DriverOpener opener = DefaultDriverOpener());
    ~DriverLink();
    DriverLink(const DriverLink&) = delete;
    DriverLink& operator=(const DriverLink&) = delete;

    // Creates the event semaphore (count 0, maximum 8,000, unnamed) and the worker (4,096-byte
    // stack). deliver(word) runs on the worker for each event read. False when either cannot be
    // created, and after shutdown.
    bool startWorker(std::function<void(std::uint32_t)> deliver);
    // Opens the driver and hands it the semaphore (command 1). Needs the worker's semaphore. True
    // when registered (also when it already was).
    bool registerDriver();
    // The two start-up settings; true when the control call succeeded.
    bool sendSetting32();
    bool sendSetting4();
    bool registered() const;
    // Command 2 (result ignored) and closing the device, when registered.
    void unregisterDriver();
    // Unregisters, sets the stop flag and releases the semaphore once so the worker wakes and
    // ends. The worker is not waited for: it keeps what it uses alive until it has ended.
    void shutdown();

private:
    struct Shared;
    static DWORD WINAPI Worker(void* param);
    bool sendCommand(const void* block);

    DriverOpener opener_;
    std::shared_ptr<Shared> shared_;
    win::KernelHandle thread_;
    bool shutDown_ = false;
};

}  // namespace q350
