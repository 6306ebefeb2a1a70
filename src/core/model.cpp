#include "model.h"

#include "numbers.h"
#include "process_series.h"

#include <algorithm>
#include <cmath>
#include <optional>

namespace kvh::core {

ModelParams buildModelParams() {
    ModelParams p{};
    // Tracer type 1 in air (case 1): dead time, outer and inner coefficient in percent.
    const float deadTime1[] = {10, 15, 10, 10, 6, 2};
    const double outer1[] = {4.8, 2.8, 5, 8, 7, 7.2};
    const double inner1[] = {0.88, 0.48, 0.2, 1.8, 3.6, 0.88};
    for (size_t m = 0; m < 6; ++m) {
        p[m][1] = deadTime1[m];
        p[m][5] = static_cast<float>(outer1[m] / 100);
        p[m][9] = static_cast<float>(inner1[m] / 100);
    }
    // Liquid with tracer type 1 (case 3), from case 1. Each product in double, stored single.
    for (size_t m = 0; m < 6; ++m) {
        p[m][3] = static_cast<float>(static_cast<double>(p[m][1]) * 0.5);
        p[m][7] = static_cast<float>(static_cast<double>(p[m][5]) * 2.5);
        p[m][11] = static_cast<float>(static_cast<double>(p[m][9]) * 2.5);
    }
    // Tracer type 0 in air (case 0), models 0 to 3 only.
    const float deadTime0[] = {3, 7, 8, 5};
    const double outer0[] = {7, 3.3, 5, 6.6};
    const double inner0[] = {1.03, 0.5, 0.21, 2.05};
    for (size_t m = 0; m < 4; ++m) {
        p[m][0] = deadTime0[m];
        p[m][4] = static_cast<float>(outer0[m] / 100);
        p[m][8] = static_cast<float>(inner0[m] / 100);
    }
    // Tracer type 0 in liquid (case 2), derived from case 1 with the liquid factor 0.8.
    for (size_t m = 0; m < 4; ++m) {
        p[m][2] = static_cast<float>((0.5 / 0.8) * static_cast<double>(p[m][1]));
        p[m][6] = static_cast<float>((0.8 * 2.5) * static_cast<double>(p[m][5]));
        p[m][10] = static_cast<float>((0.8 * 2.5) * static_cast<double>(p[m][9]));
    }
    return p;
}

int responseCase(int tracerIndex, int environIndex) {
    return tracerIndex + 2 * environIndex;
}

double tracerLimitCelsius(const SetupState& setup) {
    return setup.tracer().isSelected(0) ? 150.0 : 140.0;
}

double tracerLimitDisplay(const SetupState& setup) {
    const double limit = tracerLimitCelsius(setup);
    return setup.fahrenheit() ? limit * 9 / 5 + 32 : limit;
}

namespace {

/// The delayed minute index, round(t - D) half to even, without a division or fmod per minute.
class DelayedIndex {
public:
    explicit DelayedIndex(float deadTime) {
        const double d = deadTime;
        m_whole = static_cast<int64_t>(std::floor(d));
        const double frac = d - std::floor(d);
        m_mode = frac < 0.5 ? Mode::Down : frac > 0.5 ? Mode::Up : Mode::Tie;
    }
    int64_t operator()(int64_t t) const {
        const int64_t base = t - m_whole; // t - D lies in [base - 1, base]
        switch (m_mode) {
        case Mode::Down:
            return base;
        case Mode::Up:
            return base - 1;
        case Mode::Tie:
            return (base - 1) % 2 == 0 ? base - 1 : base;
        }
        return base;
    }

private:
    enum class Mode { Down, Up, Tie };
    int64_t m_whole = 0;
    Mode m_mode = Mode::Down;
};

RunError rowError(int row, std::string message) {
    return RunError{row, std::move(message)};
}

/// Total time: every row counts, blank ones included. In hours a row is rounded after adding
/// 0.2 minute; the running sum is rounded after each row.
std::variant<StepPlan, RunError> readSteps(const Case& c, double tempOffset = 0.0) {
    const ProfileTable& table = c.profile;
    const bool hoursTotal = !c.setup.minutes();
    const bool hoursSteps = c.setup.hours();
    StepPlan plan;
    plan.steps.reserve(static_cast<size_t>(table.rowCount()));
    for (int r = 1; r < table.rowCount(); ++r) {
        const ProfileTable::RowValues& row = table.values(r);
        const double time = row.time;
        if (!fitsSingle(time))
            return rowError(r, "The time is not a number the model can use.");
        if ((hoursTotal ? time * 60 : time) < 0)
            return rowError(r, "The time is negative.");
        const double v = hoursTotal ? roundHalfEven(time * 60 + 0.2) : time;
        const double sum = roundHalfEven(static_cast<double>(plan.total) + v);
        if (sum > static_cast<double>(kMaxTotalMinutes))
            return rowError(r, "The profile runs longer than 1,000,000 minutes.");
        plan.total = static_cast<int64_t>(sum);

        const StepCode code = row.step;
        if (code == StepCode::None)
            continue;
        // No offset leaves a negative zero as it is.
        const double temp = tempOffset == 0.0 ? row.temp : row.temp + tempOffset;
        if (!fitsSingle(temp))
            return rowError(r, "The temperature is not a number the model can use.");
        const double duration = roundHalfEven(hoursSteps ? time * 60 : time);
        if (code == StepCode::Ramp && duration == 0)
            return rowError(r, "A \"Ramp to Temp\" step needs a time of at least one minute.");
        if (static_cast<double>(plan.stepMinutes) + duration >
            static_cast<double>(kMaxTotalMinutes))
            return rowError(r, "The profile runs longer than 1,000,000 minutes.");
        const auto minutes = static_cast<int64_t>(duration);
        plan.steps.push_back({code, temp, minutes, r});
        plan.stepMinutes += minutes;
    }
    return plan;
}

/// "The 7210 has no data for the Tessel II or VTX tracer in Air."
std::string noDataMessage(const SetupState& setup) {
    const int mi = setup.modelIndex();
    const std::string model =
        mi < kModelCount ? std::string(kModelCaptions[static_cast<size_t>(mi)].substr(0, 4))
                         : "chosen barrier";
    return "The " + model + " has no data for the " +
           std::string(kTracerCaptions[static_cast<size_t>(setup.tracerIndex())]) + " tracer in " +
           std::string(kEnvironCaptions[static_cast<size_t>(setup.environIndex())]) + ".";
}

} // namespace

std::variant<int64_t, RunError> totalMinutes(const Case& c) {
    auto plan = readSteps(c);
    if (const auto* error = std::get_if<RunError>(&plan))
        return *error;
    return std::get<StepPlan>(plan).total;
}

namespace {

/// The chosen barrier's coefficients: dead time in minutes, outer and inner stage factors.
struct Barrier {
    float deadTime = 0;
    double outer = 0;
    double inner = 0;
};

Barrier barrierOf(const BarrierCoefficients& c) {
    return {c.deadTime, c.outer, c.inner};
}

bool knownSetup(const SetupState& setup) {
    const int mi = setup.modelIndex(), ti = setup.tracerIndex(), ei = setup.environIndex();
    return mi >= 0 && mi < kParamRows && ti >= 0 && ti <= 1 && ei >= 0 && ei <= 1;
}

Barrier barrierOf(const SetupState& setup) {
    return barrierOf(tableBarrier(setup));
}

/// The barrier a run uses, or why there is none.
std::variant<Barrier, RunError> chooseBarrier(const SetupState& setup) {
    if (!knownSetup(setup))
        return rowError(0, "The setup names no known model.");
    const Barrier b = barrierOf(setup);
    // A barrier without data for this tracer and environment would hold both stages still and
    // pass any profile; it gets no verdict.
    if (b.deadTime == 0 && b.outer == 0 && b.inner == 0)
        return rowError(0, noDataMessage(setup));
    return b;
}

/// Both first-order stages, one minute at a time: each step in double from single values,
/// stored single. The run and the search after its end share this arithmetic.
class Stages {
public:
    Stages(const Barrier& b, float mid, float in)
        : m_outer(b.outer), m_inner(b.inner), m_mid(mid), m_in(in) {}
    /// Advances one minute on the process temperature the dead time hands on.
    void step(float delayedProcess) {
        m_mid = static_cast<float>((delayedProcess - m_mid) * m_outer + m_mid);
        m_in = static_cast<float>((m_mid - m_in) * m_inner + m_in);
    }
    float mid() const { return static_cast<float>(m_mid); }
    float in() const { return static_cast<float>(m_in); }

private:
    double m_outer, m_inner;
    // The previous minute's values stay in registers: each stage is a serial chain, and a
    // reload through memory would add a store-to-load delay to every minute.
    double m_mid, m_in;
};

/// Keeps every minute of both stages in the result's series.
struct KeepStages {
    float* mid;
    float* in;
    void operator()(int64_t t, float m, float i) const {
        mid[t] = m;
        in[t] = i;
    }
};

/// Keeps only the two internal minutes the final rate needs.
struct KeepFinalMinutes {
    int64_t first; ///< the minute before the profile's end
    std::array<float, 2> in;
    void operator()(int64_t t, float, float i) {
        if (static_cast<uint64_t>(t - first) < 2)
            in[static_cast<size_t>(t - first)] = i;
    }
};

/// Both stages through the minutes of a run, with the maxima so far.
struct StageRun {
    Stages stages;
    DelayedIndex delayed;
    int64_t processEnd; ///< TotalMinutes + 60: the internal maximum is taken before it, and at
                        ///< the start minute 60 whatever the profile's length
    float maxInternal = kMaximumFloor;
    float maxDwell = kMaximumFloor;
};

/// Dead time, then the outer and the inner stage, minutes `from` to `to`; the process series
/// holds minute i at process[i - offset], and `keep` sees every minute. The maxima are taken
/// the same way whatever is kept, so they do not depend on whether the series are stored.
template <class Keep>
void runStages(StageRun& run, const float* process, int64_t offset, int64_t from, int64_t to,
               Keep& keep) {
    Stages stages = run.stages;
    const DelayedIndex delayed = run.delayed;
    const int64_t processEnd = run.processEnd;
    float maxInternal = run.maxInternal, maxDwell = run.maxDwell;
    for (int64_t t = from; t <= to; ++t) {
        stages.step(process[delayed(t) - offset]);
        const float in = stages.in();
        keep(t, stages.mid(), in);
        if (t < processEnd && in > maxInternal)
            maxInternal = in;
        if (in > maxDwell)
            maxDwell = in;
    }
    run.stages = stages;
    run.maxInternal = maxInternal;
    run.maxDwell = maxDwell;
}

StageRun startStages(const Barrier& b, float startTemp, int64_t total) {
    // Both stages start where the lead-in left the barrier: at the start temperature, not at the
    // first minute of the step that follows it. That start minute counts in both maxima, so a
    // barrier that is hot from the start never reads cooler than it began.
    StageRun run{Stages(b, startTemp, startTemp), DelayedIndex(b.deadTime), total + kLeadIn};
    if (startTemp > run.maxInternal)
        run.maxInternal = run.maxDwell = startTemp;
    return run;
}

std::optional<RunError> rampError(const ProcessSeries& process) {
    if (const auto& error = process.error())
        return rowError(error->row, "The ramp leaves the range of numbers the model can use.");
    return std::nullopt;
}

/// The whole run into the result's three series. Storage handed in is reused: every cell not
/// written here reads 0 (the stages' lead-in, whatever lies past the last minute).
std::optional<RunError> runKeepingSeries(RunResult& run, RunResult& recycled, const StepPlan& plan,
                                         const Barrier& b, float startTemp, float stageStart) {
    // The steps may run past the end when rounding differs from the total; storage covers both.
    const int64_t end = plan.total + kTail;
    const auto size = static_cast<size_t>(std::max(end, kLeadIn + plan.stepMinutes) + 1);
    run.process = std::move(recycled.process);
    run.intermediate = std::move(recycled.intermediate);
    run.internal = std::move(recycled.internal);
    for (std::vector<float>* series : {&run.process, &run.intermediate, &run.internal})
        series->resize(size);
    ProcessSeries process(plan, startTemp);
    process.write(run.process.data(), static_cast<int64_t>(size));
    if (auto error = rampError(process))
        return error;
    float* mid = run.intermediate.data();
    float* in = run.internal.data();
    std::fill(mid, mid + kLeadIn, 0.0f);
    std::fill(in, in + kLeadIn, 0.0f);
    std::fill(mid + end + 1, mid + size, 0.0f);
    std::fill(in + end + 1, in + size, 0.0f);
    mid[kLeadIn] = stageStart;
    in[kLeadIn] = stageStart;
    StageRun stages = startStages(b, stageStart, plan.total);
    KeepStages keep{mid, in};
    runStages(stages, run.process.data(), 0, kLeadIn + 1, end, keep);
    run.maxInternal = stages.maxInternal;
    run.maxDwell = stages.maxDwell;
    run.finalRate = in[stages.processEnd] - in[stages.processEnd - 1];
    return std::nullopt;
}

/// Minutes of the process series held at a time when the series are not kept.
constexpr int64_t kChunk = 4096;
/// Minutes before a chunk that the dead time may reach back to (at most 16).
constexpr int64_t kReach = 32;

/// The same run keeping nothing but the maxima and the final rate: the process series passes
/// through a small window, the stages through registers.
std::optional<RunError> runKeepingMaxima(RunResult& run, const StepPlan& plan, const Barrier& b,
                                         float startTemp, float stageStart) {
    const int64_t end = plan.total + kTail;
    StageRun stages = startStages(b, stageStart, plan.total);
    // The stages read 0 before the lead-in's last minute, which holds their start.
    const auto leadIn = [&](int64_t t) { return t == kLeadIn ? stageStart : 0.0f; };
    const int64_t processEnd = stages.processEnd;
    KeepFinalMinutes keep{processEnd - 1, {leadIn(processEnd - 1), leadIn(processEnd)}};
    ProcessSeries process(plan, startTemp);
    std::vector<float> window(static_cast<size_t>(kReach + kChunk));
    // The lead-in ends the window, where each chunk finds the minutes before it.
    process.write(window.data() + kReach + kChunk - (kLeadIn + 1), kLeadIn + 1);
    for (int64_t from = kLeadIn + 1; from <= end; from += kChunk) {
        const int64_t to = std::min(end, from + kChunk - 1);
        std::copy(window.end() - kReach, window.end(), window.begin());
        process.write(window.data() + kReach, to - from + 1);
        runStages(stages, window.data(), from - kReach, from, to, keep);
    }
    // A ramp past the end still has to stay in range.
    for (int64_t rest = kLeadIn + plan.stepMinutes + 1 - process.nextMinute(); rest > 0;
         rest -= kChunk)
        process.write(window.data(), std::min(rest, kChunk));
    if (auto error = rampError(process))
        return error;
    run.maxInternal = stages.maxInternal;
    run.maxDwell = stages.maxDwell;
    run.finalRate = keep.in[1] - keep.in[0];
    return std::nullopt;
}

RunOutcome runCase(const Case& c, const RunInputs& inputs, RunResult recycled, bool keepSeries) {
    if (c.profile.rowCount() < 2)
        return rowError(0, "The profile has no rows.");
    // Barrier values given (a calibrated barrier, a "what if") stand in for the table's.
    auto barrier = inputs.barrier ? std::variant<Barrier, RunError>(barrierOf(*inputs.barrier))
                                  : chooseBarrier(c.setup);
    if (auto* error = std::get_if<RunError>(&barrier))
        return std::move(*error);
    auto read = readSteps(c, inputs.tempOffset);
    if (auto* error = std::get_if<RunError>(&read))
        return std::move(*error);
    const StepPlan& plan = std::get<StepPlan>(read);
    const ProfileTable::RowValues& first = c.profile.values(1);
    const double startTemp = inputs.tempOffset == 0.0 || first.step == StepCode::None
                                 ? first.temp
                                 : first.temp + inputs.tempOffset;
    if (!fitsSingle(startTemp))
        return rowError(1, "The temperature is not a number the model can use.");
    if (inputs.stageStart && !std::isfinite(*inputs.stageStart))
        return rowError(0, "The start of the barrier is not a number the model can use.");

    RunResult run;
    run.totalMinutes = plan.total;
    run.limit = tracerLimitDisplay(c.setup);
    const Barrier& b = std::get<Barrier>(barrier);
    const auto start = static_cast<float>(startTemp);
    const float stageStart = inputs.stageStart.value_or(start);
    auto error = keepSeries ? runKeepingSeries(run, recycled, plan, b, start, stageStart)
                            : runKeepingMaxima(run, plan, b, start, stageStart);
    if (error)
        return std::move(*error);
    return run;
}

} // namespace

RunOutcome runModel(const Case& c, RunResult recycled) {
    return runCase(c, RunInputs{}, std::move(recycled), true);
}

RunOutcome runModelMaxima(const Case& c) {
    return runCase(c, RunInputs{}, {}, false);
}

RunOutcome runModel(const Case& c, const RunInputs& inputs, RunResult recycled) {
    return runCase(c, inputs, std::move(recycled), true);
}

RunOutcome runModelMaxima(const Case& c, const RunInputs& inputs) {
    return runCase(c, inputs, {}, false);
}

std::variant<BarrierValues, RunError> barrierValues(const SetupState& setup) {
    auto barrier = chooseBarrier(setup);
    if (auto* error = std::get_if<RunError>(&barrier))
        return std::move(*error);
    const Barrier& b = std::get<Barrier>(barrier);
    // The coefficients were single before they were widened: narrowing gives them back.
    return BarrierValues{b.deadTime, static_cast<float>(b.outer), static_cast<float>(b.inner)};
}

RunOutcome runModelWith(const Case& c, const BarrierCoefficients& barrier, RunResult recycled) {
    RunInputs inputs;
    inputs.barrier = barrier;
    return runCase(c, inputs, std::move(recycled), true);
}

BarrierCoefficients tableBarrier(const SetupState& setup) {
    if (!knownSetup(setup))
        return {};
    const ModelParams params = buildModelParams();
    const auto& row = params[static_cast<size_t>(setup.modelIndex())];
    const auto rc = static_cast<size_t>(responseCase(setup.tracerIndex(), setup.environIndex()));
    return {row[rc], row[4 + rc], row[8 + rc]};
}

Evaluation evaluate(const RunResult& run, const SetupState& setup) {
    const bool f = setup.fahrenheit();
    const std::string unit = f ? "\u00b0 F" : "\u00b0 C";
    const double limit = run.limit;
    Evaluation e;
    e.summary =
        "Maximum Internal Temperature = " + formatPattern(run.maxInternal, Pattern::OneDec) +
        "  Limit = " + formatPattern(limit, Pattern::Whole) + unit + "\r\n" +
        "Final Rate of change:  " + formatPattern(run.finalRate, Pattern::TwoDec) +
        (f ? " \u00b0F/min" : " \u00b0C/min");
    e.pass = run.maxInternal < limit;
    e.verdict = e.pass ? "PASS" : "FAIL";
    e.warning = e.pass && run.maxDwell > limit;
    if (e.warning)
        e.summary += "\r\nWARNING:  Tracer will reach " +
                     formatPattern(run.maxDwell, Pattern::Whole) + unit +
                     " if allowed to dwell in thermal barrier!";
    return e;
}

std::string describeError(const RunError& error) {
    if (error.row <= 0)
        return error.message;
    return "Profile row " + std::to_string(error.row) + ": " + error.message;
}

} // namespace kvh::core

