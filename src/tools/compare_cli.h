#pragma once
// The companion's barrier comparison: `--compare FILE.dew` and `--compare-all DIR|FILES...`
// print every offered barrier's figures as CSV.

#include "core/advisor.h"

#include <iosfwd>
#include <string>
#include <vector>

namespace kvh::tools {

/// Whether the arguments ask for a comparison (their first is --compare or --compare-all).
bool isCompareRequest(const std::vector<std::string>& args);

/// Runs a comparison; the exit codes are those of the report (see report_cli.h). `safety`
/// decides the safe dwells (its margin) and where each barrier starts. With `check`, a case
/// without a safe barrier exits 1 when nothing else failed. `barrierPath`, when not empty,
/// names a calibrated barrier whose row follows the table's.
int compareMain(const std::vector<std::string>& args, const core::SafetySettings& safety,
                std::ostream& out, std::ostream& err, bool check = false,
                const std::string& barrierPath = {});

} // namespace kvh::tools
