#include "compare_cli.h"

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
constexpr std::string_view kNoneSafe = ": no barrier is safe";

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

/// Whether --check fails the case: no barrier is safe (said on stderr).
bool checkFails(const core::Comparison& comparison, const std::string& name, std::ostream& err) {
    if (comparison.recommended)
        return false;
    err << "kvhitemp-report: " << name << kNoneSafe << '\n';
    return true;
}

int compareOne(const std::string& path, std::ostream& out, std::ostream& err, bool check) {
    const Compared compared = compareFile(path);
    printNotices(compared, {}, err);
    if (const auto* code = std::get_if<int>(&compared.result)) {
        err << "kvhitemp-report: " << compared.message << '\n';
        return *code;
    }
    const auto& comparison = std::get<core::Comparison>(compared.result);
    out << core::comparisonCsv(comparison);
    return check && checkFails(comparison, path, err) ? kExitCheckFailed : kExitOk;
}

/// Compares every case; a case that fails is told on stderr and the others still print. The
/// exit code is that of the first failure; with `check` and no failure, 1 when a case has no
/// safe barrier.
int compareMany(const std::vector<Source>& sources, std::ostream& out, std::ostream& err,
                bool check) {
    out << core::comparisonCsvFileHeader();
    int status = kExitOk;
    bool unsafe = false;
    for (const Source& source : sources) {
        const Compared compared = compareFile(source.path);
        printNotices(compared, source.name + ": ", err);
        if (const auto* code = std::get_if<int>(&compared.result)) {
            err << "kvhitemp-report: " << compared.message << '\n';
            status = status == kExitOk ? *code : status;
            continue;
        }
        const auto& comparison = std::get<core::Comparison>(compared.result);
        out << core::comparisonCsvRows(comparison, source.name);
        if (check && checkFails(comparison, source.name, err))
            unsafe = true;
    }
    return status == kExitOk && unsafe ? kExitCheckFailed : status;
}

} // namespace

bool isCompareRequest(const std::vector<std::string>& args) {
    return !args.empty() && (args.front() == kCompare || args.front() == kCompareAll);
}

int compareMain(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                bool check) {
    const std::vector<std::string> names(args.begin() + 1, args.end());
    for (const std::string& name : names)
        if (name.empty() || (name[0] == '-' && name != "-"))
            return usageError(err, "unexpected argument \"" + name + "\"");
    if (names.empty())
        return usageError(err, "no file given");
    if (args.front() == kCompare) {
        if (names.size() > 1)
            return usageError(err, "unexpected argument \"" + names[1] + "\"");
        return compareOne(names.front(), out, err, check);
    }
    const std::vector<Source> sources = allSources(names);
    if (sources.empty()) {
        err << "kvhitemp-report: " << names.front() << ": " << kNoCases << '\n';
        return kExitBadFile;
    }
    return compareMany(sources, out, err, check);
}

} // namespace kvh::tools
