#include "chart_data.h"

#include <algorithm>
#include <cmath>

namespace kvh::core {

ChartData buildChartData(const RunResult& run, const SetupState& setup, bool tracerOnly) {
    ChartData chart;
    const bool minutes = setup.minutes();
    const auto xOf = [minutes](int64_t i) {
        return minutes ? static_cast<double>(i) : static_cast<double>(i) / 60.0;
    };
    // Point i shows minute index i + 59: the profile's start is drawn at one minute.
    const int64_t n = run.totalMinutes;
    if (n > 1) {
        chart.internal.reserve(static_cast<size_t>(n - 1));
        if (!tracerOnly)
            chart.process.reserve(static_cast<size_t>(n - 1));
    }
    for (int64_t i = 1; i < n; ++i) {
        const auto k = static_cast<size_t>(i + 59);
        chart.internal.push_back({xOf(i), run.internal[k]});
        if (!tracerOnly)
            chart.process.push_back({xOf(i), run.process[k]});
    }
    chart.limit = {{0.0, run.limit}, {xOf(std::max<int64_t>(n - 1, 0)), run.limit}};
    chart.xTitle = minutes ? "Elapsed Minutes" : "Elapsed Hours";
    chart.yTitle = setup.celsius() ? "Temp. \u00b0C" : "Temp. \u00b0F";
    return chart;
}

std::vector<ChartPoint> decimate(const std::vector<ChartPoint>& points, int buckets) {
    buckets = std::max(buckets, 1);
    if (points.size() <= static_cast<size_t>(2 * buckets + 2))
        return points;
    std::vector<ChartPoint> out;
    out.reserve(static_cast<size_t>(2 * buckets + 2));
    out.push_back(points.front());
    const size_t last = points.size() - 1;
    const double x0 = points.front().x;
    const double span = points.back().x - x0;
    size_t i = 1;
    while (i < last) {
        const auto bucketOf = [&](size_t k) {
            return span > 0 ? std::min(static_cast<int>((points[k].x - x0) / span * buckets),
                                        buckets - 1)
                            : 0;
        };
        const int bucket = bucketOf(i);
        size_t lo = i, hi = i;
        size_t k = i;
        for (; k < last && bucketOf(k) == bucket; ++k) {
            if (points[k].y < points[lo].y)
                lo = k;
            if (points[k].y > points[hi].y)
                hi = k;
        }
        out.push_back(points[std::min(lo, hi)]);
        if (lo != hi)
            out.push_back(points[std::max(lo, hi)]);
        i = k;
    }
    out.push_back(points.back());
    return out;
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
