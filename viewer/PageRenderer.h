#pragma once
// A document laid out on pages: the lines of a stretch of its text, wrapped at
// the page's right edge, drawn by the view's own line painter at the device's
// resolution, under a header with the file's name and "Page N of M".
// Pagination goes a slice at a time, so a large document never holds up the
// event loop for long.

#include "viewer/SourceViewDocument.h"
#include "viewer/SourceViewLayout.h"

#include <QColor>
#include <QDeadlineTimer>
#include <QFont>
#include <QRectF>
#include <QString>
#include <cstdint>
#include <memory>
#include <vector>

class QPaintDevice;
class QPainter;

namespace viewer {

class TPageRenderer {
public:
    // Characters [FROM, TO) of DOC; TEXT is the colour of runs without one,
    // BACKGROUND the colour behind the text.
    TPageRenderer(std::shared_ptr<const TViewDocument> doc, std::uint32_t from, std::uint32_t to,
                  QString title, QColor text, QColor background);

    // Measures for DEVICE: its resolution and the size it can paint on.
    void Begin(const QPaintDevice& device);
    // Goes on laying out rows until done or DEADLINE; true when done.
    bool Paginate(const QDeadlineTimer& deadline);
    // How far pagination has come, from 0 to 1.
    double PaginationShare() const;
    // Pages so far; at least 1 once pagination is done (an empty stretch
    // prints as a page with its header).
    int PageCount() const { return static_cast<int>(pages_.size()); }
    // Draws page PAGE (from 0) with PAINTER, which paints on the device Begin measured.
    void PaintPage(QPainter& painter, int page);

private:
    // Where a row starts: a line, a position in it, and that position's x from
    // the line's left.
    struct TCursor {
        std::size_t Line = 0;
        std::uint32_t Pos = 0;
        qreal X = 0;
    };
    // The row at AT: its end goes to END, its end's x to ENDX. False past the stretch.
    bool Row(const TCursor& at, std::uint32_t& end, qreal& endX);
    // The row after the one at AT ending at END.
    TCursor Next(const TCursor& at, std::uint32_t end, qreal endX) const;
    std::uint32_t LineEnd(std::size_t line) const;
    void PaintHeader(QPainter& painter, int page);

    std::shared_ptr<const TViewDocument> doc_;
    std::uint32_t from_;
    std::uint32_t to_;
    QString title_;
    QColor text_;
    QColor background_;
    TSourceLayout layout_;
    QFont headerFont_;
    QRectF body_; // where rows go, device pixels
    qreal headerBaseline_ = 0;
    qreal rule_ = 0;             // y of the line under the header
    std::vector<TCursor> pages_; // the first row of each page
    TCursor next_;               // where pagination goes on
    qreal used_ = 0;             // height used on the last page so far
    bool done_ = false;
};

} // namespace viewer
