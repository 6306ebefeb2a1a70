#include "advisor.h"

#include "numbers.h"

#include <algorithm>
#include <charconv>

namespace kvh::core {

namespace {

/// What one trial dwell gives.
enum class Trial { Safe, Unsafe, TooLong };

/// PASS and no dwell warning, decided as the evaluation decides them.
bool runSafe(const RunResult& run) {
    const bool pass = run.maxInternal < run.limit;
    return pass && !(run.maxDwell > run.limit);
}

/// A dwell of m whole minutes as the time cell holds it: m, or m / 60 in hours.
std::string dwellTimeText(int64_t minutes, bool hours) {
    char buffer[64];
    const auto result =
        hours ? std::to_chars(buffer, buffer + sizeof buffer, static_cast<double>(minutes) / 60.0)
              : std::to_chars(buffer, buffer + sizeof buffer, minutes);
    return std::string(buffer, result.ptr);
}

/// Runs the case with trial dwells at one row, reusing the series storage between runs.
class DwellTrials {
public:
    DwellTrials(const Case& c, int row, std::optional<BarrierCoefficients> barrier)
        : m_case(c), m_row(row), m_barrier(barrier) {}

    Trial operator()(int64_t minutes) {
        setDwell(minutes);
        if (!runnable())
            return Trial::TooLong;
        RunOutcome outcome = m_barrier ? runModelWith(m_case, *m_barrier, std::move(m_spare))
                                       : runModel(m_case, std::move(m_spare));
        auto* run = std::get_if<RunResult>(&outcome);
        if (run == nullptr) {
            m_spare = {};
            return Trial::Unsafe;
        }
        const bool safe = runSafe(*run);
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

private:
    void setDwell(int64_t minutes) {
        m_case.profile.setCell(m_row, kColTime, dwellTimeText(minutes, m_case.setup.hours()));
    }
    bool runnable() const { return std::holds_alternative<int64_t>(totalMinutes(m_case)); }

    Case m_case;
    int m_row;
    std::optional<BarrierCoefficients> m_barrier; ///< a calibrated barrier, else the table's
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

std::vector<size_t> rankByMargin(const std::vector<BarrierResult>& barriers) {
    std::vector<size_t> order(barriers.size());
    for (size_t i = 0; i < order.size(); ++i)
        order[i] = i;
    std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) {
        return barriers[a].margin() > barriers[b].margin();
    });
    return order;
}

/// One run's figures; `barrier` is a calibrated barrier for the case's own model, or none for
/// the table's.
BarrierResult barrierResult(const Case& one, RunResult& run, bool withSafeDwell,
                            std::optional<BarrierCoefficients> barrier) {
    BarrierResult b;
    b.model = one.setup.modelIndex();
    b.maxInternal = run.maxInternal;
    b.maxDwell = run.maxDwell;
    b.limit = run.limit;
    b.pass = run.maxInternal < run.limit;
    b.warning = b.pass && run.maxDwell > run.limit;
    const PeakAfterEnd peak = barrier ? peakAfterEnd(run, *barrier) : peakAfterEnd(run, one.setup);
    b.peakAfterEnd = peak.peak;
    b.minutesToPeak = peak.minutesToPeak;
    if (withSafeDwell)
        b.safeDwell = findSafeDwell(one, barrier);
    run.internal.resize(static_cast<size_t>(run.totalMinutes + kTail + 1));
    b.internal = std::move(run.internal);
    return b;
}

std::optional<BarrierResult> runBarrier(const Case& c, int model, bool withSafeDwell,
                                        RunError& error) {
    Case one = c;
    one.setup.selectModel(model);
    RunOutcome outcome = runModel(one);
    if (auto* failed = std::get_if<RunError>(&outcome)) {
        error = *failed;
        return std::nullopt;
    }
    return barrierResult(one, std::get<RunResult>(outcome), withSafeDwell, std::nullopt);
}

} // namespace

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

bool caseSafe(const Case& c) {
    const RunOutcome outcome = runModel(c);
    const auto* run = std::get_if<RunResult>(&outcome);
    return run != nullptr && runSafe(*run);
}

SafeDwell findSafeDwell(const Case& c) {
    return findSafeDwell(c, std::nullopt);
}

std::variant<BarrierResult, RunError> calibratedBarrierResult(const Case& c,
                                                              const BarrierCoefficients& barrier,
                                                              std::string name,
                                                              bool withSafeDwell) {
    RunOutcome outcome = runModelWith(c, barrier);
    if (auto* failed = std::get_if<RunError>(&outcome))
        return *failed;
    BarrierResult b = barrierResult(c, std::get<RunResult>(outcome), withSafeDwell, barrier);
    b.calibrated = std::move(name);
    return b;
}

SafeDwell findSafeDwell(const Case& c, std::optional<BarrierCoefficients> barrier) {
    const int row = hottestDwellRow(c.profile);
    if (row == 0)
        return {SafeDwell::Kind::NoDwellRow, 0};
    DwellTrials trials(c, row, barrier);
    if (trials(0) != Trial::Safe)
        return {SafeDwell::Kind::None, 0};
    // From one minute on, a longer dwell only repeats the dwell's temperature: the process
    // takes no new value. Each stage is a weighted mean of its last value and its input
    // (coefficients between 0 and 1), so neither stage ever passes the hottest process
    // temperature, and rounding to the nearest single cannot carry it past a single-precision
    // bound. Below the limit, every dwell is safe: the answer is the cap, found without
    // simulating the long dwells.
    if (trials(1) == Trial::Safe &&
        trials.lastProcessMax() < static_cast<float>(tracerLimitDisplay(c.setup)))
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

ComparisonOutcome compareBarriers(const Case& c, bool withSafeDwell) {
    Comparison result;
    RunError error;
    for (const int model : offeredBarriers(c.setup)) {
        std::optional<BarrierResult> b = runBarrier(c, model, withSafeDwell, error);
        if (!b)
            return error;
        result.barriers.push_back(std::move(*b));
    }
    result.totalMinutes = static_cast<int64_t>(result.barriers.front().internal.size()) - kTail - 1;
    result.ranking = rankByMargin(result.barriers);
    for (const size_t i : result.ranking) {
        if (result.barriers[i].safe()) {
            result.recommended = i;
            break;
        }
    }
    return result;
}

} // namespace kvh::core
