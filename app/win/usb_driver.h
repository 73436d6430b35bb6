#pragma once

// The main window's driver-event link: the worker and registration of DriverLink, and the handling
// of each event on the window's thread with the real desktop (shell, sound, screenshot tool).
#include <windows.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>

#include "app/driver_events.h"
#include "app/host_actions.h"
#include "config/profile_data.h"
#include "device/win/driver_link_win.h"

namespace q350 {
class DeviceCommands;
}

namespace q350::app {

// Asks the mouse one query (0xA2 or 0xA9); false when it did not answer.
using MouseQuery = std::function<bool(std::uint8_t opcode, std::uint32_t& value)>;

// The queries of the driver events on the main window's device. They never wait for the device
// mutex: while a download holds it they count as unanswered, so that the two never interleave
// their reports on the channel.
MouseQuery QueryUnlessBusy(DeviceCommands& device, std::mutex& deviceMutex);

// ShellExecuteW "open", PlaySoundW (file name, asynchronous) and WinExec, each with normal show
// and unchecked.
class WinHostShell final : public HostShell {
public:
    void open(std::u16string_view target) override;
    void playSound(std::u16string_view file) override;
    void run(std::string_view commandLine) override;
};

class UsbDriver final : public DriverEvents {
public:
    // query reaches the mouse; profile gives the active profile at the time of each event.
    UsbDriver(MouseQuery query, std::function<const ProfileData&()> profile,
              DriverOpener opener = DefaultDriverOpener(),
              std::unique_ptr<HostShell> shell = std::make_unique<WinHostShell>());
    ~UsbDriver() override;

    bool startWorker(std::function<void(std::uint32_t)> deliver) override;
    // Registers; once registered sends the settings 32 and then 4 and reports success.
    bool tryConnect() override;
    void onEvent(std::uint32_t eventWord, DriverEventHost& host) override;
    void shutdown() override;

    DriverLink& link() { return link_; }

private:
    class Queries;

    MouseQuery query_;
    std::function<const ProfileData&()> profile_;
    std::unique_ptr<HostShell> shell_;
    DriverLink link_;
};

}  // namespace q350::app
