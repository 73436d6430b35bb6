#include "device/mouse_dump.h"

#include <cstdarg>
#include <cstdio>
#include <span>

#include "device/macro_program.h"

namespace q350 {

namespace {

std::string Format(const char* fmt, ...) __attribute__((format(printf, 1, 2)));
std::string Format(const char* fmt, ...) {
    char buf[256];
    va_list args;
    va_start(args, fmt);
    std::vsnprintf(buf, sizeof buf, fmt, args);
    va_end(args);
    return buf;
}

std::span<const std::uint8_t> SlotBytes(const VirtualMouseState& s, int slot) {
    return std::span<const std::uint8_t>(s.memory).subspan(MacroSlotAddress(slot), kMacroSlotSize);
}

std::string Hex(std::span<const std::uint8_t> bytes, std::size_t perLine, const char* indent) {
    std::string out;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (perLine != 0 && i % perLine == 0) {
            out += i == 0 ? "" : "\n";
            out += indent;
        } else if (i != 0) {
            out += ' ';
        }
        out += Format("%02x", bytes[i]);
    }
    return out;
}

std::string EventText(const MacroProgramEntry& e) {
    std::string text = std::string(e.pressed ? "down " : "up ") + KeyboardUsageName(e.usage);
    if (e.pauseMs != 0) {
        text += Format(", wait %u ms", static_cast<unsigned>(e.pauseMs));
    }
    return text;
}

}  // namespace

const char* ModeName(int mode) {
    switch (mode) {
        case 0:
            return "office";
        case 1:
            return "MOBA";
        case 2:
            return "FPS";
        default:
            return "?";
    }
}

const char* ParameterName(std::uint8_t id) {
    switch (id) {
        case kParamRed0:
            return "zone 0 red";
        case kParamBlue0:
            return "zone 0 blue";
        case kParamGreen0:
            return "zone 0 green";
        case kParamDpiX0:
            return "DPI X levels of mode 0";
        case kParamDpiX1:
            return "DPI X levels of mode 1";
        case kParamDpiX2:
            return "DPI X levels of mode 2";
        case kParamDpiY0:
            return "DPI Y levels of mode 0";
        case kParamDpiY1:
            return "DPI Y levels of mode 1";
        case kParamDpiY2:
            return "DPI Y levels of mode 2";
        case kParamReportRate:
            return "report-rate code";
        case kParamLiftOff:
            return "lift-off value";
        case kParamEffect0:
            return "zone 0 effect";
        case kParamTopLevel:
            return "DPI levels minus one";
        case kParamProximity:
            return "proximity sensing";
        case kParamSpeed0:
            return "zone 0 speed";
        case kParamEffect1:
            return "zone 1 effect";
        case kParamRed1:
            return "zone 1 red";
        case kParamBlue1:
            return "zone 1 blue";
        case kParamGreen1:
            return "zone 1 green";
        case kParamSpeed1:
            return "zone 1 speed";
        default:
            return "unused";
    }
}

const char* FaultName(MouseFault fault) {
    switch (fault) {
        case MouseFault::None:
            return "none";
        case MouseFault::NoReply:
            return "no-reply";
        case MouseFault::NeverDone:
            return "never-done";
        case MouseFault::CorruptReply:
            return "corrupt";
        case MouseFault::Stall:
            return "stall";
    }
    return "?";
}

std::string DumpMouseText(const VirtualMouseState& s) {
    std::string out = "Simulated Q350 mouse\n";
    out += Format("  plugged: %s\n", s.plugged ? "yes" : "no");
    out += Format("  mode: %d (%s)\n", s.mode, ModeName(s.mode));
    out += Format("  firmware: %d\n", s.firmware);
    out += Format("  resolution: %d (%d DPI), DPI level %d\n", s.currentResolution(),
                  s.currentResolution() * 50, s.dpiLevel + 1);
    out += Format("  processing time: %s\n", s.modelTiming ? "modelled" : "none");
    out += Format("  fault: %s", FaultName(s.fault));
    if (s.fault != MouseFault::None) {
        out += Format(" from command %u", static_cast<unsigned>(s.faultFromCommand));
    }
    out += "\n";
    if (s.unplugAfterCommands != 0) {
        out += Format("  unplugs after command %u\n", static_cast<unsigned>(s.unplugAfterCommands));
    }
    out += Format("  commands received: %u\n", static_cast<unsigned>(s.commandCount));
    out += Format("  queued driver events: %u\n", static_cast<unsigned>(s.events.size()));
    for (std::uint32_t word : s.events) {
        out += Format("    0x%08x\n", static_cast<unsigned>(word));
    }
    for (int mode = 0; mode < kModeCount; ++mode) {
        out += Format("Buttons of mode %d (%s):\n", mode, ModeName(mode));
        for (int b = 1; b <= kButtonCount; ++b) {
            out += Format("  button %2d @0x%04x: 0x%08x\n", b,
                          static_cast<unsigned>(ButtonWordAddress(mode, b)),
                          static_cast<unsigned>(s.buttonWord(mode, b)));
        }
    }
    out += "Parameters:\n";
    for (std::uint8_t id = 1; id <= kHighestParameterId; ++id) {
        if (!IsKnownParameter(id)) {
            continue;
        }
        out += Format("  0x%02x %-24s", id, ParameterName(id));
        for (std::size_t i = 0; i < ParameterValueCount(id); ++i) {
            out += Format(" %3d", s.params[id][i]);
        }
        out += "\n";
    }
    out += "Macro slots:\n";
    for (int slot = 0; slot < kMacroSlotCount; ++slot) {
        const auto bytes = SlotBytes(s, slot);
        const DecodedMacroProgram p = DecodeMacroProgram(bytes);
        out += Format("  slot %2d @0x%05x: ", slot, static_cast<unsigned>(MacroSlotAddress(slot)));
        if (p.empty) {
            out += "empty\n";
            continue;
        }
        if (!p.valid) {
            out += "unreadable: " + p.problem + "\n";
            continue;
        }
        out += Format("length %u, repeat %u, %u key events\n", p.length, p.repeat,
                      static_cast<unsigned>(p.entries.size()));
        out += "    bytes:\n" + Hex(bytes.first(p.length), 24, "      ") + "\n";
        out += "    events:\n";
        for (const MacroProgramEntry& e : p.entries) {
            out += "      " + EventText(e) + "\n";
        }
    }
    return out;
}

}  // namespace q350
