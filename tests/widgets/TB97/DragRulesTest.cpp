// The geometry of a drag, worked out by hand: which dock takes the toolbar at
// the edges of its widened rectangle for each side, the order docks are
// tried in, the floating outline held on the work area, the outline's shape
// and where a drop lands in dock coordinates.

#include "widgets/TB97/DragRules.h"

#include <gtest/gtest.h>

using namespace tb97;

namespace {

// Held a quarter along and a quarter down a 100 × 20 toolbar: of the 32
// pixels along, 8 go after the dock and 24 before; of the 20 across, 5 after
// and 15 before.
const TGrab kGrab{QPoint(25, 5), QSize(100, 20)};

// A top dock from x 100 to 499 and y 50 to 75. The toolbar is given 100 × 40
// in it, so it reaches the dock wherever the pointer's slack allows and the
// slack alone decides.
TDockCandidate TopDock() {
    return {dpTop, true, QRect(100, 50, 400, 26), QSize(100, 40)};
}

// An empty bottom dock along y = 400.
TDockCandidate BottomDock() {
    return {dpBottom, true, QRect(100, 400, 400, 0), QSize(100, 40)};
}

// Empty side docks along x = 100 and x = 600, y 76 to 375; the toolbar is
// 20 × 100 in them.
TDockCandidate LeftDock() {
    return {dpLeft, true, QRect(100, 76, 0, 300), QSize(20, 100)};
}
TDockCandidate RightDock() {
    return {dpRight, true, QRect(600, 76, 0, 300), QSize(20, 100)};
}

const QRect kWorkArea(0, 0, 800, 600);
constexpr int kFrame = 4;

} // namespace

TEST(DragRulesTest, PlacesTheSizeSoThePointerKeepsItsShareOfTheGrab) {
    // 25/100 of 120 = 30 across, 5/20 of 50 = 12.5, rounded away from zero.
    EXPECT_EQ(PlaceAtGrab(QPoint(400, 300), kGrab, QSize(120, 50)), QRect(370, 287, 120, 50));
    EXPECT_EQ(PlaceAtGrab(QPoint(400, 300), kGrab, QSize(100, 20)), QRect(375, 295, 100, 20));
    // A toolbar of no size keeps its corner at the pointer.
    EXPECT_EQ(PlaceAtGrab(QPoint(7, 9), TGrab{QPoint(3, 3), QSize(0, 0)}, QSize(10, 10)),
              QRect(7, 9, 10, 10));
}

TEST(DragRulesTest, TopDockTakesThePointerUpTo24BeforeAnd8AfterAlongAnd15Over5UnderAcross) {
    const TDockCandidate dock = TopDock();
    EXPECT_TRUE(DockAccepts(dock, QPoint(76, 60), kGrab));
    EXPECT_FALSE(DockAccepts(dock, QPoint(75, 60), kGrab));
    EXPECT_TRUE(DockAccepts(dock, QPoint(507, 60), kGrab));
    EXPECT_FALSE(DockAccepts(dock, QPoint(508, 60), kGrab));
    EXPECT_TRUE(DockAccepts(dock, QPoint(300, 35), kGrab));
    EXPECT_FALSE(DockAccepts(dock, QPoint(300, 34), kGrab));
    EXPECT_TRUE(DockAccepts(dock, QPoint(300, 80), kGrab));
    EXPECT_FALSE(DockAccepts(dock, QPoint(300, 81), kGrab));
}

TEST(DragRulesTest, SlackFollowsTheGrabPoint) {
    // Held at its last pixel: all 32 pixels after the dock, none before.
    const TGrab rightEnd{QPoint(99, 5), QSize(100, 20)};
    const TDockCandidate dock = TopDock();
    EXPECT_TRUE(DockAccepts(dock, QPoint(531, 60), rightEnd));
    EXPECT_FALSE(DockAccepts(dock, QPoint(532, 60), rightEnd));
    EXPECT_TRUE(DockAccepts(dock, QPoint(100, 60), rightEnd));
    EXPECT_FALSE(DockAccepts(dock, QPoint(99, 60), rightEnd));
}

TEST(DragRulesTest, ToolbarMustStillReachTheDock) {
    // A thin toolbar (100 × 20, held 5 down) above the dock: at y = 35 the
    // pointer is within the slack but the toolbar ends at y = 49.
    TDockCandidate dock = TopDock();
    dock.BarSize = QSize(100, 20);
    EXPECT_FALSE(DockAccepts(dock, QPoint(300, 35), kGrab));
    EXPECT_TRUE(DockAccepts(dock, QPoint(300, 36), kGrab));
}

