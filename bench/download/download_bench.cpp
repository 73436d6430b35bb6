// Times a whole download into the simulated mouse (which takes as long as the real one to carry
// out each command) with real sleeps, and prints it beside the protocol floor: the sum of every
// wait the sequence and the command set ask for. Variants: 42 button words with all parameters,
// and the same with two 1,000-event macros.
#include "config/profile_download.h"  // first: it reads the device headers

#include <chrono>
#include <cstdio>
#include <cstring>
#include <memory>
#include <mutex>

#include "config/function_catalog.h"
#include "device/virtual_mouse.h"

namespace q350 {
namespace {

// The real clock, adding up what was asked of it.
class CountingClock final : public Clock {
public:
    std::uint32_t tickMs() override { return real_.tickMs(); }
    void sleepMs(std::uint32_t ms) override {
        requestedMs += ms;
        real_.sleepMs(ms);
    }
    std::uint64_t requestedMs = 0;

private:
    SystemClock real_;
};

void PutLongMacro(MacroLibrary& lib, std::size_t index, std::uint32_t id) {
    MacroRecord& r = lib.entry(index);
    std::memset(&r, 0, sizeof(r));
    r.formatTag = kMacroFormatTag;
    r.id = id;
    r.repeat = 1;
    r.eventCount = kMacroMaxEvents;
    r.size = static_cast<std::uint32_t>(kExchangeHeaderSize + 4 * kMacroMaxEvents);
    for (std::size_t i = 0; i < kMacroMaxEvents; ++i) {
        r.events[i] = MacroEvent(i % 2 == 0 ? kMacroKeyDown : kMacroKeyUp, 0x41 + (i / 2) % 26);
    }
}

void RunVariant(const char* title, bool withMacros) {
    CountingClock clock;
    VirtualMouseState state;
    state.modelTiming = true;
    VirtualMouse mouse(clock, state);
    VirtualMouseTransport transport(mouse);
    HidChannel channel(transport);
    channel.open();
    int mode = 0;
    DeviceCommands device(channel, clock, [&mode] { return mode; });
    MemorySettingsStore settings;
    SilentNotifier notifier;
    MacroLibrary library("/nonexistent", settings, notifier, clock);
    auto profile = std::make_unique<ProfileData>();
    BuildDefaults(*profile, false);
    auto slot = std::make_unique<ProfileSlot>();
    ZeroRecord(*slot);
    if (withMacros) {
        PutLongMacro(library, 0, 1);
        PutLongMacro(library, 1, 2);
        profile->buttons[0][4].function = fn::kMacro;
        slot->buttonMacroId[0][4] = 1;
        profile->buttons[1][4].function = fn::kMacro;
        slot->buttonMacroId[1][4] = 2;
    }
    std::mutex lock;
    DownloadJob job;
    job.profile = profile.get();
    job.slot = slot.get();
    job.macros = &library;
    job.device = &device;
    job.pointerMode = mode;
    job.deviceMutex = &lock;
    job.clock = &clock;
    DownloadReport report;
    const auto start = std::chrono::steady_clock::now();
    const bool ok = DownloadProfile(job, &report);
    const double wallMs =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    const double floorMs = static_cast<double>(clock.requestedMs);
    std::printf("%-34s %s  words %2d  macros %d  commands %5u  wall %8.1f ms  floor %8.1f ms  "
                "overhead %5.2f %%\n",
                title, ok ? "ok  " : "FAIL", report.buttonWordsWritten, report.macrosUploaded,
                mouse.state().commandCount, wallMs, floorMs, 100.0 * (wallMs - floorMs) / floorMs);
}

}  // namespace
}  // namespace q350

int main() {
    q350::RunVariant("42 button words, all parameters", false);
    q350::RunVariant("with two 1,000-event macros", true);
    return 0;
}
