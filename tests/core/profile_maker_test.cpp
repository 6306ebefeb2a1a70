#include "core/dew_file.h"
#include "core/measured.h"
#include "core/model.h"
#include "core/profile_maker.h"

#include "named_row.h"
#include "test_cases.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <vector>

using namespace kvh::core;

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

/// The made profile's process line at every minute of the trace (row r covers the minutes after
/// the row before), for checking the tolerance without the model.
std::vector<double> lineOf(const std::vector<MadeRow>& rows) {
    std::vector<double> line{rows.front().temp};
    for (size_t r = 1; r < rows.size(); ++r) {
        const double from = line.back();
        for (int64_t k = 1; k <= rows[r].minutes; ++k)
            line.push_back(rows[r].code == StepCode::Dwell
                               ? rows[r].temp
                               : from + (rows[r].temp - from) * static_cast<double>(k) /
                                            static_cast<double>(rows[r].minutes));
    }
    return line;
}

struct MakerRow : kvh::test::NamedRow {
    std::vector<double> trace;
    double tolerance;
    std::vector<MadeRow> expected;
};

using enum StepCode;

const MakerRow kMaker[] = {
    {"one straight ramp is one row", {20, 30, 40, 50, 60}, 1.0, {{Start, 20, 1}, {Ramp, 60, 4}}},
    {"ramp then dwell",
     {20, 40, 60, 80, 80.4, 79.8, 80.2},
     1.0,
     {{Start, 20, 1}, {Ramp, 80, 3}, {Dwell, 80, 3}}},
    {"flat trace is one dwell", {100, 100.5, 99.5, 100}, 1.0, {{Start, 100, 1}, {Dwell, 100, 3}}},
    {"a corner needs two ramps",
     {0, 10, 20, 30, 20, 10, 0},
     0.5,
     {{Start, 0, 1}, {Ramp, 30, 3}, {Ramp, 0, 3}}},
    {"ends rounded to two decimals", {0, 1.234567}, 0.1, {{Start, 0, 1}, {Ramp, 1.23, 1}}},
    {"missing ends left out", {kNaN, 5, 6, 7, kNaN}, 1.0, {{Start, 5, 1}, {Ramp, 7, 2}}},
    {"a single value is the start row", {42}, 1.0, {{Start, 42, 1}}},
};

class ProfileMaker : public testing::TestWithParam<MakerRow> {};