TEST(DragRulesTest, EmptyBottomDockCountsAsOnePixelThick) {
    // y = 400 widened by 15 above and 5 below.
    const TDockCandidate dock = BottomDock();
    EXPECT_TRUE(DockAccepts(dock, QPoint(300, 385), kGrab));
    EXPECT_FALSE(DockAccepts(dock, QPoint(300, 384), kGrab));
    EXPECT_TRUE(DockAccepts(dock, QPoint(300, 405), kGrab));
    EXPECT_FALSE(DockAccepts(dock, QPoint(300, 406), kGrab));
}

TEST(DragRulesTest, SideDocksTakeThePointerOnlyAlongTheirLength) {
    for (const TDockCandidate& dock : {LeftDock(), RightDock()}) {
        SCOPED_TRACE(dock.Position);
        const int x = dock.ScreenRect.left();
        // Across: the 20-wide toolbar, held 5 from its left, reaches the
        // one-pixel dock with the pointer from x − 14 to x + 5 (inside the
        // 24/8 slack).
        EXPECT_TRUE(DockAccepts(dock, QPoint(x - 14, 200), kGrab));
        EXPECT_FALSE(DockAccepts(dock, QPoint(x - 15, 200), kGrab));
        EXPECT_TRUE(DockAccepts(dock, QPoint(x + 5, 200), kGrab));
        EXPECT_FALSE(DockAccepts(dock, QPoint(x + 6, 200), kGrab));
        // Along: no slack at all.
        EXPECT_TRUE(DockAccepts(dock, QPoint(x, 76), kGrab));
        EXPECT_FALSE(DockAccepts(dock, QPoint(x, 75), kGrab));
        EXPECT_TRUE(DockAccepts(dock, QPoint(x, 375), kGrab));
        EXPECT_FALSE(DockAccepts(dock, QPoint(x, 376), kGrab));
    }
}

TEST(DragRulesTest, WideSideDockIsLimitedByTheSlackAcross) {
    // A 26-wide left dock from x 100 to 125 with a 60-wide toolbar in it.
    TDockCandidate dock = LeftDock();
    dock.ScreenRect.setWidth(26);
    dock.BarSize = QSize(60, 100);
    EXPECT_TRUE(DockAccepts(dock, QPoint(76, 200), kGrab));
    EXPECT_FALSE(DockAccepts(dock, QPoint(75, 200), kGrab));
    EXPECT_TRUE(DockAccepts(dock, QPoint(133, 200), kGrab));
    EXPECT_FALSE(DockAccepts(dock, QPoint(134, 200), kGrab));
}

TEST(DragRulesTest, TopAndBottomDocksComeBeforeSideDocks) {
    // Both the left dock (first in the list) and the top dock take the pointer.
    TDockCandidate left = LeftDock();
    left.ScreenRect = QRect(100, 50, 26, 300);
    const std::vector<TDockCandidate> docks{left, TopDock(), RightDock(), BottomDock()};
    const QPoint cursor(110, 60);
    ASSERT_TRUE(DockAccepts(docks[0], cursor, kGrab));
    const TDragTarget target =
        ChooseTarget(docks, {cursor, false, true}, kGrab, QSize(120, 50), kWorkArea, kFrame);
    EXPECT_EQ(target.Dock, 1);
    EXPECT_EQ(target.Outline, QRect(85, 50, 100, 40)); // 25 and 10 back from the pointer
}

TEST(DragRulesTest, FirstAcceptingDockInOrderWins) {
    // Two top docks on top of each other: the earlier one.
    const std::vector<TDockCandidate> docks{TopDock(), TopDock()};
    EXPECT_EQ(ChooseTarget(docks, {QPoint(300, 60), false, true}, kGrab, QSize(120, 50), kWorkArea,
                           kFrame)
                  .Dock,
              0);
}

TEST(DragRulesTest, CanDockLeftRightOffKeepsSideDocksOut) {
    const std::vector<TDockCandidate> docks{TopDock(), LeftDock(), RightDock()};
    EXPECT_EQ(ChooseTarget(docks, {QPoint(100, 200), false, true}, kGrab, QSize(120, 50), kWorkArea,
                           kFrame)
                  .Dock,
              1);
    EXPECT_EQ(ChooseTarget(docks, {QPoint(600, 200), false, true}, kGrab, QSize(120, 50), kWorkArea,
                           kFrame)
                  .Dock,
              2);
    const TDragTarget off = ChooseTarget(docks, {QPoint(100, 200), false, false}, kGrab,
                                         QSize(120, 50), kWorkArea, kFrame);
    EXPECT_EQ(off.Dock, -1);
    EXPECT_EQ(off.Outline, QRect(70, 187, 120, 50));
    // The top dock still takes it.
    EXPECT_EQ(ChooseTarget(docks, {QPoint(300, 60), false, false}, kGrab, QSize(120, 50), kWorkArea,
                           kFrame)
                  .Dock,
              0);
}

