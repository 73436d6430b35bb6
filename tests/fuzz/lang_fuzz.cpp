// Fuzz target of the XML reader and the language table: load any bytes, parse them, look up every
// string id, walk the whole element tree and decode arbitrary text.
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

#include "lang/language_table.h"
#include "lang/linux/iconv_code_page.h"
#include "lang/xml_reader.h"

namespace {

using q350::lang::XmlReader;

// Visits every element by the navigation operations, at most a bounded number of steps.
void Walk(XmlReader& reader) {
    reader.resetPos();
    std::size_t steps = 0;
    if (!reader.findElem()) {
        return;
    }
    (void)reader.getData();
    while (steps++ < 20000) {
        if (reader.findChildElem()) {
            (void)reader.getChildTagName();
            (void)reader.getChildData();
            reader.intoElem();
            continue;
        }
        // No more children here: back up until a level has a further element.
        bool advanced = false;
        while (!advanced && reader.outOfElem()) {
            advanced = reader.findChildElem();
            if (advanced) {
                reader.intoElem();
            }
        }
        if (!advanced) {
            break;
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const q350::lang::IconvCodePageConverter converter;
    XmlReader reader(converter);
    std::uint32_t flags = 0;
    const std::span<const std::uint8_t> bytes(data, size);
    if (reader.loadBytes(bytes, &flags)) {
        reader.parse();
        (void)reader.resultText();
        q350::lang::LanguageTable table;
        table.fillFrom(reader);
        (void)reader.lookup(u"", u"");
        Walk(reader);
    }
    // The same bytes as UTF-16 text, straight into the parser and the reference decoder.
    std::u16string text(size / 2, u'\0');
    for (std::size_t i = 0; i + 1 < size; i += 2) {
        text[i / 2] = static_cast<char16_t>(data[i] | (data[i + 1] << 8));
    }
    std::u16string decoded;
    q350::lang::AppendDecodedText(text, decoded);
    reader.setDocument(std::move(text));
    reader.parse();
    (void)reader.lookup(u"config", u"str_ok");
    Walk(reader);
    return 0;
}
