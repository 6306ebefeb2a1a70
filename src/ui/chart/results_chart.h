#pragma once
// The results chart `Graf`: internal and process temperature against elapsed time with the
// tracer's limit line; the inside after the profile's end dashed over a shaded band. Each series
// receives exactly the points of a run, decimated to about two points per horizontal pixel (the
// drawn curve looks the same, and Qt Charts stays fast); a curve that turns at nearly every pixel
// is drawn as the band it sweeps, without smoothing.

#include "core/chart_data.h"

#include <QBrush>
#include <QColor>
#include <QtCharts/QChartView>

QT_BEGIN_NAMESPACE
class QAreaSeries;
class QChart;
class QLineSeries;
class QValueAxis;
QT_END_NAMESPACE

namespace kvh::ui {

class DenseBand;

/// The chart's colours: light ones (as on paper) or a dark set that follows a dark palette.
struct ChartColours {
    QBrush background;
    QColor labels;
    QBrush titles;
    QColor legend;
    QColor grid;
    QColor axisLine;
    QColor internal;
    QColor process;
    QColor limit;
    QColor afterEndBand; ///< the shade behind the time after the profile's end

    /// Dark colours for a dark palette (its window text readable on its base), else `light`.
    static ChartColours forPalette(const QPalette& palette, const ChartColours& light);
};

/// Low and high end of an axis's value scale.
struct AxisRange {
    double low = 0.0;
    double high = 0.0;
};

class ResultsChart : public QChartView {
    Q_OBJECT
public:
    /// The finest resolution a plot needs: more buckets than any screen has pixels across.
    /// A run's curves are decimated to this while they are built, then to the plot's width.
    static constexpr int kDataBuckets = 4096;

    explicit ResultsChart(QWidget* parent = nullptr);

    /// The reset of resetChart: no points, titles "Elapsed Minutes" / "Temperature °C" at
    /// 12 pt, both axes on automatic scaling.
    void reset();

    /// Fills the chart from a run: curves, limit line, axis titles. Axes stay automatic.
    void plot(const core::ChartData& data);
    /// The same, taking over the points instead of copying them (long profiles).
    void plot(core::ChartData&& data);

    /// The data of the last plot (empty after reset).
    const core::ChartData& data() const { return m_data; }

    /// Both axes back to automatic scaling.
    void setAutoScale();

    /// The range of an axis's value scale as it is in force now (automatic or fixed).
    AxisRange range(core::Axis axis) const;
    bool isAutoScale(core::Axis axis) const;

    /// Fixes an axis's range with the given number of major divisions. The tick labels
    /// carry as many decimals as the step needs, not the step's full binary expansion.
    void setFixedRange(core::Axis axis, double low, double high, int majorDivisions);
    /// The label format for ticks from `low` every `step`: "%.0f" for whole numbers, up to
    /// "%.6f" for small steps.
    static QString tickLabelFormat(double low, double step);

    /// The "Measured" curve of an attached recording (no points: no curve). A reset clears it.
    void setMeasured(const std::vector<core::ChartPoint>& points);
    /// The points of the "Measured" curve as drawn (empty without one).
    QList<QPointF> measuredPoints() const;

    /// Draws the chart exactly as displayed into `target` on any paint device, as vectors.
    void renderTo(QPainter* painter, const QRectF& target);

    /// Draws the chart as vectors into `target`, laid out for the moment at `layoutSize`
    /// (in screen pixels) instead of its size on screen: on paper the titles and labels then
    /// keep a readable size whatever the window's size, and the colours are the light ones.
    void renderTo(QPainter* painter, const QRectF& target, const QSizeF& layoutSize);

    /// A calibrated barrier's internal curve over the run's, named `name`; no points: none.
    /// Automatic scales take it in.
    void showCalibratedCurve(const QString& name, const std::vector<core::ChartPoint>& points);

signals:
    /// The user picked an axis (double-click on the axis, its labels or its title):
    /// 0 = x axis, 1 = y axis.
    void axisPicked(int axisId);

protected:
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    /// Puts the axes and curves into the chart, once: before it is first shown or used.
    void ensureBuilt();
    void resetContent();
    QValueAxis* axis(core::Axis which) const;
    /// Decimation buckets: one per horizontal pixel of the plot area.
    int bucketCount() const;
    void showSeries(QLineSeries* series, bool shown);
    void fillSeries();
    void applyAutoRange();
    void applyPendingRange();
    void plotAreaChanged(const QRectF& plotArea);
    void applyColours(const ChartColours& colours);
    /// Draws `series` as the band `points` instead of a line; an empty band draws it as a line.
    void showBand(QLineSeries* series, DenseBand* band, std::vector<core::BandStretch> points);
    /// The shaded band over the after-end stretch, the y axis's whole height.
    void showAfterEndBand();

    /// The colours of Qt Charts' light theme with the curves' own, read at construction.
    ChartColours m_light;
    QChart* m_chart;
    QLineSeries* m_internal;
    QLineSeries* m_process;
    QLineSeries* m_limit;
    QLineSeries* m_afterEnd; ///< the inside after the profile's end
    QAreaSeries* m_afterEndBand;
    QValueAxis* m_axisX;
    QValueAxis* m_axisY;
    DenseBand* m_internalBand;         ///< owned by the chart
    QLineSeries* m_measured = nullptr; ///< made with the first recording shown
    DenseBand* m_processBand;
    core::ChartData m_data;
    bool m_autoX = true;
    bool m_autoY = true;
    int m_bucketsUsed = 0;
    bool m_rangePending = false;
    bool m_built = false;
    QLineSeries* m_calibrated = nullptr; ///< made on first use
};

} // namespace kvh::ui
