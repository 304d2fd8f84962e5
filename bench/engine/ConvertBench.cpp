// Conversion throughput in MB/s of source. Run: build/bin/engine_bench

#include "engine/PascalParser.h"

#include <algorithm>
#include <benchmark/benchmark.h>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

const fs::path kCompilerSources = "/usr/share/fpcsrc/3.2.2/compiler";
constexpr std::size_t kSyntheticSize = 16 << 20;

// Every .pas file below the compiler folder, in name order, as one text.
std::string ConcatenatedCompilerSources() {
    std::vector<fs::path> files;
    for (const auto& entry : fs::recursive_directory_iterator(kCompilerSources)) {
        if (entry.is_regular_file() && entry.path().extension() == ".pas") {
            files.push_back(entry.path());
        }
    }
    std::sort(files.begin(), files.end());
    std::ostringstream text;
    for (const fs::path& file : files) {
        text << std::ifstream(file, std::ios::binary).rdbuf();
    }
    return text.str();
}

std::string Repeat(std::string_view unit, std::size_t size) {
    std::string text;
    text.reserve(size + unit.size());
    while (text.size() < size) {
        text += unit;
    }
    return text;
}

// Every byte its own token: numbers, character codes, hex, brackets, words.
std::string OneByteTokens() {
    std::string text;
    text.reserve(kSyntheticSize);
    std::mt19937 random(1);
    const std::string_view bytes = "#$1a(/;}\\\n _";
    while (text.size() < kSyntheticSize) {
        text += bytes[random() % bytes.size()];
        text += ' ';
    }
    return text;
}

std::string LongAsmBlock() {
    return "asm\n" +
           Repeat("  mov eax, [ebx+4]  { load }\n  @@loop: dec ecx // next\n", kSyntheticSize) +
           "end;\n";
}

std::string OnlyIdentifiers() {
    std::string text;
    text.reserve(kSyntheticSize);
    std::mt19937 random(2);
    const std::string_view letters =
        "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ_0123456789";
    while (text.size() < kSyntheticSize) {
        text += letters[random() % 52];
        for (int n = static_cast<int>(random() % 12); n > 0; --n) {
            text += letters[random() % letters.size()];
        }
        text += ' ';
    }
    return text;
}

void ConvertInMemory(benchmark::State& state, const std::string& source) {
    TMemoryStream out;
    for (auto _ : state) {
        out.Clear();
        TPascalParser().ConvertSource(source, out);
        benchmark::DoNotOptimize(out.Data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * source.size()));
    state.counters["out/in"] = static_cast<double>(out.Size()) / static_cast<double>(source.size());
}

void ConvertWholeFile(benchmark::State& state, const std::string& fileName, std::size_t size) {
    for (auto _ : state) {
        TMemoryStream out;
        ConvertFile(fileName, out);
        benchmark::DoNotOptimize(out.Data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * size));
}

} // namespace

int main(int argc, char** argv) {
    // The colour scheme is loaded at every conversion: keep it away from the
    // user's own settings.
    const fs::path scratch = fs::temp_directory_path() / "lumivane-engine-bench";
    fs::create_directories(scratch);
    setenv("LUMIVANE_REGISTRY", (scratch / "user.reg").c_str(), 1);

    static std::string compiler;
    static std::string compilerFile = (scratch / "compiler.pas").string();
    if (fs::is_directory(kCompilerSources)) {
        compiler = ConcatenatedCompilerSources();
        std::ofstream(compilerFile, std::ios::binary) << compiler;
        benchmark::RegisterBenchmark("ConvertFile/fpc-compiler", ConvertWholeFile, compilerFile,
                                     compiler.size())
            ->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark("ConvertSource/fpc-compiler", ConvertInMemory, compiler)
            ->Unit(benchmark::kMillisecond);
    } else {
        std::cerr << "note: " << kCompilerSources
                  << " not installed (bench/setup.sh): real-source benchmarks skipped\n";
    }
    static const std::string oneByte = OneByteTokens();
    static const std::string asmBlock = LongAsmBlock();
    static const std::string identifiers = OnlyIdentifiers();
    benchmark::RegisterBenchmark("ConvertSource/one-byte-tokens", ConvertInMemory, oneByte)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("ConvertSource/long-asm-block", ConvertInMemory, asmBlock)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("ConvertSource/only-identifiers", ConvertInMemory, identifiers)
        ->Unit(benchmark::kMillisecond);

    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::error_code ignored;
    fs::remove_all(scratch, ignored);
    return 0;
}
