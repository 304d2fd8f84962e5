#pragma once
// The engine's document rewritten by one of the reader's writers: HTML, the
// terminal's escapes, or RTF with line numbers, another font or size.

#include "engine/ByteSink.h"
#include "tools/pas2rtf/Pas2Rtf.h"

#include <string>
#include <string_view>

// Reads ENGINEDOCUMENT into the document model and hands it to SINK in the
// format COMMAND asks for. TITLE names the page of a whole HTML document.
// The colours of plain text and of the page are the Foreground and
// Background slots' as they are now. A large document is read and written
// in up to THREADS parts at once.
void WriteDocumentAs(std::string_view engineDocument, const TPas2RtfCommand& command,
                     const std::string& title, TByteSink& sink, unsigned threads = 1);

// The title of INPUT's page: its file name, "standard input" for "-".
std::string PageTitle(const std::string& input);
