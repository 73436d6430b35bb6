#include "lang/win/private_profile_ini.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "lang/language_switch.h"
#include "lang/win/win_code_page.h"

namespace q350::lang {
namespace {

namespace fs = std::filesystem;

class PrivateProfileTest : public ::testing::Test {
protected:
    void SetUp() override {
        folder = fs::temp_directory_path() / "q350_private_profile_test";
        fs::remove_all(folder);
        fs::create_directories(folder);
    }
    void TearDown() override { fs::remove_all(folder); }

    fs::path folder;
    PrivateProfileIniFile ini;
};

TEST_F(PrivateProfileTest, ValuesRoundTripAndMissingOnesFallBack) {
    const fs::path file = folder / "Config.ini";
    EXPECT_EQ(ini.read(file, u"Language", u"Type", u"fallback"), u"fallback");
    ASSERT_TRUE(ini.write(file, u"Language", u"Type", u"1"));
    EXPECT_EQ(ini.read(file, u"Language", u"Type", u""), u"1");
    EXPECT_EQ(ini.read(file, u"language", u"type", u""), u"1");  // names ignore case
    EXPECT_EQ(ini.read(file, u"Language", u"Other", u"x"), u"x");
    const std::u16string longValue(1000, u'x');  // past the first read buffer
    ASSERT_TRUE(ini.write(file, u"S", u"long", longValue));
    EXPECT_EQ(ini.read(file, u"S", u"long", u""), longValue);
}

TEST_F(PrivateProfileTest, WritingIntoAMissingFolderFails) {
    EXPECT_FALSE(ini.write(folder / "absent" / "Config.ini", u"Language", u"Type", u"0"));
}

TEST_F(PrivateProfileTest, TheStartLanguageComesFromTheSkinsIniFile) {
    fs::create_directories(folder / "skins");
    fs::create_directories(folder / "FWUpdate");
    fs::create_directories(folder / "Language");
    std::ofstream(folder / "skins" / "languagetype.ini") << "[languagetype]\r\nvalue=1\r\n";
    std::ofstream(folder / "Language" / "sc.xml", std::ios::binary)
        << "\xEF\xBB\xBF<l><config><str_ok>\xE7\xA1\xAE\xE5\xAE\x9A</str_ok></config></l>";
    const WinCodePageConverter converter;
    XmlReader reader(converter);
    MemorySettingsStore settings;
    LanguageState state;
    const int flag = ChooseStartLanguage(state, {reader, ini, settings, folder, nullptr});
    EXPECT_EQ(flag, 164);
    EXPECT_EQ(state.chineseFlag, 1);
    EXPECT_EQ(state.table[StringId::str_ok], u"\u786E\u5B9A");
    EXPECT_EQ(ini.read(folder / "FWUpdate" / "Config.ini", u"Language", u"Type", u""), u"1");
}

}  // namespace
}  // namespace q350::lang
