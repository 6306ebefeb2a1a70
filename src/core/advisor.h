#pragma once
// The barrier advisor: every barrier the setup rules offer, run on the same case, with its
// verdict, its margin to the limit, the longest dwell it survives and the peak the inside
// still reaches after the profile's end; ranked by margin, with a recommendation.

#include "case.h"
#include "model.h"

#include <cstdint>
#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace kvh::core {

/// The models offered for the case's tracer type and environment, in model index order:
/// 0 to 3 always, 5 with tracer type 1, 4 with tracer type 1 in air.
std::vector<int> offeredBarriers(const SetupState& setup);

/// The data row of the first "Dwell at Temp" step with the highest temperature value, or 0
/// when the profile has no dwell step.
int hottestDwellRow(const ProfileTable& table);

/// The longest whole dwell a barrier survives at the hottest dwell row.
struct SafeDwell {
    enum class Kind {
        NoDwellRow, ///< the profile has no dwell step: nothing to search
        None,       ///< not safe even with a dwell of 0 minutes
        Minutes,    ///< safe for every dwell from 0 to `minutes`, not for `minutes` + 1
        Capped,     ///< safe up to the longest dwell the model runs (`minutes`)
    };
    Kind kind = Kind::NoDwellRow;
    int64_t minutes = 0;
    bool operator==(const SafeDwell&) const = default;
};

/// How strict the advisor's "safe" is, and where the barrier starts.
struct SafetySettings {
    /// Degrees Celsius that both maxima must stay below the limit; 0 keeps the plain rule
    /// (PASS without the dwell warning).
    double marginCelsius = 0.0;
    /// Both stages start here (display unit) instead of at the profile's start temperature.
    std::optional<float> stageStart;
};

/// A margin in degrees Celsius as degrees of the case's display unit (a difference: no 32).
double marginInDisplayUnit(double marginCelsius, const SetupState& setup);

/// Whether maxima are safe: with no margin PASS without the dwell warning; with a margin (in
/// the display unit) both maxima below limit - margin. Compared in double, unrounded.
bool safeWithMargin(float maxInternal, float maxDwell, double limit, double margin);

/// A dwell of whole minutes as the safe-dwell search writes it into a time cell: the minutes,
/// or minutes / 60 in double in hours mode, as the shortest text that reads back the same.
std::string dwellTimeText(int64_t minutes, bool hours);

/// One barrier's figures for the case. Temperatures are single precision, in the case's
/// display unit, as the results page shows them for that model.
struct BarrierResult {
    int model = 0;
    float maxInternal = 0.0f;
    float maxDwell = 0.0f;
    double limit = 0.0;
    bool pass = false;
    bool warning = false; ///< the results page shows the dwell warning
    SafeDwell safeDwell;
    bool safeByMargin = false; ///< safeWithMargin for the comparison's margin
    float peakAfterEnd = 0.0f;
    int64_t minutesToPeak = 0;
    std::vector<float> internal; ///< the internal series, minute index 0 .. TotalMinutes + 80
    /// The inside after those minutes, on to the peak after the end when that comes later.
    std::vector<float> afterStored;
    /// The calibrated barrier's name when the row runs one in place of the table's.
    std::string calibrated;

    /// PASS without a dwell warning.
    bool safe() const { return pass && !warning; }
    /// limit - max_internal, in degrees of the display unit.
    double margin() const { return limit - static_cast<double>(maxInternal); }
    /// The margin as a share of the limit (0.25 for a quarter).
    double marginShare() const { return margin() / limit; }
};

/// Every offered barrier, in model index order, with the ranking and the recommendation.
struct Comparison {
    std::vector<BarrierResult> barriers;
    /// Indices into `barriers`, largest margin first; equal margins by the longer safe dwell,
    /// then by the lower peak after the end, then in model order.
    std::vector<size_t> ranking;
    /// Index into `barriers` of the safe barrier with the largest margin, if any is safe (safe
    /// by `safetyMargin` when one is set).
    std::optional<size_t> recommended;
    int64_t totalMinutes = 0;
    /// The safety margin the comparison used, in degrees of the display unit (0: none).
    double safetyMargin = 0.0;
    bool fahrenheit = false; ///< the case's display unit, that of every temperature here
};

using ComparisonOutcome = std::variant<Comparison, RunError>;

/// A temperature with its unit, one decimal: "54.7 °C", "130.5 °F".
std::string temperatureText(double value, bool fahrenheit);

/// What the inside does after the profile's end, in words: "After the end the inside rises
/// for 27 more minutes, to 156.8 °C" or "After the end the inside cools at once".
std::string afterEndText(const PeakAfterEnd& peak, bool fahrenheit);

/// A safe dwell for the eye: minutes, or hours (two decimals) in hours mode; "unlimited" when
/// capped, "none", or empty without a dwell step.
std::string safeDwellDisplay(const SafeDwell& dwell, bool hours);

/// Fills the ranking and the recommendation of the comparison's barriers.
void rankBarriers(Comparison& comparison);

/// Whether a case can be compared: the tracer type and the environment are chosen (the model
/// need not be).
bool comparable(const SetupState& setup);

/// Runs every offered barrier over the case. A profile the model cannot run gives the error
/// of the first barrier. `withSafeDwell` false skips the dwell search (Kind::NoDwellRow).
/// The settings' margin decides the safe dwells and the recommendation.
ComparisonOutcome compareBarriers(const Case& c, bool withSafeDwell = true,
                                  const SafetySettings& safety = {});

/// The longest safe dwell of the case's own model at the hottest dwell row: doubling, then
/// bisection, checked (m safe and m + 1 not, unless capped).
SafeDwell findSafeDwell(const Case& c, const SafetySettings& safety = {});
/// The same with a calibrated barrier in place of the table's (none: the table's).
SafeDwell findSafeDwell(const Case& c, std::optional<BarrierCoefficients> barrier);
SafeDwell findSafeDwell(const Case& c, const SafetySettings& safety,
                        std::optional<BarrierCoefficients> barrier);

/// The case's own model run with a calibrated barrier, with every figure of a comparison row;
/// the row carries `name`.
std::variant<BarrierResult, RunError>
calibratedBarrierResult(const Case& c, const BarrierCoefficients& barrier, std::string name,
                        bool withSafeDwell = true, const SafetySettings& safety = {});

/// Whether the case is safe with its own model: it runs, passes and shows no dwell warning
/// (with a margin: both maxima below limit - margin).
bool caseSafe(const Case& c, const SafetySettings& safety = {});

} // namespace kvh::core