TEST_P(ProfileMaker, MakesTheFewestRowsItShould) {
    const auto made = makeProfileRows(GetParam().trace, GetParam().tolerance, kMaxProfileRows);
    ASSERT_TRUE(std::holds_alternative<std::vector<MadeRow>>(made)) << std::get<std::string>(made);
    EXPECT_EQ(std::get<std::vector<MadeRow>>(made), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Rows, ProfileMaker, testing::ValuesIn(kMaker), kvh::test::RowName{});

struct MakerErrorRow : kvh::test::NamedRow {
    std::vector<double> trace;
    double tolerance;
    size_t maxRows;
    const char* message;
};

const MakerErrorRow kMakerErrors[] = {
    {"no value at all",
     {kNaN, kNaN},
     1.0,
     10,
     "The column holds no temperature to make a profile from."},
    {"zero tolerance", {1, 2}, 0.0, 10, "The tolerance must be a number above 0."},
    {"NaN tolerance", {1, 2}, kNaN, 10, "The tolerance must be a number above 0."},
    {"row limit",
     {0, 10, 0, 10, 0, 10},
     0.1,
     3,
     "The recording would need more than 3 profile rows: choose a larger tolerance."},
};

class ProfileMakerError : public testing::TestWithParam<MakerErrorRow> {};

TEST_P(ProfileMakerError, SaysWhy) {
    const MakerErrorRow& row = GetParam();
    const auto made = makeProfileRows(row.trace, row.tolerance, row.maxRows);
    ASSERT_TRUE(std::holds_alternative<std::string>(made));
    EXPECT_EQ(std::get<std::string>(made), row.message);
}

INSTANTIATE_TEST_SUITE_P(Errors, ProfileMakerError, testing::ValuesIn(kMakerErrors),
                         kvh::test::RowName{});

/// A small fixed generator, so the traces are the same on every machine.
class Lcg {
public:
    explicit Lcg(uint64_t seed) : m_state(seed) {}
    double uniform() { // [0, 1)
        m_state = m_state * 6364136223846793005ULL + 1442695040888963407ULL;
        return static_cast<double>(m_state >> 11) * 0x1p-53;
    }

private:
    uint64_t m_state;
};

/// A recorded-looking oven trace: ramps and dwells, an overshoot after each ramp, noise.
std::vector<double> ovenTrace(uint64_t seed) {
    Lcg rng(seed);
    std::vector<double> t{20.0 + 5.0 * rng.uniform()};
    const int segments = 2 + static_cast<int>(rng.uniform() * 5);
    for (int s = 0; s < segments; ++s) {
        const double target = 40.0 + 220.0 * rng.uniform();
        const int rampMinutes = 5 + static_cast<int>(rng.uniform() * 60);
        const double from = t.back();
        const double overshoot = 6.0 * rng.uniform();
        for (int k = 1; k <= rampMinutes; ++k)
            t.push_back(from + (target - from) * k / rampMinutes);
        const int dwellMinutes = static_cast<int>(rng.uniform() * 90);
        for (int k = 0; k < dwellMinutes; ++k)
            t.push_back(target + overshoot * std::exp(-k / 4.0));
    }
    for (double& v : t)
        v += 0.6 * (rng.uniform() - 0.5);
    return t;
}

class MadeProfileProperty : public testing::TestWithParam<uint64_t> {};

TEST_P(MadeProfileProperty, StaysWithinToleranceAndHalfADegreeOfTheTrace) {
    const std::vector<double> trace = ovenTrace(GetParam());
    const auto made = std::get<std::vector<MadeRow>>(makeProfileRows(trace, 1.0, kMaxProfileRows));
    const std::vector<double> line = lineOf(made);
    ASSERT_EQ(line.size(), trace.size());
    for (size_t m = 0; m < trace.size(); ++m)
        ASSERT_LE(std::fabs(line[m] - trace[m]), 1.0 + 1e-9) << "minute " << m;
    EXPECT_LT(made.size(), trace.size() / 3);

    const Case base = kvh::test::makeCase(1, 0, 3, {});
    const auto profileRun = std::get<RunResult>(runModel(caseWithRows(base, made)));
    const auto traceRun = std::get<RunResult>(runModel(caseWithRows(base, exactRows(trace))));
    EXPECT_NEAR(profileRun.maxInternal, traceRun.maxInternal, 0.5);
    // The run's minute 60 + m follows the trace's minute m.
    for (size_t m = 0; m < trace.size(); m += 7)
        EXPECT_NEAR(traceRun.process[kLeadIn + m], trace[m], 1e-3) << "minute " << m;
}

INSTANTIATE_TEST_SUITE_P(Traces, MadeProfileProperty, testing::Range<uint64_t>(1, 41));

TEST(ProfileMaker, HoursCaseGetsHourTimes) {
    Case base = kvh::test::makeCase(1, 0, 3, {}, true, false);
    const Case c = caseWithRows(base, {{Start, 20, 1}, {Ramp, 80, 90}, {Dwell, 80, 30}});
    EXPECT_EQ(c.profile.cell(1, kColStep), "Start Temp");
    EXPECT_EQ(c.profile.cell(2, kColTime), "1.5");
    EXPECT_EQ(c.profile.cell(3, kColStep), "Dwell at Temp");
    EXPECT_EQ(c.profile.cell(3, kColTime), "0.5");
    EXPECT_EQ(c.profile.rowCount(), kInitialRows);
    EXPECT_EQ(std::get<int64_t>(totalMinutes(c)), 121);
}

// ---- Measured beside predicted -------------------------------------------------------------

TEST(Measured, ATraceTheModelMadeDiffersByExactlyNothing) {
    const Case c =
        kvh::test::makeCase(1, 0, 3, {{"S", "20", "0"}, {"R", "200", "60"}, {"D", "200", "30"}});
    const auto run = std::get<RunResult>(runModel(c));
    MeasuredTrace trace;
    for (int64_t m = 0; kLeadIn + m < static_cast<int64_t>(run.internal.size()); ++m) {
        trace.minutes.push_back(static_cast<double>(m));
        trace.values.push_back(run.internal[static_cast<size_t>(kLeadIn + m)]);
    }
    const auto cmp = compareMeasured(run, trace);
    ASSERT_TRUE(cmp.has_value());
    EXPECT_EQ(cmp->rms, 0.0);
    EXPECT_EQ(cmp->largestDifference, 0.0f);
    EXPECT_EQ(cmp->measuredMax, run.maxDwell);
    EXPECT_EQ(cmp->predictedMax, cmp->measuredMax);
    EXPECT_EQ(cmp->measured.size(), static_cast<size_t>(run.totalMinutes + kTail - kLeadIn + 1));
}

struct OffsetRow : kvh::test::NamedRow {
    double offset;
    int64_t firstMinute;
    size_t minutes;
};

const OffsetRow kOffsets[] = {
    {"aligned", 0, 0, 11},
    {"logger started five minutes early", 5, 0, 6},
    {"logger started late", -3, 3, 11},
    {"no overlap", 50, 0, 0},
};

class MeasuredOffset : public testing::TestWithParam<OffsetRow> {};

TEST_P(MeasuredOffset, AlignsAtTheProfilesStart) {
    RunResult run;
    run.totalMinutes = 100;
    run.internal.assign(300, 10.0f);
    run.limit = 150;
    MeasuredTrace trace;
    for (int m = 0; m <= 10; ++m) {
        trace.minutes.push_back(m);
        trace.values.push_back(10.0 + m);
    }
    trace.offset = GetParam().offset;
    const auto cmp = compareMeasured(run, trace);
    if (GetParam().minutes == 0) {
        EXPECT_FALSE(cmp.has_value());
        return;
    }
    ASSERT_TRUE(cmp.has_value());
    EXPECT_EQ(cmp->firstMinute, GetParam().firstMinute);
    EXPECT_EQ(cmp->measured.size(), GetParam().minutes);
    EXPECT_EQ(cmp->measuredMax, 20.0f);
    EXPECT_EQ(cmp->largestDifference, 10.0f);
    EXPECT_TRUE(cmp->measuredBelowLimit);
}

INSTANTIATE_TEST_SUITE_P(Offsets, MeasuredOffset, testing::ValuesIn(kOffsets),
                         kvh::test::RowName{});

TEST(Measured, LinesAndCsv) {
    MeasuredComparison c;
    c.firstMinute = 2;
    c.measured = {150.25f, 151.0f};
    c.predicted = {149.0f, 150.5f};
    c.measuredMax = 151.0f;
    c.measuredMaxMinute = 3;
    c.predictedMax = 150.5f;
    c.rms = 0.9;
    c.largestDifference = 1.25f;
    c.largestDifferenceMinute = 2;
    c.limit = 150;
    c.measuredBelowLimit = false;
    const std::vector<std::string> expected = {
        "Measured maximum: 151.0 \xC2\xB0"
        "C at minute 3",
        "Predicted maximum over the same minutes: 150.5 \xC2\xB0"
        "C",
        "Root-mean-square difference: 0.9 \xC2\xB0"
        "C",
        "Largest difference (measured - predicted): 1.3 \xC2\xB0"
        "C at minute 2",
        "Measured maximum did not stay below the limit of 150.0 \xC2\xB0"
        "C",
    };
    EXPECT_EQ(measuredLines(c, true), expected);
    EXPECT_EQ(measuredCsv(c), "minutes,measured,predicted\n2,150.25,149\n3,151,150.5\n");
}

} // namespace
