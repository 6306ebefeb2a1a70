#include "ui/chart/results_chart.h"

#include "ui/chart/chart_parts.h"
#include "ui/chart/dense_band.h"
#include "ui/qt_text.h"

#include <QAreaSeries>
#include <QGraphicsLayout>
#include <QGraphicsScene>
#include <QLegend>
#include <QLegendMarker>
#include <QLineSeries>
#include <QMouseEvent>
#include <QPainter>
#include <QPalette>
#include <QValueAxis>

#include <algorithm>
#include <cmath>

namespace kvh::ui {

namespace {

const QString kInternalName = QStringLiteral("Internal Temperature");
const QString kProcessName = QStringLiteral("Process Temperature");
const QString kInternalAfterEndName = QStringLiteral("Internal Temperature after the end");
/// The band behind the after-end stretch: a light shade on paper, a faint light one on dark.
const QColor kAfterEndShade(0, 0, 0, 28);
const QColor kDarkAfterEndShade(255, 255, 255, 36);
/// Whole minutes up to a million print in full; hours keep their fractions.
const QString kLabelFormat = QStringLiteral("%.10g");
/// Below this plot width the view has not been laid out yet.
constexpr int kFallbackPlotWidth = 800;
/// How far (pixels) around the axis line a double-click still picks that axis.
constexpr qreal kPickSlack = 24.0;
/// Room (pixels) between the chart's frame and its titles, smaller than Qt's default so a
/// small window keeps its plot.
const QMargins kChartMargins(6, 6, 6, 6);
/// Curve colours on a dark background: lighter, so they stand out as the light ones do.
const QColor kDarkInternal(255, 96, 96);
const QColor kDarkProcess(96, 160, 255);
constexpr int kMaxLabelDecimals = 6;
const QString kFixedLabelFormat = QStringLiteral("%.%1f");

void setTitle(QValueAxis* axis, std::string_view title) {
    axis->setTitleText(qs(title));
    QFont font = axis->titleFont();
    font.setPointSize(core::kAxisTitlePointSize);
    axis->setTitleFont(font);
}

/// A round step that splits `span` into about six parts: 1, 2 or 5 times a power of ten.
double niceStep(double span) {
    const double raw = span / 6.0;
    const double magnitude = std::pow(10.0, std::floor(std::log10(raw)));
    const double norm = raw / magnitude;
    const double factor = norm < 1.5 ? 1.0 : norm < 3.0 ? 2.0 : norm < 7.0 ? 5.0 : 10.0;
    return factor * magnitude;
}

/// An automatic range: the values widened to whole steps, one tick per step.
void setNiceRange(QValueAxis* axis, double low, double high) {
    if (!std::isfinite(low) || !std::isfinite(high)) {
        low = 0.0;
        high = 1.0;
    }
    if (high - low < 1e-9 * std::max(1.0, std::abs(high))) {
        low -= 1.0;
        high += 1.0;
    }
    const double step = niceStep(high - low);
    const double niceLow = std::floor(low / step) * step;
    const double niceHigh = std::ceil(high / step) * step;
    axis->setRange(niceLow, niceHigh);
    axis->setLabelFormat(kLabelFormat);
    axis->setTickCount(static_cast<int>(std::lround((niceHigh - niceLow) / step)) + 1);
}

/// Whether a curve turns up or down more often than once in `columnsPerTurn` pixel columns.
/// Drawn as a line, such a curve is a band of steep strokes, each outlined and filled on its
/// own; drawn as that band (see DenseBand) it costs a few rectangles and looks the same.
bool isDense(const QList<QPointF>& points, int columns) {
    constexpr int kColumnsPerTurn = 2;
    qsizetype turns = 0;
    double lastStep = 0.0;
    for (qsizetype i = 1; i < points.size(); ++i) {
        const double step = points[i].y() - points[i - 1].y();
        if (step == 0.0)
            continue;
        if ((step > 0) != (lastStep > 0) && lastStep != 0.0)
            ++turns;
        lastStep = step;
    }
    return turns * kColumnsPerTurn > columns;
}

/// A colour between `a` (weight 1 - t) and `b` (weight t).
QColor mix(const QColor& a, const QColor& b, double t) {
    return QColor::fromRgbF(static_cast<float>(a.redF() * (1 - t) + b.redF() * t),
                            static_cast<float>(a.greenF() * (1 - t) + b.greenF() * t),
                            static_cast<float>(a.blueF() * (1 - t) + b.blueF() * t));
}

} // namespace

ChartColours ChartColours::forPalette(const QPalette& palette, const ChartColours& light) {
    const QColor base = palette.color(QPalette::Base);
    const QColor text = palette.color(QPalette::Text);
    if (base.lightness() >= text.lightness())
        return light;
    return {base,
            text,
            text,
            text,
            mix(base, text, 0.25),
            mix(base, text, 0.6),
            kDarkInternal,
            kDarkProcess,
            mix(base, text, 0.8),
            kDarkAfterEndShade};
}

QString ResultsChart::tickLabelFormat(double low, double step) {
    // The fewest decimals that still write every tick exactly (to a thousandth of a step),
    // but at least enough to tell neighbouring ticks apart.
    const auto exact = [&](int decimals) {
        const double scale = std::pow(10.0, decimals);
        for (double v : {low, low + step}) {
            if (std::abs(v * scale - std::round(v * scale)) > std::abs(step) * scale * 1e-3)
                return false;
        }
        return true;
    };
    const int distinct =
        std::clamp(static_cast<int>(std::ceil(-std::log10(std::abs(step)))), 0, kMaxLabelDecimals);
    int decimals = 0;
    while (decimals < kMaxLabelDecimals && decimals < distinct + 1 && !exact(decimals))
        ++decimals;
    return kFixedLabelFormat.arg(std::max(decimals, distinct));
}

ResultsChart::ResultsChart(QWidget* parent)
    // Handing the chart to the view at once spares the view a default chart of its own, which
    // would cost as much to build and be left behind by setChart.
    : QChartView(new QChart, parent), m_chart(chart()),
      m_internal(makeSeries(kInternalName, QPen(QColor(200, 0, 0), 2.0))),
      m_process(makeSeries(kProcessName, QPen(QColor(0, 70, 200), 1.5))),
      m_limit(makeSeries(qs(core::kLimitName), QPen(QColor(40, 40, 40), 1.5, Qt::DashLine))),
      m_afterEnd(makeSeries(kInternalAfterEndName, QPen(QColor(200, 0, 0), 2.0, Qt::DashLine))),
      m_afterEndBand(makeAfterEndBand(this)), m_axisX(new QValueAxis), m_axisY(new QValueAxis),
      m_internalBand(new DenseBand(m_chart, m_internal)),
      m_processBand(new DenseBand(m_chart, m_process)) {
    m_chart->setDropShadowEnabled(false);
    m_chart->setBackgroundRoundness(0);
    m_chart->legend()->setAlignment(Qt::AlignBottom);
    for (QValueAxis* a : {m_axisX, m_axisY}) {
        a->setLabelFormat(kLabelFormat);
        a->setMinorTickCount(0);
    }
    m_chart->setMargins(kChartMargins);
    m_chart->layout()->setContentsMargins(0, 0, 0, 0);
    setRenderHint(QPainter::Antialiasing);
    connect(m_chart, &QChart::plotAreaChanged, this, &ResultsChart::plotAreaChanged);
    // The inside temperature is what the chart is for: its band lies over the process band.
    m_processBand->stackBefore(m_internalBand);
    for (QValueAxis* a : {m_axisX, m_axisY}) {
        connect(a, &QValueAxis::rangeChanged, this, [this] {
            m_internalBand->update();
            m_processBand->update();
        });
    }
    connect(m_axisY, &QValueAxis::rangeChanged, this, &ResultsChart::showAfterEndBand);
}

void ResultsChart::ensureBuilt() {
    if (m_built)
        return;
    // The axes and curves join the chart the first time it is shown or given work: laying out
    // their titles and labels measures text in fonts nothing else on the first page uses, a
    // good part of the window's start-up, for a page a session may never open.
    m_built = true;
    m_chart->addAxis(m_axisX, Qt::AlignBottom);
    m_chart->addAxis(m_axisY, Qt::AlignLeft);
    // The band lies behind the curves; the dashed after-end curve needs no legend entry of
    // its own, the band's names the stretch.
    m_chart->addSeries(m_afterEndBand);
    m_afterEndBand->attachAxis(m_axisX);
    m_afterEndBand->attachAxis(m_axisY);
    for (QLineSeries* s : {m_internal, m_process, m_limit, m_afterEnd})
        showSeries(s, true);
    m_chart->legend()->markers(m_afterEnd).constFirst()->setVisible(false);
    m_light = {m_chart->backgroundBrush(), m_axisX->labelsColor(),
               m_axisX->titleBrush(),      m_chart->legend()->labelColor(),
               m_axisX->gridLineColor(),   m_axisX->linePenColor(),
               m_internal->pen().color(),  m_process->pen().color(),
               m_limit->pen().color(),     kAfterEndShade};
    applyColours(ChartColours::forPalette(palette(), m_light));
    resetContent();
}

void ResultsChart::reset() {
    // A chart not yet built is as a reset leaves it.
    if (m_built)
        resetContent();
}

void ResultsChart::resetContent() {
    m_data = {};
    for (QLineSeries* s : {m_internal, m_process, m_limit, m_afterEnd})
        s->clear();
    setMeasured({});
    showAfterEndBand();
    showBand(m_internal, m_internalBand, {});
    showBand(m_process, m_processBand, {});
    showSeries(m_process, true);
    if (m_calibrated)
        showSeries(m_calibrated, false);
    setTitle(m_axisX, core::kResetXTitle);
    setTitle(m_axisY, core::kResetYTitle);
    m_autoX = true;
    m_autoY = true;
    // A run nearly always follows at once and sets the ranges itself; new axis labels cost
    // more than the rest of the reset, so the empty chart's range waits for the event loop.
    if (!m_rangePending) {
        m_rangePending = true;
        QMetaObject::invokeMethod(this, &ResultsChart::applyPendingRange, Qt::QueuedConnection);
    }
}

void ResultsChart::applyPendingRange() {
    if (m_rangePending)
        applyAutoRange();
}

void ResultsChart::plot(const core::ChartData& data) {
    plot(core::ChartData(data));
}

void ResultsChart::plot(core::ChartData&& data) {
    ensureBuilt();
    m_data = std::move(data);
    // "Plot Tracer Only" leaves the process curve out of the chart altogether.
    showSeries(m_process, !m_data.process.empty() || m_data.internal.empty());
    setTitle(m_axisX, m_data.xTitle);
    setTitle(m_axisY, m_data.yTitle);
    fillSeries();
}

void ResultsChart::fillSeries() {
    // Clearing first keeps the range change from re-mapping the old points; one replace()
    // per series then costs one update.
    for (QLineSeries* s : {m_internal, m_process, m_limit, m_afterEnd})
        s->clear();
    m_bucketsUsed = bucketCount();
    const QList<QPointF> internal = toQt(core::decimate(m_data.internal, m_bucketsUsed));
    const QList<QPointF> process = toQt(core::decimate(m_data.process, m_bucketsUsed));
    const QList<QPointF> afterEnd = toQt(core::decimate(m_data.afterEnd, m_bucketsUsed));
    const QList<QPointF> limit = toQt(m_data.limit);
    m_rangePending = false;
    if (m_autoX || m_autoY) {
        Bounds b;
        for (const QList<QPointF>* points : {&internal, &process, &afterEnd, &limit})
            b.add(*points);
        if (m_measured)
            b.add(m_measured->points());
        if (m_autoX)
            setNiceRange(m_axisX, b.xLow, b.xHigh);
        if (m_autoY)
            setNiceRange(m_axisY, b.yLow, b.yHigh);
    }
    const int columns = m_bucketsUsed * 16 / 17;
    const bool internalDense = isDense(internal, columns);
    const bool processDense = isDense(process, columns);
    setRenderHint(QPainter::Antialiasing, !internalDense && !processDense);
    const auto bandIf = [this](bool dense, const std::vector<core::ChartPoint>& points) {
        return dense ? core::bandOf(points, m_bucketsUsed) : std::vector<core::BandStretch>{};
    };
    showBand(m_internal, m_internalBand, bandIf(internalDense, m_data.internal));
    showBand(m_process, m_processBand, bandIf(processDense, m_data.process));
    m_internal->replace(internal);
    m_process->replace(process);
    m_afterEnd->replace(afterEnd);
    m_limit->replace(limit);
    showAfterEndBand();
}

void ResultsChart::showAfterEndBand() {
    if (m_data.afterEnd.empty())
        clearBand(*m_afterEndBand);
    else
        spanBand(*m_afterEndBand, m_data.endX, m_data.afterEnd.back().x, *m_axisY);
}

void ResultsChart::setAutoScale() {
    ensureBuilt();
    m_autoX = true;
    m_autoY = true;
    applyAutoRange();
}

void ResultsChart::applyAutoRange() {
    m_rangePending = false;
    Bounds b;
    for (QLineSeries* s : {m_internal, m_process, m_limit, m_afterEnd, m_measured})
        if (s)
            b.add(s->points());
    if (m_autoX)
        setNiceRange(m_axisX, b.xLow, b.xHigh);
    if (m_autoY)
        setNiceRange(m_axisY, b.yLow, b.yHigh);
}

AxisRange ResultsChart::range(core::Axis which) const {
    const_cast<ResultsChart*>(this)->ensureBuilt(); // the range in force is the built one
    const QValueAxis* a = axis(which);
    return {a->min(), a->max()};
}

bool ResultsChart::isAutoScale(core::Axis which) const {
    return which == core::Axis::X ? m_autoX : m_autoY;
}

void ResultsChart::setFixedRange(core::Axis which, double low, double high, int majorDivisions) {
    ensureBuilt();
    QValueAxis* a = axis(which);
    a->setRange(low, high);
    a->setTickCount(std::max(2, majorDivisions + 1));
    a->setLabelFormat(tickLabelFormat(low, (high - low) / std::max(1, majorDivisions)));
    (which == core::Axis::X ? m_autoX : m_autoY) = false;
}

void ResultsChart::renderTo(QPainter* painter, const QRectF& target) {
    ensureBuilt();
    scene()->render(painter, target, m_chart->sceneBoundingRect(), Qt::KeepAspectRatio);
}

void ResultsChart::renderTo(QPainter* painter, const QRectF& target, const QSizeF& layoutSize) {
    ensureBuilt();
    const QRectF shown = m_chart->geometry();
    m_chart->setGeometry(QRectF(shown.topLeft(), layoutSize));
    if (QGraphicsLayout* layout = m_chart->layout())
        layout->activate();
    applyColours(m_light);
    renderTo(painter, target);
    applyColours(ChartColours::forPalette(palette(), m_light));
    m_chart->setGeometry(shown);
    if (QGraphicsLayout* layout = m_chart->layout())
        layout->activate();
}

void ResultsChart::mouseDoubleClickEvent(QMouseEvent* event) {
    const QPointF p = m_chart->mapFromScene(mapToScene(event->position().toPoint()));
    const QRectF plot = m_chart->plotArea();
    const QLegend* legend = m_chart->legend();
    const bool onLegend = legend->isVisible() && legend->geometry().contains(p);
    if (!onLegend && p.y() > plot.bottom() && p.x() >= plot.left() - kPickSlack &&
        p.x() <= plot.right() + kPickSlack)
        emit axisPicked(static_cast<int>(core::Axis::X));
    else if (!onLegend && p.x() < plot.left() && p.y() >= plot.top() - kPickSlack &&
             p.y() <= plot.bottom() + kPickSlack)
        emit axisPicked(static_cast<int>(core::Axis::Y));
    QChartView::mouseDoubleClickEvent(event);
}

void ResultsChart::showEvent(QShowEvent* event) {
    ensureBuilt();
    QChartView::showEvent(event);
}

void ResultsChart::changeEvent(QEvent* event) {
    QChartView::changeEvent(event);
    if (event->type() == QEvent::PaletteChange && m_built)
        applyColours(ChartColours::forPalette(palette(), m_light));
}

void ResultsChart::applyColours(const ChartColours& colours) {
    m_chart->setBackgroundBrush(colours.background);
    m_chart->legend()->setLabelColor(colours.legend);
    for (QValueAxis* a : {m_axisX, m_axisY}) {
        a->setLabelsColor(colours.labels);
        a->setTitleBrush(colours.titles);
        a->setGridLineColor(colours.grid);
        a->setLinePenColor(colours.axisLine);
    }
    const auto recolour = [](QLineSeries* series, const QColor& colour) {
        QPen pen = series->pen();
        pen.setColor(colour);
        series->setPen(pen);
    };
    recolour(m_internal, colours.internal);
    recolour(m_process, colours.process);
    recolour(m_limit, colours.limit);
    recolour(m_afterEnd, colours.internal);
    m_afterEndBand->setBrush(colours.afterEndBand);
}

void ResultsChart::showBand(QLineSeries* series, DenseBand* band,
                            std::vector<core::BandStretch> points) {
    // While the band stands in for the curve, the series draws no stroke; its colour stays,
    // and with it the legend's mark.
    const Qt::PenStyle style = points.empty() ? Qt::SolidLine : Qt::NoPen;
    band->setBand(std::move(points));
    QPen pen = series->pen();
    if (pen.style() != style) {
        pen.setStyle(style);
        series->setPen(pen);
    }
}

QValueAxis* ResultsChart::axis(core::Axis which) const {
    return which == core::Axis::X ? m_axisX : m_axisY;
}

int ResultsChart::bucketCount() const {
    // One bucket per pixel column, and a few more so that new axis labels narrowing or
    // widening the plot by a pixel or two need no second pass; decimation keeps the lowest
    // and highest point of each bucket.
    const int width = static_cast<int>(m_chart->plotArea().width());
    return (width > 10 ? width : kFallbackPlotWidth) * 17 / 16;
}

void ResultsChart::showSeries(QLineSeries* series, bool shown) {
    const bool attached = m_chart->series().contains(series);
    if (shown == attached)
        return;
    if (!shown) {
        m_chart->removeSeries(series);
        series->setParent(this); // removeSeries hands ownership back
        return;
    }
    m_chart->addSeries(series);
    series->attachAxis(m_axisX);
    series->attachAxis(m_axisY);
}

void ResultsChart::plotAreaChanged(const QRectF& plotArea) {
    m_internalBand->plotAreaChanged();
    m_processBand->plotAreaChanged();
    // A resize changes how many points the curves need; redo the decimation when it matters.
    const int width = static_cast<int>(plotArea.width());
    if (m_data.internal.empty() || width <= 10)
        return;
    // Fewer buckets than pixels would show; a few too many cost only time.
    if (width > m_bucketsUsed || width * 5 < m_bucketsUsed * 4)
        fillSeries();
}

void ResultsChart::showCalibratedCurve(const QString& name,
                                       const std::vector<core::ChartPoint>& points) {
    ensureBuilt();
    if (!m_calibrated)
        m_calibrated = makeSeries(name, QPen(QColor(230, 130, 0), 2.0, Qt::DashDotLine));
    m_calibrated->setName(name);
    m_calibrated->replace(toQt(core::decimate(points, bucketCount())));
    showSeries(m_calibrated, !points.empty());
    if (points.empty() || !(m_autoX || m_autoY))
        return;
    Bounds b;
    for (QLineSeries* s : {m_internal, m_process, m_limit, m_calibrated})
        b.add(s->points());
    if (m_autoX)
        setNiceRange(m_axisX, b.xLow, b.xHigh);
    if (m_autoY)
        setNiceRange(m_axisY, b.yLow, b.yHigh);
}

} // namespace kvh::ui
