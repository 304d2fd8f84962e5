#pragma once
// The highlighting engine: Pascal source in, syntax-coloured RTF document out.

#include "engine/ByteSink.h"
#include "engine/ColorScheme.h"
#include "engine/MemoryStream.h"
#include "engine/StopRequest.h"

#include <array>
#include <cstdint>
#include <future>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

class TRtfOutput;

// The six source-file extensions the engine converts, compared lower-cased.
extern const std::array<std::string_view, 6> SourceExtensions;
// The 68 keywords, upper case, in ascending byte order.
extern const std::array<std::string_view, 68> Keywords;

// The extension of FILENAME, dot included: the text from the last "." that
// comes after every "/", "\" and ":"; empty when there is none.
std::string_view FileExtension(std::string_view fileName);
// True when the file name's extension is one of SourceExtensions.
bool IsSourceFileName(std::string_view fileName);
// The extensions Free Pascal and Lazarus code mostly uses, which the viewer
// shows converted too, beside SourceExtensions.
extern const std::array<std::string_view, 3> FreePascalExtensions;
// True for SourceExtensions and FreePascalExtensions.
bool IsPascalFileName(std::string_view fileName);

// Converts FILENAME into the RTF document, written to DEST (which the caller
// owns and hands in empty). Throws std::runtime_error("Unknown file extension")
// for a file that is not Pascal source, or an error naming the file when it
// cannot be read; DEST is untouched in both cases. Leaves DEST's position at 0.
// STOP, when given, can abandon the conversion (see TStopRequest).
void ConvertFile(const std::string& fileName, TMemoryStream& dest, const TStopRequest& stop = {});
// The same conversion, handing the document to DEST while it is written;
// nothing reaches DEST when the conversion fails before the first byte.
void ConvertFile(const std::string& fileName, TByteSink& dest, const TStopRequest& stop = {});
// ConvertFile without the extension test: the caller has decided that the
// file is Pascal source.
void ConvertFileAsPascal(const std::string& fileName, TMemoryStream& dest,
                         const TStopRequest& stop = {});
void ConvertFileAsPascal(const std::string& fileName, TByteSink& dest,
                         const TStopRequest& stop = {});

// One conversion. The scanner reads the source through a cursor over the
// in-memory copy and writes each token's fragment as soon as the token is read.
class TPascalParser {
public:
    // Asked while the conversion runs; true abandons it with EConversionCancelled.
    TStopRequest StopRequested;

    // Loads the colours, reads the file and writes the document to DEST from
    // position 0.
    void Convert(const std::string& fileName, TMemoryStream& dest);
    void Convert(const std::string& fileName, TByteSink& dest);
    // Writes the document of SOURCE to DEST (from its position), with the
    // colours as they are now.
    void ConvertSource(std::string_view source, TMemoryStream& dest);
    void ConvertSource(std::string_view source, TByteSink& dest);
    // The same document, with the source's second half (from the first line
    // start after SPLITAT) scanned on another thread at the same time; or,
    // with std::launch::deferred, on this thread when the first half reaches
    // it (the same joins, without a thread, for many small sources).
    void ConvertSourceSplit(std::string_view source, TByteSink& dest, std::size_t splitAt,
                            std::launch secondHalf = std::launch::async);

    void LoadColors(); // from HKCU\Software\QD\Lumivane\Pascal into ColorSlots
    void SaveColors(); // all seven slots back to the store

    // The document before the first source byte, from the current ColorSlots.
    static std::string BuildHeader();
    // "\redR\greenG\blueB;" of the colour, system colours resolved now.
    static std::string ColorTableEntry(TColor color);
    // True when WORD, upper-cased, is one of Keywords.
    static bool IsKeyword(std::string_view word);

    static constexpr std::string_view kTrailer{"\\par }{\r\n", 9};

private:
    // A line start reached by a plain LF in the main loop, and how much of the
    // document had been written there.
    struct TLineStart {
        std::size_t position;
        std::size_t written;
    };
    // What the main loop does at such a line start (see ConvertSourceSplit).
    enum class TLineMode { kIgnore, kNote, kPauseFrom, kJoinAt };

    // The main loop and the token readers. Each reader is entered with the
    // token's first byte already consumed (a comment's second byte not yet).
    // ScanSource returns true when the line mode stopped it before the end.
    // Points the scanner at SOURCE from FROM, writing to OUTPUT; EndScan lets go.
    void BeginScan(std::string_view source, std::size_t from, TRtfOutput& output);
    void EndScan();
    void ConvertWhole(std::string_view source, TByteSink& dest);
    bool ScanSource();
    bool StopsAtLineStart();
    char PeekChar() const { return cursor_ < end_ ? *cursor_ : ' '; }
    std::string_view ReadRun(std::uint8_t continuation);
    std::string_view ReadIdentifier();
    std::string_view ReadCharCode();
    std::string_view ReadNumber();
    std::string_view ReadHexNumber();
    void ReadString();
    void ReadBraceComment();
    void ReadParenComment();
    void ReadLineComment();
    void ReadAsmBlock();
    void WriteGroup(std::string_view opener, std::string_view text);

    const char* begin_ = nullptr;
    const char* cursor_ = nullptr; // next source byte
    const char* end_ = nullptr;
    TRtfOutput* out_ = nullptr;

    TLineMode lineMode_ = TLineMode::kIgnore;
    std::vector<TLineStart>* lineStarts_ = nullptr; // noted, or to join at
    std::size_t pauseFrom_ = 0;
    std::size_t joinIndex_ = 0; // the line start found by JoinAt

    // While the scanner works on the engine's own copy of a file, the pages it
    // has passed below releaseLimit_ go back to the system: a large source and
    // its document are then not both held whole. Nothing behind a main-loop
    // line start is read again (the scanner has no look-behind).
    void ReleaseScanned();
    bool ownsSource_ = false;
    std::size_t releaseLimit_ = 0; // 0: release nothing
    std::size_t released_ = 0;     // offset up to which the pages are gone
};
