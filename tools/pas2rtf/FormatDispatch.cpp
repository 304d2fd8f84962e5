#include "tools/pas2rtf/FormatDispatch.h"

#include "engine/ColorScheme.h"
#include "platform/Color.h"
#include "viewer/text/AnsiWriter.h"
#include "viewer/text/HtmlWriter.h"
#include "viewer/text/RtfReader.h"
#include "viewer/text/RtfWriter.h"

#include <filesystem>

namespace {

using TFormat = TPas2RtfCommand::TFormat;

// Slot numbers of the colour scheme.
constexpr std::size_t kForegroundSlot = 0;
constexpr std::size_t kBackgroundSlot = 1;

TWriterOptions OptionsOf(const TPas2RtfCommand& command, const std::string& title) {
    TWriterOptions options;
    options.LineNumbers = command.LineNumbers;
    options.FirstLineNumber = command.FirstLineNumber;
    options.FontName = command.FontName;
    options.FontHalfPoints = command.FontHalfPoints;
    options.TextColor = ColorToRGB(ColorSlots[kForegroundSlot].Color);
    options.Background = ColorToRGB(ColorSlots[kBackgroundSlot].Color);
    options.Fragment = command.Fragment;
    options.Title = title;
    return options;
}

} // namespace

void WriteDocumentAs(std::string_view engineDocument, const TPas2RtfCommand& command,
                     const std::string& title, TByteSink& sink) {
    const TRtfDocument doc = ReadRtf(engineDocument);
    const TWriterOptions options = OptionsOf(command, title);
    switch (command.Format) {
    case TFormat::Html:
        sink.Write(WriteHtml(doc, options));
        break;
    case TFormat::Ansi:
        sink.Write(WriteAnsi(doc, options));
        break;
    case TFormat::Rtf:
        sink.Write(WriteRtf(doc, options));
        break;
    }
}

std::string PageTitle(const std::string& input) {
    if (input == kStandardInput) {
        return "standard input";
    }
    return std::filesystem::path(input).filename().string();
}
