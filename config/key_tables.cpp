#include "config/key_tables.h"

#include <atomic>
#include <cstdio>
#include <string_view>

namespace q350 {

namespace {

constexpr std::array<KeyUsagePair, 107> BuildKeyUsageMap() {
    std::array<KeyUsagePair, 107> map{};
    std::size_t i = 0;
    auto add = [&](int usage, int vk) {
        map[i++] = {static_cast<std::uint8_t>(usage), static_cast<std::uint8_t>(vk)};
    };
    add(0x29, 0x1B);  // Escape
    for (int n = 0; n < 12; ++n) {
        add(0x3A + n, 0x70 + n);  // F1..F12
    }
    for (int n = 0; n < 26; ++n) {
        add(0x04 + n, 0x41 + n);  // A..Z
    }
    for (int n = 0; n < 9; ++n) {
        add(0x1E + n, 0x31 + n);  // 1..9
    }
    add(0x27, 0x30);  // 0
    add(0x2B, 0x09);  // Tab
    add(0x39, 0x14);  // Caps Lock
    add(0x28, 0x0D);  // Enter
    add(0x2A, 0x08);  // Backspace
    add(0x2C, 0x20);  // Space
    add(0x2F, 0xDB);  // [
    add(0x30, 0xDD);  // ]
    add(0x31, 0xDC);  // backslash
    add(0x33, 0xBA);  // ;
    add(0x34, 0xDE);  // '
    add(0x36, 0xBC);  // comma
    add(0x37, 0xBE);  // full stop
    add(0x38, 0xBF);  // /
    add(0x35, 0xC0);  // grave accent
    add(0x2E, 0xBB);  // =
    add(0x2D, 0xBD);  // -
    add(0x46, 0x2C);  // Print Screen
    add(0x47, 0x91);  // Scroll Lock
    add(0x48, 0x13);  // Pause
    add(0x49, 0x2D);  // Insert
    add(0x4A, 0x24);  // Home
    add(0x4B, 0x21);  // Page Up
    add(0x4C, 0x2E);  // Delete
    add(0x4D, 0x23);  // End
    add(0x4E, 0x22);  // Page Down
    add(0x52, 0x26);  // Up
    add(0x51, 0x28);  // Down
    add(0x50, 0x25);  // Left
    add(0x4F, 0x27);  // Right
    for (int n = 0; n < 9; ++n) {
        add(0x59 + n, 0x61 + n);  // keypad 1..9
    }
    add(0x62, 0x60);  // keypad 0
    add(0x57, 0x6B);  // keypad +
    add(0x56, 0x6D);  // keypad -
    add(0x55, 0x6A);  // keypad *
    add(0x54, 0x6F);  // keypad /
    add(0x53, 0x90);  // Num Lock
    add(0x58, 0x0D);  // keypad Enter (never found by virtual key: Enter comes first)
    add(0x63, 0x6E);  // keypad .
    add(0xE0, 0xA2);  // left Ctrl
    add(0xE1, 0xA0);  // left Shift
    add(0xE2, 0xA4);  // left Alt
    add(0xE3, 0x5B);  // left Windows
    add(0xE4, 0xA3);  // right Ctrl
    add(0xE5, 0xA1);  // right Shift
    add(0xE6, 0xA5);  // right Alt
    add(0xE7, 0x5C);  // right Windows
    add(0x65, 0x5D);  // Application key
    add(0xF0, 0x01);  // left mouse button
    add(0xF1, 0x02);  // right mouse button
    add(0xF2, 0x04);  // middle mouse button
    if (i != map.size()) {
        throw "KeyUsageMap must have exactly 107 entries";  // rejected at compile time
    }
    return map;
}

struct NamedKey {
    int virtualKey;
    const char16_t* text;
};

constexpr NamedKey kFixedKeyNames[] = {
    {0x00, u""},
    {0xFF, u""},
    {0x08, u"Backspace"},
    {0x09, u"Tab"},
    {0x0C, u"Clr"},
    {0x0D, u"Enter"},
    {0x10, u"Shift"},
    {0x11, u"Ctrl"},
    {0x12, u"Alt"},
    {0x13, u"Pause"},
    {0x14, u"CapsLock"},
    {0x1B, u"Esc"},
    {0x20, u"Space"},
    {0x21, u"PageUp"},
    {0x22, u"PageDown"},
    {0x23, u"End"},
    {0x24, u"Home"},
    {0x25, u"Left"},
    {0x26, u"Up"},
    {0x27, u"Right"},
    {0x28, u"Down"},
    {0x29, u"Select"},
    {0x2A, u"Print"},
    {0x2B, u"Enter"},
    {0x2C, u"PrtSc SysRq"},
    {0x2D, u"Insert"},
    {0x2E, u"Delete"},
    {0x2F, u"Help"},
    {0x5B, u"LWin"},
    {0x5C, u"RWin"},
    {0x5D, u"App"},
    {0x6A, u"(*)"},
    {0x6B, u"(+)"},
    {0x6C, u"\\"},
    {0x6D, u"(-)"},
    {0x6E, u"(.)"},
    {0x6F, u"(/)"},
    {0x90, u"Numlock"},
    {0x91, u"Scroll Lock"},
    {0xA0, u"LShift"},
    {0xA1, u"RShift"},
    {0xA2, u"LCtrl"},
    {0xA3, u"RCtrl"},
    {0xA4, u"LAlt"},
    {0xA5, u"RAlt"},
    {0xC1, u"LButton"},
    {0xC2, u"RButton"},
    {0xC3, u"MButton"},
};

constexpr NamedKey kMacroKeyNames[] = {
    {0xC0, u"~"},
    {0xBD, u"-"},
    {0xBB, u"="},
    {0x08, u"Backspace"},
    {0xDC, u"\\|"},
    {0xDB, u"["},
    {0xDD, u"]"},
    {0xBA, u";"},
    {0xDE, u"'"},
    {0x0D, u"Enter"},
    {0xBC, u"<"},
    {0xBE, u">"},
    {0xBF, u"?"},
    {0x09, u"Tab"},
    {0x14, u"Cap"},
    {0xA0, u"L_Shift"},
    {0xA2, u"L_Ctrl"},
    {0xA4, u"L_Alt"},
    {0x5B, u"L_Win"},
    {0xA1, u"R_Shift"},
    {0xA3, u"R_Ctrl"},
    {0xA5, u"R_Alt"},
    {0x5C, u"R_Win"},
    {0x20, u"Space"},
    {0x1B, u"ESC"},
    {0x60, u"NUM 0"},
    {0x6D, u"NUM -"},
    {0x6B, u"NUM +"},
    {0x6A, u"NUM *"},
    {0x6F, u"NUM /"},
    {0x6C, u"NUM Enter"},
    {0x6E, u"NUM Del"},
    {0x90, u"NUM Lock"},
    {0x2A, u"Print"},
    {0x91, u"Scroll"},
    {0x13, u"Pause"},
    {0x2D, u"Insert"},
    {0x24, u"Home"},
    {0x2E, u"Delete"},
    {0x23, u"End"},
    {0x21, u"Page Up"},
    {0x22, u"Page Down"},
    {0x26, u"UP"},
    {0x28, u"DOWN"},
    {0x25, u"LEFT"},
    {0x27, u"RIGHT"},
    {0x01, u"Left Button"},
    {0x02, u"Right Button"},
    {0x04, u"Middle Button"},
};

struct FunctionNameEntry {
    int code;
    const char16_t* english;
    const char16_t* chinese;
};

constexpr FunctionNameEntry kFunctionNames[] = {
    {1, u"Click", u"单击"},
    {2, u"Menu", u"菜单"},
    {4, u"Middle", u"中键"},
    {8, u"Forward", u"前进"},
    {11, u"Scroll up", u"滚轮前滚"},
    {12, u"One key Start", u"一键开始"},
    {16, u"Back", u"后退"},
    {22, u"Scroll down", u"滚轮后滚"},
    {32, u"Play/Pause", u"播放/暂停"},
    {33, u"Stop", u"停止"},
    {34, u"Previous", u"上一曲"},
    {35, u"Next", u"下一曲"},
    {37, u"Volume up", u"音量+"},
    {38, u"Volume down", u"音量-"},
    {39, u"Mute", u"静音"},
    {40, u"Music", u"音乐"},
    {64, u"Cut", u"剪切"},
    {65, u"Copy", u"拷贝"},
    {66, u"Past", u"粘贴"},
    {67, u"Undo", u"撤销"},
    {68, u"All", u"全选"},
    {69, u"Find", u"查找"},
    {70, u"New", u"新建"},
    {71, u"Print", u"打印"},
    {72, u"Save", u"保存"},
    {81, u"Close window", u"关闭窗口"},
    {82, u"Lock PC", u"锁定电脑"},
    {84, u"Run", u"运行"},
    {85, u"Show desktop", u"显示桌面"},
    {86, u"Sreen zoom in", u"放大屏幕"},
    {87, u"Sreen zoom out", u"缩小屏幕"},
    {116, u"Full screen", u"全屏截图"},
    {117, u"Window", u"窗口截图"},
    {118, u"Area", u"区域截图"},
    {121, u"Disable key", u"禁用按键"},
    {122, u"Start screen", u"开始界面"},
    {123, u"Enter classic desktop", u"进入传统界面"},
    {124, u"Switch applications", u"切换应用程序"},
    {125, u"Search", u"搜索"},
    {126, u"sreen zoom in", u"放大"},
    {127, u"sreen zoom out", u"缩小"},
    {133, u"DoubleClick", u"双击"},
    {138, u"DPI - 100", u"DPI - 100"},
    {141, u"DPI + 100", u"DPI + 100"},
    {142, u"Snipe", u"狙击"},
    {143, u"Double firepower", u"双倍火力"},
    {144, u"Three times the firepower", u"3倍火力"},
    {145, u"Windows", u"Windows键"},
    {146, u"Dpi Switch", u"Dpi切换"},
    {147, u"Switch Input Method", u"输入法切换"},
    {148, u"Move to the ending", u"移动到文件末尾"},
    {149, u"Move to the beginning", u"移动到文件开头"},
    {150, u"Shortcut 1", u"快捷1"},
    {151, u"Shortcut 2", u"快捷2"},
    {152, u"Shortcut 3", u"快捷3"},
};

std::u16string Ascii(std::string_view s) {
    return std::u16string(s.begin(), s.end());
}

constexpr std::array<KeyUsagePair, 107> kKeyUsageMap = BuildKeyUsageMap();

std::atomic<const KeyLayout*> g_layout{nullptr};

}  // namespace

const std::array<KeyUsagePair, 107> KeyUsageMap = kKeyUsageMap;

std::uint8_t usageToKey(std::uint8_t usage) {
    for (const KeyUsagePair& p : KeyUsageMap) {
        if (p.usage == usage) {
            return p.virtualKey;
        }
    }
    return 0;
}

std::uint8_t keyToUsage(int virtualKey) {
    for (const KeyUsagePair& p : KeyUsageMap) {
        if (p.virtualKey == virtualKey) {
            return p.usage;
        }
    }
    return 0;
}

ComboResult EncodeCombo(bool shift, bool ctrl, bool alt, bool win, int key) {
    std::uint32_t mods = 0;
    std::uint32_t lastModifierUsage = 0;
    // The last toggle that is on, in the order Shift, Ctrl, Win, Alt, names the lone modifier key.
    if (shift) {
        mods |= kModShift;
        lastModifierUsage = kUsageLeftShift;
    }
    if (ctrl) {
        mods |= kModCtrl;
        lastModifierUsage = kUsageLeftCtrl;
    }
    if (win) {
        mods |= kModWin;
        lastModifierUsage = kUsageLeftWin;
    }
    if (alt) {
        mods |= kModAlt;
        lastModifierUsage = kUsageLeftAlt;
    }
    const std::uint32_t usage = keyToUsage(key);
    std::uint32_t word = 0;
    if (mods != 0 && usage != 0) {
        word = (usage << 24) | (mods << 16) | kComboFormModified;
    } else if (mods != 0) {
        word = lastModifierUsage << 16;
    } else if (usage != 0) {
        word = usage << 16;
    }
    return {word, kComboKind};
}

unsigned UsKeyLayout::character(int virtualKey) const {
    if (virtualKey >= 0x41 && virtualKey <= 0x5A) {
        return static_cast<unsigned>('a' + (virtualKey - 0x41));
    }
    if (virtualKey >= 0x30 && virtualKey <= 0x39) {
        return static_cast<unsigned>(virtualKey);
    }
    switch (virtualKey) {
        case 0xBA:
            return ';';
        case 0xBB:
            return '=';
        case 0xBC:
            return ',';
        case 0xBD:
            return '-';
        case 0xBE:
            return '.';
        case 0xBF:
            return '/';
        case 0xC0:
            return '`';
        case 0xDB:
            return '[';
        case 0xDC:
            return '\\';
        case 0xDD:
            return ']';
        case 0xDE:
            return '\'';
        case 0xE2:
            return '\\';  // the extra key of 102-key boards
        default:
            return 0;
    }
}

const KeyLayout& DefaultKeyLayout() {
    static const UsKeyLayout us;
    const KeyLayout* installed = g_layout.load();
    return installed ? *installed : us;
}

void SetDefaultKeyLayout(const KeyLayout* layout) {
    g_layout.store(layout);
}

std::u16string KeyName(int virtualKey, const KeyLayout& layout) {
    for (const NamedKey& k : kFixedKeyNames) {
        if (k.virtualKey == virtualKey) {
            return k.text;
        }
    }
    if (virtualKey >= 0x60 && virtualKey <= 0x69) {
        return u"(" + std::u16string(1, static_cast<char16_t>(u'0' + virtualKey - 0x60)) + u")";
    }
    if (virtualKey >= 0x70 && virtualKey <= 0x7B) {
        return Ascii("F" + std::to_string(virtualKey - 0x70 + 1));
    }
    unsigned ch = layout.character(virtualKey) & 0xFFu;
    if (ch >= 'a' && ch <= 'z') {
        ch -= 'a' - 'A';
    } else if (ch >= 0xE0 && ch <= 0xFE && ch != 0xF7) {
        ch -= 0x20;  // Latin-1 lower-case letters
    }
    // Keys that produce nothing visible get their code, so that the text is short and stable.
    if (ch < 0x20 || ch == 0x7F) {
        char buf[16];
        std::snprintf(buf, sizeof buf, "0x%02X", static_cast<unsigned>(virtualKey) & 0xFFFFu);
        return Ascii(buf);
    }
    return std::u16string(1, static_cast<char16_t>(ch));
}

std::u16string ComboText(std::uint32_t word, const KeyLayout& layout) {
    const std::uint32_t form = word & 0xFF;
    const auto b2 = static_cast<std::uint8_t>((word >> 16) & 0xFF);
    const auto b3 = static_cast<std::uint8_t>((word >> 24) & 0xFF);
    if (form == kComboFormSingle) {
        return KeyName(usageToKey(b2), layout);
    }
    static constexpr const char16_t* kModNames[] = {u"Shift", u"Ctrl", u"Alt", u"Win"};
    std::u16string text;
    for (int bit = 0; bit < 4; ++bit) {
        if (b2 & (1u << bit)) {
            if (!text.empty()) {
                text += u" + ";
            }
            text += kModNames[bit];
        }
    }
    if (text.empty()) {
        return KeyName(usageToKey(b2), layout);
    }
    return text + u" + " + KeyName(usageToKey(b3), layout);
}

std::u16string MacroKeyNames(int virtualKey) {
    const int vk = virtualKey & 0xFF;
    if ((vk >= 0x41 && vk <= 0x5A) || (vk >= 0x30 && vk <= 0x39)) {
        return std::u16string(1, static_cast<char16_t>(vk));
    }
    if (vk >= 0x70 && vk <= 0x7B) {
        return Ascii("F" + std::to_string(vk - 0x70 + 1));
    }
    if (vk >= 0x61 && vk <= 0x69) {
        return Ascii("NUM " + std::to_string(vk - 0x60));
    }
    for (const NamedKey& k : kMacroKeyNames) {
        if (k.virtualKey == vk) {
            return k.text;
        }
    }
    return {};
}

std::u16string FunctionName(int code, bool chinese) {
    for (const FunctionNameEntry& f : kFunctionNames) {
        if (f.code == code) {
            return chinese ? f.chinese : f.english;
        }
    }
    return {};
}

}  // namespace q350
