#pragma once
// The thermal barrier model: the parameter table per model and response case, the
// minute-by-minute simulation of the process, outer-stage and internal temperatures, and the
// evaluation texts (maximum, limit, final rate, PASS/FAIL, dwell warning).

#include "case.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace kvh::core {

inline constexpr int kParamRows = 8;
inline constexpr int kParamCols = 12;
/// Minute index at which the profile starts; 0..59 are a lead-in at the start temperature.
inline constexpr int kLeadIn = 60;
/// Minutes simulated after the profile's end: the series run to TotalMinutes + 80.
inline constexpr int kTail = 80;
/// Longest profile that runs: above this the model refuses with an error.
inline constexpr int64_t kMaxTotalMinutes = 1'000'000;

/// Dead time (columns 0-3), outer-stage (4-7) and inner-stage (8-11) coefficients, single
/// precision, by model row and response case.
using ModelParams = std::array<std::array<float, kParamCols>, kParamRows>;

/// The barrier table as every run builds it: each quotient or product is formed in double from
/// single operands and stored single.
ModelParams buildModelParams();

/// TracerIndex + 2 * EnvironIndex.
int responseCase(int tracerIndex, int environIndex);

/// One barrier's figures for one response case: the dead time in minutes and the outer and
/// inner stage coefficients per minute, single precision as the table holds them.
struct BarrierCoefficients {
    float deadTime = 0;
    float outer = 0;
    float inner = 0;
    bool operator==(const BarrierCoefficients&) const = default;
};

/// The table's barrier for the setup's model and response case; all 0 where the table has
/// none or the setup names no model.
BarrierCoefficients tableBarrier(const SetupState& setup);

/// Tracer limit in degrees Celsius: 150 with tracer button 0 selected, otherwise 140.
double tracerLimitCelsius(const SetupState& setup);
/// The limit in the display unit: 150/140, or 302/284 in Fahrenheit.
double tracerLimitDisplay(const SetupState& setup);

/// Where the internal and dwell maxima start, in single precision: a run whose inside never
/// rises above it reports 0.111 as its maximum, and the reports saved with that figure rely
/// on it staying so.
inline constexpr float kMaximumFloor = 0.111f;

/// What a successful run leaves: the series (minute index 0 .. TotalMinutes + 80, possibly
/// longer when the steps run past that), the maxima and the final rate, all single precision.
struct RunResult {
    int64_t totalMinutes = 0;
    std::vector<float> process;
    std::vector<float> intermediate;
    std::vector<float> internal;
    /// The internal temperature's highest value from the start minute (index 60) to the minute
    /// before TotalMinutes + 60, and to TotalMinutes + 80; neither reads below kMaximumFloor.
    float maxInternal = kMaximumFloor;
    float maxDwell = kMaximumFloor;
    float finalRate = 0.0f;
    /// Limit in the display unit (for the chart's limit line and the evaluation).
    double limit = 0.0;
};

/// A run that cannot be computed: the profile row at fault (0 when no single row is) and why.
struct RunError {
    int row = 0;
    std::string message;
};

using RunOutcome = std::variant<RunResult, RunError>;

/// Runs the model over the case's profile in the unit the profile is entered in. Never
/// throws; a profile the model cannot compute gives a RunError naming the row. The series
/// storage of an earlier result may be handed in to be reused: a long profile then costs no
/// fresh memory (page faults dominate a first run of a million minutes).
RunOutcome runModel(const Case& c, RunResult recycled = {});

/// The same run keeping only what the evaluation reads (maxima, final rate, limit): the stages'
/// series stay empty and cost no memory. Bit for bit the values runModel gives.
RunOutcome runModelMaxima(const Case& c);

/// A barrier's values as a run uses them, by the name the "what if" questions use.
using BarrierValues = BarrierCoefficients;

/// The values the setup's model, tracer type and environment choose, or why there are none.
std::variant<BarrierValues, RunError> barrierValues(const SetupState& setup);

/// What a run may take besides the case, for the questions "what if" and for a calibrated
/// barrier: other barrier values, both stages starting at another temperature than the
/// profile's start (a barrier reused before it cooled), and an offset added in double to the
/// temperature of every row with a step type before the run takes it as single. The defaults
/// give the case as entered.
struct RunInputs {
    std::optional<BarrierValues> barrier;
    std::optional<float> stageStart;
    double tempOffset = 0.0;
};

/// runModel and runModelMaxima with other inputs; bit for bit those runs with the defaults.
RunOutcome runModel(const Case& c, const RunInputs& inputs, RunResult recycled = {});
RunOutcome runModelMaxima(const Case& c, const RunInputs& inputs);
/// The same run with the given barrier in place of the table's (a barrier calibrated from a
/// measured run); everything else, arithmetic included, as runModel.
RunOutcome runModelWith(const Case& c, const BarrierCoefficients& barrier, RunResult recycled = {});

/// The profile's TotalMinutes as a run computes it, or the error a run would give for the
/// rows' times and temperatures (no simulation: cheap for any length).
std::variant<int64_t, RunError> totalMinutes(const Case& c);

/// Minutes after the profile's end within which peakAfterEnd looks for the peak.
inline constexpr int64_t kPeakSearchMinutes = 100'000;

/// Where the inside peaks once the profile has ended (minute e = TotalMinutes + 60).
struct PeakAfterEnd {
    float peak = 0.0f;         ///< highest internal temperature from e on, single precision
    int64_t minutesToPeak = 0; ///< its minute minus e (the first one on ties)
};

/// Continues both stages of a run past its stored series with the run's own arithmetic, the
/// process read as 0 beyond its stored minutes, until the internal temperature first falls
/// (or kPeakSearchMinutes have passed). `setup` is the one the run was made with.
PeakAfterEnd peakAfterEnd(const RunResult& run, const SetupState& setup);
/// The same for a run made with the given barrier (runModelWith).
PeakAfterEnd peakAfterEnd(const RunResult& run, const BarrierCoefficients& barrier);

/// The internal temperature of the `count` minutes after the stored series (minute index
/// TotalMinutes + 81 on), continued as peakAfterEnd continues it, single precision.
std::vector<float> internalAfterStored(const RunResult& run, const SetupState& setup,
                                       int64_t count);
/// The same for a run made with the given barrier.
std::vector<float> internalAfterStored(const RunResult& run, const BarrierCoefficients& barrier,
                                       int64_t count);

/// The two texts of a run's outcome, as the results page shows them and the reports print them.
struct ResultTexts {
    std::string summary; ///< the results box: two or three lines, CR LF between them
    std::string verdict; ///< "PASS" or "FAIL"
};

/// A run's evaluation: its texts, and what they say.
struct Evaluation : ResultTexts {
    bool pass = false;
    bool warning = false; ///< the summary carries the dwell warning
};

Evaluation evaluate(const RunResult& run, const SetupState& setup);

/// The text shown for a failed run (in the results box too).
std::string describeError(const RunError& error);

} // namespace kvh::core
