#include "ui/print_page.h"

#include "ui/qt_text.h"
#include "ui/results_chart.h"
#include "ui/twips.h"

#include <QFontMetricsF>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QTextLayout>

#include <algorithm>
#include <vector>

namespace kvh::ui {

namespace {

/// Where the page window's twips land on the device: true size, shrunk uniformly only when
/// the page is smaller, centred across the page and starting at its top.
struct PageGeometry {
    QPointF origin;
    qreal sx = 1.0; ///< device units per twip, across
    qreal sy = 1.0; ///< device units per twip, down
    qreal shrink = 1.0;

    QRectF map(const QRectF& twips) const {
        return {origin.x() + twips.x() * sx, origin.y() + twips.y() * sy, twips.width() * sx,
                twips.height() * sy};
    }
};

PageGeometry pageGeometry(const QPaintDevice& device, const QRectF& pageRect) {
    const qreal sx = unitsPerTwip(device.logicalDpiX());
    const qreal sy = unitsPerTwip(device.logicalDpiY());
    const qreal width = PrintPage::kClientTwips.width() * sx;
    const qreal height = PrintPage::kClientTwips.height() * sy;
    PageGeometry g;
    g.shrink = std::min({1.0, pageRect.width() / width, pageRect.height() / height});
    g.sx = sx * g.shrink;
    g.sy = sy * g.shrink;
    g.origin =
        QPointF(pageRect.left() + (pageRect.width() - width * g.shrink) / 2.0, pageRect.top());
    return g;
}

/// The report's CR LF lines as one layout text; the trailing empty lines are dropped.
QString layoutText(QString text) {
    text = withLf(text);
    text.replace(QLatin1Char('\n'), QChar::LineSeparator);
    text.replace(QLatin1Char('\r'), QChar::LineSeparator);
    while (text.endsWith(QChar::LineSeparator))
        text.chop(1);
    return text;
}

/// A text layout reads tab positions in screen pixels and scales them to its device's
/// resolution; the factor, measured on one tab stop.
qreal tabScale(const QFont& font, const QPaintDevice* device) {
    constexpr qreal probe = 1000.0;
    QTextLayout layout(QStringLiteral("\tx"), font, device);
    QTextOption option;
    option.setTabs({QTextOption::Tab(probe, QTextOption::LeftTab)});
    layout.setTextOption(option);
    layout.beginLayout();
    QTextLine line = layout.createLine();
    line.setLineWidth(probe * 100.0);
    layout.endLayout();
    const qreal x = line.cursorToX(1);
    return x > 0.0 ? x / probe : 1.0;
}

/// Lays the text out in lines of the text box's width (long lines wrap, nothing is cut).
void layOutLines(QTextLayout& layout, const QString& text, const QFont& font,
                 const QPaintDevice* device, qreal lineWidth) {
    const qreal scale = tabScale(font, device);
    QList<QTextOption::Tab> tabs = PrintPage::columnTabs(text, QFontMetricsF(font, device));
    for (QTextOption::Tab& tab : tabs)
        tab.position /= scale;
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    option.setTabs(tabs);
    layout.setTextOption(option);
    layout.beginLayout();
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLeadingIncluded(true);
        line.setLineWidth(lineWidth);
    }
    layout.endLayout();
}

/// Where everything goes: each line's page (lines are positioned in page coordinates), and the
/// chart's page and rectangle.
struct PageFlow {
    std::vector<int> linePage;
    int chartPage = 0;
    QRectF chartRect;
    int pageCount() const { return chartPage + 1; }
};

PageFlow flowLines(QTextLayout& layout, const QRectF& textBox, const QRectF& picture, qreal gap,
                   qreal pageBottom) {
    PageFlow flow;
    int page = 0;
    qreal y = textBox.top();
    for (int i = 0; i < layout.lineCount(); ++i) {
        QTextLine line = layout.lineAt(i);
        if (y + line.height() > pageBottom && y > textBox.top()) {
            ++page;
            y = textBox.top();
        }
        line.setPosition(QPointF(textBox.left(), y));
        flow.linePage.push_back(page);
        y += line.height();
    }
    // The chart follows the text; on the first page never above its place in the page window.
    flow.chartRect = picture;
    flow.chartRect.moveTop(page == 0 ? std::max(picture.top(), y + gap) : y + gap);
    if (flow.chartRect.bottom() > pageBottom && y > textBox.top()) {
        ++page;
        flow.chartRect.moveTop(textBox.top());
    }
    flow.chartPage = page;
    return flow;
}

QStringList textLines(QString text) {
    text = withLf(text);
    text.replace(QChar::LineSeparator, QLatin1Char('\n'));
    return text.split(QLatin1Char('\n'));
}

} // namespace

