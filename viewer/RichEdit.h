#pragma once
// The read-only rich-text view every document is shown in (SourceView1).
// Our own RTF reader builds the document; our own RTF writer saves and copies it.

#include "viewer/DocumentDisposer.h"

#include <QColor>
#include <QRect>
#include <QString>
#include <QTextEdit>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

class QMimeData;
class QTextDocument;
class QThread;

// Raised when neither RTF nor plain text could be loaded, or a save failed.
class ERichEditError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The framework's texts for a failed load and a failed save.
inline constexpr const char* kLoadFailedText = "Das Laden des Streams ist mißlungen";
inline constexpr const char* kSaveFailedText = "Das Speichern des Streams ist mißlungen";

class TRichEdit : public QTextEdit {
    Q_OBJECT
public:
    explicit TRichEdit(QWidget* parent = nullptr);

    // Replaces the content. Data that is not RTF is read again as plain text.
    // On an error the previous content stays.
    void LoadFromBytes(std::string_view data);
    void LoadFromFile(const std::string& fileName);
    // RTF, the view's own rendering. An existing file is replaced only when the
    // whole document has been written.
    void SaveToFile(const std::string& fileName) const;

    // Builds a document from bytes without touching any widget: safe on a
    // worker thread. The result is handed to AdoptDocument on the GUI thread;
    // give TARGET (the GUI thread) to have it moved there before it is returned.
    static std::unique_ptr<QTextDocument> BuildDocument(std::string_view data,
                                                        QThread* target = nullptr);
    // Shows DOCUMENT (which must live in this view's thread) and takes ownership.
    void AdoptDocument(std::unique_ptr<QTextDocument> document);

    int TextLength() const;
    int SelStart() const;
    void SetSelStart(int start);
    int SelLength() const;
    void SetSelLength(int length); // selects [SelStart, SelStart+length) and scrolls it into view
    QString SelText() const;       // paragraphs separated by LF

    void CopyToClipboard() const; // RTF, HTML and plain text
    // Position of the first match inside [start, start+length), or -1. A line
    // feed in TEXT matches a paragraph end, as SelText gives it.
    // A negative length reaches to the end of the text.
    int FindText(const QString& text, int start, int length, bool matchCase, bool wholeWord) const;

    void SetBackgroundColor(const QColor& color);
    void BeginUpdate();
    void EndUpdate();
    // The text's inset from the view's edges: the rectangle's left edge in pixels
    // (the main window asks for 1 on every side).
    void SetFormattingRect(const QRect& rect);

    // The document as RTF (what SaveToFile writes) and a range of it (what Copy puts).
    std::string ToRtf() const;
    std::string RangeToRtf(int from, int to) const;

protected:
    // A click may reach what the view's control keeps of the document shown
    // before (the word of a double click): such events wait until that
    // document has been freed.
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

    // What every copy of the selection carries, whether the Copy command, the
    // view's own copy key or the X selection makes it: RTF, HTML and plain text.
    QMimeData* createMimeDataFromSelection() const override;

private:
    const QString& PlainText() const;

    int updateDepth_ = 0;
    int margin_ = -1; // -1: the document's default
    mutable std::optional<QString> plainText_;
    TDocumentDisposer disposer_; // frees the documents loads replace
};
