#include "lang/code_page.h"

#include <cstring>
#include <iterator>

namespace q350::lang {

namespace {

struct Charset {
    std::string_view name;
    std::uint32_t codePage;
};

// Charset names as documents declare them, with the code page each stands for.
constexpr Charset kCharsets[] = {
    {"ansi_x3.4-1968", 1252},
    {"ascii", 1252},
    {"us-ascii", 1252},
    {"x-ansi", 1252},
    {"windows-1252", 1252},
    {"cp1252", 1252},
    {"windows-1250", 1250},
    {"x-cp1250", 1250},
    {"windows-1251", 1251},
    {"x-cp1251", 1251},
    {"windows-1253", 1253},
    {"windows-1254", 1254},
    {"windows-1255", 1255},
    {"windows-1256", 1256},
    {"windows-1257", 1257},
    {"windows-1258", 1258},
    {"windows-874", 874},
    {"tis-620", 874},
    {"ibm437", 437},
    {"cp437", 437},
    {"ibm850", 850},
    {"cp850", 850},
    {"ibm852", 852},
    {"cp852", 852},
    {"ibm866", 866},
    {"cp866", 866},
    {"shift_jis", 932},
    {"shift-jis", 932},
    {"sjis", 932},
    {"x-sjis", 932},
    {"ms_kanji", 932},
    {"csshiftjis", 932},
    {"gb2312", 936},
    {"gbk", 936},
    {"chinese", 936},
    {"csgb2312", 936},
    {"x-gbk", 936},
    {"cp936", 936},
    {"gb18030", 54936},
    {"ks_c_5601-1987", 949},
    {"ks_c_5601", 949},
    {"korean", 949},
    {"euc-kr", 949},
    {"cseuckr", 949},
    {"cp949", 949},
    {"big5", 950},
    {"cn-big5", 950},
    {"x-x-big5", 950},
    {"csbig5", 950},
    {"cp950", 950},
    {"euc-jp", 51932},
    {"x-euc-jp", 51932},
    {"euc-cn", 936},
    {"iso-2022-jp", 50220},
    {"csiso2022jp", 50221},
    {"iso-2022-kr", 50225},
    {"koi8-r", 20866},
    {"cskoi8r", 20866},
    {"koi", 20866},
    {"koi8", 20866},
    {"koi8-u", 21866},
    {"koi8-ru", 21866},
    {"iso-8859-1", 28591},
    {"iso8859-1", 28591},
    {"iso_8859-1", 28591},
    {"latin1", 28591},
    {"l1", 28591},
    {"cp819", 28591},
    {"ibm819", 28591},
    {"iso-ir-100", 28591},
    {"iso-8859-2", 28592},
    {"iso_8859-2", 28592},
    {"latin2", 28592},
    {"l2", 28592},
    {"iso-8859-3", 28593},
    {"latin3", 28593},
    {"iso-8859-4", 28594},
    {"latin4", 28594},
    {"iso-8859-5", 28595},
    {"iso_8859-5", 28595},
    {"cyrillic", 28595},
    {"iso-8859-6", 28596},
    {"arabic", 28596},
    {"iso-8859-7", 28597},
    {"iso_8859-7", 28597},
    {"greek", 28597},
    {"greek8", 28597},
    {"elot_928", 28597},
    {"iso-8859-8", 28598},
    {"hebrew", 28598},
    {"iso-8859-8-i", 38598},
    {"iso-8859-9", 28599},
    {"latin5", 28599},
    {"l5", 28599},
    {"iso-8859-13", 28603},
    {"iso-8859-15", 28605},
    {"latin-9", 28605},
    {"latin9", 28605},
    {"x-mac-roman", 10000},
    {"macintosh", 10000},
    {"utf-8", kCodePageUtf8},
    {"unicode-1-1-utf-8", kCodePageUtf8},
    {"unicode-2-0-utf-8", kCodePageUtf8},
    {"x-unicode20utf8", kCodePageUtf8},
    {"utf8", kCodePageUtf8},
    {"utf-7", kCodePageUtf7},
    {"unicode-1-1-utf-7", kCodePageUtf7},
    {"csunicode11utf7", kCodePageUtf7},
    {"utf-16", kCodePageUtf16Le},
    {"utf-16le", kCodePageUtf16Le},
    {"unicode", kCodePageUtf16Le},
    {"ucs-2", kCodePageUtf16Le},
    {"utf-16be", kCodePageUtf16Be},
    {"unicodefffe", kCodePageUtf16Be},
};

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

bool EqualFolded(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        char c = a[i];
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
        if (c != b[i]) {
            return false;
        }
    }
    return true;
}

constexpr char16_t kReplacement = 0xFFFD;

// Length of the valid UTF-8 sequence at p (1..4), or 0 when it is invalid or cut off.
std::size_t SequenceLength(const std::uint8_t* p, const std::uint8_t* end, char32_t& cp) {
    const std::uint8_t b = p[0];
    std::size_t n = 0;
    char32_t min = 0;
    if ((b & 0xE0) == 0xC0) {
        n = 2, cp = b & 0x1F, min = 0x80;
    } else if ((b & 0xF0) == 0xE0) {
        n = 3, cp = b & 0x0F, min = 0x800;
    } else if ((b & 0xF8) == 0xF0) {
        n = 4, cp = b & 0x07, min = 0x10000;
    } else {
        return 0;
    }
    if (static_cast<std::size_t>(end - p) < n) {
        return 0;
    }
    for (std::size_t i = 1; i < n; ++i) {
        if ((p[i] & 0xC0) != 0x80) {
            return 0;
        }
        cp = (cp << 6) | (p[i] & 0x3F);
    }
    if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
        return 0;
    }
    return n;
}

