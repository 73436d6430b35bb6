#include "skin/geometry.h"

#include <gtest/gtest.h>

namespace q350::skin {
namespace {

TEST(SliderMapping, OutOfRangeSetPosFallsBackToMinNotMax) {
    EXPECT_EQ(SliderAcceptedPos(11, 1, 10), 1);
    EXPECT_EQ(SliderAcceptedPos(0, 1, 10), 1);
    EXPECT_EQ(SliderAcceptedPos(-1, 0, 10), 0);  // unsigned comparison: -1 is far above max
    EXPECT_EQ(SliderAcceptedPos(10, 1, 10), 10);
}

TEST(SliderMapping, ThumbStandsOnIntegerStepsOfTheTravel) {
    const Rect track{0, 0, 137, 20};
    for (int k = 0; k <= 9; ++k) {
        EXPECT_EQ(SliderThumbLeft(track, 20, k, 0, 9), 117 * k / 9) << k;
    }
    EXPECT_EQ(SliderThumbLeft(track, 20, 5, 3, 3), 0);  // empty range: no division by zero
}

TEST(SliderMapping, DragIsHeldOnTheTrackAndReportsTheEnds) {
    const Rect track{0, 0, 137, 20};
    // Thumb at 100..120 dragged 50 to the right stops with its right edge on the track's end.
    const int dx = SliderLimitDrag(track, 100, 120, 50);
    EXPECT_EQ(dx, 17);
    EXPECT_EQ(SliderPosFromThumbLeft(track, 20, 100 + dx, 0, 9), 9);
    EXPECT_EQ(SliderLimitDrag(track, 10, 30, -40), -10);
    EXPECT_EQ(SliderPosFromThumbLeft(track, 20, 0, 0, 9), 0);
    // Every thumb place maps back to the position that put it there.
    for (int k = 0; k <= 9; ++k) {
        EXPECT_EQ(SliderPosFromThumbLeft(track, 20, SliderThumbLeft(track, 20, k, 0, 9), 0, 9), k);
    }
}

TEST(SliderMapping, TrackClickMapsTravelEdgesToMinAndMax) {
    EXPECT_EQ(PosFromTravelX(10, 10, 110, 0, 255), 0);
    EXPECT_EQ(PosFromTravelX(110, 10, 110, 0, 255), 255);
    EXPECT_EQ(PosFromTravelX(60, 10, 110, 0, 100), 50);
    EXPECT_EQ(PosFromTravelX(-50, 10, 110, 1, 5), 1);
    EXPECT_EQ(PosFromTravelX(500, 10, 110, 1, 5), 5);
    EXPECT_EQ(PosFromTravelX(50, 10, 10, 1, 5), 1);  // zero-width travel
}

TEST(ProgressMapping, FillAndAcceptance) {
    EXPECT_EQ(ProgressFillWidth(0, 0, 100, 260), 0);
    EXPECT_EQ(ProgressFillWidth(100, 0, 100, 260), 260);
    EXPECT_EQ(ProgressFillWidth(50, 0, 100, 260), 130);
    EXPECT_EQ(ProgressFillWidth(150, 0, 100, 260), 260);  // never wider than the bar
    EXPECT_EQ(ProgressFillWidth(5, 5, 5, 260), 0);
    EXPECT_EQ(AcceptedOrMin(101, 0, 100), 0);
    EXPECT_EQ(AcceptedOrMin(-1, 0, 100), 0);
    EXPECT_EQ(AcceptedOrMin(100, 0, 100), 100);
}

TEST(ProgressMapping, DpiFillRunsAcrossTheBar) {
    EXPECT_EQ(DpiFillEdge(1, 1, 82, 4, 324), 4);
    EXPECT_EQ(DpiFillEdge(82, 1, 82, 4, 324), 324);
    EXPECT_EQ(DpiFillEdge(41, 1, 82, 4, 324), 320 * 40 / 81 + 4);
}

TEST(ScrollGeometry, PartsTileTheBarInOrder) {
    const ScrollInfo info{0, 99, 10, 45, -1};
    const ScrollLayout l = LayoutScrollBar(200, 18, info);
    EXPECT_EQ(l.arrow, 18);
    EXPECT_EQ(l.track, 164);
    EXPECT_EQ(l.thumb, 16);  // 10 * 164 / 100
    EXPECT_EQ(l.thumbOffset, 45 * (164 - 16) / 90);
    int end = 0;
    for (ScrollPart p : {ScrollPart::FirstArrow, ScrollPart::PageUp, ScrollPart::Thumb,
                         ScrollPart::PageDown, ScrollPart::SecondArrow}) {
        EXPECT_EQ(l.PartBegin(p), end);
        end = l.PartEnd(p);
    }
    EXPECT_EQ(end, 200);
    EXPECT_EQ(HitTestScrollBar(l, 0), ScrollPart::FirstArrow);
    EXPECT_EQ(HitTestScrollBar(l, 18), ScrollPart::PageUp);
    EXPECT_EQ(HitTestScrollBar(l, l.PartBegin(ScrollPart::Thumb)), ScrollPart::Thumb);
    EXPECT_EQ(HitTestScrollBar(l, 199), ScrollPart::SecondArrow);
    EXPECT_EQ(HitTestScrollBar(l, 200), ScrollPart::None);
}

TEST(ScrollGeometry, SmallBarsAndThumbLimits) {
    // Shorter than two arrows: each arrow takes half, no track and no thumb.
    const ScrollLayout tiny = LayoutScrollBar(30, 18, {0, 99, 10, 0, -1});
    EXPECT_EQ(tiny.arrow, 15);
    EXPECT_EQ(tiny.track, 0);
    EXPECT_EQ(tiny.thumb, 0);
    // A long range keeps the thumb at least 6 pixels long.
    EXPECT_EQ(LayoutScrollBar(200, 18, {0, 9999, 1, 0, -1}).thumb, 6);
    // While dragging, the track position places the thumb.
    const ScrollLayout dragged = LayoutScrollBar(200, 18, {0, 99, 10, 0, 90});
    EXPECT_EQ(dragged.thumbOffset, dragged.track - dragged.thumb);
}

TEST(ScrollGeometry, PageCoveringTheRangeHasNoThumbAndIsDisabled) {
    for (const ScrollInfo info : {ScrollInfo{0, 9, 10, 0, -1}, ScrollInfo{0, 4, 10, 0, -1}}) {
        const ScrollLayout l = LayoutScrollBar(200, 18, info);
        EXPECT_EQ(l.thumb, 0);
        EXPECT_FALSE(ScrollBarEnabled(info));
    }
    EXPECT_TRUE(ScrollBarEnabled({0, 10, 10, 0, -1}));
}

TEST(ScrollGeometry, ThumbDragIsProportionalAndLimited) {
    const ScrollInfo info{0, 99, 10, 0, -1};
    const ScrollLayout l = LayoutScrollBar(200, 18, info);
    const int room = l.track - l.thumb;
    EXPECT_EQ(ScrollPosFromDrag(l, info, 0, room), 90);
    EXPECT_EQ(ScrollPosFromDrag(l, info, 0, room * 3), 90);
    EXPECT_EQ(ScrollPosFromDrag(l, info, 40, -room), 0);
    EXPECT_EQ(ScrollPosFromDrag(l, info, 0, room / 2), (room / 2) * 90 / room);
}

TEST(NineSlice, PiecesCoverTheDestination) {
    const auto p = NineSlicePieces({10, 20, 126, 293}, 65, 65);
    EXPECT_EQ(p[0].dest, (Box{10, 20, 32, 32}));
    EXPECT_EQ(p[2].source, (Box{0, 33, 32, 32}));
    EXPECT_EQ(p[4].dest, (Box{94, 20, 32, 32}));
    EXPECT_EQ(p[8].dest, (Box{42, 52, 52, 209}));
    EXPECT_EQ(p[8].source, (Box{32, 32, 1, 1}));
    long area = 0;
    for (const auto& piece : p)
        area += static_cast<long>(piece.dest.width) * piece.dest.height;
    EXPECT_EQ(area, 116L * 273L);
}

TEST(NineSlice, NarrowDestinationsGetEmptyMiddlePieces) {
    const auto exact = NineSlicePieces({0, 0, 64, 64}, 65, 65);
    EXPECT_EQ(exact[3].dest.width, 0);
    EXPECT_EQ(exact[8].dest.width, 0);
    const auto narrow = NineSlicePieces({0, 0, 40, 40}, 65, 65);
    for (const auto& piece : narrow) {
        EXPECT_GE(piece.dest.width, 0);
        EXPECT_GE(piece.dest.height, 0);
    }
}

TEST(MenuLayout, TwelveItemMenuIs116By273) {
    EXPECT_EQ(MenuItemRect(0), (Rect{6, 6, 110, 28}));
    EXPECT_EQ(MenuItemRect(11), (Rect{6, 248, 110, 270}));
    EXPECT_EQ(MenuHeight(12), 273);
    EXPECT_EQ(kMenuWidth, 116);
    EXPECT_EQ(MenuItemTextRect(MenuItemRect(0)), (Rect{36, 6, 118, 28}));
    EXPECT_EQ(MenuIconBox(MenuItemRect(0), 19, 11), (Box{9, 11, 19, 11}));
}

TEST(Captions, IrregularCaptionShiftDependsOnLength) {
    EXPECT_EQ(IrrCaptionOrigin({100, 50}, 5), (Point{75, 44}));
    EXPECT_EQ(IrrCaptionOrigin({100, 50}, 6), (Point{87, 44}));
    EXPECT_EQ(IrrCaptionOrigin({100, 50}, 0), (Point{105, 44}));
}

TEST(Captions, BitmapCaptionBoxes) {
    const Rect client{0, 0, 66, 32};
    EXPECT_EQ(BitmapCaptionBox(client, 14, nullptr, false), (Rect{8, 9, 61, 32}));
    EXPECT_EQ(BitmapCaptionBox(client, 14, nullptr, true), (Rect{8, 9, 61, 32}));
    const Rect text{10, 4, 50, 20};
    EXPECT_EQ(BitmapCaptionBox(client, 14, &text, false), (Rect{15, 4, 45, 20}));
    EXPECT_EQ(BitmapCaptionBox(client, 14, &text, true), (Rect{16, 5, 46, 21}));
}

}  // namespace
}  // namespace q350::skin
