// kvhitemp-report's exit codes and messages, its notices and its series, for a report and for
// --compare and --compare-all alike.

#include "cli_run.h"
#include "named_row.h"
#include "temp_dir.h"

#include <gtest/gtest.h>

using kvh::test::CliRun;
using kvh::test::NamedRow;
using kvh::test::RowName;
using kvh::test::runCli;
using kvh::test::TempDir;

namespace {

struct CliCase : NamedRow {
    std::vector<std::string> args; ///< "@" stands for the written file, "DIR" for its folder
    const char* file;              ///< content of the file, or nullptr for none
    int exitCode;
    const char* stderrPart; ///< "": nothing on standard error
    const char* stdoutPart = "";
};

class ReportCli : public TempDir, public testing::WithParamInterface<CliCase> {};

TEST_P(ReportCli, ExitCodesAndMessages) {
    const CliCase& p = GetParam();
    if (p.file)
        put(path("case.dew"), p.file);
    std::vector<std::string> args = p.args;
    for (std::string& a : args)
        a = a == "@" ? path("case.dew") : a == "DIR" ? m_dir.string() : a;
    kvh::test::expectCli(args, p.exitCode, p.stderrPart, p.stdoutPart);
}

const char* const kIncomplete = "[Setup]\r\nTemp Units = 1\r\n[Data]\r\nS,20,0\r\n";
const char* const kBadRamp =
    "Davar Model = 0\r\nTracer Type = 0\r\nEnvironment = 0\r\nS,20,0\r\nR,80,0\r\n";
const char* const kNoModel = "Tracer Type = 1\r\nEnvironment = 0\r\n[Data]\r\nS,25,0\r\n"
                             "R,300,15\r\nD,300,20\r\nE,25,60\r\n";
const char* const kNoEnviron = "Davar Model = 0\r\nTracer Type = 0\r\n[Data]\r\nS,25,0\r\n";
const char* const kOddCell =
    "Tracer Type = 0\r\nEnvironment = 0\r\n[Data]\r\nS,25,0\r\nR,4OO,15\r\n";
const char* const kZeroRamp = "Tracer Type = 0\r\nEnvironment = 0\r\nS,20,0\r\nR,80,0\r\n";
const char* const kAll = "Setup not complete! Results cannot be displayed";

INSTANTIATE_TEST_SUITE_P(
    Contract, ReportCli,
    testing::Values(
        CliCase{"NoArguments", {}, nullptr, 64, "no file"},
        CliCase{"TwoFiles", {"a.dew", "b.dew"}, nullptr, 64, "unexpected argument"},
        CliCase{"UnknownOption", {"--bogus", "@"}, "", 64, "unknown option \"--bogus\""},
        CliCase{
            "DashClusterIsNoOption", {"-dash.dew"}, nullptr, 64, "unknown option \"-dash.dew\""},
        CliCase{"VersionClusterIsNoOption", {"-vessel.dew"}, nullptr, 64, "unknown option"},
        CliCase{"ControlCharactersEscaped",
                {"bad\x1b[31m\n.dew"},
                nullptr,
                1,
                "kvhitemp-report: bad\\x1B[31m\\n.dew: The file cannot be opened"},
        CliCase{"MissingFile", {"@"}, nullptr, 1, "cannot be opened"},
        CliCase{"TruncatedRow", {"@"}, "S,1", 1, "ends before"},
        CliCase{"IncompleteSetup", {"@"}, kIncomplete, 2, kAll},
        CliCase{"ZeroRamp", {"--series", "@"}, kBadRamp, 3, "Profile row 2"},
        CliCase{"Help", {"--help"}, nullptr, 0, "", "Usage: kvhitemp-report"},
        CliCase{"HelpWinsOverAFile", {"missing.dew", "--help"}, nullptr, 0, "", "--version"},
        CliCase{"Version", {"--version"}, nullptr, 0, "", "kvhitemp-report " KVH_VERSION "\n"},
        CliCase{"VersionWinsOverAFile", {"missing.dew", "--version"}, nullptr, 0, "", KVH_VERSION},
        CliCase{"CompareNoFile", {"--compare"}, nullptr, 64, "no file"},
        CliCase{"CompareTwoFiles", {"--compare", "@", "@"}, kNoModel, 64, "unexpected argument"},
        CliCase{"CompareOptionAfter", {"--compare", "--series"}, nullptr, 64, "unknown option"},
        CliCase{"CompareAllWithoutFiles", {"--compare-all"}, nullptr, 64, "no file"},
        CliCase{"CompareMissingFile", {"--compare", "@"}, nullptr, 1, "cannot be opened"},
        CliCase{"CompareNoEnvironment", {"--compare", "@"}, kNoEnviron, 2, kAll},
        CliCase{"CompareMisreadCellNamed",
                {"--compare", "@"},
                kOddCell,
                0,
                "Line 5: \"4OO\" is read as 4"},
        CliCase{"CompareProfileError", {"--compare", "@"}, kZeroRamp, 3, "Profile row 2"},
        CliCase{
            "CompareFolderWithoutCases", {"--compare-all", "DIR"}, nullptr, 1, "no .dew files"}),
    RowName{});

class ReportCliFiles : public TempDir {};

// Odd cells and fields are told on standard error; the report itself does not change.
TEST_F(ReportCliFiles, NoticesGoToStandardErrorOnly) {
    const std::string setup = "Davar Model = 1\r\nTracer Type = 1\r\nEnvironment = 0\r\n";
    const CliRun clean = runCli({write("clean.dew", setup + "S,20,0\r\nD,400,30\r\n")});
    const CliRun odd = runCli({write("odd.dew", setup + "S,20,0\r\nD,400 C,30\r\n")});
    ASSERT_EQ(clean.code, 0);
    ASSERT_EQ(odd.code, 0);
    EXPECT_EQ(clean.err, "");
    EXPECT_EQ(odd.err, "Line 5: \"400 C\" is read as 400\n");
    EXPECT_EQ(odd.out, clean.out);
}

TEST_F(ReportCliFiles, SeriesHasOneRowPerMinuteToEightyAfterTheEnd) {
    const std::string dew =
        "Davar Model = 1\r\nTracer Type = 0\r\nEnvironment = 0\r\nS,20,0\r\nR,100,10\r\n";
    const CliRun r = runCli({"--series", write("series.dew", dew)});
    ASSERT_EQ(r.code, 0) << r.err;
    const std::string& csv = r.out;
    EXPECT_EQ(std::count(csv.begin(), csv.end(), '\n'), 1 + 91);
    // The ramp's first minute is 28; both stages start at the start temperature.
    EXPECT_NE(csv.find("\n60,28,20,20\n"), std::string::npos) << csv.substr(0, 2000);
    EXPECT_EQ(csv.find("\n91,"), std::string::npos);
    EXPECT_NE(csv.find("\n90,0,"), std::string::npos);
}

} // namespace
