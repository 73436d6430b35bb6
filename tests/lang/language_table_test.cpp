#include "lang/language_table.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <regex>
#include <set>
#include <string>

#include "base/utf.h"
#include "lang/linux/iconv_code_page.h"

namespace q350::lang {
namespace {

namespace fs = std::filesystem;

TEST(StringIds, NamesAreUniqueAndFindTheirIds) {
    std::set<std::u16string_view> seen(kStringIdNames.begin(), kStringIdNames.end());
    EXPECT_EQ(seen.size(), kStringCount);
    EXPECT_EQ(StringIdName(StringId::str_program_title), u"str_program_title");
    EXPECT_EQ(StringIdName(StringId::str_ok), u"str_ok");
    EXPECT_EQ(StringIdName(StringId::str_win), u"str_win");
    EXPECT_EQ(StringIdFromName(u"str_led_title"), StringId::str_led_title);
    EXPECT_EQ(StringIdFromName(u"str_OK"), std::nullopt);
    EXPECT_EQ(StringIdFromName(u""), std::nullopt);
}

TEST(Languages, TableOrderFilesAndFlags) {
    for (std::size_t i = 0; i < kLanguageCount; ++i) {
        EXPECT_EQ(kLanguages[i].index, static_cast<int>(i) + 1);
    }
    EXPECT_EQ(LanguageByIndex(0), nullptr);
    EXPECT_EQ(LanguageByIndex(13), nullptr);
    EXPECT_EQ(LanguageByIndex(12)->file, u"Language\\tw.xml");
    // Traditional Chinese shares the flag and icon of Simplified Chinese, not its built-in texts.
    EXPECT_EQ(LanguageByIndex(12)->flagBitmap, LanguageByIndex(1)->flagBitmap);
    EXPECT_EQ(LanguageByIndex(12)->chineseFlag, 0);
    EXPECT_EQ(LanguageByIndex(1)->chineseFlag, 1);
    int chinese = 0;
    for (const LanguageInfo& l : kLanguages) {
        chinese += l.chineseFlag;
    }
    EXPECT_EQ(chinese, 1);
}

TEST(Languages, ProgramFilesAreBuiltFromBackslashNames) {
    EXPECT_EQ(ProgramFile("/opt/q350", u"Language\\sc.xml"), fs::path("/opt/q350/Language/sc.xml"));
    EXPECT_EQ(ProgramFile("/opt/q350", u"skins\\\\languagetype.ini"),
              fs::path("/opt/q350/skins/languagetype.ini"));
}

class LanguageTableTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir =
            fs::temp_directory_path() / ("q350_language_table_test_" + std::to_string(::getpid()));
        fs::create_directories(dir);
    }
    void TearDown() override { fs::remove_all(dir); }
    fs::path write(const char* name, std::string_view content) {
        const fs::path file = dir / name;
        std::ofstream(file, std::ios::binary) << content;
        return file;
    }

    fs::path dir;
    IconvCodePageConverter converter;
    XmlReader reader{converter};
    LanguageTable table;
};

TEST_F(LanguageTableTest, IdsTheFileLacksBecomeEmpty) {
    table.set(StringId::str_cancel, u"stale");
    const fs::path file = write("part.xml",
                                "<lang><config><str_ok>OK</str_ok><str_win>Win</str_win>"
                                "<str_unknown>x</str_unknown></config></lang>");
    ASSERT_TRUE(table.load(reader, file));
    EXPECT_EQ(table[StringId::str_ok], u"OK");
    EXPECT_EQ(table[StringId::str_win], u"Win");
    EXPECT_EQ(table[StringId::str_cancel], u"");
    EXPECT_EQ(table[StringId::str_program_title], u"");
}

TEST_F(LanguageTableTest, AMissingFileEmptiesTheWholeTable) {
    ASSERT_TRUE(table.load(reader, write("ok.xml", "<l><config><str_ok>OK</str_ok></config></l>")));
    EXPECT_FALSE(table.load(reader, dir / "absent.xml"));
    EXPECT_EQ(table[StringId::str_ok], u"");
}

TEST_F(LanguageTableTest, BrokenFilesStillYieldWhatWasRecognised) {
    ASSERT_TRUE(table.load(reader, write("broken.xml",
                                         "<l><config><str_ok>OK</str_ok><str_cancel>C &amp; D"
                                         "</config>")));
    EXPECT_EQ(table[StringId::str_ok], u"OK");
    // Not ended: its text runs up to the end tag that closed it.
    EXPECT_EQ(table[StringId::str_cancel], u"C & D");
}

// The printf conversions of a text (%s, %d, %02d ...), in order.
std::vector<std::string> Conversions(const std::u16string& text) {
    static const std::regex conversion("%[-+ #0]*[0-9]*(\\.[0-9]+)?[hlL]*[a-zA-Z%]");
    const std::string utf8 = Utf16ToUtf8(text);
    std::vector<std::string> out;
    for (auto it = std::sregex_iterator(utf8.begin(), utf8.end(), conversion);
         it != std::sregex_iterator(); ++it) {
        out.push_back(it->str());
    }
    return out;
}

// The delivered language files: every id present and non-empty, with the same printf conversions
// as the English file, so that no format string reads an argument that is not there.
TEST(DeliveredLanguageFiles, EveryFileYieldsEveryId) {
    const char* source = std::getenv("Q350_SOURCE_DIR");
    const fs::path folder = fs::path(source ? source : ".") / "assets" / "Language";
    std::vector<fs::path> files;
    if (fs::is_directory(folder)) {
        for (const auto& entry : fs::directory_iterator(folder)) {
            if (entry.path().extension() == ".xml") {
                files.push_back(entry.path());
            }
        }
    }
    if (files.empty()) {
        GTEST_SKIP() << "no language files in " << folder;
    }
    IconvCodePageConverter converter;
    XmlReader reader(converter);
    LanguageTable english;
    ASSERT_TRUE(english.load(reader, folder / "en.xml"));
    std::set<std::u16string> names;
    for (const fs::path& file : files) {
        SCOPED_TRACE(file.filename().string());
        names.insert(file.filename().u16string());
        LanguageTable table;
        ASSERT_TRUE(table.load(reader, file));
        EXPECT_TRUE(reader.parseErrors().empty()) << Utf16ToUtf8(reader.resultText());
        for (std::size_t i = 0; i < kStringCount; ++i) {
            const auto id = static_cast<StringId>(i);
            EXPECT_FALSE(table[id].empty()) << Utf16ToUtf8(kStringIdNames[i]);
            EXPECT_EQ(Conversions(table[id]), Conversions(english[id]))
                << Utf16ToUtf8(kStringIdNames[i]);
        }
    }
    for (const LanguageInfo& l : kLanguages) {
        EXPECT_TRUE(names.count(ProgramFile("", l.file).filename().u16string()))
            << Utf16ToUtf8(l.file);
    }
}

}  // namespace
}  // namespace q350::lang
