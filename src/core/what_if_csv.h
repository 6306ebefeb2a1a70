#pragma once
// The what-if answers as CSV text: LF line ends, "." decimals, temperatures as the series CSV
// writes them (the shortest text that reads back to the same single-precision value).

#include "what_if.h"

#include <string>
#include <string_view>

namespace kvh::core {

inline constexpr std::string_view kVariationsHeader =
    "variation,max_internal,max_dwell,verdict,warning";
inline constexpr std::string_view kBackToBackHeader = "run,max_internal,max_dwell,verdict,warning";
inline constexpr std::string_view kUncertaintyHeader = "p5,p50,p95,share_at_limit,standard_error";

/// The header and one line per variation; a variation that does not run keeps its name and
/// empty fields.
std::string variationsCsv(const Variations& variations);

/// The header, one line per run, then "shortest_safe_gap," and the minutes or "none".
std::string backToBackCsv(const BackToBack& backToBack);

/// The header and one line of figures; the share and its error as the shortest text that
/// reads back to the same double.
std::string uncertaintyCsv(const Uncertainty& uncertainty);

} // namespace kvh::core
