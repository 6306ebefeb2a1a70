#include "what_if_cli.h"

#include "report_cli.h"

#include "core/dew_file.h"
#include "core/doubtful.h"
#include "core/numbers.h"
#include "core/what_if_csv.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <ostream>
#include <random>

namespace kvh::tools {

namespace {

constexpr std::string_view kMargin = "--margin";
constexpr std::string_view kStartAt = "--start-at";
constexpr std::string_view kWhatIf = "--what-if";
constexpr std::string_view kBackToBack = "--back-to-back";
constexpr std::string_view kGap = "--gap";
constexpr std::string_view kRoom = "--room";
constexpr std::string_view kUncertainty = "--uncertainty";
constexpr std::string_view kSeed = "--seed";
/// The seed without --seed: the engine's own default.
constexpr uint64_t kDefaultSeed = std::mt19937_64::default_seed;

/// The whole text as one number, "." as the decimal point whatever the locale.
template <class Number> std::optional<Number> parseWhole(const std::string& text) {
    Number value{};
    const char* last = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), last, value);
    if (ec != std::errc() || ptr != last)
        return std::nullopt;
    return value;
}

std::optional<double> parseFinite(const std::string& text) {
    const auto value = parseWhole<double>(text);
    if (!value || !core::fitsSingle(*value))
        return std::nullopt;
    return value;
}

/// The question asked, with its numbers.
struct WhatIfRequest {
    enum class Kind { Variations, BackToBack, Uncertainty } kind = Kind::Variations;
    std::string path;
    int runs = 0;
    std::optional<int64_t> gap;
    std::optional<double> room;
    std::optional<uint64_t> seed;
};

/// Reads the value after an option; false (with the usage line written) when it is not one.
template <class Parse>
bool readValue(const std::vector<std::string>& args, size_t& i, Parse parse, std::ostream& err,
               int& code) {
    if (i + 1 >= args.size()) {
        code = usageError(err, args[i] + " needs a value");
        return false;
    }
    ++i;
    if (!parse(args[i])) {
        code = usageError(err, "the value \"" + args[i] + "\" after " + args[i - 1] + " is not " +
                                   "one it takes");
        return false;
    }
    return true;
}

bool takesRuns(WhatIfRequest& r, const std::string& text, int lowest, int highest) {
    const auto value = parseWhole<int>(text);
    if (!value || *value < lowest || *value > highest)
        return false;
    r.runs = *value;
    return true;
}

/// Whether `text` is a value `option` takes (one of the options with a value), stored in the
/// request.
bool takeValue(std::string_view option, const std::string& text, WhatIfRequest& r) {
    if (option == kBackToBack)
        return takesRuns(r, text, core::kMinBackToBackRuns, core::kMaxBackToBackRuns);
    if (option == kUncertainty)
        return takesRuns(r, text, 1, core::kMaxUncertaintyRuns);
    if (option == kGap) {
        r.gap = parseWhole<int64_t>(text);
        return r.gap && *r.gap >= 0 && *r.gap <= core::kMaxTotalMinutes;
    }
    if (option == kRoom)
        return (r.room = parseFinite(text)).has_value();
    r.seed = parseWhole<uint64_t>(text);
    return r.seed.has_value();
}

/// The option at args[i] read into the request; a usage error's exit code otherwise.
int readOption(const std::vector<std::string>& args, size_t& i, WhatIfRequest& r,
               std::ostream& err) {
    using Kind = WhatIfRequest::Kind;
    const std::string& arg = args[i];
    const bool runs = arg == kBackToBack || arg == kUncertainty;
    if (runs && r.kind != Kind::Variations)
        return usageError(err, "ask for back-to-back runs or the uncertainty, not both");
    if (runs)
        r.kind = arg == kBackToBack ? Kind::BackToBack : Kind::Uncertainty;
    if (runs || arg == kGap || arg == kRoom || arg == kSeed) {
        int code = kExitOk;
        readValue(
            args, i, [&](const std::string& t) { return takeValue(arg, t, r); }, err, code);
        return code;
    }
    if (arg == kWhatIf || (!arg.empty() && (arg[0] != '-' || arg == "-"))) {
        if (arg == kWhatIf && ++i >= args.size())
            return usageError(err, "no file given");
        if (!r.path.empty())
            return usageError(err, "unexpected argument \"" + args[i] + "\"");
        r.path = args[i];
        return kExitOk;
    }
    return usageError(err, "unexpected argument \"" + arg + "\"");
}

int checkRequest(const WhatIfRequest& r, std::ostream& err) {
    using Kind = WhatIfRequest::Kind;
    if (r.path.empty())
        return usageError(err, "no file given");
    if (r.kind == Kind::BackToBack && !r.gap)
        return usageError(err, "--back-to-back needs --gap");
    if (r.kind != Kind::BackToBack && (r.gap || r.room))
        return usageError(err, "--gap and --room go with --back-to-back");
    if (r.kind != Kind::Uncertainty && r.seed)
        return usageError(err, "--seed goes with --uncertainty");
    return kExitOk;
}

