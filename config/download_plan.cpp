#include "config/download_plan.h"

#include <algorithm>
#include <cstdio>
#include <memory>
#include <optional>
#include <utility>

#include "config/function_catalog.h"

namespace q350 {

namespace {

const char* const kModeNames[kModeCount] = {"office", "MOBA", "FPS"};
const char* const kModeNamesChinese[kModeCount] = {"办公模式", "MOBA模式", "FPS模式"};

std::string ModeText(int m) { return std::string("mode ") + kModeNames[m]; }

// Brings one value into [lo, hi] and notes the change.
void Clamp(std::int32_t& value, std::int32_t lo, std::int32_t hi, const std::string& what,
           std::vector<std::string>* notes) {
    const std::int32_t fixed = std::clamp(value, lo, hi);
    if (fixed != value) {
        if (notes) {
            notes->push_back(what + " " + std::to_string(value) + " sent as " +
                             std::to_string(fixed));
        }
        value = fixed;
    }
}

bool IsReportRateCode(std::int32_t code) {
    return std::find(std::begin(kReportRateCodes), std::end(kReportRateCodes), code) !=
           std::end(kReportRateCodes);
}

// Colour copies split into components, scaled where the zone's effect asks for it.
std::array<std::array<std::uint32_t, kModeCount>, 3> ZoneComponents(const ProfileData& p,
                                                                    int zone) {
    std::array<std::array<std::uint32_t, kModeCount>, 3> rgb{};  // red, green, blue
    for (int m = 0; m < kModeCount; ++m) {
        const std::uint32_t c = p.ledColor[zone][m];
        Rgb colour{c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF};
        if (p.ledEffect[zone][m] == kEffectSteady) {
            colour = ScaleBrightness(colour, p.ledBrightness[zone][m]);
        }
        rgb[0][m] = colour.red & 0xFF;
        rgb[1][m] = colour.green & 0xFF;
        rgb[2][m] = colour.blue & 0xFF;
    }
    return rgb;
}

std::array<std::uint32_t, kModeCount> PerMode(const std::int32_t (&values)[kModeCount]) {
    return {static_cast<std::uint32_t>(values[0]), static_cast<std::uint32_t>(values[1]),
            static_cast<std::uint32_t>(values[2])};
}

}  // namespace

Rgb ScaleBrightness(Rgb c, std::int32_t a) {
    const std::uint32_t top = std::max({c.red, c.green, c.blue});
    if (top == 0) {
        return c;
    }
    const auto level = static_cast<std::uint32_t>(a);
    const std::uint32_t target = (2 * level) / 10 + (top % 23) + 23 * (level + 1);
    bool placed = false;
    for (std::uint32_t* component : {&c.red, &c.green, &c.blue}) {
        if (!placed && *component == top) {
            *component = target;
            placed = true;
        } else {
            *component = *component * target / top;
        }
    }
    return c;
}

DpiTables BuildDpiTables(const ProfileData& p) {
    DpiTables t;
    for (int m = 0; m < kModeCount; ++m) {
        if (p.dpiListMode[m] == 1) {
            for (int l = 0; l < kDpiLevels; ++l) {
                t.x[m][l] = static_cast<std::uint32_t>(p.dpiX[m][l]);
                t.y[m][l] = static_cast<std::uint32_t>(p.dpiY[m][l]);
            }
        } else {
            int next = 0;
            for (int l = 0; l < kDpiLevels; ++l) {
                if (p.dpiLevelOn[m][l] != 0) {
                    t.x[m][next] = static_cast<std::uint32_t>(p.dpiX[m][kDpiLevelSlotFirst + l]);
                    t.y[m][next] = static_cast<std::uint32_t>(p.dpiY[m][kDpiLevelSlotFirst + l]);
                    ++next;
                }
            }
        }
    }
    return t;
}

void SanitizeForDevice(ProfileData& p, std::vector<std::string>* notes) {
    auto defaults = std::make_unique<ProfileData>();
    BuildDefaults(*defaults, false);
    for (int m = 0; m < kModeCount; ++m) {
        const std::string mode = ModeText(m);
        // DPI: one to four levels, each in use between 100 and 8,200 DPI.
        if (p.dpiListMode[m] == 1) {
            Clamp(p.dpiTopLevel[m], 0, kDpiLevels - 1, mode + ": top DPI level", notes);
            for (int l = 0; l < kDpiLevels; ++l) {
                const bool used = l <= p.dpiTopLevel[m];
                const std::string what = mode + ": DPI level " + std::to_string(l + 1);
                Clamp(p.dpiX[m][l], used ? kDpiValueMin : 0, kDpiValueMax, what + " X", notes);
                Clamp(p.dpiY[m][l], used ? kDpiValueMin : 0, kDpiValueMax, what + " Y", notes);
            }
        } else {
            int on = 0;
            for (int l = 0; l < kDpiLevels; ++l) {
                on += p.dpiLevelOn[m][l] != 0 ? 1 : 0;
            }
            if (on == 0) {
                p.dpiLevelOn[m][0] = 1;
                on = 1;
                if (notes) {
                    notes->push_back(mode + ": no DPI level in use; level 1 sent");
                }
            }
            Clamp(p.dpiTopLevel[m], on - 1, on - 1, mode + ": top DPI level", notes);
            for (int l = 0; l < kDpiLevels; ++l) {
                if (p.dpiLevelOn[m][l] != 0) {
                    const int s = kDpiLevelSlotFirst + l;
                    const std::string what = mode + ": DPI level " + std::to_string(l + 1);
                    Clamp(p.dpiX[m][s], kDpiValueMin, kDpiValueMax, what + " X", notes);
                    Clamp(p.dpiY[m][s], kDpiValueMin, kDpiValueMax, what + " Y", notes);
                }
            }
        }
        if (!IsReportRateCode(p.reportRate[m])) {
            if (notes) {
                notes->push_back(mode + ": report rate code " + std::to_string(p.reportRate[m]) +
                                 " sent as " + std::to_string(defaults->reportRate[m]));
            }
            p.reportRate[m] = defaults->reportRate[m];
        }
        Clamp(p.liftHeight[m], 0, kLiftMax, mode + ": lift-off value", notes);
        Clamp(p.proximitySensing[m], 0, 1, mode + ": proximity sensing", notes);
        for (int z = 0; z < kZoneCount; ++z) {
            const std::string zone = mode + ": zone " + std::to_string(z);
            Clamp(p.ledEffect[z][m], 0, kLedEffectMax, zone + " light effect", notes);
            Clamp(p.ledSpeed[z][m], 0, kLedSpeedMax, zone + " light speed", notes);
            Clamp(p.ledBrightness[z][m], 0, kLedBrightnessMax, zone + " brightness", notes);
        }
    }
}

namespace {

// The sequence, command by command, as the full download sends it.
class Planner {
public:
    Planner(const PlanInput& in, DownloadPlan& plan) : in_(in), plan_(plan) {}

