#pragma once
// Measuring and drawing the lines of a view document. Lines of cells in a
// fixed-pitch document are placed by arithmetic and drawn run by run; every
// other line is laid out by QTextLayout when first needed and kept in a small
// cache.

#include "viewer/SourceViewDocument.h"

#include <QColor>
#include <QFont>
#include <QPointF>
#include <cstdint>
#include <list>
#include <memory>
#include <unordered_map>
#include <vector>

class QPainter;
class QTextLayout;

namespace viewer {

struct TSelectionPaint {
    std::uint32_t From = 0; // selected characters [From, To)
    std::uint32_t To = 0;
    QColor Background;
    QColor Foreground;
};

class TSourceLayout {
public:
    TSourceLayout();
    ~TSourceLayout();

    // Starts over with DOC at DPI; TEXT is the colour of runs without one. A
    // DPI other than the document's (a zoomed view, a printer) measures the
    // cell pitch again.
    void Reset(std::shared_ptr<const TViewDocument> doc, int dpi, const QColor& text);
    void SetTextColor(const QColor& text) { textColor_ = text; }

    // True when the document's lines of cells take the arithmetic path.
    bool FixedPitch() const { return pitch_.Char > 0; }
    const TFixedPitch& Pitch() const { return pitch_; }
    qreal DefaultLineHeight() const { return lineHeight_; }
    // Distance from a line's top to its baseline.
    qreal Ascent() const { return ascent_; }
    const QFont& DefaultFont() const { return defaultFont_; }
    // The widest line of the document's line index at this DPI.
    qreal Widest() const { return widest_; }
    qreal LineHeight(std::size_t line);
    // X of the caret before POSITION (inside LINE), from the line's left.
    qreal X(std::size_t line, std::uint32_t position);
    // The caret position nearest to X in LINE.
    std::uint32_t PositionAt(std::size_t line, qreal x);
    // Width of the line's text.
    qreal Width(std::size_t line);
    // Width of the mark shown for a selected line end.
    qreal LineEndMark() const { return lineEndMark_; }

    // Draws LINE with its top-left at ORIGIN; only what lies between CLIPLEFT
    // and CLIPRIGHT needs to be drawn.
    void Paint(QPainter& painter, std::size_t line, QPointF origin, qreal clipLeft, qreal clipRight,
               const TSelectionPaint& selection);
    // Draws characters [FROM, TO) of LINE, FROM lying XFROM from the line's
    // left, at TOPLEFT: a piece of a line wrapped onto several rows.
    void PaintPart(QPainter& painter, std::size_t line, std::uint32_t from, std::uint32_t to,
                   qreal xFrom, QPointF topLeft);

    // Widest line measured since the last reset (lines laid out by QTextLayout).
    qreal WidestMeasured() const { return widestMeasured_; }

private:
    bool IsCellLine(std::size_t line) const { return FixedPitch() && doc_->Lines.IsCellLine(line); }
    QTextLayout& Layout(std::size_t line);
    // Characters [START, END) of one line laid out on one row.
    std::unique_ptr<QTextLayout> MakeLayout(std::uint32_t start, std::uint32_t end) const;
    QColor ColorOf(std::uint32_t format) const;
    QColor BackgroundOf(std::uint32_t format) const;
    // Characters [FROM, TO) of a cell line, FROM lying XFROM from ORIGIN.
    void PaintCells(QPainter& painter, std::size_t line, std::uint32_t from, std::uint32_t to,
                    qreal xFrom, QPointF origin, qreal clipLeft, qreal clipRight,
                    const TSelectionPaint& selection);
    void PaintLaidOut(QPainter& painter, std::size_t line, QPointF origin,
                      const TSelectionPaint& selection);

    std::shared_ptr<const TViewDocument> doc_;
    int dpi_ = 96;
    QColor textColor_;
    TFixedPitch pitch_;
    qreal lineHeight_ = 0;
    qreal ascent_ = 0;
    qreal lineEndMark_ = 4;
    qreal widestMeasured_ = 0;
    qreal widest_ = 0;
    std::vector<QFont> fonts_; // per format, at the device size
    QFont defaultFont_;

    // Laid-out lines, the most recently used first.
    struct TCached {
        std::size_t Line;
        std::unique_ptr<QTextLayout> Layout;
    };
    std::list<TCached> cache_;
    std::unordered_map<std::size_t, std::list<TCached>::iterator> cached_;
};

} // namespace viewer
