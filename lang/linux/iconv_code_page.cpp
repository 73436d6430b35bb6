#include "lang/linux/iconv_code_page.h"

#include <iconv.h>

#include <cerrno>

namespace q350::lang {

namespace {

struct CodePageName {
    std::uint32_t codePage;
    const char* name;
};

constexpr CodePageName kIconvNames[] = {
    {437, "CP437"},         {850, "CP850"},         {852, "CP852"},         {866, "CP866"},
    {874, "CP874"},         {932, "CP932"},         {936, "CP936"},         {949, "CP949"},
    {950, "CP950"},         {1250, "CP1250"},       {1251, "CP1251"},       {1252, "CP1252"},
    {1253, "CP1253"},       {1254, "CP1254"},       {1255, "CP1255"},       {1256, "CP1256"},
    {1257, "CP1257"},       {1258, "CP1258"},       {10000, "MACINTOSH"},   {20127, "ASCII"},
    {20866, "KOI8-R"},      {21866, "KOI8-U"},      {28591, "ISO-8859-1"},  {28592, "ISO-8859-2"},
    {28593, "ISO-8859-3"},  {28594, "ISO-8859-4"},  {28595, "ISO-8859-5"},  {28596, "ISO-8859-6"},
    {28597, "ISO-8859-7"},  {28598, "ISO-8859-8"},  {38598, "ISO-8859-8"},  {28599, "ISO-8859-9"},
    {28603, "ISO-8859-13"}, {28605, "ISO-8859-15"}, {50220, "ISO-2022-JP"}, {50221, "ISO-2022-JP"},
    {50225, "ISO-2022-KR"}, {51932, "EUC-JP"},      {54936, "GB18030"},     {65000, "UTF-7"},
    {65001, "UTF-8"},
};

// Closes the conversion descriptor on every path.
class IconvHandle {
public:
    explicit IconvHandle(const char* from) : cd_(iconv_open("UTF-16LE", from)) {}
    ~IconvHandle() {
        if (valid()) {
            iconv_close(cd_);
        }
    }
    IconvHandle(const IconvHandle&) = delete;
    IconvHandle& operator=(const IconvHandle&) = delete;
    bool valid() const { return cd_ != reinterpret_cast<iconv_t>(-1); }
    iconv_t get() const { return cd_; }

private:
    iconv_t cd_;
};

void AppendUtf16Le(const char* bytes, std::size_t n, std::u16string& out) {
    for (std::size_t i = 0; i + 1 < n; i += 2) {
        out.push_back(static_cast<char16_t>(static_cast<unsigned char>(bytes[i]) |
                                            (static_cast<unsigned char>(bytes[i + 1]) << 8)));
    }
}

}  // namespace

const char* IconvNameOfCodePage(std::uint32_t codePage) {
    for (const CodePageName& c : kIconvNames) {
        if (c.codePage == codePage) {
            return c.name;
        }
    }
    return nullptr;
}

bool IconvCodePageConverter::toUtf16(std::uint32_t codePage, std::span<const std::uint8_t> bytes,
                                     std::u16string& out) const {
    if (codePage == kCodePageUtf8) {
        return BasicCodePageConverter::toUtf16(codePage, bytes, out);
    }
    const char* name = IconvNameOfCodePage(codePage);
    if (!name) {
        return false;
    }
    IconvHandle cd(name);
    if (!cd.valid()) {
        return BasicCodePageConverter::toUtf16(codePage, bytes, out);
    }
    out.clear();
    out.reserve(bytes.size());
    char* in = const_cast<char*>(reinterpret_cast<const char*>(bytes.data()));
    std::size_t inLeft = bytes.size();
    char buffer[8192];
    while (inLeft > 0) {
        char* o = buffer;
        std::size_t outLeft = sizeof buffer;
        const std::size_t r = iconv(cd.get(), &in, &inLeft, &o, &outLeft);
        const int err = errno;
        AppendUtf16Le(buffer, sizeof buffer - outLeft, out);
        if (r != static_cast<std::size_t>(-1) || err == E2BIG) {
            continue;
        }
        // An invalid or cut-off sequence: one replacement character, then go on after its first
        // byte (or stop at the end).
        out.push_back(u'\uFFFD');
        if (err == EINVAL) {
            break;
        }
        ++in;
        --inLeft;
        iconv(cd.get(), nullptr, nullptr, nullptr, nullptr);  // back to the initial state
    }
    // Whatever the encoder still holds (a pending shift sequence).
    char* o = buffer;
    std::size_t outLeft = sizeof buffer;
    iconv(cd.get(), nullptr, nullptr, &o, &outLeft);
    AppendUtf16Le(buffer, sizeof buffer - outLeft, out);
    return true;
}

}  // namespace q350::lang
