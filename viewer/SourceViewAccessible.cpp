#include "viewer/SourceViewAccessible.h"

#include "viewer/RichEdit.h"
#include "viewer/text/RtfRange.h"

#include <QAccessible>
#include <algorithm>

namespace viewer {

namespace {

QAccessibleInterface* SourceViewFactory(const QString& className, QObject* object) {
    if (className == QLatin1String("TRichEdit") && object && object->isWidgetType()) {
        return new TSourceViewAccessible(static_cast<TRichEdit*>(object));
    }
    return nullptr;
}

QString CssRgb(TColor color) {
    return QStringLiteral("rgb(%1,%2,%3)").arg(RedOf(color)).arg(GreenOf(color)).arg(BlueOf(color));
}

bool IsWordCharacter(char16_t ch) {
    const QChar c(ch);
    return c.isLetterOrNumber() || ch == u'_' || c.isMark();
}

} // namespace

void InstallSourceViewAccessibility() {
    static const bool installed = [] {
        QAccessible::installFactory(SourceViewFactory);
        return true;
    }();
    Q_UNUSED(installed);
}

TSourceViewAccessible::TSourceViewAccessible(TRichEdit* view)
    : QAccessibleWidget(view, QAccessible::EditableText) {}

TRichEdit* TSourceViewAccessible::View() const {
    return static_cast<TRichEdit*>(widget());
}

void* TSourceViewAccessible::interface_cast(QAccessible::InterfaceType type) {
    if (type == QAccessible::TextInterface) {
        return static_cast<QAccessibleTextInterface*>(this);
    }
    return QAccessibleWidget::interface_cast(type);
}

QAccessible::State TSourceViewAccessible::state() const {
    QAccessible::State state = QAccessibleWidget::state();
    state.readOnly = true;
    state.editable = false;
    state.multiLine = true;
    state.selectableText = true;
    state.focusable = true;
    return state;
}

void TSourceViewAccessible::selection(int selectionIndex, int* startOffset, int* endOffset) const {
    *startOffset = *endOffset = 0;
    if (selectionIndex == 0 && View()->SelLength() > 0) {
        *startOffset = View()->SelStart();
        *endOffset = View()->SelStart() + View()->SelLength();
    }
}

int TSourceViewAccessible::selectionCount() const {
    return View()->SelLength() > 0 ? 1 : 0;
}

void TSourceViewAccessible::addSelection(int startOffset, int endOffset) {
    setSelection(0, startOffset, endOffset); // one selection at most
}

void TSourceViewAccessible::removeSelection(int selectionIndex) {
    if (selectionIndex == 0) {
        View()->SetSelection(View()->CaretPosition(), View()->CaretPosition());
    }
}

void TSourceViewAccessible::setSelection(int selectionIndex, int startOffset, int endOffset) {
    if (selectionIndex == 0) {
        View()->SetSelection(startOffset, endOffset);
    }
}

int TSourceViewAccessible::cursorPosition() const {
    return View()->CaretPosition();
}

void TSourceViewAccessible::setCursorPosition(int position) {
    View()->SetSelection(position, position);
}

QString TSourceViewAccessible::text(int startOffset, int endOffset) const {
    return View()->Text(startOffset, endOffset);
}

int TSourceViewAccessible::characterCount() const {
    return View()->TextLength();
}

// The units are found around the offset only: the base class would copy the
// whole text for every question, and a document may hold millions of lines.
void TSourceViewAccessible::UnitAt(int offset, QAccessible::TextBoundaryType boundary, int* start,
                                   int* end) const {
    const TViewDocument& doc = View()->Document();
    const TDocText& text = doc.Model.Text;
    const int size = static_cast<int>(text.size());
    offset = std::clamp(offset, 0, size);
    switch (boundary) {
    case QAccessible::CharBoundary:
        *start = offset;
        *end = std::min(offset + 1, size);
        return;
    case QAccessible::WordBoundary: {
        int from = offset;
        int to = offset;
        if (offset < size && IsWordCharacter(text[offset])) {
            while (from > 0 && IsWordCharacter(text[from - 1])) {
                --from;
            }
            while (to < size && IsWordCharacter(text[to])) {
                ++to;
            }
        } else {
            to = std::min(offset + 1, size);
        }
        *start = from;
        *end = to;
        return;
    }
    case QAccessible::SentenceBoundary:
    case QAccessible::ParagraphBoundary:
    case QAccessible::LineBoundary: {
        const std::size_t line = doc.Lines.LineOf(static_cast<std::uint32_t>(offset));
        *start = static_cast<int>(doc.Lines.Start(line));
        // With its line end, as text controls give a line.
        *end = std::min(static_cast<int>(doc.Lines.End(line)) + 1, size);
        return;
    }
    case QAccessible::NoBoundary:
        *start = 0;
        *end = size;
        return;
    }
    *start = *end = offset;
}

QString TSourceViewAccessible::textAtOffset(int offset, QAccessible::TextBoundaryType boundaryType,
                                            int* startOffset, int* endOffset) const {
    UnitAt(offset, boundaryType, startOffset, endOffset);
    return text(*startOffset, *endOffset);
}

QString TSourceViewAccessible::textBeforeOffset(int offset,
                                                QAccessible::TextBoundaryType boundaryType,
                                                int* startOffset, int* endOffset) const {
    int start = 0;
    int end = 0;
    UnitAt(offset, boundaryType, &start, &end);
    if (start <= 0) {
        *startOffset = *endOffset = -1;
        return {};
    }
    UnitAt(start - 1, boundaryType, startOffset, endOffset);
    return text(*startOffset, *endOffset);
}

QString TSourceViewAccessible::textAfterOffset(int offset,
                                               QAccessible::TextBoundaryType boundaryType,
                                               int* startOffset, int* endOffset) const {
    int start = 0;
    int end = 0;
    UnitAt(offset, boundaryType, &start, &end);
    if (end >= characterCount()) {
        *startOffset = *endOffset = -1;
        return {};
    }
    UnitAt(end, boundaryType, startOffset, endOffset);
    return text(*startOffset, *endOffset);
}

QRect TSourceViewAccessible::characterRect(int offset) const {
    const QRect cell = View()->CharacterRect(offset);
    return QRect(View()->viewport()->mapToGlobal(cell.topLeft()), cell.size());
}

int TSourceViewAccessible::offsetAtPoint(const QPoint& point) const {
    const QPoint local = View()->viewport()->mapFromGlobal(point);
    if (!View()->viewport()->rect().contains(local)) {
        return -1;
    }
    return View()->PositionAt(local);
}

void TSourceViewAccessible::scrollToSubstring(int startIndex, int endIndex) {
    View()->EnsureVisible(endIndex);
    View()->EnsureVisible(startIndex);
}

QString TSourceViewAccessible::attributes(int offset, int* startOffset, int* endOffset) const {
    const TRtfDocument& model = View()->Document().Model;
    const int size = static_cast<int>(model.Text.size());
    *startOffset = *endOffset = -1;
    if (offset < 0 || offset >= size) {
        return {};
    }
    const std::size_t run = RunAt(model, static_cast<std::uint32_t>(offset));
    if (run >= model.Runs.size()) {
        *startOffset = offset;
        *endOffset = offset + 1;
        return {};
    }
    *startOffset = static_cast<int>(model.Runs[run].Start);
    *endOffset = static_cast<int>(model.Runs[run].Start + model.Runs[run].Length);
    const QTextCharFormat format = View()->CharFormatAt(offset);
    const TRtfCharFormat& f = model.Formats[model.Runs[run].Format];
    QStringList parts;
    parts
        << QStringLiteral("font-family:\"%1\"").arg(format.fontFamilies().toStringList().value(0));
    parts << QStringLiteral("font-size:%1pt").arg(f.SizeHalfPoints / 2.0);
    parts << QStringLiteral("font-weight:%1").arg(f.Bold ? 700 : 400);
    parts << QStringLiteral("font-style:%1").arg(f.Italic ? "italic" : "normal");
    const QColor foreground = format.foreground().color();
    parts << QStringLiteral("color:rgb(%1,%2,%3)")
                 .arg(foreground.red())
                 .arg(foreground.green())
                 .arg(foreground.blue());
    if (f.Background != kNoColor) {
        parts << QStringLiteral("background-color:") + CssRgb(f.Background);
    }
    if (f.Underline) {
        parts << QStringLiteral("text-underline-style:solid");
    }
    if (f.Strike) {
        parts << QStringLiteral("text-line-through-type:single");
    }
    return parts.join(u';') + u';';
}

} // namespace viewer
