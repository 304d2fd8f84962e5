#pragma once
// What the toolbar benchmarks share: the main window's toolbar items, the
// median of timed samples, and timed repaints.

#include "viewer/glyphs/Glyphs.h"
#include "widgets/TB97/Toolbar97.h"
#include "widgets/TB97/ToolbarButton97.h"
#include "widgets/TB97/ToolbarSep97.h"

#include <QElapsedTimer>
#include <algorithm>
#include <benchmark/benchmark.h>
#include <vector>

// Puts the main window's items on BAR: six buttons with their glyphs, each
// followed by a separator (blank or etched, as in the main window), then a
// 22-pixel stand-in for the about button. Returns the six buttons.
inline std::vector<TToolbarButton97*> AddMainToolbarItems(TToolbar97& bar) {
    const char* glyphs[] = {"tbOpen", "tbSave", "tbFind", "tbFindNext", "tbCopy", "tbSetup"};
    const bool blank[] = {true, false, true, true, false, false};
    std::vector<TToolbarButton97*> buttons;
    int x = 11;
    for (int i = 0; i < 6; ++i) {
        auto* button = new TToolbarButton97(&bar);
        button->setGeometry(x, 2, 22, 22);
        button->SetGlyph(ToolbarGlyph(glyphs[i]));
        buttons.push_back(button);
        auto* sep = new TToolbarSep97(&bar);
        sep->setGeometry(x + 22, 2, 6, 22);
        sep->SetBlank(blank[i]);
        x += 28;
    }
    auto* about = new QWidget(&bar);
    about->setGeometry(x, 2, 22, 22);
    return buttons;
}

inline double MillisecondsSince(const QElapsedTimer& timer) {
    return static_cast<double>(timer.nsecsElapsed()) / 1e6;
}

inline double Median(std::vector<double> samples) {
    std::sort(samples.begin(), samples.end());
    return samples.empty() ? 0.0 : samples[samples.size() / 2];
}

// Repaints WIDGET once per iteration of STATE; the median in "median_ms".
inline void TimeRepaints(benchmark::State& state, QWidget& widget) {
    std::vector<double> samples;
    QElapsedTimer timer;
    for (auto _ : state) {
        timer.start();
        widget.repaint();
        samples.push_back(MillisecondsSince(timer));
    }
    state.counters["median_ms"] = Median(samples);
}
