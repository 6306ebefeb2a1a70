// kvhitemp-report's recording modes: --profile-from and --measured, their overrides, exit codes
// and messages.

#include "core/dew_file.h"
#include "core/model.h"

#include "cli_run.h"
#include "named_row.h"
#include "temp_dir.h"

#include <gtest/gtest.h>

using kvh::test::NamedRow;
using kvh::test::TempDir;

namespace {

const char* const kCase = "[Setup]\r\nTemp Units = 1\r\nTime Units = 0\r\nDavar Model = 1\r\n"
                          "Tracer Type = 1\r\nEnvironment = 0\r\n[Data]\r\nS,20,0\r\nR,200,60\r\n"
                          "D,200,30\r\n";
const char* const kTrace = "Time (min);Oven (\xC2\xB0"
                           "C);Logger (\xC2\xB0"
                           "C)\n"
                           "0;20,0;20,0\n30;110,0;25,0\n60;200,0;60,0\n90;200,0;120,0\n";

struct CliRow : NamedRow {
    std::vector<std::string> args; ///< "@" the case, "T" the trace
    const char* trace;             ///< the trace's content
    int exitCode;
    const char* stderrPart;
    const char* stdoutPart = "";
};

class RecordingCli : public TempDir, public testing::WithParamInterface<CliRow> {};

TEST_P(RecordingCli, ExitCodesAndMessages) {
    const CliRow& p = GetParam();
    put(path("case.dew"), kCase);
    put(path("trace.csv"), p.trace);
    std::vector<std::string> args = p.args;
    for (std::string& a : args)
        a = a == "@" ? path("case.dew") : a == "T" ? path("trace.csv") : a;
    kvh::test::expectCli(args, p.exitCode, p.stderrPart, p.stdoutPart);
}

const char* const kAmbiguous = "Date,Oven (C)\n03/04/2026 10:00,100\n03/04/2026 10:01,110\n";

INSTANTIATE_TEST_SUITE_P(
    Contract, RecordingCli,
    testing::Values(CliRow{"profile made",
                           {"--profile-from", "T", "--column", "1", "@"},
                           kTrace,
                           0,
                           "Separator: semicolon",
                           "[Data]\r\nS,20,1\r\nR,200,60\r\nD,200,30\r\n"},
                    CliRow{"measured csv",
                           {"--measured", "T", "--column", "2", "@"},
                           kTrace,
                           0,
                           "Measured maximum: 120.0 \xC2\xB0"
                           "C at minute 90",
                           "minutes,measured,predicted\n0,20,"},
                    CliRow{"offset moves the recording",
                           {"--measured", "T", "--column", "2", "--offset", "30", "@"},
                           kTrace,
                           0,
                           "at minute 60",
                           "\n60,120,"},
                    CliRow{"column missing",
                           {"--measured", "T", "--column", "3", "@"},
                           kTrace,
                           65,
                           "has no temperature column 3 (it has 2)"},
                    CliRow{"unreadable recording",
                           {"--measured", "T", "--column", "1", "@"},
                           "hello\n",
                           65,
                           "No columns"},
                    CliRow{"date order asked for",
                           {"--profile-from", "T", "--column", "1", "@"},
                           kAmbiguous,
                           65,
                           "Give --date-order dmy or mdy."},
                    CliRow{"date order given",
                           {"--profile-from", "T", "--column", "1", "--date-order", "mdy", "@"},
                           kAmbiguous,
                           0,
                           "month before day",
                           "S,100,1\r\nR,110,1\r\n"},
                    CliRow{"unit override converts",
                           {"--profile-from", "T", "--column", "1", "--unit", "F", "@"},
                           kTrace,
                           0,
                           "(as chosen)",
                           "S,-6.67,1\r\n"},
                    CliRow{"no column", {"--measured", "T", "@"}, kTrace, 64, "--column is needed"},
                    CliRow{"both modes",
                           {"--measured", "T", "--profile-from", "T", "--column", "1", "@"},
                           kTrace,
                           64,
                           "give one of"},
                    CliRow{"bad tolerance",
                           {"--profile-from", "T", "--column", "1", "--tolerance", "-1", "@"},
                           kTrace,
                           64,
                           "--tolerance needs"},
                    CliRow{"bad date order",
                           {"--profile-from", "T", "--column", "1", "--date-order", "ymd", "@"},
                           kTrace,
                           64,
                           "dmy or mdy"},
                    CliRow{"missing case",
                           {"--profile-from", "T", "--column", "1", "nothere.dew"},
                           kTrace,
                           1,
                           "nothere.dew"}),
    kvh::test::RowName{});

class RecordingCliFiles : public TempDir {};

// The profile written is a case Open reads, and its run follows the recording within a degree.
TEST_F(RecordingCliFiles, ProfileFromWritesACaseOpenReads) {
    const kvh::test::CliRun r =
        kvh::test::runCli({"--profile-from", write("trace.csv", kTrace), "--column", "1",
                           "--tolerance", "0.5", write("case.dew", kCase)});
    ASSERT_EQ(r.code, 0) << r.err;
    const auto opened = kvh::core::openDewFile(write("made.dew", r.out), kvh::core::Case{});
    ASSERT_TRUE(std::holds_alternative<kvh::core::Case>(opened));
    const auto run =
        std::get<kvh::core::RunResult>(kvh::core::runModel(std::get<kvh::core::Case>(opened)));
    EXPECT_EQ(run.totalMinutes, 91);
    EXPECT_NEAR(run.process[kvh::core::kLeadIn + 30], 110.0f, 0.5f);
}

} // namespace
