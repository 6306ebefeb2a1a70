#pragma once
// What the results chart plots: the internal and process curves against elapsed time, the
// inside after the profile's end, the limit line, the axis titles, decimation for drawing,
// and the rule that picks the number of major divisions when the user fixes an axis range.

#include "advisor.h"
#include "model.h"

#include <optional>
#include <string>
#include <vector>

namespace kvh::core {

struct ChartPoint {
    double x = 0.0;
    double y = 0.0;
    bool operator==(const ChartPoint&) const = default;
};

/// The time axis's title in both charts.
constexpr std::string_view timeAxisTitle(bool hours) {
    return hours ? "Elapsed Hours" : "Elapsed Minutes";
}
/// The tracer's limit line, by name, in both charts' legends.
inline constexpr std::string_view kLimitName = "Limit";

inline constexpr std::string_view kResetXTitle = timeAxisTitle(false);
inline constexpr std::string_view kResetYTitle = "Temperature \u00b0C";
inline constexpr int kAxisTitlePointSize = 12;

/// The chart of one run, x in minutes or hours since the profile's start (minute index 60).
/// The profile spans x = 0 to its end at x = TotalMinutes; after it the internal curve goes on
/// over the after-end stretch, drawn apart from it.
struct ChartData {
    std::vector<ChartPoint> internal; ///< during the profile: x = 0 .. TotalMinutes
    std::vector<ChartPoint> afterEnd; ///< inside after the end, from the end's own point on
    std::vector<ChartPoint> process;  ///< during the profile; empty with "Plot Tracer Only"
    std::vector<ChartPoint> limit;    ///< two points: x = 0 and the last x shown
    double endX = 0.0;                ///< x of the profile's end, where the after-end begins
    std::string xTitle;               ///< "Elapsed Minutes" / "Elapsed Hours"
    std::string yTitle;               ///< "Temp. °C" / "Temp. °F"
};

/// Minutes the run itself stores after the profile's end (those the dwell warning reads).
inline constexpr int64_t kStoredAfterEnd = kTail - kLeadIn;

/// Minutes after the profile's end a chart shows: the stored 20, or on until the inside stops
/// rising when its peak comes later.
int64_t afterEndMinutes(const PeakAfterEnd& peak);

/// With `buckets` above 0 each curve is decimated (see decimate) while it is built, so a long
/// run never needs a full copy of its points.
ChartData buildChartData(const RunResult& run, const SetupState& setup, bool tracerOnly,
                         int buckets = 0);

/// A barrier's internal curve for the compare chart: from the profile's start through its
/// after-end stretch (see afterEndMinutes), x in minutes or hours, decimated when `buckets` > 0.
std::vector<ChartPoint> barrierCurve(const BarrierResult& barrier, bool hours, int buckets = 0);

/// Reduces a curve to at most two points (lowest and highest) per bucket of x, keeping the
/// first and last points and the order in x. `buckets` is about the plot's width in pixels.
std::vector<ChartPoint> decimate(const std::vector<ChartPoint>& points, int buckets);

/// A stretch of x over which a curve, drawn as a line through its points, sweeps from `low`
/// to `high`.
struct BandStretch {
    double x0 = 0.0;
    double x1 = 0.0;
    double low = 0.0;
    double high = 0.0;
    bool operator==(const BandStretch&) const = default;
};

/// A curve as the area it sweeps, a stretch per bucket of x (about a pixel column each): from
/// the first point of a bucket to the first point of the next, through everything between.
/// Neighbouring stretches of the same height are one, so a curve that swings between the same
/// two values at every turn is a single stretch whatever its length.
std::vector<BandStretch> bandOf(const std::vector<ChartPoint>& points, int buckets);

enum class Axis { X = 0, Y = 1 };

/// Major divisions for a fixed axis range high - low (single precision). No value when the
/// y rule's range / 10 does not fit a 16-bit integer.
std::optional<int> majorDivisions(Axis axis, float low, float high);

} // namespace kvh::core
