#pragma once
// The engine's document as any RTF reader shows it right: the engine copies
// its source's bytes into the document, and only this program knows whether
// they are UTF-8 or Windows-1252.

#include "engine/ByteSink.h"
#include "tools/pas2rtf/ChunkWriter.h"
#include "tools/pas2rtf/Utf8Escaper.h"

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

enum class TSourceEncoding {
    kAuto,        // UTF-8 when every byte above ASCII is part of a valid UTF-8 character
    kUtf8,        // UTF-8; a byte that is not part of a valid character is Windows-1252
    kWindows1252, // Windows-1252
};

// The encoding a command-line NAME stands for ("auto", "utf-8", "cp1252" and
// their usual spellings, in any case); none for any other name.
std::optional<TSourceEncoding> SourceEncodingNamed(std::string_view name);

// How a document's text bytes are written.
enum class TTextWriting {
    kAsIs,        // nothing to re-express: the engine's document unchanged
    kUtf8,        // \uN? escapes, \uc1 in the header
    kWindows1252, // the bytes unchanged, \ansicpg1252 in the header
};

// How the document of SOURCE is written for ENCODING: pure ASCII stays as it
// is unless Windows-1252 is asked for.
TTextWriting TextWritingFor(std::string_view source, TSourceEncoding encoding);

// Whether SOURCE starts with the UTF-8 byte order mark, which says the text
// is UTF-8 and is itself no part of the text.
bool StartsWithByteOrderMark(std::string_view source);

// Passes the engine's document on to another sink with its text bytes
// re-expressed; every other byte is the engine's. Call Finish at the end.
// Escaped text reaches SINK from a thread of the sink's own, in order; SINK
// is not used by any other thread until Finish returns.
class TEncodingSink : public TByteSink {
public:
    TEncodingSink(TByteSink& sink, TTextWriting writing);
    void Write(std::string_view bytes) override;
    void Finish();

private:
    void WriteHeaderWords(std::string_view& bytes);
    void WriteEscaped(std::string_view bytes);
    void EscapeHere(std::string_view bytes);
    void NextChunk();
    void Flush();

    TByteSink& sink_;
    TTextWriting writing_;
    std::string opening_; // the start of the document until its header words are in
    bool headerDone_ = false;
    char carry_[3]; // a character cut by the end of a write
    std::size_t carryLength_ = 0;
    std::unique_ptr<TUtf8Escaper> escaper_;
    std::unique_ptr<TChunkWriter> writer_; // escaped text on its way to the sink
    char* chunk_ = nullptr;                // the buffer being filled, from writer_
    char* out_ = nullptr;
    char* limit_ = nullptr; // the end of a whole chunk; the escaper's last step may pass it
};
