#include "cli/dump_json.h"

#include <cstdio>
#include <span>

#include "config/strict_json.h"
#include "device/macro_program.h"
#include "device/mouse_dump.h"

namespace q350::cli {

namespace {

std::string HexBytes(std::span<const std::uint8_t> bytes) {
    std::string out;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        char buf[4];
        std::snprintf(buf, sizeof buf, "%02x", bytes[i]);
        out += (i ? " " : "") + std::string(buf);
    }
    return out;
}

}  // namespace

std::string MouseDumpJson(const VirtualMouseState& s) {
    Json doc = Json::object();
    doc["plugged"] = s.plugged;
    doc["mode"] = s.mode;
    doc["firmware"] = s.firmware;
    doc["resolution"] = s.currentResolution();
    doc["dpiLevel"] = s.dpiLevel;
    doc["processingTime"] = s.modelTiming;
    doc["fault"] = FaultName(s.fault);
    doc["faultFromCommand"] = s.faultFromCommand;
    doc["unplugAfterCommands"] = s.unplugAfterCommands;
    doc["commandCount"] = s.commandCount;
    Json events = Json::array();
    for (const std::uint32_t word : s.events) {
        events.push_back(word);
    }
    doc["events"] = std::move(events);

    Json modes = Json::array();
    for (int mode = 0; mode < kModeCount; ++mode) {
        Json buttons = Json::array();
        for (int b = 1; b <= kButtonCount; ++b) {
            buttons.push_back(Json::object({{"button", b},
                                            {"address", ButtonWordAddress(mode, b)},
                                            {"word", s.buttonWord(mode, b)}}));
        }
        modes.push_back(
            Json::object({{"mode", mode}, {"name", ModeName(mode)}, {"buttons", buttons}}));
    }
    doc["modes"] = std::move(modes);

    Json params = Json::array();
    for (std::uint8_t id = 1; id <= kHighestParameterId; ++id) {
        if (!IsKnownParameter(id)) {
            continue;
        }
        Json values = Json::array();
        for (std::size_t i = 0; i < ParameterValueCount(id); ++i) {
            values.push_back(s.params[id][i]);
        }
        params.push_back(
            Json::object({{"id", id}, {"name", ParameterName(id)}, {"values", values}}));
    }
    doc["parameters"] = std::move(params);

    Json slots = Json::array();
    for (int slot = 0; slot < kMacroSlotCount; ++slot) {
        const auto bytes =
            std::span<const std::uint8_t>(s.memory).subspan(MacroSlotAddress(slot), kMacroSlotSize);
        const DecodedMacroProgram p = DecodeMacroProgram(bytes);
        Json entry = Json::object({{"slot", slot},
                                   {"address", MacroSlotAddress(slot)},
                                   {"empty", p.empty},
                                   {"valid", p.valid}});
        if (p.valid) {
            entry["length"] = p.length;
            entry["repeat"] = p.repeat;
            entry["bytes"] = HexBytes(bytes.first(p.length));
            Json keys = Json::array();
            for (const MacroProgramEntry& e : p.entries) {
                keys.push_back(Json::object({{"type", e.pressed ? "down" : "up"},
                                             {"usage", e.usage},
                                             {"key", KeyboardUsageName(e.usage)},
                                             {"pauseMs", e.pauseMs}}));
            }
            entry["events"] = std::move(keys);
        } else if (!p.empty) {
            entry["problem"] = p.problem;
        }
        slots.push_back(std::move(entry));
    }
    doc["macroSlots"] = std::move(slots);
    return JsonText(doc);
}

}  // namespace q350::cli
