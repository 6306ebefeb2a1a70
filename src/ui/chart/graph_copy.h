#pragma once
// "Copy Graph": the results chart exactly as displayed goes to the clipboard as a picture
// alone (a bitmap and an SVG vector form), for pasting into other documents.

#include <QByteArray>
#include <QImage>

class QWidget;

namespace kvh::platform {
class Platform;
}

namespace kvh::ui {

class ResultsChart;

/// The Edit menu's "Copy Graph". Before results exist it shows the "Graph Copy Error" message
/// and leaves the clipboard as it was.
void copyGraph(ResultsChart& chart, platform::Platform& platform, QWidget* parent,
               bool resultsExist);

/// The chart as displayed, drawn at its on-screen size times `devicePixelRatio`; opaque white
/// background.
QImage chartBitmap(ResultsChart& chart, qreal devicePixelRatio = 2.0);

/// The chart as displayed, as an SVG document of its on-screen size (vectors and text).
QByteArray chartSvg(ResultsChart& chart);

} // namespace kvh::ui
