#pragma once
// What the writers add around a document: line numbers, the font and size it
// is set in, the page around it. None of it is text of the document.

#include "platform/Color.h"
#include "viewer/text/RtfDocument.h"

#include <cstdint>
#include <string>

struct TWriterOptions {
    // Each line starts with its number, right-aligned to the widest, and two
    // blanks; a last line left empty by a final line end gets none.
    bool LineNumbers = false;
    std::uint64_t FirstLineNumber = 1;
    // The width numbers are aligned to; 0: that of the document's largest.
    // A document written in parts gives each part the width of the whole.
    std::size_t NumberWidth = 0;
    // The font every run is set in, and its size; empty and 0 keep the document's.
    std::string FontName;
    int FontHalfPoints = 0;
    // The colour of plain text (numbers are written in it); kNoColor leaves it
    // to the reader. The terminal writer leaves text of this colour in the
    // terminal's own.
    TColor TextColor = kNoColor;
    // HTML: the page's background, the <pre> alone, and the page's title (UTF-8).
    TColor Background = kNoColor;
    bool Fragment = false;
    std::string Title;
};

// The largest font size a document may name, in points (RTF's half points
// are a signed 16-bit number).
inline constexpr int kMaxFontPoints = 1638;

// True for a font name every writer can carry: no control character and none
// of the characters that end or escape an RTF font-table entry.
bool IsWritableFontName(const std::string& name);