/// Every variation; one that does not run is named on stderr and left with empty fields.
int printVariations(const core::Case& c, const RunSettings& settings, std::ostream& out,
                    std::ostream& err) {
    const core::VariationsOutcome outcome = core::runVariations(c, settings.whatIf());
    if (const auto* error = std::get_if<core::RunError>(&outcome)) {
        err << "kvhitemp-report: " << core::describeError(*error) << '\n';
        return kExitModelFailed;
    }
    const auto& variations = std::get<core::Variations>(outcome);
    for (const core::VariationResult& row : variations.rows)
        if (row.error)
            err << "kvhitemp-report: " << core::variationName(row.variation) << ": "
                << core::describeError(*row.error) << '\n';
    out << core::variationsCsv(variations);
    return kExitOk;
}

template <class Outcome, class Print>
int printOutcome(const Outcome& outcome, Print print, std::ostream& out, std::ostream& err) {
    if (const auto* error = std::get_if<core::RunError>(&outcome)) {
        err << "kvhitemp-report: " << core::describeError(*error) << '\n';
        return kExitModelFailed;
    }
    out << print(std::get<0>(outcome));
    return kExitOk;
}

int answer(const WhatIfRequest& r, const core::Case& c, const RunSettings& settings,
           std::ostream& out, std::ostream& err) {
    switch (r.kind) {
    case WhatIfRequest::Kind::Variations:
        return printVariations(c, settings, out, err);
    case WhatIfRequest::Kind::BackToBack: {
        const double room = r.room.value_or(core::defaultRoomTemp(c.setup));
        return printOutcome(core::runBackToBack(c, r.runs, *r.gap, room, settings.whatIf()),
                            core::backToBackCsv, out, err);
    }
    case WhatIfRequest::Kind::Uncertainty:
        return printOutcome(
            core::runUncertainty(c, r.runs, r.seed.value_or(kDefaultSeed), settings.whatIf()),
            core::uncertaintyCsv, out, err);
    }
    return kExitOk;
}

} // namespace

core::SafetySettings RunSettings::safety() const {
    core::SafetySettings s;
    s.marginCelsius = marginCelsius;
    if (startAt)
        s.stageStart = static_cast<float>(*startAt);
    return s;
}

core::WhatIfSettings RunSettings::whatIf() const {
    core::WhatIfSettings s;
    s.marginCelsius = marginCelsius;
    if (startAt)
        s.stageStart = static_cast<float>(*startAt);
    return s;
}

core::RunInputs RunSettings::inputs() const {
    core::RunInputs inputs;
    if (startAt)
        inputs.stageStart = static_cast<float>(*startAt);
    return inputs;
}

int takeRunSettings(std::vector<std::string>& args, RunSettings& settings, std::ostream& err) {
    std::vector<std::string> rest;
    bool margin = false;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--") { // what follows are file names
            rest.insert(rest.end(), args.begin() + static_cast<std::ptrdiff_t>(i), args.end());
            break;
        }
        if (arg != kMargin && arg != kStartAt) {
            rest.push_back(arg);
            continue;
        }
        if ((arg == kMargin && margin) || (arg == kStartAt && settings.startAt))
            return usageError(err, arg + " is given twice");
        if (i + 1 >= args.size())
            return usageError(err, arg + " needs a value");
        const std::optional<double> value = parseFinite(args[++i]);
        if (arg == kMargin && (!value || *value < 0))
            return usageError(err, "the margin \"" + args[i] + "\" is not a number of 0 or more");
        if (arg == kStartAt && !value)
            return usageError(err, "the start \"" + args[i] + "\" is not a temperature");
        if (arg == kMargin) {
            settings.marginCelsius = *value;
            margin = true;
        } else {
            settings.startAt = value;
        }
    }
    args = std::move(rest);
    return kExitOk;
}

bool isWhatIfRequest(const std::vector<std::string>& args) {
    return std::any_of(args.begin(), args.end(), [](const std::string& arg) {
        return arg == kWhatIf || arg == kBackToBack || arg == kUncertainty;
    });
}

int whatIfMain(const std::vector<std::string>& args, const RunSettings& settings, std::ostream& out,
               std::ostream& err) {
    WhatIfRequest request;
    for (size_t i = 0; i < args.size(); ++i)
        if (const int code = readOption(args, i, request, err); code != kExitOk)
            return code;
    if (const int code = checkRequest(request, err); code != kExitOk)
        return code;
    std::vector<std::string> notices;
    auto opened = core::openDewFile(request.path, core::Case{}, &notices);
    if (const auto* error = std::get_if<core::DewError>(&opened)) {
        err << "kvhitemp-report: " << request.path << ": " << error->reason << '\n';
        return kExitBadFile;
    }
    const core::Case& c = std::get<core::Case>(opened);
    for (const std::string& notice : notices)
        err << notice << '\n';
    for (const core::DoubtfulCell& cell : core::findDoubtfulCells(c.profile))
        err << cell.notice << '\n';
    if (!c.setup.complete()) {
        err << core::kSetupNotComplete << '\n';
        return kExitIncompleteSetup;
    }
    return answer(request, c, settings, out, err);
}

} // namespace kvh::tools
