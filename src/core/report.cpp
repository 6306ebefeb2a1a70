#include "report.h"

#include "numbers.h"

#include <algorithm>

namespace kvh::core {

namespace {

constexpr const char* kCrLf = "\r\n";
constexpr std::string_view kLongestStep = "Dwell at Temp ";
/// Padding never goes on forever, even with a width function that ignores blanks.
constexpr int kMaxPadding = 200;

bool usedRow(const ProfileTable& t, int r) {
    return !t.cell(r, kColStep).empty();
}

/// Title, the three setup lines and the empty line after them.
std::string reportHead(const SetupState& s) {
    std::string out;
    out += std::string(kReportTitle) + kCrLf + kCrLf;
    out += "Model: " + std::string(kModelCaptions.at(static_cast<size_t>(s.modelIndex()))) + kCrLf;
    out += "Tracer Type: " + std::string(kTracerCaptions.at(static_cast<size_t>(s.tracerIndex()))) +
           kCrLf;
    out += "Environment: " + s.environTag() + kCrLf + kCrLf;
    return out;
}

std::string headerLine(const ProfileTable& t) {
    return t.cell(0, 0) + "\t" + t.cell(0, 1) + "\t" + t.cell(0, 2) + "\t" + t.cell(0, 3) + kCrLf;
}

std::string reportTail(const ResultTexts& results) {
    return std::string(kCrLf) + results.summary + kCrLf +
           "Final Determination: " + results.verdict + kCrLf + kCrLf;
}

std::string padFront(std::string text, double target, const TextWidth& width) {
    for (int n = 0; n < kMaxPadding && width(text) < target; ++n)
        text.insert(text.begin(), ' ');
    return text;
}

std::string padBack(std::string text, double target, const TextWidth& width) {
    for (int n = 0; n < kMaxPadding && width(text) < target; ++n)
        text += ' ';
    return text;
}

} // namespace

std::string buildReportText(const Case& c, const ResultTexts& results) {
    const ProfileTable& t = c.profile;
    std::string out = reportHead(c.setup) + headerLine(t) + kCrLf;
    for (int r = 1; r < t.rowCount(); ++r) {
        if (!usedRow(t, r))
            continue;
        out += t.cell(r, 0) + "\t" + t.cell(r, 1) + "\t" + std::string(trimBlanks(t.cell(r, 2))) +
               "\t" + std::string(trimBlanks(t.cell(r, 3))) + kCrLf;
    }
    return out + reportTail(results);
}

std::string buildAlignedReportText(const Case& c, const ResultTexts& results,
                                   const TextWidth& width) {
    const ProfileTable& t = c.profile;
    // The numbers as printed: one decimal, in the text only.
    struct Line {
        int row;
        std::string temp;
        std::string time;
    };
    std::vector<Line> lines;
    double columnWidth = 0;
    for (int r = 1; r < t.rowCount(); ++r) {
        if (!usedRow(t, r))
            continue;
        Line line{r, formatPattern(numericValue(t.cell(r, 2)), Pattern::OneDec),
                  formatPattern(numericValue(t.cell(r, 3)), Pattern::OneDec)};
        columnWidth = std::max(columnWidth, width("  " + line.temp));
        columnWidth = std::max(columnWidth, width("  " + line.time));
        lines.push_back(std::move(line));
    }
    const double stepWidth = width(kLongestStep);
    std::string out = reportHead(c.setup) + headerLine(t) + kCrLf;
    for (const Line& line : lines) {
        const std::string step(trimBlanks(t.cell(line.row, 1)));
        out += t.cell(line.row, 0) + "\t" + padBack(step, stepWidth, width) + "\t" +
               padFront(line.temp, columnWidth, width) + "\t" +
               padFront(line.time, columnWidth, width) + kCrLf;
    }
    return out + reportTail(results);
}

} // namespace kvh::core
