#include "ui/chart/chart_parts.h"

#include <QtCharts/QAreaSeries>
#include <QtCharts/QChart>
#include <QtCharts/QLineSeries>
#include <QtCharts/QValueAxis>

#include <algorithm>
#include <cmath>

namespace kvh::ui {

const QString kAfterEndName = QStringLiteral("After the end");

QList<QPointF> toQt(const std::vector<core::ChartPoint>& points) {
    QList<QPointF> out;
    out.reserve(static_cast<qsizetype>(points.size()));
    for (const core::ChartPoint& p : points)
        out.append(QPointF(p.x, p.y));
    return out;
}

QLineSeries* makeSeries(const QString& name, const QPen& pen) {
    auto* series = new QLineSeries;
    series->setName(name);
    series->setPen(pen);
    return series;
}

QAreaSeries* makeAfterEndBand(QObject* owner) {
    auto* band = new QAreaSeries(new QLineSeries, new QLineSeries);
    band->setParent(owner);
    band->upperSeries()->setParent(band);
    band->lowerSeries()->setParent(band);
    band->setName(kAfterEndName);
    band->setPen(Qt::NoPen);
    return band;
}

void spanBand(QAreaSeries& band, double x0, double x1, const QValueAxis& y) {
    band.upperSeries()->replace({QPointF(x0, y.max()), QPointF(x1, y.max())});
    band.lowerSeries()->replace({QPointF(x0, y.min()), QPointF(x1, y.min())});
}

void clearBand(QAreaSeries& band) {
    band.upperSeries()->replace(QList<QPointF>());
    band.lowerSeries()->replace(QList<QPointF>());
}

void addOnAxes(QChart& chart, QAbstractSeries* series, QValueAxis* x, QValueAxis* y) {
    chart.addSeries(series);
    series->attachAxis(x);
    series->attachAxis(y);
}

void Bounds::add(const QList<QPointF>& points) {
    for (const QPointF& p : points) {
        if (!std::isfinite(p.x()) || !std::isfinite(p.y()))
            continue;
        xLow = std::min(xLow, p.x());
        xHigh = std::max(xHigh, p.x());
        yLow = std::min(yLow, p.y());
        yHigh = std::max(yHigh, p.y());
    }
}

} // namespace kvh::ui
