#include "tools/pas2rtf/EngineDocumentReader.h"

#include "platform/Color.h"
#include "viewer/text/ByteScan.h"
#include "viewer/text/CodePage.h"
#include "viewer/text/RtfReader.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <charconv>
#include <cstdint>
#include <cstring>
#include <thread>
#include <vector>

namespace {

constexpr std::size_t kSlots = 7;

// "\redR\greenG\blueB;" seven times, as the engine writes its colour table.
bool TakeColorTable(std::string_view& data, std::array<TColor, kSlots>& colors) {
    for (TColor& color : colors) {
        int channels[3] = {};
        for (int c = 0; c < 3; ++c) {
            static constexpr std::string_view kWords[] = {"\\red", "\\green", "\\blue"};
            if (!data.starts_with(kWords[c])) {
                return false;
            }
            data.remove_prefix(kWords[c].size());
            const auto [end, error] =
                std::from_chars(data.data(), data.data() + data.size(), channels[c]);
            if (error != std::errc() || channels[c] < 0 || channels[c] > 255) {
                return false;
            }
            data.remove_prefix(static_cast<std::size_t>(end - data.data()));
        }
        if (!data.starts_with(';')) {
            return false;
        }
        data.remove_prefix(1);
        color = RgbColor(channels[0], channels[1], channels[2]);
    }
    return data.starts_with('}');
}

bool TakeLiteral(std::string_view& data, std::string_view literal) {
    if (!data.starts_with(literal)) {
        return false;
    }
    data.remove_prefix(literal.size());
    return true;
}

class TEngineReader {
public:
    // Reads DATA into DOC, which starts empty.
    TEngineReader(std::string_view data, TRtfDocument& doc) : data_(data), doc_(doc) {}

    // Where the body starts; zero when DATA has no header of the engine's.
    std::size_t BodyStart() { return ReadHeader() ? pos_ : 0; }

    // The whole document, or the body's bytes [FROM, TO) as one part of it
    // (LAST: the part that holds the end of the document). False when they
    // hold anything the engine does not write.
    bool Read() { return ReadHeader() && ReadPart(pos_, data_.size(), true); }
    bool ReadPart(std::size_t from, std::size_t to, bool last) {
        if (!ReadHeader()) {
            return false;
        }
        pos_ = from;
        end_ = to;
        last_ = last;
        doc_.Fonts.push_back({"Courier New", true});
        TState base;
        base.Font = 0;
        base.SizeHalfPoints = 18;
        base.Color = colors_[0];
        stack_.push_back(base);
        Refresh();
        doc_.Text.reserve(to - from);
        // A part before the last ends where it began: outside every group.
        if (!ReadBody() || (!last && stack_.size() != 1)) {
            return false;
        }
        // The last paragraph mark ends the document rather than starting an empty paragraph.
        if (last && !doc_.Text.empty() && doc_.Text.back() == kParagraphEnd) {
            doc_.Text.pop_back();
            doc_.Runs.ShortenLast();
        }
        return true;
    }

private:
    bool ReadHeader() {
        std::string_view d = data_;
        if (!TakeLiteral(d, "{\\rtf1\\ansi")) {
            return false;
        }
        if (TakeLiteral(d, "\\ansicpg1252")) {
            windows1252_ = true;
        } else {
            TakeLiteral(d, "\\uc1");
        }
        if (!TakeLiteral(d,
                         "\\deff0\\deftab720{\\fonttbl{\\f0\\fmodern Courier New;}}{\\colortbl") ||
            !TakeColorTable(d, colors_) ||
            !TakeLiteral(d, "}\\deflang1031\\pard\\plain\\f0\\fs18\\cf0")) {
            return false;
        }
        pos_ = data_.size() - d.size();
        return true;
    }

    // False at anything the engine does not write.
    bool ReadBody() {
        while (pos_ < end_) {
            const char c = data_[pos_++];
            switch (c) {
            case '{':
                stack_.push_back(stack_.back());
                break;
            case '}':
                stack_.pop_back();
                if (stack_.empty()) {
                    return last_; // the end of the document group, in the last part only
                }
                Refresh();
                break;
            case '\\':
                if (!ControlWord()) {
                    return false;
                }
                break;
            case '\r':
            case '\n':
            case '\0':
                break;
            default:
                if (IsPlain(c)) {
                    PlainSpan();
                    break;
                }
                if (static_cast<unsigned char>(c) >= 0x80 && !windows1252_) {
                    return false; // raw UTF-8 or a guess at the code page: the general reader's
                }
                Emit(DecodeWindows1252(static_cast<unsigned char>(c)));
                break;
            }
        }
        return true;
    }

