// An open command while the start-up file still converts: starts the main
// window on a large file, opens a small one after DELAY ms, and logs how long
// after the open returned the view painted again, and how long the abandoned
// start-up conversion kept its worker.
//   lumivane_open_probe BIG_FILE SMALL_FILE [DELAY_MS]

#include "bench/app/PaintWatch.h"
#include "bench/app/ProbeWindow.h"
#include "viewer/Application.h"
#include "viewer/Main.h"
#include "viewer/RichEdit.h"

#include <QElapsedTimer>
#include <QEvent>
#include <QTimer>
#include <cstdio>
#include <cstdlib>
#include <functional>

int main(int argc, char** argv) {
    TApplication application(argc, argv);
    if (argc < 3) {
        std::fprintf(stderr, "usage: lumivane_open_probe BIG_FILE SMALL_FILE [DELAY_MS]\n");
        return 2;
    }
    const QString small = QString::fromLocal8Bit(argv[2]);
    const int delay = argc > 3 ? std::atoi(argv[3]) : 400;
    TfrmMain window({argv[1]});
    AnswerOpenWith(window, small);

    QElapsedTimer sinceOpen;
    qint64 paintedAt = -1;
    qint64 idleAt = -1;
    bool runningAtOpen = false;
    TPaintWatch watch;
    watch.onPaint = [&] {
        if (sinceOpen.isValid() && paintedAt < 0) {
            paintedAt = sinceOpen.nsecsElapsed() / 1000;
        }
    };
    window.SourceView1->viewport()->installEventFilter(&watch);

    QTimer::singleShot(delay, [&] {
        runningAtOpen = window.ThreadComp1->State() == TRunnerState::rsRunning;
        window.tbOpenClick();
        sinceOpen.start();
        window.SourceView1->viewport()->update(); // what a user's scroll or expose asks for
    });
    QTimer ticker;
    ticker.setInterval(1);
    QObject::connect(&ticker, &QTimer::timeout, [&] {
        if (!sinceOpen.isValid()) {
            return;
        }
        if (idleAt < 0 && window.ThreadComp1->State() == TRunnerState::rsIdle) {
            idleAt = sinceOpen.nsecsElapsed() / 1000;
        }
        if ((paintedAt >= 0 && idleAt >= 0) || sinceOpen.elapsed() > 30000) {
            window.close();
        }
    });
    ticker.start();
    window.show();
    const int status = application.exec();
    std::printf("open after %d ms, runner %s at the open: view painted %.1f ms after the open "
                "returned, runner idle after %.1f ms\n",
                delay, runningAtOpen ? "running" : "NOT running", paintedAt / 1000.0,
                idleAt / 1000.0);
    return status;
}
