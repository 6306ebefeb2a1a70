#include "advisor.h"

#include "numbers.h"

#include <algorithm>
#include <charconv>
#include <limits>

namespace kvh::core {

namespace {

/// What one trial dwell gives.
enum class Trial { Safe, Unsafe, TooLong };

/// PASS and no dwell warning, decided as the evaluation decides them (with a margin in the
/// display unit: both maxima below limit - margin).
bool runSafe(const RunResult& run, double margin) {
    return safeWithMargin(run.maxInternal, run.maxDwell, run.limit, margin);
}

RunInputs inputsOf(const SafetySettings& safety) {
    RunInputs inputs;
    inputs.stageStart = safety.stageStart;
    return inputs;
}

/// Runs the case with trial dwells at one row, reusing the series storage between runs.
class DwellTrials {
public:
    DwellTrials(const Case& c, int row, const SafetySettings& safety,
                std::optional<BarrierCoefficients> barrier)
        : m_case(c), m_row(row), m_inputs(inputsOf(safety)),
          m_margin(marginInDisplayUnit(safety.marginCelsius, c.setup)) {
        m_inputs.barrier = barrier; // a calibrated barrier, else the table's
    }

    Trial operator()(int64_t minutes) {
        setDwell(minutes);
        if (!runnable())
            return Trial::TooLong;
        RunOutcome outcome = runModel(m_case, m_inputs, std::move(m_spare));
        auto* run = std::get_if<RunResult>(&outcome);
        if (run == nullptr) {
            m_spare = {};
            return Trial::Unsafe;
        }
        const bool safe = runSafe(*run, m_margin);
        m_spare = std::move(*run);
        return safe ? Trial::Safe : Trial::Unsafe;
    }

    /// The highest process temperature of the last run that succeeded.
    float lastProcessMax() const {
        return m_spare.process.empty()
                   ? 0.0f
                   : *std::max_element(m_spare.process.begin(), m_spare.process.end());
    }

    /// Whether the model runs the profile with this dwell at all (cheap: no simulation).
    bool runsWith(int64_t minutes) {
        setDwell(minutes);
        return runnable();
    }

    /// The highest temperature below which every run is safe.
    double safeBound() const { return tracerLimitDisplay(m_case.setup) - m_margin; }

private:
    void setDwell(int64_t minutes) {
        m_case.profile.setCell(m_row, kColTime, dwellTimeText(minutes, m_case.setup.hours()));
    }
    bool runnable() const { return std::holds_alternative<int64_t>(totalMinutes(m_case)); }

