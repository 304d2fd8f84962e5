#include "viewer/text/HtmlWriter.h"

#include "platform/Color.h"
#include "viewer/text/CodePage.h"

#include <cstdio>

namespace {

std::string CssColor(TColor color) {
    char buffer[8];
    std::snprintf(buffer, sizeof buffer, "#%02x%02x%02x", RedOf(color), GreenOf(color),
                  BlueOf(color));
    return buffer;
}

void AppendEscaped(std::string& out, const std::string& utf8) {
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

std::string FontFamily(const TRtfDocument& doc, const TRtfCharFormat& f) {
    if (f.Font >= 0 && static_cast<std::size_t>(f.Font) < doc.Fonts.size()) {
        const TRtfFont& font = doc.Fonts[static_cast<std::size_t>(f.Font)];
        std::string name;
        for (char c : font.Name) {
            if (c != '\'' && c != '"' && c != ';' && c != '<' && c != '>' && c != '&') {
                name += c;
            }
        }
        return "'" + name + "'" + (font.FixedPitch ? ",monospace" : "");
    }
    return std::string("'") + kCodeFontName + "',monospace";
}

std::string StyleOf(const TRtfDocument& doc, const TRtfCharFormat& f) {
    std::string style = "font-family:" + FontFamily(doc, f) +
                        ";font-size:" + std::to_string(f.SizeHalfPoints / 2) +
                        (f.SizeHalfPoints % 2 != 0 ? ".5" : "") + "pt";
    if (f.Color != kNoColor) {
        style += ";color:" + CssColor(f.Color);
    }
    if (f.Background != kNoColor) {
        style += ";background-color:" + CssColor(f.Background);
    }
    if (f.Bold) {
        style += ";font-weight:bold";
    }
    if (f.Italic) {
        style += ";font-style:italic";
    }
    if (f.Underline || f.Strike) {
        style += std::string(";text-decoration:") + (f.Underline ? "underline" : "") +
                 (f.Underline && f.Strike ? " " : "") + (f.Strike ? "line-through" : "");
    }
    if (f.Vertical != 0) {
        style += f.Vertical > 0 ? ";vertical-align:super" : ";vertical-align:sub";
    }
    return style;
}

} // namespace

std::string WriteHtml(const TRtfDocument& doc) {
    std::string out = "<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\"></head>"
                      "<body><pre style=\"margin:0\">";
    out.reserve(out.size() + doc.Text.size() * 2);
    for (const TRtfRun& run : doc.Runs) {
        if (run.Format >= doc.Formats.size() || run.Start >= doc.Text.size()) {
            continue;
        }
        std::u16string piece = doc.Text.substr(run.Start, run.Length);
        for (char16_t& ch : piece) {
            if (ch == kLineBreak) {
                ch = u'\n';
            }
        }
        out += "<span style=\"";
        AppendEscaped(out, StyleOf(doc, doc.Formats[run.Format]));
        out += "\">";
        AppendEscaped(out, ToUtf8(piece));
        out += "</span>";
    }
    out += "</pre></body></html>\n";
    return out;
}
