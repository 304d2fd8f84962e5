#pragma once
// The read-only rich-text view every document is shown in (SourceView1). It
// shows the reader's document model as it is: one UTF-16 text, its runs and
// formats, and a line index; it paints only the lines in sight. Our own RTF
// writer saves and copies it.

#include "viewer/SaveFormats.h"
#include "viewer/SourceViewDocument.h"
#include "viewer/SourceViewLayout.h"

#include <QAbstractScrollArea>
#include <QBasicTimer>
#include <QColor>
#include <QMargins>
#include <QRect>
#include <QString>
#include <QTextCharFormat>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>

class QMimeData;
namespace viewer {
class TLineNumberGutter;
}

// Raised when neither RTF nor plain text could be loaded, or a save failed.
class ERichEditError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The framework's texts for a failed load and a failed save.
inline constexpr const char* kLoadFailedText = "Das Laden des Streams ist mißlungen";
inline constexpr const char* kSaveFailedText = "Das Speichern des Streams ist mißlungen";

class TRichEdit : public QAbstractScrollArea {
    Q_OBJECT
public:
    explicit TRichEdit(QWidget* parent = nullptr);
    ~TRichEdit() override;

    // Replaces the content. Data that is not RTF is read again as plain text.
    // On an error the previous content stays.
    void LoadFromBytes(std::string_view data);
    void LoadFromFile(const std::string& fileName);
    // RTF, the view's own rendering, or a web page of what the view shows.
    // An existing file is replaced only when the whole document has been written.
    void SaveToFile(const std::string& fileName, TSaveFormat format = TSaveFormat::Rtf) const;

    // Builds what LoadFromBytes shows without touching any widget: safe on a
    // worker thread. The result is handed to AdoptDocument on the GUI thread.
    // DATAREAD runs once DATA has been read, so the caller can free it early.
    // STOP, when given, can end the build with EConversionCancelled.
    std::shared_ptr<const TViewDocument> BuildDocument(std::string_view data,
                                                       const std::function<void()>& dataRead = {},
                                                       const TStopRequest& stop = {}) const;
    // The same for the engine's RTF, whose memory goes as it is read.
    std::shared_ptr<const TViewDocument> BuildDocument(TDocumentBuffer& rtf,
                                                       const TStopRequest& stop = {}) const;
    void AdoptDocument(std::shared_ptr<const TViewDocument> document);
    const TViewDocument& Document() const { return *document_; }
    // The document shown, for work that may outlive the next load (printing).
    std::shared_ptr<const TViewDocument> SharedDocument() const { return document_; }

    // The view is always read-only and never wraps.
    bool isReadOnly() const { return true; }
    bool WordWrap() const { return false; }

    int TextLength() const;
    int SelStart() const;
    void SetSelStart(int start); // also moves the caret there and into view
    int SelLength() const;
    void SetSelLength(int length); // selects [SelStart, SelStart+length) and scrolls it into view
    QString SelText() const;       // paragraphs separated by LF
    void SelectAll();
    // The caret, at one end of the selection; the anchor at the other.
    int CaretPosition() const { return static_cast<int>(caret_); }
    int AnchorPosition() const { return static_cast<int>(anchor_); }
    void SetSelection(int anchor, int caret);

    // Characters [from, to) as text; the whole text with line breaks as LF.
    QString Text(int from, int to) const;
    QString toPlainText() const;
    // How the character at POSITION is shown.
    QTextCharFormat CharFormatAt(int position) const;

    void CopyToClipboard() const; // RTF, HTML and plain text
    // What every copy of the selection carries, whether the Copy command, the
    // view's own copy key or the X selection makes it.
    QMimeData* CreateSelectionMimeData() const;
    // Position of the first match inside [start, start+length), or -1. A line
    // feed in TEXT matches a paragraph end. A negative length reaches to the
    // end of the text.
    int FindText(const QString& text, int start, int length, bool matchCase, bool wholeWord) const;

    void SetBackgroundColor(const QColor& color);
    void BeginUpdate();
    void EndUpdate();
    // The text's insets from the view's edges: left, top, right and bottom
    // are the rectangle's left(), top(), right() and bottom() (the main
    // window asks for 1 on every side).
    void SetFormattingRect(const QRect& rect);
    QMargins FormattingMargins() const { return margins_; }

    // The document as RTF (what SaveToFile writes) and a range of it (what Copy puts).
    std::string ToRtf() const;
    std::string RangeToRtf(int from, int to) const;

    // Geometry in viewport coordinates: the caret, a character's cell, and
    // the caret position nearest to a point.
    QRect cursorRect() const;
    QRect CharacterRect(int position) const;
    int PositionAt(QPoint point) const;
    // Scrolls so that POSITION is in sight.
    void EnsureVisible(int position);
    int TopLine() const;

    // Zoom in percent of the document's size (50 to 400). Only what is shown
    // changes: selection, find, copy, save and print keep the document's sizes.
    int Zoom() const { return zoom_; }
    void SetZoom(int percent);
    // The caret to the start of LINE (from 0), which is scrolled near the middle.
    void GoToLine(int line);
    int LineCount() const;

    // Line numbers in a gutter left of the text; they are not part of the text.
    bool LineNumbers() const { return lineNumbers_; }
    void SetLineNumbers(bool shown);
    // The gutter's width, 0 without line numbers.
    int GutterWidth() const;

signals:
    void SelectionChanged();
    // The zoom changed, by a key, the wheel or SetZoom.
    void ZoomChanged(int percent);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    void changeEvent(QEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void timerEvent(QTimerEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override; // Ctrl+wheel zooms

private:
    friend class viewer::TLineNumberGutter;
    // The device resolution the document is shown at: the screen's, zoomed.
    int ZoomedDpi() const;
    void PaintGutter(QPainter& painter, const QRect& rect);
    // Gutter width and place, after a new document, zoom or size.
    void PlaceGutter();

    // Moves the caret to POSITION; the anchor follows unless EXTEND.
    void MoveCaret(std::uint32_t position, bool extend);
    void SelectionMoved();
    void UpdateScrollBars();
    int RowsInSight() const;
    // The visible text area within the viewport.
    QRect TextArea() const;
    std::size_t LineAtY(int y) const;
    std::uint32_t WordStart(std::uint32_t position) const;
    std::uint32_t WordEnd(std::uint32_t position) const;
    std::uint32_t StepLeft(std::uint32_t position, bool byWord) const;
    std::uint32_t StepRight(std::uint32_t position, bool byWord) const;
    std::uint32_t VerticalMove(int lines);
    void AutoScroll();
    void PutSelectionOnXSelection() const;
    void RestartCaretBlink();

    std::shared_ptr<const TViewDocument> document_;
    mutable viewer::TSourceLayout layout_;
    int dpi_ = 96;
    std::uint32_t anchor_ = 0;
    std::uint32_t caret_ = 0;
    qreal preferredX_ = -1; // kept through vertical moves
    QMargins margins_{1, 1, 1, 1};
    int updateDepth_ = 0;
    bool caretShown_ = false;
    bool dragging_ = false;
    QPoint dragPoint_;
    QBasicTimer caretTimer_;
    QBasicTimer autoScrollTimer_;
    int zoom_ = 100;
    int wheelZoom_ = 0; // wheel steps short of a zoom step
    bool lineNumbers_ = false;
    viewer::TLineNumberGutter* gutter_ = nullptr;
};
