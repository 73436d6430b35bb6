#include "skin/looks.h"

#include <cstdint>
#include <string>

namespace q350::skin {

LookChoice BitmapBtnLook(const BitmapBtnState& s, const CaptionColours& c) {
    if (s.checkMode && s.checked) {
        return {s.disabled ? Look::Disabled : Look::Down, c.down};
    }
    if (!s.checkMode && s.pressed)
        return {Look::Down, c.down};
    if (s.hover && s.hoverEnabled)
        return {Look::Over, c.hover};
    if (s.disabled)
        return {Look::Disabled, kTextDisabled};
    return {Look::Normal, c.normal};
}

LookChoice IrrButtonLook(const IrrButtonState& s, const CaptionColours& c) {
    bool selected = s.selectionMode && s.selected;
    if (!selected) {
        if (s.disabled)
            return {Look::Disabled, c.normal};
        selected = s.pressed;
    }
    if (selected)
        return {Look::Down, c.down};
    if (s.hover)
        return {Look::Over, c.hover};
    return {Look::Normal, c.normal};
}

Colour ColorBtnFrame(bool selectedLook, bool pressed, bool hover) {
    if (selectedLook)
        return Rgb(57, 56, 57);
    if (pressed)
        return Rgb(211, 24, 20);
    if (hover)
        return Rgb(232, 190, 28);
    return Rgb(49, 52, 57);
}

InfoBoxLayout InfoLayout(InfoForm form) {
    InfoBoxLayout l;
    l.close = {300, 0, 329, 29};
    if (form == InfoForm::Question) {
        l.normalSheet = 133;
        l.overSheet = 135;
        l.downSheet = 131;
        l.ok = {178, 127, 244, 159};
        l.cancel = Rect{245, 127, 311, 159};
    } else {
        l.normalSheet = 134;
        l.overSheet = 136;
        l.downSheet = 132;
        l.ok = {240, 127, 306, 159};
    }
    return l;
}

namespace {

std::u16string OkCount(int n) {
    std::u16string s = u"OK (";
    for (char ch : std::to_string(n))
        s.push_back(static_cast<char16_t>(ch));
    s += u")";
    return s;
}

}  // namespace

std::u16string InfoCountdown::Start() {
    count_ = 4;
    return u"OK (5s)";
}

InfoCountdown::Tick InfoCountdown::OnTick() {
    Tick t;
    t.close = count_ == 0;
    t.caption = OkCount(count_);
    --count_;
    return t;
}

std::optional<std::u16string> LimitDigitsText(std::u16string_view text, int min, int max) {
    // Read like the system's number reading: leading digits, saturating at the 32-bit maximum.
    std::uint64_t value = 0;
    for (char16_t ch : text) {
        if (ch < u'0' || ch > u'9')
            break;
        value = value * 10 + static_cast<std::uint64_t>(ch - u'0');
        if (value > UINT32_MAX)
            value = UINT32_MAX;
    }
    const auto v = static_cast<std::uint32_t>(value);
    int limit;
    if (v < static_cast<std::uint32_t>(min)) {
        limit = min;
    } else if (v > static_cast<std::uint32_t>(max)) {
        limit = max;
    } else {
        return std::nullopt;
    }
    std::u16string out;
    for (char ch : std::to_string(limit))
        out.push_back(static_cast<char16_t>(ch));
    return out;
}

std::u16string_view RowPictureName(int kind, bool selected) {
    switch (kind) {
        case 2:
            return selected ? u"up_select.png" : u"up_normal.png";
        case 3:
            return selected ? u"down_select.png" : u"down_normal.png";
        case 4:
            return selected ? u"delay_select.png" : u"delay_normal.png";
        default:
            return {};
    }
}

int RowTextLeft(int rowLeft, int kind, bool showPictures) {
    if (kind == 0 || !showPictures)
        return rowLeft + 5;
    return rowLeft + kListPictureSize + 10;
}

}  // namespace q350::skin
