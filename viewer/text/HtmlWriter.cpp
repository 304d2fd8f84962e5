#include "viewer/text/HtmlWriter.h"

#include "platform/Color.h"
#include "viewer/text/DocumentLines.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <vector>

namespace {

std::string CssColor(TColor color) {
    char buffer[8];
    std::snprintf(buffer, sizeof buffer, "#%02x%02x%02x", RedOf(color), GreenOf(color),
                  BlueOf(color));
    return buffer;
}

// Text for an element's content or a double-quoted attribute.
void AppendEscaped(std::string& out, std::string_view utf8) {
    for (char c : utf8) {
        switch (c) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '"':
            out += "&quot;";
            break;
        default:
            out += c;
            break;
        }
    }
}

std::string FontFamily(const std::vector<TRtfFont>& fonts, int index) {
    if (index >= 0 && static_cast<std::size_t>(index) < fonts.size()) {
        const TRtfFont& font = fonts[static_cast<std::size_t>(index)];
        std::string name;
        for (char c : font.Name) {
            if (c != '\'' && c != '"' && c != ';' && c != '<' && c != '>' && c != '&' &&
                c != '\\') {
                name += c;
            }
        }
        return "'" + name + "'" + (font.FixedPitch ? ",monospace" : "");
    }
    return std::string("'") + kCodeFontName + "',monospace";
}

std::string FontSize(int halfPoints) {
    return std::to_string(halfPoints / 2) + (halfPoints % 2 != 0 ? ".5" : "") + "pt";
}

// The style a run needs beyond the <pre>'s.
std::string StyleOf(const std::vector<TRtfFont>& fonts, const TRtfCharFormat& f,
                    const TRtfCharFormat& base, const std::string& baseFamily) {
    std::string style;
    const auto add = [&style](const std::string& property) {
        style += style.empty() ? "" : ";";
        style += property;
    };
    if (FontFamily(fonts, f.Font) != baseFamily) {
        add("font-family:" + FontFamily(fonts, f.Font));
    }
    if (f.SizeHalfPoints != base.SizeHalfPoints) {
        add("font-size:" + FontSize(f.SizeHalfPoints));
    }
    if (f.Color != kNoColor && f.Color != base.Color) {
        add("color:" + CssColor(f.Color));
    }
    if (f.Background != kNoColor) {
        add("background-color:" + CssColor(f.Background));
    }
    if (f.Bold) {
        add("font-weight:bold");
    }
    if (f.Italic) {
        add("font-style:italic");
    }
    if (f.Underline || f.Strike) {
        add(std::string("text-decoration:") + (f.Underline ? "underline" : "") +
            (f.Underline && f.Strike ? " " : "") + (f.Strike ? "line-through" : ""));
    }
    if (f.Vertical != 0) {
        add(f.Vertical > 0 ? "vertical-align:super" : "vertical-align:sub");
    }
    return style;
}

// The document's fonts and the one OPTIONS names, which comes last.
std::vector<TRtfFont> FontsOf(const TRtfDocument& doc, const TWriterOptions& options) {
    std::vector<TRtfFont> fonts = doc.Fonts;
    if (!options.FontName.empty()) {
        fonts.push_back({options.FontName, true});
    }
    return fonts;
}

// Bytes of Latin-1 text that are not copied as they are, looked up rather
// than tested: nearly every byte of a page goes through this.
constexpr std::array<bool, 256> kNeedsCare = [] {
    std::array<bool, 256> care{};
    for (std::size_t ch = 0; ch < care.size(); ++ch) {
        care[ch] = ch < 0x20 || ch >= 0x7F || ch == '&' || ch == '<' || ch == '>' || ch == '"';
    }
    return care;
}();

bool NeedsCare(char c) {
    return kNeedsCare[static_cast<unsigned char>(c)];
}