    bool ControlWord() {
        if (pos_ == data_.size()) {
            return false;
        }
        const char c = data_[pos_];
        if (c == '\\' || c == '{' || c == '}') {
            ++pos_;
            Emit(static_cast<char16_t>(c));
            return true;
        }
        // The few words the engine writes, told apart by their first letter.
        // It sets a format in a group only: outside, every line starts plain,
        // which is what lets a document be read from any line in parts.
        int value = 0;
        if ((c == 'b' || c == 'i' || c == 'c') && stack_.size() == 1) {
            return false;
        }
        switch (c) {
        case 'p':
            if (Word("par")) {
                KnowFormat();
                doc_.Append(kParagraphEnd, format_);
                return true;
            }
            return false;
        case 'b':
            if (Word("b")) {
                stack_.back().Bold = true;
                Refresh();
                return true;
            }
            return false;
        case 'i':
            if (Word("i")) {
                stack_.back().Italic = true;
                Refresh();
                return true;
            }
            return false;
        case 'c':
            if (NumberWord("cf", value)) {
                if (value < 0 || static_cast<std::size_t>(value) >= kSlots) {
                    return false;
                }
                stack_.back().Color = colors_[static_cast<std::size_t>(value)];
                stack_.back().Slot = value;
                Refresh();
                return true;
            }
            return false;
        default:
            break;
        }
        if (NumberWord("u", value) && pos_ < data_.size() && data_[pos_] == '?') {
            ++pos_; // the fallback character
            Emit(static_cast<char16_t>(value < 0 ? value + 65536 : value));
            return true;
        }
        return false;
    }

    // The control word NAME without a parameter, and its delimiting blank.
    // NAME is a literal, so that its comparison is a few instructions.
    template <std::size_t N> bool Word(const char (&name)[N]) {
        constexpr std::size_t kLength = N - 1;
        if (data_.size() - pos_ < kLength || data_.compare(pos_, kLength, name, kLength) != 0) {
            return false;
        }
        const std::size_t after = pos_ + kLength;
        if (after < data_.size() &&
            (IsLetter(data_[after]) || IsDigit(data_[after]) || data_[after] == '-')) {
            return false;
        }
        pos_ = after < data_.size() && data_[after] == ' ' ? after + 1 : after;
        return true;
    }

    // The control word NAME with its number (-32768 to 65535) and delimiting blank.
    template <std::size_t N> bool NumberWord(const char (&name)[N], int& value) {
        constexpr std::size_t kLength = N - 1;
        if (data_.size() - pos_ <= kLength || data_.compare(pos_, kLength, name, kLength) != 0) {
            return false;
        }
        // At most six characters of sign and digits, read here rather than
        // by a general number parser: the words are short and many.
        const char* first = data_.data() + pos_ + kLength;
        const char* const last = data_.data() + data_.size();
        const bool negative = *first == '-';
        const char* end = negative ? first + 1 : first;
        const char* const digits = end;
        int magnitude = 0;
        while (end < last && end - first <= 6 && IsDigit(*end)) {
            magnitude = magnitude * 10 + (*end - '0');
            ++end;
        }
        if (end == digits || end - first > 6) {
            return false;
        }
        value = negative ? -magnitude : magnitude;
        if (value < -32768 || value > 65535) {
            return false;
        }
        pos_ = static_cast<std::size_t>(end - data_.data());
        if (pos_ < data_.size() && data_[pos_] == ' ') {
            ++pos_;
        }
        return true;
    }

    // Bytes that are their own character: ASCII but the RTF specials and the
    // line ends and NUL, which RTF ignores.
    static bool IsPlain(char c) { return kPlain[static_cast<unsigned char>(c)]; }
    static constexpr std::array<bool, 256> kPlain = [] {
        std::array<bool, 256> plain{};
        for (std::size_t byte = 0; byte < 0x80; ++byte) {
            plain[byte] = byte != '\\' && byte != '{' && byte != '}' && byte != '\r' &&
                          byte != '\n' && byte != '\0';
        }
        return plain;
    }();

