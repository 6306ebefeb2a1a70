// kvhitemp-report's --fit and --barrier: the fit's CSV and exit codes, and a report, series or
// comparison run with a calibrated barrier.

#include "core/calibrated_barrier.h"
#include "core/comparison_csv.h"
#include "core/dew_file.h"
#include "named_row.h"
#include "report_cli.h"
#include "temp_dir.h"

#include <gtest/gtest.h>

#include <charconv>
#include <sstream>

namespace {

using kvh::test::NamedRow;
using kvh::test::RowName;
using kvh::test::TempDir;
namespace core = kvh::core;

/// The 7210 in air with a tracer of type 1, cycling twice between 25 and 120 °C.
const char* const kCycleCase = "[Setup]\r\nTemp Units = 1\r\nTime Units = 0\r\n"
                               "Davar Model = 4\r\nTracer Type = 1\r\nEnvironment = 0\r\n"
                               "[Data]\r\nS,25,0\r\nD,25,60\r\nR,120,45\r\nD,120,90\r\n"
                               "R,25,60\r\nD,25,60\r\nR,120,45\r\nD,120,90\r\nR,25,60\r\n";
const core::BarrierCoefficients kWorn{7, 0.084f, 0.045f};

std::string number(double value) {
    char buffer[32];
    return std::string(buffer, std::to_chars(buffer, buffer + sizeof buffer, value).ptr);
}

core::Case cycleCase() {
    core::Case c;
    core::applyDew(c, std::get<core::DewParse>(core::parseDew(kCycleCase)));
    return c;
}

/// A logger's export of the case run with the worn barrier (`flat`: an oven that never heats).
std::string recording(bool flat) {
    const auto run = std::get<core::RunResult>(core::runModelWith(cycleCase(), kWorn));
    std::string text = "Elapsed minutes;Oven (C);Logger (C)\n";
    for (int64_t m = 0; m <= run.totalMinutes; ++m) {
        const auto t = static_cast<size_t>(core::kLeadIn + m);
        text += number(static_cast<double>(m)) + ";" + (flat ? "25" : number(run.process[t])) +
                ";" + (flat ? "25" : number(run.internal[t])) + "\n";
    }
    return text;
}

std::string barrierJson(int model) {
    core::CalibratedBarrier b;
    b.name = "7210 serial 9";
    b.modelIndex = model;
    b.tracerIndex = 1;
    b.fit.table = {6, 0.07f, 0.036f};
    b.fit.fitted = kWorn;
    return core::calibratedBarrierJson(b);
}

struct CalibrationCliRow : NamedRow {
    std::vector<std::string> args; ///< "CASE", "RUN", "FLAT", "JSON", "OTHER" name the files
    int exitCode;
    const char* stdoutPart; ///< "": nothing on standard output
    const char* stderrPart;
};

class CalibrationCli : public TempDir, public testing::WithParamInterface<CalibrationCliRow> {};

TEST_P(CalibrationCli, ExitCodesAndOutput) {
    put(path("case.dew"), kCycleCase);
    put(path("run.csv"), recording(false));
    put(path("flat.csv"), recording(true));
    put(path("junk.csv"), std::string("\0\1\2\3", 4));
    put(path("barrier.json"), barrierJson(4));
    put(path("other.json"), barrierJson(3));
    put(path("broken.json"), "{\"format\":");
    std::vector<std::string> args = GetParam().args;
    for (std::string& a : args)
        a = a == "CASE"     ? path("case.dew")
            : a == "RUN"    ? path("run.csv")
            : a == "FLAT"   ? path("flat.csv")
            : a == "JUNK"   ? path("junk.csv")
            : a == "JSON"   ? path("barrier.json")
            : a == "OTHER"  ? path("other.json")
            : a == "BROKEN" ? path("broken.json")
                            : a;
    std::ostringstream out, err;
    EXPECT_EQ(kvh::tools::reportMain(args, out, err), GetParam().exitCode) << err.str();
    if (*GetParam().stdoutPart == '\0')
        EXPECT_EQ(out.str(), "");
    else
        EXPECT_NE(out.str().find(GetParam().stdoutPart), std::string::npos) << out.str();
    EXPECT_NE(err.str().find(GetParam().stderrPart), std::string::npos) << err.str();
}

INSTANTIATE_TEST_SUITE_P(
    Cli, CalibrationCli,
    testing::Values(CalibrationCliRow{"fit with the oven column",
                                      {"--fit", "RUN", "--process-column", "1", "--internal-column",
                                       "2", "CASE"},
                                      0,
                                      "parameter,table,fitted,change_percent,low,high\n"
                                      "dead_time,6,7,16.67,,\nouter,0.07,0.08",
                                      "given in the order of the barrier's table"},
                    CalibrationCliRow{"fit with the profile as the process",
                                      {"--fit", "RUN", "--internal-column", "2", "CASE"},
                                      0,
                                      "dead_time,6,7,16.67,,\nouter,0.07,0.08",
                                      ""},
                    CalibrationCliRow{"a flat recording is a poor fit",
                                      {"--fit", "FLAT", "--process-column", "1",
                                       "--internal-column", "2", "CASE"},
                                      1,
                                      "parameter,",
                                      "poor fit: no heating"},
                    CalibrationCliRow{"an unreadable recording",
                                      {"--fit", "JUNK", "--internal-column", "1", "CASE"},
                                      65,
                                      "",
                                      "kvhitemp-report: "},
                    CalibrationCliRow{"a missing recording",
                                      {"--fit", "nowhere.csv", "--internal-column", "1", "CASE"},
                                      65,
                                      "",
                                      "nowhere.csv"},
                    CalibrationCliRow{"a column the recording lacks",
                                      {"--fit", "RUN", "--internal-column", "9", "CASE"},
                                      64,
                                      "",
                                      "no temperature column 9"},
                    CalibrationCliRow{"a column number that is no number",
                                      {"--fit", "RUN", "--internal-column", "x", "CASE"},
                                      64,
                                      "",
                                      "--internal-column needs a whole number from 1"},
                    CalibrationCliRow{
                        "the reader's options as for --measured",
                        {"--fit", "RUN", "--internal-column", "2", "--unit", "K", "CASE"},
                        64,
                        "",
                        "--unit takes C or F"},
                    CalibrationCliRow{"a report with a calibrated barrier",
                                      {"--barrier", "JSON", "CASE"},
                                      0,
                                      "Maximum Internal Temperature = ",
                                      "Calibrated barrier: 7210 serial 9 (D 7 min"},
                    CalibrationCliRow{"a barrier for another model",
                                      {"CASE", "--barrier", "OTHER"},
                                      1,
                                      "",
                                      "fitted for another model"},
                    CalibrationCliRow{"a broken barrier file",
                                      {"--barrier", "BROKEN", "CASE"},
                                      1,
                                      "",
                                      "not a calibrated barrier"},
                    CalibrationCliRow{"a comparison with a calibrated row",
                                      {"--compare", "CASE", "--barrier", "JSON"},
                                      0,
                                      "\n7210 (7210 serial 9),",
                                      ""},
                    CalibrationCliRow{"--barrier twice",
                                      {"--barrier", "JSON", "--barrier", "JSON", "CASE"},
                                      64,
                                      "",
                                      "given twice"}),
    RowName());

class CalibrationSeries : public TempDir {};

TEST_F(CalibrationSeries, IsTheRunWithTheCalibratedFigures) {
    put(path("case.dew"), kCycleCase);
    put(path("barrier.json"), barrierJson(4));
    std::ostringstream out, err;
    ASSERT_EQ(kvh::tools::reportMain(
                  {"--series", path("case.dew"), "--barrier", path("barrier.json")}, out, err),
              0)
        << err.str();
    EXPECT_EQ(out.str(),
              core::seriesCsv(std::get<core::RunResult>(core::runModelWith(cycleCase(), kWorn))));
}

} // namespace
