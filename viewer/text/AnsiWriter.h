#pragma once
// The document for terminals and pagers: 24-bit colour escapes, bold and
// italic, UTF-8 text, every line ending in a reset, no background colour.

#include "viewer/text/RtfDocument.h"
#include "viewer/text/WriterOptions.h"

#include <string>

// Text in OPTIONS.TextColor (or with no colour) is written in the terminal's
// own foreground colour, so plain code reads on dark and light terminals
// alike. OPTIONS' font, size and page settings do not apply to a terminal.
std::string WriteAnsi(const TRtfDocument& doc, const TWriterOptions& options = {});
// WriteAnsi appended to OUT, whose memory a caller writing many parts reuses.
void AppendAnsi(std::string& out, const TRtfDocument& doc, const TWriterOptions& options);
