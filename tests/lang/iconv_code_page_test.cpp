#include "lang/linux/iconv_code_page.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace q350::lang {
namespace {

std::vector<std::uint8_t> Bytes(std::string_view s) {
    return {s.begin(), s.end()};
}

TEST(IconvConverter, ConvertsTheCodePagesOfTheCharsetTable) {
    const IconvCodePageConverter converter;
    const struct {
        const char* charset;
        std::string in;
        std::u16string out;
    } cases[] = {
        {"chinese", "\xD6\xD0\xCE\xC4", u"\u4E2D\u6587"},
        {"euc-kr", "\xB0\xA1", u"\uAC00"},
        {"greek8", "\xE1\xE2", u"\u03B1\u03B2"},
        {"windows-1251", "\xC6", u"\u0416"},
        {"x-ansi", "\x80", u"\u20AC"},
        {"utf-7", "a+AOk-", u"a\u00E9"},
        {"big5", "\xA4\xA4", u"\u4E2D"},
    };
    for (const auto& c : cases) {
        std::u16string out;
        ASSERT_TRUE(converter.toUtf16(CodePageOfCharset(c.charset), Bytes(c.in), out)) << c.charset;
        EXPECT_EQ(out, c.out) << c.charset;
    }
}

TEST(IconvConverter, InvalidBytesBecomeReplacementsAndConversionGoesOn) {
    const IconvCodePageConverter converter;
    std::u16string out;
    // 0xFF is no lead byte in GBK; a cut-off lead byte ends the text.
    ASSERT_TRUE(converter.toUtf16(936,
                                  Bytes("a\xFF"
                                        "b\xD6"),
                                  out));
    EXPECT_EQ(out, u"a\uFFFDb\uFFFD");
}

TEST(IconvConverter, LargeInputCrossesTheBufferSize) {
    const IconvCodePageConverter converter;
    std::string in;
    std::u16string expected;
    for (int i = 0; i < 10000; ++i) {
        in += "\xD6\xD0x";
        expected += u"\u4E2Dx";
    }
    std::u16string out;
    ASSERT_TRUE(converter.toUtf16(936, Bytes(in), out));
    EXPECT_EQ(out, expected);
}

TEST(IconvConverter, UnknownCodePagesAreRefused) {
    const IconvCodePageConverter converter;
    std::u16string out;
    EXPECT_FALSE(converter.toUtf16(12345, Bytes("abc"), out));
    EXPECT_EQ(converter.ansiCodePage(), 1252u);
}

}  // namespace
}  // namespace q350::lang
