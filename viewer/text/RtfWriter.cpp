#include "viewer/text/RtfWriter.h"

#include "platform/Color.h"
#include "viewer/text/CodePage.h"
#include "viewer/text/DocumentLines.h"

#include <algorithm>
#include <cstdio>
#include <map>

namespace {

void AppendHexByte(std::string& out, int byte) {
    static constexpr char kHex[] = "0123456789abcdef";
    out += "\\'";
    out += kHex[(byte >> 4) & 0xF];
    out += kHex[byte & 0xF];
}

// One UTF-16 unit of text (surrogates are written unit by unit, as \uN each).
void AppendChar(std::string& out, char16_t ch) {
    switch (ch) {
    case u'\\':
        out += "\\\\";
        return;
    case u'{':
        out += "\\{";
        return;
    case u'}':
        out += "\\}";
        return;
    case u'\t':
        out += "\\tab ";
        return;
    case kParagraphEnd:
        out += "\\par\n";
        return;
    case kLineBreak:
        out += "\\line ";
        return;
    default:
        break;
    }
    if (ch >= 0x20 && ch < 0x80) {
        out += static_cast<char>(ch);
        return;
    }
    const int byte = EncodeWindows1252(ch);
    if (byte >= 0) {
        AppendHexByte(out, byte); // control characters too: they round-trip as bytes
        return;
    }
    out += "\\u";
    out += std::to_string(ch > 32767 ? static_cast<int>(ch) - 65536 : static_cast<int>(ch));
    out += '?'; // what a reader without Unicode shows
}

void AppendText(std::string& out, std::u16string_view text) {
    for (char16_t ch : text) {
        AppendChar(out, ch);
    }
}

void AppendFontName(std::string& out, const std::string& utf8) {
    std::u16string name;
    if (!DecodeUtf8(utf8, name)) {
        name = DecodeWindows1252(utf8);
    }
    for (char16_t ch : name) {
        if (ch == u';' || ch < 0x20) {
            continue; // would end or break the table entry
        }
        AppendChar(out, ch);
    }
}

void AppendColor(std::string& out, TColor rgb) {
    out += "\\red" + std::to_string(RedOf(rgb)) + "\\green" + std::to_string(GreenOf(rgb)) +
           "\\blue" + std::to_string(BlueOf(rgb)) + ";";
}

// Colour numbers in order of first use. 0 is the automatic colour, so the
// table starts with an empty entry and the first colour is 1.
class TColorNumbers {
public:
    int Number(TColor rgb) {
        auto [it, added] = numbers_.emplace(rgb, static_cast<int>(colors_.size()) + 1);
        if (added) {
            colors_.push_back(rgb);
        }
        return it->second;
    }
    const std::vector<TColor>& Colors() const { return colors_; }

private:
    std::map<TColor, int> numbers_;
    std::vector<TColor> colors_;
};

// The control words that switch a run to format F, with the closing space.
std::string FormatWords(const TRtfCharFormat& f, const std::vector<TRtfFont>& fonts,
                        TColorNumbers& colors) {
    std::string w;
    if (f.Font >= 0 && static_cast<std::size_t>(f.Font) < fonts.size()) {
        w += "\\f" + std::to_string(f.Font);
    }
    w += "\\fs" + std::to_string(f.SizeHalfPoints);
    if (f.Color != kNoColor) {
        w += "\\cf" + std::to_string(colors.Number(f.Color));
    }
    if (f.Background != kNoColor) {
        const std::string n = std::to_string(colors.Number(f.Background));
        w += "\\cb" + n + "\\chcbpat" + n;
    }
    if (f.Bold) {
        w += "\\b";
    }
    if (f.Italic) {
        w += "\\i";
    }
    if (f.Underline) {
        w += "\\ul";
    }
    if (f.Strike) {
        w += "\\strike";
    }
    if (f.Vertical > 0) {
        w += "\\super";
    } else if (f.Vertical < 0) {
        w += "\\sub";
    }
    w += ' ';
    return w;
}

// The document's header up to its first run: code page, font and colour tables.
void AppendHeader(std::string& out, const TRtfDocument& doc, const std::vector<TRtfFont>& fonts,
                  const std::vector<TRtfCharFormat>& formats, const TColorNumbers& colors) {
    // A run without a font uses the default font; naming a number outside the
    // table keeps it so when the document is read back.
    const bool anyDefaultFont = std::any_of(formats.begin(), formats.end(),
                                            [](const TRtfCharFormat& f) { return f.Font < 0; });
    const std::size_t defaultFont = anyDefaultFont ? fonts.size() : 0;
    out += "{\\rtf1\\ansi\\ansicpg1252\\deff" + std::to_string(defaultFont) + "\\deftab" +
           std::to_string(doc.DefaultTabTwips) + "\\uc1";
    out += "{\\fonttbl";
    for (std::size_t i = 0; i < fonts.size(); ++i) {
        const TRtfFont& font = fonts[i];
        out += "{\\f" + std::to_string(i) + (font.FixedPitch ? "\\fmodern\\fprq1" : "\\fnil") +
               "\\fcharset0 ";
        AppendFontName(out, font.Name);
        out += ";}";
    }
    out += "}\n{\\colortbl;";
    for (TColor rgb : colors.Colors()) {
        AppendColor(out, rgb);
    }
    out += "}\n\\pard\\plain\n";
}

// Runs cut at line ends, a numbered line starting with its number's group.
class TNumberedRtf : public TLineVisitor {
public:
    TNumberedRtf(std::string& out, const std::vector<std::string>& formatWords,
                 std::string numberWords)
        : out_(out), formatWords_(formatWords), numberWords_(std::move(numberWords)) {}
    void Text(std::uint32_t format, std::u16string_view text) override {
        out_ += '{';
        out_ += formatWords_[format];
        AppendText(out_, text);
        out_ += '}';
    }
    void LineEnd() override { out_ += "\\par\n"; }
    void LineNumber(std::string_view number) override {
        out_ += '{';
        out_ += numberWords_;
        out_ += number;
        out_ += "  }";
    }

private:
    std::string& out_;
    const std::vector<std::string>& formatWords_;
    std::string numberWords_;
};

// The format a line number is written in: the first run's font and size in
// the text colour, neither bold nor italic.
TRtfCharFormat NumberFormat(const std::vector<TRtfCharFormat>& formats, const TRtfDocument& doc,
                            const TWriterOptions& options) {
    TRtfCharFormat number;
    number.Font = -1;
    number.SizeHalfPoints = kCodeFontHalfPoints;
    if (!doc.Runs.empty() && doc.Runs[0].Format < formats.size()) {
        number.Font = formats[doc.Runs[0].Format].Font;
        number.SizeHalfPoints = formats[doc.Runs[0].Format].SizeHalfPoints;
    }
    number.Color = options.TextColor;
    return number;
}

} // namespace

