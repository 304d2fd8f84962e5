// The main window's toolbar, offscreen: how long a repaint of the whole
// toolbar takes (median), what a hover change repaints, and what the glyph
// cache holds for its six buttons.

#include "bench/widgets/WidgetBench.h"
#include "widgets/TB97/ButtonGlyph.h"
#include "widgets/TB97/Dock97.h"
#include "widgets/TB97/Toolbar97.h"

#include <QApplication>
#include <QCursor>
#include <QElapsedTimer>
#include <QMouseEvent>
#include <QTest>
#include <algorithm>
#include <benchmark/benchmark.h>
#include <cstdlib>
#include <map>
#include <memory>
#include <vector>

namespace {

// Counts the paint events each watched widget receives.
class TPaintCounter : public QObject {
public:
    std::map<QObject*, int> Paints;
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint) {
            ++Paints[watched];
        }
        return false;
    }
};

// A form with the main window's top dock and toolbar.
struct TMainToolbar {
    QWidget Form;
    TDock97* Dock;
    TToolbar97* Bar;
    std::vector<TToolbarButton97*> Buttons;

    TMainToolbar() {
        Form.resize(611, 100);
        Dock = new TDock97(&Form);
        Bar = new TToolbar97(&Form);
        Buttons = AddMainToolbarItems(*Bar);
        Buttons[3]->setEnabled(false); // Find next, as at start
        Bar->Loaded();
        Bar->SetDockedTo(Dock);
        Form.show();
        QApplication::processEvents();
    }
};

// Repaints the toolbar with all its buttons, separators and handle.
void BM_RepaintWholeToolbar(benchmark::State& state) {
    TMainToolbar main;
    TimeRepaints(state, *main.Bar);
}
BENCHMARK(BM_RepaintWholeToolbar)->Iterations(2000);

// Moves the pointer through the window system, so enter and leave are sent
// as they are for a real pointer.
void MoveTo(QWidget* widget, QPoint at) {
    QTest::mouseMove(widget->window()->windowHandle(), widget->mapTo(widget->window(), at));
}

// The pointer goes from a button onto the blank separator beside it and back:
// each change repaints that one button and nothing else.
void BM_HoverChange(benchmark::State& state) {
    TMainToolbar main;
    main.Form.activateWindow();
    if (!QTest::qWaitForWindowActive(&main.Form)) {
        state.SkipWithError("the window did not become active");
        return;
    }
    TPaintCounter counter;
    main.Bar->installEventFilter(&counter);
    main.Dock->installEventFilter(&counter);
    for (QWidget* item : main.Bar->Items()) {
        item->installEventFilter(&counter);
    }
    int changes = 0;
    for (auto _ : state) {
        if (changes % 2 == 0) {
            MoveTo(main.Buttons[0], QPoint(11, 11));
        } else {
            MoveTo(main.Bar->Items()[1], QPoint(3, 11));
        }
        QApplication::processEvents();
        ++changes;
    }
    int widgets = 0;
    int paints = 0;
    for (const auto& [widget, count] : counter.Paints) {
        ++widgets;
        paints += count;
    }
    state.counters["widgets_painted"] = widgets;
    state.counters["toolbar_paints"] = counter.Paints[main.Bar];
    state.counters["paints_per_change"] = changes > 0 ? static_cast<double>(paints) / changes : 0;
}
BENCHMARK(BM_HoverChange)->Iterations(500);

// The state images the glyph cache holds for the toolbar's four glyph sizes.
int CachedImages() {
    int images = 0;
    for (const QSize size : {QSize(19, 19), QSize(17, 17), QSize(18, 18), QSize(21, 21)}) {
        const TGlyphList* list = TGlyphCache::Instance()->Find(size);
        images += list != nullptr ? list->Count() : 0;
    }
    return images;
}

// Six buttons of four glyph sizes; every state image made once.
void BM_GlyphCache(benchmark::State& state) {
    for (auto _ : state) {
        auto main = std::make_unique<TMainToolbar>();
        const int lists = TGlyphCache::Instance()->ListCount();
        const int images = CachedImages();
        // Find next switched on and off again and again: its disabled image
        // and its up image are each made once.
        main->Buttons[3]->setEnabled(true);
        main->Bar->repaint();
        const int before = CachedImages();
        for (int i = 0; i < 10; ++i) {
            main->Buttons[3]->setEnabled(i % 2 == 1);
            main->Bar->repaint();
        }
        const int after = CachedImages();
        state.counters["lists"] = lists;
        state.counters["state_images"] = images;
        state.counters["images_made_by_10_toggles"] = after - before;
    }
}
BENCHMARK(BM_GlyphCache)->Iterations(1);

} // namespace
