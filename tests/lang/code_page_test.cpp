#include "lang/code_page.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace q350::lang {
namespace {

std::vector<std::uint8_t> Bytes(std::string_view s) {
    return {s.begin(), s.end()};
}

TEST(CharsetTable, NamesMapToCodePagesWhateverTheirCase) {
    EXPECT_EQ(CodePageOfCharset("greek8"), 28597u);
    EXPECT_EQ(CodePageOfCharset("windows-1258"), 1258u);
    EXPECT_EQ(CodePageOfCharset("EUC-KR"), 949u);
    EXPECT_EQ(CodePageOfCharset("Latin1"), 28591u);
    EXPECT_EQ(CodePageOfCharset("chinese"), 936u);
    EXPECT_EQ(CodePageOfCharset(" utf-8 "), kCodePageUtf8);
    EXPECT_EQ(CodePageOfCharset("UTF-7"), kCodePageUtf7);
    EXPECT_EQ(CodePageOfCharset("x-ansi"), 1252u);
    EXPECT_EQ(CodePageOfCharset("UTF-16"), kCodePageUtf16Le);
}

TEST(CharsetTable, UnknownNamesHaveNoCodePage) {
    EXPECT_EQ(CodePageOfCharset(""), 0u);
    EXPECT_EQ(CodePageOfCharset("klingon"), 0u);
    EXPECT_EQ(CodePageOfCharset("utf-8x"), 0u);
    EXPECT_EQ(CodePageOfCharset("utf"), 0u);
}

TEST(Utf8Decoding, LongAsciiRunsAndMultiByteCharactersMix) {
    std::string text;
    for (int i = 0; i < 5; ++i) {
        text += "abcdefghijklmnopq";  // runs longer and shorter than the eight-byte step
        text += "\xE4\xB8\xAD";       // U+4E2D
    }
    text += "\xF0\x9F\x96\xB1";  // U+1F5B1, a surrogate pair
    std::u16string out = u"x";   // appended to
    EXPECT_TRUE(DecodeUtf8(Bytes(text), out));
    std::u16string expected = u"x";
    for (int i = 0; i < 5; ++i) {
        expected += u"abcdefghijklmnopq\u4E2D";
    }
    expected += u"\U0001F5B1";
    EXPECT_EQ(out, expected);
    EXPECT_TRUE(IsValidUtf8(Bytes(text)));
}

TEST(Utf8Decoding, BadSequencesBecomeReplacementCharacters) {
    const struct {
        std::string in;
        std::u16string out;
    } cases[] = {
        {"a\xFF"
         "b",
         u"a\uFFFDb"},
        {"abcdefgh\xE4\xB8", u"abcdefgh\uFFFD\uFFFD"},      // cut off at the end
        {"\xC0\xAF", u"\uFFFD\uFFFD"},                      // overlong
        {"\xED\xA0\x80", u"\uFFFD\uFFFD\uFFFD"},            // an encoded surrogate
        {"\xF4\x90\x80\x80", u"\uFFFD\uFFFD\uFFFD\uFFFD"},  // above U+10FFFF
    };
    for (const auto& c : cases) {
        std::u16string out;
        EXPECT_FALSE(DecodeUtf8(Bytes(c.in), out)) << c.in;
        EXPECT_EQ(out, c.out) << c.in;
        EXPECT_FALSE(IsValidUtf8(Bytes(c.in))) << c.in;
    }
}

TEST(BasicConverter, ConvertsLatin1AndRefusesWhatItCannot) {
    const BasicCodePageConverter converter;
    std::u16string out;
    EXPECT_TRUE(converter.toUtf16(28591, Bytes("caf\xE9"), out));
    EXPECT_EQ(out, u"caf\u00E9");
    EXPECT_TRUE(converter.toUtf16(20127, Bytes("a\xE9"), out));
    EXPECT_EQ(out, u"a\uFFFD");
    EXPECT_FALSE(converter.toUtf16(936, Bytes("\xD6\xD0"), out));
}

}  // namespace
}  // namespace q350::lang
