#pragma once
// A profile made from a recording: the process temperature on the minute grid becomes a start
// row and straight segments in whole minutes that stay within a tolerance of the trace.

#include "case.h"
#include "profile.h"

#include <cstdint>
#include <string>
#include <variant>
#include <vector>

namespace kvh::core {

/// The tolerance offered first: 1 degree Celsius, or 2 degrees Fahrenheit.
inline double defaultTolerance(bool celsius) {
    return celsius ? 1.0 : 2.0;
}

/// One row made from a trace: its step, temperature and length in whole minutes.
struct MadeRow {
    StepCode code = StepCode::Ramp;
    double temp = 0.0;
    int64_t minutes = 0;
    bool operator==(const MadeRow&) const = default;
};

/// The rows for a trace sampled at whole minutes (NaN at either end is left out). The start
/// row holds the first value for one minute, so the run's minute 60 + m is the trace's minute m;
/// then each row covers the minutes after the one before: a "Dwell at Temp" when the trace holds
/// the last temperature within `tolerance`, else a "Ramp to Temp" to a value rounded to two
/// decimals, the longest whose straight line stays within `tolerance` of every minute it spans.
/// An error text when the trace has no value, the tolerance is not positive, or more than
/// `maxRows` rows would be needed.
std::variant<std::vector<MadeRow>, std::string> makeProfileRows(const std::vector<double>& trace,
                                                                double tolerance, size_t maxRows);

/// The case with its table replaced by the rows, laid out as Open lays out a file's rows; times
/// in the case's time unit, temperatures as they are (already in the case's unit).
Case caseWithRows(const Case& c, const std::vector<MadeRow>& rows);

/// The profile of one-minute ramps that follows a trace exactly: what a made profile is
/// measured against.
std::vector<MadeRow> exactRows(const std::vector<double>& trace);

} // namespace kvh::core
