#include "report_cli.h"

#include "barrier_option.h"
#include "compare_cli.h"
#include "fit_cli.h"
#include "recording_cli.h"
#include "what_if_cli.h"

#include "core/comparison_csv.h"
#include "core/dew_file.h"
#include "core/doubtful.h"
#include "core/model.h"
#include "core/numbers.h"
#include "core/report.h"
#include "core/shown_text.h"

#include <optional>
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
    "  --what-if FILE.dew the case run again with one thing changed, as CSV:\n"
    "                     variation,max_internal,max_dwell,verdict,warning; as_entered, then\n"
    "                     process_plus/_minus (every step 10 C or 18 F hotter/cooler),\n"
    "                     dwell_longer/_shorter (the hottest dwell x 1.1/0.9, only with a\n"
    "                     dwell step), start_warm (the barrier starts 20 C or 36 F above the\n"
    "                     start temperature), dead_time_plus/_minus (1 minute), outer_plus/\n"
    "                     _minus and inner_plus/_minus (that coefficient x 1.1/0.9)\n"
    "  --back-to-back K --gap G [--room T] FILE.dew\n"
    "                     the profile K times in a row (2 to 20), G minutes at room\n"
    "                     temperature T between runs (25 C or 77 F unless given), as CSV:\n"
    "                     run,max_internal,max_dwell,verdict,warning, then\n"
    "                     shortest_safe_gap,N (or none, up to 10000 minutes)\n"
    "  --uncertainty N [--seed S] FILE.dew\n"
    "                     N runs (1 to 100000) with the barrier and the oven drawn at random\n"
    "                     (the same figures for the same seed S on every machine), as CSV:\n"
    "                     p5,p50,p95,share_at_limit,standard_error\n"
    "  --margin M         with any of the above: safe means both maxima at least M degrees C\n"
    "                     below the limit (safe dwell, recommendation, shortest safe gap)\n"
    "  --start-at T       with any of the above: the barrier starts at T (the case's unit)\n"
    "                     instead of the profile's start temperature\n"
    "  --profile-from TRACE --column N [--tolerance T] FILE.dew\n"
    "                     write the case as Save writes it, its profile made from the\n"
    "                     recording's temperature column N (1 is the first) within T degrees\n"
    "                     (default 1 for a Celsius case, 2 for Fahrenheit)\n"
    "  --measured TRACE --column N [--offset M] FILE.dew\n"
    "                     CSV minutes,measured,predicted for every minute both cover, minute\n"
    "                     0 at the profile's start, the recording read M minutes later; the\n"
    "                     maxima, root-mean-square and largest difference on standard error\n"
    "  --time-column K, --date-order dmy|mdy, --unit C|F\n"
    "                     with a TRACE: the recording's time field, the order of its slash\n"
    "                     dates and the unit of its temperatures, over what the reader finds\n"
    "  --check            with a report: exit 1 when the verdict is FAIL or the dwell warning\n"
    "                     shows; with --compare or --compare-all: exit 1 when a case has no\n"
    "                     safe barrier (PASS without the warning). The output is the same, and\n"
    "                     standard error names the case\n"
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
    "  --                 ends the options: a file whose name begins with \"-\" comes after it\n"
    "                     (kvhitemp-report -- -x.dew)\n"
    "\n"
    "Exit status: 0 success; 1 the file cannot be read or parsed, or a --check failed; 2 the\n"
    "setup in the file is not complete; 3 the model cannot run the profile; 64 wrong\n"
    "arguments or an unknown option; 65 the recording cannot be read or used; 71 not enough\n"
    "memory; 74 the output cannot be written (a full disk, a closed output, a file size limit).\n"
    "A failure other than a check prints nothing on standard output and one line on standard\n"
    "error.\n"
    "Cells or fields that are read differently from how they look (\"4OO\" is read as 4, an\n"
    "empty dwell time as 0) are named on standard error, one a line; the output stays the same.\n";

constexpr std::string_view kCheck = "--check";

