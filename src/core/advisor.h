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
    float peakAfterEnd = 0.0f;
    int64_t minutesToPeak = 0;
    std::vector<float> internal; ///< the internal series, minute index 0 .. TotalMinutes + 80
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
    /// Indices into `barriers`, largest margin first; equal margins keep model order.
    std::vector<size_t> ranking;
    /// Index into `barriers` of the safe barrier with the largest margin, if any is safe.
    std::optional<size_t> recommended;
    int64_t totalMinutes = 0;
};

using ComparisonOutcome = std::variant<Comparison, RunError>;

/// Whether a case can be compared: the tracer type and the environment are chosen (the model
/// need not be).
bool comparable(const SetupState& setup);

/// Runs every offered barrier over the case. A profile the model cannot run gives the error
/// of the first barrier. `withSafeDwell` false skips the dwell search (Kind::NoDwellRow).
ComparisonOutcome compareBarriers(const Case& c, bool withSafeDwell = true);

/// The longest safe dwell of the case's own model at the hottest dwell row: doubling, then
/// bisection, checked (m safe and m + 1 not, unless capped).
SafeDwell findSafeDwell(const Case& c);
/// The same with a calibrated barrier in place of the table's (none: the table's).
SafeDwell findSafeDwell(const Case& c, std::optional<BarrierCoefficients> barrier);

/// The case's own model run with a calibrated barrier, with every figure of a comparison row;
/// the row carries `name`.
std::variant<BarrierResult, RunError> calibratedBarrierResult(const Case& c,
                                                              const BarrierCoefficients& barrier,
                                                              std::string name,
                                                              bool withSafeDwell = true);

/// Whether the case is safe with its own model: it runs, passes and shows no dwell warning.
bool caseSafe(const Case& c);

} // namespace kvh::core
