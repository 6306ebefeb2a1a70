// Speed of a whole model run (parameters, process series, both stages, maxima, texts) and of
// the chart data built from it.

#include "core/chart_data.h"
#include "core/model.h"

#include <benchmark/benchmark.h>

namespace {

using namespace kvh::core;

/// Tessel III in air in the 7440: every benchmark's barrier.
Case barrierCase() {
    Case c;
    c.setup.selectTracer(1);
    c.setup.selectEnviron(0);
    c.setup.selectModel(2);
    return c;
}

/// A heat treatment lasting `minutes`: start, a ramp to 180 °C, a dwell, a cool-down.
Case profileOf(int minutes) {
    Case c = barrierCase();
    const int ramp = minutes / 10, cool = minutes / 10;
    const std::string rows[][3] = {{"Start Temp   ", "25", "0"},
                                   {"Ramp to Temp", "180", std::to_string(ramp)},
                                   {"Dwell at Temp", "180", std::to_string(minutes - ramp - cool)},
                                   {"Ramp to Temp", "40", std::to_string(cool)},
                                   {"End Temp    ", "40", "0"}};
    for (int r = 0; r < 5; ++r)
        for (int col = 0; col < 3; ++col)
            c.profile.setCell(r + 1, col + 1, rows[r][col]);
    return c;
}

void fullRun(benchmark::State& state) {
    const Case c = profileOf(static_cast<int>(state.range(0)));
    // Like the window, each run hands the storage of the previous result back.
    RunResult previous;
    for (auto _ : state) {
        RunOutcome outcome = runModel(c, std::move(previous));
        auto& run = std::get<RunResult>(outcome);
        Evaluation e = evaluate(run, c.setup);
        benchmark::DoNotOptimize(e);
        previous = std::move(run);
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(fullRun)->Arg(1440)->Arg(32767)->Arg(1000000)->Unit(benchmark::kMicrosecond);

/// The first run of a session, which must also take its memory from the system.
void firstRun(benchmark::State& state) {
    const Case c = profileOf(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        RunOutcome outcome = runModel(c);
        benchmark::DoNotOptimize(outcome);
    }
}
BENCHMARK(firstRun)->Arg(32767)->Arg(1000000)->Unit(benchmark::kMicrosecond);

/// What the report needs: the maxima and the final rate, no series kept.
void reportRun(benchmark::State& state) {
    const Case c = profileOf(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        RunOutcome outcome = runModelMaxima(c);
        Evaluation e = evaluate(std::get<RunResult>(outcome), c.setup);
        benchmark::DoNotOptimize(e);
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(reportRun)->Arg(32767)->Arg(1000000)->Unit(benchmark::kMicrosecond);

/// A profile of `rows` one-minute ramps alternating between 180 °C and 25 °C: the cost of a
/// run that grows with the rows rather than the minutes.
Case alternatingOf(int rows) {
    Case c = barrierCase();
    c.profile.setRowCount(rows + 1);
    c.profile.setCell(1, 1, "Start Temp   ");
    c.profile.setCell(1, 2, "25");
    c.profile.setCell(1, 3, "0");
    for (int r = 2; r <= rows; ++r) {
        c.profile.setCell(r, 1, r == rows ? "End Temp    " : "Ramp to Temp");
        c.profile.setCell(r, 2, r % 2 || r == rows ? "25" : "180");
        c.profile.setCell(r, 3, "1");
    }
    return c;
}

/// The rows' share of a run: reading them and a ramp a minute.
void manyRowsRun(benchmark::State& state) {
    const Case c = alternatingOf(static_cast<int>(state.range(0)));
    RunResult previous;
    for (auto _ : state)
        previous = std::get<RunResult>(runModel(c, std::move(previous)));
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(manyRowsRun)->Arg(100000)->Unit(benchmark::kMicrosecond);

void chartData(benchmark::State& state) {
    const Case c = profileOf(static_cast<int>(state.range(0)));
    const RunResult run = std::get<RunResult>(runModel(c));
    for (auto _ : state) {
        // As the window does: decimated while built, then to the plot's width.
        ChartData data = buildChartData(run, c.setup, false, 4096);
        auto internal = decimate(data.internal, 1600);
        auto process = decimate(data.process, 1600);
        benchmark::DoNotOptimize(internal);
        benchmark::DoNotOptimize(process);
    }
}
BENCHMARK(chartData)->Arg(1440)->Arg(32767)->Arg(1000000)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
