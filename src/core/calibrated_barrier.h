#pragma once
// A barrier calibrated from a measured run: a fit saved under a name the user gives, for one
// model, tracer type and environment, as a small JSON file that can be copied between machines.

#include "advisor.h"
#include "case.h"
#include "fit.h"
#include "setup.h"

#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace kvh::core {

/// Largest calibrated-barrier file read.
inline constexpr std::size_t kCalibratedBarrierMaxBytes = 64 * 1024;

/// A saved fit. The coefficients are unit-free (fractions per minute), so the barrier serves a
/// case in either temperature unit.
struct CalibratedBarrier {
    std::string name;      ///< as the user gave it ("7440 serial 1234")
    int modelIndex = 0;    ///< 0..5, the table's row
    int tracerIndex = 0;   ///< 0..1
    int environIndex = 0;  ///< 0..1
    BarrierFit fit;        ///< fitted figures, the table's then, RMS, intervals, samples
    std::string recording; ///< the recording's file name (without its folder)
    std::string date;      ///< when it was fitted, "YYYY-MM-DD"

    BarrierCoefficients coefficients() const { return fit.fitted; }
};

/// Whether the calibrated barrier belongs to the setup's model, tracer type and environment.
bool matchesSetup(const CalibratedBarrier& barrier, const SetupState& setup);

/// The JSON text of a calibrated barrier (UTF-8, LF line ends, numbers as the shortest text
/// that reads back to the same single value).
std::string calibratedBarrierJson(const CalibratedBarrier& barrier);

/// Reads a calibrated barrier back, or says in a sentence why the text is not one.
std::variant<CalibratedBarrier, std::string> parseCalibratedBarrier(std::string_view text);

/// A file name for the barrier's name: letters, digits, '-' and '_' kept, anything else '_',
/// with ".json" (never empty, never a hidden file).
std::string calibratedBarrierFileName(std::string_view name);

/// One line naming the barrier for lists and printed pages: "7440 serial 1234 (D 9 min,
/// outer 0.0612, inner 0.00241)".
std::string describeCalibratedBarrier(const CalibratedBarrier& barrier);

/// A case run with a calibrated barrier: the run, its texts as the results page words them,
/// where the inside peaks after the end and the longest safe dwell.
struct CalibratedRun {
    RunResult run;
    Evaluation evaluation;
    PeakAfterEnd peak;
    SafeDwell safeDwell;
};

/// Runs the case with the calibrated barrier (the case's setup must match it).
std::variant<CalibratedRun, RunError> runCalibrated(const Case& c,
                                                    const CalibratedBarrier& barrier);

/// The lines a fit's figures are told in: dead time and coefficients beside the table's with
/// the change in %, the intervals, the residuals, then "Good fit." or "Poor fit: ...".
std::vector<std::string> fitReportLines(const BarrierFit& fit);

} // namespace kvh::core
