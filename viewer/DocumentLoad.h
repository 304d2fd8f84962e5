#pragma once
// A file on its way into the view: which road it takes (converted as Pascal
// source or shown as it is), and the building of the view's document from it,
// which touches no widget and so runs on a worker thread. How far a load has
// come can be read from the GUI thread while it runs.

#include "engine/StopRequest.h"
#include "viewer/SourceViewDocument.h"

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>

// Where a file name comes from.
enum class TFileOrigin {
    kCommandLine, // the start-up conversion: Pascal source only
    kOpenCommand, // the open command, and what acts as it (a drop, a reload)
};

enum class TLoadRoute {
    kConvert, // Pascal source, through the engine
    kAsIs,    // RTF or plain text, read by the view's reader
};

// The one place that decides whether FILENAME is shown converted. A name
// from the command line that is not Pascal source is refused with the
// engine's own "Unknown file extension"; the open command shows it as it is.
TLoadRoute RouteOf(const std::string& fileName, TFileOrigin origin);

// A pipe, socket or device would block the first read, or never end: refused
// before anything opens it. Missing files and folders are left to the reader,
// which reports them.
void RefuseSpecialFile(const std::string& fileName);

// How far a load has come, in thousandths. Written by the threads of the
// load, read by any thread; an estimate while the engine writes its document
// (its length is known only at the end), exact while the document is read.
class TLoadProgress {
public:
    int PerMille() const { return perMille_.load(std::memory_order_relaxed); }
    // FRACTION (0 to 1) of the phase that spans [FROM, TO) thousandths.
    void Set(int from, int to, double fraction);
    void Reset() { perMille_.store(0, std::memory_order_relaxed); }

private:
    std::atomic<int> perMille_{0};
};

// FILENAME's document for a view measured at DPI, by ROUTE. STOP can end it
// with EConversionCancelled; PROGRESS, when given, follows it. CONVERTED,
// when given, runs on the loading thread once the engine has written the
// document and before the view's reader takes it. A file that cannot be
// read, or a document too large for memory, throws an error naming the
// cause; nothing else is touched.
std::shared_ptr<const TViewDocument> LoadViewDocument(const std::string& fileName, TLoadRoute route,
                                                      int dpi, const TStopRequest& stop = {},
                                                      TLoadProgress* progress = nullptr,
                                                      const std::function<void()>& converted = {});
