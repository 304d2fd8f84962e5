#pragma once
// Parts of a document: the run at a position, and the characters of a range
// as a document of their own (for Copy and for writing a range).

#include "viewer/text/RtfDocument.h"

#include <cstddef>
#include <cstdint>

// Index of the run holding POSITION; Runs.size() when no run does.
std::size_t RunAt(const TRtfDocument& doc, std::uint32_t position);

// The characters [FROM, TO) of DOC with their formats; only the formats and
// fonts those characters use come along. Out-of-range bounds are limited to
// the text.
TRtfDocument DocumentRange(const TRtfDocument& doc, std::size_t from, std::size_t to);
