#include "core/chart_data.h"
#include "named_row.h"
#include "test_cases.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

using namespace kvh::core;

using kvh::test::NamedRow;
using kvh::test::RowName;

namespace {

struct DivisionCase : NamedRow {
    float range;
    int x;
    int y;
};

class MajorDivisions : public testing::TestWithParam<DivisionCase> {};

TEST_P(MajorDivisions, FollowTheAxisRules) {
    const float low = 20.0f;
    EXPECT_EQ(majorDivisions(Axis::X, low, low + GetParam().range), GetParam().x)
        << GetParam().range;
    EXPECT_EQ(majorDivisions(Axis::Y, low, low + GetParam().range), GetParam().y)
        << GetParam().range;
}

INSTANTIATE_TEST_SUITE_P(
    WorkedTable, MajorDivisions,
    testing::Values(DivisionCase{"Range100", 100, 10, 10}, DivisionCase{"Range95", 95, 5, 9},
                    DivisionCase{"Range90", 90, 10, 9}, DivisionCase{"Range49", 49, 7, 8},
                    DivisionCase{"Range45", 45, 9, 8}, DivisionCase{"Range11", 11, 4, 8},
                    DivisionCase{"Range5", 5, 5, 8}, DivisionCase{"RangeHalf", 0.5f, 4, 8},
                    DivisionCase{"Range150", 150, 10, 7}, DivisionCase{"Range260", 260, 10, 6},
                    DivisionCase{"Range1000", 1000, 10, 12}),
    RowName{});

TEST(MajorDivisions, EdgeRanges) {
    EXPECT_EQ(majorDivisions(Axis::Y, 120, 20), 8); // high below low
    EXPECT_EQ(majorDivisions(Axis::Y, 0, 1000), 12);
    EXPECT_EQ(majorDivisions(Axis::Y, 0, 327670), 4095); // halved three times, stays above 10
    EXPECT_EQ(majorDivisions(Axis::Y, 0, 327690), std::nullopt); // the tenth overflows 16 bits
    EXPECT_EQ(majorDivisions(Axis::X, 0, 11), 4);
}

TEST(ChartData, HoursDrawEveryMinuteAsAFraction) {
    const Case c =
        kvh::test::makeCase(0, 0, 0, {{"S", "20", "0"}, {"D", "80", "1.5"}}, true, false);
    const RunResult run = std::get<RunResult>(runModel(c));
    ASSERT_EQ(run.totalMinutes, 90);
    const ChartData chart = buildChartData(run, c.setup, false);
    ASSERT_EQ(chart.internal.size(), 89u);
    ASSERT_EQ(chart.process.size(), 89u);
    EXPECT_EQ(chart.internal.front().x, 1.0 / 60);
    EXPECT_EQ(chart.internal.back().x, 89.0 / 60);
    EXPECT_EQ(chart.process.front().y, run.process[60]);
    EXPECT_EQ(chart.internal.back().y, run.internal[148]);
    EXPECT_EQ(chart.limit, (std::vector<ChartPoint>{{0, 150}, {89.0 / 60, 150}}));
    EXPECT_EQ(chart.xTitle, "Elapsed Hours");
    EXPECT_EQ(chart.yTitle, "Temp. \u00b0C");
}

TEST(ChartData, TracerOnlyLeavesTheProcessOut) {
    const Case c =
        kvh::test::makeCase(1, 0, 4, {{"S", "70", "0"}, {"D", "300", "20"}}, false, true);
    const RunResult run = std::get<RunResult>(runModel(c));
    const ChartData chart = buildChartData(run, c.setup, true);
    EXPECT_TRUE(chart.process.empty());
    EXPECT_EQ(chart.internal.size(), 19u);
    EXPECT_EQ(chart.internal[0].x, 1.0);
    EXPECT_EQ(chart.limit.back(), (ChartPoint{19, 284}));
    EXPECT_EQ(chart.xTitle, "Elapsed Minutes");
    EXPECT_EQ(chart.yTitle, "Temp. \u00b0F");
}

TEST(ChartData, NoMinutesNoCurve) {
    const Case c = kvh::test::makeCase(0, 0, 0, {{"S", "20", "0"}});
    const ChartData chart = buildChartData(std::get<RunResult>(runModel(c)), c.setup, false);
    EXPECT_TRUE(chart.internal.empty());
    EXPECT_TRUE(chart.process.empty());
}

TEST(ChartData, DecimatedWhileBuiltEqualsDecimatedAfter) {
    const Case c = kvh::test::makeCase(
        1, 0, 2,
        {{"S", "20", "0"}, {"R", "200", "3000"}, {"D", "200", "9000"}, {"R", "20", "4000"}}, true,
        true);
    const RunResult run = std::get<RunResult>(runModel(c));
    const ChartData full = buildChartData(run, c.setup, false);
    const ChartData fine = buildChartData(run, c.setup, false, 700);
    EXPECT_EQ(fine.internal, decimate(full.internal, 700));
    EXPECT_EQ(fine.process, decimate(full.process, 700));
    EXPECT_EQ(fine.limit, full.limit);
    EXPECT_LE(fine.internal.size(), 1402u);
}

TEST(Decimate, KeepsEndsAndExtremesOfEveryBucket) {
    std::vector<ChartPoint> points;
    for (int i = 0; i < 100000; ++i)
        points.push_back(
            {static_cast<double>(i), std::sin(i * 0.001) * 100 + (i == 51234 ? 500 : 0)});
    const auto out = decimate(points, 500);
    EXPECT_LE(out.size(), 1002u);
    EXPECT_EQ(out.front(), points.front());
    EXPECT_EQ(out.back(), points.back());
    EXPECT_TRUE(std::is_sorted(out.begin(), out.end(),
                               [](const ChartPoint& a, const ChartPoint& b) { return a.x < b.x; }));
    EXPECT_NE(std::find(out.begin(), out.end(), points[51234]), out.end()); // the spike survives
    const auto [lo, hi] = std::minmax_element(
        out.begin(), out.end(), [](const ChartPoint& a, const ChartPoint& b) { return a.y < b.y; });
    const auto fullLow =
        std::min_element(points.begin(), points.end(),
                         [](const ChartPoint& a, const ChartPoint& b) { return a.y < b.y; });
    EXPECT_EQ(lo->y, fullLow->y);
    EXPECT_EQ(hi->y, points[51234].y);
    const std::vector<ChartPoint> small(points.begin(), points.begin() + 50);
    EXPECT_EQ(decimate(small, 500), small);
}

struct BandCase : NamedRow {
    std::vector<double> ys; ///< at x = 0, 1, 2, ...
    int buckets;
    std::vector<BandStretch> band;
};

class Band : public testing::TestWithParam<BandCase> {};

TEST_P(Band, SweepsWhatTheLineThroughThePointsSweeps) {
    std::vector<ChartPoint> points;
    for (size_t i = 0; i < GetParam().ys.size(); ++i)
        points.push_back({static_cast<double>(i), GetParam().ys[i]});
    EXPECT_EQ(bandOf(points, GetParam().buckets), GetParam().band);
}

INSTANTIATE_TEST_SUITE_P(
    Curves, Band,
    testing::Values(
        BandCase{"NoPoints", {}, 4, {}}, BandCase{"OnePoint", {7}, 4, {{0, 0, 7, 7}}},
        // A turn at every point: one stretch whatever the length or the buckets.
        BandCase{"SwingBetweenTwoValues",
                 {25, 180, 25, 180, 25, 180, 25, 180, 25, 180, 25, 180},
                 3,
                 {{0, 11, 25, 180}}},
        BandCase{
            "SwingWithAPointABucket", {25, 180, 25, 180, 25}, 5, {{0, 4, 25, 180}, {4, 4, 25, 25}}},
        // Each stretch reaches on to the next bucket's first point.
        BandCase{"Rise", {0, 1, 2, 3, 4, 5}, 3, {{0, 2, 0, 2}, {2, 4, 2, 4}, {4, 5, 4, 5}}},
        BandCase{"SpikeInsideABucket", {1, 9, 1, 1, 1, 1}, 2, {{0, 3, 1, 9}, {3, 5, 1, 1}}},
        BandCase{"FlatCurve", {5, 5, 5, 5, 5, 5}, 6, {{0, 5, 5, 5}}}),
    RowName{});

} // namespace
