#pragma once
// The engine's document as any RTF reader shows it right: the engine copies
// its source's bytes into the document, and only this program knows whether
// they are UTF-8 or Windows-1252.

#include "engine/ByteSink.h"

#include <optional>
#include <string_view>

enum class TSourceEncoding {
    kAuto,        // UTF-8 when every byte above ASCII is part of a valid UTF-8 character
    kUtf8,        // UTF-8; a byte that is not part of a valid character is Windows-1252
    kWindows1252, // Windows-1252
};

// The encoding a command-line NAME stands for ("auto", "utf-8", "cp1252" and
// their usual spellings, in any case); none for any other name.
std::optional<TSourceEncoding> SourceEncodingNamed(std::string_view name);

// Writes DOCUMENT, a document of the engine, to SINK with its text bytes
// re-expressed for ENCODING: UTF-8 text as \uN? escapes (\uc1 in the header,
// surrogate pairs above U+FFFF), Windows-1252 text unchanged under
// \ansicpg1252 in the header. Pure ASCII goes out unchanged under kAuto. Every
// other byte is the engine's.
void WriteEncoded(std::string_view document, TSourceEncoding encoding, TByteSink& sink);
