#pragma once
// State rules of the skinned controls: which picture and colour a control draws in which state,
// the message box's layout and countdown, the number limit of edit boxes, list row data and the
// language menu's items.
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "skin/geometry.h"

namespace q350::skin {

// Colours as 0x00BBGGRR, the layout of the window system's colour values.
using Colour = std::uint32_t;
constexpr Colour Rgb(int r, int g, int b) {
    return static_cast<Colour>(r) | (static_cast<Colour>(g) << 8) | (static_cast<Colour>(b) << 16);
}

inline constexpr Colour kTextNormalDefault = Rgb(189, 189, 200);
inline constexpr Colour kTextHoverDefault = Rgb(255, 255, 255);
inline constexpr Colour kTextDownDefault = Rgb(38, 29, 5);
inline constexpr Colour kTextDisabled = Rgb(38, 42, 39);
inline constexpr Colour kInfoText = Rgb(83, 97, 103);
inline constexpr Colour kAccentBlue = Rgb(31, 161, 211);
inline constexpr Colour kMenuHotFill = Rgb(0, 147, 209);
inline constexpr Colour kMenuText = Rgb(5, 5, 5);
inline constexpr Colour kMenuHotText = Rgb(245, 245, 245);
inline constexpr Colour kEditText = Rgb(88, 95, 103);

enum class Look { Normal, Over, Down, Disabled };

struct LookChoice {
    Look look = Look::Normal;
    Colour text = 0;
    bool operator==(const LookChoice&) const = default;
};

struct CaptionColours {
    Colour normal = kTextNormalDefault;
    Colour hover = kTextHoverDefault;
    Colour down = kTextDownDefault;
};

struct BitmapBtnState {
    bool checkMode = false;
    bool checked = false;
    bool pressed = false;   // from the drawing request
    bool disabled = false;  // from the drawing request
    bool hover = false;
    bool hoverEnabled = true;
};
LookChoice BitmapBtnLook(const BitmapBtnState& s, const CaptionColours& c);

struct IrrButtonState {
    bool selectionMode = false;
    bool selected = false;
    bool pressed = false;
    bool disabled = false;
    bool hover = false;
};
LookChoice IrrButtonLook(const IrrButtonState& s, const CaptionColours& c);

// Frame colour of a colour swatch.
Colour ColorBtnFrame(bool selectedLook, bool pressed, bool hover);

// ---- message box ----------------------------------------------------------------------------

enum class InfoForm { Notice, Question };

struct InfoBoxLayout {
    int normalSheet = 0;
    int overSheet = 0;
    int downSheet = 0;
    Rect close;
    Rect ok;
    std::optional<Rect> cancel;
};
InfoBoxLayout InfoLayout(InfoForm form);

inline constexpr int kInfoCountdownTimer = 2321;
inline constexpr int kInfoResultOk = 1;
inline constexpr int kInfoResultOther = 2;

// The auto-close countdown of the message box: the OK caption shows "OK (5s)" first and "OK (n)"
// on every tick; the tick that finds the count at 0 closes the box.
class InfoCountdown {
public:
    // Starts counting; returns the first caption.
    std::u16string Start();
    struct Tick {
        bool close = false;
        std::u16string caption;
    };
    Tick OnTick();
    int remaining() const { return count_; }

private:
    int count_ = 5;
};

// ---- edit boxes and lists -------------------------------------------------------------------

// The digits box's limit: the text read as a number and, when below min or above max (compared as
// unsigned numbers), the replacement text; nothing when the text may stay.
std::optional<std::u16string> LimitDigitsText(std::u16string_view text, int min, int max);

// Row data of a list: the picture kind in the top byte, the owner's data in the low 24 bits.
constexpr std::uint32_t PackRowData(int kind, std::uint32_t data) {
    return (static_cast<std::uint32_t>(kind) << 24) | (data & 0xFFFFFFu);
}
constexpr int RowKind(std::uint32_t itemData) {
    return static_cast<int>(itemData >> 24);
}

// Picture file of a row kind (2 up, 3 down, 4 delay); empty for kinds without a picture.
std::u16string_view RowPictureName(int kind, bool selected);
// Left of a row's text: left + 5 without pictures, left + 26 with a picture place.
int RowTextLeft(int rowLeft, int kind, bool showPictures);

inline constexpr int kListRowHeight = 20;
inline constexpr int kListPictureSize = 16;
inline constexpr int kInPlaceEditLimit = 20;

// ---- language menu --------------------------------------------------------------------------

struct LanguageMenuEntry {
    int index;             // reported to the owner when chosen
    const char16_t* text;  // fixed, never translated
    int iconResource;      // "PNG" resource, 19 x 11
};
inline constexpr std::array<LanguageMenuEntry, 12> kLanguageMenu = {{
    {1, u"Chinese", 168},
    {2, u"English", 179},
    {3, u"French", 170},
    {4, u"Korean", 176},
    {5, u"German", 171},
    {6, u"Italian", 172},
    {7, u"Spanish", 177},
    {8, u"Dutch", 169},
    {9, u"Portuguese", 174},
    {10, u"Russian", 175},
    {11, u"Ukrainian", 180},
    {12, u"Trad.Chinese", 168},
}};

}  // namespace q350::skin
