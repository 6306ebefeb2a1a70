#include "core/model.h"
#include "core/numbers.h"
#include "named_row.h"
#include "test_cases.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace kvh::core;
using kvh::test::makeCase;
using kvh::test::ok;

using kvh::test::NamedRow;
using kvh::test::RowName;

namespace {

TEST(ModelParams, HoldsTheTableOfEveryModelAndCase) {
    const ModelParams p = buildModelParams();
    // Dead times, minutes: exact in single precision.
    const float dead[6][4] = {{3, 10, 6.25f, 5}, {7, 15, 9.375f, 7.5f}, {8, 10, 6.25f, 5},
                              {5, 10, 6.25f, 5}, {0, 6, 0, 3},          {0, 2, 0, 1}};
    const double outer[6][4] = {{0.07, 0.048, 0.096, 0.12}, {0.033, 0.028, 0.056, 0.07},
                                {0.05, 0.05, 0.1, 0.125},   {0.066, 0.08, 0.16, 0.2},
                                {0, 0.07, 0, 0.175},        {0, 0.072, 0, 0.18}};
    const double inner[6][4] = {{0.0103, 0.0088, 0.0176, 0.022},
                                {0.005, 0.0048, 0.0096, 0.012},
                                {0.0021, 0.002, 0.004, 0.005},
                                {0.0205, 0.018, 0.036, 0.045},
                                {0, 0.036, 0, 0.09},
                                {0, 0.0088, 0, 0.022}};
    for (size_t m = 0; m < 6; ++m) {
        for (size_t k = 0; k < 4; ++k) {
            EXPECT_EQ(p[m][k], dead[m][k]) << m << "," << k;
            EXPECT_NEAR(p[m][4 + k], outer[m][k], outer[m][k] * 2e-7) << m << "," << k;
            EXPECT_NEAR(p[m][8 + k], inner[m][k], inner[m][k] * 2e-7) << m << "," << k;
        }
    }
    // Constants are the singles nearest the percentages; rows 6 and 7 stay zero.
    EXPECT_EQ(p[0][5], 0.048f);
    EXPECT_EQ(p[5][9], 0.0088f);
    EXPECT_EQ(p[1][4], 0.033f);
    for (size_t k = 0; k < 12; ++k)
        EXPECT_EQ(p[6][k] + p[7][k], 0.0f);
    // Case 2 is derived from case 1: exactly twice its coefficients.
    EXPECT_EQ(p[3][6], 2 * p[3][5]);
    EXPECT_EQ(p[3][10], 2 * p[3][9]);
}

TEST(Simulation, StartOnlyProfileFallsAwayFromTheStartTemperature) {
    const RunResult r = ok(runModel(makeCase(0, 0, 0, {{"S", "25", "0"}})));
    EXPECT_EQ(r.totalMinutes, 0);
    EXPECT_EQ(r.process[60], 25.0f);
    EXPECT_EQ(r.process[61], 0.0f);
    EXPECT_EQ(r.maxInternal, 25.0f); // the start minute counts
    EXPECT_EQ(r.finalRate, 25.0f);
    EXPECT_LT(r.internal[80], 25.0f);
    EXPECT_EQ(r.internal.size(), 81u);
}

struct StartMinuteRow : NamedRow {
    Case c;
    float maxInternal, maxDwell;
    const char* verdict;
};

class StartMinute : public ::testing::TestWithParam<StartMinuteRow> {};

// Both stages start at the start temperature, so the start minute belongs to both maxima:
// a barrier that is already hot reads at least its start, whatever follows.
TEST_P(StartMinute, CountsInBothMaxima) {
    const StartMinuteRow& p = GetParam();
    for (const RunOutcome& outcome : {runModel(p.c), runModelMaxima(p.c)}) {
        const RunResult r = ok(outcome);
        EXPECT_EQ(r.maxInternal, p.maxInternal);
        EXPECT_EQ(r.maxDwell, p.maxDwell);
        EXPECT_EQ(evaluate(r, p.c.setup).verdict, p.verdict);
    }
}

const StartMinuteRow kStartMinuteRows[] = {
    {"StartOnlyReadsItsTemperature", makeCase(1, 0, 2, {{"S", "25", "0"}}), 25.0f, 25.0f, "PASS"},
    {"HotStartOfOneMinuteFails", makeCase(1, 0, 2, {{"S", "300", "0"}, {"E", "300", "1"}}), 300.0f,
     300.0f, "FAIL"},
    {"StartAtTheLimitFails", makeCase(0, 0, 0, {{"S", "150", "0"}}), 150.0f, 150.0f, "FAIL"},
    {"StartBelowTheFloorLeavesTheFloor", makeCase(1, 0, 2, {{"S", "-5", "0"}}), 0.111f, 0.111f,
     "PASS"},
};

INSTANTIATE_TEST_SUITE_P(Simulation, StartMinute, ::testing::ValuesIn(kStartMinuteRows), RowName{});

struct StartRow : NamedRow {
    Case c;
    const char* maxLine; ///< first line of the summary
    const char* warning; ///< "" when there is none
};

class BarrierStart : public ::testing::TestWithParam<StartRow> {};

// Both stages start at the lead-in's start temperature, whatever the step after the start row
// writes into the profile's first minute.
TEST_P(BarrierStart, IsTheStartTemperature) {
    const StartRow& row = GetParam();
    const RunResult r = ok(runModel(row.c));
    SCOPED_TRACE(kvh::test::profileText(row.c.profile));
    const float start = static_cast<float>(numericValue(row.c.profile.cell(1, 2)));
    EXPECT_EQ(r.intermediate[60], start);
    EXPECT_EQ(r.internal[60], start);
    const Evaluation e = evaluate(r, row.c.setup);
    EXPECT_EQ(e.summary.substr(0, e.summary.find('\r')), row.maxLine);
    const size_t w = e.summary.find("WARNING");
    EXPECT_EQ(w == std::string::npos ? "" : e.summary.substr(w), std::string(row.warning));
}

const StartRow kStartRows[] = {
    {"FastRampAfterAStartWithoutTime",
     makeCase(0, 0, 0, {{"S", "25", "0"}, {"R", "850", "2"}, {"D", "850", "3"}, {"E", "25", "60"}}),
     "Maximum Internal Temperature = 52.8  Limit = 150\u00b0 C", ""},
    {"SameWithAOneMinuteStartRow",
     makeCase(0, 0, 0, {{"S", "25", "1"}, {"R", "850", "2"}, {"D", "850", "3"}, {"E", "25", "59"}}),
     "Maximum Internal Temperature = 52.8  Limit = 150\u00b0 C", ""},
    {"ThermalPackRampAndDwell",
     makeCase(1, 0, 4, {{"S", "25", "0"}, {"R", "300", "15"}, {"D", "300", "20"}}),
     "Maximum Internal Temperature = 110.9  Limit = 140\u00b0 C",
     "WARNING:  Tracer will reach 156\u00b0 C if allowed to dwell in thermal barrier!"},
    {"DwellRightAfterTheStart",
     makeCase(1, 1, 2, {{"S", "20", "0"}, {"D", "500", "10"}}, false, true),
     "Maximum Internal Temperature = 23.8  Limit = 284\u00b0 F", ""},
};
INSTANTIATE_TEST_SUITE_P(Profiles, BarrierStart, ::testing::ValuesIn(kStartRows), RowName{});

TEST(Simulation, RampStartsFromTheMinuteBefore) {
    const RunResult r = ok(runModel(makeCase(0, 0, 0, {{"S", "20", "0"}, {"R", "80", "6"}})));
    const float expected[] = {30, 40, 50, 60, 70, 80, 90};
    for (int i = 0; i < 7; ++i)
        EXPECT_EQ(r.process[60 + i], expected[i]) << i;
    const RunResult r2 =
        ok(runModel(makeCase(0, 0, 0, {{"S", "20", "0"}, {"R", "80", "6"}, {"E", "80", "0"}})));
    EXPECT_EQ(r2.process[66], 80.0f);
}

TEST(Simulation, ConsecutiveStepsShareAMinute) {
    const RunResult r =
        ok(runModel(makeCase(1, 0, 4, {{"S", "20", "5"}, {"D", "100", "10"}, {"D", "150", "10"}})));
    EXPECT_EQ(r.process[64], 20.0f);
    EXPECT_EQ(r.process[65], 100.0f);
    EXPECT_EQ(r.process[74], 100.0f);
    EXPECT_EQ(r.process[75], 150.0f);
    EXPECT_EQ(r.process[85], 150.0f);
    EXPECT_EQ(r.totalMinutes, 25);
    // After the profile's end the process series is 0 up to TotalMinutes + 80.
    for (int t = 86; t <= 105; ++t)
        EXPECT_EQ(r.process[static_cast<size_t>(t)], 0.0f) << t;
}

struct HoursCase : NamedRow {
    const char* time;
    int64_t total;
    int duration;
};

class HoursRounding : public testing::TestWithParam<HoursCase> {};

TEST_P(HoursRounding, TotalAddsAFifthDurationDoesNot) {
    const RunResult r = ok(
        runModel(makeCase(0, 0, 0, {{"S", "20", "0"}, {"D", "50", GetParam().time}}, true, false)));
    EXPECT_EQ(r.totalMinutes, GetParam().total) << GetParam().time;
    // The dwell starts at minute 60 and covers its duration; the next minute keeps the hold or 0.
    EXPECT_EQ(r.process[60 + static_cast<size_t>(GetParam().duration)], 50.0f) << GetParam().time;
}

INSTANTIATE_TEST_SUITE_P(Hours, HoursRounding,
                         testing::Values(HoursCase{"OneAndAHalf", "1.5", 90, 90},
                                         HoursCase{"UnderAMinuteTotalsOne", "0.006", 1, 0}),
                         RowName{});

TEST(Simulation, HalfMinuteDeadTimeAlternatesItsDelay) {
    // Model 1 with tracer 1 in liquid has a dead time of 7.5 minutes.
    const Case c = makeCase(1, 1, 1, {{"S", "20", "0"}, {"R", "200", "40"}, {"D", "200", "20"}});
    ASSERT_EQ(c.setup.modelIndex(), 1);
    const RunResult r = ok(runModel(c));
    const ModelParams p = buildModelParams();
    const double a = p[1][7];
    ASSERT_EQ(p[1][3], 7.5f);
    for (int t = 61; t < 120; ++t) {
        const size_t k = static_cast<size_t>(t % 2 ? t - 7 : t - 8);
        const double prev = r.intermediate[static_cast<size_t>(t - 1)];
        EXPECT_EQ(r.intermediate[static_cast<size_t>(t)],
                  static_cast<float>((r.process[k] - prev) * a + prev))
            << t;
    }
}

struct NoDataRow : NamedRow {
    int tracer, environ, model;
    const char* message;
};

class NoData : public ::testing::TestWithParam<NoDataRow> {};

// A file can choose a barrier the rules never offer for its tracer; without data it would hold
// both stages at the start and pass any profile.
TEST_P(NoData, ABarrierWithoutDataGivesNoVerdict) {
    const NoDataRow& row = GetParam();
    Case c = makeCase(row.tracer, row.environ, 0, {{"S", "30", "0"}, {"R", "400", "20"}});
    c.setup.selectModel(row.model);
    const RunOutcome outcome = runModel(c);
    const std::string input = "tracer " + std::to_string(row.tracer) + ", environment " +
                              std::to_string(row.environ) + ", model " + std::to_string(row.model);
    ASSERT_TRUE(std::holds_alternative<RunError>(outcome)) << input;
    EXPECT_EQ(describeError(std::get<RunError>(outcome)), row.message) << input;
}

const NoDataRow kNoDataRows[] = {
    {"ThermalPackWithTesselTwoInAir", 0, 0, 4,
     "The 7210 has no data for the Tessel II or VTX tracer in Air."},
    {"ThermalPackWithTesselTwoInLiquid", 0, 1, 4,
     "The 7210 has no data for the Tessel II or VTX tracer in Liquid."},
    {"SevenInchDewarWithTesselTwo", 0, 0, 5,
     "The 7105 has no data for the Tessel II or VTX tracer in Air."},
};

INSTANTIATE_TEST_SUITE_P(Models, NoData, ::testing::ValuesIn(kNoDataRows), RowName{});

TEST(Simulation, ThermalPackInLiquidHasDataWithTesselThree) {
    Case c = makeCase(1, 1, 0, {{"S", "30", "0"}, {"R", "200", "20"}});
    c.setup.selectModel(4); // hidden by the rules in liquid, but its table has values
    EXPECT_TRUE(std::holds_alternative<RunResult>(runModel(c)));
}

TEST(Simulation, LowTemperaturesLeaveBothMaximaAtTheirStart) {
    const RunResult r =
        ok(runModel(makeCase(0, 0, 0, {{"S", "-20", "0"}, {"D", "-20", "30"}, {"E", "0.1", "5"}})));
    EXPECT_EQ(r.maxInternal, 0.111f);
    EXPECT_EQ(r.maxDwell, 0.111f);
    EXPECT_EQ(evaluate(r, makeCase(0, 0, 0, {}).setup).summary.substr(0, 35),
              "Maximum Internal Temperature = 0.1 ");
}

TEST(Simulation, StepsRunningPastTheEndGrowTheStorage) {
    // In minutes the running total rounds after each row: 1.5 after an odd total adds 1, while
    // the step lasts 2 minutes. Two hundred such rows push the steps past TotalMinutes + 80.
    Case c = makeCase(0, 0, 0, {{"S", "20", "1"}});
    for (int i = 0; i < 100; ++i) {
        const int r1 = c.profile.appendRow();
        c.profile.setCell(r1, 1, "Ramp to Temp");
        c.profile.setCell(r1, 2, "100");
        c.profile.setCell(r1, 3, "1.5");
        const int r2 = c.profile.appendRow();
        c.profile.setCell(r2, 1, "Dwell at Temp");
        c.profile.setCell(r2, 2, "100");
        c.profile.setCell(r2, 3, "1");
    }
    const RunResult r = ok(runModel(c));
    EXPECT_EQ(r.totalMinutes, 201);
    EXPECT_EQ(r.process.size(), 60u + 301u + 1u);
    EXPECT_EQ(r.internal[360], 0.0f); // the stages stop at TotalMinutes + 80
}

TEST(Simulation, AMillionMinutesRun) {
    const RunResult r = ok(runModel(
        makeCase(1, 0, 2, {{"S", "20", "0"}, {"R", "120", "100"}, {"D", "120", "999900"}})));
    EXPECT_EQ(r.totalMinutes, 1000000);
    EXPECT_EQ(r.internal.size(), 1000081u);
    EXPECT_NEAR(r.maxInternal, 120.0f, 0.01f);
}

struct ErrorCase : NamedRow {
    std::vector<kvh::test::StepRow> rows;
    bool minutes;
    int row;
};

class RunErrors : public testing::TestWithParam<ErrorCase> {};

TEST_P(RunErrors, NameTheRow) {
    Case c = makeCase(0, 0, 0, {}, true, GetParam().minutes);
    int r = 1;
    for (const auto& row : GetParam().rows) {
        const Case one = makeCase(0, 0, 0, {row});
        for (int col = 1; col < 4; ++col)
            c.profile.setCell(r, col, one.profile.cell(1, col));
        ++r;
    }
    const RunOutcome outcome = runModel(c);
    const std::string input = kvh::test::profileText(c.profile);
    ASSERT_TRUE(std::holds_alternative<RunError>(outcome)) << input;
    const RunError& e = std::get<RunError>(outcome);
    EXPECT_EQ(e.row, GetParam().row) << input;
    EXPECT_EQ(describeError(e).rfind("Profile row " + std::to_string(GetParam().row) + ": ", 0), 0u)
        << input << ": " << describeError(e);
    // The report's run, which keeps no series, refuses the same way.
    const RunOutcome maxima = runModelMaxima(c);
    ASSERT_TRUE(std::holds_alternative<RunError>(maxima)) << input;
    EXPECT_EQ(describeError(std::get<RunError>(maxima)), describeError(e)) << input;
}

INSTANTIATE_TEST_SUITE_P(
    BadProfiles, RunErrors,
    testing::Values(
        ErrorCase{"NegativeTime", {{"S", "20", "0"}, {"D", "50", "-5"}}, true, 2},
        ErrorCase{"NegativeTimeInBlankRow", {{"S", "20", "0"}, {"", "", "-1"}}, true, 2},
        ErrorCase{"RampOfNoTime", {{"S", "20", "0"}, {"R", "80", "0.4"}}, true, 2},
        ErrorCase{"RampOfNoTimeInHours", {{"S", "20", "0"}, {"R", "80", "0.006"}}, false, 2},
        ErrorCase{"OverAMillionMinutes", {{"S", "20", "0"}, {"D", "80", "1000001"}}, true, 2},
        ErrorCase{"OverAMillionInHours", {{"S", "20", "0"}, {"D", "80", "16667"}}, false, 2},
        ErrorCase{"InfiniteTemperature", {{"S", "20", "0"}, {"D", "1e400", "5"}}, true, 2},
        ErrorCase{"TemperatureBeyondSingle", {{"S", "1e39", "0"}}, true, 1},
        ErrorCase{"TimeBeyondSingle", {{"S", "20", "1e39"}}, true, 1},
        ErrorCase{"RampOutOfRange", {{"S", "-3e38", "0"}, {"R", "3e38", "1"}}, true, 2}),
    RowName{});

RunResult resultOf(float maxInternal, float maxDwell, float finalRate, double limit) {
    RunResult r;
    r.maxInternal = maxInternal;
    r.maxDwell = maxDwell;
    r.finalRate = finalRate;
    r.limit = limit;
    return r;
}

struct EvalCase : NamedRow {
    RunResult run;
    bool celsius;
    int tracer;
    const char* summary;
    const char* verdict;
};

class Evaluation : public testing::TestWithParam<EvalCase> {};

TEST_P(Evaluation, WritesTheResultTexts) {
    const EvalCase& p = GetParam();
    const Case c = makeCase(p.tracer, 0, 0, {}, p.celsius);
    RunResult run = p.run;
    run.limit = tracerLimitDisplay(c.setup);
    const kvh::core::Evaluation e = evaluate(run, c.setup);
    const std::string input = "max " + roundTripText(run.maxInternal) + ", dwell " +
                              roundTripText(run.maxDwell) + ", rate " +
                              roundTripText(run.finalRate);
    EXPECT_EQ(e.summary, p.summary) << input;
    EXPECT_EQ(e.verdict, p.verdict) << input;
}

INSTANTIATE_TEST_SUITE_P(
    Texts, Evaluation,
    testing::Values(
        EvalCase{"PassWithWarning", resultOf(123.46f, 141.3f, 0.254f, 0), true, 1,
                 "Maximum Internal Temperature = 123.5  Limit = 140\u00b0 C\r\n"
                 "Final Rate of change:  0.25 \u00b0C/min\r\n"
                 "WARNING:  Tracer will reach 141\u00b0 C if allowed to dwell in thermal barrier!",
                 "PASS"},
        EvalCase{"EqualToTheLimitFails", resultOf(140, 150, 0, 0), true, 1,
                 "Maximum Internal Temperature = 140.0  Limit = 140\u00b0 C\r\n"
                 "Final Rate of change:  0.00 \u00b0C/min",
                 "FAIL"},
        EvalCase{"DwellAtTheLimitWarnsNot", resultOf(100, 150, 1, 0), true, 0,
                 "Maximum Internal Temperature = 100.0  Limit = 150\u00b0 C\r\n"
                 "Final Rate of change:  1.00 \u00b0C/min",
                 "PASS"},
        EvalCase{"FahrenheitTracer0", resultOf(250.04f, 260, -1.25f, 0), false, 0,
                 "Maximum Internal Temperature = 250.0  Limit = 302\u00b0 F\r\n"
                 "Final Rate of change:  -1.25 \u00b0F/min",
                 "PASS"},
        EvalCase{"FahrenheitTracer1Fails", resultOf(290, 300, 0.004f, 0), false, 1,
                 "Maximum Internal Temperature = 290.0  Limit = 284\u00b0 F\r\n"
                 "Final Rate of change:  0.00 \u00b0F/min",
                 "FAIL"},
        EvalCase{"NothingAboveTheFloor", resultOf(0.111f, 0.111f, -0.001f, 0), true, 1,
                 "Maximum Internal Temperature = 0.1  Limit = 140\u00b0 C\r\n"
                 "Final Rate of change:  0.00 \u00b0C/min",
                 "PASS"}),
    RowName{});

} // namespace
