#pragma once
// Writing the view's document as RTF: for Save and for the clipboard.

#include "viewer/text/RtfDocument.h"
#include "viewer/text/WriterOptions.h"

#include <string>

// The RTF of DOC: a font table and a colour table built from the formats the
// runs use, one group per run, \par after every paragraph. Characters outside
// ASCII are written as \'hh when Windows-1252 has them, else as \uN.
// OPTIONS may set every run in another font and size and number the lines;
// a number is plain text in the text colour.
std::string WriteRtf(const TRtfDocument& doc, const TWriterOptions& options = {});