    void progress(int position) { pendingProgress_.push_back(position); }

    PlanCommand& add(PlanOp op, std::string step) {
        PlanCommand& c = plan_.commands.emplace_back();
        c.op = op;
        c.step = std::move(step);
        c.progressBefore.swap(pendingProgress_);
        return c;
    }

    // A parameter command after the sequence's 3 ms pause.
    void parameter(PlanOp op, std::uint8_t id, const std::array<std::uint32_t, kModeCount>& v,
                   std::string step) {
        PlanCommand& c = add(op, std::move(step));
        c.pauseBeforeMs = kCommandPauseMs;
        c.id = id;
        c.values = {v[0], v[1], v[2], 0};
    }

    void dpiLevels(std::uint8_t id, const std::array<std::uint32_t, kDpiLevels>& v,
                   std::string step) {
        PlanCommand& c = add(PlanOp::DpiLevels, std::move(step));
        c.pauseBeforeMs = kCommandPauseMs;
        c.id = id;
        c.values = {v[0], v[1], v[2], v[3]};
    }

    // The macro's program as the chunks writeBlock would send; the plan index of the first chunk
    // and the count, or nothing when the macro cannot be encoded.
    std::optional<std::pair<int, int>> macroChunks(const MacroRecord& macro, int slot,
                                                   const std::string& step) {
        MacroProgram program{};
        if (macro.size == 0 || !EncodeMacro(macro, program)) {
            return std::nullopt;
        }
        const std::size_t length = MacroProgramLength(program);
        const int first = static_cast<int>(plan_.commands.size());
        int count = 0;
        for (std::size_t at = 0; at < length; at += kMaxWriteChunk) {
            const std::size_t n = std::min(kMaxWriteChunk, length - at);
            PlanCommand& c = add(PlanOp::MacroChunk, step);
            c.slot = slot;
            c.address = MacroSlotAddress(slot) + static_cast<std::uint32_t>(at);
            c.bytes.assign(program.begin() + static_cast<std::ptrdiff_t>(at),
                           program.begin() + static_cast<std::ptrdiff_t>(at + n));
            c.macroFirst = first;
            ++count;
        }
        return std::make_pair(first, count);
    }