// Eight bytes at a time while they are all ASCII.
bool AllAscii8(const std::uint8_t* p) {
    std::uint64_t word;
    std::memcpy(&word, p, sizeof word);
    return (word & 0x8080808080808080ull) == 0;
}

}  // namespace

std::uint32_t CodePageOfCharset(std::string_view name) {
    while (!name.empty() && IsBlank(name.front())) {
        name.remove_prefix(1);
    }
    while (!name.empty() && IsBlank(name.back())) {
        name.remove_suffix(1);
    }
    for (const Charset& c : kCharsets) {
        if (EqualFolded(name, c.name)) {
            return c.codePage;
        }
    }
    return 0;
}

bool DecodeUtf8(std::span<const std::uint8_t> bytes, std::u16string& out) {
    const std::uint8_t* p = bytes.data();
    const std::uint8_t* const end = p + bytes.size();
    const std::size_t start = out.size();
    // Never more UTF-16 units than bytes; shrunk to the real size at the end.
    out.resize(start + bytes.size());
    char16_t* o = out.data() + start;
    bool valid = true;
    while (p < end) {
        while (end - p >= 8 && AllAscii8(p)) {
            for (int i = 0; i < 8; ++i) {
                o[i] = p[i];
            }
            p += 8;
            o += 8;
        }
        if (p == end) {
            break;
        }
        if (*p < 0x80) {
            *o++ = *p++;
            continue;
        }
        char32_t cp = 0;
        const std::size_t n = SequenceLength(p, end, cp);
        if (n == 0) {
            *o++ = kReplacement;
            ++p;
            valid = false;
            continue;
        }
        if (cp >= 0x10000) {
            cp -= 0x10000;
            *o++ = static_cast<char16_t>(0xD800 + (cp >> 10));
            *o++ = static_cast<char16_t>(0xDC00 + (cp & 0x3FF));
        } else {
            *o++ = static_cast<char16_t>(cp);
        }
        p += n;
    }
    out.resize(static_cast<std::size_t>(o - out.data()));
    return valid;
}

bool IsValidUtf8(std::span<const std::uint8_t> bytes) {
    const std::uint8_t* p = bytes.data();
    const std::uint8_t* const end = p + bytes.size();
    while (p < end) {
        while (end - p >= 8 && AllAscii8(p)) {
            p += 8;
        }
        if (p == end) {
            break;
        }
        if (*p < 0x80) {
            ++p;
            continue;
        }
        char32_t cp = 0;
        const std::size_t n = SequenceLength(p, end, cp);
        if (n == 0) {
            return false;
        }
        p += n;
    }
    return true;
}

bool BasicCodePageConverter::toUtf16(std::uint32_t codePage, std::span<const std::uint8_t> bytes,
                                     std::u16string& out) const {
    out.clear();
    switch (codePage) {
        case kCodePageUtf8:
            DecodeUtf8(bytes, out);
            return true;
        case 28591:
        case 1252:  // only its Latin-1 part: 0x80..0x9F come through unchanged
            out.assign(bytes.begin(), bytes.end());
            return true;
        case 20127:
            out.reserve(bytes.size());
            for (std::uint8_t b : bytes) {
                out.push_back(b < 0x80 ? static_cast<char16_t>(b) : kReplacement);
            }
            return true;
        default:
            return false;
    }
}

}  // namespace q350::lang
