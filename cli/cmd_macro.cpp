// q350ctl macro: read and change a macro library file, and move single macros in and out of it as
// readable text or JSON files that can be shared and edited by hand.
//   macro list LIBRARY
//   macro show LIBRARY ID
//   macro export LIBRARY ID OUT [--json]
//   macro import LIBRARY IN
//
// Text form, one item a line ('#' starts a comment):
//   id 0x02000011
//   name Reload
//   repeat 2
//   down 0x41
//   pause 30
//   up 0x41
// JSON form: {"id": 33554449, "name": "Reload", "repeat": 2,
//             "events": [{"down": 65}, {"pause": 30}, {"up": 65}]}
#include "config/macro_library.h"  // first: it reads the device headers

#include <charconv>
#include <cstring>
#include <fstream>
#include <iostream>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "base/file_io.h"
#include "base/utf.h"
#include "cli/commands.h"
#include "config/key_tables.h"

namespace q350::cli {

namespace {

constexpr const char* kUsage =
    "macro list LIBRARY | macro show LIBRARY ID | macro export LIBRARY ID OUT [--json] | "
    "macro import LIBRARY IN";

struct MacroText {
    std::uint32_t id = 0;
    std::uint32_t repeat = 1;
    std::u16string name;
    std::vector<std::uint32_t> events;
};

std::optional<std::uint32_t> ParseNumber(std::string s) {
    int base = 10;
    if (s.rfind("0x", 0) == 0 || s.rfind("0X", 0) == 0) {
        s = s.substr(2);
        base = 16;
    }
    std::uint32_t v = 0;
    const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), v, base);
    if (s.empty() || ec != std::errc() || end != s.data() + s.size()) {
        return std::nullopt;
    }
    return v;
}

std::string Hex(std::uint32_t v, int digits = 8) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "0x%0*X", digits, v);
    return buf;
}

// A library file loaded into memory; a missing file gives an empty library.
struct LoadedLibrary {
    MemorySettingsStore settings;
    SilentNotifier notifier;
    FakeClock clock;
    MacroLibrary library{".", settings, notifier, clock};
    // The library's own saves go nowhere: the command writes the file it was given itself.
    LoadedLibrary() {
        library.setFileWriter([](const std::filesystem::path&, std::span<const std::uint8_t>,
                                 FileError*) { return true; });
    }
};

bool LoadLibrary(const std::string& path, LoadedLibrary& lib, bool allowMissing) {
    std::vector<std::uint8_t> image;
    FileError error = FileError::None;
    if (!ReadFileBytes(path, image, &error, kMacroFileSize)) {
        return allowMissing && error == FileError::NotFound;
    }
    std::memcpy(&lib.library.entry(0), image.data(), image.size());
    return true;
}

std::string RepeatText(std::uint32_t repeat) {
    switch (repeat & 0xFFFF) {
        case kRepeatWhileHeld:
            return std::to_string(kRepeatWhileHeld) + " (plays while held)";
        case kRepeatUntilPressed:
            return std::to_string(kRepeatUntilPressed) + " (plays until pressed again)";
        default:
            return std::to_string(repeat & 0xFFFF) + " time(s)";
    }
}

std::string KeyText(std::uint32_t vk) {
    const std::string name = Utf16ToUtf8(KeyName(static_cast<int>(vk)));
    return Hex(vk, 2) + (name.empty() ? "" : "  # " + name);
}

std::string EventsText(const MacroRecord& r) {
    std::string out;
    for (std::uint32_t i = 0; i < r.eventCount && i < kMacroMaxEvents; ++i) {
        const std::uint32_t e = r.events[i];
        const std::uint32_t v = MacroEventValue(e);
        switch (MacroEventType(e)) {
            case kMacroKeyDown:
                out += "down " + KeyText(v) + "\n";
                break;
            case kMacroKeyUp:
                out += "up " + KeyText(v) + "\n";
                break;
            case kMacroPause:
                out += "pause " + std::to_string(v) + "\n";
                break;
            default:
                out += "# unknown event " + Hex(e) + "\n";
                break;
        }
    }
    return out;
}