class THtmlLines : public TLineVisitor {
public:
    THtmlLines(std::string& out, const TRtfDocument& doc, const TWriterOptions& options,
               const TRtfCharFormat& base, const std::string& baseFamily)
        : out_(out) {
        const std::vector<TRtfFont> fonts = FontsOf(doc, options);
        const int fontIndex = static_cast<int>(doc.Fonts.size());
        for (const TRtfCharFormat& f : doc.Formats) {
            const std::string style =
                StyleOf(fonts, WithOptions(f, options, fontIndex), base, baseFamily);
            std::string open;
            if (!style.empty()) {
                open = "<span style=\"";
                AppendEscaped(open, style);
                open += "\">";
            }
            opens_.push_back(std::move(open));
        }
    }
    void Text(std::uint32_t format, std::u16string_view text) override {
        const std::string& open = opens_[format];
        out_ += open;
        for (const char16_t ch : text) {
            AppendCharacter(ch);
        }
        FinishUtf8(out_, high_); // a pair never spans two runs
        if (!open.empty()) {
            out_ += "</span>";
        }
    }
    void AppendCharacter(char16_t ch) {
        switch (ch) {
        case u'&':
            out_ += "&amp;";
            break;
        case u'<':
            out_ += "&lt;";
            break;
        case u'>':
            out_ += "&gt;";
            break;
        case u'"':
            out_ += "&quot;";
            break;
        default:
            if (ch >= 0x20 && ch < 0x7F && high_ == 0) {
                out_ += static_cast<char>(ch);
            } else {
                AppendUtf8(out_, ch, high_);
            }
            break;
        }
    }
    void Latin1(std::uint32_t format, std::string_view text) override {
        const std::string& open = opens_[format];
        out_ += open;
        if (high_ != 0) {
            FinishUtf8(out_, high_);
        }
        while (!text.empty()) {
            const auto plain = std::find_if(text.begin(), text.end(), NeedsCare);
            out_.append(text.begin(), plain);
            text.remove_prefix(static_cast<std::size_t>(plain - text.begin()));
            if (!text.empty()) {
                AppendCharacter(static_cast<unsigned char>(text.front()));
                text.remove_prefix(1);
            }
        }
        if (!open.empty()) {
            out_ += "</span>";
        }
    }
    void LineEnd() override { out_ += '\n'; }
    void LineNumber(std::string_view number) override {
        // Not selectable, so neither copied with the code nor found by a search.
        out_ += "<span style=\"user-select:none;-webkit-user-select:none\">";
        out_ += number;
        out_ += "  </span>";
    }
    void Finish() { FinishUtf8(out_, high_); }

private:
    std::string& out_;
    std::vector<std::string> opens_; // the span that opens each format's text, if any
    char16_t high_ = 0;
};

// The format the <pre> carries: the first run's font and size, and the text colour.
TRtfCharFormat BaseFormat(const TRtfDocument& doc, const TWriterOptions& options, int fontIndex) {
    TRtfCharFormat base;
    base.Font = -1;
    base.SizeHalfPoints = kCodeFontHalfPoints;
    if (!doc.Runs.empty() && doc.Runs[0].Format < doc.Formats.size()) {
        const TRtfCharFormat& first = doc.Formats[doc.Runs[0].Format];
        base.Font = first.Font;
        base.SizeHalfPoints = first.SizeHalfPoints;
    }
    base = WithOptions(base, options, fontIndex);
    base.Color = options.TextColor;
    return base;
}

std::string PreStyle(const std::vector<TRtfFont>& fonts, const TRtfCharFormat& base,
                     const TWriterOptions& options) {
    std::string style = "margin:0";
    if (options.Background != kNoColor) {
        style += ";padding:0.5em;background-color:" + CssColor(options.Background);
    }
    if (base.Color != kNoColor) {
        style += ";color:" + CssColor(base.Color);
    }
    style += ";font-family:" + FontFamily(fonts, base.Font) +
             ";font-size:" + FontSize(base.SizeHalfPoints);
    return style;
}

} // namespace

std::string HtmlPageStart(const TRtfDocument& first, const TWriterOptions& options) {
    const std::vector<TRtfFont> fonts = FontsOf(first, options);
    const TRtfCharFormat base = BaseFormat(first, options, static_cast<int>(first.Fonts.size()));
    std::string out;
    if (!options.Fragment) {
        out += "<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\">";
        if (!options.Title.empty()) {
            out += "<title>";
            AppendEscaped(out, options.Title);
            out += "</title>";
        }
        out += "</head><body";
        if (options.Background != kNoColor) {
            out += " style=\"margin:0;background-color:" + CssColor(options.Background) + "\"";
        }
        out += ">";
    }
    out += "<pre style=\"";
    AppendEscaped(out, PreStyle(fonts, base, options));
    out += "\">";
    return out;
}

void AppendHtmlCode(std::string& out, const TRtfDocument& part, const TRtfDocument& first,
                    const TWriterOptions& options) {
    const TRtfCharFormat base = BaseFormat(first, options, static_cast<int>(first.Fonts.size()));
    const std::string baseFamily = FontFamily(FontsOf(first, options), base.Font);
    out.reserve(out.size() + part.Text.size() * 2);
    THtmlLines lines(out, part, options, base, baseFamily);
    WalkLines(part, options, lines);
    lines.Finish();
}

std::string HtmlCode(const TRtfDocument& part, const TRtfDocument& first,
                     const TWriterOptions& options) {
    std::string out;
    AppendHtmlCode(out, part, first, options);
    return out;
}

std::string HtmlPageEnd(const TWriterOptions& options) {
    return options.Fragment ? "</pre>\n" : "</pre></body></html>\n";
}

std::string WriteHtml(const TRtfDocument& doc, const TWriterOptions& options) {
    std::string out = HtmlPageStart(doc, options);
    out += HtmlCode(doc, doc, options);
    out += HtmlPageEnd(options);
    return out;
}
