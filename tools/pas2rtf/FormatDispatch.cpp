#include "tools/pas2rtf/FormatDispatch.h"

#include "engine/ColorScheme.h"
#include "platform/Color.h"
#include "tools/pas2rtf/EngineDocumentReader.h"
#include "viewer/text/AnsiWriter.h"
#include "viewer/text/DocumentLines.h"
#include "viewer/text/HtmlWriter.h"
#include "viewer/text/RtfRange.h"
#include "viewer/text/RtfWriter.h"

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <exception>
#include <filesystem>
#include <functional>
#include <future>
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

// WRITE(k, worker, out) for each part, on up to THREADS threads (workers 0,
// 1, ...) taking the parts in turn; each piece goes to SINK as soon as those
// before it have, so only one piece a thread is held at once, in a buffer the
// thread reuses. WRITE gives false when it could not write its part: neither
// that part nor any after it reaches SINK. Returns the first part that did
// not (COUNT when all did). Throws what WRITE or SINK threw.
using TPartWriter = std::function<bool(std::size_t part, std::size_t worker, std::string& out)>;
std::size_t WritePartsInOrder(std::size_t count, unsigned threads, const TPartWriter& write,
                              TByteSink& sink) {
    const std::size_t workers = std::clamp<std::size_t>(threads, 1, count);
    std::mutex lock;
    std::condition_variable turnChanged;
    std::size_t turn = 0;                  // the part whose piece goes to the sink next
    std::atomic<std::size_t> stop = count; // the first part not written; set under LOCK
    std::exception_ptr failure;
    const auto writeParts = [&](std::size_t worker) {
        std::string out;
        for (std::size_t k = worker; k < count; k += workers) {
            try {
                out.clear();
                const bool written = k < stop && write(k, worker, out);
                std::unique_lock guard(lock);
                if (!written && k < stop) {
                    stop = k;
                }
                turnChanged.wait(guard, [&] { return turn == k || failure; });
                if (failure) {
                    return;
                }
                if (k < stop) {
                    guard.unlock(); // the sink is ours alone until the turn moves on
                    sink.Write(out);
                    guard.lock();
                }
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
    return stop;
}

// The parts of an engine's document read and written at once by the thread
// that takes each, into a model and a buffer the thread keeps: the model of a
// large document is never held whole, and its memory is taken only once.
//
// The first part's model is kept apart, as every part of a page is written
// with its font and size. Should a part not read as the engine's (a document
// of other origin), what comes from it on is read by the general reader and
// written in one.
class TPartStream {
public:
    TPartStream(std::string_view data, std::vector<std::size_t> cuts, TFormat format,
                const TWriterOptions& options, unsigned threads)
        : data_(data), cuts_(std::move(cuts)), format_(format), options_(options),
          threads_(threads), textSizes_(cuts_.size() - 1), models_(threads) {
        firstRead_ = firstReadPromise_.get_future().share();
    }

    void WriteTo(TByteSink& sink) {
        const std::size_t count = cuts_.size() - 1;
        const std::size_t stop = WritePartsInOrder(
            count, threads_,
            [&](std::size_t k, std::size_t worker, std::string& out) {
                return WritePart(k, out, k == 0 ? first_ : models_[worker]);
            },
            sink);
        if (stop < count) {
            WriteRestInOne(stop, sink);
        }
        if (format_ == TFormat::Html) {
            sink.Write(HtmlPageEnd(options_));
        }
    }

private:
    bool WritePart(std::size_t k, std::string& out, TRtfDocument& model) {
        bool read = false;
        try {
            read = ReadEngineDocumentPart(data_, cuts_, k, model);
        } catch (...) {
            if (k == 0) {
                // The workers waiting for the first part get its error.
                firstReadPromise_.set_exception(std::current_exception());
            }
            throw;
        }
        if (k == 0) {
            firstReadPromise_.set_value(read);
        }
        if (!read) {
            return false;
        }
        textSizes_[k] = model.Text.size();
        if (format_ == TFormat::Ansi) {
            AppendAnsi(out, model, options_);
            return true;
        }
        if (!firstRead_.get()) {
            return false;
        }
        if (k == 0) {
            out += HtmlPageStart(first_, options_);
        }
        AppendHtmlCode(out, model, first_, options_);
        return true;
    }

    // The document's text from part K on, from the general reader's model
    // of the whole.
    void WriteRestInOne(std::size_t k, TByteSink& sink) {
        const TRtfDocument whole = ReadEngineOrRtf(data_);
        std::size_t from = 0;
        for (std::size_t j = 0; j < k; ++j) {
            from += textSizes_[j];
        }
        const TRtfDocument rest = DocumentRange(whole, from, whole.Text.size());
        if (format_ == TFormat::Ansi) {
            sink.Write(WriteAnsi(rest, options_));
        } else if (k == 0) {
            sink.Write(HtmlPageStart(whole, options_));
            sink.Write(HtmlCode(whole, whole, options_));
        } else {
            sink.Write(HtmlCode(rest, first_, options_));
        }
    }

    std::string_view data_;
    std::vector<std::size_t> cuts_;
    TFormat format_;
    const TWriterOptions& options_;
    unsigned threads_;
    std::vector<std::size_t> textSizes_;
    TRtfDocument first_;
    std::promise<bool> firstReadPromise_;
    std::shared_future<bool> firstRead_;
    std::vector<TRtfDocument> models_;
};

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
    // Numbered lines need every part's count of lines before the first is
    // written; otherwise each part is read as it is written.
    if (!options.LineNumbers) {
        std::vector<std::size_t> cuts = EngineDocumentCuts(engineDocument, pieces);
        if (!cuts.empty()) {
            TPartStream(engineDocument, std::move(cuts), command.Format, options, threads)
                .WriteTo(sink);
            return;
        }
    }
    const std::vector<TRtfDocument> parts =
        ReadEngineDocumentParts(engineDocument, pieces, threads);
    const std::vector<TWriterOptions> each = PartOptions(parts, options);
    if (command.Format == TFormat::Ansi) {
        WritePartsInOrder(
            parts.size(), threads,
            [&](std::size_t k, std::size_t, std::string& out) {
                AppendAnsi(out, parts[k], each[k]);
                return true;
            },
            sink);
        return;
    }
    sink.Write(HtmlPageStart(parts.front(), options));
    WritePartsInOrder(
        parts.size(), threads,
        [&](std::size_t k, std::size_t, std::string& out) {
            AppendHtmlCode(out, parts[k], parts.front(), each[k]);
            return true;
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
