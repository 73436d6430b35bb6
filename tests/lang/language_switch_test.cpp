#include "lang/language_switch.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "lang/linux/iconv_code_page.h"

namespace q350::lang {
namespace {

namespace fs = std::filesystem;

class LanguageSwitchTest : public ::testing::Test {
protected:
    void SetUp() override {
        folder =
            fs::temp_directory_path() / ("q350_language_switch_test_" + std::to_string(::getpid()));
        fs::create_directories(folder / "Language");
        // Each file names itself in str_ok.
        for (const LanguageInfo& l : kLanguages) {
            const fs::path file = ProgramFile(folder, l.file);
            std::ofstream(file, std::ios::binary)
                << "<l><config><str_ok>" << file.stem().string() << "</str_ok></config></l>";
        }
        state.table.set(StringId::str_ok, u"before");
    }
    void TearDown() override { fs::remove_all(folder); }

    LanguageServices services() {
        return {reader, ini, settings, folder,
                [this](std::u16string_view text, std::u16string_view caption) {
                    messages.push_back(std::u16string(text) + u"|" + std::u16string(caption));
                }};
    }
    std::u16string updaterType() {
        return ini.read(ProgramFile(folder, u"FWUpdate\\Config.ini"), u"Language", u"Type",
                        u"none");
    }
    void setStartValue(std::u16string_view value) {
        ini.write(ProgramFile(folder, u"skins\\languagetype.ini"), u"languagetype", u"value",
                  value);
    }

    fs::path folder;
    IconvCodePageConverter converter;
    XmlReader reader{converter};
    MemoryIniFile ini;
    MemorySettingsStore settings;
    std::vector<std::u16string> messages;
    LanguageState state;
};

TEST_F(LanguageSwitchTest, WithoutTheIniFileTheProgramStartsInEnglish) {
    state.chineseFlag = state.chineseFlagAtStart = 1;
    EXPECT_EQ(ChooseStartLanguage(state, services()), 157);
    EXPECT_EQ(state.table[StringId::str_ok], u"en");
    EXPECT_EQ(state.chineseFlag, 0);
    EXPECT_EQ(state.chineseFlagAtStart, 0);
    EXPECT_EQ(updaterType(), u"0");
}

TEST_F(LanguageSwitchTest, ValueOneStartsInSimplifiedChinese) {
    setStartValue(u" 1");
    EXPECT_EQ(ChooseStartLanguage(state, services()), 164);
    EXPECT_EQ(state.table[StringId::str_ok], u"sc");
    EXPECT_EQ(state.chineseFlag, 1);
    EXPECT_EQ(state.chineseFlagAtStart, 1);
    EXPECT_EQ(updaterType(), u"1");
    // Nothing is recorded in the settings at start-up.
    EXPECT_EQ(settings.size(), 0u);
}

TEST_F(LanguageSwitchTest, OtherValuesStartInEnglish) {
    for (std::u16string_view value : {u"2", u"12", u"x1", u"-1", u""}) {
        setStartValue(value);
        state.chineseFlag = 1;
        EXPECT_EQ(ChooseStartLanguage(state, services()), 157);
        EXPECT_EQ(state.chineseFlag, 0);
    }
    EXPECT_EQ(IniInteger(u"01x", 0), 1);
    EXPECT_EQ(IniInteger(u"\t-7", 0), -7);
    EXPECT_EQ(IniInteger(u"x", 5), 5);
    EXPECT_EQ(IniInteger(u"99999999999", 0), 0x7FFFFFFF);
}

TEST_F(LanguageSwitchTest, TraditionalChineseKeepsTheBuiltInTextsEnglish) {
    state.chineseFlag = 1;
    const LanguageSwitch r = SwitchLanguage(state, services(), true, 0, 12);
    EXPECT_TRUE(r.acted);
    EXPECT_TRUE(r.closeMenu);
    EXPECT_EQ(r.flagBitmap, 164);
    EXPECT_EQ(state.table[StringId::str_ok], u"tw");
    EXPECT_EQ(state.chineseFlag, 0);
    const auto* stored = settings.find(u"LANGUAGE", u"Language");
    ASSERT_NE(stored, nullptr);
    EXPECT_EQ(stored->type, MemorySettingsStore::Type::Binary);
    EXPECT_EQ(stored->bytes, (std::vector<std::uint8_t>{12, 0, 0, 0}));
}

TEST_F(LanguageSwitchTest, EachIndexLoadsItsFileAndOnlyOneSetsTheFlag) {
    for (const LanguageInfo& l : kLanguages) {
        const LanguageSwitch r = SwitchLanguage(state, services(), true, 0, l.index);
        EXPECT_EQ(r.flagBitmap, l.flagBitmap);
        EXPECT_EQ(state.table[StringId::str_ok], ProgramFile("", l.file).stem().u16string());
        EXPECT_EQ(state.chineseFlag, l.index == 1 ? 1 : 0);
        EXPECT_EQ(settings.find(u"LANGUAGE", u"Language")->bytes[0], l.index);
    }
    // The start-up copy of the flag belongs to start-up alone.
    EXPECT_EQ(state.chineseFlagAtStart, 0);
    EXPECT_TRUE(messages.empty());
}

TEST_F(LanguageSwitchTest, ClosingTheMenuWithoutAChoiceChangesNothing) {
    state.chineseFlag = 1;
    for (std::intptr_t index : {std::intptr_t{0}, std::intptr_t{13}, std::intptr_t{-1}}) {
        const LanguageSwitch r = SwitchLanguage(state, services(), true, 0, index);
        EXPECT_TRUE(r.acted);
        EXPECT_TRUE(r.closeMenu);
        EXPECT_EQ(r.flagBitmap, 0);
    }
    EXPECT_EQ(state.chineseFlag, 1);
    EXPECT_EQ(state.table[StringId::str_ok], u"before");
    EXPECT_EQ(settings.size(), 0u);
}

TEST_F(LanguageSwitchTest, WithoutAMenuOnlyTheSpecialWParamSwitches) {
    LanguageSwitch r = SwitchLanguage(state, services(), false, 0, 3);
    EXPECT_FALSE(r.acted);
    EXPECT_FALSE(r.closeMenu);
    EXPECT_EQ(state.table[StringId::str_ok], u"before");
    EXPECT_EQ(settings.size(), 0u);
    r = SwitchLanguage(state, services(), false, kSwitchWithoutMenu, 3);
    EXPECT_TRUE(r.acted);
    EXPECT_EQ(state.table[StringId::str_ok], u"fre");
}

TEST_F(LanguageSwitchTest, ARefusedRegistryWriteIsShownAfterTheSwitch) {
    settings.failWrites = true;
    const LanguageSwitch r = SwitchLanguage(state, services(), true, 0, 1);
    EXPECT_EQ(r.flagBitmap, 164);
    EXPECT_EQ(state.chineseFlag, 1);
    EXPECT_EQ(state.table[StringId::str_ok], u"sc");
    EXPECT_EQ(messages, std::vector<std::u16string>{u"Reg_SaveData Create key failed|Error"});
}

TEST_F(LanguageSwitchTest, AMissingLanguageFileLeavesEveryStringEmpty) {
    fs::remove(folder / "Language" / "ger.xml");
    SwitchLanguage(state, services(), true, 0, 5);
    EXPECT_EQ(state.table[StringId::str_ok], u"");
    EXPECT_TRUE(messages.empty());
}

}  // namespace
}  // namespace q350::lang
