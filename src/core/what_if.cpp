#include "what_if.h"

#include "numbers.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace kvh::core {

namespace {

constexpr std::array<std::string_view, kVariationCount> kVariationNames = {
    "as_entered",    "process_plus", "process_minus",  "dwell_longer",
    "dwell_shorter", "start_warm",   "dead_time_plus", "dead_time_minus",
    "outer_plus",    "outer_minus",  "inner_plus",     "inner_minus"};

/// How each variation reads after "if " in the worst case's sentence; %T is the temperature
/// step with its unit.
constexpr std::array<std::string_view, kVariationCount> kVariationWords = {
    "as entered",
    "the oven runs %T hot",
    "the oven runs %T cool",
    "the hottest dwell lasts 10 % longer",
    "the hottest dwell lasts 10 % shorter",
    "the barrier starts %T warm",
    "the barrier's dead time is 1 minute longer",
    "the barrier's dead time is 1 minute shorter",
    "the outer stage's coefficient is 10 % higher",
    "the outer stage's coefficient is 10 % lower",
    "the inner stage's coefficient is 10 % higher",
    "the inner stage's coefficient is 10 % lower"};

constexpr std::string_view kWithWarning = " with the dwell warning";

/// The process step of the variations: 10 °C, as 18 °F in a Fahrenheit case.
double processStep(const SetupState& setup) {
    return setup.fahrenheit() ? 18.0 : 10.0;
}

/// The warm start above row 1's temperature: 20 °C, as 36 °F.
double warmStep(const SetupState& setup) {
    return setup.fahrenheit() ? 36.0 : 20.0;
}

RunFigures figuresOf(float maxInternal, float maxDwell, double limit, double margin) {
    RunFigures f;
    f.maxInternal = maxInternal;
    f.maxDwell = maxDwell;
    f.pass = maxInternal < limit;
    f.warning = f.pass && maxDwell > limit;
    f.safe = safeWithMargin(maxInternal, maxDwell, limit, margin);
    return f;
}

/// The hottest dwell row's time scaled in double and rounded half to even to whole minutes,
/// written as the safe-dwell search writes a dwell. Absurd products are held where the run
/// still refuses them as too long.
Case withScaledDwell(Case c, int row, double factor) {
    const double cell = c.profile.values(row).time;
    const double minutes = roundHalfEven((c.setup.hours() ? cell * 60 : cell) * factor);
    const double held = std::clamp(std::isnan(minutes) ? 0.0 : minutes, -1e15, 1e15);
    c.profile.setCell(row, kColTime, dwellTimeText(static_cast<int64_t>(held), c.setup.hours()));
    return c;
}

/// Single precision value times a factor in double, stored single, as the table is built.
float scaled(float value, double factor) {
    return static_cast<float>(static_cast<double>(value) * factor);
}

float shiftedDeadTime(float deadTime, double minutes) {
    return static_cast<float>(std::max(0.0, static_cast<double>(deadTime) + minutes));
}

RunInputs baseInputs(const WhatIfSettings& settings, const BarrierValues& barrier) {
    RunInputs inputs;
    inputs.barrier = barrier;
    inputs.stageStart = settings.stageStart;
    return inputs;
}

/// What a variation changes in the run's inputs (the dwell variations change the case).
void varyInputs(Variation v, const Case& c, RunInputs& inputs) {
    BarrierValues& b = *inputs.barrier;
    switch (v) {
    case Variation::AsEntered:
    case Variation::DwellLonger:
    case Variation::DwellShorter:
        break;
    case Variation::ProcessPlus:
    case Variation::ProcessMinus:
        inputs.tempOffset =
            v == Variation::ProcessPlus ? processStep(c.setup) : -processStep(c.setup);
        break;
    case Variation::StartWarm:
        inputs.stageStart = static_cast<float>(
            static_cast<double>(static_cast<float>(c.profile.values(1).temp)) + warmStep(c.setup));
        break;
    case Variation::DeadTimePlus:
    case Variation::DeadTimeMinus:
        b.deadTime = shiftedDeadTime(b.deadTime, v == Variation::DeadTimePlus ? 1.0 : -1.0);
        break;
    case Variation::OuterPlus:
    case Variation::OuterMinus:
        b.outer = scaled(b.outer, v == Variation::OuterPlus ? 1.1 : 0.9);
        break;
    case Variation::InnerPlus:
    case Variation::InnerMinus:
        b.inner = scaled(b.inner, v == Variation::InnerPlus ? 1.1 : 0.9);
        break;
    }
}

/// One variation's run: the case and the inputs it changes.
VariationResult runVariation(Variation v, const Case& c, RunInputs inputs, int dwellRow,
                             double margin) {
    const bool dwell = v == Variation::DwellLonger || v == Variation::DwellShorter;
    const Case changed =
        dwell ? withScaledDwell(c, dwellRow, v == Variation::DwellLonger ? 1.1 : 0.9) : Case{};
    varyInputs(v, c, inputs);
    VariationResult result;
    result.variation = v;
    const RunOutcome outcome = runModelMaxima(dwell ? changed : c, inputs);
    if (const auto* error = std::get_if<RunError>(&outcome)) {
        result.error = *error;
        return result;
    }
    const auto& r = std::get<RunResult>(outcome);
    result.figures = figuresOf(r.maxInternal, r.maxDwell, r.limit, margin);
    return result;
}

/// The barrier the settings name, or the setup's.
std::variant<BarrierValues, RunError> barrierFor(const Case& c, const WhatIfSettings& settings) {
    auto values = barrierValues(c.setup);
    if (settings.barrier && std::holds_alternative<BarrierValues>(values))
        values = *settings.barrier;
    return values;
}

std::string verdictWords(const RunFigures& f) {
    if (!f.pass)
        return "FAIL";
    return f.warning ? "PASS" + std::string(kWithWarning) : "PASS";
}

std::string wholeText(double value) {
    return formatPattern(value, Pattern::Whole);
}

} // namespace

