#include "engine/PascalParser.h"

#include "engine/GroupOpeners.h"
#include "engine/KeywordTable.h"
#include "engine/RtfOutput.h"
#include "engine/ScanTables.h"
#include "platform/Color.h"
#include "platform/MemoryPages.h"

#include <algorithm>
#include <cstdint>
#include <future>
#include <thread>

const std::array<std::string_view, 6> SourceExtensions = {".pas", ".~pa", ".dpr",
                                                          ".~dp", ".int", ".inc"};

const std::array<std::string_view, 68> Keywords = engine::kKeywordTable;

using namespace engine;

namespace {

bool IsEndWord(std::string_view word) {
    return word.size() == 3 && (word[0] & ~0x20) == 'E' && (word[1] & ~0x20) == 'N' &&
           (word[2] & ~0x20) == 'D';
}

// ---- Document literals -----------------------------------------------------

constexpr std::string_view kHeaderOpening =
    "{\\rtf1\\ansi\\deff0\\deftab720{\\fonttbl{\\f0\\fmodern Courier New;}}{\\colortbl";
constexpr std::string_view kHeaderClosing = "}\\deflang1031\\pard\\plain\\f0\\fs18\\cf0";
static_assert(kHeaderOpening.size() == 73 && kHeaderClosing.size() == 36);

constexpr std::string_view kKeywordOpener = kKeywordGroup.View();
constexpr std::string_view kNumberOpener = kNumberGroup.View();
constexpr std::string_view kStringOpener = kStringGroup.View();
constexpr std::string_view kCommentOpener = kCommentGroup.View();
constexpr std::string_view kAsmOpener = kAsmGroup.View();
// The END after an assembler block: bold in the document's default colour.
constexpr std::string_view kAsmEndOpener = "{\\b ";

// ---- File type -------------------------------------------------------------

std::string LowerCaseExtension(std::string_view fileName) {
    std::string extension(FileExtension(fileName));
    for (char& c : extension) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
    }
    return extension;
}

template <std::size_t N>
bool Contains(const std::array<std::string_view, N>& list, std::string_view item) {
    return std::find(list.begin(), list.end(), item) != list.end();
}

// ---- Sinks and the split conversion ---------------------------------------

class TMemoryStreamSink : public TByteSink {
public:
    explicit TMemoryStreamSink(TMemoryStream& stream) : stream_(stream) {}
    void Write(std::string_view bytes) override { stream_.Write(bytes); }

private:
    TMemoryStream& stream_;
};

// The second half's document while the first half catches up, in pieces that
// go as soon as they are handed on: the two halves' documents are then never
// held twice over.
class TPieceSink : public TByteSink {
public:
    // EXPECTED: about how large the document will be, so that a small one
    // does not take a whole piece.
    explicit TPieceSink(std::size_t expected) : firstPiece_(std::min(expected, kPieceSize)) {}

    void Write(std::string_view bytes) override {
        while (!bytes.empty()) {
            if (pieces_.empty() || pieces_.back().size() == kPieceSize) {
                pieces_.emplace_back().reserve(pieces_.size() == 1 ? firstPiece_ : kPieceSize);
            }
            std::string& piece = pieces_.back();
            const std::size_t taken = std::min(bytes.size(), kPieceSize - piece.size());
            piece.append(bytes.substr(0, taken));
            bytes.remove_prefix(taken);
        }
    }

    // Puts the document from byte FROM on into OUTPUT, freeing each piece once
    // it is there.
    void MoveTo(TRtfOutput& output, std::size_t from) {
        std::size_t start = 0; // of the current piece in the document
        for (std::string& piece : pieces_) {
            const std::size_t size = piece.size();
            if (from < start + size) {
                output.Put(std::string_view(piece).substr(from > start ? from - start : 0));
            }
            std::string().swap(piece);
            start += size;
        }
        pieces_.clear();
    }

private:
    static constexpr std::size_t kPieceSize = 1 << 20;
    std::size_t firstPiece_;
    std::vector<std::string> pieces_;
};

// The scanner gives back the pages of the source it has passed in steps of this.
constexpr std::size_t kReleaseStep = 4 << 20;

