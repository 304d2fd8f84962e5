#pragma once
// Helpers for the reader and writer tests: the engine's header literal and a
// format-by-value view of a document's runs.

#include "viewer/text/RtfDocument.h"

#include <stdexcept>
#include <string>
#include <vector>

// The engine's header with the default colour scheme, ending in the body defaults.
inline const std::string kEngineHeader =
    "{\\rtf1\\ansi\\deff0\\deftab720{\\fonttbl{\\f0\\fmodern Courier New;}}{\\colortbl"
    "\\red0\\green0\\blue0;\\red255\\green255\\blue255;\\red255\\green0\\blue0;"
    "\\red0\\green0\\blue128;\\red255\\green0\\blue255;\\red0\\green128\\blue0;"
    "\\red0\\green0\\blue0;}\\deflang1031\\pard\\plain\\f0\\fs18\\cf0";
inline const std::string kEngineTrailer = "\\par }{\r\n";

inline std::string EngineDocument(const std::string& body) {
    return kEngineHeader + body + kEngineTrailer;
}

// A run with its text and its format by value (font by name).
struct TSpan {
    std::u16string Text;
    TRtfCharFormat Format;
    std::string FontName;
    bool FixedPitch = false;
    bool operator==(const TSpan& other) const {
        TRtfCharFormat a = Format, b = other.Format;
        a.Font = b.Font = 0;
        return Text == other.Text && a == b && FontName == other.FontName &&
               FixedPitch == other.FixedPitch;
    }
};

// The document's runs with neighbours of equal format merged.
inline std::vector<TSpan> Spans(const TRtfDocument& doc) {
    std::vector<TSpan> spans;
    for (const TRtfRun& run : doc.Runs) {
        TSpan span;
        span.Text = doc.Text.substr(run.Start, run.Length);
        span.Format = doc.Formats.at(run.Format);
        if (span.Format.Font >= 0) {
            span.FontName = doc.Fonts.at(span.Format.Font).Name;
            span.FixedPitch = doc.Fonts.at(span.Format.Font).FixedPitch;
        }
        TSpan probe = span;
        if (!spans.empty()) {
            probe.Text = spans.back().Text;
        }
        if (!spans.empty() && spans.back() == probe) {
            spans.back().Text += span.Text;
        } else {
            spans.push_back(span);
        }
    }
    return spans;
}

// The format of the character at INDEX.
inline const TRtfCharFormat& FormatAt(const TRtfDocument& doc, std::size_t index) {
    for (const TRtfRun& run : doc.Runs) {
        if (index >= run.Start && index < run.Start + run.Length) {
            return doc.Formats.at(run.Format);
        }
    }
    throw std::out_of_range("no run covers the index");
}

inline constexpr TColor kBlack = RgbColor(0, 0, 0), kRed = RgbColor(255, 0, 0),
                        kNavy = RgbColor(0, 0, 128), kFuchsia = RgbColor(255, 0, 255),
                        kGreen = RgbColor(0, 128, 0);
