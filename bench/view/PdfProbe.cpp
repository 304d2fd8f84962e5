// PDF export of a Pascal file as the viewer does it: converted by the
// engine, shown in a view, written as PDF under the progress dialog. Prints
// the wall time, the peak resident memory of the process, and the longest
// time the event loop went without a turn while it ran.
//   lumivane_pdf_probe SOURCE.pas OUT.pdf

#include "engine/PascalParser.h"
#include "viewer/PrintJob.h"
#include "viewer/RichEdit.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <sys/resource.h>

namespace {

long PeakKb() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s SOURCE.pas OUT.pdf\n", argv[0]);
        return 2;
    }
    QApplication app(argc, argv);
    TRichEdit view;
    TDocumentBuffer rtf;
    ConvertFileAsPascal(argv[1], rtf);
    view.AdoptDocument(view.BuildDocument(rtf));
    const long loadedKb = PeakKb();

    TPrintSource source;
    source.Document = view.SharedDocument();
    source.To = static_cast<std::uint32_t>(view.TextLength());
    source.Title = QString::fromLocal8Bit(argv[1]);

    // A timer that should fire every 5 ms: the longest gap is the longest stall.
    QElapsedTimer sinceTick;
    QElapsedTimer clock;
    qint64 longestGap = 0;
    qint64 longestAt = 0;
    QTimer ticker;
    QObject::connect(&ticker, &QTimer::timeout, [&] {
        const qint64 gap = sinceTick.restart();
        if (gap > longestGap) {
            longestGap = gap;
            longestAt = clock.elapsed();
        }
    });
    ticker.start(5);
    sinceTick.start();
    clock.start();
    const bool written = ExportPdf(nullptr, source, QString::fromLocal8Bit(argv[2]));
    const qint64 ms = clock.elapsed();
    std::printf("%s: %lld ms, peak %ld MB (%ld MB after loading), longest stall %lld ms "
                "(ending %lld ms in)%s\n",
                argv[1], static_cast<long long>(ms), PeakKb() / 1024, loadedKb / 1024,
                static_cast<long long>(longestGap), static_cast<long long>(longestAt),
                written ? "" : " (cancelled)");
    return written ? 0 : 1;
}
