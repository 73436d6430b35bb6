#include "lang/button_names.h"

#include <gtest/gtest.h>

#include <memory>

#include "base/utf.h"
#include "config/profile_data.h"

namespace q350::lang {
namespace {

TEST(DefaultButtonNames, TranslateIntoTheLanguageOfTheFlag) {
    EXPECT_EQ(TranslateDefaultButtonName(u"单击", 0, false), u"Click");
    EXPECT_EQ(TranslateDefaultButtonName(u"Click", 0, true), u"单击");
    EXPECT_EQ(TranslateDefaultButtonName(u"Copy", 13, true), u"拷贝");
    EXPECT_EQ(TranslateDefaultButtonName(u"移动到文件开头", 11, false), u"Move to the beginning");
    // Already in the flag's language, or a name of the user's own: left alone.
    EXPECT_EQ(TranslateDefaultButtonName(u"Click", 0, false), std::nullopt);
    EXPECT_EQ(TranslateDefaultButtonName(u"单击", 0, true), std::nullopt);
    EXPECT_EQ(TranslateDefaultButtonName(u"My macro", 0, false), std::nullopt);
    EXPECT_EQ(TranslateDefaultButtonName(u"click", 0, true), std::nullopt);
}

TEST(DefaultButtonNames, OnlyTheButtonsOwnPairsApply) {
    EXPECT_EQ(TranslateDefaultButtonName(u"Copy", 12, true), std::nullopt);
    EXPECT_EQ(TranslateDefaultButtonName(u"狙击", 5, false), u"Snipe");
    EXPECT_EQ(TranslateDefaultButtonName(u"双倍火力", 5, false), u"Double firepower");
    EXPECT_EQ(TranslateDefaultButtonName(u"Shortcut 3", 11, true), u"快捷3");
    EXPECT_EQ(TranslateDefaultButtonName(u"Shortcut 3", 10, true), std::nullopt);
    EXPECT_EQ(TranslateDefaultButtonName(u"Click", -1, true), std::nullopt);
    EXPECT_EQ(TranslateDefaultButtonName(u"Click", 14, true), std::nullopt);
}

TEST(DefaultButtonNames, LabelHintsNameTheirButtons) {
    EXPECT_EQ(ButtonOfLabelHint(16), 0);
    EXPECT_EQ(ButtonOfLabelHint(22), 6);
    EXPECT_EQ(ButtonOfLabelHint(51), 7);
    EXPECT_EQ(ButtonOfLabelHint(57), 13);
    for (int hint : {0, 15, 23, 50, 58}) {
        EXPECT_EQ(ButtonOfLabelHint(hint), -1) << hint;
    }
}

TEST(DefaultButtonNames, TheProfileLabelIsRewritten) {
    auto profile = std::make_unique<ProfileData>();
    SetField(profile->buttons[1][0].label, kTextChars, u"单击");
    SetField(profile->buttons[1][5].label, kTextChars, u"My own");
    EXPECT_TRUE(TranslateProfileButtonLabel(*profile, 1, 0, false));
    EXPECT_EQ(FieldText(profile->buttons[1][0].label, kTextChars), u"Click");
    EXPECT_EQ(profile->buttons[1][0].label[5], u'\0');
    EXPECT_FALSE(TranslateProfileButtonLabel(*profile, 1, 5, false));
    EXPECT_EQ(FieldText(profile->buttons[1][5].label, kTextChars), u"My own");
    EXPECT_FALSE(TranslateProfileButtonLabel(*profile, 3, 0, false));
    EXPECT_FALSE(TranslateProfileButtonLabel(*profile, 0, 14, false));
}

}  // namespace
}  // namespace q350::lang