// Marks a conversion of the engine's own copy of a file for as long as it runs.
class TOwnedSource {
public:
    explicit TOwnedSource(bool& owned) : owned_(owned) { owned_ = true; }
    TOwnedSource(const TOwnedSource&) = delete;
    TOwnedSource& operator=(const TOwnedSource&) = delete;
    ~TOwnedSource() { owned_ = false; }

private:
    bool& owned_;
};

// Line starts the second half notes for the first half to meet it at. The
// halves meet within a few lines of the split; should they not meet within
// these, the first half scans on to the end, which gives the same document.
constexpr std::size_t kMaxNotedLineStarts = 1 << 16;

void CheckSourceFileName(const std::string& fileName) {
    if (!IsSourceFileName(fileName)) {
        throw std::runtime_error("Unknown file extension");
    }
}

// Large sources are converted in two halves at once; below this the second
// thread costs more than it saves.
constexpr std::size_t kSplitThreshold = 1 << 20;

// About how large the document of SOURCESIZE bytes will be: typical Pascal
// grows by a fifth to a third, and the header adds a few hundred bytes.
constexpr std::size_t ExpectedDocumentSize(std::size_t sourceSize) {
    return sourceSize + sourceSize / 2 + 512;
}

// Copies the bytes up to the next one in STOPS (or the end) and returns
// whether any were copied.
bool CopyUntil(const char*& cursor, const char* end, const TStopSet& stops, TRtfOutput& out) {
    const char* start = cursor;
    cursor = SkipUntil(cursor, end, stops);
    out.Put(start, cursor);
    return cursor != start;
}

// The escape of a backslash or a brace inside a group.
void PutEscaped(char c, TRtfOutput& out) {
    out.Put('\\');
    out.Put(c);
}

} // namespace

// ---- File type and entries -------------------------------------------------

std::string_view FileExtension(std::string_view fileName) {
    const std::size_t found = fileName.find_last_of(".:\\/");
    if (found == std::string_view::npos || fileName[found] != '.') {
        return {};
    }
    return fileName.substr(found, 255);
}

const std::array<std::string_view, 3> FreePascalExtensions = {".pp", ".lpr", ".p"};

bool IsSourceFileName(std::string_view fileName) {
    return Contains(SourceExtensions, LowerCaseExtension(fileName));
}

bool IsPascalFileName(std::string_view fileName) {
    const std::string extension = LowerCaseExtension(fileName);
    return Contains(SourceExtensions, extension) || Contains(FreePascalExtensions, extension);
}

void ConvertFile(const std::string& fileName, TMemoryStream& dest, const TStopRequest& stop) {
    CheckSourceFileName(fileName);
    ConvertFileAsPascal(fileName, dest, stop);
}

void ConvertFile(const std::string& fileName, TByteSink& dest, const TStopRequest& stop) {
    CheckSourceFileName(fileName);
    ConvertFileAsPascal(fileName, dest, stop);
}

void ConvertFileAsPascal(const std::string& fileName, TMemoryStream& dest,
                         const TStopRequest& stop) {
    TPascalParser parser;
    parser.StopRequested = stop;
    parser.Convert(fileName, dest);
    dest.SetPosition(0);
}

void ConvertFileAsPascal(const std::string& fileName, TByteSink& dest, const TStopRequest& stop) {
    TPascalParser parser;
    parser.StopRequested = stop;
    parser.Convert(fileName, dest);
}

// ---- Conversion ------------------------------------------------------------

void TPascalParser::Convert(const std::string& fileName, TMemoryStream& dest) {
    LoadColors();
    CheckStopRequest(StopRequested);
    TMemoryStream source;
    source.LoadFromFile(fileName);
    CheckStopRequest(StopRequested);
    dest.SetPosition(0);
    const TOwnedSource owned(ownsSource_);
    ConvertSource(source.View(), dest);
}

void TPascalParser::Convert(const std::string& fileName, TByteSink& dest) {
    LoadColors();
    CheckStopRequest(StopRequested);
    TMemoryStream source;
    source.LoadFromFile(fileName);
    CheckStopRequest(StopRequested);
    const TOwnedSource owned(ownsSource_);
    ConvertSource(source.View(), dest);
}

