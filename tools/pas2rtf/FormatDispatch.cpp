#include "tools/pas2rtf/FormatDispatch.h"

#include "engine/ColorScheme.h"
#include "platform/Color.h"
#include "tools/pas2rtf/EngineDocumentReader.h"
#include "viewer/text/AnsiWriter.h"
#include "viewer/text/DocumentLines.h"
#include "viewer/text/HtmlWriter.h"
#include "viewer/text/RtfWriter.h"

#include <filesystem>
#include <functional>
#include <thread>
#include <vector>

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

// Each part's options: its lines numbered on from the part before, all
// aligned to the largest number of the whole.
std::vector<TWriterOptions> PartOptions(const std::vector<TRtfDocument>& parts,
                                        const TWriterOptions& options) {
    std::vector<TWriterOptions> each(parts.size(), options);
    if (!options.LineNumbers) {
        return each;
    }
    std::uint64_t lines = 0;
    for (std::size_t k = 0; k < parts.size(); ++k) {
        each[k].FirstLineNumber = options.FirstLineNumber + lines;
        lines += CountLines(parts[k]);
    }
    const std::size_t width = std::to_string(options.FirstLineNumber + lines - 1).size();
    for (TWriterOptions& part : each) {
        part.NumberWidth = lines > 0 ? width : 0;
    }
    return each;
}

// WRITE(k) for each part, on a thread each, handed to SINK in order.
void WritePartsInOrder(std::size_t count, const std::function<std::string(std::size_t)>& write,
                       TByteSink& sink) {
    std::vector<std::string> written(count);
    {
        std::vector<std::jthread> threads;
        for (std::size_t k = 1; k < count; ++k) {
            threads.emplace_back([&, k] { written[k] = write(k); });
        }
        written[0] = write(0);
    }
    for (std::string& piece : written) {
        sink.Write(piece);
        piece = std::string();
    }
}

} // namespace

void WriteDocumentAs(std::string_view engineDocument, const TPas2RtfCommand& command,
                     const std::string& title, TByteSink& sink, unsigned threads) {
    const TWriterOptions options = OptionsOf(command, title);
    if (command.Format == TFormat::Rtf) {
        sink.Write(WriteRtf(ReadEngineOrRtf(engineDocument), options));
        return;
    }
    const std::vector<TRtfDocument> parts = ReadEngineDocumentParts(engineDocument, threads);
    const std::vector<TWriterOptions> each = PartOptions(parts, options);
    if (command.Format == TFormat::Ansi) {
        WritePartsInOrder(
            parts.size(), [&](std::size_t k) { return WriteAnsi(parts[k], each[k]); }, sink);
        return;
    }
    sink.Write(HtmlPageStart(parts.front(), options));
    WritePartsInOrder(
        parts.size(), [&](std::size_t k) { return HtmlCode(parts[k], parts.front(), each[k]); },
        sink);
    sink.Write(HtmlPageEnd(options));
}

std::string PageTitle(const std::string& input) {
    if (input == kStandardInput) {
        return "standard input";
    }
    return std::filesystem::path(input).filename().string();
}