std::string JsonEscape(const std::string& s) {
    std::string out;
    for (char c : s) {
        if (c == '"' || c == '\\') {
            out += '\\';
        }
        out += c;
    }
    return out;
}

std::string ToJson(const MacroRecord& r) {
    std::ostringstream out;
    out << "{\"id\": " << r.id << ", \"name\": \""
        << JsonEscape(Utf16ToUtf8(FieldText(r.macroName, kMacroNameChars)))
        << "\", \"repeat\": " << r.repeat << ",\n \"events\": [";
    for (std::uint32_t i = 0; i < r.eventCount && i < kMacroMaxEvents; ++i) {
        const std::uint32_t e = r.events[i];
        const char* kind = MacroEventType(e) == kMacroKeyDown ? "down"
                           : MacroEventType(e) == kMacroKeyUp ? "up"
                           : MacroEventType(e) == kMacroPause ? "pause"
                                                              : "raw";
        const std::uint32_t v = std::strcmp(kind, "raw") == 0 ? e : MacroEventValue(e);
        out << (i ? ", " : "") << "{\"" << kind << "\": " << v << "}";
    }
    out << "]}\n";
    return out.str();
}

std::string ToText(const MacroRecord& r) {
    return "id " + Hex(r.id) + "\nname " + Utf16ToUtf8(FieldText(r.macroName, kMacroNameChars)) +
           "\nrepeat " + std::to_string(r.repeat & 0xFFFF) + "\n" + EventsText(r);
}

bool AddEvent(const std::string& kind, std::uint32_t value, MacroText& m) {
    if (kind == "down" || kind == "up") {
        if (value > 0xFF) return false;
        m.events.push_back(MacroEvent(kind == "down" ? kMacroKeyDown : kMacroKeyUp, value));
    } else if (kind == "pause") {
        m.events.push_back(MacroEvent(kMacroPause, value));
    } else if (kind == "raw") {
        m.events.push_back(value);
    } else {
        return false;
    }
    return true;
}

// Reads the JSON form written by export: string keys followed by numbers or one string.
std::optional<MacroText> ParseJson(const std::string& s, std::string& problem) {
    MacroText m;
    std::size_t i = 0;
    std::string key;
    while (i < s.size()) {
        const char c = s[i];
        if (c == '"') {
            std::string str;
            for (++i; i < s.size() && s[i] != '"'; ++i) {
                if (s[i] == '\\' && i + 1 < s.size()) ++i;
                str += s[i];
            }
            ++i;
            if (key == "name") {
                m.name = Utf8ToUtf16(str);
                key.clear();
            } else {
                key = str;
            }
        } else if ((c >= '0' && c <= '9')) {
            std::size_t j = i;
            while (j < s.size() && std::isalnum(static_cast<unsigned char>(s[j]))) ++j;
            const auto v = ParseNumber(s.substr(i, j - i));
            i = j;
            if (!v) {
                problem = "bad number";
                return std::nullopt;
            }
            if (key == "id") m.id = *v;
            else if (key == "repeat") m.repeat = *v;
            else if (!AddEvent(key, *v, m)) {
                problem = "unknown item '" + key + "'";
                return std::nullopt;
            }
            key.clear();
        } else {
            ++i;
        }
    }
    return m;
}

std::optional<MacroText> ParseText(const std::string& s, std::string& problem) {
    MacroText m;
    std::istringstream in(s);
    std::string line;
    int number = 0;
    while (std::getline(in, line)) {
        ++number;
        if (const auto hash = line.find('#'); hash != std::string::npos) line.erase(hash);
        std::istringstream words(line);
        std::string kind, value;
        if (!(words >> kind)) continue;
        if (kind == "name") {
            std::getline(words >> std::ws, value);
            while (!value.empty() && std::isspace(static_cast<unsigned char>(value.back())))
                value.pop_back();
            m.name = Utf8ToUtf16(value);
            continue;
        }
        words >> value;
        const auto v = ParseNumber(value);
        if (!v) {
            problem = "line " + std::to_string(number) + ": '" + value + "' is not a number";
            return std::nullopt;
        }
        if (kind == "id") m.id = *v;
        else if (kind == "repeat") m.repeat = *v;
        else if (!AddEvent(kind, *v, m)) {
            problem = "line " + std::to_string(number) + ": cannot read '" + kind + "'";
            return std::nullopt;
        }
    }
    return m;
}

