#pragma once
// The uncertainty chart of the "What If" page (`grfUncertainty`): the internal temperature as
// entered, the band from its 5th to its 95th percentile over the random runs, and the limit.

#include "core/what_if.h"

#include <QtCharts/QChartView>

namespace kvh::ui {

class UncertaintyChart : public QChartView {
    Q_OBJECT
public:
    explicit UncertaintyChart(QWidget* parent = nullptr);

    /// The band and the curve from the profile's start (elapsed 0) on; hours when `hours`.
    void plot(const core::Uncertainty& uncertainty, bool hours);
    void clear();
};

} // namespace kvh::ui
