#include "measured.h"

#include "numbers.h"

#include <cmath>

namespace kvh::core {

namespace {

std::string degrees(double value, bool celsius) {
    return formatPattern(value, Pattern::OneDec) + (celsius ? " \xC2\xB0"
                                                              "C"
                                                            : " \xC2\xB0"
                                                              "F");
}

/// Sums of the differences, kept while the overlap is walked.
struct Figures {
    double sumSquares = 0.0;
    double largestSize = -1.0;
};

void account(MeasuredComparison& c, Figures& f, int64_t m, float measured, float predicted) {
    c.measured.push_back(measured);
    c.predicted.push_back(predicted);
    if (c.measured.size() == 1 || measured > c.measuredMax) {
        c.measuredMax = measured;
        c.measuredMaxMinute = m;
    }
    if (c.predicted.size() == 1 || predicted > c.predictedMax)
        c.predictedMax = predicted;
    const double diff = static_cast<double>(measured) - static_cast<double>(predicted);
    f.sumSquares += diff * diff;
    if (std::fabs(diff) > f.largestSize) {
        f.largestSize = std::fabs(diff);
        c.largestDifference = static_cast<float>(diff);
        c.largestDifferenceMinute = m;
    }
}

} // namespace

MeasuredTrace measuredFromRecording(const Recording& recording, std::size_t column, TempUnit unit,
                                    double offset) {
    const RecordingColumn& c = recording.columns.at(column);
    MeasuredTrace trace{recording.minutes, c.values, offset};
    for (double& v : trace.values)
        v = convertTemp(v, c.unit, unit);
    return trace;
}

std::optional<MeasuredComparison> compareMeasured(const RunResult& run,
                                                  const MeasuredTrace& trace) {
    MeasuredComparison c;
    c.limit = run.limit;
    Figures f;
    const int64_t lastIndex =
        std::min<int64_t>(run.totalMinutes + kTail, static_cast<int64_t>(run.internal.size()) - 1);
    for (int64_t m = 0; kLeadIn + m <= lastIndex; ++m) {
        const double t = static_cast<double>(m) + trace.offset;
        const double value = sampleAt(trace.minutes, trace.values, t);
        if (std::isnan(value)) {
            if (!c.measured.empty() || t > (trace.minutes.empty() ? 0.0 : trace.minutes.back()))
                break; // past the recording's end
            continue;
        }
        if (c.measured.empty())
            c.firstMinute = m;
        account(c, f, m, static_cast<float>(value), run.internal[static_cast<size_t>(kLeadIn + m)]);
    }
    if (c.measured.empty())
        return std::nullopt;
    c.rms = std::sqrt(f.sumSquares / static_cast<double>(c.measured.size()));
    c.measuredBelowLimit = c.measuredMax < c.limit;
    return c;
}

std::vector<std::string> measuredLines(const MeasuredComparison& c, bool celsius) {
    return {
        "Measured maximum: " + degrees(c.measuredMax, celsius) + " at minute " +
            std::to_string(c.measuredMaxMinute),
        "Predicted maximum over the same minutes: " + degrees(c.predictedMax, celsius),
        "Root-mean-square difference: " + degrees(c.rms, celsius),
        "Largest difference (measured - predicted): " + degrees(c.largestDifference, celsius) +
            " at minute " + std::to_string(c.largestDifferenceMinute),
        std::string(c.measuredBelowLimit ? "Measured maximum stayed below the limit of "
                                         : "Measured maximum did not stay below the limit of ") +
            degrees(c.limit, celsius),
    };
}

std::string measuredCsv(const MeasuredComparison& c) {
    std::string text = "minutes,measured,predicted\n";
    for (size_t i = 0; i < c.measured.size(); ++i)
        text += std::to_string(c.firstMinute + static_cast<int64_t>(i)) + ',' +
                roundTripText(c.measured[i]) + ',' + roundTripText(c.predicted[i]) + '\n';
    return text;
}

} // namespace kvh::core
