#include "viewer/SourceViewLayout.h"

#include "platform/qt/QtColor.h"
#include "viewer/text/RtfRange.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QTextLayout>
#include <algorithm>
#include <cmath>
#include <limits>

namespace {

// Enough laid-out lines for a few screens; more would only cost memory.
constexpr std::size_t kCachedLayouts = 512;
// QTextLayout's coordinates are fixed-point: keep the no-wrap width well
// inside their range.
constexpr qreal kNoWrapWidth = 4.0e6;

QColor Rgb(TColor color) {
    return ToQColor(color);
}

// Width of characters [FROM, TO) of one line in PITCH.
double CellsWidth(const TDocText& text, std::uint32_t from, std::uint32_t to,
                  const TFixedPitch& pitch) {
    double tabbed = 0;
    std::uint32_t cells = 0;
    for (std::uint32_t pos = from; pos < to; ++pos) {
        if (text[pos] == u'\t') {
            tabbed = NextTabStop(tabbed + cells * pitch.Char, pitch);
            cells = 0;
        } else {
            ++cells;
        }
    }
    return tabbed + cells * pitch.Char;
}

} // namespace

namespace viewer {

TSourceLayout::TSourceLayout() = default;
TSourceLayout::~TSourceLayout() = default;

void TSourceLayout::Reset(std::shared_ptr<const TViewDocument> doc, int dpi, const QColor& text) {
    doc_ = std::move(doc);
    dpi_ = dpi;
    textColor_ = text;
    cache_.clear();
    cached_.clear();
    widestMeasured_ = 0;
    const TRtfDocument& model = doc_->Model;
    defaultFont_ = DeviceFont(CodeFont(), dpi);
    fonts_.clear();
    fonts_.reserve(model.Formats.size());
    qreal ascent = QFontMetricsF(defaultFont_).ascent();
    qreal descent = QFontMetricsF(defaultFont_).descent();
    for (const TRtfCharFormat& f : model.Formats) {
        fonts_.push_back(DeviceFont(FontOf(model, f), dpi));
        const QFontMetricsF metrics(fonts_.back());
        ascent = std::max(ascent, metrics.ascent());
        descent = std::max(descent, metrics.descent());
    }
    // Whole pixels per line, so rows never blur or drift against each other.
    ascent_ = std::ceil(ascent);
    lineHeight_ = ascent_ + std::ceil(descent) + 1;
    // A document measured for another device keeps its cell lines when its
    // font is of fixed pitch at this size too; otherwise QTextLayout draws it.
    const TFixedPitch& measured = doc_->Lines.Pitch();
    pitch_ = measured;
    widest_ = doc_->Lines.Widest();
    if (doc_->Dpi != dpi) {
        pitch_ = measured.Char > 0 ? FixedPitchOf(model, dpi) : TFixedPitch{};
        // Cells and tab stops scale alike but for rounding: the larger share is kept.
        widest_ = pitch_.Char > 0
                      ? widest_ * std::max(pitch_.Char / measured.Char, pitch_.Tab / measured.Tab)
                      : 0;
    }
    lineEndMark_ = std::max<qreal>(3, QFontMetricsF(defaultFont_).horizontalAdvance(u' '));
}

QColor TSourceLayout::ColorOf(std::uint32_t format) const {
    const auto& formats = doc_->Model.Formats;
    if (format < formats.size() && formats[format].Color != kNoColor) {
        return Rgb(formats[format].Color);
    }
    return textColor_;
}

QColor TSourceLayout::BackgroundOf(std::uint32_t format) const {
    const auto& formats = doc_->Model.Formats;
    if (format < formats.size() && formats[format].Background != kNoColor) {
        return Rgb(formats[format].Background);
    }
    return {};
}

std::unique_ptr<QTextLayout> TSourceLayout::MakeLayout(std::uint32_t start,
                                                       std::uint32_t end) const {
    const TRtfDocument& model = doc_->Model;
    auto layout = std::make_unique<QTextLayout>(Characters(model.Text, start, end), defaultFont_);
    QList<QTextLayout::FormatRange> ranges;
    for (std::size_t r = RunAt(model, start); r < model.Runs.size() && model.Runs[r].Start < end;
         ++r) {
        const TRtfRun& run = model.Runs[r];
        if (run.Format >= model.Formats.size()) {
            continue;
        }
        const TRtfCharFormat& f = model.Formats[run.Format];
        const std::uint32_t from = std::max(run.Start, start);
        const std::uint32_t to = std::min(run.Start + run.Length, end);
        QTextCharFormat format;
        format.setFont(fonts_[run.Format], QTextCharFormat::FontPropertiesAll);
        format.setForeground(ColorOf(run.Format));
        if (f.Background != kNoColor) {
            format.setBackground(Rgb(f.Background));
        }
        if (f.Vertical != 0) {
            format.setVerticalAlignment(f.Vertical > 0 ? QTextCharFormat::AlignSuperScript
                                                       : QTextCharFormat::AlignSubScript);
        }
        ranges.append({static_cast<int>(from - start), static_cast<int>(to - from), format});
    }
    layout->setFormats(ranges);
    QTextOption option;
    option.setWrapMode(QTextOption::NoWrap);
    option.setTabStopDistance(model.DefaultTabTwips > 0 ? model.DefaultTabTwips / 1440.0 * dpi_
                                                        : 80);
    layout->setTextOption(option);
    layout->setCacheEnabled(true);
    layout->beginLayout();
    QTextLine textLine = layout->createLine();
    if (textLine.isValid()) {
        textLine.setLineWidth(kNoWrapWidth);
        textLine.setPosition(QPointF(0, 0));
    }
    layout->endLayout();
    return layout;
}

QTextLayout& TSourceLayout::Layout(std::size_t line) {
    auto found = cached_.find(line);
    if (found != cached_.end()) {
        cache_.splice(cache_.begin(), cache_, found->second);
        return *found->second->Layout;
    }
    auto layout = MakeLayout(doc_->Lines.Start(line), doc_->Lines.End(line));
    if (layout->lineCount() > 0) {
        widestMeasured_ = std::max(widestMeasured_, layout->lineAt(0).naturalTextWidth());
    }
    cache_.push_front({line, std::move(layout)});
    cached_[line] = cache_.begin();
    if (cache_.size() > kCachedLayouts) {
        cached_.erase(cache_.back().Line);
        cache_.pop_back();
    }
    return *cache_.front().Layout;
}

qreal TSourceLayout::LineHeight(std::size_t line) {
    if (IsCellLine(line)) {
        return lineHeight_;
    }
    const QTextLayout& layout = Layout(line);
    return layout.lineCount() > 0 ? std::max(std::ceil(layout.lineAt(0).height()), lineHeight_)
                                  : lineHeight_;
}

qreal TSourceLayout::X(std::size_t line, std::uint32_t position) {
    const std::uint32_t start = doc_->Lines.Start(line);
    position = std::clamp(position, start, doc_->Lines.End(line));
    if (IsCellLine(line)) {
        return CellsWidth(doc_->Model.Text, start, position, pitch_);
    }
    const QTextLayout& layout = Layout(line);
    return layout.lineCount() > 0 ? layout.lineAt(0).cursorToX(static_cast<int>(position - start))
                                  : 0;
}

std::uint32_t TSourceLayout::PositionAt(std::size_t line, qreal x) {
    const std::uint32_t start = doc_->Lines.Start(line);
    const std::uint32_t end = doc_->Lines.End(line);
    if (IsCellLine(line)) {
        const TDocText& text = doc_->Model.Text;
        qreal left = 0;
        for (std::uint32_t pos = start; pos < end; ++pos) {
            const qreal right = text[pos] == u'\t' ? NextTabStop(left, pitch_) : left + pitch_.Char;
            if (x < (left + right) / 2) {
                return pos;
            }
            left = right;
        }
        return end;
    }
    const QTextLayout& layout = Layout(line);
    if (layout.lineCount() == 0) {
        return start;
    }
    return start + static_cast<std::uint32_t>(std::max(
                       0, layout.lineAt(0).xToCursor(x, QTextLine::CursorBetweenCharacters)));
}

qreal TSourceLayout::Width(std::size_t line) {
    if (IsCellLine(line)) {
        return X(line, doc_->Lines.End(line));
    }
    const QTextLayout& layout = Layout(line);
    return layout.lineCount() > 0 ? layout.lineAt(0).naturalTextWidth() : 0;
}

void TSourceLayout::Paint(QPainter& painter, std::size_t line, QPointF origin, qreal clipLeft,
                          qreal clipRight, const TSelectionPaint& selection) {
    if (IsCellLine(line)) {
        PaintCells(painter, line, doc_->Lines.Start(line), doc_->Lines.End(line), 0, origin,
                   clipLeft, clipRight, selection);
    } else {
        PaintLaidOut(painter, line, origin, selection);
    }
    // A selection that goes on past the line's end shows a mark there.
    const std::uint32_t end = doc_->Lines.End(line);
    if (end < doc_->Lines.TextSize() && selection.From <= end && selection.To > end) {
        const qreal x = origin.x() + X(line, end);
        painter.fillRect(QRectF(x, origin.y(), lineEndMark_, LineHeight(line)),
                         selection.Background);
    }
}

// One fixed algorithm over the line's pieces: each piece is a stretch of one
// run, wholly selected or not, and either one tab or no tab at all.
void TSourceLayout::PaintCells(QPainter& painter, std::size_t line, std::uint32_t from,
                               std::uint32_t to, qreal xFrom, QPointF origin, qreal clipLeft,
                               qreal clipRight, const TSelectionPaint& selection) {
    const TRtfDocument& model = doc_->Model;
    const TDocText& text = model.Text;
    const std::uint32_t end = std::min(to, doc_->Lines.End(line));
    std::uint32_t pos = std::max(from, doc_->Lines.Start(line));
    std::size_t run = RunAt(model, pos);
    const qreal baseline = origin.y() + ascent_;
    const qreal cell = pitch_.Char;
    qreal x = xFrom;
    std::uint32_t fontFormat = UINT32_MAX;
    while (pos < end && origin.x() + x <= clipRight) {
        // The run holding POS, or none (a gap in the runs shows in the default format).
        while (run < model.Runs.size() && model.Runs[run].Start + model.Runs[run].Length <= pos) {
            ++run;
        }
        const bool inRun = run < model.Runs.size() && model.Runs[run].Start <= pos;
        const std::uint32_t format = inRun ? model.Runs[run].Format : UINT32_MAX;
        std::uint32_t pieceEnd =
            inRun ? std::min(end, model.Runs[run].Start + model.Runs[run].Length)
                  : (run < model.Runs.size() ? std::min(end, model.Runs[run].Start) : end);
        for (std::uint32_t bound : {selection.From, selection.To}) {
            if (bound > pos && bound < pieceEnd) {
                pieceEnd = bound;
            }
        }
        const bool tab = text[pos] == u'\t';
        if (tab) {
            pieceEnd = pos + 1;
        } else {
            pieceEnd = static_cast<std::uint32_t>(
                std::find(text.begin() + pos, text.begin() + pieceEnd, u'\t') - text.begin());
        }
        const qreal width = tab ? NextTabStop(x, pitch_) - x : (pieceEnd - pos) * cell;
        const qreal left = origin.x() + x;
        if (left + width >= clipLeft) {
            const bool selected = pos >= selection.From && pos < selection.To;
            const QColor background = selected ? selection.Background : BackgroundOf(format);
            if (background.isValid()) {
                painter.fillRect(QRectF(left, origin.y(), width, lineHeight_), background);
            }
            if (!tab) {
                // Only the cells in sight: a line may hold a million of them.
                const auto skip = static_cast<std::uint32_t>(
                    std::max<qreal>(0, std::floor((clipLeft - left) / cell)));
                const std::uint32_t first = std::min(pieceEnd, pos + skip);
                const qreal inSight =
                    std::max<qreal>(0, std::ceil((clipRight - left) / cell) + 1 - skip);
                const auto last =
                    static_cast<std::uint32_t>(std::min<qreal>(pieceEnd, first + inSight));
                if (format != fontFormat) {
                    painter.setFont(format < fonts_.size() ? fonts_[format] : defaultFont_);
                    fontFormat = format;
                }
                painter.setPen(selected ? selection.Foreground : ColorOf(format));
                if (first < last) {
                    painter.drawText(QPointF(left + (first - pos) * cell, baseline),
                                     Characters(text, first, last));
                }
            }
        }
        x += width;
        pos = pieceEnd;
    }
}

void TSourceLayout::PaintPart(QPainter& painter, std::size_t line, std::uint32_t from,
                              std::uint32_t to, qreal xFrom, QPointF topLeft) {
    const TSelectionPaint none;
    const QPointF origin(topLeft.x() - xFrom, topLeft.y());
    if (IsCellLine(line)) {
        // Ends at TO on its own: no clipping, which a printer pays for per row.
        PaintCells(painter, line, from, to, xFrom, origin, topLeft.x(),
                   std::numeric_limits<qreal>::max(), none);
        return;
    }
    // Only the piece's characters are drawn: text outside a clip would still
    // be found in a PDF.
    MakeLayout(from, to)->draw(&painter, topLeft);
}

void TSourceLayout::PaintLaidOut(QPainter& painter, std::size_t line, QPointF origin,
                                 const TSelectionPaint& selection) {
    QTextLayout& layout = Layout(line);
    const std::uint32_t start = doc_->Lines.Start(line);
    const std::uint32_t end = doc_->Lines.End(line);
    QList<QTextLayout::FormatRange> selections;
    const std::uint32_t from = std::max(selection.From, start);
    const std::uint32_t to = std::min(selection.To, end);
    if (from < to) {
        QTextCharFormat format;
        format.setBackground(selection.Background);
        format.setForeground(selection.Foreground);
        selections.append({static_cast<int>(from - start), static_cast<int>(to - from), format});
    }
    layout.draw(&painter, origin, selections);
}

} // namespace viewer
