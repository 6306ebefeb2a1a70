// Speed of the what-if answers for a 24-hour profile, as the "What If" page recomputes them on
// every change: all variations (goal under 5 ms), back-to-back runs with the search for the
// shortest safe gap (under 50 ms), 1,000 uncertainty runs with the band (under 100 ms).

#include "core/what_if.h"

#include "day_case.h"

#include <benchmark/benchmark.h>

namespace {

using namespace kvh::core;

/// The 24-hour heat treatment with model 1 chosen.
Case dayAt(const char* dwellTemp) {
    Case c = kvh::bench::dayAt(dwellTemp);
    c.setup.selectModel(1);
    return c;
}

void variations(benchmark::State& state) {
    const Case c = dayAt("180");
    for (auto _ : state) {
        VariationsOutcome outcome = runVariations(c);
        benchmark::DoNotOptimize(outcome);
    }
}

void backToBack(benchmark::State& state, const char* dwellTemp, int runs) {
    const Case c = dayAt(dwellTemp);
    for (auto _ : state) {
        BackToBackOutcome outcome = runBackToBack(c, runs, 30, 25);
        benchmark::DoNotOptimize(outcome);
    }
}

void uncertainty(benchmark::State& state) {
    const Case c = dayAt("180");
    for (auto _ : state) {
        UncertaintyOutcome outcome = runUncertainty(c, 1000, 1);
        benchmark::DoNotOptimize(outcome);
    }
}

} // namespace

BENCHMARK(variations)->Unit(benchmark::kMillisecond);
// At 120 °C three runs are safe at once; at 180 °C the search finds a gap; at 300 °C every run
// fails and the search goes on to 10,000 minutes, twenty runs long (the slowest there is).
BENCHMARK_CAPTURE(backToBack, three_at_120C, "120", 3)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(backToBack, three_at_180C, "180", 3)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(backToBack, twenty_at_300C_none, "300", 20)->Unit(benchmark::kMillisecond);
BENCHMARK(uncertainty)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
