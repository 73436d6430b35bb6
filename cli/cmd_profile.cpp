// q350ctl profile: create and inspect profile files.
//   profile new FILE [--chinese] [--force]
//   profile show FILE [--mode N] [--json]
//   profile apply FILE [--macros Macro.cfg] [--virtual STATE | --device PATH]
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "base/file_io.h"
#include "base/utf.h"
#include "cli/commands.h"
#include "cli/profile_apply.h"
#include "config/function_catalog.h"
#include "config/key_tables.h"
#include "config/profile_data.h"

namespace q350::cli {

namespace {

constexpr const char* kUsage =
    "profile new FILE [--chinese] [--force] | profile show FILE [--mode N] [--json] | "
    "profile apply FILE [--macros Macro.cfg] [--virtual STATE | --device PATH]";

constexpr const char* kModeNames[kModeCount] = {"office", "MOBA", "FPS"};
constexpr const char* kEffectNames[5] = {"off", "constant", "breathing", "APM breathing cycle",
                                         "spectrum cycle"};

std::string Hex(std::uint32_t v) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "0x%08X", v);
    return buf;
}

std::string Text(const char16_t* field) {
    return Utf16ToUtf8(FieldText(field, kTextChars));
}

std::string JsonString(const std::string& s) {
    std::string out = "\"";
    for (unsigned char c : s) {
        switch (c) {
            case '"':
                out += "\\\"";
                break;
            case '\\':
                out += "\\\\";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\r':
                out += "\\r";
                break;
            case '\t':
                out += "\\t";
                break;
            default:
                if (c < 0x20) {
                    char buf[8];
                    std::snprintf(buf, sizeof buf, "\\u%04x", c);
                    out += buf;
                } else {
                    out += static_cast<char>(c);
                }
        }
    }
    return out + "\"";
}

template <typename T, std::size_t N>
std::string List(const T (&values)[N], std::size_t count = N, const char* sep = " ") {
    std::ostringstream out;
    for (std::size_t i = 0; i < count; ++i) {
        out << (i ? sep : "") << values[i];
    }
    return out.str();
}

// What the mouse gets for a button, in words.
std::string WordText(const ButtonAssignment& b) {
    if (b.function == fn::kMacro) {
        return "macro " + std::to_string(b.macroId) + " (slot chosen when applied)";
    }
    const auto word = DeviceWord(b);
    return word ? Hex(*word) : std::string("none");
}

std::string ExtraText(const ButtonAssignment& b) {
    if (b.function == fn::kKeyCombo) {
        return Utf16ToUtf8(ComboText(b.keyWord));
    }
    if (b.function == fn::kAdvanced) {
        return Text(b.path);
    }
    return {};
}

std::string ReportRateText(std::int32_t code) {
    for (int i = 0; i < 4; ++i) {
        if (kReportRateCodes[i] == code) {
            return std::to_string(code) + " (choice " + std::to_string(i + 1) + " of 4)";
        }
    }
    return std::to_string(code) + " (no choice)";
}

std::string EffectText(std::int32_t e) {
    return e >= 0 && e < 5 ? std::string(kEffectNames[e]) : "unknown " + std::to_string(e);
}

// The DPI levels the mouse receives, in units of 100.
std::vector<std::int32_t> Levels(const ProfileData& p, int m,
                                 const std::int32_t (&dpi)[kModeCount][kDpiSlots]) {
    std::vector<std::int32_t> levels;
    for (int l = 0; l < kDpiLevels; ++l) {
        if (p.dpiListMode[m] == 1) {
            levels.push_back(dpi[m][l]);
        } else if (p.dpiLevelOn[m][l]) {
            levels.push_back(dpi[m][kDpiLevelSlotFirst + l]);
        }
    }
    return levels;
}

std::string Dpi(const std::vector<std::int32_t>& levels, const char* sep) {
    std::ostringstream out;
    for (std::size_t i = 0; i < levels.size(); ++i) {
        out << (i ? sep : "") << levels[i] * 100;
    }
    return out.str();
}

