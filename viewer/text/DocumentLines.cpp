#include "viewer/text/DocumentLines.h"

#include <algorithm>
#include <charconv>

namespace {

bool IsLineEnd(char16_t ch) {
    return ch == kParagraphEnd || ch == kLineBreak;
}

void AppendCodePoint(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

class TNumbering {
public:
    TNumbering(const TRtfDocument& doc, const TWriterOptions& options)
        : on_(options.LineNumbers), next_(options.FirstLineNumber),
          lines_(on_ ? CountLines(doc) : 0) {
        if (on_ && lines_ > 0) {
            width_ = options.NumberWidth != 0 ? options.NumberWidth
                                              : std::to_string(next_ + lines_ - 1).size();
        }
    }
    // Called before anything of a line is written.
    void Before(TLineVisitor& visitor) {
        if (!on_ || !atStart_ || done_ == lines_) {
            return;
        }
        atStart_ = false;
        char digits[24];
        const auto end = std::to_chars(digits, digits + sizeof digits, next_).ptr;
        const std::size_t length = static_cast<std::size_t>(end - digits);
        std::string number(width_ > length ? width_ - length : 0, ' ');
        number.append(digits, length);
        visitor.LineNumber(number);
        ++next_;
        ++done_;
    }
    void LineEnded() { atStart_ = true; }

private:
    bool on_;
    std::uint64_t next_;
    std::size_t lines_;
    std::size_t width_ = 0;
    std::size_t done_ = 0;
    bool atStart_ = true;
};

} // namespace

bool IsWritableFontName(const std::string& name) {
    return std::none_of(name.begin(), name.end(), [](char c) {
        const auto byte = static_cast<unsigned char>(c);
        return byte < 0x20 || byte == 0x7F || c == '{' || c == '}' || c == '\\' || c == ';';
    });
}

void TLineVisitor::Latin1(std::uint32_t format, std::string_view text) {
    const std::u16string wide(text.begin(), text.end());
    Text(format, wide);
}

std::size_t CountLines(const TRtfDocument& doc) {
    const TDocText& text = doc.Text;
    if (text.empty()) {
        return 0;
    }
    std::size_t ends = 0;
    if (!text.IsWide()) {
        // A line break is no Latin-1 character: only paragraph ends can be here.
        ends = static_cast<std::size_t>(
            std::count(text.NarrowData(), text.NarrowData() + text.size(), kParagraphEnd));
    } else {
        ends = static_cast<std::size_t>(
            std::count_if(text.WideData(), text.WideData() + text.size(), IsLineEnd));
    }
    return IsLineEnd(text.back()) ? ends : ends + 1;
}

namespace {

// Cuts REST at its line ends: each line's text (when there is any) goes to
// TEXT, each end to the visitor. LINE_LENGTH gives how much of REST comes
// before its first line end (all of it when there is none).
template <class Char, class LineLength, class Text>
void SplitLines(std::basic_string_view<Char> rest, TNumbering& numbering, TLineVisitor& visitor,
                LineLength lineLength, Text text) {
    while (!rest.empty()) {
        const std::size_t length = lineLength(rest);
        numbering.Before(visitor);
        if (length > 0) {
            text(rest.substr(0, length));
        }
        if (length < rest.size()) {
            visitor.LineEnd();
            numbering.LineEnded();
            rest.remove_prefix(length + 1);
        } else {
            rest = {};
        }
    }
}

bool InText(const TRtfDocument& doc, const TRtfRun& run) {
    return run.Format < doc.Formats.size() && run.Start < doc.Text.size();
}

std::size_t RunLength(const TRtfDocument& doc, const TRtfRun& run) {
    return std::min<std::size_t>(run.Length, doc.Text.size() - run.Start);
}

void WalkLatin1(const TRtfDocument& doc, TNumbering& numbering, TLineVisitor& visitor) {
    const char* text = reinterpret_cast<const char*>(doc.Text.NarrowData());
    for (const TRtfRun& run : doc.Runs) {
        if (!InText(doc, run)) {
            continue;
        }
        SplitLines(
            std::string_view(text + run.Start, RunLength(doc, run)), numbering, visitor,
            [](std::string_view rest) {
                return std::min(rest.find(static_cast<char>(kParagraphEnd)), rest.size());
            },
            [&](std::string_view line) { visitor.Latin1(run.Format, line); });
    }
}

void WalkWide(const TRtfDocument& doc, TNumbering& numbering, TLineVisitor& visitor) {
    std::u16string piece;
    for (const TRtfRun& run : doc.Runs) {
        if (!InText(doc, run)) {
            continue;
        }
        piece.clear();
        doc.Text.AppendTo(piece, run.Start, RunLength(doc, run));
        SplitLines(
            std::u16string_view(piece), numbering, visitor,
            [](std::u16string_view rest) {
                return static_cast<std::size_t>(std::find_if(rest.begin(), rest.end(), IsLineEnd) -
                                                rest.begin());
            },
            [&](std::u16string_view line) { visitor.Text(run.Format, line); });
    }
}

} // namespace

void WalkLines(const TRtfDocument& doc, const TWriterOptions& options, TLineVisitor& visitor) {
    TNumbering numbering(doc, options);
    if (doc.Text.IsWide()) {
        WalkWide(doc, numbering, visitor);
    } else {
        WalkLatin1(doc, numbering, visitor);
    }
}

TRtfCharFormat WithOptions(TRtfCharFormat f, const TWriterOptions& options, int fontIndex) {
    if (!options.FontName.empty()) {
        f.Font = fontIndex;
    }
    if (options.FontHalfPoints > 0) {
        f.SizeHalfPoints = options.FontHalfPoints;
    }
    return f;
}

void AppendUtf8(std::string& out, char16_t ch, char16_t& high) {
    if (high != 0) {
        const char16_t first = high;
        high = 0;
        if (ch >= 0xDC00 && ch <= 0xDFFF) {
            AppendCodePoint(out, 0x10000 + ((static_cast<char32_t>(first) - 0xD800) << 10) +
                                     (static_cast<char32_t>(ch) - 0xDC00));
            return;
        }
        AppendCodePoint(out, 0xFFFD);
    }
    if (ch >= 0xD800 && ch <= 0xDBFF) {
        high = ch;
    } else if ((ch < 0x20 && ch != u'\t') || (ch >= 0x7F && ch < 0xA0) ||
               (ch >= 0xDC00 && ch <= 0xDFFF)) {
        AppendCodePoint(out, 0xFFFD);
    } else {
        AppendCodePoint(out, ch);
    }
}

void FinishUtf8(std::string& out, char16_t& high) {
    if (high != 0) {
        high = 0;
        AppendCodePoint(out, 0xFFFD);
    }
}