    // The plain bytes from the one just read on, appended at once.
    void PlainSpan() {
        const std::size_t start = pos_ - 1;
        pos_ = text::SkipToStop(
            data_.substr(0, end_), pos_,
            [](text::TByteBlock b) {
                return b >= 0x80 || b == '\\' || b == '{' || b == '}' || b == '\r' || b == '\n' ||
                       b == 0;
            },
            [](unsigned char byte) { return !kPlain[byte]; });
        KnowFormat();
        doc_.AppendLatin1(data_.substr(start, pos_ - start), format_);
    }

    static bool IsLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
    static bool IsDigit(char c) { return c >= '0' && c <= '9'; }

    // A format enters the document when text first uses it, as the general
    // reader has it, so both number the formats alike.
    void Refresh() { formatKnown_ = false; }

    void KnowFormat() {
        if (formatKnown_) {
            return;
        }
        const TState& top = stack_.back();
        std::int64_t& known = indexOf_[static_cast<std::size_t>(top.Slot) * 4 + (top.Bold ? 2 : 0) +
                                       (top.Italic ? 1 : 0)];
        if (known < 0) {
            known = doc_.FormatIndex(top);
        }
        format_ = static_cast<std::uint32_t>(known);
        formatKnown_ = true;
    }

    void Emit(char16_t ch) {
        ch = text::SafeChar(ch);
        if (ch == 0) {
            return;
        }
        KnowFormat();
        doc_.Append(ch, format_);
    }

    std::string_view data_;
    std::size_t pos_ = 0;
    std::size_t end_ = 0;
    bool last_ = true;
    bool windows1252_ = false;
    std::array<TColor, kSlots> colors_{};
    // The formats of the open groups, each with its colour slot: a format is
    // known by slot, weight and style, so its index is kept in a small table.
    struct TState : TRtfCharFormat {
        int Slot = 0;
    };
    std::vector<TState> stack_;
    std::array<std::int64_t, kSlots* 4> indexOf_ = [] {
        std::array<std::int64_t, kSlots * 4> none{};
        none.fill(-1);
        return none;
    }();
    std::uint32_t format_ = 0;
    bool formatKnown_ = false;
    TRtfDocument& doc_;
};

// Below this a document is read in one part: threads would cost more than
// they save.
constexpr std::size_t kMinPartBytes = 1 << 20;

// Whether the byte at AT is markup rather than text: a backslash escapes the
// byte after it, so a byte is markup when an even number of backslashes
// stands right before it (a run of backslashes always starts a fresh token).
bool IsMarkupAt(std::string_view data, std::size_t at) {
    std::size_t backslashes = 0;
    while (backslashes < at && data[at - backslashes - 1] == '\\') {
        ++backslashes;
    }
    return backslashes % 2 == 0;
}

// The first "{" or "}" from FROM on that opens or closes a group, or npos.
std::size_t NextGroupBrace(std::string_view data, std::size_t from) {
    for (std::size_t at = data.find_first_of("{}", from); at != std::string_view::npos;
         at = data.find_first_of("{}", at + 1)) {
        if (IsMarkupAt(data, at)) {
            return at;
        }
    }
    return std::string_view::npos;
}

bool IsAlphanumeric(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
}

// The document's own closing "}": the last one that is markup.
std::size_t DocumentClose(std::string_view data) {
    for (std::size_t at = data.rfind('}'); at != std::string_view::npos && at > 0;
         at = data.rfind('}', at - 1)) {
        if (IsMarkupAt(data, at)) {
            return at;
        }
    }
    return std::string_view::npos;
}

// The first place from FROM on where a line has just ended outside every
// group, or npos. BODY is the document up to its own closing "}".
//
// Found near FROM rather than by reading from the start: the engine's groups
// are never nested, so the group brace after a line end tells where it
// stands. A "}" right after it closes a line comment's group, and the place
// after that brace is outside every group; a "{" further on means outside
// already; a "}" further on, inside a comment of several lines, and the
// search goes on past its end. Should a document break the rule, the parts
// read from these cuts do not close their groups, and the whole is then read
// in one (ReadEngineDocumentParts).
std::size_t LineEndOutsideGroups(std::string_view body, std::size_t from) {
    std::size_t at = from;
    while (true) {
        const std::size_t par = body.find("\\par", at);
        if (par == std::string_view::npos) {
            return par;
        }
        std::size_t after = par + 4;
        if (!IsMarkupAt(body, par) || (after < body.size() && IsAlphanumeric(body[after]))) {
            at = par + 1;
            continue;
        }
        if (after < body.size() && body[after] == ' ') {
            ++after;
        }
        if (after >= body.size()) {
            return std::string_view::npos;
        }
        if (body[after] == '}') {
            if (after + 1 < body.size()) {
                return after + 1; // "\par}"
            }
            return std::string_view::npos;
        }
        const std::size_t brace = NextGroupBrace(body, after);
        if (brace == std::string_view::npos || body[brace] == '{') {
            return after;
        }
        at = brace + 1;
    }
}

// The cuts that make up to PARTS parts of the body from FROM: each the first
// line end outside every group past its share of the bytes.
std::vector<std::size_t> CutPoints(std::string_view data, std::size_t from, unsigned parts) {
    std::vector<std::size_t> cuts{from};
    const std::size_t close = DocumentClose(data);
    if (close != std::string_view::npos && close > from) {
        const std::string_view body = data.substr(0, close);
        const std::size_t share = (close - from) / parts;
        for (unsigned k = 1; k < parts; ++k) {
            const std::size_t cut =
                LineEndOutsideGroups(body, std::max(cuts.back() + 1, from + k * share));
            if (cut == std::string_view::npos) {
                break;
            }
            cuts.push_back(cut);
        }
    }
    cuts.push_back(data.size());
    return cuts;
}

} // namespace

