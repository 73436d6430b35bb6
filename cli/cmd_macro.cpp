// q350ctl macro: read and change a macro library file, and move single macros in and out of it as
// readable text or JSON files that can be shared and edited by hand.
//   macro list LIBRARY
//   macro show LIBRARY ID
//   macro export LIBRARY ID OUT [--json]
//   macro import LIBRARY IN
//
// The two file forms are described in config/macro_file.h (text) and config/macro_json.h (JSON).
// Import reads the whole file first and refuses it, naming the line or the JSON path, unless every
// item is one the library holds and the mouse can play; the library file is written only then.
#include "config/macro_library.h"  // first: it reads the device headers

#include <charconv>
#include <cstring>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

#include "base/file_io.h"
#include "base/utf.h"
#include "cli/commands.h"
#include "config/key_tables.h"
#include "config/macro_file.h"
#include "config/macro_json.h"

namespace q350::cli {

namespace {

constexpr const char* kUsage =
    "macro list LIBRARY | macro show LIBRARY ID | macro export LIBRARY ID OUT [--json] | "
    "macro import LIBRARY IN";

// Files read by import: a macro of 1,000 events is far smaller than this.
constexpr std::size_t kImportMaxBytes = 1 << 20;

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

bool LoadLibrary(const std::string& path, LoadedLibrary& lib, bool allowMissing,
                 std::string& problem) {
    std::vector<std::uint8_t> image;
    FileError error = FileError::None;
    if (!ReadFileBytes(path, image, &error, kMacroFileSize + 1)) {
        if (allowMissing && error == FileError::NotFound) {
            return true;
        }
        problem = "cannot read " + path + ErrorText(error);
        return false;
    }
    if (image.size() > kMacroFileSize) {
        problem = path + " is not a macro library (it holds more than " +
                  std::to_string(kMacroFileSize) + " bytes)";
        return false;
    }
    if (!image.empty()) {
        std::memcpy(&lib.library.entry(0), image.data(), image.size());
    }
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
    char hex[16];
    std::snprintf(hex, sizeof hex, "0x%02X", static_cast<unsigned>(vk));
    const std::string name = Utf16ToUtf8(KeyName(static_cast<int>(vk)));
    return hex + (name.empty() ? "" : "  # " + name);
}

// An entry in the text form as it is, events of unknown types included as comments.
std::string ShowText(const MacroRecord& r) {
    std::string out = "id " + HexWord(r.id) + "\nname " +
                      Utf16ToUtf8(FieldText(r.macroName, kMacroNameChars)) + "\nrepeat " +
                      std::to_string(r.repeat & 0xFFFF) + "\n";
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
                out += "# unknown event " + HexWord(e) + "\n";
                break;
        }
    }
    return out;
}

int List(const Args& a) {
    if (a.size() != 2)
        return Usage(kUsage);
    LoadedLibrary lib;
    std::string problem;
    if (!LoadLibrary(a[1], lib, false, problem))
        return Fail(problem);
    int count = 0;
    for (std::size_t i = 0; i < kMacroLibraryEntries; ++i) {
        const MacroRecord& r = lib.library.entry(i);
        if (!IsMacroInUse(r))
            continue;
        ++count;
        MacroProgram program{};
        const bool playable = EncodeMacro(r, program);
        std::cout << HexWord(r.id) << "  " << Utf16ToUtf8(FieldText(r.macroName, kMacroNameChars))
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
    if (a.size() != 3)
        return Usage(kUsage);
    LoadedLibrary lib;
    std::string problem;
    if (!LoadLibrary(a[1], lib, false, problem))
        return Fail(problem);
    const MacroRecord* r = FindInUse(lib, a[2]);
    if (!r)
        return Fail("no macro " + a[2] + " in " + a[1]);
    std::cout << ShowText(*r);
    return 0;
}

int Export(const Args& a) {
    if (a.size() != 4 && !(a.size() == 5 && a[4] == "--json"))
        return Usage(kUsage);
    LoadedLibrary lib;
    std::string problem;
    if (!LoadLibrary(a[1], lib, false, problem))
        return Fail(problem);
    const MacroRecord* r = FindInUse(lib, a[2]);
    if (!r)
        return Fail("no macro " + a[2] + " in " + a[1]);
    MacroDraft draft;
    if (!DraftFromRecord(*r, draft, problem)) {
        return Fail("macro " + a[2] + " cannot be exported: " + problem);
    }
    const std::string text = a.size() == 5 ? MacroJsonForm(draft) : MacroTextForm(draft);
    FileError error = FileError::None;
    if (!WriteFileAtomic(a[3],
                         std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()),
                         &error)) {
        return Fail("cannot write " + a[3] + ErrorText(error));
    }
    return 0;
}

int Import(const Args& a) {
    if (a.size() != 3)
        return Usage(kUsage);
    std::vector<std::uint8_t> bytes;
    FileError error = FileError::None;
    if (!ReadFileBytes(a[2], bytes, &error, kImportMaxBytes + 1)) {
        return Fail("cannot read " + a[2] + ErrorText(error));
    }
    if (bytes.size() > kImportMaxBytes) {
        return Fail(a[2] + ": larger than any macro file (more than 1 MiB); nothing imported");
    }
    const std::string_view text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    MacroDraft draft;
    std::string problem;
    const auto first = text.find_first_not_of(" \t\r\n");
    const bool json = first != std::string_view::npos && (text[first] == '{' || text[first] == '[');
    const bool read =
        json ? ReadMacroJson(text, draft, problem) : ReadMacroText(text, draft, problem);
    if (!read) {
        return Fail(a[2] + ": " + problem + "; nothing imported");
    }
    LoadedLibrary lib;
    if (!LoadLibrary(a[1], lib, true, problem))
        return Fail(problem);
    if (!lib.library.store(MakeExchangeBlock(draft.id, draft.repeat, draft.name, draft.events))) {
        return Fail(a[1] + " is full (" + std::to_string(kMacroLibraryEntries) +
                    " macros); nothing imported");
    }
    if (!WriteFileAtomic(a[1], lib.library.bytes(), &error)) {
        return Fail("cannot write " + a[1] + ErrorText(error) + "; the library is unchanged");
    }
    std::cout << "stored macro " << HexWord(draft.id) << " (" << draft.events.size()
              << " events) in " << a[1] << "\n";
    return 0;
}

}  // namespace

int RunMacro(const Args& args) {
    if (args.empty())
        return Usage(kUsage);
    if (args[0] == "list")
        return List(args);
    if (args[0] == "show")
        return Show(args);
    if (args[0] == "export")
        return Export(args);
    if (args[0] == "import")
        return Import(args);
    return Usage(kUsage);
}

}  // namespace q350::cli