    void pendingToEnd() { plan_.progressAfter.swap(pendingProgress_); }

private:
    const PlanInput& in_;
    DownloadPlan& plan_;
    std::vector<int> pendingProgress_;
};

}  // namespace

DownloadPlan PlanDownload(const PlanInput& in) {
    DownloadPlan plan;
    if (in.profile == nullptr || in.slot == nullptr) {
        return plan;
    }
    // The record stays as it is; only what goes to the mouse is brought into range.
    auto sent = std::make_unique<ProfileData>(*in.profile);
    SanitizeForDevice(*sent, &plan.corrections);
    const ProfileData& p = *sent;
    Planner planner(in, plan);

    planner.progress(kProgressStart);
    int step = 1;
    int macroSlot = 0;
    for (int m = 0; m < kModeCount; ++m) {
        planner.progress(kProgressMode);
        for (int k = 0; k < kButtonCount; ++k) {
            planner.progress(2 * step);
            ++step;
            const ButtonAssignment& button = p.buttons[m][k];
            const std::string where = ModeText(m) + " button " + std::to_string(k + 1);
            std::int32_t& id = plan.macroIds[m][k];
            id = in.slot->buttonMacroId[m][k];
            if (in.pendingMacroId && in.pendingMacroId[m][k] != 0) {
                id = in.pendingMacroId[m][k];
            }
            std::optional<std::uint32_t> word;
            std::pair<int, int> chunks{-1, 0};
            if (button.function == fn::kMacro) {
                const MacroRecord* macro =
                    in.macros ? in.macros->find(static_cast<std::uint32_t>(id)) : nullptr;
                if (!macro || !IsMacroInUse(*macro)) {
                    // Switched off rather than left alone: the mouse would otherwise go on
                    // playing whatever macro an earlier download put on the button.
                    plan.skipped.push_back(where + ": macro " +
                                           std::to_string(static_cast<std::uint32_t>(id)) +
                                           " is not in the library");
                    plan.switchedOff.push_back(
                        std::string(in.chinese ? kModeNamesChinese[m] : kModeNames[m]) + " " +
                        std::to_string(k + 1));
                    word = kWordDisabled;
                } else {
                    const std::string upload =
                        where + ": upload of macro " +
                        std::to_string(static_cast<std::uint32_t>(id)) + " into slot " +
                        std::to_string(macroSlot);
                    const auto placed = macroSlot < kMacroSlotCount
                                            ? planner.macroChunks(*macro, macroSlot, upload)
                                            : std::nullopt;
                    if (placed) {
                        chunks = *placed;
                        word = DeviceWord(button, macroSlot);
                        ++macroSlot;
                        ++plan.macroUploads;
                    } else {
                        // No slot left, or a program the mouse cannot take: the upload fails
                        // and the button keeps what it had.
                        planner.add(PlanOp::NoSlot, upload);
                    }
                }
            } else {
                word = DeviceWord(button);
            }
            if (word) {
                PlanCommand& c = planner.add(PlanOp::ButtonWord, where + ": button word");
                c.mode = m;
                c.button = k + 1;
                c.word = *word;
                c.pauseAfterMs = kCommandPauseMs;
                c.macroFirst = chunks.first;
                c.macroChunks = chunks.second;
            }
        }
    }

    planner.parameter(PlanOp::Parameter, kParamTopLevel, PerMode(p.dpiTopLevel),
                      "DPI level count");
    const DpiTables dpi = BuildDpiTables(p);
    const std::uint8_t dpiIds[2][kModeCount] = {{kParamDpiX0, kParamDpiX1, kParamDpiX2},
                                                {kParamDpiY0, kParamDpiY1, kParamDpiY2}};
    for (int axis = 0; axis < 2; ++axis) {
        for (int m = 0; m < kModeCount; ++m) {
            planner.dpiLevels(dpiIds[axis][m], axis == 0 ? dpi.x[m] : dpi.y[m],
                              std::string("DPI levels ") + (axis == 0 ? "X" : "Y") + " of " +
                                  ModeText(m));
        }
    }

    planner.progress(kProgressParameters);
    planner.parameter(PlanOp::Parameter, kParamReportRate, PerMode(p.reportRate), "report rate");
    planner.parameter(PlanOp::Parameter, kParamLiftOff, PerMode(p.liftHeight), "lift-off value");

    planner.progress(kProgressLighting);
    planner.parameter(PlanOp::Parameter, kParamEffect0, PerMode(p.ledEffect[0]), "zone 0 effect");
    planner.parameter(PlanOp::Parameter, kParamSpeed0, PerMode(p.ledSpeed[0]), "zone 0 speed");
    const auto zone0 = ZoneComponents(p, 0);
    planner.parameter(PlanOp::Colour, kParamRed0, zone0[0], "zone 0 red");
    planner.parameter(PlanOp::Colour, kParamBlue0, zone0[2], "zone 0 blue");
    planner.parameter(PlanOp::Colour, kParamGreen0, zone0[1], "zone 0 green");

    planner.parameter(PlanOp::Parameter, kParamProximity, PerMode(p.proximitySensing),
                      "proximity sensing");
    planner.parameter(PlanOp::Parameter, kParamEffect1, PerMode(p.ledEffect[1]), "zone 1 effect");
    planner.parameter(PlanOp::Parameter, kParamSpeed1, PerMode(p.ledSpeed[1]), "zone 1 speed");
    const auto zone1 = ZoneComponents(p, 1);
    planner.parameter(PlanOp::Colour, kParamRed1, zone1[0], "zone 1 red");
    planner.parameter(PlanOp::Colour, kParamBlue1, zone1[2], "zone 1 blue");
    planner.parameter(PlanOp::Colour, kParamGreen1, zone1[1], "zone 1 green");
    planner.pendingToEnd();
    return plan;
}

std::string DescribeCommand(const PlanCommand& c) {
    char buf[160];
    std::string text;
    switch (c.op) {
        case PlanOp::ButtonWord:
            std::snprintf(buf, sizeof buf, "write 0x%04X  %-6s button %2d  word 0x%08X",
                          static_cast<unsigned>(ButtonWordAddress(c.mode, c.button)),
                          kModeNames[c.mode], c.button, static_cast<unsigned>(c.word));
            text = buf;
            break;
        case PlanOp::MacroChunk:
            std::snprintf(buf, sizeof buf, "write 0x%05X  macro slot %2d  %2zu bytes:",
                          static_cast<unsigned>(c.address), c.slot, c.bytes.size());
            text = buf;
            for (std::uint8_t b : c.bytes) {
                std::snprintf(buf, sizeof buf, " %02x", b);
                text += buf;
            }
            break;
        case PlanOp::Parameter:
        case PlanOp::Colour:
            std::snprintf(buf, sizeof buf, "set 0x%02X  %-30s %u %u %u", c.id, c.step.c_str(),
                          static_cast<unsigned>(c.values[0]), static_cast<unsigned>(c.values[1]),
                          static_cast<unsigned>(c.values[2]));
            text = buf;
            break;
        case PlanOp::DpiLevels:
            std::snprintf(buf, sizeof buf, "set 0x%02X  %-30s %u %u %u %u (x100 DPI)", c.id,
                          c.step.c_str(), static_cast<unsigned>(c.values[0]),
                          static_cast<unsigned>(c.values[1]), static_cast<unsigned>(c.values[2]),
                          static_cast<unsigned>(c.values[3]));
            text = buf;
            break;
        case PlanOp::NoSlot:
            text = "fails: " + c.step + " (no free macro slot)";
            break;
    }
    std::uint32_t waitMs = c.pauseBeforeMs + c.pauseAfterMs;
    switch (c.op) {
        case PlanOp::ButtonWord:
            waitMs += kButtonWordWaitMs;
            break;
        case PlanOp::MacroChunk:
            waitMs += c.bytes.size() == kMaxWriteChunk ? kFullChunkWaitMs
                                                       : ShortChunkWaitMs(c.bytes.size());
            break;
        default:
            break;
    }
    if (c.op != PlanOp::NoSlot) {
        text += "  (wait " + std::to_string(waitMs) + " ms + polls)";
    }
    return text;
}

}  // namespace q350
