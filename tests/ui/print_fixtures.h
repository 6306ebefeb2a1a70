#pragma once
// Cases, result texts and chart data for the chart and printing tests, and a reader for the
// PDF files they produce (poppler's pdftotext/pdfinfo when installed).

#include "core/case.h"
#include "core/chart_data.h"
#include "core/report.h"

#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QString>

#include <cmath>
#include <string>

namespace kvh::test {

/// Model 7440, Tessel II, Air, °F and minutes; a start row, then ramps and dwells of varied
/// magnitudes (so alignment matters), and an end row: `dataRows` used rows in all.
inline core::Case makeCase(int dataRows) {
    core::Case c;
    c.setup.selectTracer(0); // (choosing the tracer type chooses a model)
    c.setup.selectEnviron(0);
    c.setup.selectModel(2);
    c.selectTempUnit(0);
    c.selectTimeUnit(0);
    core::ProfileTable& t = c.profile;
    while (t.rowCount() <= dataRows)
        t.appendRow();
    t.setCell(1, core::kColStep, std::string(core::kStartTempText));
    t.setCell(1, core::kColTemp, "70");
    t.setCell(1, core::kColTime, "0");
    for (int r = 2; r < dataRows; ++r) {
        const bool ramp = r % 2 == 0;
        const int temp = r == 2 ? 1000 : 100 + (r * 377) % 1100;
        t.setCell(r, core::kColStep, std::string(ramp ? core::kRampText : core::kDwellText));
        t.setCell(r, core::kColTemp, ramp ? std::to_string(temp) : t.cell(r - 1, core::kColTemp));
        t.setCell(r, core::kColTime, ramp ? "2.25" : std::to_string(5 + (r * 53) % 1440));
    }
    if (dataRows >= 2) {
        t.setCell(dataRows, core::kColStep, std::string(core::kEndTempText));
        t.setCell(dataRows, core::kColTemp, "5.5");
        t.setCell(dataRows, core::kColTime, "0");
    }
    return c;
}

inline core::ResultTexts makeResults() {
    return {"Maximum Internal Temperature = 131.4 \u00b0F\r\n"
            "Tracer Limit = 302.0 \u00b0F\r\nFinal Rate = 0.12 \u00b0F/min",
            "PASS"};
}

/// A smooth internal curve, a process curve and the limit line over `minutes`.
inline core::ChartData makeChartData(int minutes, bool tracerOnly = false) {
    core::ChartData d;
    for (int i = 1; i < minutes; ++i) {
        const double x = i;
        d.internal.push_back({x, 70.0 + 60.0 * (1.0 - std::exp(-x / 300.0))});
        if (!tracerOnly)
            d.process.push_back({x, 70.0 + 330.0 * std::abs(std::sin(x / 240.0))});
    }
    d.limit = {{0.0, 302.0}, {double(minutes - 1), 302.0}};
    d.xTitle = "Elapsed Minutes";
    d.yTitle = "Temp. \u00b0F";
    return d;
}

inline bool havePoppler() {
    return !QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty() &&
           !QStandardPaths::findExecutable(QStringLiteral("pdfinfo")).isEmpty();
}

inline QString runTool(const QString& tool, const QStringList& args) {
    QProcess process;
    process.start(tool, args);
    process.waitForFinished(60000);
    return QString::fromUtf8(process.readAllStandardOutput());
}

/// The PDF's text as a reader would select it.
inline QString pdfText(const QString& path) {
    return runTool(QStringLiteral("pdftotext"), {path, QStringLiteral("-")});
}

/// The PDF's words with their page (from 0) and boxes (points), in reading order.
struct PdfWord {
    int page;
    double xMin, yMin, xMax, yMax;
    QString text;
};
inline QList<PdfWord> pdfWords(const QString& path) {
    const QString html =
        runTool(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), path, QStringLiteral("-")});
    static const QRegularExpression word(QStringLiteral(
        R"re(<word xMin="([\d.]+)" yMin="([\d.]+)" xMax="([\d.]+)" yMax="([\d.]+)">([^<]*)</word>)re"));
    QList<PdfWord> words;
    const QStringList pages = html.split(QStringLiteral("<page "));
    for (qsizetype page = 1; page < pages.size(); ++page) {
        for (auto it = word.globalMatch(pages[page]); it.hasNext();) {
            const auto m = it.next();
            words.append({int(page - 1), m.captured(1).toDouble(), m.captured(2).toDouble(),
                          m.captured(3).toDouble(), m.captured(4).toDouble(), m.captured(5)});
        }
    }
    return words;
}

inline int pdfPageCount(const QString& path) {
    static const QRegularExpression pages(QStringLiteral(R"(Pages:\s+(\d+))"));
    const auto m = pages.match(runTool(QStringLiteral("pdfinfo"), {path}));
    return m.hasMatch() ? m.captured(1).toInt() : -1;
}

inline QByteArray fileBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace kvh::test
