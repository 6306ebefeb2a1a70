#pragma once
// The overlay chart of the "Compare Barriers" page (`chtCompare`): each offered barrier's
// internal temperature against elapsed time, from the profile's start through the time after
// its end until the inside stops rising (that stretch shaded), with the tracer's limit line.
// Its colours follow a dark palette as the results chart's do.

#include "core/advisor.h"
#include "core/setup.h"

#include <QtCharts/QChartView>

namespace kvh::ui {

class CompareChart : public QChartView {
    Q_OBJECT
public:
    /// Points per curve at most: about two per horizontal pixel of a large plot.
    static constexpr int kBuckets = 1500;

    explicit CompareChart(QWidget* parent = nullptr);

    /// One curve per barrier, named by its code, and the limit line.
    void plot(const core::Comparison& comparison, const core::SetupState& setup);
    /// No curves (no comparison to show).
    void clear();

protected:
    void changeEvent(QEvent* event) override;

private:
    /// The background, texts and grid for the palette in force; curves keep their colours.
    void applyPalette();
};

} // namespace kvh::ui
