#include "compare_cli.h"

#include "barrier_option.h"
#include "report_cli.h"

#include "core/advisor.h"
#include "core/comparison_csv.h"
#include "core/dew_file.h"
#include "core/doubtful.h"

#include <algorithm>
#include <filesystem>
#include <ostream>
#include <system_error>
#include <variant>

namespace kvh::tools {

namespace {

constexpr std::string_view kCompare = "--compare";
constexpr std::string_view kCompareAll = "--compare-all";
constexpr std::string_view kNoCases = "no .dew files found";

/// One case to compare: where it is read from and the name its rows carry.
struct Source {
    std::string path;
    std::string name;
};

/// A comparison of one file, or the exit code and the line that says why it failed; with the
/// cells and fields read differently from how they look.
struct Compared {
    std::variant<core::Comparison, int> result;
    std::string message;
    std::vector<std::string> notices;
};

Compared compareFile(const std::string& path) {
    Compared compared{kExitOk, {}, {}};
    auto opened = core::openDewFile(path, core::Case{}, &compared.notices);
    if (const auto* error = std::get_if<core::DewError>(&opened)) {
        compared.result = kExitBadFile;
        compared.message = path + ": " + error->reason;
        return compared;
    }
    const core::Case& c = std::get<core::Case>(opened);
    for (const core::DoubtfulCell& cell : core::findDoubtfulCells(c.profile))
        compared.notices.push_back(cell.notice);
    core::ComparisonOutcome outcome = core::ComparisonOutcome(core::RunError{});
    if (!core::comparable(c.setup)) {
        compared.result = kExitIncompleteSetup;
        compared.message = path + ": " + std::string(core::kSetupNotComplete);
    } else if (outcome = core::compareBarriers(c);
               std::holds_alternative<core::RunError>(outcome)) {
        compared.result = kExitModelFailed;
        compared.message = path + ": " + core::describeError(std::get<core::RunError>(outcome));
    } else {
        compared.result = std::move(std::get<core::Comparison>(outcome));
    }
    return compared;
}

/// The notices on stderr, one a line, after `prefix` (the file's name when many are compared).
void printNotices(const Compared& compared, const std::string& prefix, std::ostream& err) {
    for (const std::string& notice : compared.notices)
        err << prefix << notice << '\n';
}

int usageError(std::ostream& err, const std::string& what) {
    err << "kvhitemp-report: " << what << " (see --help)\n";
    return kExitUsage;
}

bool isDewName(const std::filesystem::path& path) {
    std::string ext = path.extension().string();
    std::transform(ext.begin(), ext.end(), ext.begin(),
                   [](unsigned char ch) { return static_cast<char>(std::tolower(ch)); });
    return ext == ".dew";
}

/// The ".dew" files of a folder, by name; each row carries the file's name.
std::vector<Source> folderSources(const std::filesystem::path& folder) {
    std::vector<Source> sources;
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator(folder, ec))
        if (entry.is_regular_file(ec) && isDewName(entry.path()))
            sources.push_back({entry.path().string(), entry.path().filename().string()});
    std::sort(sources.begin(), sources.end(),
              [](const Source& a, const Source& b) { return a.name < b.name; });
    return sources;
}

std::vector<Source> allSources(const std::vector<std::string>& names) {
    std::error_code ec;
    if (names.size() == 1 && std::filesystem::is_directory(names.front(), ec))
        return folderSources(names.front());
    std::vector<Source> sources;
    for (const std::string& name : names)
        sources.push_back({name, name});
    return sources;
}

/// Adds the calibrated barrier's row after the table's (it takes no part in the ranking).
int addCalibratedRow(const std::string& path, const std::string& barrierPath,
                     core::Comparison& comparison, std::ostream& err) {
    std::vector<std::string> notices;
    auto opened = core::openDewFile(path, core::Case{}, &notices);
    if (const auto* error = std::get_if<core::DewError>(&opened)) {
        err << "kvhitemp-report: " << path << ": " << error->reason << '\n';
        return kExitBadFile;
    }
    const core::Case& c = std::get<core::Case>(opened);
    const auto barrier = loadBarrierFor(barrierPath, c.setup, err);
    if (!barrier)
        return kExitBadFile;
    auto row = core::calibratedBarrierResult(c, barrier->coefficients(), barrier->name);
    if (const auto* error = std::get_if<core::RunError>(&row)) {
        err << "kvhitemp-report: " << path << ": " << core::describeError(*error) << '\n';
        return kExitModelFailed;
    }
    comparison.barriers.push_back(std::move(std::get<core::BarrierResult>(row)));
    return kExitOk;
}

int compareOne(const std::string& path, const std::string& barrierPath, std::ostream& out,
               std::ostream& err) {
    Compared compared = compareFile(path);
    printNotices(compared, {}, err);
    if (const auto* code = std::get_if<int>(&compared.result)) {
        err << "kvhitemp-report: " << compared.message << '\n';
        return *code;
    }
    auto& comparison = std::get<core::Comparison>(compared.result);
    if (!barrierPath.empty())
        if (const int code = addCalibratedRow(path, barrierPath, comparison, err))
            return code;
    out << core::comparisonCsv(comparison);
    return kExitOk;
}

/// Compares every case; a case that fails is told on stderr and the others still print. The
/// exit code is that of the first failure.
int compareMany(const std::vector<Source>& sources, std::ostream& out, std::ostream& err) {
    out << core::comparisonCsvFileHeader();
    int status = kExitOk;
    for (const Source& source : sources) {
        const Compared compared = compareFile(source.path);
        printNotices(compared, source.name + ": ", err);
        if (const auto* code = std::get_if<int>(&compared.result)) {
            err << "kvhitemp-report: " << compared.message << '\n';
            status = status == kExitOk ? *code : status;
            continue;
        }
        out << core::comparisonCsvRows(std::get<core::Comparison>(compared.result), source.name);
    }
    return status;
}

} // namespace

bool isCompareRequest(const std::vector<std::string>& args) {
    return !args.empty() && (args.front() == kCompare || args.front() == kCompareAll);
}

int compareMain(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                const std::string& barrierPath) {
    const std::vector<std::string> names(args.begin() + 1, args.end());
    for (const std::string& name : names)
        if (name.empty() || (name[0] == '-' && name != "-"))
            return usageError(err, "unexpected argument \"" + name + "\"");
    if (names.empty())
        return usageError(err, "no file given");
    if (args.front() == kCompare) {
        if (names.size() > 1)
            return usageError(err, "unexpected argument \"" + names[1] + "\"");
        return compareOne(names.front(), barrierPath, out, err);
    }
    if (!barrierPath.empty())
        return usageError(err, std::string(kBarrierOption) + " goes with --compare of one case");
    const std::vector<Source> sources = allSources(names);
    if (sources.empty()) {
        err << "kvhitemp-report: " << names.front() << ": " << kNoCases << '\n';
        return kExitBadFile;
    }
    return compareMany(sources, out, err);
}

} // namespace kvh::tools
