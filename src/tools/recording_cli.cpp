#include "recording_cli.h"

#include "report_cli.h"

#include "core/dew_file.h"
#include "core/measured.h"
#include "core/model.h"
#include "core/numbers.h"
#include "core/profile_maker.h"
#include "core/recording.h"

#include <algorithm>
#include <charconv>
#include <optional>
#include <ostream>

namespace kvh::tools {

namespace {

constexpr std::string_view kProfileFrom = "--profile-from";
constexpr std::string_view kMeasured = "--measured";

/// The arguments of a recording mode.
struct Request {
    bool measured = false; ///< --measured, else --profile-from
    std::string trace;
    std::string casePath;
    int column = 0; ///< 1 for the first temperature column
    std::optional<double> tolerance;
    double offset = 0.0;
    core::RecordingOptions options;
};

std::optional<double> number(const std::string& text) {
    double value = 0;
    const auto [ptr, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || ptr != text.data() + text.size() || !core::fitsSingle(value))
        return std::nullopt;
    return value;
}

std::optional<int> wholeNumber(const std::string& text) {
    int value = 0;
    const auto [ptr, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || ptr != text.data() + text.size() || value < 1)
        return std::nullopt;
    return value;
}

/// Applies an option with its value; an error text for a bad value or an unknown option.
std::string takeOption(Request& r, const std::string& name, const std::string& value) {
    if (auto why = takeRecordingOption(name, value, {{"--column", &r.column}}, r.options))
        return *why;
    if (name == kProfileFrom || name == kMeasured) {
        r.measured = name == kMeasured;
        r.trace = value;
    } else if (name == "--tolerance") {
        r.tolerance = number(value);
        if (!r.tolerance || *r.tolerance <= 0)
            return "--tolerance needs a number above 0";
    } else if (name == "--offset") {
        const auto n = number(value);
        if (!n)
            return "--offset needs a number of minutes";
        r.offset = *n;
    } else {
        return "unexpected argument \"" + name + "\"";
    }
    return {};
}

std::variant<Request, std::string> parseRequest(const std::vector<std::string>& args) {
    Request r;
    int modes = 0;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg.size() > 2 && arg.starts_with("--")) {
            if (i + 1 == args.size())
                return arg + " needs a value";
            modes += arg == kProfileFrom || arg == kMeasured;
            if (std::string why = takeOption(r, arg, args[++i]); !why.empty())
                return why;
        } else if (r.casePath.empty() && !arg.empty()) {
            r.casePath = arg;
        } else {
            return "unexpected argument \"" + arg + "\"";
        }
    }
    if (modes != 1)
        return "give one of --profile-from and --measured";
    if (r.column == 0)
        return "--column is needed";
    if (r.casePath.empty())
        return "no case file given";
    return r;
}

core::TempUnit caseUnit(const core::Case& c) {
    return c.setup.celsius() ? core::TempUnit::Celsius : core::TempUnit::Fahrenheit;
}

/// The recording read with what the reader found on `err`, or the exit code.
std::variant<core::Recording, int> readTrace(const Request& r, const core::Case& c,
                                             std::ostream& err) {
    auto recording = readRecordingForCase(r.trace, r.options, caseUnit(c), err);
    if (!recording)
        return kExitBadRecording;
    if (static_cast<size_t>(r.column) > recording->columns.size()) {
        err << "kvhitemp-report: " << r.trace << ": the recording has no temperature column "
            << r.column << " (it has " << recording->columns.size() << ")\n";
        return kExitBadRecording;
    }
    return std::move(*recording);
}

int profileFrom(const Request& r, const core::Case& c, const core::Recording& rec,
                std::ostream& out, std::ostream& err) {
    const auto trace = core::resampleToMinutes(rec, static_cast<size_t>(r.column - 1), caseUnit(c));
    const double tolerance = r.tolerance.value_or(core::defaultTolerance(c.setup.celsius()));
    auto made = core::makeProfileRows(trace, tolerance, core::kMaxProfileRows);
    if (const auto* why = std::get_if<std::string>(&made)) {
        err << "kvhitemp-report: " << *why << '\n';
        return kExitBadRecording;
    }
    out << core::writeDew(core::caseWithRows(c, std::get<std::vector<core::MadeRow>>(made)));
    return kExitOk;
}

