// The view's keyboard and mouse: caret moves, selection, auto-scroll, copy.

#include "viewer/RichEdit.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScrollBar>
#include <algorithm>

namespace {

// Auto-scroll while a drag is outside the text: one step every so often.
constexpr int kAutoScrollInterval = 50;

enum class TCharClass { Word, Space, LineEnd, Other };

TCharClass ClassOf(char16_t ch) {
    if (IsLineEnd(ch)) {
        return TCharClass::LineEnd;
    }
    const QChar c(ch);
    if (c.isLetterOrNumber() || ch == u'_' || c.isMark() || c.isSurrogate()) {
        return TCharClass::Word;
    }
    if (c.isSpace()) {
        return TCharClass::Space;
    }
    return TCharClass::Other;
}

bool IsLowSurrogate(char16_t ch) {
    return ch >= 0xDC00 && ch <= 0xDFFF;
}

} // namespace

// ---- word and character steps ----

std::uint32_t TRichEdit::WordStart(std::uint32_t position) const {
    const TDocText& text = document_->Model.Text;
    if (position >= text.size()) {
        return position;
    }
    const TCharClass cls = ClassOf(text[position]);
    if (cls == TCharClass::LineEnd || cls == TCharClass::Other) {
        return position;
    }
    while (position > 0 && ClassOf(text[position - 1]) == cls) {
        --position;
    }
    return position;
}

std::uint32_t TRichEdit::WordEnd(std::uint32_t position) const {
    const TDocText& text = document_->Model.Text;
    if (position >= text.size()) {
        return position;
    }
    const TCharClass cls = ClassOf(text[position]);
    if (cls == TCharClass::LineEnd || cls == TCharClass::Other) {
        return position + 1;
    }
    while (position < text.size() && ClassOf(text[position]) == cls) {
        ++position;
    }
    return position;
}

std::uint32_t TRichEdit::StepLeft(std::uint32_t position, bool byWord) const {
    const TDocText& text = document_->Model.Text;
    if (position == 0) {
        return 0;
    }
    if (!byWord) {
        --position;
        return position > 0 && IsLowSurrogate(text[position]) ? position - 1 : position;
    }
    // Back over spaces, then to the start of the word before.
    while (position > 0 && ClassOf(text[position - 1]) == TCharClass::Space) {
        --position;
    }
    return position > 0 ? WordStart(position - 1) : 0;
}

std::uint32_t TRichEdit::StepRight(std::uint32_t position, bool byWord) const {
    const TDocText& text = document_->Model.Text;
    if (position >= text.size()) {
        return static_cast<std::uint32_t>(text.size());
    }
    if (!byWord) {
        ++position;
        return position < text.size() && IsLowSurrogate(text[position]) ? position + 1 : position;
    }
    // To the end of this word, then over the spaces after it.
    position = WordEnd(position);
    while (position < text.size() && ClassOf(text[position]) == TCharClass::Space) {
        ++position;
    }
    return position;
}

std::uint32_t TRichEdit::VerticalMove(int lines) {
    const TLineIndex& index = document_->Lines;
    const std::size_t line = index.LineOf(caret_);
    if (preferredX_ < 0) {
        preferredX_ = layout_.X(line, caret_);
    }
    const auto target = static_cast<std::size_t>(std::clamp<qint64>(
        static_cast<qint64>(line) + lines, 0, static_cast<qint64>(index.Count()) - 1));
    return layout_.PositionAt(target, preferredX_);
}

void TRichEdit::MoveCaret(std::uint32_t position, bool extend) {
    caret_ = std::min<std::uint32_t>(position, static_cast<std::uint32_t>(TextLength()));
    if (!extend) {
        anchor_ = caret_;
    }
    EnsureVisible(static_cast<int>(caret_));
    SelectionMoved();
}

// ---- keyboard ----

