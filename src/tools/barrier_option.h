#pragma once
// The companion's `--barrier FILE.json`: a report, a series or a comparison run with a
// calibrated barrier in place of the table's.

#include "core/calibrated_barrier.h"

#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

namespace kvh::tools {

inline constexpr const char* kBarrierOption = "--barrier";

/// Takes `--barrier FILE` out of the arguments into `path`. False (with the reason on `err`)
/// when the option is given twice or without a file.
bool takeBarrierOption(std::vector<std::string>& args, std::string& path, std::ostream& err);

/// The calibrated barrier at `path` for the case's setup, or nothing after telling `err` why it
/// cannot serve (unreadable, not a calibrated barrier, made for another model, tracer type or
/// environment).
std::optional<core::CalibratedBarrier>
loadBarrierFor(const std::string& path, const core::SetupState& setup, std::ostream& err);

} // namespace kvh::tools
