#include "tools/pas2rtf/TextEncoding.h"

#include "viewer/text/CodePage.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <string>

namespace {

constexpr std::string_view kOpening = "{\\rtf1\\ansi";

// Output is handed to the sink in pieces of about this size.
constexpr std::size_t kChunk = 256 * 1024;

class TChunkedWriter {
public:
    explicit TChunkedWriter(TByteSink& sink) : sink_(sink) { buffer_.reserve(kChunk + 64); }
    void Append(std::string_view bytes) {
        if (buffer_.size() + bytes.size() > kChunk) {
            Flush();
            if (bytes.size() > kChunk) {
                sink_.Write(bytes);
                return;
            }
        }
        buffer_.append(bytes);
    }
    // One UTF-16 unit as \uN?, N signed 16-bit as RTF has it.
    void AppendUnit(char16_t unit) {
        char text[16] = "\\u";
        const int value = unit > 32767 ? static_cast<int>(unit) - 65536 : static_cast<int>(unit);
        char* end = std::to_chars(text + 2, text + sizeof text - 1, value).ptr;
        *end++ = '?';
        Append(std::string_view(text, static_cast<std::size_t>(end - text)));
    }
    void AppendCharacter(char32_t cp) {
        if (cp >= 0x10000) {
            cp -= 0x10000;
            AppendUnit(static_cast<char16_t>(0xD800 + (cp >> 10)));
            AppendUnit(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
        } else {
            AppendUnit(static_cast<char16_t>(cp));
        }
    }
    void Flush() {
        if (!buffer_.empty()) {
            sink_.Write(buffer_);
            buffer_.clear();
        }
    }

private:
    TByteSink& sink_;
    std::string buffer_;
};

// Writes the document's opening, "{\rtf1\ansi" as the engine has it, and
// WORDS after it; returns where the rest of the document starts. A document
// without that opening is written as it is.
std::size_t WriteOpening(std::string_view document, std::string_view words, TChunkedWriter& out) {
    if (!document.starts_with(kOpening)) {
        return 0;
    }
    out.Append(kOpening);
    out.Append(words);
    return kOpening.size();
}

void WriteWindows1252(std::string_view document, TByteSink& sink) {
    TChunkedWriter out(sink);
    out.Append(document.substr(WriteOpening(document, "\\ansicpg1252", out)));
    out.Flush();
}

void WriteUtf8(std::string_view document, TByteSink& sink) {
    TChunkedWriter out(sink);
    std::size_t i = WriteOpening(document, "\\uc1", out);
    const std::size_t n = document.size();
    std::size_t plainStart = i;
    while (i < n) {
        const auto byte = static_cast<unsigned char>(document[i]);
        if (byte < 0x80) {
            ++i;
            continue;
        }
        out.Append(document.substr(plainStart, i - plainStart));
        char32_t cp = 0;
        const std::size_t length = Utf8CharAt(document, i, cp);
        if (length == 0) {
            // Not UTF-8: kept as the Windows-1252 character it is there.
            out.AppendCharacter(DecodeWindows1252(byte));
            ++i;
        } else {
            out.AppendCharacter(cp);
            i += length;
        }
        plainStart = i;
    }
    out.Append(document.substr(plainStart));
    out.Flush();
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
    if (lower == "cp1252" || lower == "windows-1252" || lower == "1252") {
        return TSourceEncoding::kWindows1252;
    }
    return std::nullopt;
}

void WriteEncoded(std::string_view document, TSourceEncoding encoding, TByteSink& sink) {
    if (encoding == TSourceEncoding::kWindows1252) {
        WriteWindows1252(document, sink);
        return;
    }
    const TEightBitText text = ClassifyEightBitText(document);
    if (text == TEightBitText::kNone) {
        sink.Write(document); // pure ASCII: nothing to re-express
    } else if (text == TEightBitText::kUtf8 || encoding == TSourceEncoding::kUtf8) {
        WriteUtf8(document, sink);
    } else {
        WriteWindows1252(document, sink);
    }
}
