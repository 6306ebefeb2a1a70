#pragma once
// The report of a case: title, setup, profile table and results, as plain text with CR LF
// line ends and TAB-separated table fields, and the column-aligned variant used on paper.

#include "case.h"
// The result texts a report prints (ResultTexts).
#include "model.h"

#include <functional>
#include <string>
#include <string_view>

namespace kvh::core {

inline constexpr std::string_view kReportTitle = "KELVORA Thermal Barrier Model Report";

/// The plain report (clipboard and command line).
std::string buildReportText(const Case& c, const ResultTexts& results);

/// Width of a text as it will be printed, in any unit used alike for every call.
using TextWidth = std::function<double(std::string_view)>;

/// The printed report: number cells shown "###0.0" and right-aligned to a common width, step
/// labels padded to the width of "Dwell at Temp ". The case itself is never changed.
std::string buildAlignedReportText(const Case& c, const ResultTexts& results,
                                   const TextWidth& width);

} // namespace kvh::core
