#pragma once
// The overlay chart of the "Compare Barriers" page (`chtCompare`): each offered barrier's
// internal temperature against elapsed time, through the 80 minutes after the end, with the
// tracer's limit line.

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
};

} // namespace kvh::ui
