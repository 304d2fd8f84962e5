// An open command of a large file in a window that shows nothing yet: logs
// the longest time the event loop did not run while the file opened (a 5 ms
// timer notes the longest gap between two of its ticks), how long the open
// took, and when its progress first showed.
//   lumivane_open_stall_probe FILE

#include "bench/app/ProbeWindow.h"
#include "viewer/Application.h"
#include "viewer/FileLoader.h"
#include "viewer/Main.h"
#include "viewer/RichEdit.h"
#include "viewer/StatusIndicator.h"

#include <QElapsedTimer>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <filesystem>

int main(int argc, char** argv) {
    TApplication application(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: lumivane_open_stall_probe FILE\n");
        return 2;
    }
    const QString file = QString::fromLocal8Bit(argv[1]);
    TfrmMain window({});
    AnswerOpenWith(window, file);

    QElapsedTimer sinceOpen;
    QElapsedTimer tick;
    qint64 longestGap = 0;
    qint64 gapAt = 0;
    qint64 progressAt = -1;
    QTimer ticker;
    ticker.setInterval(5);
    QObject::connect(&ticker, &QTimer::timeout, [&] {
        const qint64 gap = tick.restart();
        if (sinceOpen.isValid() && gap > longestGap) {
            longestGap = gap;
            gapAt = sinceOpen.elapsed();
        }
        if (progressAt < 0 && window.Loader().Indicator().ProgressShown()) {
            progressAt = sinceOpen.elapsed();
        }
    });
    qint64 openTook = -1;
    QTimer::singleShot(300, [&] {
        sinceOpen.start();
        tick.start();
        window.tbOpenClick();
        openTook = sinceOpen.elapsed();
        // The first frame of the new document.
        window.SourceView1->viewport()->repaint();
        const qint64 painted = sinceOpen.elapsed();
        const qint64 gap = tick.restart();
        longestGap = std::max(longestGap, gap);
        std::printf("file %s, %.1f MB\n", argv[1],
                    static_cast<double>(std::filesystem::file_size(argv[1])) / (1024.0 * 1024.0));
        std::printf("open took %lld ms, painted at %lld ms, %d lines\n",
                    static_cast<long long>(openTook), static_cast<long long>(painted),
                    static_cast<int>(window.SourceView1->Document().Lines.Count()));
        std::printf("longest event-loop stall during the open: %lld ms (timer gap less its "
                    "5 ms period, at %lld ms)\n",
                    static_cast<long long>(std::max<qint64>(longestGap - 5, 0)),
                    static_cast<long long>(gapAt));
        std::printf("progress first shown at %lld ms\n", static_cast<long long>(progressAt));
        window.close();
    });
    tick.start();
    ticker.start();
    window.show();
    return application.exec();
}
