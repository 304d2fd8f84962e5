#include "viewer/text/AnsiWriter.h"

#include "platform/Color.h"
#include "viewer/text/ByteScan.h"
#include "viewer/text/DocumentLines.h"

#include <algorithm>
#include <array>
#include <vector>

namespace {

constexpr std::string_view kReset = "\x1b[0m";

// The escape that sets F from a reset state.
std::string SelectGraphics(const TRtfCharFormat& f, TColor textColor) {
    std::string sgr = "\x1b[0";
    if (f.Bold) {
        sgr += ";1";
    }
    if (f.Italic) {
        sgr += ";3";
    }
    if (f.Underline) {
        sgr += ";4";
    }
    if (f.Strike) {
        sgr += ";9";
    }
    if (f.Color == kNoColor || f.Color == textColor) {
        sgr += ";39";
    } else {
        sgr += ";38;2;" + std::to_string(RedOf(f.Color)) + ";" + std::to_string(GreenOf(f.Color)) +
               ";" + std::to_string(BlueOf(f.Color));
    }
    sgr += 'm';
    return sgr;
}

class TAnsiLines : public TLineVisitor {
public:
    TAnsiLines(std::string& out, const TRtfDocument& doc, const TWriterOptions& options)
        : out_(out) {
        for (const TRtfCharFormat& f : doc.Formats) {
            selects_.push_back(SelectGraphics(f, options.TextColor));
        }
    }
    void Text(std::uint32_t format, std::u16string_view text) override {
        if (format != current_) {
            out_ += selects_[format];
            current_ = format;
        }
        for (const char16_t ch : text) {
            if (ch >= 0x20 && ch < 0x7F && high_ == 0) {
                out_ += static_cast<char>(ch);
            } else {
                AppendUtf8(out_, ch, high_);
            }
        }
    }
    void Latin1(std::uint32_t format, std::string_view text) override {
        if (format != current_) {
            out_ += selects_[format];
            current_ = format;
        }
        if (high_ != 0) {
            FinishUtf8(out_, high_);
        }
        while (!text.empty()) {
            const std::size_t plain = text::SkipToStop(
                text, 0, [](text::TByteBlock b) { return b - 0x20 >= 0x7F - 0x20; },
                [](unsigned char byte) { return byte < 0x20 || byte >= 0x7F; });
            out_.append(text.data(), plain);
            text.remove_prefix(plain);
            if (!text.empty()) {
                AppendUtf8(out_, static_cast<unsigned char>(text.front()), high_);
                text.remove_prefix(1);
            }
        }
    }
    void LineEnd() override {
        out_ += kReset;
        out_ += '\n';
        current_ = kNone;
    }
    void LineNumber(std::string_view number) override {
        // A line starts from a reset: the terminal's own colour, neither bold nor italic.
        out_ += number;
        out_ += "  ";
    }
    void Finish() {
        FinishUtf8(out_, high_);
        if (current_ != kNone) {
            out_ += kReset;
        }
    }

private:
    static constexpr std::uint32_t kNone = 0xFFFFFFFFu;
    std::string& out_;
    std::vector<std::string> selects_;
    std::uint32_t current_ = kNone; // the format the terminal is in; kNone after a reset
    char16_t high_ = 0;
};

} // namespace

void AppendAnsi(std::string& out, const TRtfDocument& doc, const TWriterOptions& options) {
    out.reserve(out.size() + doc.Text.size() * 2);
    TAnsiLines lines(out, doc, options);
    WalkLines(doc, options, lines);
    lines.Finish();
}

std::string WriteAnsi(const TRtfDocument& doc, const TWriterOptions& options) {
    std::string out;
    AppendAnsi(out, doc, options);
    return out;
}
