// Starts the viewer's main window on a file, as the program does, and logs
// how long the event loop was kept from running: a 10 ms timer notes the
// longest gap between two of its ticks. Also notes when the coloured view
// was first painted, counted from the start of the process.
//   lumivane_stall_probe FILE

#include "bench/app/PaintWatch.h"
#include "viewer/Application.h"
#include "viewer/Main.h"
#include "viewer/RichEdit.h"

#include <QElapsedTimer>
#include <QEvent>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

// The process's resident memory now, in MB (Linux), or -1.
long ResidentMegabytes() {
    std::ifstream status("/proc/self/status");
    std::string key;
    while (status >> key) {
        if (key == "VmRSS:") {
            long kilobytes = 0;
            status >> kilobytes;
            return kilobytes / 1024;
        }
        std::getline(status, key);
    }
    return -1;
}

} // namespace

int main(int argc, char** argv) {
    QElapsedTimer sinceStart;
    sinceStart.start();
    TApplication application(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: lumivane_stall_probe FILE\n");
        return 2;
    }
    const std::string file = argv[1];
    const qint64 applicationAt = sinceStart.elapsed();
    TfrmMain window({file});
    const qint64 createdAt = sinceStart.elapsed();

    qint64 filledAt = -1;
    qint64 paintedAt = -1;
    qint64 longestGap = 0;
    qint64 gapAt = 0;
    long residentAfter = -1;
    QElapsedTimer tick;

    TPaintWatch watch;
    qint64 firstPaintAt = -1;
    watch.onPaint = [&] {
        if (firstPaintAt < 0) {
            firstPaintAt = sinceStart.elapsed();
        }
        // The paint that shows the document, not the empty view before it.
        if (paintedAt < 0 && window.SourceView1->TextLength() > 0) {
            paintedAt = sinceStart.elapsed();
        }
    };
    window.SourceView1->viewport()->installEventFilter(&watch);

    QTimer ticker;
    ticker.setInterval(10);
    QObject::connect(&ticker, &QTimer::timeout, [&] {
        const qint64 gap = tick.restart();
        if (gap > longestGap) {
            longestGap = gap;
            gapAt = sinceStart.elapsed();
        }
        if (filledAt < 0 && window.ThreadComp1->State() == TRunnerState::rsIdle &&
            window.SourceView1->TextLength() > 0) {
            filledAt = sinceStart.elapsed();
            window.SourceView1->viewport()->update();
        }
        // Go on a while after the first paint, to catch work done lazily.
        if (paintedAt >= 0 && sinceStart.elapsed() > paintedAt + 1500) {
            residentAfter = ResidentMegabytes();
            window.close();
        }
    });

    window.show();
    const qint64 shownAt = sinceStart.elapsed();
    tick.start();
    ticker.start();
    const int status = application.exec();

    std::printf("file %s, %.1f MB\n", file.c_str(),
                static_cast<double>(std::filesystem::file_size(file)) / (1024.0 * 1024.0));
    std::printf("longest event-loop stall: %lld ms (timer gap, at %lld ms)\n",
                static_cast<long long>(std::max<qint64>(longestGap - 10, 0)),
                static_cast<long long>(gapAt));
    std::printf("application %lld ms, window created %lld ms, shown %lld ms, empty view "
                "painted %lld ms\n",
                static_cast<long long>(applicationAt), static_cast<long long>(createdAt),
                static_cast<long long>(shownAt), static_cast<long long>(firstPaintAt));
    std::printf("document in the view: %lld ms after start; first painted: %lld ms\n",
                static_cast<long long>(filledAt), static_cast<long long>(paintedAt));
    std::printf("resident after the load: %ld MB\n", residentAfter);
    return status;
}
