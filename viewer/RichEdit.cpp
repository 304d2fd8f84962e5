#include "viewer/RichEdit.h"

#include "viewer/RtfQtDocument.h"
#include "viewer/SelectionMimeData.h"
#include "viewer/text/RtfReader.h"
#include "viewer/text/RtfWriter.h"

#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QMimeData>
#include <QMouseEvent>
#include <QPointer>
#include <QSaveFile>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextDocumentFragment>
#include <QThread>
#include <algorithm>
#include <new>

namespace {

bool IsWordChar(QChar ch) {
    return ch.isLetterOrNumber() || ch == u'_';
}

} // namespace

TRichEdit::TRichEdit(QWidget* parent) : QTextEdit(parent) {
    setReadOnly(true);
    // Read-only, but the caret moves and selects from the keyboard too.
    setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    setLineWrapMode(QTextEdit::NoWrap);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setAcceptRichText(true);
    setUndoRedoEnabled(false);
    connect(document(), &QTextDocument::contentsChanged, this, [this] { plainText_.reset(); });
}

std::unique_ptr<QTextDocument> TRichEdit::BuildDocument(std::string_view data, QThread* target) {
    std::unique_ptr<QTextDocument> doc;
    try {
        doc = BuildQtDocument(ReadDocument(data));
    } catch (const std::bad_alloc&) {
        throw ERichEditError(kLoadFailedText);
    }
    if (target) {
        doc->moveToThread(target);
    }
    return doc;
}

void TRichEdit::AdoptDocument(std::unique_ptr<QTextDocument> document) {
    if (!document) {
        return;
    }
    if (document->thread() != thread()) {
        document->moveToThread(thread()); // possible only for a document without a thread
        if (document->thread() != thread()) {
            throw ERichEditError(kLoadFailedText);
        }
    }
    if (margin_ >= 0) {
        document->setDocumentMargin(margin_);
    }
    // The control frees its own first document itself; ours go to the disposer.
    QPointer<QTextDocument> previous = this->document();
    QTextDocument* adopted = document.release();
    adopted->setParent(this);
    plainText_.reset();
    setDocument(adopted);
    connect(adopted, &QTextDocument::contentsChanged, this, [this] { plainText_.reset(); });
    if (previous && previous->parent() == this) {
        QObject::disconnect(previous, nullptr, this, nullptr);
        previous->setParent(nullptr);
        disposer_.Dispose(std::unique_ptr<QTextDocument>(previous.data()));
    }
    moveCursor(QTextCursor::Start);
}

void TRichEdit::mousePressEvent(QMouseEvent* event) {
    disposer_.WaitUntilIdle();
    QTextEdit::mousePressEvent(event);
}

void TRichEdit::mouseDoubleClickEvent(QMouseEvent* event) {
    disposer_.WaitUntilIdle();
    QTextEdit::mouseDoubleClickEvent(event);
}

void TRichEdit::mouseMoveEvent(QMouseEvent* event) {
    if (event->buttons() != Qt::NoButton) {
        disposer_.WaitUntilIdle();
    }
    QTextEdit::mouseMoveEvent(event);
}

void TRichEdit::mouseReleaseEvent(QMouseEvent* event) {
    disposer_.WaitUntilIdle();
    QTextEdit::mouseReleaseEvent(event);
}

void TRichEdit::LoadFromBytes(std::string_view data) {
    AdoptDocument(BuildDocument(data));
}

void TRichEdit::LoadFromFile(const std::string& fileName) {
    QFile file(QString::fromStdString(fileName));
    if (!file.open(QIODevice::ReadOnly)) {
        throw ERichEditError("Cannot open file \"" + fileName + "\". " +
                             file.errorString().toStdString());
    }
    QByteArray data;
    try {
        data = file.readAll();
    } catch (const std::bad_alloc&) {
        throw ERichEditError(kLoadFailedText);
    }
    if (file.error() != QFileDevice::NoError) {
        throw ERichEditError(kLoadFailedText);
    }
    LoadFromBytes(std::string_view(data.constData(), static_cast<std::size_t>(data.size())));
}

std::string TRichEdit::ToRtf() const {
    return RangeToRtf(0, TextLength());
}

std::string TRichEdit::RangeToRtf(int from, int to) const {
    return WriteRtf(ModelOfRange(*document(), from, to));
}