int measured(const Request& r, const core::Case& c, const core::Recording& rec, std::ostream& out,
             std::ostream& err) {
    if (!c.setup.complete()) {
        err << core::kSetupNotComplete << '\n';
        return kExitIncompleteSetup;
    }
    const core::RunOutcome outcome = core::runModel(c);
    if (const auto* error = std::get_if<core::RunError>(&outcome)) {
        err << "kvhitemp-report: " << core::describeError(*error) << '\n';
        return kExitModelFailed;
    }
    const auto trace =
        core::measuredFromRecording(rec, static_cast<size_t>(r.column - 1), caseUnit(c), r.offset);
    const auto cmp = core::compareMeasured(std::get<core::RunResult>(outcome), trace);
    if (!cmp) {
        err << "kvhitemp-report: " << core::kNoOverlapText << '\n';
        return kExitBadRecording;
    }
    out << core::measuredCsv(*cmp);
    for (const std::string& line : core::measuredLines(*cmp, c.setup.celsius()))
        err << line << '\n';
    return kExitOk;
}

} // namespace

std::optional<std::string> takeRecordingOption(const std::string& name, const std::string& value,
                                               const ColumnOptions& columns,
                                               core::RecordingOptions& options) {
    for (const auto& [option, column] : columns)
        if (name == option) {
            const auto n = wholeNumber(value);
            if (!n)
                return name + " needs a whole number from 1";
            *column = *n;
            return std::string();
        }
    if (name == "--time-column") {
        const auto n = wholeNumber(value);
        if (!n)
            return "--time-column needs a whole number from 1";
        options.timeColumn = *n - 1;
    } else if (name == "--date-order") {
        if (value != "dmy" && value != "mdy")
            return "--date-order takes dmy or mdy";
        options.dateOrder = value == "dmy" ? core::DateOrder::DayMonth : core::DateOrder::MonthDay;
    } else if (name == "--unit") {
        if (value != "C" && value != "F")
            return "--unit takes C or F";
        options.unit = value == "C" ? core::TempUnit::Celsius : core::TempUnit::Fahrenheit;
    } else {
        return std::nullopt;
    }
    return std::string();
}

std::optional<core::Recording> readRecordingForCase(const std::string& path,
                                                    core::RecordingOptions options,
                                                    core::TempUnit caseUnit, std::ostream& err) {
    options.caseUnit = caseUnit;
    auto outcome = core::readRecordingFile(path, options);
    if (const auto* error = std::get_if<core::RecordingError>(&outcome)) {
        err << "kvhitemp-report: " << path << ": " << error->reason;
        if (error->needsDateOrder)
            err << " Give --date-order dmy or mdy.";
        err << '\n';
        return std::nullopt;
    }
    auto& recording = std::get<core::Recording>(outcome);
    for (const std::string& line : core::describeRecording(recording))
        err << line << '\n';
    return std::move(recording);
}

bool isRecordingRequest(const std::vector<std::string>& args) {
    auto has = [&](auto test) { return std::any_of(args.begin(), args.end(), test); };
    return has([](const std::string& a) { return a == kProfileFrom || a == kMeasured; }) &&
           !has(
               [](const std::string& a) { return a == "--help" || a == "-h" || a == "--version"; });
}

int recordingMain(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    auto parsed = parseRequest(args);
    if (const auto* why = std::get_if<std::string>(&parsed)) {
        err << "kvhitemp-report: " << *why << " (see --help)\n";
        return kExitUsage;
    }
    const Request& r = std::get<Request>(parsed);
    auto opened = core::openDewFile(r.casePath, core::Case{});
    if (const auto* error = std::get_if<core::DewError>(&opened)) {
        err << "kvhitemp-report: " << r.casePath << ": " << error->reason << '\n';
        return kExitBadFile;
    }
    const core::Case& c = std::get<core::Case>(opened);
    auto read = readTrace(r, c, err);
    if (const int* code = std::get_if<int>(&read))
        return *code;
    const auto& rec = std::get<core::Recording>(read);
    return r.measured ? measured(r, c, rec, out, err) : profileFrom(r, c, rec, out, err);
}

} // namespace kvh::tools
