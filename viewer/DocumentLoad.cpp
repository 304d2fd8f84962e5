#include "viewer/DocumentLoad.h"

#include "engine/ByteSink.h"
#include "engine/PascalParser.h"
#include "viewer/RichEdit.h"
#include "viewer/text/DocumentBuffer.h"
#include "viewer/text/RtfReader.h"

#include <QFile>
#include <algorithm>
#include <filesystem>
#include <new>
#include <stdexcept>
#include <string_view>
#include <system_error>

namespace {

// Where each phase of a load ends, in thousandths of the whole, from the
// time each took for large files: the engine is quick beside the reader that
// follows it, and so is reading a file as it is.
constexpr int kConvertedAt = 150;
constexpr int kFileReadAt = 50;
// The engine's document is about this many times its source (measured on
// the compiler's own sources); an estimate, so its phase is never shown done.
constexpr double kDocumentPerSourceByte = 1.6;
constexpr double kMostOfAnEstimate = 0.95;
// Read in pieces, so that a stop is noticed and progress shown within a piece.
constexpr qint64 kReadPiece = 8 << 20;

// The engine's document, counted on its way to the buffer.
class TCountingSink : public TByteSink {
public:
    TCountingSink(TByteSink& dest, TLoadProgress* progress, double expected)
        : dest_(dest), progress_(progress), expected_(std::max(expected, 1.0)) {}

    void Write(std::string_view bytes) override {
        dest_.Write(bytes);
        written_ += bytes.size();
        if (progress_ != nullptr) {
            progress_->Set(0, kConvertedAt,
                           std::min(static_cast<double>(written_) / expected_, kMostOfAnEstimate));
        }
    }

private:
    TByteSink& dest_;
    TLoadProgress* progress_;
    double expected_;
    std::size_t written_ = 0;
};

std::uintmax_t SizeOf(const std::string& fileName) {
    std::error_code error;
    const std::uintmax_t size = std::filesystem::file_size(fileName, error);
    return error ? 0 : size;
}

// The reader's part, shared by both roads: DATA becomes the view's document;
// the share of PROGRESS from FROM thousandths on follows the reading.
std::shared_ptr<const TViewDocument>
ReadViewDocument(std::string_view data, int dpi, const TStopRequest& stop, TLoadProgress* progress,
                 int from, const std::function<void(std::size_t)>& passed) {
    const double size = std::max<double>(static_cast<double>(data.size()), 1.0);
    try {
        TRtfDocument model = ReadDocument(data, stop, [&](std::size_t offset) {
            if (passed) {
                passed(offset);
            }
            if (progress != nullptr) {
                progress->Set(from, 1000, static_cast<double>(offset) / size);
            }
        });
        CheckStopRequest(stop);
        return BuildViewDocument(std::move(model), dpi);
    } catch (const std::bad_alloc&) {
        throw ERichEditError(kLoadFailedText);
    } catch (const std::length_error&) {
        throw ERichEditError(kLoadFailedText);
    }
}

std::shared_ptr<const TViewDocument> LoadConverted(const std::string& fileName, int dpi,
                                                   const TStopRequest& stop,
                                                   TLoadProgress* progress,
                                                   const std::function<void()>& converted) {
    TDocumentBuffer rtf;
    {
        // The RTF goes as it is read: a large document is not held beside its model.
        TCountingSink sink(rtf, progress,
                           static_cast<double>(SizeOf(fileName)) * kDocumentPerSourceByte);
        ConvertFileAsPascal(fileName, sink, stop);
    }
    if (converted) {
        converted();
    }
    auto document = ReadViewDocument(rtf.View(), dpi, stop, progress, kConvertedAt,
                                     [&rtf](std::size_t offset) { rtf.Release(offset); });
    rtf.Clear();
    return document;
}

// The file's bytes, as the view reads a file it is given.
std::string ReadWholeFile(const std::string& fileName, const TStopRequest& stop,
                          TLoadProgress* progress) {
    QFile file(QString::fromStdString(fileName));
    if (!file.open(QIODevice::ReadOnly)) {
        throw ERichEditError("Cannot open file \"" + fileName + "\". " +
                             file.errorString().toStdString());
    }
    const double expected = std::max<double>(static_cast<double>(file.size()), 1.0);
    std::string data;
    try {
        data.reserve(static_cast<std::size_t>(file.size()));
        for (;;) {
            CheckStopRequest(stop);
            const std::size_t at = data.size();
            data.resize(at + static_cast<std::size_t>(kReadPiece));
            const qint64 read = file.read(data.data() + at, kReadPiece);
            if (read < 0) {
                throw ERichEditError(kLoadFailedText);
            }
            data.resize(at + static_cast<std::size_t>(read));
            if (read == 0) {
                break;
            }
            if (progress != nullptr) {
                progress->Set(0, kFileReadAt,
                              std::min(static_cast<double>(data.size()) / expected, 1.0));
            }
        }
    } catch (const std::bad_alloc&) {
        throw ERichEditError(kLoadFailedText);
    } catch (const std::length_error&) {
        throw ERichEditError(kLoadFailedText);
    }
    return data;
}

std::shared_ptr<const TViewDocument> LoadAsIs(const std::string& fileName, int dpi,
                                              const TStopRequest& stop, TLoadProgress* progress) {
    const std::string data = ReadWholeFile(fileName, stop, progress);
    return ReadViewDocument(data, dpi, stop, progress, kFileReadAt, {});
}

} // namespace

TLoadRoute RouteOf(const std::string& fileName, TFileOrigin origin) {
    if (IsPascalFileName(fileName)) {
        return TLoadRoute::kConvert;
    }
    if (origin == TFileOrigin::kCommandLine) {
        // The start-up road has no direct load: the engine refuses the name.
        throw std::runtime_error("Unknown file extension");
    }
    return TLoadRoute::kAsIs;
}

void RefuseSpecialFile(const std::string& fileName) {
    std::error_code error;
    const auto status = std::filesystem::status(fileName, error);
    if (!error && std::filesystem::exists(status) && !std::filesystem::is_regular_file(status) &&
        !std::filesystem::is_directory(status)) {
        throw std::runtime_error("Cannot open file \"" + fileName + "\": not a regular file");
    }
}

void TLoadProgress::Set(int from, int to, double fraction) {
    const double clamped = std::clamp(fraction, 0.0, 1.0);
    const int value = from + static_cast<int>(clamped * (to - from));
    // Only forward: the phases of a split conversion report out of step.
    int seen = perMille_.load(std::memory_order_relaxed);
    while (value > seen &&
           !perMille_.compare_exchange_weak(seen, value, std::memory_order_relaxed)) {
    }
}

std::shared_ptr<const TViewDocument> LoadViewDocument(const std::string& fileName, TLoadRoute route,
                                                      int dpi, const TStopRequest& stop,
                                                      TLoadProgress* progress,
                                                      const std::function<void()>& converted) {
    if (route == TLoadRoute::kConvert) {
        return LoadConverted(fileName, dpi, stop, progress, converted);
    }
    return LoadAsIs(fileName, dpi, stop, progress);
}
