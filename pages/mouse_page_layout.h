#pragma once

// Where the button half of the mouse page puts its controls (page coordinates), the hint code of
// each, and the rules of its marker spots and hover help.
#include <array>
#include <vector>

#include "skin/geometry.h"

namespace q350::pages {

using skin::Point;
using skin::Rect;
using LabelShape = std::array<Point, 4>;

inline constexpr int kLabelCount = 14;
inline constexpr int kUpperLabels = 7;  // labels 0..6 form the upper row

inline constexpr std::array<Rect, 3> kModeButtonRects = {{
    {755, 364, 907, 386}, {756, 392, 907, 415}, {756, 421, 907, 443}}};

inline constexpr Rect kSharedMarker{758, 141, 782, 165};  // markers 6..13 light one spot
inline constexpr std::array<Rect, kLabelCount> kMarkerRects = {{
    {705, 78, 729, 102}, {811, 78, 835, 102}, {679, 184, 703, 208}, {688, 231, 712, 255},
    {758, 98, 782, 122}, {758, 60, 782, 84}, kSharedMarker, kSharedMarker, kSharedMarker,
    kSharedMarker, kSharedMarker, kSharedMarker, kSharedMarker, kSharedMarker}};

// The upper row's shapes depend on the layout chosen when the page is made.
inline constexpr std::array<LabelShape, kUpperLabels> kUpperLabelsOther = {{
    {{{97, 398}, {160, 398}, {161, 417}, {97, 418}}},
    {{{166, 398}, {239, 398}, {240, 417}, {167, 417}}},
    {{{246, 398}, {326, 398}, {327, 418}, {245, 418}}},
    {{{333, 398}, {438, 398}, {438, 418}, {333, 418}}},
    {{{443, 398}, {559, 398}, {559, 418}, {443, 418}}},
    {{{566, 398}, {639, 398}, {639, 418}, {566, 418}}},
    {{{645, 398}, {707, 398}, {707, 418}, {645, 418}}}}};
inline constexpr std::array<LabelShape, kUpperLabels> kUpperLabelsChinese = {{
    {{{128, 398}, {197, 398}, {197, 418}, {128, 418}}},
    {{{198, 398}, {267, 398}, {267, 418}, {198, 418}}},
    {{{268, 398}, {337, 398}, {337, 418}, {267, 418}}},
    {{{338, 398}, {438, 398}, {438, 418}, {338, 418}}},
    {{{439, 398}, {540, 398}, {539, 418}, {439, 418}}},
    {{{540, 398}, {624, 398}, {624, 418}, {540, 418}}},
    {{{625, 398}, {709, 398}, {709, 418}, {625, 418}}}}};
inline constexpr std::array<LabelShape, kLabelCount - kUpperLabels> kLowerLabels = {{
    {{{31, 421}, {128, 421}, {109, 442}, {14, 442}}},
    {{{128, 421}, {224, 421}, {206, 442}, {111, 442}}},
    {{{225, 421}, {321, 421}, {303, 442}, {207, 442}}},
    {{{321, 421}, {418, 421}, {401, 442}, {305, 442}}},
    {{{419, 421}, {515, 421}, {497, 442}, {401, 442}}},
    {{{515, 421}, {611, 421}, {594, 442}, {498, 442}}},
    {{{612, 421}, {709, 421}, {691, 442}, {594, 442}}}}};

// The shape of label k in the chosen layout.
const LabelShape& LabelShapeOf(int label, bool chineseLayout);

// Hint codes the page posts to the main window.
inline constexpr int kHintUpperLabelFirst = 16;  // labels 0..6: 16..22
inline constexpr int kHintLowerLabelFirst = 51;  // labels 7..13: 51..57
inline constexpr int kHintModeFirst = 23;        // mode buttons: 23..25
int LabelHint(int label);

// A control's window rectangle in page coordinates with its hint code.
struct HintArea {
    Rect rect;
    int hint;
};
// Every hint whose area, grown by one pixel on each side, holds the point, in area order.
std::vector<int> HintsAt(Point p, const std::vector<HintArea>& areas);

// Marker hover: what marker k does for a pointer position, given label k's window rectangle in
// screen coordinates and whether the program's window is in front.
enum class MarkerState { Set, Cleared, Kept };
MarkerState MarkerFor(const Rect& labelOnScreen, Point cursor, bool windowInFront);

}  // namespace q350::pages
