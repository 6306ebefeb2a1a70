// The results chart's "Measured" curve: an attached recording's logger column beside the
// predicted internal temperature. Kept apart from the chart's own curves.

#include "core/measured.h"
#include "ui/chart/results_chart.h"
#include "ui/qt_text.h"

#include <QLineSeries>
#include <QPen>

namespace kvh::ui {

namespace {

/// Green, apart from the internal (red) and process (blue) curves in light and dark colours.
const QColor kMeasuredColour(0, 150, 70);
constexpr qreal kMeasuredWidth = 2.0;

} // namespace

void ResultsChart::setMeasured(const std::vector<core::ChartPoint>& points) {
    if (!m_measured && points.empty())
        return;
    ensureBuilt();
    if (!m_measured) {
        m_measured = new QLineSeries(this);
        m_measured->setName(qs(core::kMeasuredCurveName));
        m_measured->setPen(QPen(kMeasuredColour, kMeasuredWidth, Qt::DashLine));
    }
    QList<QPointF> qtPoints;
    qtPoints.reserve(static_cast<qsizetype>(points.size()));
    for (const core::ChartPoint& p : points)
        qtPoints.append(QPointF(p.x, p.y));
    showSeries(m_measured, !qtPoints.isEmpty());
    m_measured->replace(qtPoints);
    if ((m_autoX || m_autoY) && !qtPoints.isEmpty())
        applyAutoRange();
}

QList<QPointF> ResultsChart::measuredPoints() const {
    return m_measured ? m_measured->points() : QList<QPointF>{};
}

} // namespace kvh::ui
