#include "ui/output/print_page.h"

#include "ui/chart/results_chart.h"
#include "ui/qt_text.h"
#include "ui/twips.h"

#include <QFileInfo>
#include <QFontMetricsF>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QTextLayout>

#include <algorithm>
#include <memory>
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

/// The report's lines (CR LF, LF or CR ends).
QStringList textLines(QString text) {
    text = withLf(text);
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    text.replace(QChar::LineSeparator, QLatin1Char('\n'));
    return text.split(QLatin1Char('\n'));
}

/// Wrapping and the column tab stops, shared by every line of the report.
QTextOption lineOption(const QString& text, const QFont& font, const QPaintDevice* device) {
    const qreal scale = tabScale(font, device);
    QList<QTextOption::Tab> tabs = PrintPage::columnTabs(text, QFontMetricsF(font, device));
    for (QTextOption::Tab& tab : tabs)
        tab.position /= scale;
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    option.setTabs(tabs);
    return option;
}

/// One report line in the text box's width: a long line wraps, nothing is cut. Each line has
/// its own layout, so the cost of laying out the report grows linearly with its lines.
std::unique_ptr<QTextLayout> layOutLine(const QString& text, const QFont& font,
                                        const QPaintDevice* device, const QTextOption& option,
                                        qreal width) {
    auto layout = std::make_unique<QTextLayout>(text, font, device);
    layout->setTextOption(option);
    layout->beginLayout();
    for (QTextLine line = layout->createLine(); line.isValid(); line = layout->createLine()) {
        line.setLeadingIncluded(true);
        line.setLineWidth(width);
    }
    layout->endLayout();
    return layout;
}

/// Every line of the report laid out; the trailing empty lines are dropped.
std::vector<std::unique_ptr<QTextLayout>> layOutReport(const QString& text, const QFont& font,
                                                       const QPaintDevice* device, qreal width) {
    const QTextOption option = lineOption(text, font, device);
    QStringList lines = textLines(text);
    while (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    std::vector<std::unique_ptr<QTextLayout>> layouts;
    layouts.reserve(static_cast<size_t>(lines.size()));
    for (const QString& line : std::as_const(lines))
        layouts.push_back(layOutLine(line, font, device, option, width));
    return layouts;
}

/// The chart may grow down to the footer, but not taller than this times its width.
constexpr qreal kMaxChartTallness = 1.5;

/// Where everything goes: each text line's page (lines are positioned in page coordinates, in
/// reading order), and the chart's page and rectangle.
struct PageFlow {
    struct Placed {
        QTextLine line;
        int page;
    };
    std::vector<Placed> lines;
    int chartPage = 0;
    QRectF chartRect;
    int pageCount() const { return chartPage + 1; }
};

/// The chart below the text from `top`, filling the room down to `bottom` within its limits.
QRectF chartBelow(const QRectF& picture, qreal top, qreal bottom) {
    QRectF rect = picture;
    rect.moveTop(top);
    rect.setBottom(
        std::clamp(bottom, top + picture.height(), top + picture.width() * kMaxChartTallness));
    return rect;
}

PageFlow flowLines(const std::vector<std::unique_ptr<QTextLayout>>& layouts, const QRectF& textBox,
                   const QRectF& picture, qreal gap, qreal contentBottom) {
    PageFlow flow;
    int page = 0;
    qreal y = textBox.top();
    for (const auto& layout : layouts) {
        for (int i = 0; i < layout->lineCount(); ++i) {
            QTextLine line = layout->lineAt(i);
            if (y + line.height() > contentBottom && y > textBox.top()) {
                ++page;
                y = textBox.top();
            }
            line.setPosition(QPointF(textBox.left(), y));
            flow.lines.push_back({line, page});
            y += line.height();
        }
    }
    // The chart follows the text; on the first page never above its place in the page window.
    qreal top = page == 0 ? std::max(picture.top(), y + gap) : y + gap;
    if (top + picture.height() > contentBottom && y > textBox.top()) {
        ++page;
        top = textBox.top();
    }
    flow.chartRect = chartBelow(picture, top, contentBottom);
    flow.chartPage = page;
    return flow;
}

/// The footer's font: the report's family, regular, smaller.
QFont footerFont(qreal shrink) {
    constexpr qreal kFooterPointSize = 8.0;
    QFont font = PrintPage::reportFont();
    font.setWeight(QFont::Normal);
    font.setPointSizeF(kFooterPointSize * shrink);
    return font;
}

/// The footer in `box`: the case on the left, the time in the middle, the program on the right.
void paintFooter(QPainter* painter, const QRectF& box, const PrintPage::Footer& footer) {
    painter->drawLine(box.topLeft(), box.topRight());
    painter->drawText(box, Qt::AlignLeft | Qt::AlignBottom, footer.caseName);
    painter->drawText(box, Qt::AlignHCenter | Qt::AlignBottom, footer.printed);
    painter->drawText(box, Qt::AlignRight | Qt::AlignBottom, footer.program);
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
                     ResultsChart& chart, const Footer& footer) {
    QPaintDevice* device = painter->device();
    const PageGeometry geometry = pageGeometry(*device, pageRect);
    QFont font = reportFont();
    font.setPointSizeF(kFontPointSize * geometry.shrink);
    const QFont smallFont = footerFont(geometry.shrink);

    // The device goes in with the text, so the glyphs are measured as the device prints them.
    const QRectF textBox = geometry.map(kTextTwips);
    const auto layouts = layOutReport(reportText, font, device, textBox.width());

    const qreal gap = (kPictureTwips.top() - kTextTwips.bottom()) * geometry.sy;
    const QRectF picture = geometry.map(kPictureTwips);
    const qreal footerHeight = QFontMetricsF(smallFont, device).height() + gap / 2.0;
    const QRectF footerBox(picture.left(), pageRect.bottom() - footerHeight,
                           textBox.right() - picture.left(), footerHeight);
    const PageFlow flow = flowLines(layouts, textBox, picture, gap, footerBox.top() - gap);

    auto* paged = dynamic_cast<QPagedPaintDevice*>(device);
    painter->save();
    painter->setPen(Qt::black);
    int painted = 0;
    size_t next = 0;
    for (int page = 0; page < flow.pageCount(); ++page) {
        if (page > 0 && (paged == nullptr || !paged->newPage()))
            break;
        for (; next < flow.lines.size() && flow.lines[next].page == page; ++next)
            flow.lines[next].line.draw(painter, QPointF(0, 0));
        if (page == flow.chartPage)
            chart.renderTo(painter, flow.chartRect, chartLayoutSize(*device, flow.chartRect));
        painter->setFont(smallFont);
        paintFooter(painter, footerBox, footer);
        ++painted;
    }
    painter->restore();
    return painted;
}

PrintPage::Footer PrintPage::footer(const QString& casePath, const QDateTime& when) {
    static const QString kUnsaved = QStringLiteral("unsaved");
    static const QString kProgram = QStringLiteral("KVHiTemp " KVH_VERSION);
    return {casePath.isEmpty() ? kUnsaved : QFileInfo(casePath).fileName(),
            when.toString(QStringLiteral("yyyy-MM-dd HH:mm")), kProgram};
}

} // namespace kvh::ui
