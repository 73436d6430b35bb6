#include "skin/geometry.h"

#include <algorithm>
#include <cstdint>

namespace q350::skin {

namespace {

// a * b / c in 64 bits, truncating toward zero; 0 when c is 0.
int MulDivTrunc(std::int64_t a, std::int64_t b, std::int64_t c) {
    if (c == 0)
        return 0;
    return static_cast<int>(a * b / c);
}

}  // namespace

int ClampToRange(int value, int min, int max) {
    if (max < min)
        return min;
    return std::clamp(value, min, max);
}

int SliderAcceptedPos(int value, int min, int max) {
    const auto v = static_cast<std::uint32_t>(value);
    if (v < static_cast<std::uint32_t>(min) || v > static_cast<std::uint32_t>(max))
        return min;
    return value;
}

int SliderThumbLeft(const Rect& track, int thumbWidth, int pos, int min, int max) {
    return track.left + MulDivTrunc(track.Width() - thumbWidth, pos - min, max - min);
}

int SliderPosFromThumbLeft(const Rect& track, int thumbWidth, int newLeft, int min, int max) {
    const int travel = track.right - thumbWidth - track.left;
    if (travel <= 0)
        return min;
    return ClampToRange(min + MulDivTrunc(max - min, newLeft - track.left, travel), min, max);
}

int SliderLimitDrag(const Rect& track, int thumbLeft, int thumbRight, int dx) {
    if (thumbLeft + dx < track.left)
        dx = track.left - thumbLeft;
    if (thumbRight + dx > track.right)
        dx = track.right - thumbRight;
    return dx;
}

int PosFromTravelX(int x, int travelLeft, int travelRight, int min, int max) {
    if (travelRight <= travelLeft)
        return min;
    return ClampToRange(min + MulDivTrunc(max - min, x - travelLeft, travelRight - travelLeft), min,
                        max);
}

int ProgressFillWidth(int pos, int min, int max, int width) {
    return std::clamp(MulDivTrunc(pos - min, width, max - min), 0, std::max(width, 0));
}

int DpiFillEdge(int value, int min, int max, int barLeft, int barRight) {
    return MulDivTrunc(barRight - barLeft, value - min, max - min) + barLeft;
}

int AcceptedOrMin(int v, int min, int max) {
    return (v >= min && v <= max) ? v : min;
}

// ---- scroll bars ----------------------------------------------------------------------------

int ScrollSteps(const ScrollInfo& info) {
    return info.max - info.min - info.page + 1;
}

bool ScrollBarEnabled(const ScrollInfo& info) {
    return info.max >= info.page && ScrollSteps(info) > 0;
}

ScrollLayout LayoutScrollBar(int length, int thickness, const ScrollInfo& info) {
    ScrollLayout l;
    l.length = std::max(length, 0);
    l.arrow = (l.length - 2 * thickness > 0) ? thickness : l.length / 2;
    l.track = std::max(l.length - 2 * thickness, 0);
    const int steps = ScrollSteps(info);
    if (steps <= 0 || l.track < 6) {
        l.thumb = 0;
    } else {
        l.thumb = std::clamp(MulDivTrunc(info.page, l.track, info.max - info.min + 1), 6, l.track);
    }
    if (steps <= 0) {
        l.thumbOffset = (l.track - l.thumb) / 2;
    } else {
        const int p = info.trackPos >= 0 ? info.trackPos : info.pos;
        l.thumbOffset =
            std::clamp(MulDivTrunc(p - info.min, l.track - l.thumb, steps), 0, l.track - l.thumb);
    }
    return l;
}

int ScrollLayout::PartBegin(ScrollPart part) const {
    switch (part) {
        case ScrollPart::FirstArrow:
            return 0;
        case ScrollPart::PageUp:
            return arrow;
        case ScrollPart::Thumb:
            return arrow + thumbOffset;
        case ScrollPart::PageDown:
            return arrow + thumbOffset + thumb;
        case ScrollPart::SecondArrow:
            return length - arrow;
        case ScrollPart::None:
            break;
    }
    return 0;
}

int ScrollLayout::PartEnd(ScrollPart part) const {
    switch (part) {
        case ScrollPart::FirstArrow:
            return arrow;
        case ScrollPart::PageUp:
            return arrow + thumbOffset;
        case ScrollPart::Thumb:
            return arrow + thumbOffset + thumb;
        case ScrollPart::PageDown:
            return length - arrow;
        case ScrollPart::SecondArrow:
            return length;
        case ScrollPart::None:
            break;
    }
    return 0;
}

ScrollPart HitTestScrollBar(const ScrollLayout& layout, int along) {
    for (ScrollPart part : {ScrollPart::FirstArrow, ScrollPart::PageUp, ScrollPart::Thumb,
                            ScrollPart::PageDown, ScrollPart::SecondArrow}) {
        if (along >= layout.PartBegin(part) && along < layout.PartEnd(part))
            return part;
    }
    return ScrollPart::None;
}

int ScrollPosFromDrag(const ScrollLayout& layout, const ScrollInfo& info, int startPos, int delta) {
    const int steps = ScrollSteps(info);
    const int room = layout.track - layout.thumb;
    if (steps <= 0 || room <= 0)
        return startPos;
    // The last position shows the last page: max - page + 1.
    return ClampToRange(startPos + MulDivTrunc(delta, steps, room), info.min, info.min + steps);
}

// ---- nine-slice frames ----------------------------------------------------------------------

std::array<NineSlicePiece, 9> NineSlicePieces(const Rect& d, int w, int h) {
    constexpr int c = kNineSliceCorner;
    const int dw = std::max(d.Width() - 2 * c, 0);
    const int dh = std::max(d.Height() - 2 * c, 0);
    const int sw = std::max(w - 2 * c, 0);
    const int sh = std::max(h - 2 * c, 0);
    return {{
        {{d.left, d.top, c, c}, {0, 0, c, c}},
        {{d.left, d.top + c, c, dh}, {0, c, c, sh}},
        {{d.left, d.bottom - c, c, c}, {0, h - c, c, c}},
        {{d.left + c, d.top, dw, c}, {c, 0, sw, c}},
        {{d.right - c, d.top, c, c}, {w - c, 0, c, c}},
        {{d.right - c, d.top + c, c, dh}, {w - c, c, c, sh}},
        {{d.right - c, d.bottom - c, c, c}, {w - c, h - c, c, c}},
        {{d.left + c, d.bottom - c, dw, c}, {c, h - c, sw, c}},
        {{d.left + c, d.top + c, dw, dh}, {c, c, sw, sh}},
    }};
}

// ---- menus ----------------------------------------------------------------------------------

Rect MenuItemRect(int index) {
    const int top = kMenuTop + index * kMenuItemHeight;
    return {kMenuItemLeft, top, kMenuItemRight, top + kMenuItemHeight};
}

int MenuHeight(int count) {
    return kMenuTop + count * kMenuItemHeight + kMenuBottomMargin;
}

Rect MenuItemTextRect(const Rect& item) {
    return {item.left + 30, item.top, item.left + 112, item.bottom};
}

Box MenuIconBox(const Rect& item, int iconW, int iconH) {
    return {item.left + (25 - iconW) / 2, item.top + (item.Height() - iconH) / 2, iconW, iconH};
}

// ---- captions -------------------------------------------------------------------------------

Point IrrCaptionOrigin(Point centre, int length) {
    const int shift = length > 5 ? length * 3 : length * 6;
    return {centre.x - shift + 5, centre.y - 6};
}

Rect BitmapCaptionBox(const Rect& client, int textHeight, const Rect* textRect, bool downColour) {
    if (textRect == nullptr) {
        return {client.left + 8, client.Height() / 2 - textHeight / 2, client.right - 5,
                client.bottom};
    }
    Rect box{textRect->left + 5, textRect->top, textRect->right - 5, textRect->bottom};
    if (downColour) {
        box.left += 1;
        box.right += 1;
        box.top += 1;
        box.bottom += 1;
    }
    return box;
}

}  // namespace q350::skin
