#pragma once
// The companion's "what if" questions: `--what-if FILE.dew` (the variations),
// `--back-to-back K --gap G [--room T]` and `--uncertainty N [--seed S]`; and the settings
// every mode takes, `--margin M` and `--start-at T`.

#include "core/what_if.h"

#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

namespace kvh::tools {

/// What `--margin` and `--start-at` asked for (the start in the case's unit).
struct RunSettings {
    double marginCelsius = 0.0;
    std::optional<double> startAt;

    /// The settings as the core takes them for a case.
    core::SafetySettings safety() const;
    core::WhatIfSettings whatIf() const;
    core::RunInputs inputs() const;
};

/// Takes `--margin M` and `--start-at T` out of `args` wherever they stand, into `settings`.
/// Returns the exit code of a usage error (the line written to `err`), or kExitOk.
int takeRunSettings(std::vector<std::string>& args, RunSettings& settings, std::ostream& err);

/// Whether the arguments ask a what-if question (--what-if, --back-to-back, --uncertainty).
bool isWhatIfRequest(const std::vector<std::string>& args);

/// Answers it; the exit codes are those of the report (see report_cli.h).
int whatIfMain(const std::vector<std::string>& args, const RunSettings& settings, std::ostream& out,
               std::ostream& err);

} // namespace kvh::tools
