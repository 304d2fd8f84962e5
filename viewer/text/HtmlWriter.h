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

// The same page for a document read in consecutive parts, each but the last
// ending at a line end: the start of the page (taken from the first part),
// each part's code, which can be written at once on several threads, and
// the end. The parts' options number their lines on from the part before.
std::string HtmlPageStart(const TRtfDocument& first, const TWriterOptions& options);
std::string HtmlCode(const TRtfDocument& part, const TRtfDocument& first,
                     const TWriterOptions& options);
// HtmlCode appended to OUT, whose memory a caller writing many parts reuses.
void AppendHtmlCode(std::string& out, const TRtfDocument& part, const TRtfDocument& first,
                    const TWriterOptions& options);
std::string HtmlPageEnd(const TWriterOptions& options);
