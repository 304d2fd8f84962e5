#include "widgets/TB97/DragRules.h"

#include "platform/MulDiv.h"

#include <algorithm>

namespace tb97 {

namespace {

// The share of SLACK that goes after the dock: as much of it as the grab
// point lies along the toolbar (a toolbar held at its right end may be
// dragged further right of the dock and still reach it).
int SlackAfter(int slack, int grab, int length) {
    return length > 0 ? MulDiv(slack, std::clamp(grab, 0, length), length) : slack / 2;
}

bool IsSide(TDockPosition position) {
    return position == dpLeft || position == dpRight;
}

} // namespace

QRect KeptInside(QRect r, const QRect& area) {
    if (r.right() > area.right()) {
        r.moveRight(area.right());
    }
    if (r.bottom() > area.bottom()) {
        r.moveBottom(area.bottom());
    }
    if (r.left() < area.left()) {
        r.moveLeft(area.left());
    }
    if (r.top() < area.top()) {
        r.moveTop(area.top());
    }
    return r;
}

QRect PlaceAtGrab(QPoint cursor, const TGrab& grab, QSize size) {
    const int w = grab.BarSize.width();
    const int h = grab.BarSize.height();
    const int dx = w > 0 ? MulDiv(grab.Point.x(), size.width(), w) : 0;
    const int dy = h > 0 ? MulDiv(grab.Point.y(), size.height(), h) : 0;
    return QRect(cursor - QPoint(dx, dy), size);
}

bool DockAccepts(const TDockCandidate& dock, QPoint cursor, const TGrab& grab) {
    const bool side = IsSide(dock.Position);
    QRect d = dock.ScreenRect;
    if (side && d.width() <= 0) {
        d.setWidth(1);
    } else if (!side && d.height() <= 0) {
        d.setHeight(1);
    }
    if (d.isEmpty()) {
        return false; // no length at all: nothing to drop on
    }
    const int afterX = SlackAfter(kDockSlackAlong, grab.Point.x(), grab.BarSize.width());
    const int beforeX = kDockSlackAlong - afterX;
    if (cursor.x() < d.left() - beforeX || cursor.x() > d.right() + afterX) {
        return false;
    }
    if (side) {
        if (cursor.y() < d.top() || cursor.y() > d.bottom()) {
            return false;
        }
    } else {
        const int afterY = SlackAfter(kDockSlackAcross, grab.Point.y(), grab.BarSize.height());
        const int beforeY = kDockSlackAcross - afterY;
        if (cursor.y() < d.top() - beforeY || cursor.y() > d.bottom() + afterY) {
            return false;
        }
    }
    return PlaceAtGrab(cursor, grab, dock.BarSize).intersects(d);
}

QRect FloatingOutline(QPoint cursor, const TGrab& grab, QSize floatSize, const QRect& workArea,
                      int frame) {
    const QPoint held(std::clamp(cursor.x(), workArea.left(), workArea.right()),
                      std::clamp(cursor.y(), workArea.top(), workArea.bottom()));
    const int margin = frame + kWorkAreaMargin;
    return KeptInside(PlaceAtGrab(held, grab, floatSize),
                      workArea.adjusted(margin, margin, -margin, -margin));
}

TDragTarget ChooseTarget(const std::vector<TDockCandidate>& docks, const TDragInput& input,
                         const TGrab& grab, QSize floatSize, const QRect& workArea, int frame) {
    if (!input.ForbidDocking) {
        for (const bool sides : {false, true}) {
            if (sides && !input.CanDockLeftRight) {
                break;
            }
            for (size_t i = 0; i < docks.size(); ++i) {
                const TDockCandidate& dock = docks[i];
                if (IsSide(dock.Position) == sides && dock.AllowDrag &&
                    DockAccepts(dock, input.Cursor, grab)) {
                    return {static_cast<int>(i), PlaceAtGrab(input.Cursor, grab, dock.BarSize)};
                }
            }
        }
    }
    return {-1, FloatingOutline(input.Cursor, grab, floatSize, workArea, frame)};
}

QRegion OutlineRegion(const QRect& rect, int thickness) {
    if (rect.isEmpty() || thickness <= 0) {
        return {};
    }
    if (rect.width() <= 2 * thickness || rect.height() <= 2 * thickness) {
        return QRegion(rect);
    }
    const int inner = rect.height() - 2 * thickness;
    QRegion region(rect.left(), rect.top(), rect.width(), thickness);
    region += QRect(rect.left(), rect.top() + thickness, thickness, inner);
    region += QRect(rect.right() - thickness + 1, rect.top() + thickness, thickness, inner);
    region += QRect(rect.left(), rect.bottom() - thickness + 1, rect.width(), thickness);
    return region;
}

TDropPlace DropPlace(const QRect& outline, bool vertical, QPoint dockScreen, QPoint clientScreen) {
    if (vertical) {
        return {outline.left() + outline.width() / 2 - dockScreen.x(),
                outline.top() - clientScreen.y()};
    }
    return {outline.top() + outline.height() / 2 - dockScreen.y(),
            outline.left() - clientScreen.x()};
}

} // namespace tb97
