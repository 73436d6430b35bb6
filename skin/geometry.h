#pragma once
// Arithmetic of the skinned controls: value mapping of sliders and bars, scroll bar parts,
// nine-slice pieces, menu layout and caption placement. Pure functions, no window system.
#include <array>
#include <cstdint>

namespace q350::skin {

struct Rect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    bool Contains(int x, int y) const { return x >= left && x < right && y >= top && y < bottom; }
    bool operator==(const Rect&) const = default;
};

// A rectangle given as origin and size (the form GDI+ draws with).
struct Box {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    bool operator==(const Box&) const = default;
};

// ---- value ranges ---------------------------------------------------------------------------

// Limits value to [min, max].
int ClampToRange(int value, int min, int max);

// The slider thumb's SetPos rule: a value below min or above max, compared as unsigned numbers,
// becomes min.
int SliderAcceptedPos(int value, int min, int max);

// Left edge of the thumb for a position: track left + (track width - thumb width) * (pos - min) /
// (max - min). An empty range puts the thumb at the track's left.
int SliderThumbLeft(const Rect& track, int thumbWidth, int pos, int min, int max);

// Position for a thumb whose left edge has been dragged to newLeft (clamped to the range).
int SliderPosFromThumbLeft(const Rect& track, int thumbWidth, int newLeft, int min, int max);

// Horizontal drag step: dx limited so that the thumb [thumbLeft, thumbRight) stays on the track.
int SliderLimitDrag(const Rect& track, int thumbLeft, int thumbRight, int dx);

// Position for a click at x (same coordinates as travel) on a bar's travel rectangle; also the
// progress bar's pointer mapping. Clamped to [min, max].
int PosFromTravelX(int x, int travelLeft, int travelRight, int min, int max);

// Filled width of a progress bar: (pos - min) * width / (max - min), never outside [0, width].
int ProgressFillWidth(int pos, int min, int max, int width);

// Right edge of the DPI indicator's fill: (bar right - bar left) * (value - min) / (max - min) +
// bar left.
int DpiFillEdge(int value, int min, int max, int barLeft, int barRight);

// Value the DPI indicator and the progress dialog accept: v when min <= v <= max, else min.
int AcceptedOrMin(int v, int min, int max);

// ---- scroll bars ----------------------------------------------------------------------------

enum class ScrollPart { None = -1, FirstArrow = 0, PageUp, Thumb, PageDown, SecondArrow };

struct ScrollInfo {
    int min = 0;
    int max = 0;
    int page = 0;
    int pos = 0;
    int trackPos = -1;  // position while the thumb is dragged, -1 otherwise
};

struct ScrollLayout {
    int arrow = 0;        // length of each arrow
    int track = 0;        // length between the arrows
    int thumb = 0;        // thumb length (0: no thumb)
    int thumbOffset = 0;  // thumb start within the track
    int length = 0;       // whole bar length
    // Spans along the axis of each part, [begin, end).
    int PartBegin(ScrollPart part) const;
    int PartEnd(ScrollPart part) const;
};

// Number of scroll steps: max - min - page + 1.
int ScrollSteps(const ScrollInfo& info);
ScrollLayout LayoutScrollBar(int length, int thickness, const ScrollInfo& info);
ScrollPart HitTestScrollBar(const ScrollLayout& layout, int along);
// Position after dragging the thumb by delta pixels from startPos.
int ScrollPosFromDrag(const ScrollLayout& layout, const ScrollInfo& info, int startPos, int delta);
// Whether a skinned bar is usable: max >= page and there is something to scroll.
bool ScrollBarEnabled(const ScrollInfo& info);

// Thumb drawn stretched: first and last 3 pixels kept, the middle tiled.
inline constexpr int kScrollThumbCap = 3;

// ---- nine-slice frames ----------------------------------------------------------------------

inline constexpr int kNineSliceCorner = 32;

struct NineSlicePiece {
    Box dest;
    Box source;
};

// The nine pieces of a frame picture of imageW x imageH drawn into dest, in drawing order:
// top-left, left edge, bottom-left, top edge, top-right, right edge, bottom-right, bottom edge,
// centre. Negative sizes (a destination under 64 pixels) are drawn as 0.
std::array<NineSlicePiece, 9> NineSlicePieces(const Rect& dest, int imageW, int imageH);

// ---- menus ----------------------------------------------------------------------------------

inline constexpr int kMenuTop = 6;
inline constexpr int kMenuItemLeft = 6;
inline constexpr int kMenuItemRight = 110;
inline constexpr int kMenuItemHeight = 22;
inline constexpr int kMenuWidth = 116;
inline constexpr int kMenuBottomMargin = 3;
inline constexpr int kXpMenuItemWidth = 75;
inline constexpr int kXpMenuItemHeight = 22;

Rect MenuItemRect(int index);
// Height of a popup menu holding count items.
int MenuHeight(int count);
// Text box of a menu item and the icon's top-left inside it.
Rect MenuItemTextRect(const Rect& item);
Box MenuIconBox(const Rect& item, int iconW, int iconH);

// ---- captions -------------------------------------------------------------------------------

struct Point {
    int x = 0;
    int y = 0;
    bool operator==(const Point&) const = default;
};

// Where an irregular button's caption of `length` characters starts, given the caption centre.
Point IrrCaptionOrigin(Point centre, int length);

// Caption box of a bitmap button. Without a text rectangle: client with left + 8, right - 5 and
// its top at height / 2 - textHeight / 2. With one: it with left + 5, right - 5, one pixel right
// and down when drawn in the down colour.
Rect BitmapCaptionBox(const Rect& client, int textHeight, const Rect* textRect, bool downColour);

}  // namespace q350::skin
