#pragma once
// The companion's barrier fit: `--fit TRACE --process-column N --internal-column M CASE.dew`
// prints the barrier fitted to a measured run as CSV.

#include <iosfwd>
#include <string>
#include <vector>

namespace kvh::tools {

/// Whether the arguments ask for a fit (one of them is --fit).
bool isFitRequest(const std::vector<std::string>& args);

/// Runs a fit: exit 0 for a good fit, 1 for a poor one (the reason on `err`), 65 for a
/// recording that cannot be read, otherwise the report's codes.
int fitMain(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

} // namespace kvh::tools
