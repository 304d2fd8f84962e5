// The view with real Pascal: loading the engine's document (reader and line
// index, all the view needs to paint), painting a frame at the top, middle
// and end of a large document, Ctrl+End and a thumb drag frame by frame, and
// Find through the whole text.
//
// Pascal comes from the Free Pascal sources (scripts/setup.sh --bench), else
// from the sample file repeated.

#include "engine/PascalParser.h"
#include "viewer/RichEdit.h"
#include "viewer/text/RtfReader.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QKeyEvent>
#include <QMimeData>
#include <QPainter>
#include <QScrollBar>
#include <algorithm>
#include <benchmark/benchmark.h>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <vector>

namespace {

std::string ReadBytes(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

// About SIZE bytes of Pascal.
std::string PascalSource(std::size_t size) {
    std::vector<std::filesystem::path> files;
    const std::filesystem::path root = "/usr/share/fpcsrc";
    if (std::filesystem::is_directory(root)) {
        for (const auto& entry : std::filesystem::recursive_directory_iterator(root)) {
            const auto ext = entry.path().extension();
            if (entry.is_regular_file() && (ext == ".pas" || ext == ".pp" || ext == ".inc")) {
                files.push_back(entry.path());
            }
        }
        std::sort(files.begin(), files.end());
    }
    if (files.empty()) {
        files.push_back(LUMIVANE_SAMPLE_FILE);
    }
    std::string source;
    for (std::size_t i = 0; source.size() < size; i = (i + 1) % files.size()) {
        source += ReadBytes(files[i]);
    }
    source.resize(size);
    return source;
}

// The engine's document for SIZE bytes of Pascal, made once per size.
const std::string& EngineDocument(std::size_t size) {
    static std::map<std::size_t, std::string> documents;
    auto& doc = documents[size];
    if (doc.empty()) {
        const auto file = std::filesystem::temp_directory_path() /
                          ("lumivane-bench-" + std::to_string(size) + ".pas");
        std::ofstream(file, std::ios::binary) << PascalSource(size);
        TMemoryStream stream;
        ConvertFile(file.string(), stream);
        std::filesystem::remove(file);
        doc.assign(stream.View());
    }
    return doc;
}

constexpr std::size_t kMB = 1 << 20;

// The views made so far, by size; they must go before the application does.
std::map<std::size_t, std::unique_ptr<TRichEdit>>& Views() {
    static std::map<std::size_t, std::unique_ptr<TRichEdit>> views;
    return views;
}

// A shown view holding the engine's document of SIZE megabytes, made once.
TRichEdit& ViewOf(std::size_t megabytes) {
    auto& view = Views()[megabytes];
    if (!view) {
        view = std::make_unique<TRichEdit>();
        view->resize(800, 600);
        view->show();
        view->LoadFromBytes(EngineDocument(megabytes * kMB));
        QApplication::processEvents();
    }
    return *view;
}

// One frame of the view as the window system asks for it.
void PaintFrame(TRichEdit& view, QImage& target) {
    QPainter painter(&target);
    view.viewport()->render(&painter);
}

void BM_ReadRtf(benchmark::State& state) {
    const std::string& rtf = EngineDocument(state.range(0) * kMB);
    for (auto _ : state) {
        TRtfDocument doc = ReadRtf(rtf);
        benchmark::DoNotOptimize(doc.Text.size());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * rtf.size()));
}

// Everything the view needs before it can paint: the reader's model and the
// line index, as the worker builds them.
void BM_LoadDocument(benchmark::State& state) {
    const std::string& rtf = EngineDocument(state.range(0) * kMB);
    TRichEdit view;
    for (auto _ : state) {
        auto doc = view.BuildDocument(rtf);
        benchmark::DoNotOptimize(doc.get());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * rtf.size()));
}

// The GUI thread's share of a load: adopting a built document.
void BM_Adopt(benchmark::State& state) {
    TRichEdit& view = ViewOf(state.range(0));
    for (auto _ : state) {
        state.PauseTiming();
        auto doc = view.BuildDocument(EngineDocument(state.range(0) * kMB));
        state.ResumeTiming();
        view.AdoptDocument(std::move(doc));
    }
}

// Frame time at a place in the document: 0 top, 1 middle, 2 end.
void BM_PaintFrame(benchmark::State& state) {
    TRichEdit& view = ViewOf(state.range(0));
    QScrollBar* bar = view.verticalScrollBar();
    const int where[] = {0, bar->maximum() / 2, bar->maximum()};
    bar->setValue(where[state.range(1)]);
    QImage target(view.viewport()->size(), QImage::Format_RGB32);
    for (auto _ : state) {
        PaintFrame(view, target);
    }
}

// Ctrl+End from the top, with the frame that shows it.
void BM_CtrlEnd(benchmark::State& state) {
    TRichEdit& view = ViewOf(state.range(0));
    QImage target(view.viewport()->size(), QImage::Format_RGB32);
    for (auto _ : state) {
        state.PauseTiming();
        view.SetSelStart(0);
        state.ResumeTiming();
        QKeyEvent key(QEvent::KeyPress, Qt::Key_End, Qt::ControlModifier);
        QApplication::sendEvent(&view, &key);
        PaintFrame(view, target);
    }
}

// Dragging the thumb from top to bottom in 200 steps: each step scrolls and
// paints a frame; the slowest frame is reported.
void BM_ThumbDrag(benchmark::State& state) {
    TRichEdit& view = ViewOf(state.range(0));
    QScrollBar* bar = view.verticalScrollBar();
    QImage target(view.viewport()->size(), QImage::Format_RGB32);
    double slowest = 0;
    for (auto _ : state) {
        for (int step = 0; step <= 200; ++step) {
            QElapsedTimer frame;
            frame.start();
            bar->setValue(static_cast<int>(static_cast<qint64>(bar->maximum()) * step / 200));
            PaintFrame(view, target);
            slowest = std::max(slowest, frame.nsecsElapsed() / 1e6);
        }
    }
    state.counters["slowest_frame_ms"] = slowest;
}

// A search that finds nothing reads the whole text.
void BM_FindText(benchmark::State& state) {
    TRichEdit& view = ViewOf(state.range(0));
    const bool matchCase = state.range(1) != 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(
            view.FindText("NoSuchIdentifierAnywhere", 1, view.TextLength(), matchCase, true));
    }
}

// Copy of the whole document and the paste of its RTF.
void BM_CopyAllAndPasteRtf(benchmark::State& state) {
    TRichEdit& view = ViewOf(state.range(0));
    view.SelectAll();
    for (auto _ : state) {
        std::unique_ptr<QMimeData> copy(view.CreateSelectionMimeData());
        benchmark::DoNotOptimize(copy->data("text/rtf").size());
    }
}

} // namespace

BENCHMARK(BM_ReadRtf)->Arg(1)->Arg(16)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadDocument)->Arg(1)->Arg(16)->Arg(50)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Adopt)->Arg(50)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_PaintFrame)
    ->Args({50, 0})
    ->Args({50, 1})
    ->Args({50, 2})
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CtrlEnd)->Arg(50)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ThumbDrag)->Arg(50)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_FindText)->Args({50, 0})->Args({50, 1})->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CopyAllAndPasteRtf)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(3);

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    // The engine reads its colours from the settings store: use the defaults.
    const auto store = std::filesystem::temp_directory_path() / "lumivane-bench-no-store.reg";
    qputenv("LUMIVANE_REGISTRY", QByteArray::fromStdString(store.string()));
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    Views().clear();
    return 0;
}