void ShowText(const ProfileData& p, const std::string& file, std::size_t size,
              const std::vector<int>& modes) {
    std::cout << "profile " << file << " (" << size << " bytes)\n";
    for (int m : modes) {
        std::cout << "\nmode " << m << " (" << kModeNames[m] << ")\n  buttons:\n";
        for (int k = 0; k < kButtonCount; ++k) {
            const ButtonAssignment& b = p.buttons[m][k];
            char line[160];
            std::snprintf(line, sizeof line, "    %2d  %-24s function %-3d word %s", k,
                          Text(b.label).c_str(), b.function, WordText(b).c_str());
            std::cout << line;
            const std::string extra = ExtraText(b);
            if (!extra.empty()) {
                std::cout << "  [" << extra << "]";
            }
            std::cout << "\n";
        }
        std::cout << "  dpi: X " << Dpi(Levels(p, m, p.dpiX), "/") << ", Y "
                  << Dpi(Levels(p, m, p.dpiY), "/") << " ("
                  << (p.dpiListMode[m] == 1 ? "preset list" : "sliders") << ", top level "
                  << p.dpiTopLevel[m] << ", levels on " << List(p.dpiLevelOn[m]) << ", X/Y "
                  << (p.xyIndependent[m] ? "separate" : "together") << ")\n";
        std::cout << "  report rate: " << ReportRateText(p.reportRate[m])
                  << "\n  lift-off: " << p.liftHeight[m] << "\n";
        std::cout << "  pointer: speed " << p.pointerSpeed[m] << ", scroll lines "
                  << (p.scrollLines[m] == -1 ? std::string("one screen")
                                             : std::to_string(p.scrollLines[m]))
                  << ", enhance precision " << (p.enhancePrecision[m] ? "on" : "off")
                  << ", double-click " << p.doubleClickSpeed[m] << "\n";
        for (int z = 0; z < kZoneCount; ++z) {
            std::cout << "  lighting zone " << z << (z == 0 ? " (back)" : " (wheel)") << ": "
                      << EffectText(p.ledEffect[z][m]) << ", colour " << Hex(p.ledColor[z][m])
                      << ", speed " << p.ledSpeed[z][m] << ", brightness " << p.ledBrightness[z][m]
                      << "\n";
        }
        std::cout << "  proximity sensing: " << (p.proximitySensing[m] ? "on" : "off") << "\n";
    }
}

void ShowJson(const ProfileData& p, const std::string& file, const std::vector<int>& modes) {
    std::ostringstream o;
    o << "{\"file\":" << JsonString(file) << ",\"magic\":" << JsonString(Hex(p.magic))
      << ",\"modes\":[";
    for (std::size_t i = 0; i < modes.size(); ++i) {
        const int m = modes[i];
        o << (i ? "," : "") << "{\"mode\":" << m << ",\"name\":" << JsonString(kModeNames[m])
          << ",\"buttons\":[";
        for (int k = 0; k < kButtonCount; ++k) {
            const ButtonAssignment& b = p.buttons[m][k];
            const auto word = b.function == fn::kMacro ? std::nullopt : DeviceWord(b);
            o << (k ? "," : "") << "{\"index\":" << k << ",\"label\":" << JsonString(Text(b.label))
              << ",\"function\":" << b.function
              << ",\"word\":" << (word ? JsonString(Hex(*word)) : std::string("null"))
              << ",\"macroId\":" << b.macroId << ",\"keyWord\":" << JsonString(Hex(b.keyWord))
              << ",\"actionWord\":" << JsonString(Hex(b.actionWord))
              << ",\"path\":" << JsonString(Text(b.path)) << "}";
        }
        o << "],\"dpiX\":[" << List(p.dpiX[m], kDpiSlots, ",") << "],\"dpiY\":["
          << List(p.dpiY[m], kDpiSlots, ",") << "],\"dpiLevelOn\":["
          << List(p.dpiLevelOn[m], kDpiLevels, ",") << "],\"dpiListMode\":" << p.dpiListMode[m]
          << ",\"xyIndependent\":" << p.xyIndependent[m] << ",\"dpiTopLevel\":" << p.dpiTopLevel[m]
          << ",\"liftHeight\":" << p.liftHeight[m] << ",\"reportRate\":" << p.reportRate[m]
          << ",\"pointerSpeed\":" << p.pointerSpeed[m] << ",\"scrollLines\":" << p.scrollLines[m]
          << ",\"enhancePrecision\":" << p.enhancePrecision[m]
          << ",\"doubleClickSpeed\":" << p.doubleClickSpeed[m]
          << ",\"proximitySensing\":" << p.proximitySensing[m]
          << ",\"ledZoneSel\":" << p.ledZoneSel[m] << ",\"zones\":[";
        for (int z = 0; z < kZoneCount; ++z) {
            o << (z ? "," : "") << "{\"zone\":" << z << ",\"effect\":" << p.ledEffect[z][m]
              << ",\"color\":" << JsonString(Hex(p.ledColor[z][m]))
              << ",\"speed\":" << p.ledSpeed[z][m] << ",\"brightness\":" << p.ledBrightness[z][m]
              << ",\"swatch\":" << p.ledSwatch[z][m] << "}";
        }
        o << "]}";
    }
    o << "]}\n";
    std::cout << o.str();
}

