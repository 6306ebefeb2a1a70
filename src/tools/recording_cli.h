#pragma once
// The companion's recording modes: `--profile-from TRACE --column N [--tolerance T] CASE.dew`
// writes the case with its profile made from a recording's column, `--measured TRACE --column N
// [--offset M] CASE.dew` prints measured beside predicted. Both take the reader's overrides
// `--time-column`, `--date-order dmy|mdy` and `--unit C|F`.

#include <iosfwd>
#include <string>
#include <vector>

namespace kvh::tools {

/// Whether the arguments ask for a recording mode (--profile-from or --measured among them).
bool isRecordingRequest(const std::vector<std::string>& args);

/// Runs a recording mode; the exit codes are those of the report, and kExitBadRecording.
int recordingMain(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

} // namespace kvh::tools
