#include "config/profile_json.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <memory>

#include "base/utf.h"
#include "config/function_catalog.h"
#include "config/key_tables.h"
#include "config/macro_file.h"
#include "config/strict_json.h"

namespace q350 {

namespace {

constexpr const char* kModeNames[kModeCount] = {"office", "MOBA", "FPS"};
constexpr const char* kEffectNames[] = {"off", "constant", "breathing", "APM breathing cycle",
                                        "spectrum cycle"};
// The ten DPI presets of the performance page, units of 100 DPI.
constexpr std::int32_t kPresetValues[kDpiPresetSlots] = {4, 8, 10, 16, 18, 24, 32, 48, 64, 82};
constexpr int kDpiLevelSlots = 4;     // slots 10..13
constexpr int kDpiUsedSlots = 14;     // slots 14..19 are reserved
constexpr std::int32_t kDpiMax = 82;  // the largest preset and slider value
constexpr std::int32_t kLiftMax = 30;
constexpr std::int32_t kSwatchMax = 25;
constexpr std::int32_t kEffectMax = 4;
constexpr std::int32_t kSpeedMax = 4;
constexpr std::int32_t kBrightnessMax = 9;
constexpr std::uint32_t kColourMax = 0x00FFFFFF;
constexpr std::size_t kHexBytesPerEntry = 4096;  // longest stretch of one "reserved" entry

std::string Hex(const std::uint8_t* p, std::size_t n) {
    static const char kDigits[] = "0123456789abcdef";
    std::string out;
    out.reserve(2 * n);
    for (std::size_t i = 0; i < n; ++i) {
        out += kDigits[p[i] >> 4];
        out += kDigits[p[i] & 15];
    }
    return out;
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

bool FromHex(std::string_view s, std::vector<std::uint8_t>& out) {
    if (s.size() % 2 != 0) {
        return false;
    }
    out.clear();
    for (std::size_t i = 0; i < s.size(); i += 2) {
        const int hi = HexDigit(s[i]), lo = HexDigit(s[i + 1]);
        if (hi < 0 || lo < 0) {
            return false;
        }
        out.push_back(static_cast<std::uint8_t>(hi * 16 + lo));
    }
    return true;
}

bool KnownFunction(int code) {
    return code == fn::kNone || FindFunction(code) != nullptr || !FunctionName(code, false).empty();
}

std::string FunctionText(int code) {
    switch (code) {
        case fn::kNone:
            return "nothing";
        case fn::kKeyCombo:
            return "key combination";
        case fn::kMacro:
            return "macro";
        case fn::kAdvanced:
            return "advanced";
        default: {
            const std::u16string name = FunctionName(code, false);
            return name.empty() ? "unknown" : Utf16ToUtf8(name);
        }
    }
}

// Offsets within the file of the bytes that no readable field covers.
std::vector<bool> ReservedMask(std::size_t fileSize) {
    std::vector<bool> mask(fileSize, false);
    const auto mark = [&](std::size_t at, std::size_t n) {
        std::fill(mask.begin() + static_cast<std::ptrdiff_t>(at),
                  mask.begin() + static_cast<std::ptrdiff_t>(at + n), true);
    };
    for (int b = 0; b < kModeCount * kButtonCount; ++b) {
        const std::size_t base = offsetof(ProfileData, buttons) + b * sizeof(ButtonAssignment);
        mark(base + offsetof(ButtonAssignment, reserved1), sizeof(ButtonAssignment::reserved1));
        mark(base + offsetof(ButtonAssignment, reserved2), sizeof(ButtonAssignment::reserved2));
        mark(base + offsetof(ButtonAssignment, reserved3), sizeof(ButtonAssignment::reserved3));
    }
    for (int m = 0; m < kModeCount; ++m) {
        for (const std::size_t table : {offsetof(ProfileData, dpiX), offsetof(ProfileData, dpiY)}) {
            const std::size_t at = table + (m * kDpiSlots + kDpiUsedSlots) * sizeof(std::int32_t);
            mark(at, (kDpiSlots - kDpiUsedSlots) * sizeof(std::int32_t));
        }
    }
    return mask;
}

// ---- writing -------------------------------------------------------------------------------

// A text field: its text, and its whole bytes as well when the text alone would not give them
// back (bytes after the terminator, no terminator, or UTF-16 that is not text).
void PutText(Json& obj, const std::string& key, const char16_t* field) {
    const std::string text = Utf16ToUtf8(FieldText(field, kTextChars - 1));
    obj[key] = text;
    char16_t rebuilt[kTextChars];
    SetField(rebuilt, kTextChars, Utf8ToUtf16(text));
    if (std::memcmp(rebuilt, field, sizeof rebuilt) != 0) {
        obj[key + "Bytes"] = Hex(reinterpret_cast<const std::uint8_t*>(field), sizeof rebuilt);
    }
}

template <std::size_t N>
Json Numbers(const std::int32_t (&values)[N], std::size_t from = 0, std::size_t count = N) {
    Json out = Json::array();
    for (std::size_t i = from; i < from + count; ++i) {
        out.push_back(values[i]);
    }
    return out;
}

Json ButtonJson(const ButtonAssignment& b, int index) {
    Json j = Json::object();
    j["button"] = index;
    j["function"] = b.function;
    j["functionName"] = FunctionText(b.function);
    PutText(j, "label", b.label);
    j["macroId"] = static_cast<std::uint32_t>(b.macroId);
    j["keyWord"] = HexWord(b.keyWord);
    j["keyText"] = Utf16ToUtf8(ComboText(b.keyWord));
    j["actionWord"] = HexWord(b.actionWord);
    PutText(j, "path", b.path);
    return j;
}

Json ModeJson(const ProfileData& p, int m) {
    Json mode = Json::object();
    mode["mode"] = m;
    mode["name"] = kModeNames[m];
    Json buttons = Json::array();
    for (int k = 0; k < kButtonCount; ++k) {
        buttons.push_back(ButtonJson(p.buttons[m][k], k));
    }
    mode["buttons"] = std::move(buttons);
    Json dpi = Json::object();
    dpi["listMode"] = p.dpiListMode[m];
    dpi["topLevel"] = p.dpiTopLevel[m];
    dpi["levelOn"] = Numbers(p.dpiLevelOn[m]);
    dpi["xyIndependent"] = p.xyIndependent[m];
    dpi["presetsX"] = Numbers(p.dpiX[m], 0, kDpiPresetSlots);
    dpi["presetsY"] = Numbers(p.dpiY[m], 0, kDpiPresetSlots);
    dpi["levelsX"] = Numbers(p.dpiX[m], kDpiLevelSlotFirst, kDpiLevelSlots);
    dpi["levelsY"] = Numbers(p.dpiY[m], kDpiLevelSlotFirst, kDpiLevelSlots);
    mode["dpi"] = std::move(dpi);
    mode["reportRate"] = p.reportRate[m];
    mode["liftOff"] = p.liftHeight[m];
    mode["pointer"] = Json::object({{"speed", p.pointerSpeed[m]},
                                    {"scrollLines", p.scrollLines[m]},
                                    {"enhancePrecision", p.enhancePrecision[m]},
                                    {"doubleClickSpeed", p.doubleClickSpeed[m]}});
    Json zones = Json::array();
    for (int z = 0; z < kZoneCount; ++z) {
        const std::int32_t effect = p.ledEffect[z][m];
        zones.push_back(Json::object(
            {{"zone", z},
             {"effect", effect},
             {"effectName", effect >= 0 && effect <= kEffectMax ? kEffectNames[effect] : "unknown"},
             {"color", HexWord(p.ledColor[z][m])},
             {"swatch", p.ledSwatch[z][m]},
             {"speed", p.ledSpeed[z][m]},
             {"brightness", p.ledBrightness[z][m]}}));
    }
    mode["lighting"] = Json::object({{"zoneSelected", p.ledZoneSel[m]},
                                     {"proximitySensing", p.proximitySensing[m]},
                                     {"zones", std::move(zones)}});
    return mode;
}

Json SlotJson(const ProfileSlot& s) {
    Json j = Json::object();
    j["tag"] = s.tag;
    j["active"] = s.active;
    PutText(j, "name", s.name);
    PutText(j, "path", s.path);
    j["autoSwitch"] = s.autoSwitch;
    PutText(j, "autoPath", s.autoPath);
    Json ids = Json::array();
    for (int m = 0; m < kModeCount; ++m) {
        Json row = Json::array();
        for (int k = 0; k < kButtonCount; ++k) {
            row.push_back(static_cast<std::uint32_t>(s.buttonMacroId[m][k]));
        }
        ids.push_back(std::move(row));
    }
    j["buttonMacroIds"] = std::move(ids);
    return j;
}

// ---- reading -------------------------------------------------------------------------------

// Reads a document into file bytes. strict: every value in the range the program uses, and the
// DPI fields consistent; otherwise only the shape and the types are checked (the exporter's own
// check that its document gives the file back).
class DocumentReader {
public:
    explicit DocumentReader(bool strict) : strict_(strict) {}

    bool read(const Json& doc, std::vector<std::uint8_t>& file, std::string& problem);

private:
    // A number in [lo, hi] when strict, any 32-bit signed value otherwise.
    bool number(const Json& obj, const std::string& path, const char* key, std::int32_t lo,
                std::int32_t hi, std::int32_t& out) {
        return check_.i32(obj.at(key), JsonPath(path, key), strict_ ? lo : INT32_MIN,
                          strict_ ? hi : INT32_MAX, out);
    }
    bool text(const Json& obj, const std::string& path, const std::string& key, char16_t* field);
    void numbers(const Json& list, const std::string& path, std::int32_t lo, std::int32_t hi,
                 std::int32_t* out, std::size_t count);
    void button(const Json& j, const std::string& path, int index, ButtonAssignment& b);
    void dpi(const Json& j, const std::string& path, ProfileData& p, int m);
    void mode(const Json& j, const std::string& path, ProfileData& p, int m);
    void slot(const Json& j, ProfileSlot& s);
    void reserved(const Json& list, std::vector<std::uint8_t>& file);

    bool strict_;
    JsonCheck check_;
};

bool DocumentReader::text(const Json& obj, const std::string& path, const std::string& key,
                          char16_t* field) {
    std::u16string value;
    if (!check_.text(obj.at(key), JsonPath(path, key), kTextChars, value)) {
        return false;
    }
    const std::string bytesKey = key + "Bytes";
    if (obj.contains(bytesKey)) {
        const std::string at = JsonPath(path, bytesKey);
        if (!check_.anyString(obj.at(bytesKey), at)) {
            return false;
        }
        std::vector<std::uint8_t> bytes;
        if (!FromHex(obj.at(bytesKey).get_ref<const std::string&>(), bytes) ||
            bytes.size() != kTextChars * sizeof(char16_t)) {
            return check_.fail(at, "must be the field's " +
                                       std::to_string(kTextChars * sizeof(char16_t)) +
                                       " bytes in hexadecimal");
        }
        char16_t raw[kTextChars];
        std::memcpy(raw, bytes.data(), sizeof raw);
        // The bytes stand only while the text beside them is the one they were written with; an
        // edited text replaces the whole field.
        if (Utf16ToUtf8(FieldText(raw, kTextChars - 1)) ==
            obj.at(key).get_ref<const std::string&>()) {
            std::memcpy(field, raw, sizeof raw);
            return true;
        }
    }
    SetField(field, kTextChars, value);
    return true;
}

void DocumentReader::numbers(const Json& list, const std::string& path, std::int32_t lo,
                             std::int32_t hi, std::int32_t* out, std::size_t count) {
    if (!check_.array(list, path, static_cast<long>(count))) {
        return;
    }
    for (std::size_t i = 0; i < count; ++i) {
        check_.i32(list.at(i), JsonPath(path, i), strict_ ? lo : INT32_MIN,
                   strict_ ? hi : INT32_MAX, out[i]);
    }
}

void DocumentReader::button(const Json& j, const std::string& path, int index,
                            ButtonAssignment& b) {
    if (!check_.object(j, path,
                       {"button", "function", "functionName", "label", "macroId", "keyWord",
                        "keyText", "actionWord", "path"},
                       {"labelBytes", "pathBytes"})) {
        return;
    }
    std::int32_t at = 0;
    if (check_.i32(j.at("button"), JsonPath(path, "button"), index, index, at) &&
        number(j, path, "function", INT32_MIN, INT32_MAX, b.function) && strict_ &&
        !KnownFunction(b.function)) {
        check_.fail(JsonPath(path, "function"),
                    std::to_string(b.function) + " is not a button function");
    }
    check_.anyString(j.at("functionName"), JsonPath(path, "functionName"));
    check_.anyString(j.at("keyText"), JsonPath(path, "keyText"));
    std::uint32_t macroId = 0;
    if (check_.u32(j.at("macroId"), JsonPath(path, "macroId"), 0, UINT32_MAX, macroId)) {
        b.macroId = static_cast<std::int32_t>(macroId);
    }
    check_.hex32(j.at("keyWord"), JsonPath(path, "keyWord"), UINT32_MAX, b.keyWord);
    check_.hex32(j.at("actionWord"), JsonPath(path, "actionWord"), UINT32_MAX, b.actionWord);
    text(j, path, "label", b.label);
    text(j, path, "path", b.path);
}

void DocumentReader::dpi(const Json& j, const std::string& path, ProfileData& p, int m) {
    if (!check_.object(j, path,
                       {"listMode", "topLevel", "levelOn", "xyIndependent", "presetsX", "presetsY",
                        "levelsX", "levelsY"})) {
        return;
    }
    number(j, path, "listMode", 0, 1, p.dpiListMode[m]);
    number(j, path, "topLevel", 0, kDpiLevels - 1, p.dpiTopLevel[m]);
    numbers(j.at("levelOn"), JsonPath(path, "levelOn"), 0, 1, p.dpiLevelOn[m], kDpiLevels);
    number(j, path, "xyIndependent", 0, 1, p.xyIndependent[m]);
    numbers(j.at("presetsX"), JsonPath(path, "presetsX"), 0, kDpiMax, p.dpiX[m], kDpiPresetSlots);
    numbers(j.at("presetsY"), JsonPath(path, "presetsY"), 0, kDpiMax, p.dpiY[m], kDpiPresetSlots);
    numbers(j.at("levelsX"), JsonPath(path, "levelsX"), 0, kDpiMax, p.dpiX[m] + kDpiLevelSlotFirst,
            kDpiLevelSlots);
    numbers(j.at("levelsY"), JsonPath(path, "levelsY"), 0, kDpiMax, p.dpiY[m] + kDpiLevelSlotFirst,
            kDpiLevelSlots);
    if (!strict_ || !check_.ok()) {
        return;
    }
    // The preset slots hold preset values (or 0 where nothing was ever ticked).
    const std::pair<const char*, const std::int32_t*> presets[] = {{"presetsX", p.dpiX[m]},
                                                                   {"presetsY", p.dpiY[m]}};
    for (const auto& [key, slots] : presets) {
        for (int s = 0; s < kDpiPresetSlots; ++s) {
            if (slots[s] != 0 && std::find(std::begin(kPresetValues), std::end(kPresetValues),
                                           slots[s]) == std::end(kPresetValues)) {
                check_.fail(JsonPath(JsonPath(path, key), static_cast<std::size_t>(s)),
                            std::to_string(slots[s]) +
                                " is not a preset (4, 8, 10, 16, 18, 24, 32, 48, 64 or 82)");
                return;
            }
        }
    }
    const int top = p.dpiTopLevel[m];
    int on = 0;
    for (int l = 0; l < kDpiLevels; ++l) {
        on += p.dpiLevelOn[m][l];
    }
    if (on == 0) {
        check_.fail(JsonPath(path, "levelOn"), "at least one level must be on");
        return;
    }
    if (p.dpiListMode[m] == 1) {
        for (int l = 0; l <= top; ++l) {
            if (p.dpiX[m][l] == 0 || p.dpiY[m][l] == 0) {
                check_.fail(JsonPath(path, "topLevel"),
                            std::to_string(top) + " is above the ticked presets (presets" +
                                (p.dpiX[m][l] == 0 ? "X" : "Y") + " slot " + std::to_string(l) +
                                " is empty)");
                return;
            }
        }
    } else if (top != on - 1) {
        check_.fail(JsonPath(path, "topLevel"),
                    std::to_string(top) + " does not match the " + std::to_string(on) +
                        " level(s) switched on in levelOn (it must be " + std::to_string(on - 1) +
                        ")");
        return;
    }
    const std::pair<const char*, const std::int32_t*> levels[] = {
        {"levelsX", p.dpiX[m] + kDpiLevelSlotFirst}, {"levelsY", p.dpiY[m] + kDpiLevelSlotFirst}};
    for (int l = 0; l < kDpiLevels; ++l) {
        for (const auto& [key, values] : levels) {
            if (p.dpiLevelOn[m][l] != 0 && values[l] == 0) {
                check_.fail(JsonPath(JsonPath(path, key), static_cast<std::size_t>(l)),
                            "0 is out of range for a level in use (1 to 82)");
                return;
            }
        }
    }
}

void DocumentReader::mode(const Json& j, const std::string& path, ProfileData& p, int m) {
    if (!check_.object(
            j, path,
            {"mode", "name", "buttons", "dpi", "reportRate", "liftOff", "pointer", "lighting"})) {
        return;
    }
    std::int32_t index = 0;
    check_.i32(j.at("mode"), JsonPath(path, "mode"), m, m, index);
    check_.anyString(j.at("name"), JsonPath(path, "name"));
    const std::string buttonsPath = JsonPath(path, "buttons");
    if (check_.array(j.at("buttons"), buttonsPath, kButtonCount)) {
        for (int k = 0; k < kButtonCount; ++k) {
            button(j.at("buttons").at(k), JsonPath(buttonsPath, k), k, p.buttons[m][k]);
        }
    }
    dpi(j.at("dpi"), JsonPath(path, "dpi"), p, m);
    if (number(j, path, "reportRate", 1, 8, p.reportRate[m]) && strict_ &&
        std::find(std::begin(kReportRateCodes), std::end(kReportRateCodes), p.reportRate[m]) ==
            std::end(kReportRateCodes)) {
        check_.fail(JsonPath(path, "reportRate"),
                    std::to_string(p.reportRate[m]) + " is not a report rate (8, 4, 2 or 1)");
    }
    number(j, path, "liftOff", 0, kLiftMax, p.liftHeight[m]);
    const std::string pointerPath = JsonPath(path, "pointer");
    const Json& pointer = j.at("pointer");
    if (check_.object(pointer, pointerPath,
                      {"speed", "scrollLines", "enhancePrecision", "doubleClickSpeed"})) {
        number(pointer, pointerPath, "speed", 1, 20, p.pointerSpeed[m]);
        number(pointer, pointerPath, "scrollLines", -1, 10, p.scrollLines[m]);
        number(pointer, pointerPath, "enhancePrecision", 0, 1, p.enhancePrecision[m]);
        number(pointer, pointerPath, "doubleClickSpeed", 1, 10, p.doubleClickSpeed[m]);
    }
    const std::string lightPath = JsonPath(path, "lighting");
    const Json& light = j.at("lighting");
    if (!check_.object(light, lightPath, {"zoneSelected", "proximitySensing", "zones"})) {
        return;
    }
    number(light, lightPath, "zoneSelected", 0, kZoneCount - 1, p.ledZoneSel[m]);
    number(light, lightPath, "proximitySensing", 0, 1, p.proximitySensing[m]);
    const std::string zonesPath = JsonPath(lightPath, "zones");
    if (!check_.array(light.at("zones"), zonesPath, kZoneCount)) {
        return;
    }
    for (int z = 0; z < kZoneCount; ++z) {
        const Json& zone = light.at("zones").at(z);
        const std::string at = JsonPath(zonesPath, z);
        if (!check_.object(
                zone, at,
                {"zone", "effect", "effectName", "color", "swatch", "speed", "brightness"})) {
            return;
        }
        check_.i32(zone.at("zone"), JsonPath(at, "zone"), z, z, index);
        number(zone, at, "effect", 0, kEffectMax, p.ledEffect[z][m]);
        check_.anyString(zone.at("effectName"), JsonPath(at, "effectName"));
        check_.hex32(zone.at("color"), JsonPath(at, "color"), strict_ ? kColourMax : UINT32_MAX,
                     p.ledColor[z][m]);
        number(zone, at, "swatch", 0, kSwatchMax, p.ledSwatch[z][m]);
        number(zone, at, "speed", 0, kSpeedMax, p.ledSpeed[z][m]);
        number(zone, at, "brightness", 0, kBrightnessMax, p.ledBrightness[z][m]);
    }
}

void DocumentReader::slot(const Json& j, ProfileSlot& s) {
    const std::string path = "/slot";
    // Documents written before the program switch existed have neither autoSwitch nor autoPath.
    if (!check_.object(j, path, {"tag", "active", "name", "path", "buttonMacroIds"},
                       {"nameBytes", "pathBytes", "autoSwitch", "autoPath", "autoPathBytes"})) {
        return;
    }
    number(j, path, "tag", INT32_MIN, INT32_MAX, s.tag);
    number(j, path, "active", 0, 1, s.active);
    text(j, path, "name", s.name);
    text(j, path, "path", s.path);
    if (j.contains("autoSwitch")) {
        number(j, path, "autoSwitch", strict_ ? 0 : INT32_MIN, strict_ ? 1 : INT32_MAX,
               s.autoSwitch);
    }
    if (j.contains("autoPath")) {
        text(j, path, "autoPath", s.autoPath);
    }
    const std::string idsPath = JsonPath(path, "buttonMacroIds");
    if (!check_.array(j.at("buttonMacroIds"), idsPath, kModeCount)) {
        return;
    }
    for (int m = 0; m < kModeCount; ++m) {
        const Json& row = j.at("buttonMacroIds").at(m);
        const std::string rowPath = JsonPath(idsPath, m);
        if (!check_.array(row, rowPath, kButtonCount)) {
            return;
        }
        for (int k = 0; k < kButtonCount; ++k) {
            std::uint32_t id = 0;
            if (check_.u32(row.at(k), JsonPath(rowPath, k), 0, UINT32_MAX, id)) {
                s.buttonMacroId[m][k] = static_cast<std::int32_t>(id);
            }
        }
    }
}

void DocumentReader::reserved(const Json& list, std::vector<std::uint8_t>& file) {
    const std::string path = "/reserved";
    if (!check_.array(list, path, -1, file.size())) {
        return;
    }
    const std::vector<bool> mask = ReservedMask(file.size());
    for (std::size_t i = 0; i < list.size() && check_.ok(); ++i) {
        const Json& e = list.at(i);
        const std::string at = JsonPath(path, i);
        if (!check_.object(e, at, {"offset", "hex"})) {
            return;
        }
        std::uint32_t offset = 0;
        std::vector<std::uint8_t> bytes;
        if (!check_.u32(e.at("offset"), JsonPath(at, "offset"), 0,
                        static_cast<std::uint32_t>(file.size() - 1), offset) ||
            !check_.anyString(e.at("hex"), JsonPath(at, "hex"))) {
            return;
        }
        if (!FromHex(e.at("hex").get_ref<const std::string&>(), bytes) || bytes.empty()) {
            check_.fail(JsonPath(at, "hex"), "must be an even number of hexadecimal digits");
            return;
        }
        for (std::size_t b = 0; b < bytes.size(); ++b) {
            const std::size_t where = offset + b;
            if (where >= file.size() || !mask[where]) {
                check_.fail(at, "byte " + std::to_string(where) +
                                    " is not reserved; change the field that holds it instead");
                return;
            }
            file[where] = bytes[b];
        }
    }
}

bool DocumentReader::read(const Json& doc, std::vector<std::uint8_t>& file, std::string& problem) {
    auto p = std::make_unique<ProfileData>();
    ZeroRecord(*p);
    p->magic = kProfileMagic;
    ProfileSlot s;
    ZeroRecord(s);
    bool withSlot = false;
    if (check_.object(doc, "", {"format", "version", "modes"}, {"slot", "reserved"})) {
        if (!doc.at("format").is_string() ||
            doc.at("format").get_ref<const std::string&>() != kProfileJsonFormat) {
            check_.fail("/format", "must be \"" + std::string(kProfileJsonFormat) + "\"");
        }
        std::int32_t version = 0;
        check_.i32(doc.at("version"), "/version", kProfileJsonVersion, kProfileJsonVersion,
                   version);
        if (check_.array(doc.at("modes"), "/modes", kModeCount)) {
            for (int m = 0; m < kModeCount; ++m) {
                mode(doc.at("modes").at(m), JsonPath("/modes", m), *p, m);
            }
        }
        withSlot = doc.contains("slot");
        if (withSlot) {
            slot(doc.at("slot"), s);
        }
    }
    if (check_.ok()) {
        file.assign(withSlot ? kExportFileSize : kProfileSize, 0);
        std::memcpy(file.data(), p.get(), kProfileSize);
        if (withSlot) {
            std::memcpy(file.data() + kProfileSize, &s, kSlotSize);
        }
        if (doc.contains("reserved")) {
            reserved(doc.at("reserved"), file);
        }
    }
    if (!check_.ok()) {
        problem = check_.problem();
        file.clear();
        return false;
    }
    return true;
}

}  // namespace

bool ProfileJsonForm(std::span<const std::uint8_t> file, std::string& json, std::string& problem,
                     std::string* notes) {
    const bool withSlot = file.size() == kExportFileSize;
    if (!withSlot && file.size() > kProfileSize) {
        problem = "the file holds " + std::to_string(file.size()) +
                  " bytes: a profile file holds " + std::to_string(kProfileSize) +
                  " and an export file " + std::to_string(kExportFileSize);
        return false;
    }
    auto p = std::make_unique<ProfileData>();
    FillRecord(*p, file.first(std::min(file.size(), kProfileSize)));
    if (file.size() < sizeof(std::uint32_t) || p->magic != kProfileMagic) {
        problem = "not a Q350 profile (it does not start with the profile magic " +
                  HexWord(kProfileMagic) + ")";
        return false;
    }
    ProfileSlot s;
    ZeroRecord(s);
    if (withSlot) {
        FillRecord(s, file.subspan(kProfileSize));
    }

    Json doc = Json::object();
    doc["format"] = std::string(kProfileJsonFormat);
    doc["version"] = kProfileJsonVersion;
    Json modes = Json::array();
    for (int m = 0; m < kModeCount; ++m) {
        modes.push_back(ModeJson(*p, m));
    }
    doc["modes"] = std::move(modes);
    if (withSlot) {
        doc["slot"] = SlotJson(s);
    }

    // The file as the readable fields give it back; the reserved bytes that differ are added.
    std::vector<std::uint8_t> original(withSlot ? kExportFileSize : kProfileSize, 0);
    std::copy(file.begin(), file.end(), original.begin());
    std::vector<std::uint8_t> rebuilt;
    if (!DocumentReader(false).read(doc, rebuilt, problem) || rebuilt.size() != original.size()) {
        problem = "internal: the profile's own document does not read back (" + problem + ")";
        return false;
    }
    const std::vector<bool> mask = ReservedMask(original.size());
    Json reserved = Json::array();
    for (std::size_t i = 0; i < original.size();) {
        if (original[i] == rebuilt[i]) {
            ++i;
            continue;
        }
        if (!mask[i]) {
            problem = "internal: byte " + std::to_string(i) + " of a field does not read back";
            return false;
        }
        // One entry per stretch of differing reserved bytes; short equal gaps are taken along.
        std::size_t end = i + 1;
        for (std::size_t gap = 0;
             end < original.size() && mask[end] && gap < 16 && end - i < kHexBytesPerEntry; ++end) {
            gap = original[end] == rebuilt[end] ? gap + 1 : 0;
        }
        while (original[end - 1] == rebuilt[end - 1]) {
            --end;
        }
        reserved.push_back(Json::object({{"offset", i}, {"hex", Hex(&original[i], end - i)}}));
        i = end;
    }
    if (!reserved.empty()) {
        doc["reserved"] = std::move(reserved);
    }
    if (!DocumentReader(false).read(doc, rebuilt, problem) || rebuilt != original) {
        problem = "internal: the document does not give the file back byte for byte";
        return false;
    }
    if (notes) {
        std::vector<std::uint8_t> unused;
        notes->clear();
        DocumentReader(true).read(doc, unused, *notes);
    }
    json = JsonText(doc);
    return true;
}

bool ReadProfileJson(std::string_view text, std::vector<std::uint8_t>& file, std::string& problem) {
    Json doc;
    if (!ParseStrictJson(text, doc, problem)) {
        return false;
    }
    return DocumentReader(true).read(doc, file, problem);
}

}  // namespace q350
