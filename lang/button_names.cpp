#include "lang/button_names.h"

#include "base/utf.h"
#include "config/profile_data.h"

namespace q350::lang {

namespace {

struct DefaultName {
    int button;
    std::u16string_view english;
    std::u16string_view chinese;
};

// Several pairs of one button are tried in this order.
constexpr DefaultName kDefaultNames[] = {
    {0, u"Click", u"单击"},           {1, u"Menu", u"菜单"},
    {2, u"Middle", u"中键"},          {3, u"Scroll up", u"滚轮前滚"},
    {4, u"Scroll down", u"滚轮后滚"}, {5, u"Windows", u"Windows键"},
    {5, u"Snipe", u"狙击"},           {5, u"Double firepower", u"双倍火力"},
    {6, u"Dpi Switch", u"Dpi切换"},   {7, u"Back", u"后退"},
    {8, u"Forward", u"前进"},         {9, u"Switch Input Method", u"输入法切换"},
    {9, u"Shortcut 1", u"快捷1"},     {10, u"Move to the ending", u"移动到文件末尾"},
    {10, u"Shortcut 2", u"快捷2"},    {11, u"Move to the beginning", u"移动到文件开头"},
    {11, u"Shortcut 3", u"快捷3"},    {12, u"Past", u"粘贴"},
    {13, u"Copy", u"拷贝"},
};

constexpr int kFirstHintLow = 16;   // buttons 0..6
constexpr int kFirstHintHigh = 51;  // buttons 7..13
constexpr int kButtonsPerHintRun = 7;

}  // namespace

int ButtonOfLabelHint(int hintId) {
    if (hintId >= kFirstHintLow && hintId < kFirstHintLow + kButtonsPerHintRun) {
        return hintId - kFirstHintLow;
    }
    if (hintId >= kFirstHintHigh && hintId < kFirstHintHigh + kButtonsPerHintRun) {
        return hintId - kFirstHintHigh + kButtonsPerHintRun;
    }
    return -1;
}

std::optional<std::u16string_view> TranslateDefaultButtonName(std::u16string_view label, int button,
                                                              bool chinese) {
    for (const DefaultName& n : kDefaultNames) {
        if (n.button != button) {
            continue;
        }
        if (!chinese && label == n.chinese) {
            return n.english;
        }
        if (chinese && label == n.english) {
            return n.chinese;
        }
    }
    return std::nullopt;
}

bool TranslateProfileButtonLabel(ProfileData& profile, int mode, int button, bool chinese) {
    if (mode < 0 || mode >= kModeCount || button < 0 || button >= kButtonCount) {
        return false;
    }
    ButtonAssignment& b = profile.buttons[mode][button];
    const std::u16string label = FieldText(b.label, kTextChars);
    const auto replacement = TranslateDefaultButtonName(label, button, chinese);
    if (!replacement) {
        return false;
    }
    SetField(b.label, kTextChars, *replacement);
    return true;
}

}  // namespace q350::lang
