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

/// A case whose chart is checked point by point: where its profile and after-end stretch begin
/// and end, in the chart's unit.
struct SpanCase : NamedRow {
    Case c;
    bool tracerOnly;
    int64_t totalMinutes;
    int64_t afterEnd; ///< minutes after the end the chart shows
    double scale;     ///< minutes per x unit
};

class ChartSpan : public testing::TestWithParam<SpanCase> {};

TEST_P(ChartSpan, DrawsTheProfileFromStartToEndThenTheTimeAfterIt) {
    const SpanCase& row = GetParam();
    const RunResult run = std::get<RunResult>(runModel(row.c));
    ASSERT_EQ(run.totalMinutes, row.totalMinutes);
    const ChartData chart = buildChartData(run, row.c.setup, row.tracerOnly);
    const int64_t e = run.totalMinutes + 60;
    const double end = static_cast<double>(run.totalMinutes) / row.scale;
    // The profile: its start (minute index 60) at x = 0, its end at x = TotalMinutes.
    ASSERT_EQ(chart.internal.size(), static_cast<size_t>(run.totalMinutes + 1));
    EXPECT_EQ(chart.internal.front(), (ChartPoint{0.0, run.internal[60]}));
    EXPECT_EQ(chart.internal.back(), (ChartPoint{end, run.internal[static_cast<size_t>(e)]}));
    EXPECT_EQ(chart.process.empty(), row.tracerOnly);
    if (!row.tracerOnly) {
        EXPECT_EQ(chart.process.back(), (ChartPoint{end, run.process[static_cast<size_t>(e)]}));
    }
    // After the end: from the end's own point until the inside stops rising (20 at least).
    EXPECT_EQ(chart.endX, end);
    ASSERT_EQ(chart.afterEnd.size(), static_cast<size_t>(row.afterEnd + 1));
    EXPECT_EQ(chart.afterEnd.front(), chart.internal.back());
    const double last = static_cast<double>(run.totalMinutes + row.afterEnd) / row.scale;
    EXPECT_EQ(chart.afterEnd.back().x, last);
    const PeakAfterEnd peak = peakAfterEnd(run, row.c.setup);
    if (peak.minutesToPeak >= 20) {
        EXPECT_EQ(chart.afterEnd.back().y, peak.peak);
    }
    EXPECT_EQ(chart.limit, (std::vector<ChartPoint>{{0, run.limit}, {last, run.limit}}));
}

INSTANTIATE_TEST_SUITE_P(
    ChartData, ChartSpan,
    testing::Values(
        SpanCase{{"seven minute reflow keeps all seven minutes"},
                 kvh::test::makeCase(1, 0, 4, {{"S", "70", "0"}, {"R", "300", "7"}}, false, true),
                 false,
                 7,
                 20,
                 1.0},
        SpanCase{{"ninety minutes in hours"},
                 kvh::test::makeCase(0, 0, 0, {{"S", "20", "0"}, {"D", "80", "1.5"}}, true, false),
                 false,
                 90,
                 20,
                 60.0},
        SpanCase{{"tracer only in fahrenheit"},
                 kvh::test::makeCase(1, 0, 4, {{"S", "70", "0"}, {"D", "300", "20"}}, false, true),
                 true,
                 20,
                 20,
                 1.0},
        SpanCase{{"start only profile shows the twenty minutes after it"},
                 kvh::test::makeCase(0, 0, 0, {{"S", "20", "0"}}),
                 false,
                 0,
                 20,
                 1.0}),
    RowName{});

TEST(ChartData, AfterEndGoesOnToALatePeak) {
    // 7520 at 400 °C: the inside peaks 41 minutes after the end, past the 20 stored minutes.
    const Case c = kvh::test::makeCase(
        1, 0, 1, {{"S", "25", "0"}, {"R", "400", "15"}, {"D", "400", "105"}, {"E", "25", "5"}});
    const RunResult run = std::get<RunResult>(runModel(c));
    const PeakAfterEnd peak = peakAfterEnd(run, c.setup);
    ASSERT_EQ(peak.minutesToPeak, 41);
    const ChartData chart = buildChartData(run, c.setup, false);
    EXPECT_EQ(chart.afterEnd.back(),
              (ChartPoint{static_cast<double>(run.totalMinutes + peak.minutesToPeak), peak.peak}));
    EXPECT_EQ(afterEndMinutes(peak), peak.minutesToPeak);
    // The inside keeps rising over the whole stretch past the stored minutes.
    for (size_t k = 21; k < chart.afterEnd.size(); ++k)
        EXPECT_GE(chart.afterEnd[k].y, chart.afterEnd[k - 1].y) << k;
    EXPECT_TRUE(std::is_sorted(chart.afterEnd.begin(), chart.afterEnd.end(),
                               [](const ChartPoint& a, const ChartPoint& b) { return a.x < b.x; }));
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
    EXPECT_EQ(fine.afterEnd, decimate(full.afterEnd, 700));
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
