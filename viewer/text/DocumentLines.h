#pragma once
// A document walked line by line, for writers that number lines or must close
// their markup at each line end: the runs cut at every paragraph end and line
// break.

#include "viewer/text/RtfDocument.h"
#include "viewer/text/WriterOptions.h"

#include <cstdint>
#include <string>
#include <string_view>

class TLineVisitor {
public:
    virtual ~TLineVisitor() = default;
    // Text in the document's format FORMAT (an index into its Formats),
    // without line ends; never empty.
    virtual void Text(std::uint32_t format, std::u16string_view text) = 0;
    // The same for text held one byte a character (Latin-1), as most is.
    virtual void Latin1(std::uint32_t format, std::string_view text);
    virtual void LineEnd() = 0;
    // Before the first text or line end of a numbered line: NUMBER as text,
    // already right-aligned, without the blanks after it.
    virtual void LineNumber(std::string_view number) = 0;
};

// How many lines DOC has: one more than its line ends, less a last line that
// a final line end leaves empty; none for an empty document.
std::size_t CountLines(const TRtfDocument& doc);

// Walks DOC in order; LineNumber is called only when OPTIONS asks for numbers.
// Runs whose format or start is out of range are left out.
void WalkLines(const TRtfDocument& doc, const TWriterOptions& options, TLineVisitor& visitor);

// The effective format of F under OPTIONS' font and size; FONTINDEX is the
// index the override font has (or F's own font when OPTIONS names none).
TRtfCharFormat WithOptions(TRtfCharFormat f, const TWriterOptions& options, int fontIndex);

// Appends CH as UTF-8; HIGH is a pending high surrogate (0 for none) that
// pairs with a low one. Control characters other than TAB become U+FFFD:
// neither a page nor a terminal may receive them as they are.
void AppendUtf8(std::string& out, char16_t ch, char16_t& high);
// Ends text written with AppendUtf8: a high surrogate left without its pair
// becomes U+FFFD.
void FinishUtf8(std::string& out, char16_t& high);
