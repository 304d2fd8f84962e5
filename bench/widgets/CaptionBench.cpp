// One paint of the gradient caption bar, composed off-screen and copied to
// the window, at full-HD width: 64 bands, the icon, three buttons and the
// two visible text parts of the main window. Also the whole frame (caption
// and borders) as the window paints it, through the frame's paint path.
//
// Run with --benchmark_repetitions=10 --benchmark_report_aggregates_only
// for the median.

#include "platform/qt/NonClientFrame.h"
#include "widgets/Wordcap.h"

#include <QApplication>
#include <QFont>
#include <QPainter>
#include <QPixmap>
#include <QWidget>
#include <benchmark/benchmark.h>
#include <cstdlib>
#include <memory>

namespace {

struct TMainLikeForm {
    QWidget Form;
    TNonClientFrame* Frame;
    ZEZUzavivAzuroze* Caption;

    explicit TMainLikeForm(int width) {
        Frame = new TNonClientFrame(&Form);
        Form.resize(width, 200);
        Form.show();
        Caption = new ZEZUzavivAzuroze(&Form);
        Caption->CompanyText()->SetCaption("qd's -");
        Caption->CompanyText()->SetFontKind(fkSystemBI);
        Caption->AppNameText()->SetCaption("Program -");
        Caption->AppNameText()->SetVisible(false);
        Caption->CaptionText()->SetCaption("Lumivane 98");
        QApplication::processEvents();
    }
};

void BM_PaintCaption(benchmark::State& state) {
    const int width = static_cast<int>(state.range(0));
    TMainLikeForm form(width);
    QPixmap window(width, 40);
    QPainter dc(&window);
    for (auto _ : state) {
        const TRect painted = form.Caption->PaintCaption(true, &dc);
        benchmark::DoNotOptimize(painted);
    }
    dc.end();
}

void BM_RepaintFrame(benchmark::State& state) {
    const int width = static_cast<int>(state.range(0));
    TMainLikeForm form(width);
    for (auto _ : state) {
        form.Frame->RedrawFrame(true);
    }
}

} // namespace

BENCHMARK(BM_PaintCaption)->Arg(611)->Arg(1920)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_RepaintFrame)->Arg(1920)->Unit(benchmark::kMicrosecond);

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    QApplication::setStyle("Windows");
    QFont::insertSubstitution("MS Sans Serif", "Liberation Sans");
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