void TRichEdit::keyPressEvent(QKeyEvent* event) {
    if (event->matches(QKeySequence::Copy) ||
        (event->key() == Qt::Key_Insert && event->modifiers() == Qt::ControlModifier)) {
        CopyToClipboard();
        event->accept();
        return;
    }
    if (event->matches(QKeySequence::SelectAll)) {
        SelectAll();
        event->accept();
        return;
    }
    const Qt::KeyboardModifiers modifiers = event->modifiers() & ~Qt::KeypadModifier;
    const bool shift = modifiers & Qt::ShiftModifier;
    const bool ctrl = modifiers & Qt::ControlModifier;
    if (modifiers & ~(Qt::ShiftModifier | Qt::ControlModifier)) {
        event->ignore();
        return;
    }
    const TLineIndex& lines = document_->Lines;
    const std::uint32_t from = std::min(anchor_, caret_);
    const std::uint32_t to = std::max(anchor_, caret_);
    const qreal keepX = preferredX_;
    std::uint32_t target = caret_;
    bool vertical = false;
    switch (event->key()) {
    case Qt::Key_Left:
        target = (!shift && !ctrl && from != to) ? from : StepLeft(caret_, ctrl);
        break;
    case Qt::Key_Right:
        target = (!shift && !ctrl && from != to) ? to : StepRight(caret_, ctrl);
        break;
    case Qt::Key_Up:
    case Qt::Key_Down:
        if (ctrl) {
            // Scrolls the view, the caret stays.
            QScrollBar* bar = verticalScrollBar();
            bar->setValue(bar->value() + (event->key() == Qt::Key_Up ? -1 : 1));
            event->accept();
            return;
        }
        target = VerticalMove(event->key() == Qt::Key_Up ? -1 : 1);
        vertical = true;
        break;
    case Qt::Key_PageUp:
    case Qt::Key_PageDown: {
        const int rows = std::max(1, RowsInSight() - 1);
        const int step = event->key() == Qt::Key_PageUp ? -rows : rows;
        target = VerticalMove(step);
        QScrollBar* bar = verticalScrollBar();
        bar->setValue(bar->value() + step);
        vertical = true;
        break;
    }
    case Qt::Key_Home:
        target = ctrl ? 0 : lines.Start(lines.LineOf(caret_));
        break;
    case Qt::Key_End:
        target = ctrl ? static_cast<std::uint32_t>(TextLength()) : lines.End(lines.LineOf(caret_));
        break;
    default:
        event->ignore(); // for the window's own keys
        return;
    }
    MoveCaret(target, shift);
    // Up and down keep the column they started from; every other move sets a new one.
    preferredX_ = vertical ? (keepX >= 0 ? keepX : preferredX_) : -1;
    event->accept();
}

// ---- mouse ----

void TRichEdit::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        QAbstractScrollArea::mousePressEvent(event);
        return;
    }
    setFocus(Qt::MouseFocusReason);
    const auto at = static_cast<std::uint32_t>(PositionAt(event->position().toPoint()));
    const bool extend = event->modifiers() & Qt::ShiftModifier;
    preferredX_ = -1;
    caret_ = at;
    if (!extend) {
        anchor_ = at;
    }
    dragging_ = true;
    dragPoint_ = event->position().toPoint();
    SelectionMoved();
    event->accept();
}

void TRichEdit::mouseMoveEvent(QMouseEvent* event) {
    if (!dragging_ || !(event->buttons() & Qt::LeftButton)) {
        QAbstractScrollArea::mouseMoveEvent(event);
        return;
    }
    dragPoint_ = event->position().toPoint();
    if (TextArea().contains(dragPoint_)) {
        autoScrollTimer_.stop();
        const auto at = static_cast<std::uint32_t>(PositionAt(dragPoint_));
        if (at != caret_) {
            caret_ = at;
            SelectionMoved();
        }
    } else if (!autoScrollTimer_.isActive()) {
        AutoScroll();
        autoScrollTimer_.start(kAutoScrollInterval, this);
    }
    event->accept();
}

void TRichEdit::AutoScroll() {
    if (!dragging_) {
        autoScrollTimer_.stop();
        return;
    }
    const QRect area = TextArea();
    QScrollBar* vertical = verticalScrollBar();
    QScrollBar* horizontal = horizontalScrollBar();
    if (dragPoint_.y() < area.top()) {
        vertical->setValue(vertical->value() - 1);
    } else if (dragPoint_.y() > area.bottom()) {
        vertical->setValue(vertical->value() + 1);
    }
    if (dragPoint_.x() < area.left()) {
        horizontal->setValue(horizontal->value() - horizontal->singleStep() * 2);
    } else if (dragPoint_.x() > area.right()) {
        horizontal->setValue(horizontal->value() + horizontal->singleStep() * 2);
    }
    const QPoint inside(std::clamp(dragPoint_.x(), area.left(), area.right()),
                        std::clamp(dragPoint_.y(), area.top(), area.bottom()));
    const auto at = static_cast<std::uint32_t>(PositionAt(inside));
    if (at != caret_) {
        caret_ = at;
        SelectionMoved();
    }
}

void TRichEdit::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || !dragging_) {
        QAbstractScrollArea::mouseReleaseEvent(event);
        return;
    }
    dragging_ = false;
    autoScrollTimer_.stop();
    PutSelectionOnXSelection();
    event->accept();
}

void TRichEdit::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        QAbstractScrollArea::mouseDoubleClickEvent(event);
        return;
    }
    const auto at = static_cast<std::uint32_t>(PositionAt(event->position().toPoint()));
    // The word under the pointer: a click past a line's end takes the word before.
    const TDocText& text = document_->Model.Text;
    std::uint32_t probe = at;
    if (probe > 0 && (probe >= text.size() || IsLineEnd(text[probe]))) {
        --probe;
    }
    anchor_ = WordStart(probe);
    caret_ = std::max(anchor_, WordEnd(probe));
    if (probe < text.size() && IsLineEnd(text[probe])) {
        caret_ = anchor_ = at; // an empty line has no word
    }
    dragging_ = false;
    preferredX_ = -1;
    SelectionMoved();
    PutSelectionOnXSelection();
    event->accept();
}
