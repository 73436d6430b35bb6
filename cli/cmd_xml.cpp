// q350ctl xml FILE [GROUP KEY]: shows how the program's XML reader sees a file: the description
// of the load, the parse errors and, with GROUP and KEY, the text the program would look up.
#include <iostream>
#include <string>

#include "base/utf.h"
#include "cli/commands.h"
#include "lang/linux/iconv_code_page.h"
#include "lang/xml_reader.h"

namespace q350::cli {

namespace {
constexpr const char* kUsage = "xml FILE [GROUP KEY]";
}

int RunXml(const Args& args) {
    if (!args.empty() && (args[0] == "--help" || args[0] == "-h")) {
        std::cout << "usage: q350ctl " << kUsage
                  << "\n  Prints the reader's result text and parse errors for FILE and, with\n"
                     "  GROUP and KEY, the text of element KEY in element GROUP below the root.\n"
                     "  Exit status 1 when the file cannot be read or the key is not found.\n";
        return 0;
    }
    if (args.size() != 1 && args.size() != 3) {
        return Usage(kUsage);
    }
    lang::IconvCodePageConverter converter;
    lang::XmlReader reader(converter);
    const bool loaded = reader.loadFile(args[0]);
    if (loaded) {
        reader.parse();
    }
    std::cout << "result: " << Utf16ToUtf8(reader.resultText()) << "\n";
    if (!loaded) {
        return 1;
    }
    std::cout << "elements: " << reader.elementCount() << "\n";
    for (const std::u16string& e : reader.parseErrors()) {
        std::cout << "error: " << Utf16ToUtf8(e) << "\n";
    }
    if (args.size() == 3) {
        std::u16string text;
        if (!reader.lookup(Utf8ToUtf16(args[1]), Utf8ToUtf16(args[2]), text)) {
            std::cout << args[1] << "/" << args[2] << ": not found\n";
            return 1;
        }
        std::cout << args[1] << "/" << args[2] << ": " << Utf16ToUtf8(text) << "\n";
    }
    return 0;
}

}  // namespace q350::cli
