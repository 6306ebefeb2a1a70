#include "model.h"

#include "numbers.h"

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

int responseCase(int tracerIndex, int environIndex) { return tracerIndex + 2 * environIndex; }

double tracerLimitCelsius(const SetupState& setup) {
    return setup.tracer().isSelected(0) ? 150.0 : 140.0;
}

double tracerLimitDisplay(const SetupState& setup) {
    const double limit = tracerLimitCelsius(setup);
    return setup.fahrenheit() ? limit * 9 / 5 + 32 : limit;
}

namespace {

/// One profile step as the simulation uses it.
struct Step {
    StepCode code;
    double temp;
    int64_t minutes;
    int row;
};

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

RunError rowError(int row, std::string message) { return RunError{row, std::move(message)}; }

/// The profile as the simulation reads it: the total time, the steps and their minutes.
struct StepPlan {
    int64_t total = 0;
    std::vector<Step> steps;
    int64_t stepMinutes = 0;
};

/// Total time: every row counts, blank ones included. In hours a row is rounded after adding
/// 0.2 minute; the running sum is rounded after each row.
std::variant<StepPlan, RunError> readSteps(const Case& c) {
    const ProfileTable& table = c.profile;
    const bool hoursTotal = !c.setup.minutes();
    const bool hoursSteps = c.setup.hours();
    StepPlan plan;
    for (int r = 1; r < table.rowCount(); ++r) {
        const double time = numericValue(table.cell(r, kColTime));
        if (!fitsSingle(time))
            return rowError(r, "The time is not a number the model can use.");
        if ((hoursTotal ? time * 60 : time) < 0)
            return rowError(r, "The time is negative.");
        const double v = hoursTotal ? roundHalfEven(time * 60 + 0.2) : time;
        const double sum = roundHalfEven(static_cast<double>(plan.total) + v);
        if (sum > static_cast<double>(kMaxTotalMinutes))
            return rowError(r, "The profile runs longer than 1,000,000 minutes.");
        plan.total = static_cast<int64_t>(sum);

        const StepCode code = stepCode(table.cell(r, kColStep));
        if (code == StepCode::None)
            continue;
        const double temp = numericValue(table.cell(r, kColTemp));
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

Barrier barrierOf(const SetupState& setup) {
    const ModelParams params = buildModelParams();
    const auto& row = params[static_cast<size_t>(setup.modelIndex())];
    const auto rc = static_cast<size_t>(responseCase(setup.tracerIndex(), setup.environIndex()));
    return {row[rc], row[4 + rc], row[8 + rc]};
}

/// The barrier a run uses, or why there is none.
std::variant<Barrier, RunError> chooseBarrier(const SetupState& setup) {
    const int mi = setup.modelIndex(), ti = setup.tracerIndex(), ei = setup.environIndex();
    if (mi < 0 || mi >= kParamRows || ti < 0 || ti > 1 || ei < 0 || ei > 1)
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

/// Storage for the three series, reused from an earlier result when one is handed in.
void prepareSeries(RunResult& run, RunResult& recycled, size_t size, bool keepStages) {
    run.process = std::move(recycled.process);
    run.process.resize(size);
    if (!keepStages)
        return;
    // Every cell not written later must read 0: the lead-in of the stages and whatever lies
    // beyond the last minute written. The rest is overwritten, so it is not cleared first.
    run.intermediate = std::move(recycled.intermediate);
    run.internal = std::move(recycled.internal);
    run.intermediate.resize(size);
    run.internal.resize(size);
}

/// Writes the process series from the plan: the lead-in at the start temperature, the steps,
/// the last value held to TotalMinutes + 20, zeros after.
std::optional<RunError> fillProcess(std::vector<float>& series, const StepPlan& plan,
                                    float startTemp) {
    float* process = series.data();
    std::fill(process, process + kLeadIn + 1, startTemp);
    int64_t p = kLeadIn;
    for (const Step& s : plan.steps) {
        if (s.code == StepCode::Ramp) {
            // From the minute before the step, in equal steps; each sum stored single.
            const double rate = (s.temp - process[p - 1]) / static_cast<double>(s.minutes);
            for (int64_t t = p; t <= p + s.minutes; ++t)
                process[t] = static_cast<float>(process[t - 1] + rate);
            if (!std::isfinite(process[p + s.minutes]))
                return rowError(s.row, "The ramp leaves the range of numbers the model can use.");
        } else {
            std::fill(process + p, process + p + s.minutes + 1, static_cast<float>(s.temp));
        }
        p += s.minutes;
    }
    for (int64_t t = p; t <= plan.total + 20; ++t)
        process[t] = process[p];
    const int64_t lastWritten = std::max(p, plan.total + 20);
    std::fill(process + lastWritten + 1, process + series.size(), 0.0f);
    return std::nullopt;
}

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

struct Maxima {
    float internal = 0.111f;
    float dwell = 0.111f;
};

/// Dead time, then the outer and the inner stage, minute by minute from the end of the
/// lead-in to `end`; `keep` sees every minute. The maxima are taken over the same minutes
/// whatever is kept, so they do not depend on whether the series are stored.
template <class Keep>
Maxima runStages(const float* process, const Barrier& b, float startTemp, int64_t processEnd,
                 int64_t end, Keep& keep) {
    // Both stages start where the lead-in left the barrier: at the start temperature, not at the
    // first minute of the step that follows it.
    Stages stages(b, startTemp, startTemp);
    const DelayedIndex delayed(b.deadTime);
    Maxima max;
    for (int64_t t = kLeadIn + 1; t <= end; ++t) {
        stages.step(process[delayed(t)]);
        const float in = stages.in();
        keep(t, stages.mid(), in);
        if (t < processEnd && in > max.internal)
            max.internal = in;
        if (in > max.dwell)
            max.dwell = in;
    }
    return max;
}

/// Runs the stages over a filled process series, into the result's series or (without
/// `keepStages`) only into the maxima and the final rate.
void runAndMeasure(RunResult& run, const Barrier& b, float startTemp, bool keepStages) {
    const int64_t processEnd = run.totalMinutes + kLeadIn;
    const int64_t end = run.totalMinutes + kTail;
    Maxima max;
    if (keepStages) {
        float* mid = run.intermediate.data();
        float* in = run.internal.data();
        std::fill(mid, mid + kLeadIn, 0.0f);
        std::fill(in, in + kLeadIn, 0.0f);
        std::fill(mid + end + 1, mid + run.intermediate.size(), 0.0f);
        std::fill(in + end + 1, in + run.internal.size(), 0.0f);
        mid[kLeadIn] = startTemp;
        in[kLeadIn] = startTemp;
        KeepStages keep{mid, in};
        max = runStages(run.process.data(), b, startTemp, processEnd, end, keep);
        run.finalRate = in[processEnd] - in[processEnd - 1];
    } else {
        // The lead-in reads 0 before its last minute, which holds the start temperature.
        const auto leadIn = [&](int64_t t) { return t == kLeadIn ? startTemp : 0.0f; };
        KeepFinalMinutes keep{processEnd - 1, {leadIn(processEnd - 1), leadIn(processEnd)}};
        max = runStages(run.process.data(), b, startTemp, processEnd, end, keep);
        run.finalRate = keep.in[1] - keep.in[0];
    }
    run.maxInternal = max.internal;
    run.maxDwell = max.dwell;
}

RunOutcome runCase(const Case& c, RunResult recycled, bool keepStages) {
    if (c.profile.rowCount() < 2)
        return rowError(0, "The profile has no rows.");
    auto barrier = chooseBarrier(c.setup);
    if (auto* error = std::get_if<RunError>(&barrier))
        return std::move(*error);
    auto read = readSteps(c);
    if (auto* error = std::get_if<RunError>(&read))
        return std::move(*error);
    const StepPlan& plan = std::get<StepPlan>(read);
    const double startTemp = numericValue(c.profile.cell(1, kColTemp));
    if (!fitsSingle(startTemp))
        return rowError(1, "The temperature is not a number the model can use.");

    // The steps may run past the end when rounding differs from the total; storage covers both.
    const int64_t end = plan.total + kTail;
    const auto size = static_cast<size_t>(std::max(end, kLeadIn + plan.stepMinutes) + 1);
    RunResult run;
    run.totalMinutes = plan.total;
    prepareSeries(run, recycled, size, keepStages);
    if (auto error = fillProcess(run.process, plan, static_cast<float>(startTemp)))
        return std::move(*error);
    runAndMeasure(run, std::get<Barrier>(barrier), static_cast<float>(startTemp), keepStages);
    run.limit = tracerLimitDisplay(c.setup);
    return run;
}

} // namespace

RunOutcome runModel(const Case& c, RunResult recycled) {
    return runCase(c, std::move(recycled), true);
}

RunOutcome runModelMaxima(const Case& c) {
    return runCase(c, {}, false);
}

Evaluation evaluate(const RunResult& run, const SetupState& setup) {
    const bool f = setup.fahrenheit();
    const std::string unit = f ? "\u00b0 F" : "\u00b0 C";
    const double limit = run.limit;
    Evaluation e;
    e.summary = "Maximum Internal Temperature = " + formatPattern(run.maxInternal, Pattern::OneDec) +
                "  Limit = " + formatPattern(limit, Pattern::Whole) + unit + "\r\n" +
                "Final Rate of change:  " + formatPattern(run.finalRate, Pattern::TwoDec) +
                (f ? " \u00b0F/min" : " \u00b0C/min");
    e.pass = run.maxInternal < limit;
    e.verdict = e.pass ? "PASS" : "FAIL";
    if (e.pass && run.maxDwell > limit)
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

PeakAfterEnd peakAfterEnd(const RunResult& run, const SetupState& setup) {
    const Barrier barrier = barrierOf(setup);
    const DelayedIndex delayed(barrier.deadTime);
    const int64_t e = run.totalMinutes + kLeadIn;
    const int64_t stored = run.totalMinutes + kTail;
    const auto processAt = [&run](int64_t i) {
        return i >= 0 && static_cast<size_t>(i) < run.process.size()
                   ? run.process[static_cast<size_t>(i)]
                   : 0.0f;
    };
    // The stages go on exactly as in the run, from the last minute it stored.
    Stages stages(barrier, run.intermediate[static_cast<size_t>(stored)],
                  run.internal[static_cast<size_t>(stored)]);
    float previous = run.internal[static_cast<size_t>(e)];
    PeakAfterEnd peak{previous, 0};
    for (int64_t t = e + 1; t < e + kPeakSearchMinutes; ++t) {
        float now = 0.0f;
        if (t <= stored) {
            now = run.internal[static_cast<size_t>(t)];
        } else {
            stages.step(processAt(delayed(t)));
            now = stages.in();
        }
        if (now < previous)
            break;
        if (now > peak.peak)
            peak = {now, t - e};
        previous = now;
    }
    return peak;
}

} // namespace kvh::core
