#include "chart_data.h"

#include <algorithm>
#include <cmath>

namespace kvh::core {

namespace {

/// Min/max decimation over points 0 .. n-1 given by `at(i)`, in increasing x.
template <class PointAt>
std::vector<ChartPoint> decimateIndexed(size_t n, const PointAt& at, int buckets) {
    std::vector<ChartPoint> out;
    buckets = std::max(buckets, 1);
    if (n <= static_cast<size_t>(2 * buckets + 2)) {
        out.reserve(n);
        for (size_t i = 0; i < n; ++i)
            out.push_back(at(i));
        return out;
    }
    out.reserve(static_cast<size_t>(2 * buckets + 2));
    const ChartPoint first = at(0), lastPoint = at(n - 1);
    out.push_back(first);
    const size_t last = n - 1;
    const double span = lastPoint.x - first.x;
    const double scale = span > 0 ? buckets / span : 0.0;
    const auto bucketOf = [&](const ChartPoint& p) {
        return std::min(static_cast<int>((p.x - first.x) * scale), buckets - 1);
    };
    size_t i = 1;
    ChartPoint p = at(i);
    while (i < last) {
        const int bucket = bucketOf(p);
        ChartPoint lo = p, hi = p;
        size_t loIndex = i, hiIndex = i;
        for (; i < last && bucketOf(p) == bucket; p = at(++i)) {
            if (p.y < lo.y) {
                lo = p;
                loIndex = i;
            }
            if (p.y > hi.y) {
                hi = p;
                hiIndex = i;
            }
        }
        out.push_back(loIndex <= hiIndex ? lo : hi);
        if (loIndex != hiIndex)
            out.push_back(loIndex <= hiIndex ? hi : lo);
    }
    out.push_back(lastPoint);
    return out;
}

} // namespace

ChartData buildChartData(const RunResult& run, const SetupState& setup, bool tracerOnly,
                         int buckets) {
    ChartData chart;
    const bool minutes = setup.minutes();
    const auto xOf = [minutes](int64_t i) {
        return minutes ? static_cast<double>(i) : static_cast<double>(i) / 60.0;
    };
    // Point i (1 .. n - 1) shows minute index i + 59: the profile's start is drawn at one minute.
    const int64_t n = run.totalMinutes;
    const size_t count = n > 1 ? static_cast<size_t>(n - 1) : 0;
    const auto curve = [&](const std::vector<float>& series) {
        const auto at = [&](size_t k) {
            return ChartPoint{xOf(static_cast<int64_t>(k) + 1), series[k + 60]};
        };
        if (buckets > 0)
            return decimateIndexed(count, at, buckets);
        std::vector<ChartPoint> points;
        points.reserve(count);
        for (size_t k = 0; k < count; ++k)
            points.push_back(at(k));
        return points;
    };
    chart.internal = curve(run.internal);
    if (!tracerOnly)
        chart.process = curve(run.process);
    chart.limit = {{0.0, run.limit}, {xOf(std::max<int64_t>(n - 1, 0)), run.limit}};
    chart.xTitle = minutes ? "Elapsed Minutes" : "Elapsed Hours";
    chart.yTitle = setup.tempHeader();
    return chart;
}

std::vector<ChartPoint> decimate(const std::vector<ChartPoint>& points, int buckets) {
    return decimateIndexed(
        points.size(), [&](size_t i) { return points[i]; }, buckets);
}

std::vector<BandStretch> bandOf(const std::vector<ChartPoint>& points, int buckets) {
    std::vector<BandStretch> band;
    if (points.empty())
        return band;
    buckets = std::max(buckets, 1);
    const double first = points.front().x;
    const double span = points.back().x - first;
    const double scale = span > 0 ? buckets / span : 0.0;
    const auto bucketOf = [&](const ChartPoint& p) {
        return std::min(static_cast<int>((p.x - first) * scale), buckets - 1);
    };
    const auto add = [&band](BandStretch s) {
        if (!band.empty() && band.back().low == s.low && band.back().high == s.high)
            band.back().x1 = s.x1;
        else
            band.push_back(s);
    };
    for (size_t i = 0; i < points.size();) {
        const int bucket = bucketOf(points[i]);
        BandStretch s{points[i].x, points[i].x, points[i].y, points[i].y};
        for (; i < points.size() && bucketOf(points[i]) == bucket; ++i) {
            s.low = std::min(s.low, points[i].y);
            s.high = std::max(s.high, points[i].y);
            s.x1 = points[i].x;
        }
        // The line on to the next bucket's first point belongs to this stretch.
        if (i < points.size()) {
            s.low = std::min(s.low, points[i].y);
            s.high = std::max(s.high, points[i].y);
            s.x1 = points[i].x;
        }
        add(s);
    }
    return band;
}

std::optional<int> majorDivisions(Axis axis, float low, float high) {
    const float range = high - low;
    if (axis == Axis::X) {
        // The most divisions from 4 to 10 that split the range into whole numbers.
        int d = 0;
        for (int i = 4; i <= 10; ++i) {
            const float q = range / static_cast<float>(i);
            if (q == std::floor(q))
                d = i;
        }
        return d == 0 ? 4 : d;
    }
    const double tenth = std::floor(range / 10.0f);
    if (!(tenth >= -32768.0 && tenth <= 32767.0))
        return std::nullopt;
    int d = static_cast<int>(tenth);
    if (d < 1)
        d = 2;
    if (d <= 10) {
        for (int n = 0; n < 3 && d < 5; ++n)
            d *= 2;
    } else {
        for (int n = 0; n < 3 && d > 10; ++n)
            d /= 2;
    }
    return d;
}

} // namespace kvh::core