TEST(DragRulesTest, DockThatDoesNotAllowDraggingIsPassedOver) {
    TDockCandidate closed = TopDock();
    closed.AllowDrag = false;
    TDockCandidate open = TopDock();
    const std::vector<TDockCandidate> docks{closed, open};
    EXPECT_EQ(ChooseTarget(docks, {QPoint(300, 60), false, true}, kGrab, QSize(120, 50), kWorkArea,
                           kFrame)
                  .Dock,
              1);
    EXPECT_EQ(ChooseTarget({closed}, {QPoint(300, 60), false, true}, kGrab, QSize(120, 50),
                           kWorkArea, kFrame)
                  .Dock,
              -1);
}

TEST(DragRulesTest, ForbiddenDockingFloatsOverAnyDock) {
    const std::vector<TDockCandidate> docks{TopDock(), LeftDock()};
    for (const QPoint cursor : {QPoint(300, 60), QPoint(100, 200)}) {
        const TDragTarget target =
            ChooseTarget(docks, {cursor, true, true}, kGrab, QSize(120, 50), kWorkArea, kFrame);
        EXPECT_EQ(target.Dock, -1);
        EXPECT_EQ(target.Outline, QRect(cursor - QPoint(30, 13), QSize(120, 50)));
    }
}

TEST(DragRulesTest, FloatingOutlineStaysEightPixelsInsideTheWorkArea) {
    const QSize size(120, 50);
    // Within: placed at the grab point.
    EXPECT_EQ(FloatingOutline(QPoint(400, 300), kGrab, size, kWorkArea, kFrame),
              QRect(370, 287, 120, 50));
    // Far up and left: the pointer is held at 0,0 and the outline at 8,8.
    EXPECT_EQ(FloatingOutline(QPoint(-100, -100), kGrab, size, kWorkArea, kFrame),
              QRect(8, 8, 120, 50));
    // Far down and right: right edge at 791, bottom edge at 591.
    EXPECT_EQ(FloatingOutline(QPoint(2000, 2000), kGrab, size, kWorkArea, kFrame),
              QRect(672, 542, 120, 50));
    // Just touching the margins: left at 8, top at 8 exactly.
    EXPECT_EQ(FloatingOutline(QPoint(38, 21), kGrab, size, kWorkArea, kFrame),
              QRect(8, 8, 120, 50));
    EXPECT_EQ(FloatingOutline(QPoint(37, 20), kGrab, size, kWorkArea, kFrame),
              QRect(8, 8, 120, 50));
    // A work area that does not start at 0,0 (a panel at the left and top).
    EXPECT_EQ(FloatingOutline(QPoint(0, 0), kGrab, size, QRect(64, 30, 736, 570), kFrame),
              QRect(72, 38, 120, 50));
    // Wider than the work area: the left edge stays in.
    EXPECT_EQ(FloatingOutline(QPoint(400, 300), kGrab, QSize(900, 50), kWorkArea, kFrame).left(),
              8);
}

TEST(DragRulesTest, OutlineIsAFrameOfTheGivenThickness) {
    const QRegion frame = OutlineRegion(QRect(10, 10, 20, 10), 4);
    EXPECT_TRUE(frame.contains(QPoint(10, 10)));
    EXPECT_TRUE(frame.contains(QPoint(13, 13)));
    EXPECT_FALSE(frame.contains(QPoint(14, 14)));
    EXPECT_FALSE(frame.contains(QPoint(25, 15)));
    EXPECT_TRUE(frame.contains(QPoint(26, 14)));
    EXPECT_TRUE(frame.contains(QPoint(29, 19)));
    EXPECT_FALSE(frame.contains(QPoint(30, 19)));
    int area = 0;
    for (const QRect& r : frame) {
        area += r.width() * r.height();
    }
    EXPECT_EQ(area, 20 * 10 - 12 * 2);
    // Too thin for a hole: all of it.
    EXPECT_EQ(OutlineRegion(QRect(0, 0, 8, 30), 4), QRegion(0, 0, 8, 30));
    EXPECT_TRUE(OutlineRegion(QRect(), 1).isEmpty());
    EXPECT_TRUE(OutlineRegion(QRect(0, 0, 5, 5), 0).isEmpty());
}

TEST(DragRulesTest, DropPlaceIsTheCentreAcrossAndTheLeadingEdgeAlong) {
    // A horizontal dock at 100,50 with a bound line at its top.
    const TDropPlace h =
        DropPlace(QRect(150, 60, 100, 26), false, QPoint(100, 50), QPoint(100, 51));
    EXPECT_EQ(h.Across, 23); // 60 + 13 − 50
    EXPECT_EQ(h.Along, 50);
    // A vertical dock at 0,80; the outline left of it gives a negative
    // position, which the dock's arrangement moves up to 0.
    const TDropPlace v = DropPlace(QRect(3, 70, 26, 91), true, QPoint(0, 80), QPoint(0, 80));
    EXPECT_EQ(v.Across, 16);
    EXPECT_EQ(v.Along, -10);
}