/// The run the output needs, with the table's barrier or a calibrated one.
core::RunOutcome runCase(const core::Case& c, bool series, core::RunInputs inputs,
                         const std::optional<core::CalibratedBarrier>& barrier) {
    if (barrier)
        inputs.barrier = barrier->coefficients();
    return series ? core::runModel(c, inputs) : core::runModelMaxima(c, inputs);
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

bool isOption(const std::string& arg) {
    return arg.size() > 1 && arg[0] == '-';
}

std::string unknownOption(const std::string& arg) {
    return "unknown option \"" + core::escapeControls(arg) + '"';
}

int usageError(std::ostream& err, const std::string& what) {
    err << "kvhitemp-report: " << what << " (see --help)\n";
    return kExitUsage;
}

namespace {

/// `given` without its --check, which may stand anywhere before the end of the options, once;
/// true in `check` when it stood there.
std::vector<std::string> withoutCheck(const std::vector<std::string>& given, bool& check) {
    std::vector<std::string> args;
    check = false;
    bool ended = false;
    for (const std::string& arg : given) {
        ended = ended || arg == "--";
        if (!ended && arg == kCheck && !check)
            check = true;
        else
            args.push_back(arg);
    }
    return args;
}

/// Help is there whatever else is asked, up to the end of the options.
bool asksHelp(const std::vector<std::string>& args) {
    for (const std::string& arg : args) {
        if (arg == "--")
            break;
        if (arg == "--help" || arg == "-h")
            return true;
    }
    return false;
}

/// The plain report's request: one file, perhaps --series.
struct PlainRequest {
    std::string path;
    bool series = false;
};

/// Reads the plain report's arguments into `request`; an exit code when the program ends
/// here (--version, a usage error).
std::optional<int> readPlainRequest(const std::vector<std::string>& args, PlainRequest& request,
                                    std::ostream& out, std::ostream& err) {
    bool optionsEnded = false;
    for (const std::string& arg : args) {
        if (optionsEnded || !isOption(arg)) {
            if (!request.path.empty())
                return usageError(err, "unexpected argument \"" + core::escapeControls(arg) + '"');
            request.path = arg;
        } else if (arg == "--") {
            optionsEnded = true;
        } else if (arg == "--version") {
            out << "kvhitemp-report " KVH_VERSION "\n";
            return kExitOk;
        } else if (arg == "--series") {
            if (request.series)
                return usageError(err, "\"--series\" given twice");
            request.series = true;
        } else {
            return usageError(err, unknownOption(arg));
        }
    }
    if (request.path.empty())
        return usageError(err, "no file given");
    return std::nullopt;
}

/// The report (or the series) of the case in `request.path`.
int reportFile(const PlainRequest& request, bool check, const RunSettings& settings,
               const std::string& barrierPath, std::ostream& out, std::ostream& err) {
    const std::string& path = request.path;
    std::vector<std::string> notices;
    auto opened = core::openDewFile(path, core::Case{}, &notices);
    if (const auto* error = std::get_if<core::DewError>(&opened)) {
        err << "kvhitemp-report: " << core::escapeControls(path) << ": " << error->reason << '\n';
        return error->noMemory ? kExitNoMemory : kExitBadFile;
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
    const core::RunOutcome outcome = runCase(c, request.series, settings.inputs(), barrier);
    if (const auto* error = std::get_if<core::RunError>(&outcome)) {
        err << "kvhitemp-report: " << core::describeError(*error) << '\n';
        return kExitModelFailed;
    }
    const auto& run = std::get<core::RunResult>(outcome);
    if (request.series) {
        printSeries(run, out);
        return kExitOk;
    }
    const core::Evaluation e = core::evaluate(run, c.setup);
    out << core::buildReportText(c, e);
    if (check && (!e.pass || e.warning)) {
        err << "kvhitemp-report: " << core::escapeControls(path) << ": "
            << (e.pass ? "PASS with the dwell warning" : e.verdict) << '\n';
        return kExitCheckFailed;
    }
    return kExitOk;
}

} // namespace

int reportMain(const std::vector<std::string>& given, std::ostream& out, std::ostream& err) {
    bool check = false;
    std::vector<std::string> args = withoutCheck(given, check);
    if (asksHelp(args)) {
        out << kUsage;
        return kExitOk;
    }
    RunSettings settings;
    if (const int code = takeRunSettings(args, settings, err); code != kExitOk)
        return code;
    std::string barrierPath;
    if (!takeBarrierOption(args, barrierPath, err))
        return kExitUsage;
    if (isFitRequest(args) && !barrierPath.empty())
        return usageError(err, "--barrier does not go with --fit");
    if (isFitRequest(args))
        return fitMain(args, out, err);
    if (isCompareRequest(args))
        return compareMain(args, settings.safety(), out, err, check, barrierPath);
    if (isWhatIfRequest(args))
        return whatIfMain(args, settings, out, err);
    if (isRecordingRequest(args))
        return recordingMain(args, out, err);
    PlainRequest request;
    if (const std::optional<int> code = readPlainRequest(args, request, out, err))
        return *code;
    if (request.series && check)
        return usageError(err, "--check goes with a report or a comparison, not --series");
    return reportFile(request, check, settings, barrierPath, out, err);
}

} // namespace kvh::tools
