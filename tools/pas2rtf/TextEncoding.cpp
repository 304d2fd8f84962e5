#include "tools/pas2rtf/TextEncoding.h"

#include "viewer/text/CodePage.h"

#include <algorithm>
#include <cctype>
#include <cstring>

namespace {

constexpr std::string_view kOpening = "{\\rtf1\\ansi";

// Output goes to the sink in pieces of about this size.
constexpr std::size_t kChunk = 256 * 1024;
// Room for what one source character becomes: at most a surrogate pair, "\u-10179?\u-8704?".
constexpr std::size_t kMaxEscape = 32;

// Writes one UTF-16 unit as \uN?, N signed 16-bit as RTF has it.
inline char* FormatUnit(char* out, char16_t unit) {
    *out++ = '\\';
    *out++ = 'u';
    unsigned value = unit;
    if (value > 32767) {
        *out++ = '-';
        value = 65536 - value;
    }
    char digits[5];
    int count = 0;
    do {
        digits[count++] = static_cast<char>('0' + value % 10);
        value /= 10;
    } while (value != 0);
    while (count > 0) {
        *out++ = digits[--count];
    }
    *out++ = '?';
    return out;
}

} // namespace

inline char* TEncodingSink::PutUnit(char* out, char16_t unit) {
    TEscape& escape = escapes_[unit];
    if (escape.Length == 0) {
        escape.Length = static_cast<unsigned char>(FormatUnit(escape.Text, unit) - escape.Text);
    }
    std::memcpy(out, escape.Text, sizeof escape.Text); // the room is there: see kMaxEscape
    return out + escape.Length;
}

inline char* TEncodingSink::PutCharacter(char* out, char32_t cp) {
    if (cp >= 0x10000) {
        cp -= 0x10000;
        out = PutUnit(out, static_cast<char16_t>(0xD800 + (cp >> 10)));
        return PutUnit(out, static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
    }
    return PutUnit(out, static_cast<char16_t>(cp));
}

namespace {

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
        const auto byte = static_cast<unsigned char>(bytes[n - back]);
        if ((byte & 0xC0) != 0x80) {
            const std::size_t length = LeadLength(byte);
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

TTextWriting TextWritingFor(std::string_view source, TSourceEncoding encoding) {
    if (encoding == TSourceEncoding::kWindows1252) {
        return TTextWriting::kWindows1252;
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
        buffer_ = std::make_unique_for_overwrite<char[]>(kChunk);
        escapes_ = std::make_unique<TEscape[]>(65536);
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
        sink_.Write(start); // all ASCII: nothing to escape
    } else if (writing_ == TTextWriting::kUtf8) {
        WriteEscaped(start); // not the engine's opening: written as it came
    } else {
        sink_.Write(start);
    }
}

void TEncodingSink::WriteEscaped(std::string_view bytes) {
    std::string joined;
    if (!carry_.empty()) {
        joined = carry_;
        joined.append(bytes);
        carry_.clear();
        bytes = joined;
    }
    const std::size_t whole = CutCharacterStart(bytes);
    carry_.assign(bytes.substr(whole));
    bytes = bytes.substr(0, whole);

    const char* p = bytes.data();
    const char* const end = p + bytes.size();
    while (p < end) {
        // Room for a piece of ASCII or one escaped character, whichever comes.
        if (used_ >= kChunk - kMaxEscape) {
            Flush();
        }
        char* out = buffer_.get() + used_;
        char* const limit = buffer_.get() + kChunk - kMaxEscape;
        while (p < end && out < limit) {
            const auto byte = static_cast<unsigned char>(*p);
            if (byte < 0x80) {
                *out++ = static_cast<char>(byte);
                ++p;
                continue;
            }
            char32_t cp = 0;
            const std::size_t length =
                Utf8CharAt(bytes, static_cast<std::size_t>(p - bytes.data()), cp);
            if (length == 0) {
                // Not part of a UTF-8 character: the Windows-1252 character of the byte.
                out = PutCharacter(out, DecodeWindows1252(byte));
                ++p;
            } else {
                out = PutCharacter(out, cp);
                p += length;
            }
        }
        used_ = static_cast<std::size_t>(out - buffer_.get());
    }
}

void TEncodingSink::Flush() {
    if (used_ > 0) {
        sink_.Write(std::string_view(buffer_.get(), used_));
        used_ = 0;
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
    if (!carry_.empty()) {
        // A character cut off by the end of the document: each byte as Windows-1252.
        const std::string rest = std::move(carry_);
        carry_.clear();
        for (char byte : rest) {
            if (used_ >= kChunk - kMaxEscape) {
                Flush();
            }
            char* out = PutCharacter(buffer_.get() + used_,
                                     DecodeWindows1252(static_cast<unsigned char>(byte)));
            used_ = static_cast<std::size_t>(out - buffer_.get());
        }
    }
    Flush();
}