namespace kvh::core {

namespace {

/// Both stages of a run past its stored series, one minute at a time, with the run's own
/// arithmetic; the process reads 0 beyond its stored minutes.
class AfterStored {
public:
    AfterStored(const RunResult& run, const BarrierCoefficients& barrier)
        : m_run(run), m_barrier(barrierOf(barrier)), m_delayed(m_barrier.deadTime),
          m_t(run.totalMinutes + kTail),
          m_stages(m_barrier, run.intermediate[static_cast<size_t>(m_t)],
                   run.internal[static_cast<size_t>(m_t)]) {}

    /// The internal temperature of the next minute.
    float next() {
        ++m_t;
        const int64_t i = m_delayed(m_t);
        const bool stored = i >= 0 && static_cast<size_t>(i) < m_run.process.size();
        m_stages.step(stored ? m_run.process[static_cast<size_t>(i)] : 0.0f);
        return m_stages.in();
    }

private:
    const RunResult& m_run;
    Barrier m_barrier;
    DelayedIndex m_delayed;
    int64_t m_t; ///< the last minute computed
    Stages m_stages;
};

} // namespace

PeakAfterEnd peakAfterEnd(const RunResult& run, const SetupState& setup) {
    return peakAfterEnd(run, tableBarrier(setup));
}

PeakAfterEnd peakAfterEnd(const RunResult& run, const BarrierCoefficients& coefficients) {
    const int64_t e = run.totalMinutes + kLeadIn;
    const int64_t stored = run.totalMinutes + kTail;
    AfterStored after(run, coefficients);
    float previous = run.internal[static_cast<size_t>(e)];
    PeakAfterEnd peak{previous, 0};
    for (int64_t t = e + 1; t < e + kPeakSearchMinutes; ++t) {
        float now = t <= stored ? run.internal[static_cast<size_t>(t)] : after.next();
        // The inside of a barrier below zero creeps up to 0 without reaching it, down to
        // numbers too small to print as anything but noise: those read as 0.
        if (std::fpclassify(now) == FP_SUBNORMAL)
            now = 0.0f;
        if (now < previous)
            break;
        if (now > peak.peak)
            peak = {now, t - e};
        previous = now;
    }
    return peak;
}

std::vector<float> internalAfterStored(const RunResult& run, const SetupState& setup,
                                       int64_t count) {
    return internalAfterStored(run, tableBarrier(setup), count);
}

std::vector<float> internalAfterStored(const RunResult& run, const BarrierCoefficients& barrier,
                                       int64_t count) {
    std::vector<float> out;
    if (count <= 0)
        return out;
    out.reserve(static_cast<size_t>(count));
    AfterStored after(run, barrier);
    for (int64_t k = 0; k < count; ++k)
        out.push_back(after.next());
    return out;
}

} // namespace kvh::core
