#pragma once
// The printed report: the column-aligned report text above the chart picture, composed with a
// painter on any paint device (printer, PDF writer, image). Text is laid out for the device's
// own resolution and the chart is drawn as vectors, so a PDF keeps sharp, selectable text.
//
// The page keeps fixed proportions, in twips (1440 to the inch):
// the text indented 1920 twips from 240 down, the chart picture indented 960 twips below it.
// The chart then grows into the room left above the footer line that ends every page.

#include "core/report.h"

#include <QDateTime>
#include <QFont>
#include <QList>
#include <QRectF>
#include <QString>
#include <QTextOption>

class QFontMetricsF;
class QPainter;
class QPaintDevice;

namespace kvh::ui {

class ResultsChart;

class PrintPage {
public:
    /// The line at the foot of every page: which case, when, and by which program.
    struct Footer {
        QString caseName; ///< the file's name, or "unsaved"
        QString printed;  ///< local date and time, "yyyy-MM-dd HH:mm"
        QString program;  ///< the program's name and version
    };

    /// The footer for a case saved at or opened from `casePath` ("" while unsaved).
    static Footer footer(const QString& casePath, const QDateTime& when);

    /// The page window's client area and its two elements, in twips.
    static constexpr QSizeF kClientTwips{9615, 8970};
    static constexpr QRectF kTextTwips{1920, 240, 7215, 4335};
    static constexpr QRectF kPictureTwips{960, 4800, 8055, 3975};
    static constexpr qreal kFontPointSize = 9.75;

    /// The report font: bold sans-serif at 9.75 pt.
    static QFont reportFont();

    /// The aligned report, its columns measured with the report font's widths on `device`.
    static QString alignedReport(const core::Case& c, const core::ResultTexts& results,
                                 const QPaintDevice* device);

    /// Tab stops (in the metrics' units) that line up the TAB-separated columns of the text's
    /// table lines: each column starts two blanks after the widest field of the column before.
    static QList<QTextOption::Tab> columnTabs(const QString& text, const QFontMetricsF& metrics);

    /// Paints the report into `pageRect` (device units) of the painter's device: the text from
    /// the top, the chart after it down to the footer. On a paged device (printer, PDF) text
    /// that does not fit goes on to further pages, and the chart follows the last line; on any
    /// other device the page is cut at its bottom. Time and memory grow linearly with the
    /// lines. Returns the number of pages painted.
    static int paint(QPainter* painter, const QRectF& pageRect, const QString& reportText,
                     ResultsChart& chart, const Footer& footer);
};

} // namespace kvh::ui