int List(const Args& a) {
    if (a.size() != 2) return Usage(kUsage);
    LoadedLibrary lib;
    if (!LoadLibrary(a[1], lib, false)) return Fail("cannot read " + a[1]);
    int count = 0;
    for (std::size_t i = 0; i < kMacroLibraryEntries; ++i) {
        const MacroRecord& r = lib.library.entry(i);
        if (!IsMacroInUse(r)) continue;
        ++count;
        MacroProgram program{};
        const bool playable = EncodeMacro(r, program);
        std::cout << Hex(r.id) << "  " << Utf16ToUtf8(FieldText(r.macroName, kMacroNameChars))
                  << "  (" << r.eventCount << " events, repeat " << RepeatText(r.repeat) << ")"
                  << (playable ? "" : "  [cannot be played by the mouse]") << "\n";
    }
    std::cout << count << " macro(s)\n";
    return 0;
}

const MacroRecord* FindInUse(LoadedLibrary& lib, const std::string& idText) {
    const auto id = ParseNumber(idText);
    const MacroRecord* r = id ? lib.library.find(*id) : nullptr;
    return r && IsMacroInUse(*r) ? r : nullptr;
}

int Show(const Args& a) {
    if (a.size() != 3) return Usage(kUsage);
    LoadedLibrary lib;
    if (!LoadLibrary(a[1], lib, false)) return Fail("cannot read " + a[1]);
    const MacroRecord* r = FindInUse(lib, a[2]);
    if (!r) return Fail("no macro " + a[2] + " in " + a[1]);
    std::cout << ToText(*r);
    return 0;
}

int Export(const Args& a) {
    if (a.size() != 4 && !(a.size() == 5 && a[4] == "--json")) return Usage(kUsage);
    LoadedLibrary lib;
    if (!LoadLibrary(a[1], lib, false)) return Fail("cannot read " + a[1]);
    const MacroRecord* r = FindInUse(lib, a[2]);
    if (!r) return Fail("no macro " + a[2] + " in " + a[1]);
    const std::string text = a.size() == 5 ? ToJson(*r) : ToText(*r);
    if (!WriteFileAtomic(a[3], std::span(reinterpret_cast<const std::uint8_t*>(text.data()),
                                         text.size()))) {
        return Fail("cannot write " + a[3]);
    }
    return 0;
}

int Import(const Args& a) {
    if (a.size() != 3) return Usage(kUsage);
    std::vector<std::uint8_t> bytes;
    if (!ReadFileBytes(a[2], bytes)) return Fail("cannot read " + a[2]);
    const std::string s(bytes.begin(), bytes.end());
    std::string problem;
    const auto first = s.find_first_not_of(" \t\r\n");
    const auto m = first != std::string::npos && s[first] == '{' ? ParseJson(s, problem)
                                                                 : ParseText(s, problem);
    if (!m) return Fail(a[2] + ": " + problem);
    if (m->events.size() > kMacroMaxEvents) return Fail(a[2] + ": more than 1000 events");
    MacroProgram program{};
    if (!EncodeMacroEvents(m->events, m->repeat, program)) {
        return Fail(a[2] + ": the mouse cannot play this macro (unknown key or event)");
    }
    LoadedLibrary lib;
    if (!LoadLibrary(a[1], lib, true)) return Fail("cannot read " + a[1]);
    if (!lib.library.store(MakeExchangeBlock(m->id, m->repeat, m->name, m->events)) ||
        !WriteFileAtomic(a[1], lib.library.bytes())) {
        return Fail("cannot store the macro in " + a[1] + " (library full or not writable)");
    }
    std::cout << "stored macro " << Hex(m->id) << " (" << m->events.size() << " events) in "
              << a[1] << "\n";
    return 0;
}

}  // namespace

int RunMacro(const Args& args) {
    if (args.empty()) return Usage(kUsage);
    if (args[0] == "list") return List(args);
    if (args[0] == "show") return Show(args);
    if (args[0] == "export") return Export(args);
    if (args[0] == "import") return Import(args);
    return Usage(kUsage);
}

}  // namespace q350::cli