void TRichEdit::SaveToFile(const std::string& fileName) const {
    std::string rtf;
    try {
        rtf = ToRtf();
    } catch (const std::bad_alloc&) {
        throw ERichEditError(kSaveFailedText);
    }
    // Written beside the target and renamed over it, so a failure leaves the old file.
    QSaveFile file(QString::fromStdString(fileName));
    if (!file.open(QIODevice::WriteOnly)) {
        throw ERichEditError("Cannot create file \"" + fileName + "\". " +
                             file.errorString().toStdString());
    }
    const auto written = file.write(rtf.data(), static_cast<qint64>(rtf.size()));
    if (written != static_cast<qint64>(rtf.size()) || !file.commit()) {
        throw ERichEditError(std::string(kSaveFailedText) + ": " +
                             file.errorString().toStdString());
    }
}

int TRichEdit::TextLength() const {
    return document()->characterCount() - 1;
}

int TRichEdit::SelStart() const {
    return textCursor().selectionStart();
}

void TRichEdit::SetSelStart(int start) {
    QTextCursor cursor = textCursor();
    cursor.setPosition(std::clamp(start, 0, TextLength()));
    setTextCursor(cursor);
}

int TRichEdit::SelLength() const {
    const QTextCursor cursor = textCursor();
    return cursor.selectionEnd() - cursor.selectionStart();
}

void TRichEdit::SetSelLength(int length) {
    QTextCursor cursor = textCursor();
    const int start = cursor.selectionStart();
    const int end = std::clamp(start + std::max(length, 0), start, TextLength());
    cursor.setPosition(start);
    cursor.setPosition(end, QTextCursor::KeepAnchor);
    setTextCursor(cursor);
    ensureCursorVisible();
}

QString TRichEdit::SelText() const {
    QString text = textCursor().selectedText();
    text.replace(QChar::ParagraphSeparator, u'\n');
    return text;
}

void TRichEdit::CopyToClipboard() const {
    if (textCursor().hasSelection()) {
        QApplication::clipboard()->setMimeData(createMimeDataFromSelection());
    }
}

QMimeData* TRichEdit::createMimeDataFromSelection() const {
    return new TSelectionMimeData(textCursor());
}

const QString& TRichEdit::PlainText() const {
    if (!plainText_) {
        // Raw text keeps one character per cursor position, unlike toPlainText's
        // replacements.
        plainText_ = document()->toRawText();
    }
    return *plainText_;
}

int TRichEdit::FindText(const QString& text, int start, int length, bool matchCase,
                        bool wholeWord) const {
    const QString& haystack = PlainText();
    const int size = static_cast<int>(haystack.size());
    if (text.isEmpty() || start < 0 || start > size) {
        return -1;
    }
    // A line feed stands for a paragraph end, as in the selected text.
    QString needleText = text;
    needleText.replace(u'\n', QChar::ParagraphSeparator);
    const qint64 wantedEnd = length < 0 ? size : static_cast<qint64>(start) + length;
    const int end = static_cast<int>(std::min<qint64>(wantedEnd, size));
    const int needle = static_cast<int>(text.size());
    const Qt::CaseSensitivity cs = matchCase ? Qt::CaseSensitive : Qt::CaseInsensitive;
    for (qsizetype pos = haystack.indexOf(needleText, start, cs); pos >= 0 && pos + needle <= end;
         pos = haystack.indexOf(needleText, pos + 1, cs)) {
        if (wholeWord) {
            const bool wordBefore = pos > 0 && IsWordChar(haystack[pos - 1]);
            const bool wordAfter = pos + needle < size && IsWordChar(haystack[pos + needle]);
            if (wordBefore || wordAfter) {
                continue;
            }
        }
        return static_cast<int>(pos);
    }
    return -1;
}

void TRichEdit::SetBackgroundColor(const QColor& color) {
    QPalette pal = palette();
    pal.setColor(QPalette::Base, color);
    setPalette(pal);
}

void TRichEdit::BeginUpdate() {
    if (updateDepth_++ == 0) {
        viewport()->setUpdatesEnabled(false);
    }
}

void TRichEdit::EndUpdate() {
    if (updateDepth_ == 0) {
        return; // unpaired: nothing to resume
    }
    if (--updateDepth_ == 0) {
        viewport()->setUpdatesEnabled(true);
        viewport()->update();
    }
}

void TRichEdit::SetFormattingRect(const QRect& rect) {
    margin_ = std::max(rect.left(), 0);
    document()->setDocumentMargin(margin_);
}
