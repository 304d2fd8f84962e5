#include "viewer/text/LineIndex.h"

#include "viewer/text/RtfDocument.h"

#include <algorithm>
#include <cmath>

double NextTabStop(double x, const TFixedPitch& pitch) {
    if (pitch.Tab <= 0) {
        return x + pitch.Char;
    }
    // A tab never has zero width: at a stop it goes on to the next one. The
    // small allowance keeps rounding from skipping a stop.
    return (std::floor(x / pitch.Tab + 1e-9) + 1) * pitch.Tab;
}

bool IsLineEnd(char16_t ch) {
    return ch == kParagraphEnd || ch == kLineBreak;
}

TLineIndex::TLineIndex(std::u16string_view text, TFixedPitch pitch)
    : textSize_(static_cast<std::uint32_t>(text.size())), pitch_(pitch) {
    Build(text.data(), text.size());
}

TLineIndex::TLineIndex(const TDocText& text, TFixedPitch pitch)
    : textSize_(static_cast<std::uint32_t>(text.size())), pitch_(pitch) {
    if (text.IsWide()) {
        Build(text.WideData(), text.size());
    } else {
        Build(text.NarrowData(), text.size());
    }
}

// One pass over the text in the width it is stored in.
template <typename Char> void TLineIndex::Build(const Char* data, std::size_t size) {
    const TFixedPitch pitch = pitch_;
    // Counted first, so that the index of millions of lines is never moved while it fills.
    std::size_t ends = 0;
    for (std::size_t i = 0; i < size; ++i) {
        ends += static_cast<std::size_t>(IsLineEnd(data[i]));
    }
    starts_.reserve(ends + 1);
    complex_.reserve((ends + 1) / 64 + 1);
    starts_.push_back(0);
    std::uint64_t complexBits = 0;
    std::size_t line = 0;
    double tabbed = 0;     // x of the last tab stop reached in this line
    std::uint32_t run = 0; // cells since then
    bool cellsOnly = true;
    auto endLine = [&](std::uint32_t next) {
        widest_ = std::max(widest_, tabbed + run * pitch.Char);
        if (!cellsOnly) {
            complexBits |= std::uint64_t{1} << (line % 64);
        }
        if (line % 64 == 63) {
            complex_.back() = complexBits;
            complex_.push_back(0);
            complexBits = 0;
        }
        ++line;
        starts_.push_back(next);
        tabbed = 0;
        run = 0;
        cellsOnly = true;
    };
    for (std::size_t i = 0; i < size; ++i) {
        const char16_t ch = data[i];
        if (IsCellCharacter(ch)) {
            ++run;
        } else if (ch == u'\t') {
            tabbed = NextTabStop(tabbed + run * pitch.Char, pitch);
            run = 0;
        } else if (IsLineEnd(ch)) {
            endLine(static_cast<std::uint32_t>(i + 1));
        } else {
            ++run;
            cellsOnly = false;
        }
    }
    widest_ = std::max(widest_, tabbed + run * pitch.Char);
    if (!cellsOnly) {
        complexBits |= std::uint64_t{1} << (line % 64);
    }
    complex_.back() = complexBits;
}

std::size_t TLineIndex::LineOf(std::uint32_t position) const {
    const auto it = std::upper_bound(starts_.begin(), starts_.end(), position);
    return static_cast<std::size_t>(it - starts_.begin()) - 1;
}

double TLineIndex::WidthOf(std::u16string_view text, const TFixedPitch& pitch) {
    double tabbed = 0;
    std::size_t run = 0;
    for (char16_t ch : text) {
        if (ch == u'\t') {
            tabbed = NextTabStop(tabbed + run * pitch.Char, pitch);
            run = 0;
        } else {
            ++run;
        }
    }
    return tabbed + run * pitch.Char;
}