void TPascalParser::ConvertSource(std::string_view source, TMemoryStream& dest) {
    // Typical Pascal grows by a fifth to a third; reserving for half as much
    // again avoids moving the document while it is written.
    if (dest.Size() == 0) {
        dest.Reserve(source.size() + source.size() / 2 + 1024);
    }
    TMemoryStreamSink sink(dest);
    ConvertSource(source, sink);
}

void TPascalParser::ConvertSource(std::string_view source, TByteSink& dest) {
    if (source.size() >= kSplitThreshold && std::thread::hardware_concurrency() > 1) {
        ConvertSourceSplit(source, dest, source.size() / 2);
    } else {
        ConvertWhole(source, dest);
    }
}

void TPascalParser::BeginScan(std::string_view source, std::size_t from, TRtfOutput& output) {
    out_ = &output;
    begin_ = source.data();
    cursor_ = source.data() + from;
    end_ = source.data() + source.size();
}

void TPascalParser::EndScan() {
    releaseLimit_ = 0;
    released_ = 0;
    out_ = nullptr;
    begin_ = cursor_ = end_ = nullptr;
    lineMode_ = TLineMode::kIgnore;
    lineStarts_ = nullptr;
}

void TPascalParser::ConvertWhole(std::string_view source, TByteSink& dest) {
    TRtfOutput output(dest, &StopRequested, ExpectedDocumentSize(source.size()));
    BeginScan(source, 0, output);
    releaseLimit_ = ownsSource_ ? source.size() : 0;
    output.Put(BuildHeader());
    ScanSource();
    output.Put(kTrailer);
    output.Flush();
    EndScan();
}

// The scanner has no look-behind: from a line start that it reaches in the main
// loop, what it writes depends on the bytes from there on only. So the second
// half is scanned on its own, from a line start, noting each line start it
// reaches through a plain LF. The first half then runs on past the split
// (through any token that crosses it) until it reaches a line start the
// second half noted; from there both would write the same bytes, and the
// second half's document is taken. Where they never meet (the second half
// began inside a comment or an assembler block that runs to the end), the
// first half simply scans to the end.
void TPascalParser::ConvertSourceSplit(std::string_view source, TByteSink& dest,
                                       std::size_t splitAt, std::launch secondHalfLaunch) {
    const std::size_t lineEnd = source.find('\n', std::min(splitAt, source.size()));
    if (lineEnd == std::string_view::npos || lineEnd + 1 == source.size()) {
        ConvertWhole(source, dest); // no second half
        return;
    }
    const std::size_t second = lineEnd + 1;

    // Typical Pascal grows by a fifth to a third in the document.
    const std::size_t secondSize = source.size() - second;
    TPieceSink secondDocument(ExpectedDocumentSize(secondSize));
    std::vector<TLineStart> secondLineStarts{{second, 0}};
    // One line start at most per byte of the second half.
    secondLineStarts.reserve(std::min(kMaxNotedLineStarts, source.size() - second + 1));
    // Declared after what it uses, so that it is waited for before they go.
    std::future<void> secondHalf = std::async(secondHalfLaunch, [&] {
        TPascalParser parser;
        TRtfOutput output(secondDocument, &StopRequested, ExpectedDocumentSize(secondSize));
        parser.BeginScan(source, second, output);
        parser.lineMode_ = TLineMode::kNote;
        parser.lineStarts_ = &secondLineStarts;
        parser.ScanSource();
        output.Flush();
    });

    TRtfOutput output(dest, &StopRequested, ExpectedDocumentSize(source.size()));
    BeginScan(source, 0, output);
    // The second half may still be scanned from the split on.
    releaseLimit_ = ownsSource_ ? second : 0;
    output.Put(BuildHeader());

    lineMode_ = TLineMode::kPauseFrom;
    pauseFrom_ = second;
    bool joined = false;
    if (ScanSource()) {
        secondHalf.get(); // the second half's failure is this conversion's
        lineMode_ = TLineMode::kJoinAt;
        lineStarts_ = &secondLineStarts;
        joinIndex_ = 0;
        joined = StopsAtLineStart() || ScanSource();
    }
    if (joined) {
        secondDocument.MoveTo(output, secondLineStarts[joinIndex_].written);
    }
    output.Put(kTrailer);
    output.Flush();
    EndScan();
}

