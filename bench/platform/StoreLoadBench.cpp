// The settings store with one key of about 160,000 values (a 10 MB file):
// every command reads the whole file, and every write rewrites it, so both
// must stay linear in its size. Run: build/bin/store_bench

#include "platform/Registry.h"
#include "platform/RegistryFile.h"

#include <benchmark/benchmark.h>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

constexpr std::size_t kStoreSize = 10 << 20;
constexpr const char* kKey = "Software\\QD\\Lumivane\\Big";

// A temporary folder holding the generated store, removed at exit.
class TBenchStore {
public:
    TBenchStore() {
        std::string pattern = (fs::temp_directory_path() / "lumivane-bench-XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr) {
            std::perror("mkdtemp");
            std::exit(1);
        }
        folder_ = pattern;
        file_ = folder_ / "user.reg";
        std::ofstream out(file_, std::ios::binary);
        out << "REGEDIT4\n\n[HKEY_CURRENT_USER\\" << kKey << "]\n";
        std::size_t written = 0;
        char line[128];
        while (written < kStoreSize) {
            // Names in mixed case, as a user's would be, so every lookup folds case.
            const int length = std::snprintf(
                line, sizeof line,
                "\"Value%06zu\"=\"clNavy, a setting of some length, as one might keep\"\n", count_);
            out.write(line, length);
            written += static_cast<std::size_t>(length);
            ++count_;
        }
    }
    ~TBenchStore() {
        std::error_code ignored;
        fs::remove_all(folder_, ignored);
    }

    const fs::path& File() const { return file_; }
    std::size_t Count() const { return count_; }
    std::string LastName() const {
        char name[32];
        std::snprintf(name, sizeof name, "VALUE%06zu", count_ - 1);
        return name;
    }

private:
    fs::path folder_;
    fs::path file_;
    std::size_t count_ = 0;
};

const TBenchStore& Store() {
    static const TBenchStore store;
    return store;
}

// Parsing the whole file into the tree.
void BM_LoadStore(benchmark::State& state) {
    const TBenchStore& store = Store();
    for (auto _ : state) {
        benchmark::DoNotOptimize(platform::LoadStore(store.File()));
    }
    state.counters["values"] = static_cast<double>(store.Count());
    state.SetBytesProcessed(
        static_cast<std::int64_t>(state.iterations() * fs::file_size(store.File())));
}
BENCHMARK(BM_LoadStore)->Unit(benchmark::kMillisecond);

// What one reading command costs: open the key, read its last value.
void BM_ReadOneValue(benchmark::State& state) {
    const TBenchStore& store = Store();
    const std::string last = store.LastName();
    for (auto _ : state) {
        TRegistry registry(store.File());
        if (!registry.OpenKey(kKey, false)) {
            state.SkipWithError("the key is missing");
            break;
        }
        benchmark::DoNotOptimize(registry.ReadString(last));
    }
}
BENCHMARK(BM_ReadOneValue)->Unit(benchmark::kMillisecond);

// What one write costs: locked load, change, whole file written and synced.
void BM_WriteOneValue(benchmark::State& state) {
    const TBenchStore& store = Store();
    TRegistry registry(store.File());
    if (!registry.OpenKey(kKey, false)) {
        state.SkipWithError("the key is missing");
        return;
    }
    int round = 0;
    for (auto _ : state) {
        registry.WriteInteger("Counter", ++round);
    }
}
BENCHMARK(BM_WriteOneValue)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
