#include "viewer/text/RtfRange.h"

#include <algorithm>
#include <unordered_map>

std::size_t RunAt(const TRtfDocument& doc, std::uint32_t position) {
    const auto it =
        std::upper_bound(doc.Runs.begin(), doc.Runs.end(), position,
                         [](std::uint32_t at, const TRtfRun& run) { return at < run.Start; });
    if (it == doc.Runs.begin()) {
        return doc.Runs.size();
    }
    const std::size_t index = static_cast<std::size_t>(it - doc.Runs.begin()) - 1;
    const TRtfRun& run = doc.Runs[index];
    return position < run.Start + run.Length ? index : doc.Runs.size();
}

TRtfDocument DocumentRange(const TRtfDocument& doc, std::size_t from, std::size_t to) {
    TRtfDocument part;
    part.DefaultTabTwips = doc.DefaultTabTwips;
    to = std::min(to, doc.Text.size());
    if (from >= to) {
        return part;
    }
    std::unordered_map<std::uint32_t, std::uint32_t> formats;
    std::unordered_map<int, int> fonts;
    auto formatOf = [&](std::uint32_t index) {
        auto found = formats.find(index);
        if (found != formats.end()) {
            return found->second;
        }
        TRtfCharFormat format = index < doc.Formats.size() ? doc.Formats[index] : TRtfCharFormat{};
        if (format.Font >= 0 && static_cast<std::size_t>(format.Font) < doc.Fonts.size()) {
            auto font = fonts.find(format.Font);
            if (font == fonts.end()) {
                font = fonts.emplace(format.Font, part.FontIndex(doc.Fonts[format.Font])).first;
            }
            format.Font = font->second;
        } else {
            format.Font = -1;
        }
        const std::uint32_t mapped = part.FormatIndex(format);
        formats.emplace(index, mapped);
        return mapped;
    };
    part.Text.reserve(to - from);
    std::u16string piece;
    std::size_t run = RunAt(doc, static_cast<std::uint32_t>(from));
    for (; run < doc.Runs.size() && doc.Runs[run].Start < to; ++run) {
        const TRtfRun& r = doc.Runs[run];
        const std::size_t start = std::max<std::size_t>(r.Start, from);
        const std::size_t end = std::min<std::size_t>(std::size_t{r.Start} + r.Length, to);
        if (start < end) {
            piece.clear();
            doc.Text.AppendTo(piece, start, end - start);
            part.Append(piece, formatOf(r.Format));
        }
    }
    return part;
}
