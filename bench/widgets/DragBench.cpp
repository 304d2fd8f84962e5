// Dragging the main window's toolbar, offscreen: how long one outline update
// takes while the pointer moves (the hit tests against the form's four docks
// and the redraw of what the outline newly covers), and how long the list of
// the toolbar's sizes for floating and for each dock takes to make. Medians.

#include "bench/widgets/WidgetBench.h"
#include "widgets/TB97/Dock97.h"
#include "widgets/TB97/Toolbar97.h"
#include "widgets/TB97/ToolbarDrag.h"
#include "widgets/TB97/ToolbarOutline.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QGridLayout>
#include <QWindow>
#include <algorithm>
#include <benchmark/benchmark.h>
#include <cstdlib>
#include <vector>

namespace {

// The main window's docks around a client area, and its toolbar of six
// buttons, six separators and the about button, docked at the top.
struct TMainForm {
    QWidget Form;
    TDock97* Top;
    TDock97* Left;
    TDock97* Right;
    TDock97* Bottom;
    QWidget* Client;
    TToolbar97* Bar;

    TMainForm() {
        Form.setGeometry(100, 80, 611, 400);
        auto* grid = new QGridLayout(&Form);
        grid->setContentsMargins(0, 0, 0, 0);
        grid->setSpacing(0);
        Top = new TDock97(&Form, dpTop);
        Left = new TDock97(&Form, dpLeft);
        Right = new TDock97(&Form, dpRight);
        Bottom = new TDock97(&Form, dpBottom);
        Client = new QWidget(&Form);
        grid->addWidget(Top, 0, 0, 1, 3);
        grid->addWidget(Left, 1, 0);
        grid->addWidget(Client, 1, 1);
        grid->addWidget(Right, 1, 2);
        grid->addWidget(Bottom, 2, 0, 1, 3);
        grid->setRowStretch(1, 1);
        grid->setColumnStretch(1, 1);
        Bar = new TToolbar97(&Form);
        Bar->SetCaption("Lumivane98");
        AddMainToolbarItems(*Bar);
        Bar->Loaded();
        Bar->SetDefaultDock(Top);
        Bar->SetDockPos(0);
        Bar->SetDockedTo(Top);
        Form.show();
        QApplication::processEvents();
    }
};

// The pointer goes from the handle down over the client area, across the left
// dock and back, three pixels a step: the outline floats, docks at the top and
// on the left, and changes between them on the way.
std::vector<QPoint> PointerPath(const TMainForm& main) {
    const QPoint handle = main.Bar->mapToGlobal(QPoint(5, 13));
    const QPoint left = main.Left->mapToGlobal(QPoint(0, 120));
    const QPoint middle = main.Client->mapToGlobal(main.Client->rect().center());
    std::vector<QPoint> path;
    auto walk = [&path](QPoint from, QPoint to) {
        const int steps = std::max(std::abs(to.x() - from.x()), std::abs(to.y() - from.y())) / 3;
        for (int i = 0; i < steps; ++i) {
            path.push_back(from + (to - from) * i / steps);
        }
    };
    walk(handle, middle);
    walk(middle, left);
    walk(left, handle);
    return path;
}

void BM_OutlineUpdate(benchmark::State& state) {
    TMainForm main;
    tb97::TToolbarDrag drag(*main.Bar, main.Bar->mapToGlobal(QPoint(5, 13)), QPoint(5, 13), false);
    const std::vector<QPoint> path = PointerPath(main);
    // On a real display the outline's window is drawn only once it is shown.
    drag.MoveTo(path[0]);
    QElapsedTimer wait;
    wait.start();
    while (drag.Outline()->windowHandle() != nullptr &&
           !drag.Outline()->windowHandle()->isExposed() && wait.elapsed() < 2000) {
        QApplication::processEvents(QEventLoop::AllEvents, 50);
    }
    std::vector<double> samples;
    int docked = 0;
    size_t step = 0;
    QElapsedTimer timer;
    for (auto _ : state) {
        timer.start();
        drag.MoveTo(path[step]);
        samples.push_back(MillisecondsSince(timer));
        docked += drag.Target().Dock >= 0 ? 1 : 0;
        step = (step + 1) % path.size();
    }
    state.counters["median_ms"] = Median(samples);
    state.counters["docked_share"] =
        samples.empty() ? 0.0 : static_cast<double>(docked) / static_cast<double>(samples.size());
}
BENCHMARK(BM_OutlineUpdate)->Iterations(3000);

// The toolbar's size floating and in each of the four docks.
void BM_CandidateSizes(benchmark::State& state) {
    TMainForm main;
    std::vector<double> samples;
    QElapsedTimer timer;
    for (auto _ : state) {
        timer.start();
        const std::vector<TDock97*> docks = tb97::FormDocks(*main.Bar);
        const std::vector<tb97::TDockCandidate> candidates = tb97::DockCandidates(*main.Bar, docks);
        const QSize floating = tb97::FloatingSize(*main.Bar);
        samples.push_back(MillisecondsSince(timer));
        benchmark::DoNotOptimize(candidates.data());
        benchmark::DoNotOptimize(floating);
    }
    state.counters["median_ms"] = Median(samples);
}
BENCHMARK(BM_CandidateSizes)->Iterations(2000);

} // namespace
