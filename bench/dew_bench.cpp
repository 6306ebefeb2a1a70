// Reading a case of 100,000 profile rows: the file's text to rows (parse), the rows into a
// case (apply), and both, as File > Open does before the window shows the table; and what
// Save does with it (the check of its cells, the bytes).

#include "core/case.h"
#include "core/dew_file.h"
#include "core/doubtful.h"
#include "core/model.h"

#include <benchmark/benchmark.h>

#include <string>

namespace {

/// `rows` profile rows (the most Open takes): a start, one-minute ramps alternating between
/// 180 °C and 25 °C, and an end.
std::string alternatingDew(int rows) {
    std::string out = "[Setup]\r\nTemp Units = 1\r\nTime Units = 0\r\nDavar Model = 2\r\n"
                      "Tracer Type = 1\r\nEnvironment = 0\r\n[Data]\r\nS,25,0\r\n";
    for (int r = 0; r < rows - 2; ++r)
        out += r % 2 ? "R,25,1\r\n" : "R,180,1\r\n";
    return out + "E,25,60\r\n";
}

constexpr int kRows = 100000;

void BM_Parse100kRows(benchmark::State& state) {
    const std::string bytes = alternatingDew(kRows);
    for (auto _ : state)
        benchmark::DoNotOptimize(kvh::core::parseDew(bytes));
}
BENCHMARK(BM_Parse100kRows)->Unit(benchmark::kMillisecond);

void BM_Apply100kRows(benchmark::State& state) {
    const auto parsed = std::get<kvh::core::DewParse>(kvh::core::parseDew(alternatingDew(kRows)));
    for (auto _ : state) {
        kvh::core::Case c;
        kvh::core::applyDew(c, parsed);
        benchmark::DoNotOptimize(c);
    }
}
BENCHMARK(BM_Apply100kRows)->Unit(benchmark::kMillisecond);

void BM_ParseAndApply100kRows(benchmark::State& state) {
    const std::string bytes = alternatingDew(kRows);
    for (auto _ : state) {
        kvh::core::Case c;
        kvh::core::applyDew(c, std::get<kvh::core::DewParse>(kvh::core::parseDew(bytes)));
        benchmark::DoNotOptimize(c);
    }
}
BENCHMARK(BM_ParseAndApply100kRows)->Unit(benchmark::kMillisecond);

kvh::core::Case openedCase() {
    kvh::core::Case c;
    kvh::core::applyDew(c,
                        std::get<kvh::core::DewParse>(kvh::core::parseDew(alternatingDew(kRows))));
    return c;
}

/// What every visit of the results page scans besides the run: the doubtful cells.
void BM_Doubtful100kRows(benchmark::State& state) {
    const kvh::core::Case c = openedCase();
    for (auto _ : state)
        benchmark::DoNotOptimize(kvh::core::findDoubtfulCells(c.profile));
}
BENCHMARK(BM_Doubtful100kRows)->Unit(benchmark::kMillisecond);

/// What Save adds before it writes: the check that every written cell reads back.
void BM_UnsavableCheck100kRows(benchmark::State& state) {
    const kvh::core::Case c = openedCase();
    for (auto _ : state)
        benchmark::DoNotOptimize(kvh::core::unsavableCells(c));
}
BENCHMARK(BM_UnsavableCheck100kRows)->Unit(benchmark::kMillisecond);

/// The bytes Save writes for the same case, for comparison.
void BM_Write100kRows(benchmark::State& state) {
    const kvh::core::Case c = openedCase();
    for (auto _ : state)
        benchmark::DoNotOptimize(kvh::core::writeDew(c));
}
BENCHMARK(BM_Write100kRows)->Unit(benchmark::kMillisecond);

/// The run itself, reading the rows' numbers.
void BM_Run100kRows(benchmark::State& state) {
    const kvh::core::Case c = openedCase();
    kvh::core::RunResult spare;
    for (auto _ : state) {
        auto outcome = kvh::core::runModel(c, std::move(spare));
        spare = std::get<kvh::core::RunResult>(std::move(outcome));
    }
}
BENCHMARK(BM_Run100kRows)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
