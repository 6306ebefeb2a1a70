#include "ui/chart/graph_copy.h"

#include "platform/platform.h"
#include "ui/chart/results_chart.h"
#include "ui/no_results.h"

#include <QBuffer>
#include <QPainter>
#include <QSvgGenerator>

namespace kvh::ui {

namespace {

const QString kSvgTitle = QStringLiteral("KVHiTemp results chart");

/// The size the chart is drawn at: its on-screen size, or a plain default for a chart that was
/// never laid out.
QSize displayedSize(const ResultsChart& chart) {
    return chart.size().isEmpty() ? QSize(800, 500) : chart.size();
}

} // namespace

QImage chartBitmap(ResultsChart& chart, qreal devicePixelRatio) {
    const QSize size = displayedSize(chart);
    QImage image(size * devicePixelRatio, QImage::Format_RGB32);
    image.setDevicePixelRatio(devicePixelRatio);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing);
    chart.renderTo(&painter, QRectF(QPointF(0, 0), QSizeF(size)));
    return image;
}

QByteArray chartSvg(ResultsChart& chart) {
    const QSize size = displayedSize(chart);
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QSvgGenerator generator;
    generator.setOutputDevice(&buffer);
    generator.setSize(size);
    generator.setViewBox(QRect(QPoint(0, 0), size));
    // Point sizes resolve as on the screen, so the titles keep their size relative to the plot.
    generator.setResolution(chart.logicalDpiX());
    generator.setTitle(kSvgTitle);
    QPainter painter(&generator);
    chart.renderTo(&painter, QRectF(QPointF(0, 0), QSizeF(size)));
    painter.end();
    return buffer.data();
}

void copyGraph(ResultsChart& chart, platform::Platform& platform, QWidget* parent,
               bool resultsExist) {
    if (refuseWithoutResults(platform, parent, resultsExist, ResultsCopy::TextsAndGraph))
        return;
    platform.setClipboardPicture(chartBitmap(chart), chartSvg(chart));
}

} // namespace kvh::ui