std::string_view variationName(Variation v) {
    return kVariationNames[static_cast<size_t>(v)];
}

VariationsOutcome runVariations(const Case& c, const WhatIfSettings& settings) {
    auto barrier = barrierFor(c, settings);
    if (auto* error = std::get_if<RunError>(&barrier))
        return std::move(*error);
    const RunInputs inputs = baseInputs(settings, std::get<BarrierValues>(barrier));
    Variations result;
    result.limit = tracerLimitDisplay(c.setup);
    result.margin = marginInDisplayUnit(settings.marginCelsius, c.setup);
    const int dwellRow = hottestDwellRow(c.profile);
    for (int i = 0; i < kVariationCount; ++i) {
        const auto v = static_cast<Variation>(i);
        if (dwellRow == 0 && (v == Variation::DwellLonger || v == Variation::DwellShorter))
            continue;
        VariationResult row = runVariation(v, c, inputs, dwellRow, result.margin);
        if (v == Variation::AsEntered && row.error)
            return std::move(*row.error);
        result.rows.push_back(std::move(row));
    }
    for (size_t i = 1; i < result.rows.size(); ++i) {
        const VariationResult& row = result.rows[i];
        if (!row.error && (!result.worst || row.figures.maxInternal >
                                                result.rows[*result.worst].figures.maxInternal))
            result.worst = i;
    }
    return result;
}

std::vector<size_t> tornadoOrder(const Variations& variations) {
    const float base = variations.rows.front().figures.maxInternal;
    const auto move = [&](size_t i) {
        return std::abs(static_cast<double>(variations.rows[i].figures.maxInternal) - base);
    };
    std::vector<size_t> order;
    for (size_t i = 1; i < variations.rows.size(); ++i)
        if (!variations.rows[i].error)
            order.push_back(i);
    std::stable_sort(order.begin(), order.end(),
                     [&](size_t a, size_t b) { return move(a) > move(b); });
    return order;
}

std::string worstCaseText(const Variations& variations, bool fahrenheit) {
    std::string text = verdictWords(variations.rows.front().figures) + " as entered";
    if (!variations.worst)
        return text;
    const VariationResult& worst = variations.rows[*variations.worst];
    std::string words(kVariationWords[static_cast<size_t>(worst.variation)]);
    if (const size_t at = words.find("%T"); at != std::string::npos) {
        const bool warm = worst.variation == Variation::StartWarm;
        const double step = fahrenheit ? (warm ? 36 : 18) : (warm ? 20 : 10);
        words.replace(at, 2, wholeText(step) + std::string(unitAfterNumber(fahrenheit)));
    }
    return text + "; " + verdictWords(worst.figures) + " if " + words;
}

// ---- Back-to-back runs -----------------------------------------------------------------------

double defaultRoomTemp(const SetupState& setup) {
    return setup.fahrenheit() ? 77.0 : 25.0;
}

namespace {

std::string shortestText(double value) {
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, result.ptr);
}

/// Each run's own minutes in the sequence: run j starts at 60 + j (T + g), its maximum runs
/// over the minutes after its start up to the one before its end, its dwell maximum through
/// 20 minutes after its end, as a single run's maxima do.
std::vector<RunFigures> runFigures(const RunResult& run, int runs, int64_t total, int64_t gap,
                                   double margin) {
    std::vector<RunFigures> figures;
    const std::vector<float>& in = run.internal;
    for (int j = 0; j < runs; ++j) {
        const int64_t start = kLeadIn + j * (total + gap);
        float maxInternal = kMaximumFloor, maxDwell = kMaximumFloor;
        for (int64_t t = start + 1; t <= start + total + 20; ++t) {
            const float v = in[static_cast<size_t>(t)];
            if (t < start + total && v > maxInternal)
                maxInternal = v;
            if (v > maxDwell)
                maxDwell = v;
        }
        figures.push_back(figuresOf(maxInternal, maxDwell, run.limit, margin));
    }
    return figures;
}

enum class GapTrial { Safe, Unsafe, TooLong };

