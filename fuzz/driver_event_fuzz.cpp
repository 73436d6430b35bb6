// Fuzz target of driver-event decoding: any event word with any mouse mode, resolution and button
// paths through the host-action decision and the event handler, and any bytes read as a driver
// command block.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>

#include "app/host_actions.h"
#include "device/driver_channel.h"
#include "fuzz/fuzz_support.h"

namespace {

using namespace q350;

std::uint32_t Word(const std::uint8_t* data, std::size_t size, std::size_t at) {
    std::uint32_t v = 0;
    if (at + sizeof v <= size) {
        std::memcpy(&v, data + at, sizeof v);
    }
    return v;
}

struct Queries final : app::EventQueries {
    std::uint32_t mode = 0, resolution = 0;
    bool answers = true;
    bool queryMode(std::uint32_t& m) override {
        m = mode;
        return answers;
    }
    bool queryResolution(std::uint32_t& r) override {
        r = resolution;
        return answers;
    }
};

struct Shell final : app::HostShell {
    int calls = 0;
    void open(std::u16string_view) override { ++calls; }
    void playSound(std::u16string_view) override { ++calls; }
    void run(std::string_view) override { ++calls; }
};

struct Host final : app::DriverEventHost {
    int shown = 0, forwarded = 0;
    void showDpiIndicator(int) override { ++shown; }
    void forwardToStatistics(std::uint32_t) override { ++forwarded; }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const std::unique_ptr<ProfileData> profile = [] {
        auto p = std::make_unique<ProfileData>();
        BuildDefaults(*p, false);
        return p;
    }();
    // The bytes after the three words become the paths of the buttons, any UTF-16 at all.
    for (int m = 0; m < kModeCount; ++m) {
        for (int k = 0; k < kButtonCount; ++k) {
            std::memset(profile->buttons[m][k].path, 0, sizeof profile->buttons[m][k].path);
        }
    }
    const std::size_t pathBytes = size > 12 ? size - 12 : 0;
    const std::size_t units = std::min(pathBytes / 2, kTextChars);
    for (std::size_t i = 0; i < units; ++i) {
        const char16_t c = static_cast<char16_t>(data[12 + 2 * i] | (data[13 + 2 * i] << 8));
        for (int m = 0; m < kModeCount; ++m) {
            profile->buttons[m][i % kButtonCount].path[i / kButtonCount] = c;
        }
    }

    const std::uint32_t event = Word(data, size, 0);
    Queries queries;
    queries.mode = Word(data, size, 4);
    queries.resolution = Word(data, size, 8);
    queries.answers = (event & 0x10) == 0;
    const app::HostAction action =
        app::DecideHostAction(event, queries.mode, *profile, queries.resolution);
    if (action.type == app::HostAction::Type::ShowDpi &&
        action.dpiLevel != app::DpiIndicatorLevel(queries.resolution)) {
        fuzz::Finding("the DPI indicator shows another level than the reply gives");
    }
    Shell shell;
    Host host;
    app::HandleDriverEvent(event, *profile, queries, shell, host);
    if (host.forwarded != 1) {
        fuzz::Finding("an event was not passed on to the statistics exactly once");
    }
    if (!DeviceEvent(event).isHostAction() && shell.calls != 0) {
        fuzz::Finding("an event that is no host action started something");
    }
    const ReceivedCommand command = ReadCommandBlock(data, size);
    if (command.valid && size != sizeof(DriverCommandBlock)) {
        fuzz::Finding("a command block of the wrong size was taken");
    }
    return 0;
}
