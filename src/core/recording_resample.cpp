// The recording on the model's minute grid, its gaps, and what the reader found, in words.

#include "numbers.h"
#include "recording.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace kvh::core {

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
/// Gaps per column and skipped lines named one by one; the rest are counted.
constexpr size_t kListedAtMost = 100;

/// A number of minutes or degrees as the summary shows it: up to two decimals.
std::string shortNumber(double value) {
    return plainNumberText(roundHalfEven(value * 100.0) / 100.0);
}

std::string timeFormText(const Recording& r) {
    switch (r.timeForm) {
    case TimeForm::Seconds:
        return "elapsed seconds";
    case TimeForm::Minutes:
        return r.timeUnitAssumed ? "elapsed minutes (assumed: the header names no unit)"
                                 : "elapsed minutes";
    case TimeForm::Hours:
        return "elapsed hours";
    case TimeForm::Clock:
        return "clock time";
    case TimeForm::DateTime:
        break;
    }
    if (r.dateOrder == DateOrder::DayMonth)
        return "date and time (day before month)";
    if (r.dateOrder == DateOrder::MonthDay)
        return "date and time (month before day)";
    return "date and time";
}

std::string separatorText(char separator) {
    switch (separator) {
    case ';':
        return "semicolon";
    case '\t':
        return "tab";
    case ' ':
        return "blanks";
    default:
        return "comma";
    }
}

std::string unitText(const RecordingColumn& c) {
    std::string text = c.unit == TempUnit::Celsius ? "\xC2\xB0"
                                                     "C"
                                                   : "\xC2\xB0"
                                                     "F";
    switch (c.unitSource) {
    case UnitSource::Header:
        return text + " (from the header)";
    case UnitSource::Option:
        return text + " (as chosen)";
    case UnitSource::CaseUnit:
        break;
    }
    return text + " (the case's unit: the header names none)";
}

} // namespace

double convertTemp(double value, TempUnit from, TempUnit to) {
    if (from == to)
        return value;
    return to == TempUnit::Celsius ? (value - 32.0) * 5.0 / 9.0 : value * 9.0 / 5.0 + 32.0;
}

double Recording::typicalInterval() const {
    if (minutes.size() < 2)
        return 0.0;
    std::vector<double> steps(minutes.size() - 1);
    for (size_t i = 1; i < minutes.size(); ++i)
        steps[i - 1] = minutes[i] - minutes[i - 1];
    const auto middle = steps.begin() + static_cast<std::ptrdiff_t>(steps.size() / 2);
    std::nth_element(steps.begin(), middle, steps.end());
    return *middle;
}

std::vector<double> resampleToMinutes(const std::vector<double>& minutes,
                                      const std::vector<double>& values) {
    if (minutes.empty())
        return {};
    const auto last = static_cast<size_t>(std::floor(minutes.back()));
    std::vector<double> out(last + 1, kNaN);
    size_t prev = minutes.size(); // last valid sample at or before the minute
    size_t i = 0;
    for (size_t m = 0; m <= last; ++m) {
        const auto t = static_cast<double>(m);
        while (i < minutes.size() && minutes[i] <= t) {
            if (!std::isnan(values[i]))
                prev = i;
            ++i;
        }
        if (prev == minutes.size())
            continue;
        if (minutes[prev] == t) {
            out[m] = values[prev];
            continue;
        }
        size_t next = i;
        while (next < minutes.size() && std::isnan(values[next]))
            ++next;
        if (next == minutes.size())
            continue;
        const double f = (t - minutes[prev]) / (minutes[next] - minutes[prev]);
        out[m] = values[prev] + (values[next] - values[prev]) * f;
    }
    return out;
}

std::vector<double> resampleToMinutes(const Recording& recording, std::size_t column,
                                      TempUnit unit) {
    const RecordingColumn& c = recording.columns.at(column);
    std::vector<double> out = resampleToMinutes(recording.minutes, c.values);
    for (double& v : out)
        v = convertTemp(v, c.unit, unit);
    return out;
}

double sampleAt(const std::vector<double>& minutes, const std::vector<double>& values, double t) {
    const auto after = std::upper_bound(minutes.begin(), minutes.end(), t);
    auto i = static_cast<size_t>(after - minutes.begin());
    size_t prev = i;
    while (prev > 0 && std::isnan(values[prev - 1]))
        --prev;
    if (prev == 0)
        return kNaN;
    --prev;
    if (minutes[prev] == t)
        return values[prev];
    while (i < minutes.size() && std::isnan(values[i]))
        ++i;
    if (i == minutes.size())
        return kNaN;
    return values[prev] +
           (values[i] - values[prev]) * ((t - minutes[prev]) / (minutes[i] - minutes[prev]));
}

std::vector<TraceGap> findGaps(const std::vector<double>& minutes,
                               const std::vector<double>& values) {
    std::vector<TraceGap> gaps;
    bool seen = false;
    double last = 0.0;
    for (size_t i = 0; i < minutes.size(); ++i) {
        if (std::isnan(values[i]))
            continue;
        if (seen && minutes[i] - last > kLongGapMinutes)
            gaps.push_back({last, minutes[i]});
        seen = true;
        last = minutes[i];
    }
    return gaps;
}

std::vector<std::string> describeRecording(const Recording& r) {
    std::vector<std::string> lines;
    lines.push_back("Encoding: " + r.encoding);
    lines.push_back("Separator: " + separatorText(r.separator));
    lines.push_back(std::string("Decimal mark: ") + (r.decimalMark == ',' ? "comma" : "point"));
    lines.push_back("Time: field " + std::to_string(r.timeColumn + 1) +
                    (r.timeName.empty() ? "" : " \"" + r.timeName + "\"") + ", " + timeFormText(r));
    for (size_t k = 0; k < r.columns.size(); ++k) {
        const RecordingColumn& c = r.columns[k];
        std::string line =
            "Column " + std::to_string(k + 1) + " \"" + c.name + "\": " + unitText(c);
        if (c.missing > 0)
            line += ", " + std::to_string(c.missing) + " missing";
        lines.push_back(line);
        const std::vector<TraceGap> gaps = findGaps(r.minutes, c.values);
        for (size_t g = 0; g < std::min(gaps.size(), kListedAtMost); ++g) {
            const TraceGap& gap = gaps[g];
            lines.push_back("Column " + std::to_string(k + 1) + ": a gap of " +
                            shortNumber(gap.to - gap.from) + " minutes from minute " +
                            shortNumber(gap.from) + " to " + shortNumber(gap.to) +
                            " is interpolated across");
        }
        if (gaps.size() > kListedAtMost)
            lines.push_back("Column " + std::to_string(k + 1) + ": " +
                            std::to_string(gaps.size() - kListedAtMost) + " more gaps");
    }
    lines.push_back("Samples: " + std::to_string(r.samples()) + ", from minute 0 to " +
                    shortNumber(r.minutes.empty() ? 0.0 : r.minutes.back()) +
                    ", typical interval " + shortNumber(r.typicalInterval()) + " minutes");
    for (size_t i = 0; i < std::min(r.skipped.size(), kListedAtMost); ++i)
        lines.push_back("Line " + std::to_string(r.skipped[i].line) +
                        " skipped: " + r.skipped[i].reason);
    if (r.skipped.size() > kListedAtMost)
        lines.push_back(std::to_string(r.skipped.size() - kListedAtMost) + " more lines skipped");
    return lines;
}

} // namespace kvh::core
