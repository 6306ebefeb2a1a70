#include "ui/what_if/tornado_chart.h"

#include "core/chart_data.h"
#include "core/numbers.h"
#include "core/setup.h"
#include "ui/qt_text.h"

#include <QPainter>

#include <algorithm>
#include <cmath>

namespace kvh::ui {

namespace {

const QString kAccessibleName = QStringLiteral("Maximum internal temperature of each variation");
const QString kMarginName = QStringLiteral("Margin");
const QString kAsEnteredName = QStringLiteral("As entered");
const QString kEmpty = QStringLiteral("No variations to show.");
constexpr int kRowHeight = 22;
constexpr int kLabelWidth = 150;
constexpr int kTopRoom = 22;

const QColor kSafeColour(0x00, 0x72, 0xb2);
const QColor kUnsafeColour(0xe6, 0x9f, 0x00);
const QColor kFailColour(0xd5, 0x5e, 0x00);
const QColor kLimitColour(0xcc, 0x00, 0x00);

QString oneDecimal(double value) {
    return qs(core::formatPattern(value, core::Pattern::OneDec));
}

} // namespace

TornadoChart::TornadoChart(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("picTornado"));
    setAccessibleName(kAccessibleName);
    setMinimumHeight(kTopRoom + 4 * kRowHeight);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
}

QString TornadoChart::variationLabel(core::Variation v, bool fahrenheit) {
    using V = core::Variation;
    const QString unit = qs(core::unitAfterNumber(fahrenheit));
    const QString oven = QString::number(fahrenheit ? 18 : 10) + unit;
    switch (v) {
    case V::AsEntered:
        return kAsEnteredName;
    case V::ProcessPlus:
        return QStringLiteral("Oven +") + oven;
    case V::ProcessMinus:
        return QStringLiteral("Oven \u2212") + oven;
    case V::DwellLonger:
        return QStringLiteral("Dwell +10 %");
    case V::DwellShorter:
        return QStringLiteral("Dwell \u221210 %");
    case V::StartWarm:
        return QStringLiteral("Warm start +%1").arg(QString::number(fahrenheit ? 36 : 20) + unit);
    case V::DeadTimePlus:
        return QStringLiteral("Dead time +1 min");
    case V::DeadTimeMinus:
        return QStringLiteral("Dead time \u22121 min");
    case V::OuterPlus:
        return QStringLiteral("Outer stage +10 %");
    case V::OuterMinus:
        return QStringLiteral("Outer stage \u221210 %");
    case V::InnerPlus:
        return QStringLiteral("Inner stage +10 %");
    case V::InnerMinus:
        return QStringLiteral("Inner stage \u221210 %");
    }
    return {};
}

void TornadoChart::plot(const core::Variations& variations, bool fahrenheit) {
    m_bars.clear();
    m_names.clear();
    m_unit = qs(core::unitAfterNumber(fahrenheit));
    m_base = variations.rows.front().figures.maxInternal;
    m_limit = variations.limit;
    m_margin = variations.margin;
    QStringList described;
    for (const size_t i : core::tornadoOrder(variations)) {
        const core::VariationResult& row = variations.rows[i];
        const Bar bar{variationLabel(row.variation, fahrenheit), row.figures.maxInternal,
                      row.figures.pass, row.figures.safe};
        m_bars.push_back(bar);
        m_names << bar.name;
        described << bar.name + QStringLiteral(": ") + oneDecimal(bar.value) + m_unit;
    }
    m_low = std::min(m_base, m_limit - m_margin);
    m_high = std::max(m_base, m_limit);
    for (const Bar& bar : m_bars) {
        m_low = std::min(m_low, bar.value);
        m_high = std::max(m_high, bar.value);
    }
    const double pad = std::max(1.0, (m_high - m_low) * 0.05);
    m_low -= pad;
    m_high += pad;
    setAccessibleDescription(described.join(QStringLiteral("; ")));
    updateGeometry();
    update();
}

void TornadoChart::clear() {
    m_bars.clear();
    m_names.clear();
    setAccessibleDescription(QString());
    update();
}

QSize TornadoChart::sizeHint() const {
    const int rows = std::max<int>(4, static_cast<int>(m_bars.size()));
    return {420, kTopRoom + rows * kRowHeight + 8};
}

double TornadoChart::xOf(double value, const QRectF& plot) const {
    return plot.left() + (value - m_low) / (m_high - m_low) * plot.width();
}

void TornadoChart::drawMark(QPainter& p, const QRectF& plot, double value, const QColor& colour,
                            Qt::PenStyle style, const QString& label) const {
    const double x = xOf(value, plot);
    p.setPen(QPen(colour, 1.5, style));
    p.drawLine(QPointF(x, plot.top() - 4), QPointF(x, plot.bottom()));
    p.drawText(QRectF(x - 60, 0, 120, kTopRoom - 6), Qt::AlignHCenter | Qt::AlignBottom, label);
}

void TornadoChart::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    if (m_bars.empty()) {
        p.drawText(rect(), Qt::AlignCenter, kEmpty);
        return;
    }
    const QRectF plot(kLabelWidth, kTopRoom, width() - kLabelWidth - 60,
                      static_cast<double>(m_bars.size()) * kRowHeight);
    const double base = xOf(m_base, plot);
    for (size_t i = 0; i < m_bars.size(); ++i) {
        const Bar& bar = m_bars[i];
        const double top = plot.top() + static_cast<double>(i) * kRowHeight + 3;
        const double x = xOf(bar.value, plot);
        const QColor colour = !bar.pass ? kFailColour : bar.safe ? kSafeColour : kUnsafeColour;
        p.fillRect(
            QRectF(std::min(base, x), top, std::max(1.0, std::abs(x - base)), kRowHeight - 6),
            colour);
        p.setPen(palette().color(QPalette::WindowText));
        p.drawText(QRectF(4, top - 3, kLabelWidth - 8, kRowHeight), Qt::AlignVCenter, bar.name);
        p.drawText(QRectF(std::max(base, x) + 4, top - 3, 60, kRowHeight), Qt::AlignVCenter,
                   oneDecimal(bar.value));
    }
    drawMark(p, plot, m_base, palette().color(QPalette::WindowText), Qt::SolidLine,
             kAsEnteredName + QStringLiteral(" ") + oneDecimal(m_base));
    drawMark(p, plot, m_limit, kLimitColour, Qt::SolidLine, qs(core::kLimitName));
    if (m_margin > 0)
        drawMark(p, plot, m_limit - m_margin, kLimitColour, Qt::DashLine, kMarginName);
}

} // namespace kvh::ui
