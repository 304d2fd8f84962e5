#include "tools/pas2rtf/FormatDispatch.h"

#include "engine/ColorScheme.h"
#include "platform/Color.h"
#include "tools/pas2rtf/EngineDocumentReader.h"
#include "viewer/text/AnsiWriter.h"
#include "viewer/text/DocumentLines.h"
#include "viewer/text/HtmlWriter.h"
#include "viewer/text/RtfWriter.h"

#include <algorithm>
#include <condition_variable>
#include <exception>
#include <filesystem>
#include <functional>
#include <mutex>
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

// The size of the pieces a large document is read and written in: small
// enough that the few written at once stay in the processor's caches and
// their buffers are reused rather than taken fresh from the system.
constexpr std::size_t kPieceBytes = std::size_t{1} << 20;

// WRITE(k, out) for each part, on up to THREADS threads taking the parts in
// turn; each piece goes to SINK as soon as those before it have, so only one
// piece a thread is held at once, in a buffer the thread reuses. Throws what
// WRITE or SINK threw.
void WritePartsInOrder(std::size_t count, unsigned threads,
                       const std::function<void(std::size_t, std::string&)>& write,
                       TByteSink& sink) {
    const std::size_t workers = std::clamp<std::size_t>(threads, 1, count);
    std::mutex lock;
    std::condition_variable turnChanged;
    std::size_t turn = 0; // the part whose piece goes to the sink next
    std::exception_ptr failure;
    const auto writeParts = [&](std::size_t first) {
        std::string out;
        for (std::size_t k = first; k < count; k += workers) {
            try {
                out.clear();
                write(k, out);
                std::unique_lock guard(lock);
                turnChanged.wait(guard, [&] { return turn == k || failure; });
                if (failure) {
                    return;
                }
                guard.unlock(); // the sink is ours alone until the turn moves on
                sink.Write(out);
                guard.lock();
                ++turn;
            } catch (...) {
                const std::lock_guard guard(lock);
                if (!failure) {
                    failure = std::current_exception();
                }
                turnChanged.notify_all();
                return;
            }
            turnChanged.notify_all();
        }
    };
    {
        std::vector<std::jthread> pool;
        for (std::size_t w = 1; w < workers; ++w) {
            pool.emplace_back(writeParts, w);
        }
        writeParts(0);
    }
    if (failure) {
        std::rethrow_exception(failure);
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
    const auto pieces =
        static_cast<unsigned>(std::max<std::size_t>(threads, engineDocument.size() / kPieceBytes));
    const std::vector<TRtfDocument> parts =
        ReadEngineDocumentParts(engineDocument, pieces, threads);
    const std::vector<TWriterOptions> each = PartOptions(parts, options);
    if (command.Format == TFormat::Ansi) {
        WritePartsInOrder(
            parts.size(), threads,
            [&](std::size_t k, std::string& out) { AppendAnsi(out, parts[k], each[k]); }, sink);
        return;
    }
    sink.Write(HtmlPageStart(parts.front(), options));
    WritePartsInOrder(
        parts.size(), threads,
        [&](std::size_t k, std::string& out) {
            AppendHtmlCode(out, parts[k], parts.front(), each[k]);
        },
        sink);
    sink.Write(HtmlPageEnd(options));
}

std::string PageTitle(const std::string& input) {
    if (input == kStandardInput) {
        return "standard input";
    }
    return std::filesystem::path(input).filename().string();
}
