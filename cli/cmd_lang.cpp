// q350ctl lang check FILE...: how the program reads language files, for translators. Reports each
// file's encoding, its parse errors and the ids it lacks or leaves empty.
#include <iostream>
#include <set>
#include <string>

#include "base/utf.h"
#include "cli/commands.h"
#include "lang/language_table.h"
#include "lang/linux/iconv_code_page.h"
#include "lang/xml_reader.h"

namespace q350::cli {

namespace {

constexpr const char* kUsage = "lang check FILE...";

std::string Describe(const lang::XmlReader& reader) {
    const std::uint32_t flags = reader.docFlags();
    std::string text = reader.encoding().empty() ? "unknown" : reader.encoding();
    if (flags & (lang::kDocBomUtf8 | lang::kDocBomUtf16Le | lang::kDocBomUtf16Be)) {
        text += " with byte-order mark";
    }
    if (flags & lang::kDocAnsi) {
        text += " (read in the ANSI code page)";
    }
    return text;
}

// Checks one file; true when it has no fault.
bool CheckFile(lang::XmlReader& reader, const std::string& name) {
    std::cout << name << ":\n";
    if (!reader.loadFile(name)) {
        std::cout << "  cannot be read: " << Utf16ToUtf8(reader.resultText()) << "\n";
        return false;
    }
    bool ok = true;
    std::cout << "  encoding: " << Describe(reader) << "\n";
    reader.parse();
    for (const std::u16string& e : reader.parseErrors()) {
        std::cout << "  parse error: " << Utf16ToUtf8(e) << "\n";
        ok = false;
    }
    std::size_t missing = 0;
    std::size_t empty = 0;
    for (std::u16string_view id : lang::kStringIdNames) {
        std::u16string text;
        if (!reader.lookup(lang::kStringGroup, id, text)) {
            std::cout << "  missing: " << Utf16ToUtf8(id) << "\n";
            ++missing;
        } else if (text.empty()) {
            std::cout << "  empty: " << Utf16ToUtf8(id) << "\n";
            ++empty;
        }
    }
    // Elements the program never reads, and ids given twice (only the first counts).
    std::set<std::u16string> seen;
    reader.resetPos();
    if (reader.findChildElem(lang::kStringGroup) && reader.intoElem()) {
        while (reader.findChildElem()) {
            const std::u16string name16 = reader.getChildTagName();
            if (!lang::StringIdFromName(name16)) {
                std::cout << "  warning: unknown id " << Utf16ToUtf8(name16) << "\n";
            } else if (!seen.insert(name16).second) {
                std::cout << "  warning: " << Utf16ToUtf8(name16)
                          << " appears again; the first one is used\n";
            }
        }
    }
    if (missing + empty > 0) {
        ok = false;
    }
    std::cout << "  " << lang::kStringCount - missing - empty << " of " << lang::kStringCount
              << " ids present and non-empty: " << (ok ? "ok" : "FAULTY") << "\n";
    return ok;
}

}  // namespace

int RunLang(const Args& args) {
    if (args.empty() || args[0] == "--help" || args[0] == "-h") {
        std::cout << "usage: q350ctl " << kUsage
                  << "\n  Loads each language file as the program does and reports its\n"
                     "  encoding, parse errors and missing or empty string ids.\n"
                     "  Exit status 1 when any file has a fault.\n";
        return args.empty() ? 2 : 0;
    }
    if (args[0] != "check" || args.size() < 2) {
        return Usage(kUsage);
    }
    lang::IconvCodePageConverter converter;
    lang::XmlReader reader(converter);
    bool ok = true;
    for (std::size_t i = 1; i < args.size(); ++i) {
        ok = CheckFile(reader, args[i]) && ok;
    }
    return ok ? 0 : 1;
}

}  // namespace q350::cli
