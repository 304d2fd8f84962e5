#include "viewer/text/HtmlWriter.h"

#include "platform/Color.h"
#include "viewer/text/DocumentLines.h"

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
                    const TRtfCharFormat& base) {
    std::string style;
    const auto add = [&style](const std::string& property) {
        style += style.empty() ? "" : ";";
        style += property;
    };
    if (FontFamily(fonts, f.Font) != FontFamily(fonts, base.Font)) {
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

class THtmlLines : public TLineVisitor {
public:
    THtmlLines(std::string& out, const TRtfDocument& doc, const TWriterOptions& options,
               const std::vector<TRtfFont>& fonts, const TRtfCharFormat& base)
        : out_(out) {
        const int fontIndex = static_cast<int>(doc.Fonts.size());
        for (const TRtfCharFormat& f : doc.Formats) {
            const std::string style = StyleOf(fonts, WithOptions(f, options, fontIndex), base);
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

std::string WriteHtml(const TRtfDocument& doc, const TWriterOptions& options) {
    std::vector<TRtfFont> fonts = doc.Fonts;
    const int fontIndex = static_cast<int>(fonts.size());
    if (!options.FontName.empty()) {
        fonts.push_back({options.FontName, true});
    }
    const TRtfCharFormat base = BaseFormat(doc, options, fontIndex);
    std::string out;
    out.reserve(doc.Text.size() * 2 + 512);
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
    THtmlLines lines(out, doc, options, fonts, base);
    WalkLines(doc, options, lines);
    lines.Finish();
    out += "</pre>";
    if (!options.Fragment) {
        out += "</body></html>";
    }
    out += '\n';
    return out;
}
