#include "tools/pas2rtf/TextEncoding.h"

#include "viewer/text/CodePage.h"

#include <algorithm>
#include <cctype>
#include <cstring>

namespace {

constexpr std::string_view kOpening = "{\\rtf1\\ansi";
constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

// Escaped text goes to the sink in pieces of exactly this size, a few in
// flight: whole, aligned pieces are what the system writes fastest.
constexpr std::size_t kChunk = 1 << 20;
constexpr std::size_t kChunksInFlight = 3;

bool IsTrailByte(char byte) {
    return (static_cast<unsigned char>(byte) & 0xC0) == 0x80;
}

// The length of the UTF-8 character a lead byte starts, 0 for any other byte.
std::size_t LeadLength(unsigned char byte) {
    if (byte >= 0xC2 && byte <= 0xDF) {
        return 2;
    }
    if (byte >= 0xE0 && byte <= 0xEF) {
        return 3;
    }
    if (byte >= 0xF0 && byte <= 0xF4) {
        return 4;
    }
    return 0;
}

// Where a character that the end of BYTES cuts off starts; BYTES' size when none is.
std::size_t CutCharacterStart(std::string_view bytes) {
    const std::size_t n = bytes.size();
    for (std::size_t back = 1; back <= 3 && back <= n; ++back) {
        if (!IsTrailByte(bytes[n - back])) {
            const std::size_t length = LeadLength(static_cast<unsigned char>(bytes[n - back]));
            return length > back ? n - back : n;
        }
    }
    return n;
}

} // namespace

std::optional<TSourceEncoding> SourceEncodingNamed(std::string_view name) {
    std::string lower(name);
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    if (lower == "auto") {
        return TSourceEncoding::kAuto;
    }
    if (lower == "utf-8" || lower == "utf8") {
        return TSourceEncoding::kUtf8;
    }
    if (lower == "cp1252" || lower == "windows-1252") {
        return TSourceEncoding::kWindows1252;
    }
    return std::nullopt;
}

bool StartsWithByteOrderMark(std::string_view source) {
    return source.starts_with(kByteOrderMark);
}

TTextWriting TextWritingFor(std::string_view source, TSourceEncoding encoding) {
    if (encoding == TSourceEncoding::kWindows1252) {
        return TTextWriting::kWindows1252;
    }
    if (StartsWithByteOrderMark(source)) {
        return TTextWriting::kUtf8; // said so by the file itself, whatever follows
    }
    switch (ClassifyEightBitText(source)) {
    case TEightBitText::kNone:
        return TTextWriting::kAsIs;
    case TEightBitText::kUtf8:
        return TTextWriting::kUtf8;
    case TEightBitText::kOther:
        break;
    }
    return encoding == TSourceEncoding::kUtf8 ? TTextWriting::kUtf8 : TTextWriting::kWindows1252;
}

TEncodingSink::TEncodingSink(TByteSink& sink, TTextWriting writing)
    : sink_(sink), writing_(writing), headerDone_(writing == TTextWriting::kAsIs) {
    if (writing_ == TTextWriting::kUtf8) {
        escaper_ = std::make_unique<TUtf8Escaper>();
        writer_ = std::make_unique<TChunkWriter>(sink_, kChunk + TUtf8Escaper::kStepRoom,
                                                 kChunksInFlight);
    }
}

void TEncodingSink::Write(std::string_view bytes) {
    if (!headerDone_) {
        WriteHeaderWords(bytes);
    }
    if (writing_ == TTextWriting::kUtf8) {
        WriteEscaped(bytes);
    } else if (!bytes.empty()) {
        sink_.Write(bytes);
    }
}

// The header's words go right after the document's opening, once the
// opening is known to be there.
void TEncodingSink::WriteHeaderWords(std::string_view& bytes) {
    const std::size_t wanted = std::min(kOpening.size() - opening_.size(), bytes.size());
    opening_.append(bytes.substr(0, wanted));
    bytes.remove_prefix(wanted);
    if (opening_.size() < kOpening.size() && opening_ == kOpening.substr(0, opening_.size())) {
        return; // not all of it yet
    }
    headerDone_ = true;
    std::string start = std::move(opening_);
    if (start == kOpening) {
        start += writing_ == TTextWriting::kUtf8 ? "\\uc1" : "\\ansicpg1252";
    }
    if (writing_ == TTextWriting::kUtf8) {
        WriteEscaped(start); // the engine's opening is ASCII; anything else is written as it came
    } else {
        sink_.Write(start);
    }
}

// A character may be cut between two writes: its first bytes wait for the
// rest, so every character is read whole, as if the document came in one piece.
void TEncodingSink::WriteEscaped(std::string_view bytes) {
    if (carryLength_ > 0) {
        // The cut character and what completes it: at most three more bytes.
        char joined[sizeof carry_ + 3];
        std::memcpy(joined, carry_, carryLength_);
        const std::size_t taken = std::min<std::size_t>(bytes.size(), 3);
        std::memcpy(joined + carryLength_, bytes.data(), taken);
        const std::string_view both(joined, carryLength_ + taken);
        const std::size_t whole = CutCharacterStart(both);
        EscapeHere(both.substr(0, whole));
        if (whole < carryLength_) {
            // Still cut: every byte of BYTES is in JOINED, and the rest of it fits.
            carryLength_ = both.size() - whole;
            std::memmove(carry_, both.data() + whole, carryLength_);
            return;
        }
        bytes.remove_prefix(whole - carryLength_);
        carryLength_ = 0;
    }
    const std::size_t whole = CutCharacterStart(bytes);
    carryLength_ = bytes.size() - whole;
    std::memcpy(carry_, bytes.data() + whole, carryLength_);
    EscapeHere(bytes.substr(0, whole));
}

// BYTES with no character cut at its end.
void TEncodingSink::EscapeHere(std::string_view bytes) {
    const char* p = bytes.data();
    const char* const end = p + bytes.size();
    while (p < end) {
        if (out_ >= limit_) {
            NextChunk();
        }
        out_ = escaper_->Escape(p, end, out_, limit_);
    }
}

// The buffer being filled goes out when it holds a whole chunk; what the last
// step wrote past the chunk starts the next buffer.
void TEncodingSink::NextChunk() {
    char* const next = writer_->Acquire();
    std::size_t over = 0;
    if (chunk_ != nullptr) {
        over = static_cast<std::size_t>(out_ - limit_);
        std::memcpy(next, limit_, over);
        writer_->Submit(chunk_, kChunk);
    }
    chunk_ = next;
    out_ = next + over;
    limit_ = next + kChunk;
}

void TEncodingSink::Flush() {
    if (chunk_ != nullptr) {
        const std::size_t used = static_cast<std::size_t>(out_ - chunk_);
        char* const chunk = chunk_;
        chunk_ = out_ = limit_ = nullptr;
        writer_->Submit(chunk, used);
    }
}

void TEncodingSink::Finish() {
    if (!headerDone_) {
        headerDone_ = true; // a document shorter than the opening: as it is
        std::string start = std::move(opening_);
        if (writing_ == TTextWriting::kUtf8) {
            WriteEscaped(start);
        } else {
            sink_.Write(start);
        }
    }
    if (writing_ != TTextWriting::kUtf8) {
        return;
    }
    // A character cut off by the end of the document: each byte as Windows-1252.
    for (std::size_t i = 0; i < carryLength_; ++i) {
        if (out_ >= limit_) {
            NextChunk();
        }
        out_ =
            escaper_->PutCharacter(out_, DecodeWindows1252(static_cast<unsigned char>(carry_[i])));
    }
    carryLength_ = 0;
    Flush();
    writer_->Finish();
}
