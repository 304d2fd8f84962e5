#pragma once
// Writing the view's document as RTF: for Save and for the clipboard.

#include "viewer/text/RtfDocument.h"

#include <string>

// The RTF of DOC: a font table and a colour table built from the formats the
// runs use, one group per run, \par after every paragraph. Characters outside
// ASCII are written as \'hh when Windows-1252 has them, else as \uN.
std::string WriteRtf(const TRtfDocument& doc);
