#include "viewer/PageRenderer.h"

#include <QFontMetricsF>
#include <QPaintDevice>
#include <QPainter>
#include <algorithm>
#include <cmath>

namespace {

constexpr qreal kHeaderPoints = 8;

} // namespace

namespace viewer {

TPageRenderer::TPageRenderer(std::shared_ptr<const TViewDocument> doc, std::uint32_t from,
                             std::uint32_t to, QString title, QColor text, QColor background)
    : doc_(std::move(doc)), from_(from), to_(to), title_(std::move(title)), text_(text),
      background_(background) {
    to_ = std::min<std::uint32_t>(to_, static_cast<std::uint32_t>(doc_->Lines.TextSize()));
    from_ = std::min(from_, to_);
}

void TPageRenderer::Begin(const QPaintDevice& device) {
    const int dpi = device.logicalDpiY();
    layout_.Reset(doc_, device.logicalDpiX(), text_);
    QFont header("Liberation Sans");
    header.setStyleHint(QFont::SansSerif);
    header.setPointSizeF(kHeaderPoints);
    headerFont_ = DeviceFont(header, dpi);
    const QFontMetricsF metrics(headerFont_);
    headerBaseline_ = std::ceil(metrics.ascent());
    rule_ = std::ceil(metrics.height() + metrics.descent());
    const qreal top = rule_ + std::ceil(layout_.DefaultLineHeight() / 2);
    body_ = QRectF(0, top, device.width(), std::max<qreal>(1, device.height() - top));
    pages_.clear();
    const std::size_t line = doc_->Lines.LineOf(from_);
    // An empty stretch has no rows at all.
    next_ = from_ < to_ ? TCursor{line, from_, layout_.X(line, from_)}
                        : TCursor{doc_->Lines.Count(), to_, 0};
    used_ = 0;
    done_ = false;
}

std::uint32_t TPageRenderer::LineEnd(std::size_t line) const {
    return std::min(doc_->Lines.End(line), to_);
}

bool TPageRenderer::Row(const TCursor& at, std::uint32_t& end, qreal& endX) {
    const TLineIndex& lines = doc_->Lines;
    if (at.Line >= lines.Count()) {
        return false;
    }
    const std::uint32_t lineEnd = LineEnd(at.Line);
    const qreal limit = at.X + body_.width();
    end = at.Pos;
    endX = at.X;
    if (layout_.FixedPitch() && lines.IsCellLine(at.Line)) {
        // One pass over the row's characters, tabs at the line's own stops.
        const TDocText& text = doc_->Model.Text;
        const TFixedPitch& pitch = layout_.Pitch();
        while (end < lineEnd) {
            const qreal right = text[end] == u'\t' ? NextTabStop(endX, pitch) : endX + pitch.Char;
            if (right > limit && end > at.Pos) {
                break;
            }
            endX = right;
            ++end;
        }
        return true;
    }
    end = std::min(lineEnd, layout_.PositionAt(at.Line, limit));
    while (end > at.Pos + 1 && layout_.X(at.Line, end) > limit) {
        --end;
    }
    if (end <= at.Pos && at.Pos < lineEnd) {
        end = at.Pos + 1; // a character wider than the page still gets a row
    }
    endX = layout_.X(at.Line, end);
    return true;
}

TPageRenderer::TCursor TPageRenderer::Next(const TCursor& at, std::uint32_t end, qreal endX) const {
    if (end < LineEnd(at.Line)) {
        return {at.Line, end, endX};
    }
    const std::size_t line = at.Line + 1;
    // Past the stretch once the next line starts at or after its end.
    if (line >= doc_->Lines.Count() || doc_->Lines.Start(line) >= to_) {
        return {doc_->Lines.Count(), to_, 0};
    }
    return {line, doc_->Lines.Start(line), 0};
}

bool TPageRenderer::Paginate(const QDeadlineTimer& deadline) {
    int rows = 0;
    while (!done_) {
        // The clock is read every so many rows: a row costs far less.
        if (++rows % 256 == 0 && deadline.hasExpired()) {
            return false;
        }
        std::uint32_t end = 0;
        qreal endX = 0;
        if (!Row(next_, end, endX)) {
            done_ = true;
            break;
        }
        const qreal height = layout_.LineHeight(next_.Line);
        if (pages_.empty() || used_ + height > body_.height()) {
            pages_.push_back(next_);
            used_ = 0;
        }
        used_ += height;
        const TCursor after = Next(next_, end, endX);
        if (after.Line == next_.Line && after.Pos == next_.Pos) {
            done_ = true; // nothing more to place
            break;
        }
        next_ = after;
    }
    if (pages_.empty()) {
        pages_.push_back(next_);
    }
    return true;
}

double TPageRenderer::PaginationShare() const {
    if (done_) {
        return 1;
    }
    const double span = std::max<double>(1, to_ - from_);
    return std::clamp((static_cast<double>(next_.Pos) - from_) / span, 0.0, 1.0);
}

void TPageRenderer::PaintHeader(QPainter& painter, int page) {
    painter.setFont(headerFont_);
    painter.setPen(Qt::black);
    const QFontMetricsF metrics(headerFont_);
    const QString pageText = QString("Page %1 of %2").arg(page + 1).arg(PageCount());
    const qreal pageWidth = metrics.horizontalAdvance(pageText);
    const qreal gap = metrics.horizontalAdvance(u'M') * 2;
    const QString title = metrics.elidedText(title_, Qt::ElideMiddle,
                                             std::max<qreal>(0, body_.width() - pageWidth - gap));
    painter.drawText(QPointF(0, headerBaseline_), title);
    painter.drawText(QPointF(body_.width() - pageWidth, headerBaseline_), pageText);
    const qreal thin = std::max<qreal>(1, painter.device()->logicalDpiY() / 150.0);
    painter.fillRect(QRectF(0, rule_ - thin, body_.width(), thin), Qt::black);
}

void TPageRenderer::PaintPage(QPainter& painter, int page) {
    if (page < 0 || page >= PageCount()) {
        return;
    }
    PaintHeader(painter, page);
    if (background_.isValid() && background_ != Qt::white) {
        painter.fillRect(body_, background_); // as the view shows it
    }
    const bool last = page + 1 == PageCount();
    TCursor at = pages_[static_cast<std::size_t>(page)];
    const TCursor stop =
        last ? TCursor{doc_->Lines.Count(), to_, 0} : pages_[static_cast<std::size_t>(page) + 1];
    qreal y = body_.top();
    while (at.Line < stop.Line || (at.Line == stop.Line && at.Pos < stop.Pos)) {
        std::uint32_t end = 0;
        qreal endX = 0;
        if (!Row(at, end, endX)) {
            break;
        }
        if (end > at.Pos) {
            layout_.PaintPart(painter, at.Line, at.Pos, end, at.X, QPointF(body_.left(), y));
        }
        y += layout_.LineHeight(at.Line);
        const TCursor after = Next(at, end, endX);
        if (after.Line == at.Line && after.Pos == at.Pos) {
            break;
        }
        at = after;
    }
}

} // namespace viewer
