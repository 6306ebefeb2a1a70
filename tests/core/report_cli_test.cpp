#include "named_row.h"
#include "report_cli.h"
#include "temp_dir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

using kvh::test::NamedRow;
using kvh::test::RowName;

namespace {

struct CliCase : NamedRow {
    std::vector<std::string> args; ///< "@" stands for the written file
    const char* file;              ///< content of the file, or nullptr for none
    int exitCode;
    const char* stderrPart;
};

class ReportCli : public testing::TestWithParam<CliCase> {};

TEST_P(ReportCli, ExitCodesAndMessages) {
    const CliCase& p = GetParam();
    const std::string path = kvh::test::scratchPath(std::string("cli-") + p.name + ".dew").string();
    if (p.file)
        std::ofstream(path, std::ios::binary) << p.file;
    std::vector<std::string> args = p.args;
    for (std::string& a : args)
        if (a == "@")
            a = path;
    std::ostringstream out, err;
    const std::string input = testing::PrintToString(p.args);
    EXPECT_EQ(kvh::tools::reportMain(args, out, err), p.exitCode) << input;
    EXPECT_NE(err.str().find(p.stderrPart), std::string::npos) << input << ": " << err.str();
    if (p.exitCode != 0) {
        EXPECT_TRUE(out.str().empty()) << input << ": " << out.str();
    }
    std::filesystem::remove(path);
}

const char* const kIncomplete = "[Setup]\r\nTemp Units = 1\r\n[Data]\r\nS,20,0\r\n";
const char* const kBadRamp =
    "Davar Model = 0\r\nTracer Type = 0\r\nEnvironment = 0\r\nS,20,0\r\nR,80,0\r\n";

INSTANTIATE_TEST_SUITE_P(
    Failures, ReportCli,
    testing::Values(CliCase{"NoArguments", {}, nullptr, 64, "no file"},
                    CliCase{"TwoFiles", {"a.dew", "b.dew"}, nullptr, 64, "unexpected argument"},
                    CliCase{"UnknownOption", {"--bogus", "@"}, "", 64, "unexpected argument"},
                    CliCase{"MissingFile", {"@"}, nullptr, 1, "cannot be opened"},
                    CliCase{"TruncatedRow", {"@"}, "S,1", 1, "ends before"},
                    CliCase{"IncompleteSetup",
                            {"@"},
                            kIncomplete,
                            2,
                            "Setup not complete! Results cannot be displayed"},
                    CliCase{"ZeroRamp", {"--series", "@"}, kBadRamp, 3, "Profile row 2"}),
    RowName{});

// Odd cells and fields are told on standard error; the report itself does not change.
TEST(ReportCliNotices, GoToStandardErrorOnly) {
    const std::string dir =
        std::filesystem::temp_directory_path().string() + "/kvh-" + std::to_string(::getpid());
    std::filesystem::create_directories(dir);
    const std::string setup = "Davar Model = 1\r\nTracer Type = 1\r\nEnvironment = 0\r\n";
    std::ofstream(dir + "/kvh-clean.dew", std::ios::binary) << setup << "S,20,0\r\nD,400,30\r\n";
    std::ofstream(dir + "/kvh-odd.dew", std::ios::binary) << setup << "S,20,0\r\nD,400 C,30\r\n";
    std::ostringstream cleanOut, cleanErr, oddOut, oddErr;
    ASSERT_EQ(kvh::tools::reportMain({dir + "/kvh-clean.dew"}, cleanOut, cleanErr), 0);
    ASSERT_EQ(kvh::tools::reportMain({dir + "/kvh-odd.dew"}, oddOut, oddErr), 0);
    EXPECT_EQ(cleanErr.str(), "");
    EXPECT_EQ(oddErr.str(), "Line 5: \"400 C\" is read as 400\n");
    EXPECT_EQ(oddOut.str(), cleanOut.str());
    std::filesystem::remove_all(dir);
}

struct InfoCase : NamedRow {
    std::vector<std::string> args;
    const char* stdoutPart;
};

class ReportCliInfo : public testing::TestWithParam<InfoCase> {};

TEST_P(ReportCliInfo, PrintedOnStandardOutputWithSuccess) {
    std::ostringstream out, err;
    const std::string input = testing::PrintToString(GetParam().args);
    EXPECT_EQ(kvh::tools::reportMain(GetParam().args, out, err), 0) << input;
    EXPECT_NE(out.str().find(GetParam().stdoutPart), std::string::npos)
        << input << ": " << out.str();
    EXPECT_TRUE(err.str().empty()) << input << ": " << err.str();
}

INSTANTIATE_TEST_SUITE_P(
    HelpAndVersion, ReportCliInfo,
    testing::Values(InfoCase{"Help", {"--help"}, "Usage: kvhitemp-report"},
                    InfoCase{"HelpWinsOverAFile", {"missing.dew", "--help"}, "--version"},
                    InfoCase{"Version", {"--version"}, "kvhitemp-report " KVH_VERSION "\n"},
                    InfoCase{"VersionWinsOverAFile", {"missing.dew", "--version"}, KVH_VERSION}),
    RowName{});

TEST(ReportCliSeries, OneRowPerMinuteToEightyAfterTheEnd) {
    const std::string path = kvh::test::scratchPath("cli-series.dew").string();
    std::ofstream(path, std::ios::binary)
        << "Davar Model = 1\r\nTracer Type = 0\r\nEnvironment = 0\r\nS,20,0\r\nR,100,10\r\n";
    std::ostringstream out, err;
    ASSERT_EQ(kvh::tools::reportMain({"--series", path}, out, err), 0) << err.str();
    const std::string csv = out.str();
    EXPECT_EQ(std::count(csv.begin(), csv.end(), '\n'), 1 + 91);
    // The ramp's first minute is 28; both stages start at the start temperature.
    EXPECT_NE(csv.find("\n60,28,20,20\n"), std::string::npos) << csv.substr(0, 2000);
    EXPECT_EQ(csv.find("\n91,"), std::string::npos);
    EXPECT_NE(csv.find("\n90,0,"), std::string::npos);
    std::filesystem::remove(path);
}

} // namespace
