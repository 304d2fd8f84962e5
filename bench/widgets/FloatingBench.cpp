// The floating main toolbar, offscreen: how long the list of sizes it snaps
// between takes to collect (median; the target is 5 ms), and one repaint of
// the floating window with its frame, caption and close button.

#include "widgets/TB97/FloatingResize.h"
#include "widgets/TB97/Toolbar97.h"
#include "widgets/TB97/ToolbarButton97.h"
#include "widgets/TB97/ToolbarSep97.h"

#include <QApplication>
#include <QElapsedTimer>
#include <algorithm>
#include <benchmark/benchmark.h>
#include <cstdlib>
#include <vector>

namespace {

// A form with a floating toolbar like the main window's: seven 22-pixel
// buttons, a 6-pixel separator after each but the last.
struct TFloatingMainToolbar {
    QWidget Form;
    TToolbar97* Bar;

    TFloatingMainToolbar() {
        Form.resize(611, 400);
        Bar = new TToolbar97(&Form);
        Bar->SetCaption("Lumivane98");
        int x = 4;
        for (int i = 0; i < 7; ++i) {
            (new TToolbarButton97(Bar))->setGeometry(x, 2, 22, 22);
            x += 22;
            if (i < 6) {
                (new TToolbarSep97(Bar))->setGeometry(x, 2, 6, 22);
                x += 6;
            }
        }
        Bar->Loaded();
        Bar->SetFloatingRect(QRect(100, 100, 206, 48));
        Form.show();
        QApplication::processEvents();
    }
};

double Median(std::vector<double> samples) {
    std::sort(samples.begin(), samples.end());
    return samples.empty() ? 0.0 : samples[samples.size() / 2];
}

void BM_CandidateSizes(benchmark::State& state) {
    TFloatingMainToolbar main;
    std::vector<double> samples;
    QElapsedTimer timer;
    size_t count = 0;
    for (auto _ : state) {
        timer.start();
        const std::vector<QSize> sizes = tb97::FloatingCandidateSizes(*main.Bar);
        samples.push_back(static_cast<double>(timer.nsecsElapsed()) / 1e6);
        count = sizes.size();
        benchmark::DoNotOptimize(sizes.data());
    }
    state.counters["median_ms"] = Median(samples);
    state.counters["max_ms"] = *std::max_element(samples.begin(), samples.end());
    state.counters["candidates"] = static_cast<double>(count);
}
BENCHMARK(BM_CandidateSizes)->Iterations(1000);

void BM_RepaintFloating(benchmark::State& state) {
    TFloatingMainToolbar main;
    std::vector<double> samples;
    QElapsedTimer timer;
    for (auto _ : state) {
        timer.start();
        main.Bar->repaint();
        samples.push_back(static_cast<double>(timer.nsecsElapsed()) / 1e6);
    }
    state.counters["median_ms"] = Median(samples);
}
BENCHMARK(BM_RepaintFloating)->Iterations(1000);

} // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
