// q350ctl profile: create, inspect, export and import profile files.
//   profile new FILE [--chinese] [--force]
//   profile show FILE [--mode N] [--json]
//   profile export FILE.cfg OUT.json
//   profile import IN.json OUT.cfg
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
#include "config/profile_json.h"
#include "config/strict_json.h"

namespace q350::cli {

namespace {

constexpr const char* kUsage =
    "profile new FILE [--chinese] [--force] | profile show FILE [--mode N] [--json] | "
    "profile export FILE.cfg OUT.json | profile import IN.json OUT.cfg | "
    "profile apply FILE [--macros Macro.cfg] [--virtual STATE | --device PATH]";

// A profile document is some tens of kilobytes; anything far larger is not one.
constexpr std::size_t kProfileJsonMaxBytes = 8 << 20;

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

// The slot of an export file: its name and the program the profile follows.
Json SlotSummary(const ProfileSlot& slot) {
    Json s = Json::object();
    s["name"] = Text(slot.name);
    s["autoPath"] = Utf16ToUtf8(AutoPathOf(slot));
    s["autoSwitch"] = !AutoSwitchProgram(slot).empty();
    return s;
}

void ShowJson(const ProfileData& p, const std::string& file, const std::vector<int>& modes,
              const ProfileSlot* slot) {
    Json doc = Json::object();
    doc["file"] = file;
    doc["magic"] = Hex(p.magic);
    Json list = Json::array();
    const auto numbers = [](const std::int32_t* values, std::size_t count) {
        Json out = Json::array();
        for (std::size_t i = 0; i < count; ++i) {
            out.push_back(values[i]);
        }
        return out;
    };
    for (const int m : modes) {
        Json mode = Json::object();
        mode["mode"] = m;
        mode["name"] = kModeNames[m];
        Json buttons = Json::array();
        for (int k = 0; k < kButtonCount; ++k) {
            const ButtonAssignment& b = p.buttons[m][k];
            const auto word = b.function == fn::kMacro ? std::nullopt : DeviceWord(b);
            Json button = Json::object();
            button["index"] = k;
            button["label"] = Text(b.label);
            button["function"] = b.function;
            button["word"] = word ? Json(Hex(*word)) : Json(nullptr);
            button["macroId"] = b.macroId;
            button["keyWord"] = Hex(b.keyWord);
            button["actionWord"] = Hex(b.actionWord);
            button["path"] = Text(b.path);
            buttons.push_back(std::move(button));
        }
        mode["buttons"] = std::move(buttons);
        mode["dpiX"] = numbers(p.dpiX[m], kDpiSlots);
        mode["dpiY"] = numbers(p.dpiY[m], kDpiSlots);
        mode["dpiLevelOn"] = numbers(p.dpiLevelOn[m], kDpiLevels);
        mode["dpiListMode"] = p.dpiListMode[m];
        mode["xyIndependent"] = p.xyIndependent[m];
        mode["dpiTopLevel"] = p.dpiTopLevel[m];
        mode["liftHeight"] = p.liftHeight[m];
        mode["reportRate"] = p.reportRate[m];
        mode["pointerSpeed"] = p.pointerSpeed[m];
        mode["scrollLines"] = p.scrollLines[m];
        mode["enhancePrecision"] = p.enhancePrecision[m];
        mode["doubleClickSpeed"] = p.doubleClickSpeed[m];
        mode["proximitySensing"] = p.proximitySensing[m];
        mode["ledZoneSel"] = p.ledZoneSel[m];
        Json zones = Json::array();
        for (int z = 0; z < kZoneCount; ++z) {
            zones.push_back(Json::object({{"zone", z},
                                          {"effect", p.ledEffect[z][m]},
                                          {"color", Hex(p.ledColor[z][m])},
                                          {"speed", p.ledSpeed[z][m]},
                                          {"brightness", p.ledBrightness[z][m]},
                                          {"swatch", p.ledSwatch[z][m]}}));
        }
        mode["zones"] = std::move(zones);
        list.push_back(std::move(mode));
    }
    doc["modes"] = std::move(list);
    if (slot) {
        doc["slot"] = SlotSummary(*slot);
    }
    std::cout << JsonText(doc);
}

std::string ErrorText(FileError error) {
    switch (error) {
        case FileError::NotFound:
            return ": no such file or folder";
        case FileError::AccessDenied:
            return ": permission denied";
        default:
            return "";
    }
}

int Export(const Args& args) {
    if (args.size() != 3) {
        return Usage(kUsage);
    }
    std::vector<std::uint8_t> bytes;
    FileError error = FileError::None;
    if (!ReadFileBytes(args[1], bytes, &error, kExportFileSize + 1)) {
        return Fail("cannot read " + args[1] + ErrorText(error));
    }
    std::string json, problem, notes;
    if (!ProfileJsonForm(bytes, json, problem, &notes)) {
        return Fail(args[1] + ": " + problem);
    }
    if (!notes.empty()) {
        std::cerr << "q350ctl: warning: " << args[1] << " holds a value that import refuses ("
                  << notes << ")\n";
    }
    if (!WriteFileAtomic(args[2],
                         std::span(reinterpret_cast<const std::uint8_t*>(json.data()), json.size()),
                         &error)) {
        return Fail("cannot write " + args[2] + ErrorText(error));
    }
    std::cout << "wrote " << args[2] << " from " << args[1] << "\n";
    return 0;
}

int Import(const Args& args) {
    if (args.size() != 3) {
        return Usage(kUsage);
    }
    std::vector<std::uint8_t> bytes;
    FileError error = FileError::None;
    if (!ReadFileBytes(args[1], bytes, &error, kProfileJsonMaxBytes + 1)) {
        return Fail("cannot read " + args[1] + ErrorText(error));
    }
    if (bytes.size() > kProfileJsonMaxBytes) {
        return Fail(args[1] + ": far larger than a profile document; nothing written");
    }
    std::vector<std::uint8_t> file;
    std::string problem;
    if (!ReadProfileJson(
            std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()), file,
            problem)) {
        return Fail(args[1] + ": " + problem + "; nothing written");
    }
    if (!WriteFileAtomic(args[2], file, &error)) {
        return Fail("cannot write " + args[2] + ErrorText(error));
    }
    std::cout << "wrote " << (file.size() == kExportFileSize ? "export" : "profile") << " file "
              << args[2] << " (" << file.size() << " bytes)\n";
    return 0;
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
    std::unique_ptr<ProfileSlot> slot;
    if (bytes.size() >= kExportFileSize) {
        slot = std::make_unique<ProfileSlot>();
        FillRecord(*slot, std::span<const std::uint8_t>(bytes).subspan(kProfileSize, kSlotSize));
    }
    if (json) {
        ShowJson(*profile, file, modes, slot.get());
    } else {
        ShowText(*profile, file, bytes.size(), modes);
        if (slot) {
            const std::string program = Utf16ToUtf8(AutoPathOf(*slot));
            std::cout << "\nslot: " << Text(slot->name) << "\n  program path: "
                      << (program.empty() ? "none" : program) << "\n  switch profile automatically: "
                      << (AutoSwitchProgram(*slot).empty() ? "off" : "on") << "\n";
        }
    }
    return 0;
}

}  // namespace

int RunProfile(const Args& args) {
    if (args.empty() || args[0] == "--help" || args[0] == "-h") {
        std::cout << "usage: q350ctl " << kUsage << "\n"
                  << "  new    write a profile file holding the default settings\n"
                  << "  show   print every setting of a profile (or export) file\n"
                  << "  export write a profile (or export) file as an editable JSON document\n"
                  << "  import turn such a JSON document back into a profile (or export) file\n"
                  << "  apply  write a profile into the mouse\n";
        return args.empty() ? 2 : 0;
    }
    if (args[0] == "new") {
        return New(args);
    }
    if (args[0] == "show") {
        return Show(args);
    }
    if (args[0] == "export") {
        return Export(args);
    }
    if (args[0] == "import") {
        return Import(args);
    }
    if (args[0] == "apply") {
        return RunProfileApply(args);
    }
    return Usage(kUsage);
}

}  // namespace q350::cli
