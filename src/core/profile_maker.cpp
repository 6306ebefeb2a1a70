#include "profile_maker.h"

#include "dew_file.h"
#include "numbers.h"

#include <cmath>
#include <limits>

namespace kvh::core {

namespace {

/// The temperature written into a made row: two decimals, half to even.
double rowTemp(double value) {
    return roundHalfEven(value * 100.0) / 100.0;
}

/// The last minute from `i` up to which the trace stays within `tol` of `level`.
size_t dwellReach(const std::vector<double>& r, size_t i, size_t last, double level, double tol) {
    size_t d = i;
    while (d < last && std::fabs(r[d + 1] - level) <= tol)
        ++d;
    return d;
}

/// The farthest minute j a straight line from (i, level) to (j, rowTemp(r[j])) can reach while
/// staying within `tol` of every minute between: the slopes that keep each minute within the
/// tolerance narrow as j grows, and the walk stops once none is left.
size_t rampReach(const std::vector<double>& r, size_t i, size_t last, double level, double tol) {
    double lo = -std::numeric_limits<double>::infinity();
    double hi = std::numeric_limits<double>::infinity();
    size_t best = i + 1;
    for (size_t j = i + 1; j <= last; ++j) {
        const auto span = static_cast<double>(j - i);
        const double end = rowTemp(r[j]);
        const double slope = (end - level) / span;
        if (slope >= lo && slope <= hi && std::fabs(end - r[j]) <= tol)
            best = j;
        lo = std::max(lo, (r[j] - tol - level) / span);
        hi = std::min(hi, (r[j] + tol - level) / span);
        if (lo > hi)
            break;
    }
    return best;
}

std::string temperatureText(double value) {
    return plainNumberText(value);
}

std::string timeText(int64_t minutes, bool inMinutes) {
    const auto m = static_cast<double>(minutes);
    return plainNumberText(inMinutes ? m : m / 60.0);
}

} // namespace

std::variant<std::vector<MadeRow>, std::string> makeProfileRows(const std::vector<double>& trace,
                                                                double tolerance, size_t maxRows) {
    if (!(tolerance > 0.0) || !std::isfinite(tolerance))
        return std::string("The tolerance must be a number above 0.");
    size_t first = 0;
    while (first < trace.size() && std::isnan(trace[first]))
        ++first;
    size_t last = trace.size();
    while (last > first && std::isnan(trace[last - 1]))
        --last;
    if (first == last)
        return std::string("The column holds no temperature to make a profile from.");
    const std::vector<double> r(trace.begin() + static_cast<std::ptrdiff_t>(first),
                                trace.begin() + static_cast<std::ptrdiff_t>(last));
    const size_t end = r.size() - 1;
    std::vector<MadeRow> rows{{StepCode::Start, rowTemp(r[0]), 1}};
    double level = rows[0].temp;
    for (size_t i = 0; i < end;) {
        if (rows.size() >= maxRows)
            return "The recording would need more than " + std::to_string(maxRows) +
                   " profile rows: choose a larger tolerance.";
        const size_t dwell = dwellReach(r, i, end, level, tolerance);
        const size_t ramp = rampReach(r, i, end, level, tolerance);
        if (dwell > i && dwell >= ramp) {
            rows.push_back({StepCode::Dwell, level, static_cast<int64_t>(dwell - i)});
            i = dwell;
        } else {
            level = rowTemp(r[ramp]);
            rows.push_back({StepCode::Ramp, level, static_cast<int64_t>(ramp - i)});
            i = ramp;
        }
    }
    return rows;
}

std::vector<MadeRow> exactRows(const std::vector<double>& trace) {
    std::vector<MadeRow> rows;
    for (const double v : trace) {
        if (std::isnan(v))
            continue;
        if (rows.empty())
            rows.push_back({StepCode::Start, v, 1});
        else
            rows.push_back({StepCode::Ramp, v, 1});
    }
    return rows;
}

Case caseWithRows(const Case& c, const std::vector<MadeRow>& rows) {
    DewParse parsed;
    parsed.items.reserve(rows.size());
    const bool inMinutes = c.setup.minutes();
    for (const MadeRow& row : rows) {
        const std::string_view step = row.code == StepCode::Start   ? kStartTempFileText
                                      : row.code == StepCode::Dwell ? kDwellText
                                                                    : kRampText;
        parsed.items.emplace_back(DewRow{std::string(step), temperatureText(row.temp),
                                         timeText(row.minutes, inMinutes), true});
    }
    Case out = c;
    applyDew(out, parsed);
    // Open starts from the setup of start-up; the made rows keep the case's own setup and units.
    out.setup = c.setup;
    out.profile.setCell(0, kColTemp, out.setup.tempHeader());
    out.profile.setCell(0, kColTime, out.setup.timeHeader());
    return out;
}

} // namespace kvh::core
