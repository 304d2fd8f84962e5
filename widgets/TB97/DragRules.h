#pragma once
// The geometry of dragging a toolbar, free of windows and events: where the
// outline goes for the pointer, which dock takes the toolbar, and how the
// floating outline is kept on the work area. ToolbarDrag feeds these with the
// form's docks and draws what they return.

#include "widgets/TB97/Dock97.h"

#include <QPoint>
#include <QRect>
#include <QRegion>
#include <QSize>
#include <vector>

namespace tb97 {

// How far beyond a dock's ends (along the first axis) and beyond its sides
// (across) the pointer may be and the dock still takes the toolbar. Each is
// shared between the two sides in proportion to the grab point.
constexpr int kDockSlackAlong = 32;
constexpr int kDockSlackAcross = 20;
// The floating outline keeps this far inside the work area, besides the frame.
constexpr int kWorkAreaMargin = 4;

// What the drag knows of one dock of the form.
struct TDockCandidate {
    TDockPosition Position = dpTop;
    bool AllowDrag = true;
    QRect ScreenRect; // the dock on the screen
    QSize BarSize;    // the toolbar's size in this dock
};

// The grab point and the toolbar's size when the drag began.
struct TGrab {
    QPoint Point; // relative to the toolbar
    QSize BarSize;
};

// R moved inside AREA: right and bottom edges first, so that a rectangle
// larger than the area keeps its left and top edges in it.
QRect KeptInside(QRect r, const QRect& area);

// SIZE placed so that CURSOR lies at the same fraction of it as the grab
// point lies of the toolbar.
QRect PlaceAtGrab(QPoint cursor, const TGrab& grab, QSize size);

// Whether DOCK takes the toolbar with the pointer at CURSOR: the pointer within
// the dock widened by kDockSlackAlong horizontally and kDockSlackAcross
// vertically (a side dock: not widened vertically at all), each split before
// and after the dock in proportion to the grab point, and the toolbar, placed
// at the grab point in its size for the dock, overlapping the dock. A dock of
// no thickness counts as one pixel thick.
bool DockAccepts(const TDockCandidate& dock, QPoint cursor, const TGrab& grab);

// The floating outline for the pointer at CURSOR: the pointer held inside
// WORKAREA, the outline of FLOATSIZE placed at the grab point and kept inside
// the work area less FRAME + kWorkAreaMargin on every side.
QRect FloatingOutline(QPoint cursor, const TGrab& grab, QSize floatSize, const QRect& workArea,
                      int frame);

// Where the toolbar would go: DOCK is an index into the docks (−1 floating)
// and OUTLINE the rectangle to show.
struct TDragTarget {
    int Dock = -1;
    QRect Outline;
    bool operator==(const TDragTarget&) const = default;
};

struct TDragInput {
    QPoint Cursor;
    bool ForbidDocking = false; // Ctrl held
    bool CanDockLeftRight = true;
};

// Tries the top and bottom docks in the order given, then the left and right
// ones (only with CanDockLeftRight), and takes the first that allows dragging
// and accepts the toolbar; with none (or docking forbidden) the toolbar floats.
TDragTarget ChooseTarget(const std::vector<TDockCandidate>& docks, const TDragInput& input,
                         const TGrab& grab, QSize floatSize, const QRect& workArea, int frame);

// The outline as a frame THICKNESS pixels wide inside RECT (RECT itself when
// it is too thin to have a hole).
QRegion OutlineRegion(const QRect& rect, int thickness);

// Where a toolbar dropped as OUTLINE on a dock goes: the row by the dock's
// drop-row rule for the outline's centre across the dock, and the position
// along it, both in dock coordinates. DOCKSCREEN is the dock's top-left on the
// screen, CLIENTSCREEN that of its client area (inside its bound lines).
struct TDropPlace {
    int Across; // the outline's centre across the dock
    int Along;  // its left (top in a side dock), from the client area's start
};
TDropPlace DropPlace(const QRect& outline, bool vertical, QPoint dockScreen, QPoint clientScreen);

} // namespace tb97
