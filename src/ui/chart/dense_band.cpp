#include "ui/chart/dense_band.h"

#include <QChart>
#include <QLineSeries>
#include <QPainter>

#include <algorithm>

namespace kvh::ui {

namespace {

/// Between the axes' grid (2) and the series (4), as Qt Charts stacks its items: the limit
/// line and any other curve stay on top of a band.
constexpr qreal kBandZ = 3.5;

} // namespace

DenseBand::DenseBand(QChart* chart, QLineSeries* series)
    : QGraphicsItem(chart), m_chart(chart), m_series(series) {
    setZValue(kBandZ);
}

void DenseBand::setBand(std::vector<core::BandStretch> band) {
    m_band = std::move(band);
    update();
}

void DenseBand::plotAreaChanged() {
    prepareGeometryChange();
}

QRectF DenseBand::boundingRect() const {
    return m_chart->plotArea();
}

void DenseBand::paint(QPainter* painter, const QStyleOptionGraphicsItem*, QWidget*) {
    if (isEmpty())
        return;
    // Mapped at each paint, so the band follows the axes' ranges and the plot's size; each
    // side widened by half the curve's pen, as its line would be.
    const qreal half = std::max<qreal>(m_series->pen().widthF(), 1.0) / 2.0;
    QList<QRectF> rects;
    rects.reserve(static_cast<qsizetype>(m_band.size()));
    for (const core::BandStretch& s : m_band) {
        const QPointF topLeft = m_chart->mapToPosition(QPointF(s.x0, s.high), m_series);
        const QPointF bottomRight = m_chart->mapToPosition(QPointF(s.x1, s.low), m_series);
        rects.append(QRectF(topLeft, bottomRight).normalized().adjusted(-half, -half, half, half));
    }
    painter->save();
    painter->setClipRect(m_chart->plotArea());
    painter->setPen(Qt::NoPen);
    painter->setBrush(m_series->pen().color());
    painter->drawRects(rects.constData(), static_cast<int>(rects.size()));
    painter->restore();
}

} // namespace kvh::ui
