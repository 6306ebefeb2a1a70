#pragma once
// The command-line companion: opens a ".dew" case, runs the model and prints the report (or
// the minute series as CSV), as the window would after Open, "Results and Graph" and
// "Copy Data and Text".

#include <iosfwd>
#include <string>
#include <vector>

namespace kvh::tools {

enum ExitCode : int {
    kExitOk = 0,
    kExitBadFile = 1,
    /// With --check: the verdict is FAIL or shows the dwell warning; in a comparison, a case
    /// has no safe barrier. The output is printed all the same.
    kExitCheckFailed = 1,
    kExitIncompleteSetup = 2,
    kExitModelFailed = 3,
    kExitUsage = 64,
    kExitBadRecording = 65, ///< a recording that cannot be read or used
    kExitNoMemory = 71,
    kExitOutputFailed = 74,
};

/// Whether `arg` is read as an option: it starts with "-" and is not "-" alone. After "--"
/// nothing is.
bool isOption(const std::string& arg);
/// The reason an option is refused, its text escaped.
std::string unknownOption(const std::string& arg);
/// Tells `what` went wrong with the arguments; returns kExitUsage.
int usageError(std::ostream& err, const std::string& what);

/// Runs the companion with the arguments after the program name.
int reportMain(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

} // namespace kvh::tools
