#pragma once

// Where the performance half of the mouse page puts its controls (page coordinates), in the two
// language layouts, with their control ids and hint codes, and where the DPI values are written.
#include <array>

#include "skin/geometry.h"

namespace q350::pages {

// A rectangle that differs by layout.
struct LayoutRect {
    skin::Rect other;
    skin::Rect chinese;
    const skin::Rect& of(bool chineseLayout) const { return chineseLayout ? chinese : other; }
};
constexpr LayoutRect Same(skin::Rect r) { return {r, r}; }

inline constexpr LayoutRect kPresetFormRect{{23, 44, 345, 78}, {23, 54, 327, 70}};
inline constexpr LayoutRect kSliderFormRect = Same({23, 133, 193, 151});
inline constexpr LayoutRect kXyRect = Same({27, 162, 282, 178});
inline constexpr std::array<skin::Rect, 10> kPresetRects = {{
    {45, 82, 88, 94}, {107, 82, 148, 94}, {172, 82, 216, 94}, {238, 82, 284, 94},
    {305, 82, 351, 94}, {45, 104, 92, 116}, {107, 104, 153, 116}, {172, 104, 220, 116},
    {238, 104, 284, 116}, {305, 104, 353, 116}}};
inline constexpr std::array<LayoutRect, 4> kLevelRects = {{
    {{28, 192, 99, 208}, {39, 191, 100, 206}},
    {{27, 232, 100, 248}, {39, 234, 100, 247}},
    {{27, 272, 100, 287}, {39, 274, 100, 287}},
    {{27, 313, 99, 329}, {39, 314, 100, 327}}}};
inline constexpr std::array<skin::Rect, 4> kReportRateRects = {{
    {443, 53, 500, 68}, {500, 53, 569, 68}, {577, 53, 636, 68}, {637, 53, 702, 68}}};
inline constexpr LayoutRect kLiftSliderRect{{234, 369, 371, 375}, {198, 369, 335, 375}};
inline constexpr skin::Rect kLiftBoxRect{365, 366, 380, 377};
inline constexpr skin::Rect kLiftPlusRect{581, 289, 603, 304};
inline constexpr skin::Rect kLiftMinusRect{581, 304, 603, 318};
inline constexpr skin::Rect kPointerSliderRect{483, 124, 626, 129};
inline constexpr skin::Rect kPrecisionRect{445, 149, 615, 165};
inline constexpr LayoutRect kLinesChoiceRect{{442, 243, 655, 275}, {443, 242, 595, 259}};
inline constexpr LayoutRect kLinesBoxRect{{664, 252, 686, 270}, {608, 245, 629, 262}};
inline constexpr LayoutRect kLinesPlusRect{{685, 249, 701, 260}, {630, 241, 645, 252}};
inline constexpr LayoutRect kLinesMinusRect{{686, 260, 701, 271}, {630, 252, 645, 263}};
inline constexpr LayoutRect kScreenChoiceRect{{442, 282, 708, 299}, {443, 271, 595, 291}};
inline constexpr skin::Rect kDoubleClickSliderRect{481, 369, 624, 374};
inline constexpr skin::Rect kDoubleClickTestRect{630, 313, 680, 350};

// DPI sliders of levels 1..4: X, then Y.
inline constexpr std::array<skin::Rect, 4> kDpiXRects = {{
    {102, 186, 333, 191}, {102, 226, 333, 231}, {102, 266, 333, 271}, {102, 306, 333, 311}}};
inline constexpr std::array<skin::Rect, 4> kDpiYRects = {{
    {102, 191, 333, 196}, {102, 232, 333, 237}, {102, 272, 333, 277}, {102, 312, 333, 317}}};
// Where the values of levels 1..4 are written.
inline constexpr std::array<skin::Rect, 4> kDpiXTextRects = {{
    {355, 182, 385, 194}, {355, 222, 385, 234}, {355, 262, 385, 274}, {355, 302, 385, 314}}};
inline constexpr std::array<skin::Rect, 4> kDpiYTextRects = {{
    {355, 199, 385, 211}, {355, 241, 385, 253}, {355, 282, 385, 294}, {355, 322, 385, 333}}};

// Control ids.
inline constexpr unsigned kDpiXSliderId(int level) { return 768u + 2u * static_cast<unsigned>(level); }
inline constexpr unsigned kDpiYSliderId(int level) { return 769u + 2u * static_cast<unsigned>(level); }
inline constexpr unsigned kLiftSliderId = 776;
inline constexpr unsigned kLiftBoxId = 777;
inline constexpr unsigned kPointerSliderId = 778;
inline constexpr unsigned kDoubleClickSliderId = 779;
inline constexpr unsigned kLinesBoxId = 780;
// The animation resource of the double-click test.
inline constexpr int kDoubleClickAnimation = 155;

// Hint codes.
inline constexpr int kHintReportRate = 11;
inline constexpr int kHintDpi = 12;
inline constexpr int kHintLift = 13;
inline constexpr int kHintLines = 14;  // the lift value and + / -, the lines choice
inline constexpr int kHintXy = 15;
inline constexpr int kHintScreen = 60;
inline constexpr int kHintPointerSpeed = 61;
inline constexpr int kHintPrecision = 62;
inline constexpr int kHintDoubleClick = 63;
inline constexpr int kHintDoubleClickTest = 64;
inline constexpr int kHintDpiForm = 65;

}  // namespace q350::pages
