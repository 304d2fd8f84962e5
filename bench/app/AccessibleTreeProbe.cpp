// What the accessibility interfaces cost. First: the main window's accessible
// tree as a screen reader's first query builds it (every interface made, and
// each one's role, name, description, state, place and actions read), then
// the same walk again. Second: painting the window with no screen reader
// listening (QAccessible::isActive() false), with the program's factory
// installed and without it: the two medians should not differ.
//   lumivane_a11y_probe FILE [REPAINTS]

#include "bench/app/ProbeWindow.h"
#include "viewer/Accessibility.h"
#include "viewer/Application.h"
#include "viewer/Main.h"
#include "viewer/RichEdit.h"
#include "viewer/qdStatusBar.h"

#include <QAccessible>
#include <QElapsedTimer>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

// Reads what an AT-SPI client reads of IFACE and everything below it; returns the count.
int Walk(QAccessibleInterface* iface) {
    if (iface == nullptr) {
        return 0;
    }
    volatile int sink = 0;
    sink = sink + static_cast<int>(iface->role()) + iface->text(QAccessible::Name).size() +
           iface->text(QAccessible::Description).size() + iface->rect().width() +
           static_cast<int>(iface->state().focused);
    if (QAccessibleActionInterface* actions = iface->actionInterface()) {
        sink = sink + static_cast<int>(actions->actionNames().size());
    }
    int count = 1;
    for (int i = 0; i < iface->childCount(); ++i) {
        count += Walk(iface->child(i));
    }
    return count;
}

double Milliseconds(const QElapsedTimer& timer) {
    return static_cast<double>(timer.nsecsElapsed()) / 1e6;
}

double MedianRepaint(TfrmMain& window, int repaints) {
    std::vector<double> times;
    QElapsedTimer timer;
    for (int i = 0; i < repaints; ++i) {
        timer.start();
        window.repaint();
        window.StatusBar->SetPanelText(0, i % 2 ? "a" : "b"); // its announcing hook too
        QApplication::processEvents();
        times.push_back(Milliseconds(timer));
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

} // namespace

int main(int argc, char** argv) {
    TApplication application(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: lumivane_a11y_probe FILE [REPAINTS]\n");
        return 2;
    }
    const int repaints = argc > 2 ? std::max(5, std::atoi(argv[2])) : 200;
    TfrmMain window({argv[1]});
    window.show();
    if (!WaitForDocument(window, 120000)) {
        return 1;
    }
    QApplication::processEvents();
    std::printf("screen reader listening: %s\n", QAccessible::isActive() ? "yes" : "no");

    // Without a screen reader, with and without the factory, in turns.
    double with = 0;
    double without = 0;
    for (int round = 0; round < 3; ++round) {
        QAccessible::removeFactory(LumivaneAccessibleFactory);
        without += MedianRepaint(window, repaints) / 3;
        QAccessible::installFactory(LumivaneAccessibleFactory);
        with += MedianRepaint(window, repaints) / 3;
    }
    std::printf("repaint median, no screen reader: %.3f ms with the factory, %.3f ms without\n",
                with, without);

    QElapsedTimer timer;
    timer.start();
    const int count = Walk(QAccessible::queryAccessibleInterface(&window));
    const double first = Milliseconds(timer);
    timer.start();
    Walk(QAccessible::queryAccessibleInterface(&window));
    const double again = Milliseconds(timer);
    std::printf(
        "accessible tree of the main window: %d nodes, first query %.2f ms, again %.2f ms\n", count,
        first, again);
    return 0;
}