QFont PrintPage::reportFont() {
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setFamilies({QStringLiteral("DejaVu Sans"), QStringLiteral("Sans Serif")});
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(kFontPointSize);
    font.setWeight(QFont::Bold);
    return font;
}

QString PrintPage::alignedReport(const core::Case& c, const core::ResultTexts& results,
                                 const QPaintDevice* device) {
    const QFontMetricsF metrics(reportFont(), device);
    const core::TextWidth width = [&metrics](std::string_view text) {
        return metrics.horizontalAdvance(
            QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
    };
    return QString::fromStdString(core::buildAlignedReportText(c, results, width));
}

QList<QTextOption::Tab> PrintPage::columnTabs(const QString& text, const QFontMetricsF& metrics) {
    std::vector<qreal> widths;
    for (const QString& line : textLines(text)) {
        const QStringList fields = line.split(QLatin1Char('\t'));
        for (qsizetype i = 0; i + 1 < fields.size(); ++i) {
            const auto column = static_cast<size_t>(i);
            if (widths.size() <= column)
                widths.resize(column + 1, 0.0);
            widths[column] = std::max(widths[column], metrics.horizontalAdvance(fields[i]));
        }
    }
    const qreal gap = metrics.horizontalAdvance(QStringLiteral("  "));
    QList<QTextOption::Tab> tabs;
    qreal x = 0.0;
    for (const qreal width : widths) {
        x += width + gap;
        tabs.append(QTextOption::Tab(x, QTextOption::LeftTab));
    }
    return tabs;
}

namespace {

/// The chart on paper is laid out as a screen of 120 pixels to the inch would show it at the
/// picture's size: labels print at about 7 pt, titles at about 10 pt.
QSizeF chartLayoutSize(const QPaintDevice& device, const QRectF& target) {
    constexpr qreal kLayoutDpi = 120.0;
    return {target.width() / device.logicalDpiX() * kLayoutDpi,
            target.height() / device.logicalDpiY() * kLayoutDpi};
}

} // namespace

int PrintPage::paint(QPainter* painter, const QRectF& pageRect, const QString& reportText,
                     ResultsChart& chart) {
    QPaintDevice* device = painter->device();
    const PageGeometry geometry = pageGeometry(*device, pageRect);
    QFont font = reportFont();
    font.setPointSizeF(kFontPointSize * geometry.shrink);

    const QString text = layoutText(reportText);
    // The device goes in with the text, so the glyphs are measured as the device prints them.
    QTextLayout layout(text, font, device);
    const QRectF textBox = geometry.map(kTextTwips);
    layOutLines(layout, text, font, device, textBox.width());

    const qreal gap = (kPictureTwips.top() - kTextTwips.bottom()) * geometry.sy;
    const PageFlow flow =
        flowLines(layout, textBox, geometry.map(kPictureTwips), gap, pageRect.bottom());

    auto* paged = dynamic_cast<QPagedPaintDevice*>(device);
    painter->save();
    painter->setPen(Qt::black);
    int painted = 0;
    for (int page = 0; page < flow.pageCount(); ++page) {
        if (page > 0 && (paged == nullptr || !paged->newPage()))
            break;
        for (int i = 0; i < layout.lineCount(); ++i)
            if (flow.linePage[static_cast<size_t>(i)] == page)
                layout.lineAt(i).draw(painter, QPointF(0, 0));
        if (page == flow.chartPage)
            chart.renderTo(painter, flow.chartRect, chartLayoutSize(*device, flow.chartRect));
        ++painted;
    }
    painter->restore();
    return painted;
}

} // namespace kvh::ui