std::string WriteRtf(const TRtfDocument& doc, const TWriterOptions& options) {
    std::vector<TRtfFont> fonts = doc.Fonts;
    const int fontIndex = static_cast<int>(fonts.size());
    if (!options.FontName.empty()) {
        fonts.push_back({options.FontName, true});
    }
    std::vector<TRtfCharFormat> formats;
    formats.reserve(doc.Formats.size());
    for (const TRtfCharFormat& f : doc.Formats) {
        formats.push_back(WithOptions(f, options, fontIndex));
    }
    TColorNumbers colors;
    std::vector<std::string> formatWords;
    formatWords.reserve(formats.size());
    for (const TRtfCharFormat& f : formats) {
        formatWords.push_back(FormatWords(f, fonts, colors));
    }
    const std::string numberWords =
        options.LineNumbers ? FormatWords(NumberFormat(formats, doc, options), fonts, colors) : "";
    std::string out;
    out.reserve(doc.Text.size() + doc.Text.size() / 2 + 256);
    AppendHeader(out, doc, fonts, formats, colors);
    if (options.LineNumbers) {
        TNumberedRtf lines(out, formatWords, numberWords);
        WalkLines(doc, options, lines);
        out += "\\par\n}\n";
        return out;
    }
    std::u16string piece;
    for (const TRtfRun& run : doc.Runs) {
        if (run.Format >= formatWords.size() || run.Start > doc.Text.size()) {
            continue;
        }
        const std::size_t length = std::min<std::size_t>(run.Length, doc.Text.size() - run.Start);
        out += '{';
        out += formatWords[run.Format];
        piece.clear();
        doc.Text.AppendTo(piece, run.Start, length);
        AppendText(out, piece);
        out += '}';
    }
    out += "\\par\n}\n";
    return out;
}
