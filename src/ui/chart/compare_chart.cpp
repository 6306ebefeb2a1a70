#include "ui/chart/compare_chart.h"

#include "core/chart_data.h"
#include "core/comparison_csv.h"
#include "ui/chart/chart_parts.h"
#include "ui/chart/results_chart.h"
#include "ui/qt_text.h"

#include <QEvent>
#include <QtCharts/QAreaSeries>
#include <QtCharts/QChart>
#include <QtCharts/QLegend>
#include <QtCharts/QLineSeries>
#include <QtCharts/QValueAxis>

namespace kvh::ui {

namespace {

const QString kAccessibleName = QStringLiteral("Internal temperature of every barrier");
/// Small enough that the page fits a 1280x800 screen at 150 % with the table above it.
const QSize kMinimumSize(300, 150);
/// One colour per model index, told apart also by readers with a red-green deficiency; the
/// last one lighter on a dark background.
const QColor kModelColours[] = {QColor(0x00, 0x72, 0xb2), QColor(0xe6, 0x9f, 0x00),
                                QColor(0x00, 0x9e, 0x73), QColor(0xcc, 0x79, 0xa7),
                                QColor(0x56, 0xb4, 0xe9), QColor(0x55, 0x55, 0x55)};
const QColor kDarkLastModel(0xbb, 0xbb, 0xbb);
const QColor kAfterEndShade(128, 128, 128, 40);

/// The light colours: those of a fresh chart.
ChartColours lightColours() {
    QChart fresh;
    QValueAxis axis;
    fresh.addAxis(&axis, Qt::AlignBottom);
    ChartColours light{fresh.backgroundBrush(),
                       axis.labelsColor(),
                       axis.titleBrush(),
                       fresh.legend()->labelColor(),
                       axis.gridLineColor(),
                       axis.linePenColor(),
                       QColor(),
                       QColor(),
                       QColor(Qt::red),
                       kAfterEndShade};
    fresh.removeAxis(&axis);
    return light;
}

QValueAxis* makeAxis(const QString& title) {
    auto* axis = new QValueAxis;
    axis->setTitleText(title);
    return axis;
}

} // namespace

CompareChart::CompareChart(QWidget* parent) : QChartView(new QChart, parent) {
    setObjectName(QStringLiteral("chtCompare"));
    setAccessibleName(kAccessibleName);
    setRenderHint(QPainter::Antialiasing);
    setMinimumSize(kMinimumSize);
    chart()->legend()->setAlignment(Qt::AlignRight);
    applyPalette();
}

void CompareChart::changeEvent(QEvent* event) {
    QChartView::changeEvent(event);
    if (event->type() == QEvent::PaletteChange)
        applyPalette();
}

void CompareChart::applyPalette() {
    static const ChartColours light = lightColours();
    const ChartColours colours = ChartColours::forPalette(palette(), light);
    chart()->setBackgroundBrush(colours.background);
    chart()->legend()->setLabelColor(colours.legend);
    for (QAbstractAxis* axis : chart()->axes()) {
        axis->setLabelsColor(colours.labels);
        axis->setTitleBrush(colours.titles);
        axis->setGridLineColor(colours.grid);
        axis->setLinePenColor(colours.axisLine);
    }
    const bool dark = colours.background != light.background;
    for (QAbstractSeries* series : chart()->series()) {
        auto* line = qobject_cast<QLineSeries*>(series);
        const int model = series->property("model").toInt();
        if (line != nullptr && model == 5) {
            QPen pen = line->pen();
            pen.setColor(dark ? kDarkLastModel : kModelColours[5]);
            line->setPen(pen);
        }
        if (auto* band = qobject_cast<QAreaSeries*>(series))
            band->setBrush(colours.afterEndBand);
    }
}

void CompareChart::clear() {
    chart()->removeAllSeries();
    for (QAbstractAxis* axis : chart()->axes())
        chart()->removeAxis(axis);
    setAccessibleDescription(QString());
}

namespace {

/// The curve of a calibrated barrier: named after it, dashed in its model's colour.
void markCalibrated(QLineSeries& series, QPen& pen, const core::BarrierResult& b) {
    series.setName(qs(core::modelCode(b.model)) + QStringLiteral(" (") + qs(b.calibrated) +
                   QLatin1Char(')'));
    pen.setStyle(Qt::DashLine);
}

/// One barrier's internal curve, named by its code, in its model's colour.
QLineSeries* barrierSeries(const core::BarrierResult& b, bool hours) {
    QPen pen(kModelColours[b.model]);
    pen.setWidthF(2.0);
    auto* series = makeSeries(qs(core::modelCode(b.model)), pen);
    series->setProperty("model", b.model);
    series->replace(toQt(core::barrierCurve(b, hours, CompareChart::kBuckets)));
    if (!b.calibrated.empty()) { // a calibrated barrier: its model's colour, dashed
        markCalibrated(*series, pen, b);
        series->setPen(pen);
    }
    return series;
}

/// Not the results chart's rule (tight round steps, which its axis editor shows as
/// divisions): here every curve starts at 0 and the limit must show above them all, so the
/// range runs from 0 to 5 % over the highest curve or the limit, in Qt's nice numbers.
void setRanges(QValueAxis& x, QValueAxis& y, const Bounds& curves, double xMax, double limit) {
    x.setRange(0, xMax);
    x.applyNiceNumbers();
    y.setRange(std::min(0.0, curves.yLow), std::max({0.0, curves.yHigh, limit}) * 1.05);
    y.applyNiceNumbers();
}

} // namespace

void CompareChart::plot(const core::Comparison& comparison, const core::SetupState& setup) {
    clear();
    const bool hours = setup.hours();
    QValueAxis* x = makeAxis(qs(core::timeAxisTitle(hours)));
    QValueAxis* y = makeAxis(qs(core::tempCaption(!setup.fahrenheit())));
    chart()->addAxis(x, Qt::AlignBottom);
    chart()->addAxis(y, Qt::AlignLeft);
    // The shade behind the time after the end comes first, under the curves.
    QAreaSeries* band = makeAfterEndBand(nullptr);
    addOnAxes(*chart(), band, x, y);
    Bounds curves;
    QStringList names;
    for (const core::BarrierResult& b : comparison.barriers) {
        QLineSeries* series = barrierSeries(b, hours);
        curves.add(series->points());
        addOnAxes(*chart(), series, x, y);
        names << series->name();
    }
    const double xMax = std::max(1.0, curves.xHigh);
    const double limit = comparison.barriers.empty() ? 0.0 : comparison.barriers.front().limit;
    QLineSeries* limitLine = makeSeries(qs(core::kLimitName), QPen(Qt::red, 1.0, Qt::DashLine));
    limitLine->append({QPointF(0, limit), QPointF(xMax, limit)});
    addOnAxes(*chart(), limitLine, x, y);
    setRanges(*x, *y, curves, xMax, limit);
    const double end = static_cast<double>(comparison.totalMinutes) / (hours ? 60.0 : 1.0);
    spanBand(*band, end, xMax, *y);
    applyPalette();
    setAccessibleDescription(names.join(QStringLiteral(", ")));
}

} // namespace kvh::ui
