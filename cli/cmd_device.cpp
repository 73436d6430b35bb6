// q350ctl device: read the mouse (real through hidraw, or simulated), and create, change and dump
// simulated mice.
#include <charconv>
#include <cstdint>
#include <filesystem>
#include <iostream>
#include <memory>
#include <optional>
#include <string>

#include "base/clock.h"
#include "cli/commands.h"
#include "cli/dump_json.h"
#include "device/device_commands.h"
#include "device/hid_channel.h"
#include "device/linux/hidraw_transport.h"
#include "device/mouse_dump.h"
#include "device/mouse_state_file.h"

namespace q350::cli {

namespace {

constexpr const char* kInfoUsage = "device info [--virtual STATE | --device PATH]";
constexpr const char* kDumpUsage = "device dump --virtual STATE [--json]";
constexpr const char* kNewUsage = "device virtual new STATE [--firmware N] [--mode M]";
constexpr const char* kSetUsage =
    "device virtual set STATE [--mode M] [--firmware N] [--resolution R] [--dpi-level L] "
    "[--plugged yes|no] [--timing on|off] [--fault none|no-reply|never-done|corrupt|stall] "
    "[--fault-from N] [--unplug-after N]";
constexpr const char* kEventUsage = "device virtual event STATE WORD";

std::optional<std::uint32_t> ParseNumber(const std::string& text, std::uint32_t max) {
    std::uint32_t value = 0;
    int base = 10;
    std::string_view digits = text;
    if (digits.size() > 2 && digits[0] == '0' && (digits[1] == 'x' || digits[1] == 'X')) {
        base = 16;
        digits.remove_prefix(2);
    }
    const auto [end, ec] =
        std::from_chars(digits.data(), digits.data() + digits.size(), value, base);
    if (ec != std::errc() || end != digits.data() + digits.size() || value > max) {
        return std::nullopt;
    }
    return value;
}

std::string StateProblem(const std::string& path, StateFileError error) {
    return "simulated mouse '" + path + "': the state file is " + StateFileErrorText(error);
}

int Info(const Args& args) {
    std::string virtualPath;
    std::string devicePath;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if ((args[i] == "--virtual" || args[i] == "--device") && i + 1 < args.size()) {
            std::string& target = args[i] == "--virtual" ? virtualPath : devicePath;
            target = args[++i];
        } else {
            return Usage(kInfoUsage);
        }
    }
    if (!virtualPath.empty() && !devicePath.empty()) {
        return Usage(kInfoUsage);
    }
    WallClock wallClock;
    std::unique_ptr<HidTransport> transport;
    if (!virtualPath.empty()) {
        transport = std::make_unique<VirtualMouseFileTransport>(virtualPath, wallClock);
    } else {
        transport = std::make_unique<HidrawTransport>(devicePath);
    }
    HidChannel channel(*transport);
    if (!channel.open()) {
        if (auto* file = dynamic_cast<VirtualMouseFileTransport*>(transport.get())) {
            if (file->lastError() != StateFileError::None) {
                return Fail(StateProblem(virtualPath, file->lastError()));
            }
            return Fail("simulated mouse '" + virtualPath + "' is unplugged");
        }
        return Fail(static_cast<HidrawTransport*>(transport.get())->lastError());
    }
    SystemClock clock;
    DeviceCommands commands(channel, clock, [] { return 0; });
    struct Query {
        std::uint8_t opcode;
        const char* what;
    };
    constexpr Query kQueries[] = {{kOpQueryMode, "mode"},
                                  {kOpQueryFirmware, "firmware version"},
                                  {kOpQueryResolution, "resolution"}};
    std::uint32_t values[3] = {};
    for (int i = 0; i < 3; ++i) {
        if (!commands.query(kQueries[i].opcode, values[i])) {
            return Fail(std::string("the mouse did not answer the ") + kQueries[i].what + " query");
        }
    }
    std::cout << "mode: " << values[0] << " (" << ModeName(static_cast<int>(values[0])) << ")\n"
              << "firmware: " << values[1] << "\n"
              << "resolution: " << values[2] << " (" << values[2] * 50 << " DPI)\n";
    return 0;
}

int Dump(const Args& args) {
    std::string path;
    bool json = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--virtual" && i + 1 < args.size()) {
            path = args[++i];
        } else if (args[i] == "--json") {
            json = true;
        } else {
            return Usage(kDumpUsage);
        }
    }
    if (path.empty()) {
        return Usage(kDumpUsage);
    }
    VirtualMouseState state;
    StateFileError error = StateFileError::None;
    if (!ReadMouseState(path, state, &error)) {
        return Fail(StateProblem(path, error));
    }
    std::cout << (json ? MouseDumpJson(state) : DumpMouseText(state));
    return 0;
}

