#pragma once
// Pieces both charts build from: the core's points as Qt's, a named line, the shaded band
// behind the time after the profile's end, and the value bounds of a few curves.

#include "core/chart_data.h"

#include <QList>
#include <QPointF>
#include <QString>

#include <limits>
#include <vector>

QT_BEGIN_NAMESPACE
class QAbstractSeries;
class QAreaSeries;
class QChart;
class QLineSeries;
class QObject;
class QPen;
class QValueAxis;
QT_END_NAMESPACE

namespace kvh::ui {

/// The legend's name of the band behind the time after the profile's end.
extern const QString kAfterEndName;

QList<QPointF> toQt(const std::vector<core::ChartPoint>& points);

/// A line series named `name`, drawn with `pen`.
QLineSeries* makeSeries(const QString& name, const QPen& pen);

/// The band behind the time after the profile's end, without an outline, owning its two edges
/// (Qt leaves them to the caller); `owner` keeps it until a chart takes it over.
QAreaSeries* makeAfterEndBand(QObject* owner);

/// The band over x = `x0` .. `x1`, the whole height of `y`'s range; without `x0` none.
void spanBand(QAreaSeries& band, double x0, double x1, const QValueAxis& y);
void clearBand(QAreaSeries& band);

/// Adds `series` to `chart` on the axes `x` and `y`.
void addOnAxes(QChart& chart, QAbstractSeries* series, QValueAxis* x, QValueAxis* y);

/// Lowest and highest x and y over a few series; points off the number line are passed over.
struct Bounds {
    double xLow = std::numeric_limits<double>::infinity();
    double xHigh = -std::numeric_limits<double>::infinity();
    double yLow = std::numeric_limits<double>::infinity();
    double yHigh = -std::numeric_limits<double>::infinity();

    void add(const QList<QPointF>& points);
};

} // namespace kvh::ui
