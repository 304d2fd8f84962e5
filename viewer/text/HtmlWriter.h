#pragma once
// The HTML flavour of a copy: the document's text with its colours, weight,
// style and fonts, as other programs paste it.

#include "viewer/text/RtfDocument.h"

#include <string>

// A whole HTML page (UTF-8) holding DOC in one block that keeps spaces, tabs
// and line ends; one span per run.
std::string WriteHtml(const TRtfDocument& doc);
