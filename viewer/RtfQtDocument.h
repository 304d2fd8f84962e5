#pragma once
// Between the reader's document model and QTextDocument: building a document
// for the view (any thread) and taking a range of it back for the writer.

#include "viewer/text/RtfDocument.h"

#include <memory>

class QTextDocument;

// A new document without parent holding MODEL's text and formats; runs
// without a font of their own use the code font. Touches no
// widget, so it may run on a worker thread.
std::unique_ptr<QTextDocument> BuildQtDocument(const TRtfDocument& model);

// The model of the characters [from, to) of DOC (positions as QTextCursor's).
TRtfDocument ModelOfRange(const QTextDocument& doc, int from, int to);
