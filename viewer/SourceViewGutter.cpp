#include "viewer/SourceViewGutter.h"

#include "platform/qt/QtColor.h"
#include "viewer/RichEdit.h"

#include <QFontMetricsF>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>
#include <cmath>

namespace {

int Digits(std::size_t number) {
    int digits = 1;
    for (; number >= 10; number /= 10) {
        ++digits;
    }
    return digits;
}

} // namespace

namespace viewer {

TLineNumberGutter::TLineNumberGutter(TRichEdit& view) : QWidget(&view), view_(view) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAccessibleName("Line numbers");
    connect(view.verticalScrollBar(), &QScrollBar::valueChanged, this, [this] { update(); });
}

void TLineNumberGutter::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    view_.PaintGutter(painter, event->rect());
}

} // namespace viewer

int TRichEdit::GutterWidth() const {
    if (!lineNumbers_) {
        return 0;
    }
    // The largest number's digits, half a digit before it and one after.
    const qreal digit = QFontMetricsF(layout_.DefaultFont()).horizontalAdvance(u'0');
    return static_cast<int>(std::ceil((Digits(document_->Lines.Count()) + 1.5) * digit));
}

void TRichEdit::SetLineNumbers(bool shown) {
    if (shown == lineNumbers_) {
        return;
    }
    lineNumbers_ = shown;
    if (shown && gutter_ == nullptr) {
        gutter_ = new viewer::TLineNumberGutter(*this);
    }
    PlaceGutter();
}

void TRichEdit::PlaceGutter() {
    const int width = GutterWidth();
    if (viewportMargins().left() != width) {
        setViewportMargins(width, 0, 0, 0);
    }
    if (gutter_ == nullptr) {
        return;
    }
    const QRect inside = contentsRect();
    gutter_->setGeometry(inside.left(), inside.top(), width, viewport()->height());
    gutter_->setVisible(lineNumbers_);
    gutter_->update();
}

void TRichEdit::PaintGutter(QPainter& painter, const QRect& rect) {
    painter.fillRect(rect, ToQColor(clBtnFace));
    painter.setFont(layout_.DefaultFont());
    painter.setPen(ToQColor(clGrayText));
    // Digits of the code font all have one width: numbers align by their count.
    const qreal digit = QFontMetricsF(layout_.DefaultFont()).horizontalAdvance(u'0');
    const qreal right = gutter_->width() - digit;
    const TLineIndex& lines = document_->Lines;
    // Row for row beside the view's lines, as its paintEvent places them.
    qreal y = margins_.top();
    for (auto line = static_cast<std::size_t>(TopLine());
         line < lines.Count() && y <= rect.bottom(); ++line) {
        const qreal height = layout_.LineHeight(line);
        if (y + height > rect.top()) {
            const QString number = QString::number(line + 1);
            painter.drawText(QPointF(right - number.size() * digit, y + layout_.Ascent()), number);
        }
        y += height;
    }
}
