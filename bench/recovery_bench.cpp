// A recovery copy of a 100,000-row case. Between keystrokes the window makes only the case's
// ".dew" text (the first figure, which is what typing may feel); the disk work (both atomic
// writes with their syncs, the old copy removed) runs on a thread of its own (the second,
// wall-clock time, since the syncs wait for the disk). The folder is a fresh one in the
// temporary folder (TMPDIR), on whatever disk that is.

#include "core/case.h"
#include "core/dew_file.h"
#include "core/recovery.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

constexpr int kRows = 100000;

kvh::core::Case bigCase() {
    std::string dew = "[Setup]\r\nTemp Units = 1\r\nTime Units = 0\r\nDavar Model = 2\r\n"
                      "Tracer Type = 1\r\nEnvironment = 0\r\n[Data]\r\nS,25,0\r\n";
    for (int r = 0; r < kRows - 2; ++r)
        dew += r % 2 ? "R,25,1\r\n" : "R,180,1\r\n";
    dew += "E,25,60\r\n";
    kvh::core::Case c;
    kvh::core::applyDew(c, std::get<kvh::core::DewParse>(kvh::core::parseDew(dew)));
    return c;
}

struct ScratchFolder {
    fs::path path =
        fs::temp_directory_path() / ("kvh-recovery-bench-" + std::to_string(::getpid()));
    ScratchFolder() { fs::create_directories(path); }
    ~ScratchFolder() { fs::remove_all(path); }
};

void BM_RecoveryCopyText100kRows(benchmark::State& state) {
    const kvh::core::Case c = bigCase();
    for (auto _ : state)
        benchmark::DoNotOptimize(kvh::core::writeDew(c));
}
BENCHMARK(BM_RecoveryCopyText100kRows)->Unit(benchmark::kMillisecond);

void BM_WriteRecoveryCopy100kRows(benchmark::State& state) {
    const kvh::core::Case c = bigCase();
    const ScratchFolder scratch;
    kvh::core::RecoveryFolder folder(scratch.path.string());
    const kvh::core::RecoveryNote about{"/cases/anneal.dew", 1796652180, 41, {}, 0, 0};
    for (auto _ : state) {
        if (!folder.write("case-41-1", c, about).empty())
            state.SkipWithError("the copy could not be written");
    }
}
BENCHMARK(BM_WriteRecoveryCopy100kRows)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_ReadRecoveryCopy100kRows(benchmark::State& state) {
    const ScratchFolder scratch;
    kvh::core::RecoveryFolder folder(scratch.path.string());
    folder.write("case-41-1", bigCase(), {});
    for (auto _ : state)
        benchmark::DoNotOptimize(folder.read("case-41-1", kvh::core::Case{}));
}
BENCHMARK(BM_ReadRecoveryCopy100kRows)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

BENCHMARK_MAIN();
