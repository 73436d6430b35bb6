#include "lang/win/win_code_page.h"
#include "lang/win/shared_xml_reader.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "lang/language_table.h"
#include "lang/xml_reader.h"

namespace q350::lang {
namespace {

std::vector<std::uint8_t> Bytes(std::string_view s) {
    return {s.begin(), s.end()};
}

TEST(WinCodePages, ConvertTheCodePagesOfTheCharsetTable) {
    const WinCodePageConverter converter;
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
        {"utf-8", "\xE4\xB8\xAD", u"\u4E2D"},
    };
    for (const auto& c : cases) {
        std::u16string out;
        ASSERT_TRUE(converter.toUtf16(CodePageOfCharset(c.charset), Bytes(c.in), out)) << c.charset;
        EXPECT_EQ(out, c.out) << c.charset;
    }
    std::u16string out = u"stale";
    EXPECT_FALSE(converter.toUtf16(12345, Bytes("abc"), out));
    EXPECT_TRUE(out.empty());
    EXPECT_NE(converter.ansiCodePage(), 0u);
}

TEST(WinCodePages, TheReaderDecodesDeclaredCharsets) {
    const WinCodePageConverter converter;
    XmlReader reader(converter);
    ASSERT_TRUE(reader.loadBytes(Bytes(
        "<?xml version=\"1.0\" encoding=\"gb2312\"?><r><config><k>\xD6\xD0</k></config></r>")));
    EXPECT_TRUE(reader.parse());
    EXPECT_EQ(reader.lookup(u"config", u"k"), u"\u4E2D");
}

TEST(WinCodePages, EveryLanguageFileBesideTheProgramYieldsEveryId) {
    const std::filesystem::path folder = Q350_PROGRAM_LANGUAGE_DIR;
    XmlReader& reader = TheXmlReader();
    std::size_t files = 0;
    for (const LanguageInfo& l : kLanguages) {
        const auto file = folder / ProgramFile("", l.file).filename();
        if (!std::filesystem::exists(file)) {
            continue;
        }
        ++files;
        LanguageTable table;
        ASSERT_TRUE(table.load(reader, file)) << file.string();
        for (std::size_t i = 0; i < kStringCount; ++i) {
            EXPECT_FALSE(table[static_cast<StringId>(i)].empty()) << file.string() << " " << i;
        }
    }
    if (files == 0) {
        GTEST_SKIP() << "no language files beside the program";
    }
    EXPECT_EQ(files, kLanguageCount);
}

}  // namespace
}  // namespace q350::lang
