#pragma once
// The read-only rich-text view every document is shown in (SourceView1).
// Our own RTF reader builds the document; our own RTF writer saves and copies it.
//
// Contract used by the main window (the implementation may add to it):

#include <QColor>
#include <QRect>
#include <QString>
#include <QTextEdit>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>

class QTextDocument;

// Raised when neither RTF nor plain text could be loaded, or a save failed.
class ERichEditError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class TRichEdit : public QTextEdit {
    Q_OBJECT
public:
    explicit TRichEdit(QWidget* parent = nullptr);

    // Replaces the content. Data that is not RTF is read again as plain text.
    void LoadFromBytes(std::string_view data);
    void LoadFromFile(const std::string& fileName);
    void SaveToFile(const std::string& fileName) const;  // RTF, the view's own rendering

    // Builds a document from bytes without touching any widget: safe on a
    // worker thread. The result is handed to AdoptDocument on the GUI thread.
    static std::unique_ptr<QTextDocument> BuildDocument(std::string_view data);
    void AdoptDocument(std::unique_ptr<QTextDocument> document);

    int TextLength() const;
    int SelStart() const;
    void SetSelStart(int start);
    int SelLength() const;
    void SetSelLength(int length);  // selects [SelStart, SelStart+length) and scrolls it into view
    QString SelText() const;

    void CopyToClipboard() const;  // RTF, HTML and plain text
    // Position of the first match inside [start, start+length), or -1.
    int FindText(const QString& text, int start, int length, bool matchCase, bool wholeWord) const;

    void SetBackgroundColor(const QColor& color);
    void BeginUpdate();
    void EndUpdate();
    void SetFormattingRect(const QRect& rect);
};
