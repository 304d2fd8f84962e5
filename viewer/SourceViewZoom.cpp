// The view's zoom and its jumps to a line: what is shown changes size, the
// document does not.

#include "platform/MulDiv.h"
#include "viewer/RichEdit.h"
#include "viewer/ViewSettings.h"

#include <QScrollBar>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>

int TRichEdit::ZoomedDpi() const {
    return MulDiv(dpi_, zoom_, kNormalZoom);
}

int TRichEdit::LineCount() const {
    return static_cast<int>(document_->Lines.Count());
}

void TRichEdit::SetZoom(int percent) {
    percent = std::clamp(percent, kMinZoom, kMaxZoom);
    if (percent == zoom_) {
        return;
    }
    const TLineIndex& lines = document_->Lines;
    const auto caretLine = static_cast<int>(lines.LineOf(caret_));
    const int top = TopLine();
    const bool caretInSight = caretLine >= top && caretLine < top + RowsInSight();
    const qreal oldHeight = layout_.DefaultLineHeight();
    const qreal oldScale = ZoomedDpi();

    zoom_ = percent;
    layout_.Reset(document_, ZoomedDpi(), palette().color(QPalette::Text));
    QScrollBar* horizontal = horizontalScrollBar();
    const int oldX = horizontal->value();
    horizontal->setRange(0, 0); // the extent at the new size
    PlaceGutter();
    UpdateScrollBars();
    // The caret's line keeps its place on the screen, as near as the new
    // line height allows; the columns in sight stay too.
    if (caretInSight) {
        const qreal ratio = oldHeight / std::max<qreal>(1, layout_.DefaultLineHeight());
        verticalScrollBar()->setValue(caretLine -
                                      static_cast<int>(std::lround((caretLine - top) * ratio)));
    }
    horizontal->setValue(static_cast<int>(std::lround(oldX * ZoomedDpi() / oldScale)));
    EnsureVisible(static_cast<int>(caret_));
    viewport()->update();
    emit ZoomChanged(zoom_);
}

void TRichEdit::GoToLine(int line) {
    const int count = LineCount();
    line = std::clamp(line, 0, count - 1);
    const std::uint32_t start = document_->Lines.Start(static_cast<std::size_t>(line));
    anchor_ = caret_ = start;
    preferredX_ = -1;
    verticalScrollBar()->setValue(line - RowsInSight() / 2);
    EnsureVisible(static_cast<int>(start));
    SelectionMoved();
}

void TRichEdit::wheelEvent(QWheelEvent* event) {
    if ((event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::ShiftModifier)) !=
        Qt::ControlModifier) {
        wheelZoom_ = 0;
        QAbstractScrollArea::wheelEvent(event);
        return;
    }
    // One step per notch; a fine-grained wheel adds up to one.
    wheelZoom_ += event->angleDelta().y();
    while (std::abs(wheelZoom_) >= QWheelEvent::DefaultDeltasPerStep) {
        const bool in = wheelZoom_ > 0;
        wheelZoom_ -= in ? QWheelEvent::DefaultDeltasPerStep : -QWheelEvent::DefaultDeltasPerStep;
        SetZoom(in ? ZoomStepIn(zoom_) : ZoomStepOut(zoom_));
    }
    event->accept();
}
