#pragma once
// A curve that turns at nearly every pixel column, drawn as the area it sweeps.

#include "core/chart_data.h"

#include <QGraphicsItem>

QT_BEGIN_NAMESPACE
class QChart;
class QLineSeries;
QT_END_NAMESPACE

namespace kvh::ui {

/// The band of one curve of the results chart: in each pixel column, what the line through the
/// curve's points sweeps, filled in the curve's colour. Drawn as a line, such a curve is a
/// column of steep strokes per pixel covering the same area; as a band it is a rectangle per
/// column, or one for a whole stretch of equal height. The curve's series keeps its points and
/// its place in the legend; only its stroke is left out while the band stands in for it.
class DenseBand : public QGraphicsItem {
public:
    /// A band over `chart`'s plot area, in the axes and the colour of `series`.
    DenseBand(QChart* chart, QLineSeries* series);

    /// What to draw, in the series' values; an empty band draws nothing.
    void setBand(std::vector<core::BandStretch> band);
    bool isEmpty() const { return m_band.empty(); }
    /// The plot area has moved or changed its size.
    void plotAreaChanged();

    QRectF boundingRect() const override;
    void paint(QPainter* painter, const QStyleOptionGraphicsItem* option, QWidget* widget) override;

private:
    QChart* m_chart;
    QLineSeries* m_series;
    std::vector<core::BandStretch> m_band;
};

} // namespace kvh::ui
