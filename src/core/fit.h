#pragma once
// Fitting a barrier to a measured run: the dead time and the two stage coefficients whose model
// run, on the recording's own process temperature, comes closest to what the logger measured.

#include "model.h"

#include <cstdint>
#include <string>
#include <vector>

namespace kvh::core {

/// Longest dead time the fit tries, in whole minutes.
inline constexpr int kFitMaxDeadTime = 60;
/// Fewer measured minutes than this cannot settle three figures.
inline constexpr int64_t kFitMinSamples = 60;

/// What a fit reads: both traces on the minute grid, minute m being minute m of the recording
/// (from its first sample), in one temperature unit. NaN marks a missing sample.
struct FitInput {
    std::vector<double> process;  ///< outside the barrier (the oven)
    std::vector<double> internal; ///< what the logger measured inside
    BarrierCoefficients table;    ///< the table's barrier: the reference and the first start
    bool fahrenheit = false;      ///< the traces' unit; the poor-fit limit is 2 degrees Celsius
};

/// An approximate 95 % interval for one coefficient, from the fit's Jacobian.
struct FitInterval {
    double low = 0;
    double high = 0;
};

/// A barrier fitted to a recording, with the figures that say how far to trust it.
struct BarrierFit {
    BarrierCoefficients table;  ///< as given
    BarrierCoefficients fitted; ///< dead time a whole number of minutes, coefficients single
    FitInterval outer;
    FitInterval inner;
    double rms = 0;         ///< root-mean-square residual, in the traces' unit
    double maxResidual = 0; ///< largest absolute residual, in the traces' unit
    int64_t samples = 0;    ///< measured minutes compared
    double start = 0;       ///< where both stages start, fitted with the coefficients
    bool reordered = false; ///< the search found the stages the other way round
    bool poor = false;      ///< not to be trusted; `reason` says why
    std::string reason;
};

/// Fits dead time (every whole minute 0 to 60) and both coefficients (0 < a, b <= 1) by
/// Levenberg-Marquardt from the table's values and a few spread starts; the value both stages
/// start at is fitted with them, from the first measured internal value (one reading's noise
/// would otherwise stay in a slow inner stage for hours). Every dead time is fitted until it
/// settles before the best is chosen. The figures reported come from the program's own stage
/// arithmetic (double steps from single operands, stored single) from the fitted start.
BarrierFit fitBarrier(const FitInput& input);

/// The internal temperature the program's stages give on a minute-grid process trace: minute m
/// reads the process at m - deadTime (before minute 0: minute 0), both stages start at `start`.
/// Single precision, each step in double, as a run computes it.
std::vector<float> stagesOnTrace(const std::vector<double>& process, int deadTime, float outer,
                                 float inner, float start);

/// (fitted - table) / table in percent; NaN where the table holds 0.
double changePercent(double table, double fitted);

/// The fit as CSV: header "parameter,table,fitted,change_percent,low,high", rows dead_time,
/// outer, inner, rms, max_residual, samples; LF line ends.
std::string fitCsv(const BarrierFit& fit);

/// The note that goes with every fit: the two stages in series can be swapped.
inline constexpr const char* kStageOrderNote =
    "The two stages in series give the same curve either way round; the coefficients are "
    "given in the order of the barrier's table.";

} // namespace kvh::core
