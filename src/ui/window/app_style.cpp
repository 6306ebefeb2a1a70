#include "ui/window/app_style.h"

#include <QApplication>
#include <QGroupBox>
#include <QIconEngine>
#include <QPainter>
#include <QPainterPath>
#include <QPalette>
#include <QStyleFactory>
#include <QStyleOption>

#include <algorithm>

namespace kvh::ui {

namespace {

/// Two chevrons pointing along the overflow: right (left in a right-to-left layout) or down.
class ChevronEngine : public QIconEngine {
public:
    explicit ChevronEngine(bool vertical) : m_vertical(vertical) {}

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State) override {
        const QPalette palette = QApplication::palette();
        const QColor colour = palette.color(
            mode == QIcon::Disabled ? QPalette::Disabled : QPalette::Active, QPalette::ButtonText);
        const qreal side = std::min(rect.width(), rect.height());
        const qreal unit = side / 8.0;
        QPainterPath path;
        for (const qreal offset : {0.0, 3.0 * unit}) {
            path.moveTo(2 * unit + offset, 2 * unit);
            path.lineTo(4 * unit + offset, 4 * unit);
            path.lineTo(2 * unit + offset, 6 * unit);
        }
        painter->save();
        painter->setRenderHint(QPainter::Antialiasing);
        painter->translate(rect.center() - QPointF(side / 2.0, side / 2.0));
        if (m_vertical) { // pointing down
            painter->translate(side, 0);
            painter->rotate(90);
        } else if (QApplication::layoutDirection() == Qt::RightToLeft) {
            painter->translate(side, 0);
            painter->scale(-1, 1);
        }
        painter->setPen(
            QPen(colour, std::max<qreal>(1.0, unit), Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        painter->drawPath(path);
        painter->restore();
    }

    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
        QPixmap drawn(size);
        drawn.fill(Qt::transparent);
        QPainter painter(&drawn);
        paint(&painter, drawn.rect(), mode, state);
        return drawn;
    }

    QIconEngine* clone() const override { return new ChevronEngine(m_vertical); }

private:
    bool m_vertical;
};

/// Fusion's group box frame as its picture has it: a faint line with cut corners, one pixel in
/// from the top left, below Fusion's own room for the title.
void drawFusionGroupBoxFrame(const QStyle& style, const QStyleOption& option, QPainter& painter,
                             const QWidget* widget) {
    constexpr int kTopMargin = 3;
    const auto* box = qobject_cast<const QGroupBox*>(widget);
    const int top = box && !box->isCheckable() && box->title().isEmpty()
                        ? kTopMargin
                        : std::max(style.pixelMetric(QStyle::PM_ExclusiveIndicatorHeight),
                                   option.fontMetrics.height()) +
                              kTopMargin;
    const QRect frame = option.rect.adjusted(1, top + 1, -1, -1);
    // The picture also darkens the inside by 3/255, a shade hardly to be seen that would cost
    // a blend of the whole page (the outer frame is the page): left out. The line, its corners
    // cut by a pixel as in the picture, is four plain lines.
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setPen(QPen(QColor(0x75, 0x75, 0x75, 0x32), 0));
    const int l = frame.left(), r = frame.right(), t = frame.top(), b = frame.bottom();
    const QLine edges[] = {
        {l + 1, t, r - 1, t}, {l + 1, b, r - 1, b}, {l, t + 1, l, b - 1}, {r, t + 1, r, b - 1}};
    painter.drawLines(edges, 4);
    painter.restore();
}

bool isFusion(const QStyle* style) {
    return style && style->name().compare(QLatin1String("fusion"), Qt::CaseInsensitive) == 0;
}

} // namespace

AppStyle::AppStyle(const QString& key)
    : QProxyStyle(key.isEmpty() ? nullptr : QStyleFactory::create(key)) {}

void AppStyle::drawPrimitive(PrimitiveElement element, const QStyleOption* option,
                             QPainter* painter, const QWidget* widget) const {
    if (element == PE_FrameGroupBox && option && painter && isFusion(baseStyle())) {
        drawFusionGroupBoxFrame(*this, *option, *painter, widget);
        return;
    }
    QProxyStyle::drawPrimitive(element, option, painter, widget);
}

QIcon AppStyle::standardIcon(StandardPixmap icon, const QStyleOption* option,
                             const QWidget* widget) const {
    if (icon == SP_ToolBarHorizontalExtensionButton)
        return QIcon(new ChevronEngine(false));
    if (icon == SP_ToolBarVerticalExtensionButton)
        return QIcon(new ChevronEngine(true));
    return QProxyStyle::standardIcon(icon, option, widget);
}

void installAppStyle() {
    QApplication::setStyle(new AppStyle(QApplication::style()->name()));
}

} // namespace kvh::ui
