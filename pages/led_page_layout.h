#pragma once

// Where the LED page puts its controls (page coordinates) in its two layouts, the hint code of
// each element and the order in which the page looks for hints under the pointer.
#include <array>
#include <vector>

#include "pages/mouse_page_layout.h"
#include "skin/geometry.h"

namespace q350::pages {

inline constexpr int kEffectCount = 5;
inline constexpr int kLedZones = 2;
inline constexpr int kSwatchCount = 26;
inline constexpr int kSwatchColumns = 7;
inline constexpr int kLedPageModes = 3;

// The rectangles that differ between the layout for Chinese words and the other one.
struct LedLayout {
    std::array<Rect, kEffectCount> effects;
    std::array<Rect, kLedZones> zones;
    std::array<Rect, 2> proximity;   // on, off
    std::array<Rect, 3> rgbSliders;  // red, green, blue
    std::array<Rect, 3> rgbEdits;
    Rect brightness;
    Rect speed;
};

inline constexpr LedLayout kLedLayoutOther{
    {{{748, 72, 864, 92},
      {281, 139, 386, 157},
      {281, 103, 395, 126},
      {508, 70, 717, 93},
      {283, 72, 489, 95}}},
    {{{26, 56, 142, 95}, {26, 105, 141, 149}}},
    {{{282, 29, 352, 46}, {371, 29, 445, 46}}},
    {{{612, 236, 736, 244}, {612, 283, 736, 291}, {612, 326, 736, 334}}},
    {{{754, 231, 784, 250}, {754, 278, 784, 296}, {754, 321, 784, 339}}},
    {648, 141, 785, 152},
    {646, 110, 786, 118}};

inline constexpr LedLayout kLedLayoutChinese{
    {{{650, 70, 773, 95},
      {282, 137, 392, 158},
      {281, 103, 395, 126},
      {468, 70, 630, 99},
      {282, 70, 423, 96}}},
    {{{24, 66, 143, 95}, {25, 103, 143, 132}}},
    {{{194, 28, 274, 50}, {282, 28, 366, 50}}},
    {{{628, 235, 753, 245}, {628, 282, 753, 292}, {628, 326, 753, 334}}},
    {{{770, 233, 788, 243}, {770, 282, 788, 292}, {770, 326, 788, 336}}},
    {539, 143, 680, 149},
    {539, 111, 680, 117}};

const LedLayout& LedLayoutOf(bool chineseLayout);

// Shared by both layouts.
inline constexpr std::array<Rect, kLedPageModes> kLedModeRects = {
    {{797, 364, 907, 386}, {797, 392, 907, 415}, {797, 421, 907, 443}}};
inline constexpr Rect kCurrentColourRect{260, 203, 284, 227};
inline constexpr Rect kHelpBand{609, 229, 866, 249};
inline constexpr Rect kWheelBox{791, 244, 889, 341};

// Swatch k sits in row k / 7 and column k mod 7; the right three columns are one pixel closer.
Rect SwatchRect(int swatch);

// Whether a page point lies in the colour wheel, the ellipse bounded by kWheelBox.
bool OnWheel(Point p);

// Hint codes of the page's elements.
inline constexpr int kHintLedModeFirst = 23;  // mode buttons 23..25
inline constexpr int kHintSwatch = 26;
inline constexpr int kHintOwnColour = 27;    // current colour, red/green/blue sliders, help band
inline constexpr int kHintEffectFirst = 28;  // effects 0..4: 28..32
inline constexpr int kHintZoneFirst = 70;    // zones 0, 1: 70, 71
inline constexpr int kHintProximityOn = 72;
inline constexpr int kHintProximityOff = 73;
inline constexpr int kHintBrightness = 74;
inline constexpr int kHintSpeed = 75;

// Every element with a hint, in the order the page tests them: zones, proximity on and off,
// brightness, speed, modes, the swatches, the current colour, the red, blue and green sliders,
// the help band, the effects. Control rectangles are those of the layout.
std::vector<HintArea> LedHintAreas(const LedLayout& layout);

}  // namespace q350::pages