void TPascalParser::ReleaseScanned() {
    const std::size_t scanned = std::min(static_cast<std::size_t>(cursor_ - begin_), releaseLimit_);
    if (scanned >= released_ + kReleaseStep) {
        released_ = platform::ReleasePages(begin_, released_, scanned);
    }
}

// Called at a line start that a plain LF in the main loop has just reached.
bool TPascalParser::StopsAtLineStart() {
    const std::size_t position = static_cast<std::size_t>(cursor_ - begin_);
    switch (lineMode_) {
    case TLineMode::kIgnore:
        return false;
    case TLineMode::kNote:
        if (lineStarts_->size() < kMaxNotedLineStarts) {
            lineStarts_->push_back({position, out_->Written()});
        }
        return false;
    case TLineMode::kPauseFrom:
        return position >= pauseFrom_;
    case TLineMode::kJoinAt: {
        const std::vector<TLineStart>& starts = *lineStarts_;
        while (joinIndex_ < starts.size() && starts[joinIndex_].position < position) {
            ++joinIndex_;
        }
        return joinIndex_ < starts.size() && starts[joinIndex_].position == position;
    }
    }
    return false;
}

std::string TPascalParser::BuildHeader() {
    std::string header(kHeaderOpening);
    for (const TColorSlot& slot : ColorSlots) {
        header += ColorTableEntry(slot.Color);
    }
    header += kHeaderClosing;
    return header;
}

std::string TPascalParser::ColorTableEntry(TColor color) {
    const TColor rgb = ColorToRGB(color);
    return "\\red" + std::to_string(RedOf(rgb)) + "\\green" + std::to_string(GreenOf(rgb)) +
           "\\blue" + std::to_string(BlueOf(rgb)) + ";";
}

bool TPascalParser::IsKeyword(std::string_view word) {
    return FindKeyword(word) >= 0;
}

void TPascalParser::WriteGroup(std::string_view opener, std::string_view text) {
    out_->Put(opener);
    out_->Put(text);
    out_->Put('}');
}

// Bytes that are written unchanged (plain bytes, words that are no keyword, a
// lone "(" or "/") are gathered and written as one run before the next
// fragment that differs from the source. The scanner's main loop is one fixed
// algorithm, dispatching on a token's first byte; it reads best in one piece.
bool TPascalParser::ScanSource() {
    const char* plain = cursor_;
    while (cursor_ < end_) {
        cursor_ = SkipPlain(cursor_, end_);
        if (cursor_ == end_) {
            break;
        }
        const char* token = cursor_;
        const char first = *cursor_++;
        const TAction action = static_cast<TAction>(kActions[ToByte(first)]);
        int keyword = -1;
        if (action == actLetter) {
            keyword = FindKeyword(ReadIdentifier());
            if (keyword < 0) {
                continue;
            }
        } else if (action == actUnderscore) {
            ReadIdentifier(); // never a keyword
            continue;
        } else if ((action == actParen && PeekChar() != '*') ||
                   (action == actSlash && PeekChar() != '/')) {
            continue;
        }
        out_->Put(plain, token);
        switch (action) {
        case actLineEnd:
            out_->Put("\\par ");
            break;
        case actBackslash:
            out_->Put("\\\\");
            break;
        case actCloseBrace:
            out_->Put("\\}");
            break;
        case actCharCode:
            WriteGroup(kStringOpener, ReadCharCode());
            break;
        case actHexNumber:
            WriteGroup(kNumberOpener, ReadHexNumber());
            break;
        case actNumber:
            WriteGroup(kNumberOpener, ReadNumber());
            break;
        case actString:
            ReadString();
            break;
        case actParen:
            ReadParenComment();
            break;
        case actSlash:
            ReadLineComment();
            break;
        case actLetter:
            WriteGroup(kKeywordOpener,
                       std::string_view(token, static_cast<std::size_t>(cursor_ - token)));
            if (keyword == kAsmKeyword) {
                ReadAsmBlock();
            }
            break;
        case actBraceComment:
            ReadBraceComment();
            break;
        default:
            break;
        }
        plain = cursor_;
        if (action == actLineEnd) {
            if (releaseLimit_ != 0) {
                ReleaseScanned();
            }
            if (lineMode_ != TLineMode::kIgnore && StopsAtLineStart()) {
                return true;
            }
        }
    }
    out_->Put(plain, cursor_);
    return false;
}

