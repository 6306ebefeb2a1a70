// Speed of the barrier comparison: every offered barrier with its longest safe dwell and the
// peak after the end, for 24-hour profiles (the window recomputes it on every change).

#include "core/advisor.h"

#include "day_case.h"

#include <benchmark/benchmark.h>

namespace {

using namespace kvh::core;

using kvh::bench::dayAt;

void compareAll(benchmark::State& state, const char* dwellTemp) {
    const Case c = dayAt(dwellTemp);
    for (auto _ : state) {
        ComparisonOutcome outcome = compareBarriers(c);
        benchmark::DoNotOptimize(outcome);
    }
}

} // namespace

// The goal: under 50 ms for a 24-hour profile. At 180 and 300 °C every barrier's safe dwell
// is found within hours; at 120 °C no dwell reaches the limit and each search runs up to the
// longest profile the model accepts (1,000,000 minutes), the slowest case there is.
BENCHMARK_CAPTURE(compareAll, day_at_300C, "300")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(compareAll, day_at_180C, "180")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(compareAll, day_at_120C_capped, "120")->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
