// An interactive resize of the main window with a document shown: the window
// grows and shrinks step by step, and each step is laid out and painted at
// once (caption, frame, docks, view, status bar), as one frame of a drag.
// Prints the median and the slowest frame.
//   lumivane_resize_probe FILE [STEPS]

#include "bench/app/ProbeWindow.h"
#include "viewer/Application.h"
#include "viewer/Main.h"
#include "viewer/RichEdit.h"

#include <QElapsedTimer>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

int main(int argc, char** argv) {
    TApplication application(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: lumivane_resize_probe FILE [STEPS]\n");
        return 2;
    }
    const int steps = argc > 2 ? std::max(2, std::atoi(argv[2])) : 200;
    TfrmMain window({argv[1]});
    window.show();
    if (!WaitForDocument(window, 60000)) {
        return 1;
    }
    QApplication::processEvents();

    std::vector<double> frames;
    QElapsedTimer timer;
    const int startWidth = window.width();
    const int startHeight = window.height();
    for (int i = 0; i < steps; ++i) {
        // Out by 4 pixels a step for half the run, then back.
        const int offset = 4 * (i < steps / 2 ? i : steps - i);
        timer.start();
        window.resize(startWidth + offset, startHeight + offset / 2);
        window.repaint(); // layout and paint of every child, now
        QApplication::processEvents();
        frames.push_back(static_cast<double>(timer.nsecsElapsed()) / 1e6);
    }
    std::sort(frames.begin(), frames.end());
    std::printf("resize frames: %d, median %.2f ms, 90th percentile %.2f ms, slowest %.2f ms\n",
                steps, frames[frames.size() / 2], frames[frames.size() * 9 / 10], frames.back());
    return 0;
}
