// kvhitemp-report --compare and --compare-all: the CSV contract (exit codes: report_cli_test).

#include "cli_run.h"
#include "core/advisor.h"
#include "core/comparison_csv.h"
#include "core/dew_file.h"
#include "core_printers.h"
#include "named_row.h"
#include "temp_dir.h"

#include <gtest/gtest.h>

#include <sstream>
#include <sys/stat.h>

using kvh::test::CliRun;
using kvh::test::NamedRow;
using kvh::test::RowName;
using kvh::test::runCli;

namespace {

const char* const kHeader =
    "model,max_internal,max_dwell,verdict,warning,safe_dwell_minutes,peak_after_end,"
    "minutes_to_peak,unit,limit";
const char* const kNoModel = "Tracer Type = 1\r\nEnvironment = 0\r\n[Data]\r\nS,25,0\r\n"
                             "R,300,15\r\nD,300,20\r\nE,25,60\r\n";
const char* const kZeroRamp = "Tracer Type = 0\r\nEnvironment = 0\r\nS,20,0\r\nR,80,0\r\n";
const char* const kFahrenheitHours = "Temp Units = 0\r\nTime Units = 1\r\nDavar Model = 2\r\n"
                                     "Tracer Type = 0\r\nEnvironment = 1\r\n[Data]\r\n"
                                     "S,77,0\r\nR,500,0.5\r\nD,500,0.25\r\nE,77,1\r\n";

using CompareCli = kvh::test::TempDir;

std::vector<std::string> split(const std::string& text, char sep) {
    std::vector<std::string> parts;
    std::string part;
    std::istringstream in(text);
    while (std::getline(in, part, sep))
        parts.push_back(part);
    return parts;
}

// What each row holds is the comparison's (advisor_test); the program prints it as it is.
TEST_F(CompareCli, PrintsTheComparisonOfTheCase) {
    for (const char* file : {kNoModel, kFahrenheitHours}) {
        const std::string path = write("case.dew", file);
        const CliRun r = runCli({"--compare", path});
        ASSERT_EQ(r.code, 0) << r.err;
        EXPECT_EQ(r.err, "");
        const auto c = std::get<kvh::core::Case>(kvh::core::openDewFile(path, kvh::core::Case{}));
        const auto cmp = std::get<kvh::core::Comparison>(kvh::core::compareBarriers(c));
        EXPECT_EQ(r.out, kvh::core::comparisonCsv(cmp));
        EXPECT_EQ(r.out.rfind(std::string(kHeader) + "\n7640,", 0), 0u) << r.out;
    }
}

TEST_F(CompareCli, AllOfAFolderGivesOneCsvByFileNameAndNamesTheFailures) {
    write("b-case.dew", kFahrenheitHours);
    write("a-case.DEW", kNoModel);
    write("c-broken.dew", kZeroRamp);
    write("notes.txt", "not a case");
    const CliRun r = runCli({"--compare-all", m_dir.string()});
    EXPECT_EQ(r.code, 3);
    EXPECT_NE(r.err.find("c-broken.dew: Profile row 2"), std::string::npos) << r.err;
    const std::vector<std::string> lines = split(r.out, '\n');
    ASSERT_EQ(lines.size(), 1u + 6u + 4u);
    EXPECT_EQ(lines[0], std::string("file,") + kHeader);
    EXPECT_EQ(lines[1].substr(0, 16), "a-case.DEW,7640,");
    EXPECT_EQ(lines[7].substr(0, 16), "b-case.dew,7640,");
    EXPECT_EQ(lines[10].substr(0, 16), "b-case.dew,7300,");
}

TEST_F(CompareCli, AllOfSomeFilesKeepTheNamesGivenAndMatchSingleComparisons) {
    const std::string a = write("x,1.dew", kNoModel);
    const std::string b = write("y.dew", kFahrenheitHours);
    const CliRun all = runCli({"--compare-all", b, a});
    ASSERT_EQ(all.code, 0) << all.err;
    std::string expected = std::string("file,") + kHeader + "\n";
    for (const std::string& path : {b, a}) {
        const CliRun one = runCli({"--compare", path});
        const std::string field = path.find(',') != std::string::npos ? '"' + path + '"' : path;
        for (const std::string& line : split(one.out.substr(one.out.find('\n') + 1), '\n'))
            expected += field + "," + line + "\n";
    }
    EXPECT_EQ(all.out, expected);
}

// What a folder holds beside its cases is named with the reason it is left out; the cases
// are still compared, and the exit status says that something was left out.
TEST_F(CompareCli, AllOfAFolderNamesEachSkippedEntryWithItsReason) {
    write("good.dew", kNoModel);
    write("notes.txt", "not a case, not named");
    ASSERT_EQ(::mkfifo(path("pipe.dew").c_str(), 0600), 0);
    std::filesystem::create_directory(path("folder.dew"));
    std::filesystem::create_symlink("gone.dew", path("dangling.dew"));
    std::filesystem::create_symlink("loop.dew", path("loop.dew"));
    std::filesystem::create_symlink("good.dew", path("link.dew"));
    const CliRun r = runCli({"--compare-all", m_dir.string()});
    EXPECT_EQ(r.code, 1) << r.err;
    for (const char* line :
         {"dangling.dew: skipped, it is a link to nothing\n",
          "folder.dew: skipped, it is a folder\n", "loop.dew: skipped, it is a link loop\n",
          "pipe.dew: skipped, it is a FIFO\n"})
        EXPECT_NE(r.err.find(line), std::string::npos) << line << " in " << r.err;
    EXPECT_EQ(r.err.find("notes.txt"), std::string::npos) << r.err;
    EXPECT_EQ(split(r.out, '\n').size(), 1u + 2u * 6u) << r.out; // good.dew and link.dew
}

TEST_F(CompareCli, AnUnreadableFolderIsSaidToBeOne) {
    if (::geteuid() == 0)
        GTEST_SKIP() << "the superuser reads any folder";
    write("good.dew", kNoModel);
    std::filesystem::permissions(m_dir, std::filesystem::perms::owner_write |
                                            std::filesystem::perms::owner_exec);
    const CliRun r = runCli({"--compare-all", m_dir.string()});
    EXPECT_EQ(r.code, 1);
    EXPECT_NE(r.err.find(": the folder cannot be read: "), std::string::npos) << r.err;
    EXPECT_EQ(r.err.find("no .dew files"), std::string::npos) << r.err;
    EXPECT_EQ(r.out, "");
}

// A file whose name begins with "-" is read after "--"; before it, it is an unknown option.
TEST_F(CompareCli, DashNamedFileAfterTheEndOfOptions) {
    write("-x.dew", kNoModel);
    const std::filesystem::path before = std::filesystem::current_path();
    std::filesystem::current_path(m_dir);
    const CliRun option = runCli({"-x.dew"});
    const CliRun report = runCli({"--", "-x.dew"});
    const CliRun compare = runCli({"--compare", "--", "-x.dew"});
    std::filesystem::current_path(before);
    EXPECT_EQ(option.code, 64);
    EXPECT_NE(option.err.find("unknown option \"-x.dew\""), std::string::npos) << option.err;
    EXPECT_EQ(report.code, 2) << report.err; // opened: its barrier is not chosen
    EXPECT_EQ(compare.code, 0) << compare.err;
    EXPECT_EQ(compare.out.rfind(kHeader, 0), 0u) << compare.out;
}

const char* const kSafe = "Temp Units = 1\r\nTime Units = 0\r\nDavar Model = 4\r\n"
                          "Tracer Type = 1\r\nEnvironment = 0\r\n[Data]\r\nS,25,0\r\n"
                          "R,60,30\r\nD,60,30\r\nE,25,30\r\n";
const char* const kFailsEverywhere = "Temp Units = 1\r\nTime Units = 0\r\nDavar Model = 4\r\n"
                                     "Tracer Type = 1\r\nEnvironment = 0\r\n[Data]\r\n"
                                     "S,25,0\r\nR,400,30\r\nD,400,600\r\nE,25,30\r\n";
const char* const kDwellWarning = "Temp Units = 1\r\nTime Units = 0\r\nDavar Model = 1\r\n"
                                  "Tracer Type = 1\r\nEnvironment = 0\r\n[Data]\r\nS,25,0\r\n"
                                  "R,400,15\r\nD,400,105\r\nE,25,5\r\n";

/// --check: the arguments ("FILE" and "OTHER" stand for the cases written), the exit code and
/// what standard error then says.
struct CheckCase : NamedRow {
    std::vector<std::string> args;
    const char* file;
    const char* other;
    int code;
    const char* err; ///< a part of standard error, or "" for none at all
};

class Check : public CompareCli, public testing::WithParamInterface<CheckCase> {};

TEST_P(Check, ExitsOneWhenTheCaseIsNotSafe) {
    const CheckCase& row = GetParam();
    std::vector<std::string> args;
    for (const std::string& arg : row.args)
        args.push_back(arg == "FILE"    ? write("case.dew", row.file)
                       : arg == "OTHER" ? write("other.dew", row.other)
                                        : arg);
    const CliRun r = runCli(args);
    EXPECT_EQ(r.code, row.code) << r.err;
    if (*row.err == 0) {
        EXPECT_EQ(r.err, "");
    } else {
        EXPECT_NE(r.err.find(row.err), std::string::npos) << r.err;
    }
    // A check changes the exit status only: the output is the one without it.
    if (row.code != 64) {
        std::vector<std::string> plain;
        for (const std::string& arg : args)
            if (arg != "--check")
                plain.push_back(arg);
        EXPECT_EQ(r.out, runCli(plain).out);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cli, Check,
    testing::Values(
        CheckCase{{"report passes"}, {"--check", "FILE"}, kSafe, "", 0, ""},
        CheckCase{{"report fails"}, {"--check", "FILE"}, kFailsEverywhere, "", 1, ": FAIL"},
        CheckCase{{"report passes with the dwell warning"},
                  {"FILE", "--check"},
                  kDwellWarning,
                  "",
                  1,
                  ": PASS with the dwell warning"},
        CheckCase{{"without check a fail exits 0"}, {"FILE"}, kFailsEverywhere, "", 0, ""},
        CheckCase{
            {"compare with a safe barrier"}, {"--check", "--compare", "FILE"}, kSafe, "", 0, ""},
        CheckCase{{"compare without a safe barrier"},
                  {"--compare", "--check", "FILE"},
                  kFailsEverywhere,
                  "",
                  1,
                  "case.dew: no barrier is safe"},
        CheckCase{{"compare all names the unsafe case"},
                  {"--check", "--compare-all", "OTHER", "FILE"},
                  kFailsEverywhere,
                  kSafe,
                  1,
                  "case.dew: no barrier is safe"},
        CheckCase{{"compare all a failure keeps its own code"},
                  {"--check", "--compare-all", "FILE", "OTHER"},
                  kFailsEverywhere,
                  kZeroRamp,
                  3,
                  "Profile row 2"},
        CheckCase{{"check does not go with series"},
                  {"--check", "--series", "FILE"},
                  kSafe,
                  "",
                  64,
                  "not --series"}),
    RowName{});

// Help wins over whatever else is asked, a bad value included.
TEST(Usage, NamesEveryModeAndOption) {
    const CliRun r = runCli({"--what-if", "case.dew", "--margin", "-3", "--help"});
    EXPECT_EQ(r.code, 0);
    for (const char* word :
         {"--series", "--compare FILE.dew", "--compare-all", "--check", "--help", "--version",
          "unit,limit", "--what-if", "--back-to-back", "--uncertainty", "--margin", "--start-at"})
        EXPECT_NE(r.out.find(word), std::string::npos) << word;
}

} // namespace