std::vector<std::size_t> EngineDocumentCuts(std::string_view data, unsigned parts) {
    TRtfDocument unused;
    const std::size_t bodyStart = TEngineReader(data, unused).BodyStart();
    if (bodyStart == 0 || parts < 2 || data.size() - bodyStart < 2 * kMinPartBytes) {
        return {};
    }
    return CutPoints(data, bodyStart, parts);
}

bool ReadEngineDocumentPart(std::string_view data, const std::vector<std::size_t>& cuts,
                            std::size_t k, TRtfDocument& doc) {
    doc.ClearKeepingMemory();
    return TEngineReader(data, doc).ReadPart(cuts[k], cuts[k + 1], k + 2 == cuts.size());
}

std::vector<TRtfDocument> ReadEngineDocumentParts(std::string_view data, unsigned parts,
                                                  unsigned threads) {
    const std::vector<std::size_t> cuts = EngineDocumentCuts(data, parts);
    if (cuts.empty()) {
        std::vector<TRtfDocument> whole;
        whole.push_back(ReadEngineOrRtf(data));
        return whole;
    }
    const std::size_t count = cuts.size() - 1;
    std::vector<TRtfDocument> docs(count);
    std::atomic<bool> failed{false};
    {
        std::atomic<std::size_t> next{0};
        const auto readParts = [&] {
            for (std::size_t k = next++; k < count && !failed; k = next++) {
                if (!ReadEngineDocumentPart(data, cuts, k, docs[k])) {
                    failed = true;
                }
            }
        };
        const std::size_t workers = threads == 0 ? count : std::min<std::size_t>(threads, count);
        std::vector<std::jthread> pool;
        for (std::size_t t = 1; t < workers; ++t) {
            pool.emplace_back(readParts);
        }
        readParts();
    }
    if (failed) {
        docs.clear();
        docs.push_back(ReadEngineOrRtf(data));
    }
    return docs;
}

std::optional<TRtfDocument> ReadEngineDocument(std::string_view data) {
    TRtfDocument doc;
    if (!TEngineReader(data, doc).Read()) {
        return std::nullopt;
    }
    return doc;
}

TRtfDocument ReadEngineOrRtf(std::string_view data) {
    if (auto doc = ReadEngineDocument(data)) {
        return std::move(*doc);
    }
    return ReadRtf(data);
}
