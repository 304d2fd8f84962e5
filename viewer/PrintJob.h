#pragma once
// Printing and PDF export of a document as the view shows it. Both lay out
// and draw a slice at a time from the event loop, under a progress dialog
// whose Cancel stops them; input to the other windows waits meanwhile.

#include "viewer/SourceViewDocument.h"

#include <QColor>
#include <QString>
#include <cstdint>
#include <memory>
#include <stdexcept>

class QPrinter;
class QWidget;

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
bool ExportPdf(QWidget* owner, const TPrintSource& source, const QString& fileName);
// Prints SOURCE on PRINTER, the pages its page range asks for. False when
// the user cancelled. A print to a file leaves no file after a failure.
bool PrintPages(QWidget* owner, const TPrintSource& source, QPrinter& printer);
