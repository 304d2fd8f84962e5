#pragma once
// A toolbar's two axes: along its rows and across them. A horizontal or
// floating toolbar's rows run along x, a vertical one's along y; the layout
// rules speak of the two axes only, and these pick the coordinate each one
// means for points, sizes and rectangles.

#include "widgets/TB97/TB97Common.h"

#include <QPoint>
#include <QRect>
#include <QSize>

namespace tb97 {

class TBarAxes {
public:
    explicit TBarAxes(TBarOrientation orientation)
        : vertical_(orientation == TBarOrientation::kVertical) {}

    int Along(QPoint p) const { return vertical_ ? p.y() : p.x(); }
    int Across(QPoint p) const { return vertical_ ? p.x() : p.y(); }
    int Along(QSize s) const { return vertical_ ? s.height() : s.width(); }
    int Across(QSize s) const { return vertical_ ? s.width() : s.height(); }
    // Where R ends along the row (exclusive).
    int AlongEnd(const QRect& r) const { return Along(r.topLeft()) + Along(r.size()); }

    QSize Size(int along, int across) const {
        return vertical_ ? QSize(across, along) : QSize(along, across);
    }
    QRect Rect(int along, int across, QSize size) const {
        return QRect(vertical_ ? QPoint(across, along) : QPoint(along, across), size);
    }

private:
    bool vertical_;
};

} // namespace tb97
