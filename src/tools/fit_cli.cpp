#include "fit_cli.h"

#include "report_cli.h"

#include "core/dew_file.h"
#include "core/fit_recording.h"
#include "core/recording.h"

#include <charconv>
#include <optional>
#include <ostream>

namespace kvh::tools {

namespace {

constexpr std::string_view kFit = "--fit";

/// The fit's arguments as given.
struct FitArgs {
    std::string trace;
    std::string casePath;
    std::optional<std::size_t> processColumn; ///< 0 for the first temperature column
    std::optional<std::size_t> internalColumn;
    core::RecordingOptions options;
};

/// A column or field number from 1 on, as the user counts.
std::optional<std::size_t> countFromOne(const std::string& text) {
    std::size_t n = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), n);
    if (ec != std::errc() || end != text.data() + text.size() || n < 1 || n > 10000)
        return std::nullopt;
    return n - 1;
}

/// Applies one option with its value; false when the value is not one it takes.
bool applyOption(const std::string& name, const std::string& value, FitArgs& fit) {
    if (name == kFit) {
        fit.trace = value;
        return !value.empty();
    }
    if (name == "--process-column")
        return (fit.processColumn = countFromOne(value)).has_value();
    if (name == "--internal-column")
        return (fit.internalColumn = countFromOne(value)).has_value();
    if (name == "--time-column") {
        const auto field = countFromOne(value);
        fit.options.timeColumn = field ? static_cast<int>(*field) : -1;
        return field.has_value();
    }
    if (name == "--date-order") {
        fit.options.dateOrder = value == "dmy"   ? core::DateOrder::DayMonth
                                : value == "mdy" ? core::DateOrder::MonthDay
                                                 : core::DateOrder::Unknown;
        return fit.options.dateOrder != core::DateOrder::Unknown;
    }
    if (name == "--unit") {
        if (value != "C" && value != "F")
            return false;
        fit.options.unit = value == "C" ? core::TempUnit::Celsius : core::TempUnit::Fahrenheit;
        return true;
    }
    return false;
}

/// The arguments, or the line that says what is wrong with them.
std::variant<FitArgs, std::string> parseFitArgs(const std::vector<std::string>& args) {
    FitArgs fit;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg.size() > 2 && arg.rfind("--", 0) == 0) {
            if (i + 1 == args.size() || !applyOption(arg, args[i + 1], fit))
                return "\"" + arg + "\" needs a valid value";
            ++i;
        } else if (fit.casePath.empty() && !arg.empty()) {
            fit.casePath = arg;
        } else {
            return "unexpected argument \"" + arg + "\"";
        }
    }
    if (fit.casePath.empty())
        return std::string("no case file given");
    return fit;
}

int usage(std::ostream& err, const std::string& what) {
    err << "kvhitemp-report: " << what << " (see --help)\n";
    return kExitUsage;
}

/// The recording read in the case's unit, or nothing after telling `err` why.
std::optional<core::Recording> readTrace(FitArgs& fit, const core::Case& c, std::ostream& err) {
    fit.options.caseUnit =
        c.setup.fahrenheit() ? core::TempUnit::Fahrenheit : core::TempUnit::Celsius;
    auto read = core::readRecordingFile(fit.trace, fit.options);
    if (const auto* error = std::get_if<core::RecordingError>(&read)) {
        err << "kvhitemp-report: " << fit.trace << ": " << error->reason << '\n';
        if (error->needsDateOrder)
            err << "kvhitemp-report: give the order with --date-order dmy or --date-order mdy\n";
        return std::nullopt;
    }
    auto& recording = std::get<core::Recording>(read);
    for (const std::string& line : core::describeRecording(recording))
        err << line << '\n';
    return std::move(recording);
}

/// Without --internal-column a recording of one temperature column is the logger's.
std::optional<std::size_t> internalColumn(const FitArgs& fit, const core::Recording& r) {
    if (fit.internalColumn)
        return fit.internalColumn;
    return r.columns.size() == 1 ? std::optional<std::size_t>(0) : std::nullopt;
}

int printFit(const core::FitInput& input, std::ostream& out, std::ostream& err) {
    const core::BarrierFit fit = core::fitBarrier(input);
    out << core::fitCsv(fit);
    err << core::kStageOrderNote << '\n';
    if (fit.poor) {
        err << "kvhitemp-report: poor fit: " << fit.reason << '\n';
        return kExitBadFile;
    }
    return kExitOk;
}

} // namespace

bool isFitRequest(const std::vector<std::string>& args) {
    for (const std::string& arg : args)
        if (arg == kFit)
            return true;
    return false;
}

int fitMain(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    auto parsed = parseFitArgs(args);
    if (const auto* why = std::get_if<std::string>(&parsed))
        return usage(err, *why);
    FitArgs& fit = std::get<FitArgs>(parsed);
    auto opened = core::openDewFile(fit.casePath, core::Case{}, nullptr);
    if (const auto* error = std::get_if<core::DewError>(&opened)) {
        err << "kvhitemp-report: " << fit.casePath << ": " << error->reason << '\n';
        return kExitBadFile;
    }
    const core::Case& c = std::get<core::Case>(opened);
    if (!c.setup.complete()) {
        err << core::kSetupNotComplete << '\n';
        return kExitIncompleteSetup;
    }
    const auto recording = readTrace(fit, c, err);
    if (!recording)
        return kExitBadRecording;
    const auto internal = internalColumn(fit, *recording);
    if (!internal)
        return usage(err, "the recording has several columns: say which with --internal-column");
    auto input = core::fitInputFrom(*recording, {fit.processColumn, *internal}, c);
    if (const auto* why = std::get_if<std::string>(&input)) {
        err << "kvhitemp-report: " << *why << '\n';
        return kExitUsage;
    }
    return printFit(std::get<core::FitInput>(input), out, err);
}

} // namespace kvh::tools
