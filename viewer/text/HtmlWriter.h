#pragma once
// The one HTML writer: what Copy puts on the clipboard, what Save writes as a
// web page and what pas2rtf writes. The code is one <pre> whose colours,
// weight and style are inline styles, so that a browser's copy into a word
// processor or an e-mail keeps them.

#include "viewer/text/RtfDocument.h"
#include "viewer/text/WriterOptions.h"

#include <string>

// A whole HTML page (UTF-8), or with OPTIONS.Fragment the <pre> alone. The
// <pre> carries the font, size and colour of the first run; a span carries
// what a run has beyond that. Line numbers cannot be selected, so a
// selection of the code copies the code alone.
std::string WriteHtml(const TRtfDocument& doc, const TWriterOptions& options = {});
