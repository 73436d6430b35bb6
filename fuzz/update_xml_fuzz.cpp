// Fuzz target of the update.xml look-ups: any bytes loaded and parsed by the XML reader, then the
// four values the update check reads (current/driver, current/firmware, newfile/driver,
// newfile/firmware) looked up and the version numbers read as the decimal prefix of their text.
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

#include "lang/linux/iconv_code_page.h"
#include "lang/xml_reader.h"

namespace {

// A version number: the decimal digits at the start of the text, as an unsigned 32-bit number
// (empty or non-numeric text is 0; a longer number wraps as the check's unsigned arithmetic does).
std::uint32_t VersionNumber(const std::u16string& text) {
    std::uint32_t value = 0;
    for (const char16_t c : text) {
        if (c < u'0' || c > u'9') {
            break;
        }
        value = value * 10 + static_cast<std::uint32_t>(c - u'0');
    }
    return value;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const q350::lang::IconvCodePageConverter converter;
    q350::lang::XmlReader reader(converter);
    std::uint32_t flags = 0;
    if (!reader.loadBytes(std::span<const std::uint8_t>(data, size), &flags)) {
        return 0;
    }
    reader.parse();
    const std::uint32_t driver = VersionNumber(reader.lookup(u"current", u"driver"));
    const std::uint32_t firmware = VersionNumber(reader.lookup(u"current", u"firmware"));
    const std::u16string driverAddress = reader.lookup(u"newfile", u"driver");
    const std::u16string firmwareAddress = reader.lookup(u"newfile", u"firmware");
    // The same look-ups again give the same answers (the reader keeps one position).
    if (VersionNumber(reader.lookup(u"current", u"driver")) != driver ||
        VersionNumber(reader.lookup(u"current", u"firmware")) != firmware ||
        reader.lookup(u"newfile", u"driver") != driverAddress ||
        reader.lookup(u"newfile", u"firmware") != firmwareAddress) {
        __builtin_trap();
    }
    (void)reader.resultText();
    return 0;
}
