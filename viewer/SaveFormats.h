#pragma once
// What Save writes: the formats the save dialog offers, in its order (the
// first is the default), and which of them a file gets.

#include <cstddef>
#include <string>
#include <string_view>

enum class TSaveFormat { Rtf, Html, Pdf };

struct TSaveFormatChoice {
    TSaveFormat Format;
    const char* Description; // the dialog's filter text
    const char* Patterns;    // "*.a;*.b"
    const char* Suffix;      // added to a name typed without an extension
};

inline constexpr TSaveFormatChoice kSaveFormats[] = {
    {TSaveFormat::Rtf, "Rich Text Format (*.rtf)", "*.rtf", "rtf"},
    {TSaveFormat::Html, "Web page (*.html *.htm)", "*.html;*.htm", "html"},
    {TSaveFormat::Pdf, "PDF document (*.pdf)", "*.pdf", "pdf"},
};

// The dialog's filter: "Description|Patterns" for each format, joined by "|".
std::string SaveFilter();

// The format FILENAME is saved in: the one its extension names (in any
// case), else the one of the filter chosen, the CHOSENth of kSaveFormats
// (the first when out of range).
TSaveFormat SaveFormatFor(std::string_view fileName, std::ptrdiff_t chosen);
