#pragma once
// Where each line of a document's text starts, built in one pass when the
// document is loaded, so that the view reaches any line at once and never
// keeps an object per paragraph.

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

// Advance of one character cell and distance between tab stops, in pixels,
// of a fixed-pitch font.
struct TFixedPitch {
    double Char = 0;
    double Tab = 0;
    bool operator==(const TFixedPitch&) const = default;
};

// X of the tab stop after X (tab stops every PITCH.Tab from 0).
double NextTabStop(double x, const TFixedPitch& pitch);

// True for a character that a fixed-pitch font draws in one cell of its own:
// no control characters, no combining marks, no scripts that fall back to
// other fonts.
inline bool IsCellCharacter(char16_t ch) {
    return (ch >= 0x20 && ch < 0x7F) || (ch >= 0xA0 && ch < 0x300);
}

// True for the characters that end a line: a paragraph end or a line break.
bool IsLineEnd(char16_t ch);

class TDocText;

class TLineIndex {
public:
    // The one line of an empty text.
    TLineIndex() : starts_{0} {}
    // Lines of TEXT; with PITCH also the width of the widest line laid out in
    // that fixed-pitch font.
    explicit TLineIndex(std::u16string_view text, TFixedPitch pitch = {});
    explicit TLineIndex(const TDocText& text, TFixedPitch pitch = {});

    // At least 1: an empty text, and the text after a last line end, is a line.
    std::size_t Count() const { return starts_.size(); }
    std::uint32_t Start(std::size_t line) const { return starts_[line]; }
    // Position of the line's end, before its line end character.
    std::uint32_t End(std::size_t line) const {
        return line + 1 < starts_.size() ? starts_[line + 1] - 1 : textSize_;
    }
    // The line holding POSITION (a position at a line's end belongs to that line).
    std::size_t LineOf(std::uint32_t position) const;

    // True when every character of the line is a cell character or a tab.
    bool IsCellLine(std::size_t line) const {
        return (complex_[line / 64] & (std::uint64_t{1} << (line % 64))) == 0;
    }
    // Width of the widest line in the pitch given at construction (lines with
    // other characters counted as if they were cells).
    double Widest() const { return widest_; }
    const TFixedPitch& Pitch() const { return pitch_; }
    std::size_t TextSize() const { return textSize_; }

    // Width of TEXT (one line) in PITCH.
    static double WidthOf(std::u16string_view text, const TFixedPitch& pitch);

private:
    template <typename Char> void Build(const Char* data, std::size_t size);

    std::vector<std::uint32_t> starts_;
    std::vector<std::uint64_t> complex_ = std::vector<std::uint64_t>(1); // one bit per line
    std::uint32_t textSize_ = 0;
    double widest_ = 0;
    TFixedPitch pitch_;
};
