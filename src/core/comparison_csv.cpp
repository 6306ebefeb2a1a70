#include "comparison_csv.h"

#include "numbers.h"
#include "setup.h"

namespace kvh::core {

namespace {

/// The case's display unit ("C" or "F") and the tracer's limit in it, the last two fields.
std::string unitFields(const Comparison& comparison, const BarrierResult& b) {
    return std::string(comparison.fahrenheit ? ",F," : ",C,") +
           formatPattern(b.limit, Pattern::Whole);
}

/// "7440", or for a calibrated barrier "7440 (7440 serial 1234)", quoted where CSV needs it.
std::string barrierName(const BarrierResult& b) {
    const std::string code(modelCode(b.model));
    return b.calibrated.empty() ? code : csvField(code + " (" + b.calibrated + ")");
}

std::string barrierLine(const Comparison& comparison, const BarrierResult& b) {
    std::string line = barrierName(b);
    line += ',' + roundTripText(b.maxInternal) + ',' + roundTripText(b.maxDwell);
    line += b.pass ? ",PASS" : ",FAIL";
    line += b.warning ? ",yes," : ",no,";
    line += safeDwellText(b.safeDwell) + ',' + roundTripText(b.peakAfterEnd) + ',' +
            std::to_string(b.minutesToPeak) + unitFields(comparison, b) + '\n';
    return line;
}

} // namespace

std::string_view modelCode(int model) {
    return kModelCaptions[static_cast<size_t>(model)].substr(0, 4);
}

std::string safeDwellText(const SafeDwell& dwell) {
    switch (dwell.kind) {
    case SafeDwell::Kind::NoDwellRow:
        return {};
    case SafeDwell::Kind::None:
        return "none";
    case SafeDwell::Kind::Minutes:
    case SafeDwell::Kind::Capped:
        break;
    }
    return std::to_string(dwell.minutes);
}

std::string csvField(std::string_view text) {
    if (text.find_first_of(",\"\r\n") == std::string_view::npos)
        return std::string(text);
    std::string quoted = "\"";
    for (const char ch : text) {
        if (ch == '"')
            quoted += '"';
        quoted += ch;
    }
    return quoted + '"';
}

std::string comparisonCsv(const Comparison& comparison) {
    std::string text(kComparisonHeader);
    text += '\n';
    for (const BarrierResult& b : comparison.barriers)
        text += barrierLine(comparison, b);
    return text;
}

std::string comparisonCsvRows(const Comparison& comparison, std::string_view file) {
    const std::string field = csvField(file) + ',';
    std::string text;
    for (const BarrierResult& b : comparison.barriers)
        text += field + barrierLine(comparison, b);
    return text;
}

std::string comparisonCsvFileHeader() {
    return std::string(kFileColumn) + ',' + std::string(kComparisonHeader) + '\n';
}

std::string seriesCsv(const RunResult& run) {
    std::string text(kSeriesHeader);
    text += '\n';
    const auto last = static_cast<size_t>(run.totalMinutes + kTail);
    for (size_t i = 0; i <= last; ++i)
        text += std::to_string(i) + ',' + roundTripText(run.process[i]) + ',' +
                roundTripText(run.intermediate[i]) + ',' + roundTripText(run.internal[i]) + '\n';
    return text;
}

} // namespace kvh::core
