#include "report_cli.h"

#include "barrier_option.h"
#include "compare_cli.h"
#include "fit_cli.h"

#include "core/comparison_csv.h"
#include "core/dew_file.h"
#include "core/doubtful.h"
#include "core/model.h"
#include "core/numbers.h"
#include "core/report.h"

#include <ostream>

namespace kvh::tools {

namespace {

constexpr const char* kUsage =
    "Usage: kvhitemp-report [--series] FILE.dew\n"
    "\n"
    "Opens a KVHiTemp case, runs the thermal barrier model and prints the result.\n"
    "\n"
    "  FILE.dew           print the report exactly as \"Copy Data and Text\" puts it on the\n"
    "                     clipboard (UTF-8, CR LF line ends, TAB between table fields)\n"
    "  --series FILE.dew  print the minute series as CSV: minute,process,intermediate,internal\n"
    "                     for minute index 0 to TotalMinutes + 80 (the profile starts at 60)\n"
    "  --compare FILE.dew every barrier offered for the case's tracer type and environment, as\n"
    "                     CSV: model,max_internal,max_dwell,verdict,warning,\n"
    "                     safe_dwell_minutes,peak_after_end,minutes_to_peak (the model in the\n"
    "                     file need not be chosen)\n"
    "  --compare-all DIR|FILES...\n"
    "                     the same for every .dew file of a folder, or for each file given,\n"
    "                     in one CSV with the file name first; a case that fails is named on\n"
    "                     standard error, the others are still printed\n"
    "  --fit TRACE [--process-column N] --internal-column M FILE.dew\n"
    "                     fit the case's barrier (dead time, outer and inner coefficient) to a\n"
    "                     measured run: columns count from 1, the first temperature column;\n"
    "                     without --process-column the case's profile is the process. Prints\n"
    "                     CSV parameter,table,fitted,change_percent,low,high; exit 1 for a\n"
    "                     poor fit (the reason on standard error), 65 for a recording that\n"
    "                     cannot be read. --time-column N, --date-order dmy|mdy and --unit C|F\n"
    "                     override what the reader guesses\n"
    "  --barrier FILE.json\n"
    "                     with a report, --series or --compare: run the case with a barrier\n"
    "                     calibrated from a measured run (saved by the window's fit) in place\n"
    "                     of the table's; it must be for the case's model, tracer and\n"
    "                     environment\n"
    "  --help             show this text\n"
    "  --version          show the version\n"
    "\n"
    "Exit status: 0 success; 1 the file cannot be read or parsed; 2 the setup in the file is\n"
    "not complete; 3 the model cannot run the profile; 64 wrong arguments; 71 not enough\n"
    "memory; 74 the output cannot be written (a full disk, a closed output).\n"
    "On failure nothing is printed on standard output and one line on standard error.\n"
    "Cells or fields that are read differently from how they look (\"4OO\" is read as 4, an\n"
    "empty dwell time as 0) are named on standard error, one a line; the output stays the same.\n";

/// The run the output needs, with the table's barrier or a calibrated one.
core::RunOutcome runCase(const core::Case& c, bool series,
                         const std::optional<core::CalibratedBarrier>& barrier) {
    if (barrier)
        return series ? core::runModelWith(c, barrier->coefficients())
                      : core::runModelMaximaWith(c, barrier->coefficients());
    return series ? core::runModel(c) : core::runModelMaxima(c);
}

void printSeries(const core::RunResult& run, std::ostream& out) {
    out << core::seriesCsv(run);
}

/// How the file and its profile are read where a user may not expect it, one note a line.
void printNotices(const core::Case& c, const std::vector<std::string>& fileNotices,
                  std::ostream& err) {
    for (const std::string& notice : fileNotices)
        err << notice << '\n';
    for (const core::DoubtfulCell& cell : core::findDoubtfulCells(c.profile))
        err << cell.notice << '\n';
}

} // namespace

int reportMain(const std::vector<std::string>& allArgs, std::ostream& out, std::ostream& err) {
    std::vector<std::string> args = allArgs;
    std::string barrierPath;
    if (!takeBarrierOption(args, barrierPath, err))
        return kExitUsage;
    if (isFitRequest(args) && !barrierPath.empty()) {
        err << "kvhitemp-report: --barrier does not go with --fit (see --help)\n";
        return kExitUsage;
    }
    if (isFitRequest(args))
        return fitMain(args, out, err);
    if (isCompareRequest(args))
        return compareMain(args, out, err, barrierPath);
    bool series = false;
    std::string path;
    for (const std::string& arg : args) {
        if (arg == "--help" || arg == "-h") {
            out << kUsage;
            return kExitOk;
        }
        if (arg == "--version") {
            out << "kvhitemp-report " KVH_VERSION "\n";
            return kExitOk;
        }
        if (arg == "--series" && !series) {
            series = true;
        } else if (path.empty() && !arg.empty() && (arg[0] != '-' || arg == "-")) {
            path = arg;
        } else {
            err << "kvhitemp-report: unexpected argument \"" << arg << "\" (see --help)\n";
            return kExitUsage;
        }
    }
    if (path.empty()) {
        err << "kvhitemp-report: no file given (see --help)\n";
        return kExitUsage;
    }

    std::vector<std::string> notices;
    auto opened = core::openDewFile(path, core::Case{}, &notices);
    if (const auto* error = std::get_if<core::DewError>(&opened)) {
        err << "kvhitemp-report: " << path << ": " << error->reason << '\n';
        return kExitBadFile;
    }
    const core::Case& c = std::get<core::Case>(opened);
    printNotices(c, notices, err);
    if (!c.setup.complete()) {
        err << core::kSetupNotComplete << '\n';
        return kExitIncompleteSetup;
    }
    std::optional<core::CalibratedBarrier> barrier;
    if (!barrierPath.empty() && !(barrier = loadBarrierFor(barrierPath, c.setup, err)))
        return kExitBadFile;
    // The report reads only the maxima: without --series the stages' series are not stored.
    const core::RunOutcome outcome = runCase(c, series, barrier);
    if (const auto* error = std::get_if<core::RunError>(&outcome)) {
        err << "kvhitemp-report: " << core::describeError(*error) << '\n';
        return kExitModelFailed;
    }
    const auto& run = std::get<core::RunResult>(outcome);
    if (series) {
        printSeries(run, out);
        return kExitOk;
    }
    const core::Evaluation e = core::evaluate(run, c.setup);
    out << core::buildReportText(c, {e.summary, e.verdict});
    return kExitOk;
}

} // namespace kvh::tools
