// The barrier advisor against its definitions: every figure is checked through runModel and
// the evaluation texts, or through a plain continuation of the stages, never restated.

#include "core/advisor.h"
#include "core/comparison_csv.h"
#include "core/dew_file.h"
#include "core/model.h"
#include "core/numbers.h"
#include "named_row.h"
#include "test_cases.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <ostream>
#include <random>

using namespace kvh::core;
using kvh::test::makeCase;
using kvh::test::profileText;

using kvh::test::NamedRow;
using kvh::test::RowName;

namespace {

/// The case with the hottest dwell row's time set to m minutes (m / 60 in hours), written as
/// Open writes numbers.
Case withDwell(Case c, int64_t minutes) {
    const int row = hottestDwellRow(c.profile);
    const double time =
        c.setup.hours() ? static_cast<double>(minutes) / 60.0 : static_cast<double>(minutes);
    c.profile.setCell(row, kColTime, plainNumberText(time));
    return c;
}

bool runs(const Case& c) {
    return std::holds_alternative<int64_t>(totalMinutes(c));
}

// ---- Offered barriers and the hottest dwell row --------------------------------------------

struct OfferedRow : NamedRow {
    int tracer;
    int environ;
    std::vector<int> models;
};

class Offered : public testing::TestWithParam<OfferedRow> {};

TEST_P(Offered, FollowTheSetupRules) {
    const OfferedRow& p = GetParam();
    const Case c = makeCase(p.tracer, p.environ, 0, {{"S", "25", "0"}});
    EXPECT_EQ(offeredBarriers(c.setup), p.models)
        << "tracer " << p.tracer << ", environment " << p.environ;
    for (const int m : p.models) // every offered model is one the setup page shows
        EXPECT_TRUE(c.setup.modelVisible(m))
            << "tracer " << p.tracer << ", environment " << p.environ << ", model " << m;
}

INSTANTIATE_TEST_SUITE_P(Rules, Offered,
                         testing::Values(OfferedRow{"TesselIIAir", 0, 0, {0, 1, 2, 3}},
                                         OfferedRow{"TesselIILiquid", 0, 1, {0, 1, 2, 3}},
                                         OfferedRow{"TesselIIIAir", 1, 0, {0, 1, 2, 3, 4, 5}},
                                         OfferedRow{"TesselIIILiquid", 1, 1, {0, 1, 2, 3, 5}}),
                         RowName{});

struct DwellRowCase : NamedRow {
    Case c;
    int expected;
};

class HottestDwell : public testing::TestWithParam<DwellRowCase> {};

TEST_P(HottestDwell, IsTheFirstDwellWithTheHighestTemperature) {
    EXPECT_EQ(hottestDwellRow(GetParam().c.profile), GetParam().expected)
        << profileText(GetParam().c.profile);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, HottestDwell,
    testing::Values(
        DwellRowCase{"NoDwell",
                     makeCase(0, 0, 0, {{"S", "25", "0"}, {"R", "400", "10"}, {"E", "25", "9"}}),
                     0},
        DwellRowCase{"HotterRampIgnored",
                     makeCase(0, 0, 0, {{"S", "25", "0"}, {"D", "90", "5"}, {"R", "400", "9"}}), 2},
        DwellRowCase{"TieKeepsTheFirst",
                     makeCase(0, 0, 0, {{"S", "25", "0"}, {"D", "200", "5"}, {"D", "200", "7"}}),
                     2},
        DwellRowCase{"LaterHotterWins",
                     makeCase(0, 0, 0, {{"S", "25", "0"}, {"D", "150", "5"}, {"D", "2E2", "7"}}),
                     3},
        DwellRowCase{"NegativeOnly",
                     makeCase(0, 0, 0, {{"S", "25", "0"}, {"D", "-40", "5"}, {"D", "-50", "7"}}),
                     2}),
    RowName{});

// ---- The longest safe dwell ---------------------------------------------------------------

struct DwellCase : NamedRow {
    Case c;
    SafeDwell::Kind kind;
};

class SafeDwellSearch : public testing::TestWithParam<DwellCase> {};

TEST_P(SafeDwellSearch, MeetsTheDefinition) {
    const DwellCase& p = GetParam();
    const SafeDwell found = findSafeDwell(p.c);
    SCOPED_TRACE(profileText(p.c.profile));
    ASSERT_EQ(found.kind, p.kind) << found.minutes;
    switch (found.kind) {
    case SafeDwell::Kind::NoDwellRow:
        break;
    case SafeDwell::Kind::None:
        EXPECT_FALSE(caseSafe(withDwell(p.c, 0)));
        break;
    case SafeDwell::Kind::Minutes:
        EXPECT_FALSE(caseSafe(withDwell(p.c, found.minutes + 1)));
        EXPECT_TRUE(runs(withDwell(p.c, found.minutes + 1)));
        for (int64_t m = 0; m <= found.minutes; m += 1 + found.minutes / 400)
            ASSERT_TRUE(caseSafe(withDwell(p.c, m))) << m;
        EXPECT_TRUE(caseSafe(withDwell(p.c, found.minutes)));
        break;
    case SafeDwell::Kind::Capped:
        EXPECT_TRUE(caseSafe(withDwell(p.c, found.minutes)));
        EXPECT_FALSE(runs(withDwell(p.c, found.minutes + 1)));
        break;
    }
}

const SafeDwell::Kind kNoRow = SafeDwell::Kind::NoDwellRow, kNone = SafeDwell::Kind::None,
                      kMinutes = SafeDwell::Kind::Minutes, kCapped = SafeDwell::Kind::Capped;

INSTANTIATE_TEST_SUITE_P(
    Cases, SafeDwellSearch,
    testing::Values(
        DwellCase{"NoDwellRow",
                  makeCase(0, 0, 0, {{"S", "25", "0"}, {"R", "300", "20"}, {"E", "25", "60"}}),
                  kNoRow},
        DwellCase{"UnsafeWithoutDwell",
                  makeCase(1, 0, 3, {{"S", "25", "0"}, {"R", "900", "120"}, {"D", "900", "5"}}),
                  kNone},
        DwellCase{"CoolDwellIsCapped",
                  makeCase(0, 0, 0, {{"S", "25", "0"}, {"D", "100", "10"}, {"E", "25", "60"}}),
                  kCapped},
        DwellCase{"CappedWithOddHalfRows",
                  makeCase(1, 1, 5, {{"S", "25", "0.5"}, {"D", "60", "1"}, {"E", "25", "2.5"}}),
                  kCapped},
        DwellCase{
            "HotDwellInCelsius",
            makeCase(0, 0, 1,
                     {{"S", "25", "0"}, {"R", "300", "15"}, {"D", "300", "20"}, {"E", "25", "60"}}),
            kMinutes},
        DwellCase{"DwellWarningLimitsIt",
                  makeCase(1, 0, 4, {{"S", "25", "0"}, {"R", "300", "15"}, {"D", "300", "20"}}),
                  kMinutes},
        DwellCase{
            "FahrenheitLimit",
            makeCase(1, 0, 2,
                     {{"S", "77", "0"}, {"R", "572", "30"}, {"D", "572", "30"}, {"E", "77", "60"}},
                     false),
            kMinutes},
        DwellCase{
            "HoursUnits",
            makeCase(
                0, 1, 2,
                {{"S", "25", "0"}, {"R", "250", "0.25"}, {"D", "250", "0.5"}, {"E", "25", "1"}},
                true, false),
            kMinutes},
        DwellCase{"HottestOfTwoDwells",
                  makeCase(0, 0, 2,
                           {{"S", "25", "0"},
                            {"D", "120", "30"},
                            {"R", "400", "5"},
                            {"D", "400", "10"},
                            {"E", "25", "60"}}),
                  kMinutes},
        DwellCase{"DwellTimeNotANumber",
                  makeCase(0, 0, 0, {{"S", "25", "0"}, {"R", "260", "10"}, {"D", "260", "abc"}}),
                  kMinutes}),
    RowName{});

// ---- The comparison against runs of each model ----------------------------------------------

/// A plain continuation of a run's stages: the stored series, then the process read as 0,
/// the delayed index rounded by the library.
PeakAfterEnd referencePeak(const RunResult& run, const SetupState& setup) {
    const ModelParams params = buildModelParams();
    const auto mi = static_cast<size_t>(setup.modelIndex());
    const auto rc = static_cast<size_t>(setup.tracerIndex() + 2 * setup.environIndex());
    const double dead = params[mi][rc], a = params[mi][4 + rc], b = params[mi][8 + rc];
    const int64_t e = run.totalMinutes + 60, stored = run.totalMinutes + 80;
    std::vector<float> process(run.process), mid(run.intermediate), in(run.internal);
    const auto size = static_cast<size_t>(e + 100001);
    process.resize(std::max(size, process.size()), 0.0f);
    mid.resize(size);
    in.resize(size);
    for (int64_t t = stored + 1; t < e + 100000; ++t) {
        const auto k = static_cast<size_t>(std::nearbyint(static_cast<double>(t) - dead));
        const auto i = static_cast<size_t>(t);
        mid[i] =
            static_cast<float>((process[k] - static_cast<double>(mid[i - 1])) * a + mid[i - 1]);
        in[i] = static_cast<float>((mid[i] - static_cast<double>(in[i - 1])) * b + in[i - 1]);
    }
    // Numbers too small to be normal read as 0.
    for (float& v : in)
        v = std::fpclassify(v) == FP_SUBNORMAL ? 0.0f : v;
    int64_t t = e + 1;
    while (t < e + 100000 && !(in[static_cast<size_t>(t)] < in[static_cast<size_t>(t - 1)]))
        ++t;
    PeakAfterEnd peak{in[static_cast<size_t>(e)], 0};
    for (int64_t m = e; m < t; ++m)
        if (in[static_cast<size_t>(m)] > peak.peak)
            peak = {in[static_cast<size_t>(m)], m - e};
    return peak;
}

/// Each barrier's figures are those of a run with that model and of its evaluation texts.
void expectMatchesRuns(const Case& c, const Comparison& cmp) {
    ASSERT_EQ(cmp.barriers.size(), offeredBarriers(c.setup).size());
    for (const BarrierResult& b : cmp.barriers) {
        Case one = c;
        one.setup.selectModel(b.model);
        const RunOutcome outcome = runModel(one);
        ASSERT_TRUE(std::holds_alternative<RunResult>(outcome)) << b.model;
        const RunResult& run = std::get<RunResult>(outcome);
        const Evaluation e = evaluate(run, one.setup);
        EXPECT_EQ(b.maxInternal, run.maxInternal);
        EXPECT_EQ(b.maxDwell, run.maxDwell);
        EXPECT_EQ(b.pass, e.verdict == "PASS");
        EXPECT_EQ(b.warning, e.summary.find("WARNING") != std::string::npos);
        const PeakAfterEnd peak = referencePeak(run, one.setup);
        EXPECT_EQ(b.peakAfterEnd, peak.peak) << b.model;
        EXPECT_EQ(b.minutesToPeak, peak.minutesToPeak) << b.model;
        EXPECT_EQ(b.internal.size(), static_cast<size_t>(run.totalMinutes + 81));
    }
}

void expectRankedAndRecommended(const Comparison& cmp) {
    ASSERT_EQ(cmp.ranking.size(), cmp.barriers.size());
    for (size_t i = 1; i < cmp.ranking.size(); ++i)
        EXPECT_GE(cmp.barriers[cmp.ranking[i - 1]].margin(), cmp.barriers[cmp.ranking[i]].margin());
    double bestSafe = -INFINITY;
    for (const BarrierResult& b : cmp.barriers)
        if (b.safe())
            bestSafe = std::max(bestSafe, b.margin());
    ASSERT_EQ(cmp.recommended.has_value(), bestSafe > -INFINITY);
    if (cmp.recommended) {
        EXPECT_TRUE(cmp.barriers[*cmp.recommended].safe());
        EXPECT_EQ(cmp.barriers[*cmp.recommended].margin(), bestSafe);
    }
}

Case randomCase(std::mt19937& rng) {
    std::uniform_int_distribution<int> pick(0, 1), temp(-20, 700), time(0, 90), steps(1, 5);
    const char* codes[] = {"R", "D", "E", ""};
    Case c = makeCase(pick(rng), pick(rng), 0, {{"S", std::to_string(temp(rng)), "0"}},
                      pick(rng) == 0, pick(rng) == 0);
    const int n = steps(rng);
    for (int r = 2; r <= n + 1; ++r) {
        if (r >= c.profile.rowCount())
            c.profile.appendRow();
        const std::string code = codes[std::uniform_int_distribution<int>(0, 3)(rng)];
        c.profile.setCell(r, kColStep,
                          code == "R"   ? "Ramp to Temp"
                          : code == "D" ? "Dwell at Temp"
                                        : code);
        c.profile.setCell(r, kColTemp, std::to_string(temp(rng)));
        const int t = time(rng) + (code == "R" ? 1 : 0);
        c.profile.setCell(r, kColTime,
                          c.setup.hours() ? plainNumberText(t / 60.0) : std::to_string(t));
    }
    return c;
}

TEST(Comparison, RandomCasesFollowTheDefinitions) {
    std::mt19937 rng(20261206);
    for (int i = 0; i < 40; ++i) {
        const Case c = randomCase(rng);
        const ComparisonOutcome outcome = compareBarriers(c);
        if (const auto* error = std::get_if<RunError>(&outcome)) {
            EXPECT_TRUE(std::holds_alternative<RunError>(runModel(c))) << error->message;
            continue;
        }
        const Comparison& cmp = std::get<Comparison>(outcome);
        expectMatchesRuns(c, cmp);
        expectRankedAndRecommended(cmp);
        for (const BarrierResult& b : cmp.barriers) {
            Case one = c;
            one.setup.selectModel(b.model);
            if (b.safeDwell.kind == SafeDwell::Kind::Minutes) {
                EXPECT_TRUE(caseSafe(withDwell(one, b.safeDwell.minutes))) << i;
                EXPECT_FALSE(caseSafe(withDwell(one, b.safeDwell.minutes + 1))) << i;
            }
        }
    }
}

TEST(Comparison, ExamplesFollowTheDefinitions) {
    for (const auto& entry : std::filesystem::directory_iterator(KVH_EXAMPLES_DIR)) {
        if (entry.path().extension() != ".dew")
            continue;
        auto opened = openDewFile(entry.path().string(), Case{});
        ASSERT_TRUE(std::holds_alternative<Case>(opened)) << entry.path();
        const Case& c = std::get<Case>(opened);
        const ComparisonOutcome outcome = compareBarriers(c);
        ASSERT_TRUE(std::holds_alternative<Comparison>(outcome)) << entry.path();
        expectMatchesRuns(c, std::get<Comparison>(outcome));
        expectRankedAndRecommended(std::get<Comparison>(outcome));
    }
}

// Below zero the inside creeps up towards 0 for ever; the peak reads 0, not a denormal such as
// -9.2e-44 that no one could read.
TEST(Comparison, SubZeroPeakAfterTheEndIsNoDenormal) {
    const Case c = makeCase(1, 0, 2, {{"S", "-40", "0"}, {"D", "-40", "60"}});
    const auto outcome = compareBarriers(c);
    ASSERT_TRUE(std::holds_alternative<Comparison>(outcome));
    const Comparison& cmp = std::get<Comparison>(outcome);
    for (const BarrierResult& b : cmp.barriers)
        EXPECT_NE(std::fpclassify(b.peakAfterEnd), FP_SUBNORMAL)
            << b.model << ": " << b.peakAfterEnd;
    EXPECT_EQ(comparisonCsv(cmp).find("e-"), std::string::npos) << comparisonCsv(cmp);
    expectMatchesRuns(c, cmp);
}

TEST(Comparison, NoSafeBarrierNoRecommendation) {
    const Case c = makeCase(
        1, 0, 0, {{"S", "25", "0"}, {"R", "900", "10"}, {"D", "900", "600"}, {"E", "900", "60"}});
    const Comparison cmp = std::get<Comparison>(compareBarriers(c, false));
    EXPECT_FALSE(cmp.recommended.has_value());
    EXPECT_EQ(cmp.barriers.size(), 6u);
}

TEST(Comparison, ProfileErrorIsTheRunsError) {
    const Case c = makeCase(0, 0, 0, {{"S", "25", "0"}, {"R", "300", "0"}});
    const ComparisonOutcome outcome = compareBarriers(c);
    ASSERT_TRUE(std::holds_alternative<RunError>(outcome));
    EXPECT_EQ(std::get<RunError>(outcome).row, 2);
}

TEST(Comparison, ModelNeedNotBeChosen) {
    Case c = makeCase(0, 0, 0, {{"S", "25", "0"}, {"R", "200", "10"}});
    c.setup = SetupState{};
    c.setup.selectTracer(1); // tracer type 1 chooses no model by itself
    EXPECT_FALSE(comparable(c.setup));
    c.setup.selectEnviron(0);
    ASSERT_FALSE(c.setup.complete());
    EXPECT_TRUE(comparable(c.setup));
    const ComparisonOutcome outcome = compareBarriers(c, false);
    ASSERT_TRUE(std::holds_alternative<Comparison>(outcome));
    EXPECT_EQ(std::get<Comparison>(outcome).barriers.size(), 6u);
}

// ---- CSV texts ----------------------------------------------------------------------------

struct FieldCase : NamedRow {
    const char* text;
    const char* expected;
};

class CsvFieldText : public testing::TestWithParam<FieldCase> {};

TEST_P(CsvFieldText, QuotesOnlyWhatNeedsIt) {
    EXPECT_EQ(csvField(GetParam().text), GetParam().expected) << GetParam().text;
}

INSTANTIATE_TEST_SUITE_P(
    Fields, CsvFieldText,
    testing::Values(FieldCase{"Plain", "bake.dew", "bake.dew"},
                    FieldCase{"Comma", "a,b.dew", "\"a,b.dew\""},
                    FieldCase{"Quote", "say \"hi\".dew", "\"say \"\"hi\"\".dew\""},
                    FieldCase{"LineFeed", "a\nb", "\"a\nb\""}, FieldCase{"Empty", "", ""}),
    RowName{});

TEST(ComparisonCsv, OneLinePerBarrierWithTheRowTexts) {
    Comparison cmp;
    BarrierResult a;
    a.model = 0;
    a.maxInternal = 52.8f;
    a.maxDwell = 1e20f;
    a.pass = true;
    a.warning = true;
    a.safeDwell = {SafeDwell::Kind::Capped, 999981};
    a.peakAfterEnd = 0.1f;
    a.minutesToPeak = 27;
    BarrierResult b = a;
    b.model = 4;
    b.pass = false;
    b.warning = false;
    b.safeDwell = {SafeDwell::Kind::None, 0};
    BarrierResult c = b;
    c.model = 5;
    c.safeDwell = {};
    a.limit = b.limit = c.limit = 284;
    cmp.barriers = {a, b, c};
    cmp.fahrenheit = true;
    EXPECT_EQ(comparisonCsv(cmp),
              "model,max_internal,max_dwell,verdict,warning,safe_dwell_minutes,peak_after_end,"
              "minutes_to_peak,unit,limit\n"
              "7640,52.8,1e+20,PASS,yes,999981,0.1,27,F,284\n"
              "7210,52.8,1e+20,FAIL,no,none,0.1,27,F,284\n"
              "7105,52.8,1e+20,FAIL,no,,0.1,27,F,284\n");
    EXPECT_EQ(comparisonCsvRows(cmp, "x,y.dew").substr(0, 15), "\"x,y.dew\",7640,");
}

/// A tie in margin and what breaks it: the ranking's first two models and the recommendation.
struct TieCase : NamedRow {
    SafeDwell dwellA, dwellB;
    float peakA, peakB;
    float maxB; ///< barrier A's maximum is 100
    int first;  ///< model ranked first
    int recommended;
};

class TieBreak : public testing::TestWithParam<TieCase> {};

TEST_P(TieBreak, RanksAndRecommends) {
    const TieCase& row = GetParam();
    const auto barrier = [](int model, float max, SafeDwell dwell, float peak) {
        BarrierResult b;
        b.model = model;
        b.maxInternal = max;
        b.limit = 140;
        b.pass = max < 140;
        b.safeByMargin = b.safe();
        b.safeDwell = dwell;
        b.peakAfterEnd = peak;
        return b;
    };
    Comparison cmp;
    cmp.barriers = {barrier(0, 100, row.dwellA, row.peakA),
                    barrier(1, row.maxB, row.dwellB, row.peakB),
                    barrier(2, 150, {SafeDwell::Kind::None, 0}, 160)};
    rankBarriers(cmp);
    ASSERT_EQ(cmp.ranking.size(), 3u);
    EXPECT_EQ(cmp.barriers[cmp.ranking[0]].model, row.first);
    EXPECT_EQ(cmp.barriers[cmp.ranking[2]].model, 2); // the failing one last
    ASSERT_TRUE(cmp.recommended.has_value());
    EXPECT_EQ(cmp.barriers[*cmp.recommended].model, row.recommended);
}

constexpr SafeDwell minutes(int64_t m) {
    return {SafeDwell::Kind::Minutes, m};
}

INSTANTIATE_TEST_SUITE_P(
    Advisor, TieBreak,
    testing::Values(
        TieCase{{"larger margin wins whatever the dwell"},
                minutes(5),
                minutes(900),
                120,
                90,
                101,
                0,
                0},
        TieCase{{"equal margins the longer safe dwell wins"},
                minutes(94),
                minutes(369),
                120,
                130,
                100,
                1,
                1},
        TieCase{{"unlimited dwell beats any number of minutes"},
                {SafeDwell::Kind::Capped, 999000},
                minutes(999999),
                130,
                120,
                100,
                0,
                0},
        TieCase{
            {"a dwell beats none"}, {SafeDwell::Kind::None, 0}, minutes(1), 120, 130, 100, 1, 1},
        TieCase{{"equal dwells the lower peak after the end wins"},
                minutes(60),
                minutes(60),
                125,
                121,
                100,
                1,
                1},
        TieCase{{"all equal keep model order"}, minutes(60), minutes(60), 125, 125, 100, 0, 0}),
    RowName{});

TEST(AfterEndText, SaysWhatTheInsideDoes) {
    EXPECT_EQ(afterEndText({156.84f, 27}, false),
              "After the end the inside rises for 27 more minutes, to 156.8 \u00b0C");
    EXPECT_EQ(afterEndText({301.0f, 1}, true),
              "After the end the inside rises for 1 more minute, to 301.0 \u00b0F");
    EXPECT_EQ(afterEndText({99.0f, 0}, false), "After the end the inside cools at once");
}

TEST(SafeDwellDisplay, MinutesHoursAndUnlimited) {
    EXPECT_EQ(safeDwellDisplay(minutes(94), false), "94 min");
    EXPECT_EQ(safeDwellDisplay(minutes(94), true), "1.57 h");
    EXPECT_EQ(safeDwellDisplay({SafeDwell::Kind::Capped, 999981}, false), "unlimited");
    EXPECT_EQ(safeDwellDisplay({SafeDwell::Kind::None, 0}, true), "none");
    EXPECT_EQ(safeDwellDisplay({}, false), "");
}

} // namespace
