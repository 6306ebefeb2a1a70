#include "report_cli.h"

#include "compare_cli.h"

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
    "Usage: kvhitemp-report [--check] FILE.dew\n"
    "       kvhitemp-report --series FILE.dew\n"
    "       kvhitemp-report [--check] --compare FILE.dew\n"
    "       kvhitemp-report [--check] --compare-all DIR|FILES...\n"
    "       kvhitemp-report --help | --version\n"
    "\n"
    "Opens a KVHiTemp case, runs the thermal barrier model and prints the result.\n"
    "\n"
    "  FILE.dew           print the report exactly as \"Copy Data and Text\" puts it on the\n"
    "                     clipboard (UTF-8, CR LF line ends, TAB between table fields)\n"
    "  --series FILE.dew  print the minute series as CSV: minute,process,intermediate,internal\n"
    "                     for minute index 0 to TotalMinutes + 80 (the profile starts at 60)\n"
    "  --compare FILE.dew every barrier offered for the case's tracer type and environment, as\n"
    "                     CSV: model,max_internal,max_dwell,verdict,warning,\n"
    "                     safe_dwell_minutes,peak_after_end,minutes_to_peak,unit,limit (the\n"
    "                     model in the file need not be chosen; unit is C or F, the case's\n"
    "                     display unit, in which the temperatures and the tracer's limit are)\n"
    "  --compare-all DIR|FILES...\n"
    "                     the same for every .dew file of a folder, or for each file given,\n"
    "                     in one CSV with the file name first; a case that fails is named on\n"
    "                     standard error, the others are still printed\n"
    "  --check            with a report: exit 1 when the verdict is FAIL or the dwell warning\n"
    "                     shows; with --compare or --compare-all: exit 1 when a case has no\n"
    "                     safe barrier (PASS without the warning). The output is the same, and\n"
    "                     standard error names the case\n"
    "  --help             show this text\n"
    "  --version          show the version\n"
    "\n"
    "Exit status: 0 success; 1 the file cannot be read or parsed, or a --check failed; 2 the\n"
    "setup in the file is not complete; 3 the model cannot run the profile; 64 wrong\n"
    "arguments; 71 not enough memory; 74 the output cannot be written (a full disk, a closed\n"
    "output). A failure other than a check prints nothing on standard output and one line on\n"
    "standard error.\n"
    "Cells or fields that are read differently from how they look (\"4OO\" is read as 4, an\n"
    "empty dwell time as 0) are named on standard error, one a line; the output stays the same.\n";

constexpr std::string_view kCheck = "--check";

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

int reportMain(const std::vector<std::string>& all, std::ostream& out, std::ostream& err) {
    // --check may stand anywhere, once; the rest is read as without it.
    std::vector<std::string> args;
    bool check = false;
    for (const std::string& arg : all) {
        if (arg == kCheck && !check)
            check = true;
        else
            args.push_back(arg);
    }
    if (isCompareRequest(args))
        return compareMain(args, out, err, check);
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
    if (series && check) {
        err << "kvhitemp-report: --check goes with a report or a comparison, not --series "
               "(see --help)\n";
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
    // The report reads only the maxima: without --series the stages' series are not stored.
    const core::RunOutcome outcome = series ? core::runModel(c) : core::runModelMaxima(c);
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
    if (check && (!e.pass || e.warning)) {
        err << "kvhitemp-report: " << path << ": "
            << (e.pass ? "PASS with the dwell warning" : e.verdict) << '\n';
        return kExitCheckFailed;
    }
    return kExitOk;
}

} // namespace kvh::tools
