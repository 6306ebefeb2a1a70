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

/// Points k = 0 .. n - 1 given by `at(k)`, decimated when `buckets` is above 0.
template <class PointAt> std::vector<ChartPoint> curveOf(size_t n, const PointAt& at, int buckets) {
    if (buckets > 0)
        return decimateIndexed(n, at, buckets);
    std::vector<ChartPoint> points;
    points.reserve(n);
    for (size_t k = 0; k < n; ++k)
        points.push_back(at(k));
    return points;
}

/// Elapsed time since the profile's start of minute index `index`, in minutes or hours.
double elapsed(int64_t index, bool hours) {
    const auto minutes = static_cast<double>(index - kLeadIn);
    return hours ? minutes / 60.0 : minutes;
}

/// The internal curve over the after-end stretch: minute indices e .. e + span, the stored
/// ones from `stored`, the rest from `beyond` (minute index TotalMinutes + 81 on).
std::vector<ChartPoint> afterEndCurve(int64_t totalMinutes, const std::vector<float>& stored,
                                      const std::vector<float>& beyond, int64_t span, bool hours,
                                      int buckets) {
    const int64_t e = totalMinutes + kLeadIn;
    const int64_t lastStored = totalMinutes + kTail;
    const auto at = [&](size_t k) {
        const int64_t i = e + static_cast<int64_t>(k);
        const float y = i <= lastStored ? stored[static_cast<size_t>(i)]
                                        : beyond[static_cast<size_t>(i - lastStored - 1)];
        return ChartPoint{elapsed(i, hours), y};
    };
    return curveOf(static_cast<size_t>(span + 1), at, buckets);
}

} // namespace

int64_t afterEndMinutes(const PeakAfterEnd& peak) {
    return std::max(kStoredAfterEnd, peak.minutesToPeak);
}

ChartData buildChartData(const RunResult& run, const SetupState& setup, bool tracerOnly,
                         int buckets) {
    ChartData chart;
    const bool hours = setup.hours();
    const int64_t n = run.totalMinutes;
    // The profile: minute index 60 (its start, x = 0) to 60 + TotalMinutes (its end).
    const auto profileCurve = [&](const std::vector<float>& series) {
        const auto at = [&](size_t k) {
            const int64_t i = kLeadIn + static_cast<int64_t>(k);
            return ChartPoint{elapsed(i, hours), series[static_cast<size_t>(i)]};
        };
        return curveOf(static_cast<size_t>(n + 1), at, buckets);
    };
    chart.internal = profileCurve(run.internal);
    if (!tracerOnly)
        chart.process = profileCurve(run.process);
    const int64_t span = afterEndMinutes(peakAfterEnd(run, setup));
    const std::vector<float> beyond = internalAfterStored(run, setup, span - kStoredAfterEnd);
    chart.afterEnd = afterEndCurve(n, run.internal, beyond, span, hours, buckets);
    chart.endX = elapsed(n + kLeadIn, hours);
    chart.limit = {{0.0, run.limit}, {elapsed(n + kLeadIn + span, hours), run.limit}};
    chart.xTitle = timeAxisTitle(hours);
    chart.yTitle = setup.tempHeader();
    return chart;
}

std::vector<ChartPoint> barrierCurve(const BarrierResult& barrier, bool hours, int buckets) {
    const auto total = static_cast<int64_t>(barrier.internal.size()) - kTail - 1;
    const auto at = [&](size_t k) {
        const int64_t i = kLeadIn + static_cast<int64_t>(k);
        return ChartPoint{elapsed(i, hours), barrier.internal[static_cast<size_t>(i)]};
    };
    std::vector<ChartPoint> points = curveOf(static_cast<size_t>(total), at, buckets);
    const int64_t span = kStoredAfterEnd + static_cast<int64_t>(barrier.afterStored.size());
    std::vector<ChartPoint> after =
        afterEndCurve(total, barrier.internal, barrier.afterStored, span, hours, buckets);
    points.insert(points.end(), after.begin(), after.end());
    return points;
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
