// q350ctl profile apply: the whole download of a profile (or export) file into a simulated or real
// mouse, with a progress bar on a terminal.
#include "cli/profile_apply.h"

#include "config/profile_download.h"  // first: it reads the device headers

#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <iostream>
#include <memory>
#include <mutex>
#include <string>

#include "base/file_io.h"
#include "base/utf.h"
#include "config/function_catalog.h"
#include "device/linux/hidraw_transport.h"
#include "device/mouse_state_file.h"

namespace q350::cli {

namespace {

constexpr const char* kApplyUsage =
    "profile apply FILE [--macros Macro.cfg] [--virtual STATE | --device PATH | --dry-run]";
constexpr int kBarWidth = 40;

// Messages of the download go to standard error.
class StderrNotifier final : public Notifier {
public:
    int show(MessageForm, std::u16string_view text) override {
        std::cerr << "q350ctl: " << Utf16ToUtf8(text) << "\n";
        return kMessageOk;
    }
};

void DrawBar(int percent) {
    const int filled = percent * kBarWidth / 100;
    std::string bar(static_cast<std::size_t>(filled), '#');
    bar.append(static_cast<std::size_t>(kBarWidth - filled), ' ');
    std::fprintf(stderr, "\r[%s] %3d%%", bar.c_str(), percent);
    std::fflush(stderr);
}

// The sequence a download would send, one readable line a command, without a mouse.
int PrintPlan(const ProfileData& profile, const ProfileSlot& slot,
              const std::int32_t (*pending)[kButtonCount], const MacroLibrary& macros) {
    PlanInput input;
    input.profile = &profile;
    input.slot = &slot;
    input.pendingMacroId = pending;
    input.macros = &macros;
    const DownloadPlan plan = PlanDownload(input);
    for (const std::string& c : plan.corrections) {
        std::cout << "# brought into range: " << c << "\n";
    }
    for (const std::string& s : plan.skipped) {
        std::cout << "# " << s << "; the button is switched off\n";
    }
    std::cout << "wait " << kDownloadStartPauseMs << " ms\n";
    for (const PlanCommand& c : plan.commands) {
        std::cout << DescribeCommand(c) << "\n";
    }
    std::cout << plan.commands.size() << " commands, " << plan.macroUploads
              << " macro uploads\n";
    return 0;
}

}  // namespace

int RunProfileApply(const Args& allArgs) {
    Args args = allArgs;
    if (!args.empty() && args[0] == "apply") {
        args.erase(args.begin());
    }
    std::string file, macrosPath, virtualPath, devicePath;
    bool dryRun = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--dry-run") {
            dryRun = true;
        } else if ((a == "--macros" || a == "--virtual" || a == "--device") && i + 1 < args.size()) {
            (a == "--macros" ? macrosPath : a == "--virtual" ? virtualPath : devicePath) =
                args[++i];
        } else if (file.empty() && a.rfind("--", 0) != 0) {
            file = a;
        } else {
            return Usage(kApplyUsage);
        }
    }
    const int targets = (virtualPath.empty() ? 0 : 1) + (devicePath.empty() ? 0 : 1) + (dryRun ? 1 : 0);
    if (file.empty() || targets != 1) {
        return Usage(kApplyUsage);
    }

    // The profile, and with an export file the slot holding the buttons' macro ids.
    std::vector<std::uint8_t> bytes;
    FileError error = FileError::None;
    if (!ReadFileBytes(file, bytes, &error, kExportFileSize + 1)) {
        return Fail("cannot read " + file + (error == FileError::NotFound ? ": no such file" : ""));
    }
    auto profile = std::make_unique<ProfileData>();
    FillRecord(*profile, bytes);
    if (bytes.size() < kProfileSize || profile->magic != kProfileMagic) {
        return Fail(file + " is not a Q350 profile");
    }
    auto slot = std::make_unique<ProfileSlot>();
    ZeroRecord(*slot);
    std::int32_t pending[kModeCount][kButtonCount] = {};
    if (bytes.size() >= kExportFileSize) {
        FillRecord(*slot, std::span<const std::uint8_t>(bytes).subspan(kProfileSize, kSlotSize));
    } else {
        for (int m = 0; m < kModeCount; ++m) {
            for (int k = 0; k < kButtonCount; ++k) {
                if (profile->buttons[m][k].function == fn::kMacro) {
                    pending[m][k] = profile->buttons[m][k].macroId;
                }
            }
        }
    }

    WallClock clock;
    MemorySettingsStore settings;
    StderrNotifier notifier;
    MacroLibrary macros(".", settings, notifier, clock);
    if (!macrosPath.empty()) {
        std::vector<std::uint8_t> image;
        if (!ReadFileBytes(macrosPath, image, &error, kMacroFileSize)) {
            return Fail("cannot read the macro library " + macrosPath);
        }
        std::memcpy(&macros.entry(0), image.data(), image.size());
    }

    if (dryRun) {
        return PrintPlan(*profile, *slot, pending, macros);
    }

    std::unique_ptr<HidTransport> transport;
    if (!virtualPath.empty()) {
        transport = std::make_unique<VirtualMouseFileTransport>(virtualPath, clock);
    } else {
        transport = std::make_unique<HidrawTransport>(devicePath);
    }
    HidChannel channel(*transport);
    if (!channel.open()) {
        if (auto* f = dynamic_cast<VirtualMouseFileTransport*>(transport.get())) {
            return Fail("cannot open the simulated mouse " + virtualPath + ": the state file is " +
                        StateFileErrorText(f->lastError()));
        }
        return Fail("cannot open " + devicePath + ": " +
                    static_cast<HidrawTransport*>(transport.get())->lastError());
    }
    DeviceCommands device(channel, clock);
    std::uint32_t mouseMode = 0;
    int mode = 0;
    if (device.query(kOpQueryMode, mouseMode) && mouseMode < kModeCount) {
        mode = static_cast<int>(mouseMode);
    }

    std::mutex deviceMutex;
    const bool terminal = isatty(STDERR_FILENO) != 0;
    DownloadJob job;
    job.profile = profile.get();
    job.slot = slot.get();
    job.pendingMacroId = pending;
    job.macros = &macros;
    job.device = &device;
    // The tool cannot know what the mouse holds: it writes everything.
    job.pointerMode = mode;
    job.deviceMutex = &deviceMutex;
    job.clock = &clock;
    job.notifier = &notifier;
    if (terminal) {
        job.progress = DrawBar;
    }
    DownloadReport report;
    const bool ok = DownloadProfile(job, &report);
    if (terminal) {
        std::fprintf(stderr, "\n");
    }
    for (const std::string& s : report.skipped) {
        std::cerr << "q350ctl: " << s << "; the button was switched off\n";
    }
    if (!ok) {
        std::string why;
        for (const std::string& f : report.failures) {
            why += "\n  " + f;
        }
        return Fail("the profile was not fully written into the mouse; these steps failed:" + why);
    }
    std::cout << "applied " << file << ": " << report.buttonWordsWritten << " button words, "
              << report.macrosUploaded << " macros\n";
    if (!report.skipped.empty()) {
        return Fail("buttons name macros that are not in the macro library; they were switched "
                    "off (see above)");
    }
    return 0;
}

}  // namespace q350::cli
