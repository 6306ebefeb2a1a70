#pragma once
// The tornado chart of the "What If" page (`picTornado`): one bar per variation from the
// maximum as entered to the variation's maximum, the largest move on top, with the limit and
// the margin marked.

#include "core/what_if.h"

#include <QStringList>
#include <QWidget>

#include <optional>

namespace kvh::ui {

class TornadoChart : public QWidget {
    Q_OBJECT
public:
    explicit TornadoChart(QWidget* parent = nullptr);

    /// The variations as bars, in the tornado order.
    void plot(const core::Variations& variations, bool fahrenheit);
    void clear();

    /// The bars' names, top to bottom, as drawn.
    const QStringList& barNames() const { return m_names; }

    /// A variation's short name ("Oven +10 °C").
    static QString variationLabel(core::Variation v, bool fahrenheit);

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    struct Bar {
        QString name;
        double value;
        bool pass;
        bool safe;
    };
    /// The horizontal position of a temperature.
    double xOf(double value, const QRectF& plot) const;
    void drawMark(QPainter& p, const QRectF& plot, double value, const QColor& colour,
                  Qt::PenStyle style, const QString& label) const;

    QStringList m_names;
    std::vector<Bar> m_bars;
    double m_base = 0.0;
    double m_limit = 0.0;
    double m_margin = 0.0;
    double m_low = 0.0, m_high = 1.0;
    QString m_unit;
};

} // namespace kvh::ui
