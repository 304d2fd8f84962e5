// Loading the engine's document for real Pascal into the view: the reader
// alone, the QTextDocument build alone, both (what the worker does), and the
// view's adopt with the event-loop stalls that follow it.
//
// Pascal comes from the Free Pascal sources (scripts/setup.sh --bench), else
// from the sample file repeated.

#include "engine/PascalParser.h"
#include "viewer/RichEdit.h"
#include "viewer/RtfQtDocument.h"
#include "viewer/text/RtfReader.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTextDocument>
#include <algorithm>
#include <benchmark/benchmark.h>
#include <filesystem>
#include <fstream>
#include <iostream>
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

void BM_ReadRtf(benchmark::State& state) {
    const std::string& rtf = EngineDocument(state.range(0) * kMB);
    for (auto _ : state) {
        TRtfDocument doc = ReadRtf(rtf);
        benchmark::DoNotOptimize(doc.Text.data());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * rtf.size()));
}

void BM_BuildQtDocument(benchmark::State& state) {
    const TRtfDocument model = ReadRtf(EngineDocument(state.range(0) * kMB));
    state.counters["runs"] = static_cast<double>(model.Runs.size());
    for (auto _ : state) {
        auto doc = BuildQtDocument(model);
        benchmark::DoNotOptimize(doc.get());
    }
}

// What the worker thread does: bytes to a finished QTextDocument.
void BM_BuildDocument(benchmark::State& state) {
    const std::string& rtf = EngineDocument(state.range(0) * kMB);
    for (auto _ : state) {
        auto doc = TRichEdit::BuildDocument(rtf);
        benchmark::DoNotOptimize(doc.get());
    }
}

// The GUI thread's share: adopt a built document into a shown view, then the
// longest single pass of the event loop while the view lays it out.
void BM_AdoptAndStalls(benchmark::State& state) {
    const std::string& rtf = EngineDocument(state.range(0) * kMB);
    TRichEdit view;
    view.resize(800, 600);
    view.show();
    QApplication::processEvents();
    double worstStall = 0;
    double slowestAdopt = 0; // from the second pass on, a shown document is replaced
    for (auto _ : state) {
        state.PauseTiming();
        auto doc = TRichEdit::BuildDocument(rtf);
        state.ResumeTiming();
        QElapsedTimer adopt;
        adopt.start();
        view.AdoptDocument(std::move(doc));
        slowestAdopt = std::max(slowestAdopt, adopt.nsecsElapsed() / 1e6);
        state.PauseTiming();
        QElapsedTimer total;
        total.start();
        while (total.elapsed() < 2000) {
            QElapsedTimer pass;
            pass.start();
            QApplication::processEvents();
            worstStall = std::max(worstStall, pass.nsecsElapsed() / 1e6);
        }
        state.ResumeTiming();
    }
    state.counters["worst_stall_ms"] = worstStall;
    state.counters["slowest_adopt_ms"] = slowestAdopt;
}

void BM_LoadFromBytes(benchmark::State& state) {
    const std::string& rtf = EngineDocument(state.range(0) * kMB);
    TRichEdit view;
    view.resize(800, 600);
    view.show();
    QApplication::processEvents();
    for (auto _ : state) {
        view.LoadFromBytes(rtf);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * rtf.size()));
}

// A search that finds nothing reads the whole text (the first one also takes
// the text out of the document).
void BM_FindText(benchmark::State& state) {
    TRichEdit view;
    view.LoadFromBytes(EngineDocument(state.range(0) * kMB));
    const bool matchCase = state.range(1) != 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(
            view.FindText("NoSuchIdentifierAnywhere", 1, view.TextLength(), matchCase, true));
    }
}

// Copy of the whole document: what the Copy command makes of a select-all.
void BM_CopyAll(benchmark::State& state) {
    TRichEdit view;
    view.LoadFromBytes(EngineDocument(state.range(0) * kMB));
    view.selectAll();
    for (auto _ : state) {
        view.CopyToClipboard();
    }
}

} // namespace

BENCHMARK(BM_CopyAll)->Arg(1)->Arg(16)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_FindText)->Args({16, 0})->Args({16, 1})->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadRtf)->Arg(1)->Arg(16)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BuildQtDocument)->Arg(1)->Arg(16)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BuildDocument)->Arg(1)->Arg(16)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_AdoptAndStalls)->Arg(1)->Arg(16)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_LoadFromBytes)->Arg(1)->Arg(16)->Unit(benchmark::kMillisecond);

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
    return 0;
}
