#pragma once
// The document model between the RTF reader, the RTF writer and the view:
// one flat UTF-16 text with its formatted runs. No Qt, so the sanitizer build
// and the fuzzer cover everything that parses.

#include "platform/Color.h"
#include "viewer/text/PackedArray.h"

#include <cstddef>
#include <cstdint>
#include <iosfwd>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

// The reader's "automatic" colour. Document colours are plain 0x00BBGGRR
// values, never system colours, so this one cannot be confused with them.
inline constexpr TColor kNoColor = 0xFFFFFFFFu;

// The face and size documents are shown in where they name none, and plain
// text always: the fixed-pitch face of the engine's documents.
inline constexpr const char* kCodeFontName = "Courier New";
inline constexpr int kCodeFontHalfPoints = 18;

inline constexpr char16_t kParagraphEnd = u'\n';  // ends a paragraph
inline constexpr char16_t kLineBreak = u'\u2028'; // a line break inside a paragraph

namespace text {

// Characters that must not reach the view as text: Qt reads U+FDD0/U+FDD1 as
// frame marks and U+FFFC as an object, and starts a paragraph at CR and U+2029,
// so those become our paragraph end.
inline char16_t SafeChar(char16_t ch) {
    if (ch == 0xFDD0 || ch == 0xFDD1 || ch == 0xFFFC) {
        return 0xFFFD;
    }
    if (ch == 0x2029 || ch == u'\r') {
        return kParagraphEnd;
    }
    return ch;
}

} // namespace text

struct TRtfFont {
    std::string Name; // UTF-8
    bool FixedPitch = false;
    bool operator==(const TRtfFont&) const = default;
};

struct TRtfCharFormat {
    int Font = -1; // index into TRtfDocument::Fonts; -1: the view's default font
    int SizeHalfPoints = 24;
    TColor Color = kNoColor;
    TColor Background = kNoColor;
    bool Bold = false;
    bool Italic = false;
    bool Underline = false;
    bool Strike = false;
    signed char Vertical = 0; // 1 superscript, -1 subscript
    bool operator==(const TRtfCharFormat&) const = default;
};

struct TRtfCharFormatHash {
    std::size_t operator()(const TRtfCharFormat& f) const noexcept;
};

struct TRtfRun {
    std::uint32_t Start = 0;
    std::uint32_t Length = 0;
    std::uint32_t Format = 0; // index into TRtfDocument::Formats
    bool operator==(const TRtfRun&) const = default;
};

// The characters of a document: one byte each while all are Latin-1 (every
// document of a Western source), UTF-16 from the first one that is not.
class TDocText : public text::TPackedArray<char16_t> {
public:
    static constexpr std::size_t npos = std::u16string::npos;

    void AppendBytes(std::string_view latin1) {
        AppendNarrow(reinterpret_cast<const std::uint8_t*>(latin1.data()), latin1.size());
    }
    void append(std::u16string_view text) {
        for (const char16_t ch : text) {
            push_back(ch);
        }
    }
    // COUNT characters from POS (fewer at the end), as UTF-16.
    std::u16string substr(std::size_t pos, std::size_t count = npos) const;
    // Appends the characters [POS, POS+COUNT) to OUT.
    void AppendTo(std::u16string& out, std::size_t pos, std::size_t count) const;
    std::u16string ToU16String() const { return substr(0); }

    friend bool operator==(const TDocText& a, std::u16string_view b);
};

// UTF-8, for messages.
std::ostream& operator<<(std::ostream& out, const TDocText& text);

// The runs of a document, in order and without gaps: each starts where the one
// before ends. A large document has millions, so each takes its start and its
// format index (one byte while there are few formats); lengths follow from the
// next start.
class TRunList {
public:
    using const_iterator = text::TIndexIterator<TRunList, TRtfRun>;

    std::size_t size() const { return starts_.size(); }
    bool empty() const { return starts_.empty(); }
    TRtfRun operator[](std::size_t i) const {
        return {starts_[i], End(i) - starts_[i], formats_[i]};
    }
    TRtfRun back() const { return (*this)[size() - 1]; }
    const_iterator begin() const { return {this, 0}; }
    const_iterator end() const { return {this, size()}; }

    void reserve(std::size_t count) {
        starts_.reserve(count);
        formats_.reserve(count);
    }
    void ClearKeepingMemory() {
        starts_.clear();
        formats_.ClearKeepingMemory();
        end_ = 0;
        lastFormat_ = 0;
    }
    // Appends RUN, which starts where the last run ends.
    void push_back(const TRtfRun& run) {
        starts_.push_back(run.Start);
        formats_.push_back(run.Format);
        end_ = run.Start + run.Length;
        lastFormat_ = run.Format;
    }
    // The last run grows by COUNT characters, or loses one.
    void ExtendLast(std::uint32_t count) { end_ += count; }
    void ShortenLast() {
        if (--end_ == starts_.back()) {
            starts_.pop_back();
            formats_.pop_back();
            lastFormat_ = formats_.empty() ? 0 : formats_.back();
        }
    }
    // Kept apart from the packed formats, as every character appended asks.
    std::uint32_t LastFormat() const { return lastFormat_; }

    friend bool operator==(const TRunList& a, const TRunList& b) {
        return a.end_ == b.end_ && a.starts_ == b.starts_ && a.formats_ == b.formats_;
    }

private:
    std::uint32_t End(std::size_t i) const {
        return i + 1 < starts_.size() ? starts_[i + 1] : end_;
    }

    std::vector<std::uint32_t> starts_;
    text::TPackedArray<std::uint32_t> formats_;
    std::uint32_t end_ = 0;
    std::uint32_t lastFormat_ = 0;
};

// Text holds kParagraphEnd between paragraphs (none after the last one),
// kLineBreak for a line break and TAB for a tab. The runs cover the text
// without gaps, in order.
struct TRtfDocument {
    TDocText Text;
    TRunList Runs;
    std::vector<TRtfCharFormat> Formats;
    std::vector<TRtfFont> Fonts;
    // Distance between the default tab stops (\deftab), in twips.
    int DefaultTabTwips = 720;

    // Appends text in a format, extending the last run when the format is the same.
    void Append(std::u16string_view text, std::uint32_t format);
    void Append(char16_t ch, std::uint32_t format) {
        AddToRuns(1, format);
        Text.push_back(ch);
    }
    // Appends characters of one byte each (Latin-1), none of which SafeChar changes.
    void AppendLatin1(std::string_view text, std::uint32_t format) {
        if (!text.empty()) {
            AddToRuns(static_cast<std::uint32_t>(text.size()), format);
            Text.AppendBytes(text);
        }
    }
    // An empty document again, keeping the memory of its text and runs for
    // the next one read into it.
    void ClearKeepingMemory();
    // Index of FORMAT in Formats, adding it when new.
    std::uint32_t FormatIndex(const TRtfCharFormat& format);
    // Index of FONT in Fonts, adding it when new.
    int FontIndex(const TRtfFont& font);

private:
    // Extends the last run by LENGTH characters to come, or starts one when
    // its format is another. Inline, as the readers call these per token.
    void AddToRuns(std::uint32_t length, std::uint32_t format) {
        if (!Runs.empty() && Runs.LastFormat() == format) {
            Runs.ExtendLast(length);
        } else {
            Runs.push_back({static_cast<std::uint32_t>(Text.size()), length, format});
        }
    }
    // Keeps FormatIndex fast when a document holds many distinct formats.
    std::unordered_map<TRtfCharFormat, std::uint32_t, TRtfCharFormatHash> formatLookup_;
    std::size_t formatsIndexed_ = 0;
};
