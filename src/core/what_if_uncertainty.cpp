// The uncertainty of a verdict: many runs with the barrier and the oven drawn at random from a
// seeded, portable source.

#include "what_if.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace kvh::core {

double portableLog(double x) {
    // x = m 2^e with m in [sqrt(1/2), sqrt(2)); ln m = 2 atanh(t), t = (m - 1) / (m + 1), a
    // series in t^2 <= 0.03 that twelve terms take below an ulp. Plain double arithmetic (the
    // core is built without fused multiply-add), so every machine gives the same bits.
    int e = 0;
    double m = std::frexp(x, &e);
    if (m < 0.70710678118654752440) {
        m *= 2;
        --e;
    }
    const double t = (m - 1) / (m + 1);
    const double t2 = t * t;
    double sum = 0.0;
    for (int k = 11; k >= 0; --k)
        sum = sum * t2 + 1.0 / (2 * k + 1);
    return 2 * t * sum + e * 0.69314718055994530942;
}

NormalSource::NormalSource(uint64_t seed) : m_engine(seed) {}

double NormalSource::uniform() {
    return static_cast<double>(m_engine() >> 11) * 0x1p-53;
}

double NormalSource::normal() {
    // Marsaglia's polar method; the second deviate of each pair is not used.
    for (;;) {
        const double u = 2 * uniform() - 1;
        const double v = 2 * uniform() - 1;
        const double s = u * u + v * v;
        if (s < 1 && s > 0)
            return u * std::sqrt(-2 * portableLog(s) / s);
    }
}

int NormalSource::oneOfThree() {
    // 2^64 - 1 is the one word that would make 0 likelier than 1 and 2.
    uint64_t x = 0;
    do {
        x = m_engine();
    } while (x == std::numeric_limits<uint64_t>::max());
    return static_cast<int>(x % 3) - 1;
}

namespace {

constexpr double kCoefficientSpread = 0.05;
constexpr double kOffsetSpreadCelsius = 3.0;

/// The nearest-rank percentile index of p % among n sorted values.
size_t rankIndex(int percent, size_t n) {
    const size_t rank = (static_cast<size_t>(percent) * n + 99) / 100;
    return rank == 0 ? 0 : rank - 1;
}

/// One run's barrier and offset, drawn in a fixed order.
RunInputs drawInputs(RunInputs inputs, NormalSource& source, double offsetSpread) {
    BarrierValues& b = *inputs.barrier;
    const double outer = 1 + kCoefficientSpread * source.normal();
    const double inner = 1 + kCoefficientSpread * source.normal();
    const int deadTime = source.oneOfThree();
    const double offset = offsetSpread * source.normal();
    b.outer = static_cast<float>(static_cast<double>(b.outer) * outer);
    b.inner = static_cast<float>(static_cast<double>(b.inner) * inner);
    b.deadTime = static_cast<float>(std::max(0.0, static_cast<double>(b.deadTime) + deadTime));
    inputs.tempOffset = offset;
    return inputs;
}

/// The 5th and 95th percentile of each minute's values (one row of `runs` values a minute).
void fillBand(Uncertainty& u, std::vector<float>& samples, size_t runs) {
    const size_t points = samples.size() / runs;
    const size_t low = rankIndex(5, runs), high = rankIndex(95, runs);
    u.bandLow.resize(points);
    u.bandHigh.resize(points);
    for (size_t i = 0; i < points; ++i) {
        const auto first = samples.begin() + static_cast<ptrdiff_t>(i * runs);
        const auto last = first + static_cast<ptrdiff_t>(runs);
        std::nth_element(first, first + static_cast<ptrdiff_t>(low), last);
        u.bandLow[i] = first[static_cast<ptrdiff_t>(low)];
        std::nth_element(first + static_cast<ptrdiff_t>(low), first + static_cast<ptrdiff_t>(high),
                         last);
        u.bandHigh[i] = first[static_cast<ptrdiff_t>(high)];
    }
}

void fillFigures(Uncertainty& u, std::vector<float> maxima) {
    std::sort(maxima.begin(), maxima.end());
    const size_t n = maxima.size();
    u.p5 = maxima[rankIndex(5, n)];
    u.p50 = maxima[rankIndex(50, n)];
    u.p95 = maxima[rankIndex(95, n)];
    const auto reached = std::count_if(maxima.begin(), maxima.end(),
                                       [&](float m) { return static_cast<double>(m) >= u.limit; });
    u.shareAtLimit = static_cast<double>(reached) / static_cast<double>(n);
    u.standardError = std::sqrt(u.shareAtLimit * (1 - u.shareAtLimit) / static_cast<double>(n));
}

/// The nominal run's figures in `u` and its curve, one point every bandStep minutes; the
/// number of points.
size_t takeNominal(Uncertainty& u, const RunResult& nominal, int runs) {
    u.runs = runs;
    u.limit = nominal.limit;
    u.totalMinutes = nominal.totalMinutes;
    const int64_t minutes = u.totalMinutes + kTail + 1;
    u.bandStep = (minutes + kMaxBandPoints - 1) / kMaxBandPoints;
    const auto points = static_cast<size_t>((minutes - 1) / u.bandStep + 1);
    for (size_t i = 0; i < points; ++i)
        u.nominal.push_back(nominal.internal[i * static_cast<size_t>(u.bandStep)]);
    return points;
}

} // namespace

UncertaintyOutcome runUncertainty(const Case& c, int runs, uint64_t seed,
                                  const WhatIfSettings& settings) {
    if (runs < 1 || runs > kMaxUncertaintyRuns)
        return RunError{0, "The uncertainty takes 1 to 100,000 runs."};
    auto barrier = barrierValues(c.setup);
    if (auto* error = std::get_if<RunError>(&barrier))
        return std::move(*error);
    RunInputs inputs;
    inputs.barrier = settings.barrier.value_or(std::get<BarrierValues>(barrier));
    inputs.stageStart = settings.stageStart;
    RunOutcome nominal = runModel(c, inputs);
    if (auto* error = std::get_if<RunError>(&nominal))
        return std::move(*error);
    RunResult spare = std::move(std::get<RunResult>(nominal));

    Uncertainty u;
    const size_t points = takeNominal(u, spare, runs);
    const auto n = static_cast<size_t>(runs);

    std::vector<float> samples(points * n);
    std::vector<float> maxima(n);
    NormalSource source(seed);
    const double offsetSpread =
        c.setup.fahrenheit() ? kOffsetSpreadCelsius * 9 / 5 : kOffsetSpreadCelsius;
    for (size_t r = 0; r < n; ++r) {
        RunOutcome outcome =
            runModel(c, drawInputs(inputs, source, offsetSpread), std::move(spare));
        if (auto* error = std::get_if<RunError>(&outcome))
            return std::move(*error);
        spare = std::move(std::get<RunResult>(outcome));
        maxima[r] = spare.maxInternal;
        for (size_t i = 0; i < points; ++i)
            samples[i * n + r] = spare.internal[i * static_cast<size_t>(u.bandStep)];
    }
    fillFigures(u, std::move(maxima));
    fillBand(u, samples, n);
    return u;
}

} // namespace kvh::core
