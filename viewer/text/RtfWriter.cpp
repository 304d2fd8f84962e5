#include "viewer/text/RtfWriter.h"

#include "viewer/text/CodePage.h"

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

void AppendColor(std::string& out, TRgb rgb) {
    out += "\\red" + std::to_string((rgb >> 16) & 0xFF) + "\\green" +
           std::to_string((rgb >> 8) & 0xFF) + "\\blue" + std::to_string(rgb & 0xFF) + ";";
}

} // namespace

std::string WriteRtf(const TRtfDocument& doc) {
    // Colour numbers: 0 is the automatic colour, so the table starts with an empty entry.
    std::map<TRgb, int> colorNumbers;
    std::vector<TRgb> colors;
    auto number = [&](TRgb rgb) {
        auto [it, added] = colorNumbers.emplace(rgb, static_cast<int>(colors.size()) + 1);
        if (added) {
            colors.push_back(rgb);
        }
        return it->second;
    };
    std::vector<std::string> formatWords(doc.Formats.size());
    for (std::size_t i = 0; i < doc.Formats.size(); ++i) {
        const TRtfCharFormat& f = doc.Formats[i];
        std::string& w = formatWords[i];
        if (f.Font >= 0 && static_cast<std::size_t>(f.Font) < doc.Fonts.size()) {
            w += "\\f" + std::to_string(f.Font);
        }
        w += "\\fs" + std::to_string(f.SizeHalfPoints);
        if (f.Color != kNoColor) {
            w += "\\cf" + std::to_string(number(f.Color));
        }
        if (f.Background != kNoColor) {
            const std::string n = std::to_string(number(f.Background));
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
    }

    std::string out;
    out.reserve(doc.Text.size() + doc.Text.size() / 2 + 256);
    // A run without a font uses the default font; naming a number outside the
    // table keeps it so when the document is read back.
    const bool anyDefaultFont = std::any_of(doc.Formats.begin(), doc.Formats.end(),
                                            [](const TRtfCharFormat& f) { return f.Font < 0; });
    const std::size_t defaultFont = anyDefaultFont ? doc.Fonts.size() : 0;
    out += "{\\rtf1\\ansi\\ansicpg1252\\deff" + std::to_string(defaultFont) + "\\uc1";
    out += "{\\fonttbl";
    for (std::size_t i = 0; i < doc.Fonts.size(); ++i) {
        const TRtfFont& font = doc.Fonts[i];
        out += "{\\f" + std::to_string(i) + (font.FixedPitch ? "\\fmodern\\fprq1" : "\\fnil") +
               "\\fcharset0 ";
        AppendFontName(out, font.Name);
        out += ";}";
    }
    out += "}\n{\\colortbl;";
    for (TRgb rgb : colors) {
        AppendColor(out, rgb);
    }
    out += "}\n\\pard\\plain\n";
    for (const TRtfRun& run : doc.Runs) {
        if (run.Format >= formatWords.size() || run.Start > doc.Text.size()) {
            continue;
        }
        const std::size_t length = std::min<std::size_t>(run.Length, doc.Text.size() - run.Start);
        out += '{';
        out += formatWords[run.Format];
        AppendText(out, std::u16string_view(doc.Text).substr(run.Start, length));
        out += '}';
    }
    out += "\\par\n}\n";
    return out;
}
