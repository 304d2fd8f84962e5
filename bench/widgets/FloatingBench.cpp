// The floating main toolbar, offscreen: how long the list of sizes it snaps
// between takes to collect (median; the target is 5 ms), and one repaint of
// the floating window with its frame, caption and close button.

#include "bench/widgets/WidgetBench.h"
#include "widgets/TB97/FloatingResize.h"
#include "widgets/TB97/Toolbar97.h"

#include <QApplication>
#include <QElapsedTimer>
#include <algorithm>
#include <benchmark/benchmark.h>
#include <cstdlib>
#include <vector>

namespace {

// A form with the main window's toolbar, floating.
struct TFloatingMainToolbar {
    QWidget Form;
    TToolbar97* Bar;

    TFloatingMainToolbar() {
        Form.resize(611, 400);
        Bar = new TToolbar97(&Form);
        Bar->SetCaption("Lumivane98");
        AddMainToolbarItems(*Bar);
        Bar->Loaded();
        Bar->SetFloatingRect(QRect(100, 100, 206, 48));
        Form.show();
        QApplication::processEvents();
    }
};

void BM_CandidateSizes(benchmark::State& state) {
    TFloatingMainToolbar main;
    std::vector<double> samples;
    QElapsedTimer timer;
    size_t count = 0;
    for (auto _ : state) {
        timer.start();
        const std::vector<QSize> sizes = tb97::FloatingCandidateSizes(*main.Bar);
        samples.push_back(MillisecondsSince(timer));
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
    TimeRepaints(state, *main.Bar);
}
BENCHMARK(BM_RepaintFloating)->Iterations(1000);

} // namespace