/// Runs the sequence with trial gaps, reusing the series storage between runs.
class GapTrials {
public:
    GapTrials(const Case& c, int runs, double room, int64_t total, const RunInputs& inputs,
              double margin)
        : m_case(c), m_runs(runs), m_room(room), m_total(total), m_inputs(inputs),
          m_margin(margin) {}

    /// The runs with this gap, or the error of the sequence.
    std::variant<std::vector<RunFigures>, RunError> figures(int64_t gap) {
        RunOutcome outcome =
            runModel(backToBackCase(m_case, m_runs, gap, m_room), m_inputs, std::move(m_spare));
        if (auto* error = std::get_if<RunError>(&outcome)) {
            m_spare = {};
            // The row would be one of the sequence's, not the profile's.
            return RunError{0, std::move(error->message)};
        }
        auto& run = std::get<RunResult>(outcome);
        std::vector<RunFigures> result = runFigures(run, m_runs, m_total, gap, m_margin);
        m_spare = std::move(run);
        return result;
    }

    GapTrial operator()(int64_t gap) {
        const auto result = figures(gap);
        const auto* runs = std::get_if<std::vector<RunFigures>>(&result);
        if (runs == nullptr)
            return GapTrial::TooLong;
        const bool safe =
            std::all_of(runs->begin(), runs->end(), [](const RunFigures& f) { return f.safe; });
        return safe ? GapTrial::Safe : GapTrial::Unsafe;
    }

private:
    const Case& m_case;
    int m_runs;
    double m_room;
    int64_t m_total;
    RunInputs m_inputs;
    double m_margin;
    RunResult m_spare;
};

/// The shortest safe gap: 0, else doubling from 1 to the first safe gap (the cap last), then
/// bisection between the last unsafe and the first safe one.
std::optional<int64_t> shortestSafeGap(GapTrials& trials) {
    if (trials(0) == GapTrial::Safe)
        return 0;
    int64_t unsafe = 0;
    int64_t next = 1;
    for (;;) {
        const GapTrial t = trials(next);
        if (t == GapTrial::Safe)
            break;
        if (t == GapTrial::TooLong || next == kMaxGapMinutes)
            return std::nullopt;
        unsafe = next;
        next = std::min(next * 2, kMaxGapMinutes);
    }
    int64_t safe = next;
    while (safe - unsafe > 1) {
        const int64_t mid = unsafe + (safe - unsafe) / 2;
        (trials(mid) == GapTrial::Safe ? safe : unsafe) = mid;
    }
    return safe;
}

} // namespace

Case backToBackCase(const Case& c, int runs, int64_t gapMinutes, double room) {
    Case sequence = c;
    ProfileTable& table = sequence.profile;
    const int rows = c.profile.rowCount() - 1;
    table.setRowCount(1 + runs * rows + (runs - 1));
    const std::string roomText = shortestText(room);
    const std::string gapText = dwellTimeText(gapMinutes, c.setup.hours());
    int r = 1;
    for (int j = 0; j < runs; ++j) {
        if (j > 0) {
            table.setCell(r, kColLabel, rowLabel(r));
            table.setCell(r, kColStep, std::string(kDwellText));
            table.setCell(r, kColTemp, roomText);
            table.setCell(r, kColTime, gapText);
            ++r;
        }
        for (int source = 1; source <= rows; ++source, ++r) {
            table.setCell(r, kColLabel, rowLabel(r));
            for (const int col : {kColStep, kColTemp, kColTime})
                table.setCell(r, col, c.profile.cell(source, col));
        }
    }
    return sequence;
}

BackToBackOutcome runBackToBack(const Case& c, int runs, int64_t gapMinutes, double room,
                                const WhatIfSettings& settings) {
    if (runs < kMinBackToBackRuns || runs > kMaxBackToBackRuns)
        return RunError{0, "Back-to-back runs are 2 to 20 runs."};
    if (gapMinutes < 0 || gapMinutes > kMaxTotalMinutes)
        return RunError{0, "The gap between runs is 0 to 1,000,000 minutes."};
    if (!fitsSingle(room))
        return RunError{0, "The room temperature is not a number the model can use."};
    auto barrier = barrierFor(c, settings);
    if (auto* error = std::get_if<RunError>(&barrier))
        return std::move(*error);
    // The profile on its own first: its error names its own row.
    const RunInputs inputs = baseInputs(settings, std::get<BarrierValues>(barrier));
    if (auto single = runModelMaxima(c, inputs); auto* error = std::get_if<RunError>(&single))
        return std::move(*error);
    const int64_t total = std::get<int64_t>(totalMinutes(c));
    GapTrials trials(c, runs, room, total, inputs,
                     marginInDisplayUnit(settings.marginCelsius, c.setup));
    auto figures = trials.figures(gapMinutes);
    if (auto* error = std::get_if<RunError>(&figures))
        return std::move(*error);
    BackToBack result;
    result.runs = std::move(std::get<std::vector<RunFigures>>(figures));
    result.shortestSafeGap = shortestSafeGap(trials);
    return result;
}

} // namespace kvh::core
