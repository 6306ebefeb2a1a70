#include "fit_cli.h"

#include "recording_cli.h"
#include "report_cli.h"

#include "core/dew_file.h"
#include "core/fit_recording.h"
#include "core/recording.h"

#include <optional>
#include <ostream>

namespace kvh::tools {

namespace {

constexpr std::string_view kFit = "--fit";

/// The fit's arguments as given.
struct FitArgs {
    std::string trace;
    std::string casePath;
    int processColumn = 0; ///< 1 for the first temperature column, 0 when not given
    int internalColumn = 0;
    core::RecordingOptions options;
};

/// The arguments, or the line that says what is wrong with them.
std::variant<FitArgs, std::string> parseFitArgs(const std::vector<std::string>& args) {
    FitArgs fit;
    const ColumnOptions columns{{"--process-column", &fit.processColumn},
                                {"--internal-column", &fit.internalColumn}};
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg.size() > 2 && arg.rfind("--", 0) == 0) {
            if (i + 1 == args.size())
                return arg + " needs a value";
            const std::string& value = args[++i];
            if (arg == kFit) {
                if (value.empty())
                    return arg + " needs a recording";
                fit.trace = value;
            } else if (auto why = takeRecordingOption(arg, value, columns, fit.options)) {
                if (!why->empty())
                    return *why;
            } else {
                return "unexpected argument \"" + arg + "\"";
            }
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

/// Without --internal-column a recording of one temperature column is the logger's.
std::optional<std::size_t> internalColumn(const FitArgs& fit, const core::Recording& r) {
    if (fit.internalColumn > 0)
        return static_cast<std::size_t>(fit.internalColumn - 1);
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
    const auto recording = readRecordingForCase(
        fit.trace, fit.options,
        c.setup.fahrenheit() ? core::TempUnit::Fahrenheit : core::TempUnit::Celsius, err);
    if (!recording)
        return kExitBadRecording;
    const auto internal = internalColumn(fit, *recording);
    if (!internal)
        return usage(err, "the recording has several columns: say which with --internal-column");
    const auto process =
        fit.processColumn > 0 ? std::optional<std::size_t>(fit.processColumn - 1) : std::nullopt;
    auto input = core::fitInputFrom(*recording, {process, *internal}, c);
    if (const auto* why = std::get_if<std::string>(&input)) {
        err << "kvhitemp-report: " << *why << '\n';
        return kExitUsage;
    }
    return printFit(std::get<core::FitInput>(input), out, err);
}

} // namespace kvh::tools
