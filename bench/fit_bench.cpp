// Fitting a barrier to a measured run of 10,000 minutes (goal: under 50 ms), and to a short
// one of 300 minutes.

#include "synthetic_recording.h"

#include <benchmark/benchmark.h>

namespace {

void BM_FitBarrier(benchmark::State& state) {
    const int64_t minutes = state.range(0);
    const kvh::core::Case c = kvh::test::cyclingCase(1, 0, 2, minutes, 200);
    const kvh::core::BarrierCoefficients table = kvh::core::tableBarrier(c.setup);
    const kvh::core::BarrierCoefficients worn{8, table.outer * 1.3f, table.inner * 1.25f};
    const kvh::core::FitInput input = kvh::test::syntheticRecording(c, worn, minutes, 0.3, 19);
    for (auto _ : state) {
        const kvh::core::BarrierFit fit = kvh::core::fitBarrier(input);
        benchmark::DoNotOptimize(fit.rms);
    }
    state.SetLabel(std::to_string(minutes) + " minutes");
}
BENCHMARK(BM_FitBarrier)->Arg(300)->Arg(10'000)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
