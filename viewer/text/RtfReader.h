#pragma once
// Reading documents into the view's model: our own RTF reader, and the plain
// text the view falls back to when the data is not RTF.
//
// The reader never fails and never reaches outside the bytes it is given:
// what it cannot show is left out, damaged input gives what could be read.

#include "engine/StopRequest.h"
#include "viewer/text/RtfDocument.h"

#include <cstddef>
#include <functional>
#include <string_view>

// Told now and then how far the reader has come: it never looks at the bytes
// before OFFSET again, so their memory can go.
using TReadProgress = std::function<void(std::size_t offset)>;

// True when DATA starts with "{\rtf".
bool IsRtf(std::string_view data);

// The document of RTF data (see IsRtf). Raw bytes above ASCII are read as
// UTF-8 when every one of them is part of a valid UTF-8 character and the
// document names no code page (\ansicpg, \mac, \pc, \pca); else in the
// document's code page, Windows-1252 by default. \'hh bytes are always the
// code page's. A font's \cpg or \fcharset names the code page of its text;
// a symbol font's text is the characters it draws. The text of shapes and text
// boxes shows as paragraphs where they are anchored; footnote marks as
// superscript numbers, with the notes after the body behind a line; a SYMBOL
// field without a stored result as its character; and a list paragraph that
// does not write its number gets the one its list level gives. STOP, when
// given, is asked every 256 KB of data and ends the reading with
// EConversionCancelled; PASSED, when given, is told as often.
TRtfDocument ReadRtf(std::string_view data, const TStopRequest& stop = {},
                     const TReadProgress& passed = {});

// Plain text: UTF-8 when the bytes are valid UTF-8, else Windows-1252.
// CR LF, CR and LF end paragraphs; NUL bytes are dropped.
TRtfDocument ReadPlainText(std::string_view data);

// RTF when the data is RTF, else plain text.
TRtfDocument ReadDocument(std::string_view data, const TStopRequest& stop = {},
                          const TReadProgress& passed = {});
