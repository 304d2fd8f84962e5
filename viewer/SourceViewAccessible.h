#pragma once
// How assistive technology reads the view: its text, caret, selection and the
// attributes of each run, through Qt's accessible text interface.

#include <QAccessibleWidget>

class TRichEdit;

namespace viewer {

// Makes every TRichEdit answer with TSourceViewAccessible, where the view is
// used without the program (whose one factory covers it). Idempotent.
void InstallSourceViewAccessibility();

class TSourceViewAccessible : public QAccessibleWidget, public QAccessibleTextInterface {
public:
    explicit TSourceViewAccessible(TRichEdit* view);

    void* interface_cast(QAccessible::InterfaceType type) override;
    QAccessible::State state() const override;

    // The widget's text(QAccessible::Text) stays visible beside the text
    // interface's range overload below.
    using QAccessibleWidget::text;

    // QAccessibleTextInterface
    void selection(int selectionIndex, int* startOffset, int* endOffset) const override;
    int selectionCount() const override;
    void addSelection(int startOffset, int endOffset) override;
    void removeSelection(int selectionIndex) override;
    void setSelection(int selectionIndex, int startOffset, int endOffset) override;
    int cursorPosition() const override;
    void setCursorPosition(int position) override;
    QString text(int startOffset, int endOffset) const override;
    QString textBeforeOffset(int offset, QAccessible::TextBoundaryType boundaryType,
                             int* startOffset, int* endOffset) const override;
    QString textAfterOffset(int offset, QAccessible::TextBoundaryType boundaryType,
                            int* startOffset, int* endOffset) const override;
    QString textAtOffset(int offset, QAccessible::TextBoundaryType boundaryType, int* startOffset,
                         int* endOffset) const override;
    int characterCount() const override;
    QRect characterRect(int offset) const override;
    int offsetAtPoint(const QPoint& point) const override;
    void scrollToSubstring(int startIndex, int endIndex) override;
    QString attributes(int offset, int* startOffset, int* endOffset) const override;

private:
    TRichEdit* View() const;
    // The unit of BOUNDARY around OFFSET: [start, end).
    void UnitAt(int offset, QAccessible::TextBoundaryType boundary, int* start, int* end) const;
};

} // namespace viewer
