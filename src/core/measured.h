#pragma once
// What a logger measured beside what the model predicted: a recording's column attached to a
// case, aligned at the profile's start, and the figures over the minutes both cover.

#include "model.h"
#include "recording.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace kvh::core {

/// A recording's logger column as the comparison reads it: sample times in minutes from the
/// recording's first sample and values in the case's display unit (NaN when missing).
struct MeasuredTrace {
    std::vector<double> minutes;
    std::vector<double> values;
    /// Recording minutes before the profile's start (a logger started before the oven).
    double offset = 0.0;
};

/// The column `column` of a recording in `unit`, at the given offset.
MeasuredTrace measuredFromRecording(const Recording& recording, std::size_t column, TempUnit unit,
                                    double offset);

/// Measured and predicted, minute by minute from the profile's start (minute m is the run's
/// minute index 60 + m), over the minutes both cover; all single precision.
struct MeasuredComparison {
    int64_t firstMinute = 0;
    std::vector<float> measured;
    std::vector<float> predicted;
    float measuredMax = 0.0f;
    int64_t measuredMaxMinute = 0; ///< the first minute it is reached
    float predictedMax = 0.0f;
    double rms = 0.0;               ///< root-mean-square of measured - predicted
    float largestDifference = 0.0f; ///< measured - predicted of the largest size (first on ties)
    int64_t largestDifferenceMinute = 0;
    double limit = 0.0;
    bool measuredBelowLimit = true;
};

/// The comparison over the overlap, or nothing when the two share no minute. `run` is a full
/// run (with series).
std::optional<MeasuredComparison> compareMeasured(const RunResult& run, const MeasuredTrace& trace);

/// Texts the results page, the print and the command line show for a comparison.
inline constexpr std::string_view kMeasuredCurveName = "Measured";
inline constexpr std::string_view kNoOverlapText =
    "Measured: the recording does not overlap the run";

/// The comparison as lines of text ("Measured maximum: 148.2 °C at minute 95", ...).
std::vector<std::string> measuredLines(const MeasuredComparison& comparison, bool celsius);

/// The CSV of the command line's --measured: "minutes,measured,predicted", a line per minute.
std::string measuredCsv(const MeasuredComparison& comparison);

} // namespace kvh::core
