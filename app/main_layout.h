#pragma once

// Geometry of the main window and the rules of its tabs and status line: where every control lies,
// which page a tab shows, which hint a pointer position gives and what text a hint shows.
#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "lang/string_ids.h"

namespace q350 {
struct ProfileData;
}

namespace q350::app {

struct Point {
    int x = 0;
    int y = 0;
};

// Left and top inside, right and bottom outside (as window rectangles are).
struct Rect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    int width() const { return right - left; }
    int height() const { return bottom - top; }
    bool contains(Point p) const { return p.x >= left && p.x < right && p.y >= top && p.y < bottom; }
    Rect inflated(int by) const { return {left - by, top - by, right + by, bottom + by}; }
};

using Polygon = std::array<Point, 4>;

inline constexpr int kPageCount = 5;
inline constexpr int kProfileTabCount = 5;

// Client-area rectangles of the window's fixed controls.
inline constexpr Rect kMinimiseButtonRect{888, 3, 921, 34};
inline constexpr Rect kCloseButtonRect{923, 3, 956, 35};
inline constexpr Rect kLanguageButtonRect{15, 617, 57, 635};
inline constexpr Rect kLanguageFlagRect{19, 592, 56, 614};
inline constexpr Rect kStatusTextRect{67, 598, 313, 631};
inline constexpr Rect kStatusRepaintRect{67, 598, 300, 628};
inline constexpr Rect kPageArea{17, 129, 17 + 925, 129 + 457};
// The layered popup's offset of the DPI indicator and the indicator's size and inner bar.
inline constexpr Point kDpiIndicatorOffset{13, 40};
inline constexpr int kDpiIndicatorWidth = 330;
inline constexpr int kDpiIndicatorHeight = 94;
inline constexpr Rect kDpiIndicatorBar{4, 36, 324, 85};
inline constexpr int kDpiIndicatorMin = 1;
inline constexpr int kDpiIndicatorMax = 82;

// Page tabs 1..5 from left to right, each traced in order and closed back to its first point.
inline constexpr std::array<Polygon, kPageCount> kPageTabShapes = {{
    {{{27, 85}, {190, 85}, {212, 121}, {27, 121}}},
    {{{192, 84}, {374, 84}, {396, 121}, {210, 121}}},
    {{{375, 85}, {558, 85}, {581, 121}, {397, 121}}},
    {{{560, 85}, {743, 85}, {766, 121}, {581, 121}}},
    {{{746, 85}, {927, 85}, {927, 121}, {767, 121}}},
}};
// Profile tabs 1..5 along the bottom.
inline constexpr std::array<Polygon, kProfileTabCount> kProfileTabShapes = {{
    {{{344, 606}, {438, 606}, {414, 634}, {321, 635}}},
    {{{440, 606}, {534, 606}, {510, 634}, {417, 635}}},
    {{{534, 606}, {628, 606}, {605, 635}, {511, 635}}},
    {{{629, 606}, {724, 606}, {700, 635}, {606, 635}}},
    {{{724, 608}, {820, 608}, {797, 635}, {701, 635}}},
}};
inline constexpr Polygon kApplyButtonShape = {{{837, 589}, {943, 589}, {943, 635}, {799, 635}}};

// The smallest rectangle holding every corner of the shape (right and bottom outside).
Rect BoundingBox(const Polygon& shape);

// Pages by index. The index order is not the order of the tabs: index 2 is the statistics page
// under tab 4 and index 3 the macro page under tab 3.
enum class Page : int { MouseSettings = 0, Lighting = 1, Statistics = 2, Macros = 3, Support = 4 };
// Tab 0..4 (left to right) to page index, and back.
int PageIndexOfTab(int tab);
int TabOfPageIndex(int index);
// Whether clicking the tab refreshes the mouse and lighting pages from the profile.
bool TabRefreshesPages(int tab);

// Top-left corner that centres a window of the given size on a screen area (integer division).
Point CentredOrigin(int areaWidth, int areaHeight, int width, int height);

// The language menu's screen rectangle for the language button's screen rectangle.
Rect LanguageMenuRect(const Rect& languageButtonOnScreen);

// Status-line hints.
inline constexpr int kHintProfileTabFirst = 0;  // 0..4
inline constexpr int kHintApply = 5;
inline constexpr int kHintPageTabFirst = 6;  // 6..10
inline constexpr int kHintEmpty = 99;

// A control that gives a hint when the pointer is over its rectangle widened by one pixel.
struct HintArea {
    Rect rect;  // the control's window rectangle in client coordinates
    int hint;
};
// The hint of the first area under the point, or nothing.
std::optional<int> HintAt(Point p, std::span<const HintArea> areas);

// The string behind a fixed hint id; nothing for label hints and ids without text.
std::optional<lang::StringId> HintStringId(int hint);
// The text a hint shows. Label hints show the label of that button of the current mode, after its
// built-in default name is brought into the current language (written back into the profile).
std::u16string HintText(int hint, ProfileData* profile, int mode, bool chinese);

}  // namespace q350::app