int New(const Args& args) {
    std::string file;
    bool chinese = false;
    bool force = false;
    for (std::size_t i = 1; i < args.size(); ++i) {
        if (args[i] == "--chinese") {
            chinese = true;
        } else if (args[i] == "--force") {
            force = true;
        } else if (file.empty() && args[i].rfind("--", 0) != 0) {
            file = args[i];
        } else {
            return Usage(kUsage);
        }
    }
    if (file.empty()) {
        return Usage(kUsage);
    }
    const std::filesystem::path path(file);
    std::error_code ec;
    if (!force && std::filesystem::exists(path, ec)) {
        return Fail(file + " already exists (use --force to replace it)");
    }
    auto profile = std::make_unique<ProfileData>();
    BuildDefaults(*profile, chinese);
    FileError error = FileError::None;
    if (!WriteFileAtomic(path, RecordBytes(*profile), &error)) {
        return Fail("cannot write " + file +
                    (error == FileError::NotFound       ? ": no such folder"
                     : error == FileError::AccessDenied ? ": permission denied"
                                                        : ""));
    }
    std::cout << "wrote default profile " << file << " (" << kProfileSize << " bytes)\n";
    return 0;
}

int Show(const Args& args) {
    std::string file;
    bool json = false;
    std::optional<int> mode;
    for (std::size_t i = 1; i < args.size(); ++i) {
        if (args[i] == "--json") {
            json = true;
        } else if (args[i] == "--mode" && i + 1 < args.size()) {
            const std::string& v = args[++i];
            if (v.size() != 1 || v[0] < '0' || v[0] >= '0' + kModeCount) {
                return Usage(kUsage);
            }
            mode = v[0] - '0';
        } else if (file.empty() && args[i].rfind("--", 0) != 0) {
            file = args[i];
        } else {
            return Usage(kUsage);
        }
    }
    if (file.empty()) {
        return Usage(kUsage);
    }
    std::vector<std::uint8_t> bytes;
    FileError error = FileError::None;
    if (!ReadFileBytes(file, bytes, &error, kExportFileSize + 1)) {
        return Fail("cannot read " + file + (error == FileError::NotFound ? ": no such file" : ""));
    }
    auto profile = std::make_unique<ProfileData>();
    FillRecord(*profile, bytes);
    if (bytes.size() < sizeof(std::uint32_t) || profile->magic != kProfileMagic) {
        return Fail(file + " is not a Q350 profile (it does not start with the profile magic " +
                    Hex(kProfileMagic) + ")");
    }
    std::vector<int> modes;
    for (int m = 0; m < kModeCount; ++m) {
        if (!mode || *mode == m) {
            modes.push_back(m);
        }
    }
    if (json) {
        ShowJson(*profile, file, modes);
    } else {
        ShowText(*profile, file, bytes.size(), modes);
    }
    return 0;
}

}  // namespace

int RunProfile(const Args& args) {
    if (args.empty() || args[0] == "--help" || args[0] == "-h") {
        std::cout << "usage: q350ctl " << kUsage << "\n"
                  << "  new    write a profile file holding the default settings\n"
                  << "  show   print every setting of a profile (or export) file\n"
                  << "  apply  write a profile into the mouse\n";
        return args.empty() ? 2 : 0;
    }
    if (args[0] == "new") {
        return New(args);
    }
    if (args[0] == "show") {
        return Show(args);
    }
    if (args[0] == "apply") {
        return RunProfileApply(args);
    }
    return Usage(kUsage);
}

}  // namespace q350::cli
