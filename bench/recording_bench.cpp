// Reading a recording of a million sample lines, and making a profile from a 10,000-minute
// oven trace (goal: under 50 ms).

#include "core/numbers.h"
#include "core/profile_maker.h"
#include "core/recording.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <string>

namespace {

/// `lines` samples two seconds apart, as a semicolon logger with decimal commas writes them.
std::string loggerExport(int lines) {
    std::string out = "Logger 7\r\nSerial: 4711\r\nTime [s];Oven [\xC2\xB0"
                      "C];Inside [\xC2\xB0"
                      "C]\r\n";
    out.reserve(static_cast<size_t>(lines) * 24);
    for (int i = 0; i < lines; ++i) {
        const int oven = 200 + (i % 500);
        out += std::to_string(2 * i) + ';' + std::to_string(oven) + ",5;" +
               std::to_string(20 + i % 90) + ",25\r\n";
    }
    return out;
}

void BM_ReadMillionLines(benchmark::State& state) {
    const std::string bytes = loggerExport(1'000'000);
    for (auto _ : state)
        benchmark::DoNotOptimize(kvh::core::readRecording(bytes));
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                            static_cast<int64_t>(bytes.size()));
}
BENCHMARK(BM_ReadMillionLines)->Unit(benchmark::kMillisecond);

/// Ten thousand minutes of ramps, dwells with an overshoot that dies away, and a little noise.
std::vector<double> ovenTrace(int minutes) {
    std::vector<double> t;
    t.reserve(static_cast<size_t>(minutes));
    double level = 25;
    for (int m = 0; m < minutes; ++m) {
        const int phase = m % 400;
        const double target = 60.0 + 40.0 * ((m / 400) % 5);
        if (phase < 60)
            level += (target - level) / static_cast<double>(60 - phase);
        const double overshoot = phase >= 60 ? 4.0 * std::exp(-(phase - 60) / 5.0) : 0.0;
        const double noise = 0.3 * std::sin(m * 12.9898) * std::cos(m * 78.233);
        t.push_back(level + overshoot + noise);
    }
    return t;
}

void BM_ProfileFrom10000Minutes(benchmark::State& state) {
    const std::vector<double> trace = ovenTrace(10'000);
    size_t rows = 0;
    for (auto _ : state) {
        auto made = kvh::core::makeProfileRows(trace, 1.0, 100'000);
        rows = std::get<std::vector<kvh::core::MadeRow>>(made).size();
        benchmark::DoNotOptimize(made);
    }
    state.counters["rows"] = static_cast<double>(rows);
}
BENCHMARK(BM_ProfileFrom10000Minutes)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
