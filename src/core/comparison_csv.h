#pragma once
// The advisor's and the run's data as CSV text: LF line ends, "." decimals, temperatures as
// the shortest text that reads back to the same single-precision value.

#include "advisor.h"

#include <string>
#include <string_view>

namespace kvh::core {

inline constexpr std::string_view kComparisonHeader =
    "model,max_internal,max_dwell,verdict,warning,safe_dwell_minutes,peak_after_end,"
    "minutes_to_peak,unit,limit";
inline constexpr std::string_view kFileColumn = "file";
inline constexpr std::string_view kSeriesHeader = "minute,process,intermediate,internal";

/// The four-character catalogue code of a model ("7640").
std::string_view modelCode(int model);

/// The safe dwell as the CSV shows it: the minutes, "none", or "" without a dwell row.
std::string safeDwellText(const SafeDwell& dwell);

/// A field as CSV writes it: quoted (quotes doubled) when it holds a comma, quote or line end.
std::string csvField(std::string_view text);

/// The header line and one line per barrier in model index order.
std::string comparisonCsv(const Comparison& comparison);

/// One line per barrier, each starting with the file's field (no header).
std::string comparisonCsvRows(const Comparison& comparison, std::string_view file);

/// The header of a many-case comparison: "file," then the comparison's header.
std::string comparisonCsvFileHeader();

/// The minute series of a run: minute index 0 to TotalMinutes + 80, with its header.
std::string seriesCsv(const RunResult& run);

} // namespace kvh::core
