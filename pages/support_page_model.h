#pragma once

// The support page without its window: the six buttons with their rectangles and hint codes, the
// two version texts, the questions it asks and the addresses it opens.
#include <array>
#include <string>
#include <string_view>

#include "skin/geometry.h"

namespace q350::pages {

enum class SupportButton {
    SoftwareUpdate,
    FirmwareUpdate,
    WebSite,
    RestoreDefaults,
    Import,
    Export
};
inline constexpr int kSupportButtonCount = 6;

struct SupportButtonPlace {
    SupportButton button;
    skin::Rect rect;  // page coordinates, the same in both layouts
    int hint;         // posted to the main window while the pointer is near the button
};

// In the order the page looks for a hint under the pointer.
inline constexpr std::array<SupportButtonPlace, kSupportButtonCount> kSupportButtons = {{
    {SupportButton::SoftwareUpdate, {97, 261, 215, 295}, 48},
    {SupportButton::FirmwareUpdate, {403, 261, 521, 295}, 48},
    {SupportButton::WebSite, {708, 261, 827, 295}, 49},
    {SupportButton::RestoreDefaults, {781, 388, 875, 420}, 50},
    {SupportButton::Import, {132, 387, 224, 421}, 90},
    {SupportButton::Export, {232, 388, 324, 420}, 91},
}};

// The version texts and their layout boxes (x, y, width, height).
inline constexpr std::u16string_view kSoftwareVersionText = u"V 1.0.2";
inline constexpr skin::Box kSoftwareVersionBox{124, 169, 252, 192};
inline constexpr skin::Box kFirmwareVersionBox{425, 169, 500, 192};
inline constexpr std::u16string_view kUnknownFirmware = u"Unknown";

// "V a.b" from the first two digits of the mouse's version number in decimal ("7" -> "V 7.0",
// "123" -> "V 1.2"); "Unknown" without a number.
std::u16string FirmwareVersionText(std::u16string_view decimal);

// The hint of the first button whose rectangle, widened by one pixel on every side, holds the
// point; 0 when there is none.
int SupportHintAt(int x, int y);

// The maker's web site, opened by the web-site button.
inline constexpr std::u16string_view kMakerWebSite = u"https://www.quorv.com/";

std::u16string_view RestoreQuestion(bool chinese);

// The filter of the profile file dialogs, with the double terminator the system wants.
inline constexpr std::u16string_view kProfileFileFilter = u"CFG Files(*.cfg)\0*.cfg\0\0";
inline constexpr std::u16string_view kProfileFileExtension = u"cfg";

}  // namespace q350::pages
