#include "compare_cli.h"

#include "barrier_option.h"
#include "report_cli.h"

#include "core/advisor.h"
#include "core/comparison_csv.h"
#include "core/dew_file.h"
#include "core/doubtful.h"
#include "core/shown_text.h"

#include <cerrno>
#include <cstring>
#include <sys/stat.h>

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

/// One case to compare: where it is read from and the name its rows carry; or an entry of a
/// folder that is left out, and why.
struct Source {
    std::string path;
    std::string name;
    std::string skipped = {};
};

/// The files to compare, or why the folder could not be read.
struct Sources {
    std::vector<Source> files;
    std::string folderError;
};

/// A comparison of one file, or the exit code and the line that says why it failed; with the
/// cells and fields read differently from how they look.
struct Compared {
    std::variant<core::Comparison, int> result;
    std::string message;
    std::vector<std::string> notices;
};

Compared compareFile(const std::string& path, const core::SafetySettings& safety) {
    Compared compared{kExitOk, {}, {}};
    auto opened = core::openDewFile(path, core::Case{}, &compared.notices);
    const std::string shown = core::escapeControls(path);
    if (const auto* error = std::get_if<core::DewError>(&opened)) {
        compared.result = error->noMemory ? kExitNoMemory : kExitBadFile;
        compared.message = shown + ": " + error->reason;
        return compared;
    }
    const core::Case& c = std::get<core::Case>(opened);
    for (const core::DoubtfulCell& cell : core::findDoubtfulCells(c.profile))
        compared.notices.push_back(cell.notice);
    core::ComparisonOutcome outcome = core::ComparisonOutcome(core::RunError{});
    if (!core::comparable(c.setup)) {
        compared.result = kExitIncompleteSetup;
        compared.message = shown + ": " + std::string(core::kSetupNotComplete);
    } else if (outcome = core::compareBarriers(c, true, safety);
               std::holds_alternative<core::RunError>(outcome)) {
        compared.result = kExitModelFailed;
        compared.message = shown + ": " + core::describeError(std::get<core::RunError>(outcome));
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

bool isDewName(const std::filesystem::path& path) {
    return core::hasDewSuffix(path.extension().string());
}

/// Why a folder entry named like a case is not one, or "" when it is a file to compare (a
/// link to a regular file included).
std::string skipReason(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) {
        const int err = errno;
        struct stat link {};
        if (::lstat(path.c_str(), &link) == 0 && S_ISLNK(link.st_mode))
            return err == ELOOP    ? "a link loop"
                   : err == ENOENT ? "a link to nothing"
                                   : std::strerror(err);
        return std::strerror(err);
    }
    if (S_ISREG(st.st_mode))
        return {};
    if (S_ISDIR(st.st_mode))
        return "a folder";
    if (S_ISFIFO(st.st_mode))
        return "a FIFO";
    if (S_ISSOCK(st.st_mode))
        return "a socket";
    return "a device";
}

/// The ".dew" entries of a folder, by name; each row carries the entry's name. Entries named
/// like cases that are not files to compare are kept with the reason they are left out.
Sources folderSources(const std::filesystem::path& folder) {
    Sources sources;
    std::error_code ec;
    std::filesystem::directory_iterator it(folder, ec);
    for (; !ec && it != std::filesystem::directory_iterator(); it.increment(ec)) {
        const std::filesystem::path& entry = it->path();
        if (isDewName(entry))
            sources.files.push_back(
                {entry.string(), entry.filename().string(), skipReason(entry.string())});
    }
    if (ec) {
        sources.files.clear();
        sources.folderError = "the folder cannot be read: " + ec.message();
    }
    std::sort(sources.files.begin(), sources.files.end(),
              [](const Source& a, const Source& b) { return a.name < b.name; });
    return sources;
}

Sources allSources(const std::vector<std::string>& names) {
    std::error_code ec;
    if (names.size() == 1 && std::filesystem::is_directory(names.front(), ec))
        return folderSources(names.front());
    Sources sources;
    for (const std::string& name : names)
        sources.files.push_back({name, name});
    return sources;
}

/// Whether --check fails the case: no barrier is safe (said on stderr).
bool checkFails(const core::Comparison& comparison, const std::string& name, std::ostream& err) {
    if (comparison.recommended)
        return false;
    err << "kvhitemp-report: " << core::escapeControls(name) << kNoneSafe << '\n';
    return true;
}

/// Adds the calibrated barrier's row after the table's (it takes no part in the ranking).
int addCalibratedRow(const std::string& path, const std::string& barrierPath,
                     const core::SafetySettings& safety, core::Comparison& comparison,
                     std::ostream& err) {
    std::vector<std::string> notices;
    auto opened = core::openDewFile(path, core::Case{}, &notices);
    if (const auto* error = std::get_if<core::DewError>(&opened)) {
        err << "kvhitemp-report: " << core::escapeControls(path) << ": " << error->reason << '\n';
        return error->noMemory ? kExitNoMemory : kExitBadFile;
    }
    const core::Case& c = std::get<core::Case>(opened);
    const auto barrier = loadBarrierFor(barrierPath, c.setup, err);
    if (!barrier)
        return kExitBadFile;
    auto row =
        core::calibratedBarrierResult(c, barrier->coefficients(), barrier->name, true, safety);
    if (const auto* error = std::get_if<core::RunError>(&row)) {
        err << "kvhitemp-report: " << core::escapeControls(path) << ": "
            << core::describeError(*error) << '\n';
        return kExitModelFailed;
    }
    comparison.barriers.push_back(std::move(std::get<core::BarrierResult>(row)));
    return kExitOk;
}

int compareOne(const std::string& path, const core::SafetySettings& safety, std::ostream& out,
               std::ostream& err, bool check, const std::string& barrierPath) {
    Compared compared = compareFile(path, safety);
    printNotices(compared, {}, err);
    if (const auto* code = std::get_if<int>(&compared.result)) {
        err << "kvhitemp-report: " << compared.message << '\n';
        return *code;
    }
    auto& comparison = std::get<core::Comparison>(compared.result);
    if (!barrierPath.empty())
        if (const int code = addCalibratedRow(path, barrierPath, safety, comparison, err))
            return code;
    out << core::comparisonCsv(comparison);
    return check && checkFails(comparison, path, err) ? kExitCheckFailed : kExitOk;
}

/// Compares every case; a case that fails is told on stderr and the others still print. The
/// exit code is that of the first failure; with `check` and no failure, 1 when a case has no
/// safe barrier.
int compareMany(const std::vector<Source>& sources, const core::SafetySettings& safety,
                std::ostream& out, std::ostream& err, bool check) {
    out << core::comparisonCsvFileHeader();
    int status = kExitOk;
    bool unsafe = false;
    for (const Source& source : sources) {
        if (!source.skipped.empty()) {
            err << "kvhitemp-report: " << core::escapeControls(source.path) << ": skipped, it is "
                << source.skipped << '\n';
            status = status == kExitOk ? kExitBadFile : status;
            continue;
        }
        const Compared compared = compareFile(source.path, safety);
        printNotices(compared, core::escapeControls(source.name) + ": ", err);
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

int compareMain(const std::vector<std::string>& args, const core::SafetySettings& safety,
                std::ostream& out, std::ostream& err, bool check, const std::string& barrierPath) {
    std::vector<std::string> names;
    bool optionsEnded = false;
    for (auto arg = args.begin() + 1; arg != args.end(); ++arg) {
        if (!optionsEnded && *arg == "--")
            optionsEnded = true;
        else if (!optionsEnded && isOption(*arg))
            return usageError(err, unknownOption(*arg));
        else
            names.push_back(*arg);
    }
    if (names.empty())
        return usageError(err, "no file given");
    if (args.front() == kCompare) {
        if (names.size() > 1)
            return usageError(err, "unexpected argument \"" + core::escapeControls(names[1]) + '"');
        return compareOne(names.front(), safety, out, err, check, barrierPath);
    }
    if (!barrierPath.empty())
        return usageError(err, std::string(kBarrierOption) + " goes with --compare of one case");
    const Sources sources = allSources(names);
    if (!sources.folderError.empty() || sources.files.empty()) {
        err << "kvhitemp-report: " << core::escapeControls(names.front()) << ": "
            << (sources.folderError.empty() ? std::string(kNoCases) : sources.folderError) << '\n';
        return kExitBadFile;
    }
    return compareMany(sources.files, safety, out, err, check);
}

} // namespace kvh::tools
