#include "ui/chart/compare_chart.h"

#include "core/chart_data.h"
#include "core/comparison_csv.h"
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
const QString kMinutesTitle = QStringLiteral("Elapsed Minutes");
const QString kHoursTitle = QStringLiteral("Elapsed Hours");
const QString kLimitName = QStringLiteral("Limit");

const QString kAfterEndName = QStringLiteral("After the end");
/// Small enough that the page fits a 1280x800 screen at 150 % with the table above it.
const QSize kMinimumSize(300, 150);
/// One colour per model index, told apart also by readers with a red-green deficiency; the
/// last one lighter on a dark background.
const QColor kModelColours[] = {QColor(0x00, 0x72, 0xb2), QColor(0xe6, 0x9f, 0x00),
                                QColor(0x00, 0x9e, 0x73), QColor(0xcc, 0x79, 0xa7),
                                QColor(0x56, 0xb4, 0xe9), QColor(0x55, 0x55, 0x55)};
const QColor kDarkLastModel(0xbb, 0xbb, 0xbb);
const QColor kAfterEndShade(128, 128, 128, 40);

QList<QPointF> curve(const core::BarrierResult& b, bool hours) {
    QList<QPointF> list;
    for (const core::ChartPoint& p : core::barrierCurve(b, hours, CompareChart::kBuckets))
        list.append(QPointF(p.x, p.y));
    return list;
}

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

} // namespace

void CompareChart::plot(const core::Comparison& comparison, const core::SetupState& setup) {
    clear();
    const bool hours = setup.hours();
    QValueAxis* x = makeAxis(hours ? kHoursTitle : kMinutesTitle);
    QValueAxis* y = makeAxis(qs(core::tempCaption(!setup.fahrenheit())));
    chart()->addAxis(x, Qt::AlignBottom);
    chart()->addAxis(y, Qt::AlignLeft);
    double xMax = 1.0, yMin = 0.0, yMax = 0.0;
    QStringList names;
    // The shade behind the time after the end comes first, under the curves.
    auto* band = new QAreaSeries(new QLineSeries, new QLineSeries);
    band->setName(kAfterEndName);
    band->setPen(Qt::NoPen);
    chart()->addSeries(band);
    band->upperSeries()->setParent(band); // Qt leaves the edges to the caller
    band->lowerSeries()->setParent(band);
    band->attachAxis(x);
    band->attachAxis(y);
    for (const core::BarrierResult& b : comparison.barriers) {
        auto* series = new QLineSeries;
        series->setName(qs(core::modelCode(b.model)));
        series->setProperty("model", b.model);
        series->replace(curve(b, hours));
        QPen pen(kModelColours[b.model]);
        pen.setWidthF(2.0);
        if (!b.calibrated.empty()) // a calibrated barrier: its model's colour, dashed
            markCalibrated(*series, pen, b);
        series->setPen(pen);
        for (const QPointF& p : series->points()) {
            xMax = std::max(xMax, p.x());
            yMin = std::min(yMin, p.y());
            yMax = std::max(yMax, p.y());
        }
        chart()->addSeries(series);
        series->attachAxis(x);
        series->attachAxis(y);
        names << series->name();
    }
    const double limit = comparison.barriers.empty() ? 0.0 : comparison.barriers.front().limit;
    auto* limitLine = new QLineSeries;
    limitLine->setName(kLimitName);
    limitLine->append({QPointF(0, limit), QPointF(xMax, limit)});
    QPen pen(Qt::red);
    pen.setStyle(Qt::DashLine);
    limitLine->setPen(pen);
    chart()->addSeries(limitLine);
    limitLine->attachAxis(x);
    limitLine->attachAxis(y);
    x->setRange(0, xMax);
    x->applyNiceNumbers();
    y->setRange(yMin, std::max(yMax, limit) * 1.05);
    y->applyNiceNumbers();
    const double end = static_cast<double>(comparison.totalMinutes) / (hours ? 60.0 : 1.0);
    band->upperSeries()->replace({QPointF(end, y->max()), QPointF(xMax, y->max())});
    band->lowerSeries()->replace({QPointF(end, y->min()), QPointF(xMax, y->min())});
    applyPalette();
    setAccessibleDescription(names.join(QStringLiteral(", ")));
}

} // namespace kvh::ui
