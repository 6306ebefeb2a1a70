#include "ui/compare_chart.h"

#include "core/chart_data.h"
#include "core/comparison_csv.h"
#include "ui/qt_text.h"

#include <QtCharts/QChart>
#include <QtCharts/QLineSeries>
#include <QtCharts/QValueAxis>

namespace kvh::ui {

namespace {

const QString kAccessibleName = QStringLiteral("Internal temperature of every barrier");
const QString kMinutesTitle = QStringLiteral("Elapsed Minutes");
const QString kHoursTitle = QStringLiteral("Elapsed Hours");
const QString kLimitName = QStringLiteral("Limit");

/// A barrier's internal curve from the profile's start (elapsed 0) to 80 minutes after the
/// end, decimated for drawing.
/// One colour per model index, told apart also by readers with a red-green deficiency.
const QColor kModelColours[] = {QColor(0x00, 0x72, 0xb2), QColor(0xe6, 0x9f, 0x00),
                                QColor(0x00, 0x9e, 0x73), QColor(0xcc, 0x79, 0xa7),
                                QColor(0x56, 0xb4, 0xe9), QColor(0x55, 0x55, 0x55)};

QList<QPointF> curve(const core::BarrierResult& b, bool hours) {
    std::vector<core::ChartPoint> points;
    points.reserve(b.internal.size());
    const double scale = hours ? 60.0 : 1.0;
    for (size_t t = core::kLeadIn; t < b.internal.size(); ++t)
        points.push_back({static_cast<double>(t - core::kLeadIn) / scale, b.internal[t]});
    QList<QPointF> list;
    for (const core::ChartPoint& p : core::decimate(points, CompareChart::kBuckets))
        list.append(QPointF(p.x, p.y));
    return list;
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
    setMinimumSize(400, 260);
    chart()->legend()->setAlignment(Qt::AlignRight);
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
    for (const core::BarrierResult& b : comparison.barriers) {
        auto* series = new QLineSeries;
        series->setName(qs(core::modelCode(b.model)));
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
    setAccessibleDescription(names.join(QStringLiteral(", ")));
}

} // namespace kvh::ui
