#include "widgets/TB97/TB97Common.h"

#include "platform/qt/QtColor.h"
#include "widgets/TB97/TB97Tables.h"

#include <QPainter>

namespace tb97 {

namespace {

// One ring on R's border. Top runs to right - 2 and left to bottom - 2; the
// dark bottom and right lines run the whole way and take the corners.
void DrawRing(QPainter& painter, const QRect& r, const TEdgeRing& ring, unsigned flags) {
    const int left = r.left();
    const int top = r.top();
    const int right = r.left() + r.width() - 1;
    const int bottom = r.top() + r.height() - 1;
    if (ring.LightSide != 0) {
        const QColor light = ToQColor(ring.LightSide);
        if ((flags & BF_TOP) != 0 && right > left) {
            painter.fillRect(QRect(left, top, right - left, 1), light);
        }
        if ((flags & BF_LEFT) != 0 && bottom > top) {
            painter.fillRect(QRect(left, top, 1, bottom - top), light);
        }
    }
    if (ring.DarkSide != 0) {
        const QColor dark = ToQColor(ring.DarkSide);
        if ((flags & BF_BOTTOM) != 0) {
            painter.fillRect(QRect(left, bottom, right - left + 1, 1), dark);
        }
        if ((flags & BF_RIGHT) != 0) {
            painter.fillRect(QRect(right, top, 1, bottom - top + 1), dark);
        }
    }
}

// R less one pixel on each side named in FLAGS.
QRect Shrunk(const QRect& r, unsigned flags) {
    return r.adjusted((flags & BF_LEFT) != 0 ? 1 : 0, (flags & BF_TOP) != 0 ? 1 : 0,
                      (flags & BF_RIGHT) != 0 ? -1 : 0, (flags & BF_BOTTOM) != 0 ? -1 : 0);
}

} // namespace

void DrawEdge(QPainter& painter, const QRect& r, unsigned edge, unsigned flags) {
    if (r.isEmpty()) {
        return;
    }
    const bool soft = (flags & BF_SOFT) != 0;
    const unsigned outer = edge & 0x3u;
    const unsigned inner = (edge >> 2) & 0x3u;
    QRect rest = r;
    if (outer != 0) {
        DrawRing(painter, rest, soft ? kOuterRingSoft[outer] : kOuterRing[outer], flags);
        rest = Shrunk(rest, flags);
    }
    if (inner != 0 && !rest.isEmpty()) {
        DrawRing(painter, rest, soft ? kInnerRingSoft[inner] : kInnerRing[inner], flags);
        rest = Shrunk(rest, flags);
    }
    if ((flags & BF_MIDDLE) != 0 && !rest.isEmpty()) {
        painter.fillRect(rest, ToQColor(clBtnFace));
    }
}

void SetPixel(QPainter& painter, int x, int y, TColor color) {
    painter.fillRect(QRect(x, y, 1, 1), ToQColor(color));
}

} // namespace tb97