    Case m_case;
    int m_row;
    RunInputs m_inputs;
    double m_margin;
    RunResult m_spare;
};

/// The largest dwell in [runnable, tooLong) the model still runs.
int64_t longestRunnable(DwellTrials& trials, int64_t runnable, int64_t tooLong) {
    while (tooLong - runnable > 1) {
        const int64_t mid = runnable + (tooLong - runnable) / 2;
        (trials.runsWith(mid) ? runnable : tooLong) = mid;
    }
    return runnable;
}

/// Largest safe dwell between a safe one and an unsafe one. Each step keeps `safe` safe and
/// `unsafe` unsafe, so the answer m is checked: m is safe and m + 1 is not.
int64_t bisect(DwellTrials& trials, int64_t safe, int64_t unsafe) {
    while (unsafe - safe > 1) {
        const int64_t mid = safe + (unsafe - safe) / 2;
        (trials(mid) == Trial::Safe ? safe : unsafe) = mid;
    }
    return safe;
}

/// A safe dwell as a length to compare: capped (safe as long as the model runs) beats any
/// number of minutes, and no safe dwell (or no dwell step) comes last.
int64_t dwellLength(const SafeDwell& dwell) {
    switch (dwell.kind) {
    case SafeDwell::Kind::Capped:
        return std::numeric_limits<int64_t>::max();
    case SafeDwell::Kind::Minutes:
        return dwell.minutes;
    case SafeDwell::Kind::None:
    case SafeDwell::Kind::NoDwellRow:
        break;
    }
    return -1;
}

/// Whether `a` ranks before `b`: the larger margin; on equal margins the longer safe dwell,
/// then the lower peak after the end.
bool ranksBefore(const BarrierResult& a, const BarrierResult& b) {
    if (a.margin() != b.margin())
        return a.margin() > b.margin();
    const int64_t dwellA = dwellLength(a.safeDwell), dwellB = dwellLength(b.safeDwell);
    if (dwellA != dwellB)
        return dwellA > dwellB;
    return a.peakAfterEnd < b.peakAfterEnd;
}

/// One run's figures; `barrier` is a calibrated barrier for the case's own model, or none for
/// the table's.
BarrierResult barrierResult(const Case& one, RunResult& run, bool withSafeDwell,
                            std::optional<BarrierCoefficients> barrier,
                            const SafetySettings& safety) {
    BarrierResult b;
    b.model = one.setup.modelIndex();
    b.maxInternal = run.maxInternal;
    b.maxDwell = run.maxDwell;
    b.limit = run.limit;
    b.pass = run.maxInternal < run.limit;
    b.warning = b.pass && run.maxDwell > run.limit;
    b.safeByMargin = runSafe(run, marginInDisplayUnit(safety.marginCelsius, one.setup));
    const BarrierCoefficients used = barrier ? *barrier : tableBarrier(one.setup);
    const PeakAfterEnd peak = peakAfterEnd(run, used);
    b.peakAfterEnd = peak.peak;
    b.minutesToPeak = peak.minutesToPeak;
    if (withSafeDwell)
        b.safeDwell = findSafeDwell(one, safety, barrier);
    b.afterStored = internalAfterStored(run, used, peak.minutesToPeak - (kTail - kLeadIn));
    run.internal.resize(static_cast<size_t>(run.totalMinutes + kTail + 1));
    b.internal = std::move(run.internal);
    return b;
}

std::optional<BarrierResult> runBarrier(const Case& c, int model, bool withSafeDwell,
                                        const SafetySettings& safety, RunError& error) {
    Case one = c;
    one.setup.selectModel(model);
    RunOutcome outcome = runModel(one, inputsOf(safety));
    if (auto* failed = std::get_if<RunError>(&outcome)) {
        error = *failed;
        return std::nullopt;
    }
    return barrierResult(one, std::get<RunResult>(outcome), withSafeDwell, std::nullopt, safety);
}

} // namespace

double marginInDisplayUnit(double marginCelsius, const SetupState& setup) {
    return setup.fahrenheit() ? marginCelsius * 9 / 5 : marginCelsius;
}

bool safeWithMargin(float maxInternal, float maxDwell, double limit, double margin) {
    if (margin == 0.0)
        return maxInternal < limit && !(maxDwell > limit);
    const double bound = limit - margin;
    return maxInternal < bound && maxDwell < bound;
}

std::string dwellTimeText(int64_t minutes, bool hours) {
    char buffer[64];
    const auto result =
        hours ? std::to_chars(buffer, buffer + sizeof buffer, static_cast<double>(minutes) / 60.0)
              : std::to_chars(buffer, buffer + sizeof buffer, minutes);
    return std::string(buffer, result.ptr);
}

std::vector<int> offeredBarriers(const SetupState& setup) {
    std::vector<int> models{0, 1, 2, 3};
    if (setup.tracerIndex() == 1) {
        if (setup.environIndex() == 0)
            models.push_back(4);
        models.push_back(5);
    }
    return models;
}

int hottestDwellRow(const ProfileTable& table) {
    int best = 0;
    double hottest = 0.0;
    for (int r = 1; r < table.rowCount(); ++r) {
        if (table.values(r).step != StepCode::Dwell)
            continue;
        const double temp = table.values(r).temp;
        if (best == 0 || temp > hottest) {
            best = r;
            hottest = temp;
        }
    }
    return best;
}

bool caseSafe(const Case& c, const SafetySettings& safety) {
    const RunOutcome outcome = runModel(c, inputsOf(safety));
    const auto* run = std::get_if<RunResult>(&outcome);
    return run != nullptr && runSafe(*run, marginInDisplayUnit(safety.marginCelsius, c.setup));
}

SafeDwell findSafeDwell(const Case& c, const SafetySettings& safety) {
    return findSafeDwell(c, safety, std::nullopt);
}

SafeDwell findSafeDwell(const Case& c, std::optional<BarrierCoefficients> barrier) {
    return findSafeDwell(c, SafetySettings{}, barrier);
}

std::variant<BarrierResult, RunError> calibratedBarrierResult(const Case& c,
                                                              const BarrierCoefficients& barrier,
                                                              std::string name, bool withSafeDwell,
                                                              const SafetySettings& safety) {
    RunInputs inputs = inputsOf(safety);
    inputs.barrier = barrier;
    RunOutcome outcome = runModel(c, inputs);
    if (auto* failed = std::get_if<RunError>(&outcome))
        return *failed;
    BarrierResult b =
        barrierResult(c, std::get<RunResult>(outcome), withSafeDwell, barrier, safety);
    b.calibrated = std::move(name);
    return b;
}

SafeDwell findSafeDwell(const Case& c, const SafetySettings& safety,
                        std::optional<BarrierCoefficients> barrier) {
    const int row = hottestDwellRow(c.profile);
    if (row == 0)
        return {SafeDwell::Kind::NoDwellRow, 0};
    DwellTrials trials(c, row, safety, barrier);
    if (trials(0) != Trial::Safe)
        return {SafeDwell::Kind::None, 0};
    // From one minute on, a longer dwell only repeats the dwell's temperature: the process
    // takes no new value. Each stage is a weighted mean of its last value and its input
    // (coefficients between 0 and 1), so neither stage ever passes the hottest process
    // temperature, and rounding to the nearest single cannot carry it past a single-precision
    // bound. Below the limit (less any margin), every dwell is safe: the answer is the cap,
    // found without simulating the long dwells.
    if (trials(1) == Trial::Safe &&
        static_cast<double>(trials.lastProcessMax()) < trials.safeBound())
        return {SafeDwell::Kind::Capped, longestRunnable(trials, 1, kMaxTotalMinutes + 1)};
    int64_t safe = 0;
    int64_t next = 1;
    for (;;) {
        const Trial t = trials(next);
        if (t == Trial::Unsafe)
            break;
        if (t == Trial::TooLong) {
            const int64_t cap = longestRunnable(trials, safe, next);
            if (cap == safe || trials(cap) == Trial::Safe)
                return {SafeDwell::Kind::Capped, cap};
            next = cap;
            break;
        }
        safe = next;
        next *= 2;
    }
    return {SafeDwell::Kind::Minutes, bisect(trials, safe, next)};
}

bool comparable(const SetupState& setup) {
    return setup.chosenTracer() && setup.chosenEnviron();
}

ComparisonOutcome compareBarriers(const Case& c, bool withSafeDwell, const SafetySettings& safety) {
    Comparison result;
    result.safetyMargin = marginInDisplayUnit(safety.marginCelsius, c.setup);
    result.fahrenheit = c.setup.fahrenheit();
    RunError error;
    for (const int model : offeredBarriers(c.setup)) {
        std::optional<BarrierResult> b = runBarrier(c, model, withSafeDwell, safety, error);
        if (!b)
            return error;
        result.barriers.push_back(std::move(*b));
    }
    result.totalMinutes = static_cast<int64_t>(result.barriers.front().internal.size()) - kTail - 1;
    rankBarriers(result);
    return result;
}

std::string temperatureText(double value, bool fahrenheit) {
    return formatPattern(value, Pattern::OneDec) + std::string(unitAfterNumber(fahrenheit));
}

std::string afterEndText(const PeakAfterEnd& peak, bool fahrenheit) {
    if (peak.minutesToPeak == 0)
        return "After the end the inside cools at once";
    const char* minutes = peak.minutesToPeak == 1 ? " more minute, to " : " more minutes, to ";
    return "After the end the inside rises for " + std::to_string(peak.minutesToPeak) + minutes +
           temperatureText(peak.peak, fahrenheit);
}

std::string safeDwellDisplay(const SafeDwell& dwell, bool hours) {
    switch (dwell.kind) {
    case SafeDwell::Kind::NoDwellRow:
        return {};
    case SafeDwell::Kind::None:
        return "none";
    case SafeDwell::Kind::Capped:
        return "unlimited";
    case SafeDwell::Kind::Minutes:
        break;
    }
    if (hours)
        return formatPattern(static_cast<double>(dwell.minutes) / 60.0, Pattern::TwoDec) + " h";
    return std::to_string(dwell.minutes) + " min";
}

void rankBarriers(Comparison& comparison) {
    const std::vector<BarrierResult>& barriers = comparison.barriers;
    std::vector<size_t>& order = comparison.ranking;
    order.resize(barriers.size());
    for (size_t i = 0; i < order.size(); ++i)
        order[i] = i;
    std::stable_sort(order.begin(), order.end(),
                     [&](size_t a, size_t b) { return ranksBefore(barriers[a], barriers[b]); });
    comparison.recommended.reset();
    for (const size_t i : order) {
        if (barriers[i].safeByMargin) {
            comparison.recommended = i;
            break;
        }
    }
}

} // namespace kvh::core
