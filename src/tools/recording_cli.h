#pragma once
// The companion's recording modes: `--profile-from TRACE --column N [--tolerance T] CASE.dew`
// writes the case with its profile made from a recording's column, `--measured TRACE --column N
// [--offset M] CASE.dew` prints measured beside predicted. Both take the reader's overrides
// `--time-column`, `--date-order dmy|mdy` and `--unit C|F`.

#include "core/recording.h"

#include <iosfwd>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace kvh::tools {

/// Whether the arguments ask for a recording mode (--profile-from or --measured among them).
bool isRecordingRequest(const std::vector<std::string>& args);

/// Runs a recording mode; the exit codes are those of the report, and kExitBadRecording.
int recordingMain(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

/// A mode's column options: each option's name and the number it sets (1 for the first
/// temperature column; left 0 when the option is not given).
using ColumnOptions = std::vector<std::pair<std::string_view, int*>>;

/// Takes one option every mode that reads a recording shares: one of `columns`, or the
/// reader's overrides `--time-column`, `--date-order` and `--unit` (into `options`). Returns
/// nothing when `name` is none of them, an empty text when taken, else the message for its
/// bad value.
std::optional<std::string> takeRecordingOption(const std::string& name, const std::string& value,
                                               const ColumnOptions& columns,
                                               core::RecordingOptions& options);

/// Reads a recording in the case's unit and tells `err` what the reader found; nothing after
/// telling `err` why it cannot be read (and how to settle an unclear date order).
std::optional<core::Recording> readRecordingForCase(const std::string& path,
                                                    core::RecordingOptions options,
                                                    core::TempUnit caseUnit, std::ostream& err);

} // namespace kvh::tools
