// Times downloads into the simulated mouse (which takes as long as the real one to carry out each
// command) with real sleeps. The whole download is printed beside the protocol floor: the sum of
// every wait the sequence and the command set ask for. Then the downloads that follow an edit,
// each sending only what the mouse does not already hold, with the commands they sent and their
// share of a whole download's device time (the time from the first command to the last, without
// the 300 ms the visible Apply holds the full bar). Variants: one changed button, one DPI level,
// one colour, a switch between two profiles that differ in three buttons, DPI and lighting, and
// one pause edited in a 1,000-event macro against uploading that macro again.
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

// Key down, pause, key up, pause: 1,000 events, 500 of them keys.
void PutLongMacro(MacroLibrary& lib, std::size_t index, std::uint32_t id) {
    MacroRecord& r = lib.entry(index);
    std::memset(&r, 0, sizeof(r));
    r.formatTag = kMacroFormatTag;
    r.id = id;
    r.repeat = 1;
    r.eventCount = kMacroMaxEvents;
    r.size = static_cast<std::uint32_t>(kExchangeHeaderSize + 4 * kMacroMaxEvents);
    for (std::size_t i = 0; i < kMacroMaxEvents; ++i) {
        r.events[i] = i % 2 == 1 ? MacroEvent(kMacroPause, 30)
                                 : MacroEvent(i % 4 == 0 ? kMacroKeyDown : kMacroKeyUp,
                                              0x41 + (i / 4) % 26);
    }
}

struct Figures {
    bool ok = false;
    std::uint32_t commands = 0;  // reports the mouse received
    double wallMs = 0;
    double floorMs = 0;
};

// One attached simulated mouse and what the program knows it holds.
class Bench {
public:
    Bench() : mouse_(clock_, Timed()), transport_(mouse_), channel_(transport_),
              device_(channel_, clock_) {
        channel_.open();
        BuildDefaults(*profile, false);
        ZeroRecord(*slot);
    }

    Figures apply(bool endPause) {
        DownloadJob job;
        job.profile = profile.get();
        job.slot = slot.get();
        job.macros = &library;
        job.device = &device_;
        job.deviceMutex = &lock_;
        job.clock = &clock_;
        job.held = &held;
        job.endPause = endPause;
        const std::uint32_t before = mouse_.state().commandCount;
        const std::uint64_t asked = clock_.requestedMs;
        const auto start = std::chrono::steady_clock::now();
        Figures f;
        f.ok = DownloadProfile(job, &report);
        f.wallMs = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() -
                                                             start)
                       .count();
        f.floorMs = static_cast<double>(clock_.requestedMs - asked);
        f.commands = mouse_.state().commandCount - before;
        return f;
    }
    // Forgets what the mouse holds of the macro slots, so that the next download uploads them.
    void forgetMacros() {
        PlanInput in{profile.get(), slot.get(), nullptr, &library, false};
        for (const PlanCommand& c : PlanDownload(in).commands) {
            if (c.op == PlanOp::MacroChunk) {
                held.forget(c);
            }
        }
    }

    std::unique_ptr<ProfileData> profile = std::make_unique<ProfileData>();
    std::unique_ptr<ProfileSlot> slot = std::make_unique<ProfileSlot>();
    MemorySettingsStore settings;
    SilentNotifier notifier;
    CountingClock clock_;
    MacroLibrary library{"/nonexistent", settings, notifier, clock_};
    AcknowledgedState held;
    DownloadReport report;

private:
    static VirtualMouseState Timed() {
        VirtualMouseState s;
        s.modelTiming = true;
        return s;
    }
    VirtualMouse mouse_;
    VirtualMouseTransport transport_;
    HidChannel channel_;
    DeviceCommands device_;
    std::mutex lock_;
};

void PrintWhole(const char* title, const Figures& f) {
    std::printf("%-44s %s  commands %4u  wall %8.1f ms  floor %8.1f ms  overhead %5.2f %% "
                "(x%.3f of the floor)\n",
                title, f.ok ? "ok  " : "FAIL", f.commands, f.wallMs, f.floorMs,
                100.0 * (f.wallMs - f.floorMs) / f.floorMs, f.wallMs / f.floorMs);
}

void PrintShare(const char* title, const Figures& f, const Figures& whole, const char* against) {
    std::printf("%-44s %s  commands %4u  wall %8.1f ms  = %5.2f %% of %s (%.1f ms)\n", title,
                f.ok ? "ok  " : "FAIL", f.commands, f.wallMs, 100.0 * f.wallMs / whole.wallMs,
                against, whole.wallMs);
}

void ProfileEdits() {
    Bench b;
    const Figures visible = b.apply(true);
    PrintWhole("whole download (visible Apply)", visible);
    b.held.forgetAll();
    const Figures whole = b.apply(false);
    PrintWhole("whole download (device time)", whole);

    b.profile->buttons[1][6].function = fn::kMiddle;
    PrintShare("one changed button", b.apply(false), whole, "the whole download");
    // The default profile uses the preset form: levels 1...4 are preset slots 0...3.
    b.profile->dpiX[0][1] = 40;
    b.profile->dpiY[0][1] = 40;
    PrintShare("one changed DPI level (X and Y)", b.apply(false), whole, "the whole download");
    b.profile->ledColor[0][2] = 0x0000C0FF;
    PrintShare("one changed colour", b.apply(false), whole, "the whole download");

    // Two profiles that differ in three buttons, their DPI and their lighting.
    auto other = std::make_unique<ProfileData>(*b.profile);
    other->buttons[0][3].function = fn::kKeyCombo;
    other->buttons[0][3].keyWord = 0x06020002;
    other->buttons[0][4].function = fn::kDisabled;
    other->buttons[2][5].function = fn::kDoubleClick;
    for (int m = 0; m < kModeCount; ++m) {
        for (int l = 0; l < kDpiLevels; ++l) {
            other->dpiX[m][l] += 4;
            other->dpiY[m][l] += 4;
        }
        other->ledColor[0][m] = 0x00FF2000;
        other->ledColor[1][m] = 0x000020FF;
        other->ledEffect[0][m] = 2;
    }
    auto first = std::make_unique<ProfileData>(*b.profile);
    *b.profile = *other;
    PrintShare("switch to a profile differing in 3 buttons,", b.apply(false), whole,
               "the whole download");
    *b.profile = *first;
    PrintShare("  DPI and lighting, and back", b.apply(false), whole, "the whole download");
}

void MacroEdit() {
    Bench b;
    PutLongMacro(b.library, 0, 1);
    b.profile->buttons[0][4].function = fn::kMacro;
    b.slot->buttonMacroId[0][4] = 1;
    PrintWhole("whole download with a 1,000-event macro", b.apply(false));
    b.forgetMacros();
    const Figures upload = b.apply(false);
    PrintShare("uploading that macro again", upload, upload, "itself");
    b.library.entry(0).events[501] = MacroEvent(kMacroPause, 250);
    PrintShare("one pause of the macro edited", b.apply(false), upload, "uploading the macro");
}

}  // namespace
}  // namespace q350

int main() {
    q350::ProfileEdits();
    q350::MacroEdit();
    return 0;
}
