// Key names through the thread's real keyboard layout.
#include "config/win/win_key_layout.h"

#include <windows.h>

#include <gtest/gtest.h>

namespace q350 {
namespace {

TEST(WinKeyLayout, LettersAndDigitsNameThemselves) {
    const WinKeyLayout layout;
    for (int vk = 'A'; vk <= 'Z'; ++vk) {
        const std::u16string name = KeyName(vk, layout);
        ASSERT_EQ(name.size(), 1u) << vk;
        // Whatever letter the layout puts there, it is shown in upper case.
        EXPECT_FALSE(name[0] >= u'a' && name[0] <= u'z') << vk;
    }
    for (int vk = '0'; vk <= '9'; ++vk) {
        EXPECT_EQ(KeyName(vk, layout).size(), 1u) << vk;
    }
    const bool us = LOWORD(GetKeyboardLayout(0)) == MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US);
    if (us) {
        EXPECT_EQ(KeyName('Q', layout), u"Q");
        EXPECT_EQ(KeyName(0xBF, layout), u"/");
        EXPECT_EQ(ComboText(0x06020002u, layout), u"Ctrl + C");
    }
}

TEST(WinKeyLayout, KeysWithoutACharacterGetAStableText) {
    const WinKeyLayout layout;
    EXPECT_EQ(layout.character(0x7C), 0u);  // F13
    EXPECT_EQ(KeyName(0x7C, layout), u"0x7C");
    EXPECT_EQ(KeyName(0x7C, layout), KeyName(0x7C, layout));
    EXPECT_EQ(layout.character(0x1FF), 0u);
    EXPECT_EQ(KeyName(0x74, layout), u"F5");  // fixed names never ask the layout
}

}  // namespace
}  // namespace q350
