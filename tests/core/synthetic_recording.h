#pragma once
// Recordings made by the program's own model: a barrier with known figures runs over a profile
// of repeated ramps and dwells, and both traces get seeded Gaussian noise and rounding to 0.1,
// as a logger would record them. Shared by the fit's tests and its benchmark.

#include "core/case.h"
#include "core/fit.h"
#include "core/model.h"
#include "core/numbers.h"

#include <cmath>
#include <cstdint>
#include <numbers>
#include <random>
#include <string>
#include <vector>

namespace kvh::test {

/// A seeded normal deviate (Box-Muller over mt19937_64: the same numbers on every platform,
/// unlike std::normal_distribution).
class SeededNoise {
public:
    explicit SeededNoise(uint64_t seed) : m_engine(seed) {}
    double operator()(double sigma) {
        const double u1 = (static_cast<double>(m_engine() >> 11) + 0.5) * 0x1p-53;
        const double u2 = static_cast<double>(m_engine() >> 11) * 0x1p-53;
        return sigma * std::sqrt(-2 * std::log(u1)) * std::cos(2 * std::numbers::pi * u2);
    }

private:
    std::mt19937_64 m_engine;
};

/// A case in degrees Celsius and minutes for the given barrier, its profile starting at 25.
inline core::Case caseFrom25(int tracer, int environ, int model) {
    core::Case c;
    c.setup.selectTracer(tracer);
    c.setup.selectEnviron(environ);
    c.setup.selectModel(model);
    c.selectTempUnit(1);
    c.selectTimeUnit(0);
    c.profile.setCell(1, 1, "Start Temp   ");
    c.profile.setCell(1, 2, "25");
    c.profile.setCell(1, 3, "0");
    return c;
}

/// Sets profile row `row` to one step, adding rows as needed.
inline void setStep(core::Case& c, int row, const char* step, double temp, int64_t minutes) {
    while (row >= c.profile.rowCount())
        c.profile.appendRow();
    c.profile.setCell(row, 1, step);
    c.profile.setCell(row, 2, core::plainNumberText(temp));
    c.profile.setCell(row, 3, std::to_string(minutes));
}

/// A case whose profile starts at 25 and repeats a dwell, a ramp to `top`, a dwell and a ramp
/// back down until `minutes` minutes are filled. Starting with a dwell keeps the profile's
/// first minute at the start temperature, where a recording's first sample stands for the
/// minutes before it.
inline core::Case cyclingCase(int tracer, int environ, int model, int64_t minutes, double top) {
    core::Case c = caseFrom25(tracer, environ, model);
    const char* steps[] = {"Dwell at Temp", "Ramp to Temp", "Dwell at Temp", "Ramp to Temp"};
    const double temps[] = {25, top, top, 25};
    const int64_t times[] = {60, 45, 90, 60};
    int64_t filled = 0;
    for (int r = 2, k = 0; filled < minutes; ++r, k = (k + 1) % 4) {
        const int64_t time = std::min(times[k], minutes - filled);
        setStep(c, r, steps[k], temps[k], time);
        filled += time;
    }
    return c;
}

/// A case with one bake as an oven runs it: half an hour at 25 while the barrier is loaded, a
/// ramp to `top` in half an hour, two hours there, an hour's ramp back to 25, then 25 until
/// `minutes` minutes are filled.
inline core::Case ovenCase(int tracer, int environ, int model, int64_t minutes, double top) {
    core::Case c = caseFrom25(tracer, environ, model);
    setStep(c, 2, "Dwell at Temp", 25, 30);
    setStep(c, 3, "Ramp to Temp", top, 30);
    setStep(c, 4, "Dwell at Temp", top, 120);
    setStep(c, 5, "Ramp to Temp", 25, 60);
    setStep(c, 6, "Dwell at Temp", 25, std::max<int64_t>(1, minutes - 240));
    return c;
}

/// Both traces of a run of `barrier` over the case, from the profile's start for `minutes`
/// minutes, with noise of `sigma` and rounding to 0.1 (sigma 0: the exact single values).
inline core::FitInput syntheticRecording(const core::Case& c,
                                         const core::BarrierCoefficients& barrier, int64_t minutes,
                                         double sigma, uint64_t seed) {
    const auto run = std::get<core::RunResult>(core::runModelWith(c, barrier));
    SeededNoise noise(seed);
    const auto record = [&](float v) {
        return sigma > 0 ? core::roundHalfEven((v + noise(sigma)) * 10) / 10
                         : static_cast<double>(v);
    };
    core::FitInput input;
    input.table = core::tableBarrier(c.setup);
    for (int64_t m = 0; m < minutes; ++m) {
        const auto t = static_cast<size_t>(core::kLeadIn + m);
        input.process.push_back(record(run.process[t]));
        input.internal.push_back(record(run.internal[t]));
    }
    return input;
}

} // namespace kvh::test
