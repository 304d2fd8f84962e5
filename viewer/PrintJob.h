#pragma once
// Printing and PDF export of a document as the view shows it. Both lay out
// and draw a slice at a time from the event loop, under a progress dialog
// whose Cancel stops them; input to the other windows waits meanwhile.

#include "viewer/SourceViewDocument.h"

#include <QColor>
#include <QObject>
#include <QPointer>
#include <QString>
#include <cstdint>
#include <memory>
#include <stdexcept>

class QPrinter;
class QWidget;

// Keeps user input away from every window but one while a job runs: a second
// command must not start inside the first. Made once, when its owner is:
// an event filter installed while Qt runs the filters makes it run some twice.
class TInputBlocker : public QObject {
public:
    explicit TInputBlocker(QObject* parent);
    ~TInputBlocker() override;
    // Input goes to ONLY's window alone; nullptr lets it go everywhere again.
    void Allow(QWidget* only) { allowed_ = only; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QPointer<QWidget> allowed_;
};

// Printing or writing the PDF document failed; the message gives the reason.
class EPrintError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// What goes on the pages: characters [From, To) of the document, the title
// in each page's header, and the view's colours.
struct TPrintSource {
    std::shared_ptr<const TViewDocument> Document;
    std::uint32_t From = 0;
    std::uint32_t To = 0;
    QString Title;
    QColor Text = Qt::black;
    QColor Background = Qt::white;
};

// Writes SOURCE as a PDF document to FILENAME. The file is replaced only
// when the whole document is written; false when the user cancelled.
// BLOCKER, when given, holds input to other windows meanwhile.
bool ExportPdf(QWidget* owner, const TPrintSource& source, const QString& fileName,
               TInputBlocker* blocker = nullptr);
// Prints SOURCE on PRINTER, the pages its page range asks for. False when
// the user cancelled. A print to a file leaves no file after a failure.
bool PrintPages(QWidget* owner, const TPrintSource& source, QPrinter& printer,
                TInputBlocker* blocker = nullptr);