// ---- Run readers -----------------------------------------------------------

std::string_view TPascalParser::ReadRun(std::uint8_t continuation) {
    const char* start = cursor_ - 1;
    cursor_ = SkipRun(cursor_, end_, continuation);
    return {start, static_cast<std::size_t>(cursor_ - start)};
}

std::string_view TPascalParser::ReadIdentifier() {
    return ReadRun(inIdentifier);
}
std::string_view TPascalParser::ReadCharCode() {
    return ReadRun(inCharCode);
}
std::string_view TPascalParser::ReadNumber() {
    return ReadRun(inNumber);
}
std::string_view TPascalParser::ReadHexNumber() {
    return ReadRun(inHexNumber);
}

// ---- Groups ----------------------------------------------------------------
// Each reader copies runs of ordinary bytes whole and decides on the bytes of
// its stop set one at a time. Every group ends with "}", also at the end of the
// source.

void TPascalParser::ReadString() {
    out_->Put(kStringOpener);
    out_->Put('\'');
    while (cursor_ < end_) {
        CopyUntil(cursor_, end_, kStringStops, *out_);
        if (cursor_ == end_) {
            break;
        }
        const char c = *cursor_++;
        if (c == '\'') {
            out_->Put(c);
            break;
        }
        if (c == '\n') {
            out_->Put("\\par");
            break;
        }
        PutEscaped(c, *out_);
    }
    out_->Put('}');
}

void TPascalParser::ReadBraceComment() {
    out_->Put(kCommentOpener);
    out_->Put("\\{");
    while (cursor_ < end_) {
        CopyUntil(cursor_, end_, kBraceStops, *out_);
        if (cursor_ == end_) {
            break;
        }
        const char c = *cursor_++;
        if (c == '\n') {
            out_->Put("\\par ");
            continue;
        }
        PutEscaped(c, *out_);
        if (c == '}') {
            break;
        }
    }
    out_->Put('}');
}

void TPascalParser::ReadParenComment() {
    out_->Put(kCommentOpener);
    out_->Put('(');
    bool star = false; // the byte before was "*", not counting LF, "\", "{" and "}"
    while (cursor_ < end_) {
        if (CopyUntil(cursor_, end_, kParenStops, *out_)) {
            star = false;
        }
        if (cursor_ == end_) {
            break;
        }
        const char c = *cursor_++;
        if (c == '*') {
            star = true;
            out_->Put(c);
        } else if (c == ')') {
            out_->Put(c);
            if (star) {
                break;
            }
        } else if (c == '\n') {
            out_->Put("\\par ");
        } else {
            PutEscaped(c, *out_);
        }
    }
    out_->Put('}');
}

void TPascalParser::ReadLineComment() {
    out_->Put(kCommentOpener);
    out_->Put('/');
    while (cursor_ < end_) {
        CopyUntil(cursor_, end_, kLineStops, *out_);
        if (cursor_ == end_) {
            break;
        }
        const char c = *cursor_++;
        if (c == '\n') {
            out_->Put("\\par");
            break;
        }
        PutEscaped(c, *out_);
    }
    out_->Put('}');
}

void TPascalParser::ReadAsmBlock() {
    out_->Put(kAsmOpener);
    std::string_view endWord;
    while (cursor_ < end_) {
        CopyUntil(cursor_, end_, kAsmStops, *out_);
        if (cursor_ == end_) {
            break;
        }
        const char c = *cursor_++;
        if (c == '\n') {
            out_->Put("\\par ");
        } else if (c == '\\' || c == '}') {
            PutEscaped(c, *out_);
        } else if (c == '{') {
            ReadBraceComment();
        } else if (c == '(' && PeekChar() == '*') {
            ReadParenComment();
        } else if (c == '/' && PeekChar() == '/') {
            ReadLineComment();
        } else if (c == '(' || c == '/') {
            out_->Put(c);
        } else {
            const std::string_view word = ReadIdentifier();
            if (IsEndWord(word)) {
                endWord = word;
                break;
            }
            out_->Put(word);
        }
    }
    out_->Put('}');
    if (!endWord.empty()) {
        WriteGroup(kAsmEndOpener, endWord);
    }
}
