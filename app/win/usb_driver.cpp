#include "app/win/usb_driver.h"

#include <mmsystem.h>
#include <shellapi.h>

#include <string>

#include "base/win/module.h"
#include "device/device_commands.h"
#include "device/device_protocol.h"

namespace q350::app {

namespace {

std::wstring Wide(std::u16string_view text) {
    return std::wstring(text.begin(), text.end());
}

}  // namespace

MouseQuery QueryUnlessBusy(DeviceCommands& device, std::mutex& deviceMutex) {
    return [&device, &deviceMutex](std::uint8_t opcode, std::uint32_t& value) {
        std::unique_lock<std::mutex> hold(deviceMutex, std::try_to_lock);
        return hold.owns_lock() && device.query(opcode, value);
    };
}

void WinHostShell::open(std::u16string_view target) {
    ShellExecuteW(nullptr, L"open", Wide(target).c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

void WinHostShell::playSound(std::u16string_view file) {
    static const auto play = win::SystemProc<decltype(&PlaySoundW)>(L"winmm.dll", "PlaySoundW");
    if (play != nullptr) {
        play(Wide(file).c_str(), nullptr, SND_FILENAME | SND_ASYNC);
    }
}

void WinHostShell::run(std::string_view commandLine) {
    WinExec(std::string(commandLine).c_str(), SW_SHOWNORMAL);
}

class UsbDriver::Queries final : public EventQueries {
public:
    explicit Queries(const MouseQuery& query) : query_(query) {}
    bool queryMode(std::uint32_t& mode) override { return ask(kOpQueryMode, mode); }
    bool queryResolution(std::uint32_t& resolution) override {
        return ask(kOpQueryResolution, resolution);
    }

private:
    bool ask(std::uint8_t opcode, std::uint32_t& value) { return query_ && query_(opcode, value); }
    const MouseQuery& query_;
};

UsbDriver::UsbDriver(MouseQuery query, std::function<const ProfileData&()> profile,
                     DriverOpener opener, std::unique_ptr<HostShell> shell)
    : query_(std::move(query)),
      profile_(std::move(profile)),
      shell_(std::move(shell)),
      link_(std::move(opener)) {}

UsbDriver::~UsbDriver() {
    link_.shutdown();
}

bool UsbDriver::startWorker(std::function<void(std::uint32_t)> deliver) {
    return link_.startWorker(std::move(deliver));
}

bool UsbDriver::tryConnect() {
    if (!link_.registerDriver()) {
        return false;
    }
    // The settings' results do not undo the registration; the second goes only to an open device.
    link_.sendSetting32();
    if (link_.registered()) {
        link_.sendSetting4();
    }
    return true;
}

void UsbDriver::onEvent(std::uint32_t eventWord, DriverEventHost& host) {
    if (!profile_ || !shell_) {
        host.forwardToStatistics(eventWord);
        return;
    }
    Queries queries(query_);
    HandleDriverEvent(eventWord, profile_(), queries, *shell_, host);
}

void UsbDriver::shutdown() {
    link_.shutdown();
}

}  // namespace q350::app