// Applies "--option value" pairs of new/set to a state; returns 0 or an exit status.
int ApplyOptions(const Args& args, std::size_t from, VirtualMouseState& s, bool allOptions,
                 const char* usage) {
    for (std::size_t i = from; i < args.size(); ++i) {
        const std::string& opt = args[i];
        if (i + 1 >= args.size()) {
            return Usage(usage);
        }
        const std::string& value = args[++i];
        std::optional<std::uint32_t> n;
        if (opt == "--firmware" && (n = ParseNumber(value, 255))) {
            s.firmware = static_cast<std::uint8_t>(*n);
        } else if (opt == "--mode" && (n = ParseNumber(value, kModeCount - 1))) {
            s.mode = static_cast<std::uint8_t>(*n);
        } else if (!allOptions) {
            return Usage(usage);
        } else if (opt == "--resolution" && (n = ParseNumber(value, 255))) {
            s.resolution = static_cast<std::uint8_t>(*n);
        } else if (opt == "--dpi-level" && (n = ParseNumber(value, kDpiLevelCount)) && *n >= 1) {
            s.dpiLevel = static_cast<std::uint8_t>(*n - 1);
        } else if (opt == "--plugged" && (value == "yes" || value == "no")) {
            s.plugged = value == "yes";
        } else if (opt == "--timing" && (value == "on" || value == "off")) {
            s.modelTiming = value == "on";
        } else if (opt == "--fault-from" && (n = ParseNumber(value, UINT32_MAX))) {
            s.faultFromCommand = *n;
        } else if (opt == "--unplug-after" && (n = ParseNumber(value, UINT32_MAX))) {
            s.unplugAfterCommands = *n;
        } else if (opt == "--fault") {
            bool known = false;
            for (MouseFault f : {MouseFault::None, MouseFault::NoReply, MouseFault::NeverDone,
                                 MouseFault::CorruptReply, MouseFault::Stall}) {
                if (value == FaultName(f)) {
                    s.fault = f;
                    known = true;
                }
            }
            if (!known) {
                return Usage(usage);
            }
        } else {
            return Usage(usage);
        }
    }
    return 0;
}

int VirtualNew(const Args& args) {
    if (args.size() < 2) {
        return Usage(kNewUsage);
    }
    const std::string& path = args[1];
    VirtualMouseState state;
    if (int status = ApplyOptions(args, 2, state, false, kNewUsage); status != 0) {
        return status;
    }
    // Replaces an earlier simulated mouse, but never some other file.
    std::error_code ec;
    if (std::filesystem::exists(path, ec)) {
        VirtualMouseState old;
        StateFileError error = StateFileError::None;
        if (!LoadMouseState(path, old, &error) && error != StateFileError::NotFound) {
            return Fail("'" + path + "' exists and is not a simulated mouse; not replaced");
        }
    }
    MouseStateLock lock(path);
    StateFileError error = StateFileError::None;
    if (!lock.held() || !SaveMouseState(path, state, &error)) {
        return Fail(StateProblem(path, lock.held() ? error : StateFileError::Locked));
    }
    std::cout << "created simulated mouse " << path << " (mode " << int{state.mode} << ", firmware "
              << int{state.firmware} << ")\n";
    return 0;
}

int VirtualSet(const Args& args) {
    if (args.size() < 2) {
        return Usage(kSetUsage);
    }
    const std::string& path = args[1];
    WallClock clock;
    int status = 0;
    StateFileError error = StateFileError::None;
    const bool ok = UpdateMouseState(
        path, clock,
        [&](VirtualMouse& mouse) {
            status = ApplyOptions(args, 2, mouse.state(), true, kSetUsage);
            return status == 0;
        },
        &error);
    if (status != 0) {
        return status;
    }
    return ok ? 0 : Fail(StateProblem(path, error));
}

int VirtualEvent(const Args& args) {
    if (args.size() != 3) {
        return Usage(kEventUsage);
    }
    const auto word = ParseNumber(args[2], UINT32_MAX);
    if (!word) {
        return Usage(kEventUsage);
    }
    WallClock clock;
    StateFileError error = StateFileError::None;
    bool full = false;
    const bool ok = UpdateMouseState(
        args[1], clock,
        [&](VirtualMouse& mouse) {
            full = !mouse.pushEvent(*word);
            return !full;
        },
        &error);
    if (full) {
        return Fail("the simulated mouse's event queue is full");
    }
    return ok ? 0 : Fail(StateProblem(args[1], error));
}

}  // namespace

int RunDevice(const Args& args) {
    const std::string sub = args.empty() ? "" : args[0];
    const Args rest(args.begin() + (args.empty() ? 0 : 1), args.end());
    if (sub == "info") {
        return Info(rest);
    }
    if (sub == "dump") {
        return Dump(rest);
    }
    if (sub == "virtual" && !rest.empty()) {
        if (rest[0] == "new") {
            return VirtualNew(rest);
        }
        if (rest[0] == "set") {
            return VirtualSet(rest);
        }
        if (rest[0] == "event") {
            return VirtualEvent(rest);
        }
    }
    if (sub == "--help" || sub == "-h") {
        std::cout << "usage:\n  q350ctl " << kInfoUsage << "\n  q350ctl " << kDumpUsage
                  << "\n  q350ctl " << kNewUsage << "\n  q350ctl " << kSetUsage << "\n  q350ctl "
                  << kEventUsage << "\n";
        return 0;
    }
    return Usage(std::string(kInfoUsage) + "\n       q350ctl " + kDumpUsage + "\n       q350ctl " +
                 kNewUsage + "\n       q350ctl " + kSetUsage + "\n       q350ctl " + kEventUsage);
}

}  // namespace q350::cli
