#include "base/utf.h"

#include <gtest/gtest.h>

namespace q350 {
namespace {

TEST(Utf, RoundTripsAllPlanes) {
    const std::u16string text = u"Maus \u4E2D\u6587 \U0001F5B1 \u00E9";
    EXPECT_EQ(Utf8ToUtf16(Utf16ToUtf8(text)), text);
    EXPECT_EQ(Utf16ToUtf8(u"\u4E2D"), "\xE4\xB8\xAD");
}

TEST(Utf, BadInputBecomesReplacementCharacters) {
    EXPECT_EQ(Utf8ToUtf16("a\xFF" "b"), u"a\uFFFDb");
    EXPECT_EQ(Utf8ToUtf16("\xE4\xB8"), u"\uFFFD");           // cut-off sequence
    EXPECT_EQ(Utf8ToUtf16("\xC0\xAF"), u"\uFFFD");           // overlong '/'
    EXPECT_EQ(Utf8ToUtf16("\xED\xA0\x80"), u"\uFFFD");       // encoded surrogate
    EXPECT_EQ(Utf16ToUtf8(std::u16string(1, u'\xD800')), "\xEF\xBF\xBD");
}

TEST(Utf, FixedFieldsAreCutAndNullFilled) {
    char16_t field[5];
    SetField(field, 5, u"abcdefg");
    EXPECT_EQ(FieldText(field, 5), u"abcd");
    EXPECT_EQ(field[4], u'\0');
    SetField(field, 5, u"x");
    EXPECT_EQ(field[1], u'\0');
    EXPECT_EQ(field[3], u'\0');
    const char16_t full[3] = {u'a', u'b', u'c'};  // no terminator: stops at capacity
    EXPECT_EQ(FieldText(full, 3), u"abc");
}

}  // namespace
}  // namespace q350
