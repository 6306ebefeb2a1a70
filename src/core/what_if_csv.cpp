#include "what_if_csv.h"

#include "numbers.h"

#include <charconv>

namespace kvh::core {

namespace {

std::string figuresFields(const RunFigures& f) {
    return roundTripText(f.maxInternal) + ',' + roundTripText(f.maxDwell) +
           (f.pass ? ",PASS" : ",FAIL") + (f.warning ? ",yes" : ",no");
}

std::string doubleText(double value) {
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, result.ptr);
}

} // namespace

std::string variationsCsv(const Variations& variations) {
    std::string text(kVariationsHeader);
    text += '\n';
    for (const VariationResult& row : variations.rows) {
        text += variationName(row.variation);
        text += row.error ? std::string(",,,,") : ',' + figuresFields(row.figures);
        text += '\n';
    }
    return text;
}

std::string backToBackCsv(const BackToBack& backToBack) {
    std::string text(kBackToBackHeader);
    text += '\n';
    for (size_t j = 0; j < backToBack.runs.size(); ++j)
        text += std::to_string(j + 1) + ',' + figuresFields(backToBack.runs[j]) + '\n';
    text += "shortest_safe_gap,";
    text += backToBack.shortestSafeGap ? std::to_string(*backToBack.shortestSafeGap) : "none";
    return text + '\n';
}

std::string uncertaintyCsv(const Uncertainty& u) {
    std::string text(kUncertaintyHeader);
    text += '\n';
    text += roundTripText(u.p5) + ',' + roundTripText(u.p50) + ',' + roundTripText(u.p95) + ',' +
            doubleText(u.shareAtLimit) + ',' + doubleText(u.standardError) + '\n';
    return text;
}

} // namespace kvh::core
