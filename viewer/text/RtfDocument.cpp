#include "viewer/text/RtfDocument.h"

#include "viewer/text/CodePage.h"

#include <algorithm>
#include <ostream>

std::u16string TDocText::substr(std::size_t pos, std::size_t count) const {
    std::u16string out;
    pos = std::min(pos, size());
    AppendTo(out, pos, std::min(count, size() - pos));
    return out;
}

void TDocText::AppendTo(std::u16string& out, std::size_t pos, std::size_t count) const {
    if (IsWide()) {
        out.append(WideData() + pos, count);
    } else {
        const std::uint8_t* bytes = NarrowData() + pos;
        out.append(bytes, bytes + count);
    }
}

bool operator==(const TDocText& a, std::u16string_view b) {
    return a.size() == b.size() && std::equal(b.begin(), b.end(), a.begin());
}

std::ostream& operator<<(std::ostream& out, const TDocText& text) {
    return out << ToUtf8(text.ToU16String());
}

void TRtfDocument::Append(std::u16string_view text, std::uint32_t format) {
    if (text.empty()) {
        return;
    }
    AddToRuns(static_cast<std::uint32_t>(text.size()), format);
    Text.append(text);
}

std::size_t TRtfCharFormatHash::operator()(const TRtfCharFormat& f) const noexcept {
    std::size_t h = static_cast<std::size_t>(f.Font) * 1000003u;
    h = (h ^ static_cast<std::size_t>(f.SizeHalfPoints)) * 1000003u;
    h = (h ^ f.Color) * 1000003u;
    h = (h ^ f.Background) * 1000003u;
    unsigned flags = (f.Bold ? 1u : 0u) | (f.Italic ? 2u : 0u) | (f.Underline ? 4u : 0u) |
                     (f.Strike ? 8u : 0u) | (static_cast<unsigned>(f.Vertical + 1) << 4);
    return h ^ flags;
}

void TRtfDocument::ClearKeepingMemory() {
    Text.ClearKeepingMemory();
    Runs.ClearKeepingMemory();
    Formats.clear();
    Fonts.clear();
    DefaultTabTwips = 720;
    formatLookup_.clear();
    formatsIndexed_ = 0;
}

std::uint32_t TRtfDocument::FormatIndex(const TRtfCharFormat& format) {
    // Formats may have been filled directly; index those first.
    for (; formatsIndexed_ < Formats.size(); ++formatsIndexed_) {
        formatLookup_.emplace(Formats[formatsIndexed_],
                              static_cast<std::uint32_t>(formatsIndexed_));
    }
    auto [it, added] = formatLookup_.emplace(format, static_cast<std::uint32_t>(Formats.size()));
    if (added) {
        Formats.push_back(format);
        ++formatsIndexed_;
    }
    return it->second;
}

int TRtfDocument::FontIndex(const TRtfFont& font) {
    auto it = std::find(Fonts.begin(), Fonts.end(), font);
    if (it != Fonts.end()) {
        return static_cast<int>(it - Fonts.begin());
    }
    Fonts.push_back(font);
    return static_cast<int>(Fonts.size() - 1);
}
