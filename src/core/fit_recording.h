#pragma once
// The fit's input taken from a recording and a case: the logger's column and the process
// column, or the case's own profile when the recording holds only the logger.

#include "case.h"
#include "fit.h"
#include "recording.h"

#include <cstddef>
#include <optional>
#include <string>
#include <variant>

namespace kvh::core {

/// Which temperature columns a fit reads (0 for the recording's first temperature column).
struct FitColumns {
    std::optional<std::size_t> process; ///< none: the case's profile is the process
    std::size_t internal = 0;
};

/// Both traces on the minute grid in the case's display unit, with the table's barrier of the
/// case's setup. Without a process column, minute m of the recording is minute m of the
/// profile (the run's minute index 60 + m) and the fit ends with the profile. Fails with a
/// sentence for the user: a column the recording lacks, a profile the model cannot run.
std::variant<FitInput, std::string> fitInputFrom(const Recording& recording,
                                                 const FitColumns& columns, const Case& c);

} // namespace kvh::core
