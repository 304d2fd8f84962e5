#include "viewer/RichEdit.h"

#include "platform/qt/QtColor.h"
#include "viewer/SelectionMimeData.h"
#include "viewer/text/HtmlWriter.h"
#include "viewer/text/RtfRange.h"
#include "viewer/text/RtfReader.h"
#include "viewer/text/RtfWriter.h"

#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QPaintEvent>
#include <QPainter>
#include <QSaveFile>
#include <QScrollBar>
#include <QStringView>
#include <QTimer>
#include <algorithm>
#include <cmath>
#include <filesystem>
#include <new>

namespace {

bool IsWordChar(QChar ch) {
    return ch.isLetterOrNumber() || ch == u'_';
}

// Position of the first match of TEXT in HAYSTACK inside [start, start+length),
// or -1 (see TRichEdit::FindText).
template <typename Haystack>
int FindIn(Haystack haystack, const QString& text, int start, int length, bool matchCase,
           bool wholeWord) {
    const qsizetype size = haystack.size();
    if (text.isEmpty() || start < 0 || start > size) {
        return -1;
    }
    const qint64 wantedEnd = length < 0 ? size : static_cast<qint64>(start) + length;
    const qsizetype end = static_cast<qsizetype>(std::min<qint64>(wantedEnd, size));
    const qsizetype needle = text.size();
    const Qt::CaseSensitivity cs = matchCase ? Qt::CaseSensitive : Qt::CaseInsensitive;
    for (qsizetype pos = haystack.indexOf(text, start, cs); pos >= 0 && pos + needle <= end;
         pos = haystack.indexOf(text, pos + 1, cs)) {
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

} // namespace

TRichEdit::TRichEdit(QWidget* parent)
    : QAbstractScrollArea(parent), document_(std::make_shared<TViewDocument>()) {
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_InputMethodEnabled, false);
    viewport()->setCursor(Qt::IBeamCursor);
    viewport()->setBackgroundRole(QPalette::Base);
    viewport()->setAutoFillBackground(true);
    dpi_ = logicalDpiX();
    layout_.Reset(document_, ZoomedDpi(), palette().color(QPalette::Text));
    UpdateScrollBars();
}

TRichEdit::~TRichEdit() = default;

// ---- loading and saving ----

std::shared_ptr<const TViewDocument> TRichEdit::BuildDocument(std::string_view data,
                                                              const std::function<void()>& dataRead,
                                                              const TStopRequest& stop) const {
    try {
        return BuildViewDocument(data, dpi_, dataRead, stop);
    } catch (const std::bad_alloc&) {
        throw ERichEditError(kLoadFailedText);
    } catch (const std::length_error&) {
        throw ERichEditError(kLoadFailedText);
    }
}

std::shared_ptr<const TViewDocument> TRichEdit::BuildDocument(TDocumentBuffer& rtf,
                                                              const TStopRequest& stop) const {
    try {
        return BuildViewDocument(rtf, dpi_, stop);
    } catch (const std::bad_alloc&) {
        throw ERichEditError(kLoadFailedText);
    } catch (const std::length_error&) {
        throw ERichEditError(kLoadFailedText);
    }
}

void TRichEdit::AdoptDocument(std::shared_ptr<const TViewDocument> document) {
    if (!document) {
        return;
    }
    // The old document goes when its last user lets go: a copy on the
    // clipboard may still hold it.
    document_ = std::move(document);
    layout_.Reset(document_, ZoomedDpi(), palette().color(QPalette::Text));
    anchor_ = caret_ = 0;
    preferredX_ = -1;
    dragging_ = false;
    autoScrollTimer_.stop();
    horizontalScrollBar()->setRange(0, 0); // the old document's extent goes with it
    UpdateScrollBars();
    verticalScrollBar()->setValue(0);
    horizontalScrollBar()->setValue(0);
    PlaceGutter();
    viewport()->update();
    if (QAccessible::isActive()) {
        QAccessibleTextUpdateEvent updated(this, 0, QString(), QString());
        QAccessible::updateAccessibility(&updated);
    }
    SelectionMoved();
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
    return WriteRtf(document_->Model);
}

std::string TRichEdit::RangeToRtf(int from, int to) const {
    return WriteRtf(DocumentRange(document_->Model, static_cast<std::size_t>(std::max(from, 0)),
                                  static_cast<std::size_t>(std::max(to, 0))));
}

void TRichEdit::SaveToFile(const std::string& fileName, TSaveFormat format) const {
    std::string rtf;
    try {
        if (format == TSaveFormat::Html) {
            // The page shows the code on the view's own background.
            TWriterOptions options;
            options.Title = std::filesystem::path(fileName).filename().string();
            const QColor base = palette().color(QPalette::Base);
            options.Background = RgbColor(base.red(), base.green(), base.blue());
            rtf = WriteHtml(document_->Model, options);
        } else {
            rtf = ToRtf();
        }
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

// ---- text and selection ----

int TRichEdit::TextLength() const {
    return static_cast<int>(document_->Model.Text.size());
}

QString TRichEdit::Text(int from, int to) const {
    const int size = TextLength();
    from = std::clamp(from, 0, size);
    to = std::clamp(to, from, size);
    return Characters(document_->Model.Text, static_cast<std::size_t>(from),
                      static_cast<std::size_t>(to));
}

QString TRichEdit::toPlainText() const {
    QString text = Text(0, TextLength());
    text.replace(QChar(kLineBreak), u'\n');
    return text;
}

QTextCharFormat TRichEdit::CharFormatAt(int position) const {
    const TRtfDocument& model = document_->Model;
    const std::size_t run = RunAt(model, static_cast<std::uint32_t>(std::max(position, 0)));
    TRtfCharFormat f;
    if (run < model.Runs.size() && model.Runs[run].Format < model.Formats.size()) {
        f = model.Formats[model.Runs[run].Format];
    } else {
        f.SizeHalfPoints = kCodeFontHalfPoints;
    }
    QTextCharFormat format;
    const QFont font = FontOf(model, f);
    format.setFontFamilies(QStringList{font.family()});
    format.setFontFixedPitch(font.fixedPitch());
    format.setFontPointSize(f.SizeHalfPoints / 2.0);
    format.setFontWeight(f.Bold ? QFont::Bold : QFont::Normal);
    format.setFontItalic(f.Italic);
    format.setFontUnderline(f.Underline);
    format.setFontStrikeOut(f.Strike);
    format.setForeground(f.Color != kNoColor ? ToQColor(f.Color) : palette().color(QPalette::Text));
    if (f.Background != kNoColor) {
        format.setBackground(ToQColor(f.Background));
    }
    if (f.Vertical != 0) {
        format.setVerticalAlignment(f.Vertical > 0 ? QTextCharFormat::AlignSuperScript
                                                   : QTextCharFormat::AlignSubScript);
    }
    return format;
}

int TRichEdit::SelStart() const {
    return static_cast<int>(std::min(anchor_, caret_));
}

int TRichEdit::SelLength() const {
    return static_cast<int>(std::max(anchor_, caret_) - std::min(anchor_, caret_));
}

void TRichEdit::SetSelStart(int start) {
    const auto at = static_cast<std::uint32_t>(std::clamp(start, 0, TextLength()));
    SetSelection(static_cast<int>(at), static_cast<int>(at));
}

void TRichEdit::SetSelLength(int length) {
    const int start = SelStart();
    const int end = static_cast<int>(
        std::clamp<qint64>(static_cast<qint64>(start) + std::max(length, 0), start, TextLength()));
    SetSelection(start, end);
}

void TRichEdit::SetSelection(int anchor, int caret) {
    anchor_ = static_cast<std::uint32_t>(std::clamp(anchor, 0, TextLength()));
    caret_ = static_cast<std::uint32_t>(std::clamp(caret, 0, TextLength()));
    preferredX_ = -1;
    EnsureVisible(static_cast<int>(caret_));
    SelectionMoved();
}

void TRichEdit::SelectAll() {
    anchor_ = 0;
    caret_ = static_cast<std::uint32_t>(TextLength());
    preferredX_ = -1;
    SelectionMoved();
    PutSelectionOnXSelection();
}

QString TRichEdit::SelText() const {
    return Text(SelStart(), SelStart() + SelLength());
}

void TRichEdit::SelectionMoved() {
    RestartCaretBlink();
    viewport()->update();
    if (QAccessible::isActive()) {
        QAccessibleTextCursorEvent moved(this, static_cast<int>(caret_));
        QAccessible::updateAccessibility(&moved);
        QAccessibleTextSelectionEvent selected(this, SelStart(), SelStart() + SelLength());
        QAccessible::updateAccessibility(&selected);
    }
    emit SelectionChanged();
}

// ---- copy and find ----

QMimeData* TRichEdit::CreateSelectionMimeData() const {
    return new TSelectionMimeData(document_, std::min(anchor_, caret_), std::max(anchor_, caret_));
}

void TRichEdit::CopyToClipboard() const {
    if (anchor_ != caret_) {
        QApplication::clipboard()->setMimeData(CreateSelectionMimeData());
    }
}

void TRichEdit::PutSelectionOnXSelection() const {
    QClipboard* clipboard = QApplication::clipboard();
    if (anchor_ != caret_ && clipboard->supportsSelection()) {
        clipboard->setMimeData(CreateSelectionMimeData(), QClipboard::Selection);
    }
}

int TRichEdit::FindText(const QString& text, int start, int length, bool matchCase,
                        bool wholeWord) const {
    // Searched in the width the text is stored in: a copy of 50 MB would cost
    // more than the search.
    const TDocText& model = document_->Model.Text;
    if (model.IsWide()) {
        return FindIn(QStringView(model.WideData(), static_cast<qsizetype>(model.size())), text,
                      start, length, matchCase, wholeWord);
    }
    return FindIn(QLatin1StringView(reinterpret_cast<const char*>(model.NarrowData()),
                                    static_cast<qsizetype>(model.size())),
                  text, start, length, matchCase, wholeWord);
}

// ---- settings ----

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
    const QMargins margins(std::max(rect.left(), 0), std::max(rect.top(), 0),
                           std::max(rect.right(), 0), std::max(rect.bottom(), 0));
    if (margins == margins_) {
        return; // asked for on every paint of the window
    }
    margins_ = margins;
    UpdateScrollBars();
    viewport()->update();
}

void TRichEdit::changeEvent(QEvent* event) {
    QAbstractScrollArea::changeEvent(event);
    if (event->type() == QEvent::PaletteChange) {
        layout_.SetTextColor(palette().color(QPalette::Text));
        viewport()->update();
    }
}

// ---- geometry and scrolling ----

QRect TRichEdit::TextArea() const {
    return viewport()->rect().marginsRemoved(margins_);
}

int TRichEdit::TopLine() const {
    return verticalScrollBar()->value();
}

int TRichEdit::RowsInSight() const {
    const qreal height = layout_.DefaultLineHeight();
    return std::max(1, static_cast<int>(TextArea().height() / (height > 0 ? height : 1)));
}

void TRichEdit::UpdateScrollBars() {
    const TLineIndex& lines = document_->Lines;
    const int count = static_cast<int>(lines.Count());
    const int areaHeight = TextArea().height();
    // The last page: as many lines from the end as fit.
    int lastTop = count - 1;
    if (layout_.FixedPitch()) {
        lastTop = std::max(0, count - RowsInSight());
    } else {
        qreal used = 0;
        while (lastTop >= 0 &&
               used + layout_.LineHeight(static_cast<std::size_t>(lastTop)) <= areaHeight) {
            used += layout_.LineHeight(static_cast<std::size_t>(lastTop));
            --lastTop;
        }
        lastTop = std::clamp(lastTop + 1, 0, count - 1);
    }
    QScrollBar* vertical = verticalScrollBar();
    vertical->setRange(0, lastTop);
    vertical->setPageStep(RowsInSight());
    vertical->setSingleStep(1);

    const qreal widest = std::max(layout_.Widest(), layout_.WidestMeasured());
    const int extent = static_cast<int>(std::ceil(widest + layout_.LineEndMark())) + 1;
    QScrollBar* horizontal = horizontalScrollBar();
    // Grows as lines are measured, never shrinks while the document is shown.
    horizontal->setRange(0, std::max({0, extent - TextArea().width(), horizontal->maximum()}));
    horizontal->setPageStep(std::max(1, TextArea().width()));
    horizontal->setSingleStep(std::max(
        1, static_cast<int>(std::lround(layout_.FixedPitch() ? layout_.Pitch().Char : 8))));
}

void TRichEdit::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    horizontalScrollBar()->setMaximum(0); // the extent over the new width
    UpdateScrollBars();
    PlaceGutter();
}

void TRichEdit::scrollContentsBy(int, int) {
    viewport()->update();
}

std::size_t TRichEdit::LineAtY(int y) const {
    const TLineIndex& lines = document_->Lines;
    std::size_t line = static_cast<std::size_t>(TopLine());
    if (y < margins_.top()) {
        return line > 0 ? line - 1 : 0;
    }
    qreal top = margins_.top();
    while (line + 1 < lines.Count()) {
        const qreal height = layout_.LineHeight(line);
        if (y < top + height) {
            break;
        }
        top += height;
        ++line;
    }
    return line;
}

int TRichEdit::PositionAt(QPoint point) const {
    const std::size_t line = LineAtY(point.y());
    const qreal x = point.x() - margins_.left() + horizontalScrollBar()->value();
    return static_cast<int>(layout_.PositionAt(line, x));
}

QRect TRichEdit::CharacterRect(int position) const {
    const TLineIndex& lines = document_->Lines;
    const auto pos = static_cast<std::uint32_t>(std::clamp(position, 0, TextLength()));
    const std::size_t line = lines.LineOf(pos);
    const std::size_t top = static_cast<std::size_t>(TopLine());
    qreal y = margins_.top();
    if (line >= top) {
        for (std::size_t l = top; l < line && y < viewport()->height(); ++l) {
            y += layout_.LineHeight(l);
        }
        if (y >= viewport()->height()) {
            y = margins_.top() + (line - top) * layout_.DefaultLineHeight();
        }
    } else {
        y -= (top - line) * layout_.DefaultLineHeight();
    }
    const qreal left = layout_.X(line, pos);
    const qreal right = pos < lines.End(line) ? layout_.X(line, pos + 1) : left + 1;
    const qreal x = margins_.left() - horizontalScrollBar()->value() + left;
    return QRectF(x, y, std::max<qreal>(1, right - left), layout_.LineHeight(line)).toRect();
}

QRect TRichEdit::cursorRect() const {
    const QRect cell = CharacterRect(static_cast<int>(caret_));
    return QRect(cell.left(), cell.top(), 1, cell.height());
}

void TRichEdit::EnsureVisible(int position) {
    const TLineIndex& lines = document_->Lines;
    const auto pos = static_cast<std::uint32_t>(std::clamp(position, 0, TextLength()));
    const std::size_t line = lines.LineOf(pos);
    QScrollBar* vertical = verticalScrollBar();
    const auto top = static_cast<std::size_t>(vertical->value());
    if (line < top) {
        vertical->setValue(static_cast<int>(line));
    } else {
        // The lowest top line that still shows LINE whole.
        const int area = TextArea().height();
        std::size_t first = line;
        qreal used = layout_.LineHeight(line);
        while (first > top && used + layout_.LineHeight(first - 1) <= area) {
            used += layout_.LineHeight(--first);
        }
        if (first > top) {
            vertical->setValue(static_cast<int>(first));
        }
    }
    const qreal x = layout_.X(line, pos);
    if (layout_.WidestMeasured() > layout_.Widest()) {
        UpdateScrollBars();
    }
    QScrollBar* horizontal = horizontalScrollBar();
    const int width = TextArea().width();
    if (x < horizontal->value()) {
        horizontal->setValue(std::max(0, static_cast<int>(x) - width / 4));
    } else if (x + 2 > horizontal->value() + width) {
        if (horizontal->maximum() < static_cast<int>(x)) {
            horizontal->setMaximum(static_cast<int>(x) + width / 4);
        }
        horizontal->setValue(static_cast<int>(x) - width * 3 / 4);
    }
}

// ---- painting ----

void TRichEdit::paintEvent(QPaintEvent* event) {
    QPainter painter(viewport());
    const QRect area = TextArea();
    painter.setClipRect(area.intersected(event->rect()));
    const TLineIndex& lines = document_->Lines;
    const QPalette::ColorGroup group =
        hasFocus() && isActiveWindow() ? QPalette::Active : QPalette::Inactive;
    viewer::TSelectionPaint selection;
    selection.From = std::min(anchor_, caret_);
    selection.To = std::max(anchor_, caret_);
    selection.Background = palette().color(group, QPalette::Highlight);
    selection.Foreground = palette().color(group, QPalette::HighlightedText);
    const qreal left = area.left() - horizontalScrollBar()->value();
    const std::size_t caretLine = lines.LineOf(caret_);
    qreal y = area.top();
    const qreal bottom = std::min(area.bottom() + 1, event->rect().bottom() + 1);
    for (auto line = static_cast<std::size_t>(TopLine()); line < lines.Count() && y < bottom;
         ++line) {
        const qreal height = layout_.LineHeight(line);
        if (y + height > event->rect().top()) {
            layout_.Paint(painter, line, QPointF(left, y), area.left(), area.right() + 1,
                          selection);
            if (line == caretLine && caretShown_ && hasFocus()) {
                const qreal x = left + layout_.X(line, caret_);
                painter.fillRect(QRectF(std::floor(x), y, 1, height),
                                 palette().color(QPalette::Text));
            }
        }
        y += height;
    }
    // Lines measured while painting may be wider than the range knows.
    if (layout_.WidestMeasured() + layout_.LineEndMark() + 1 >
        horizontalScrollBar()->maximum() + area.width()) {
        QTimer::singleShot(0, this, [this] { UpdateScrollBars(); });
    }
}

void TRichEdit::RestartCaretBlink() {
    caretShown_ = true;
    const int flash = QApplication::cursorFlashTime();
    if (hasFocus() && flash > 0) {
        caretTimer_.start(flash / 2, this);
    } else {
        caretTimer_.stop();
    }
}

void TRichEdit::focusInEvent(QFocusEvent* event) {
    QAbstractScrollArea::focusInEvent(event);
    RestartCaretBlink();
    viewport()->update();
}

void TRichEdit::focusOutEvent(QFocusEvent* event) {
    QAbstractScrollArea::focusOutEvent(event);
    caretTimer_.stop();
    viewport()->update(); // the selection stays, in the colours of an inactive one
}

void TRichEdit::timerEvent(QTimerEvent* event) {
    if (event->timerId() == caretTimer_.timerId()) {
        caretShown_ = !caretShown_;
        viewport()->update(cursorRect().adjusted(-1, 0, 1, 0));
    } else if (event->timerId() == autoScrollTimer_.timerId()) {
        AutoScroll();
    } else {
        QAbstractScrollArea::timerEvent(event);
    }
}
