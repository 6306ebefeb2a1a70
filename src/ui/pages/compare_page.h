#pragma once
// The "Compare Barriers" page: every barrier offered for the case's tracer type and
// environment, run on the same profile, ranked by its margin to the limit, with the longest
// safe dwell, the peak after the end and an overlay chart of the internal curves. Choosing a
// row asks the window to choose that barrier on the Setup page.

#include "core/advisor.h"
#include "core/calibrated_barrier.h"
#include "core/case.h"

#include <QWidget>

#include <optional>

QT_BEGIN_NAMESPACE
class QAbstractItemModel;
class QLabel;
class QTableWidget;
QT_END_NAMESPACE

namespace kvh::ui {

class CompareChart;

class ComparePage : public QWidget {
    Q_OBJECT
public:
    /// Column order of the table `tblCompare`.
    enum Column {
        ColBarrier,
        ColMaxInternal,
        ColMaxDwell,
        ColVerdict,
        ColWarning,
        ColSafeDwell,
        ColPeak,
        ColMinutesToPeak,
        ColMargin,
        ColMarginShare,
        ColSafe,
        ColumnCount
    };

    /// Reads `current` (the window's case) whenever it recomputes; `profileModel` tells it of
    /// profile edits.
    ComparePage(const core::Case& current, QAbstractItemModel& profileModel,
                QWidget* parent = nullptr);

    /// The case may have changed: recomputed at once while the page is shown, else when it is
    /// shown next. Only the chosen barrier's mark changes when nothing else did.
    void caseChanged();

    /// The safety margin (degrees Celsius, 0 for none) that decides "safe" and the
    /// recommendation; recomputed as a change of the case would be.
    void setMargin(double celsius);

    /// The comparison of the case as it is now (recomputed if needed); no value when the
    /// tracer type or the environment is not chosen.
    const std::optional<core::ComparisonOutcome>& comparison();

    /// A calibrated barrier to add as a row and a curve after the table's (none: no row).
    void setCalibrated(std::optional<core::CalibratedBarrier> barrier);

signals:
    /// The user chose the row of this model (by click, Enter or Return).
    void barrierChosen(int model);

protected:
    void showEvent(QShowEvent* event) override;

private:
    void setUpTable();
    /// Compares again on every change to the profile's table.
    void watchProfile(const QAbstractItemModel& profileModel);
    void refresh();
    void showComparison();
    void fillRow(int row, const core::BarrierResult& b);
    void showChosen();
    void showRecommendation();
    void rowChosen(int row);
    /// Appends the calibrated barrier's row to the comparison, when it fits the case.
    void addCalibrated(const core::SafetySettings& safety);

    const core::Case& m_case;
    /// The case last compared, its model set aside (a new model changes only the marks).
    std::optional<core::Case> m_compared;
    double m_margin = 0.0;
    double m_comparedMargin = 0.0;
    std::optional<core::ComparisonOutcome> m_outcome;
    bool m_stale = true;
    std::optional<core::CalibratedBarrier> m_calibrated;

    QLabel* m_recommendation;
    QTableWidget* m_table;
    CompareChart* m_chart;
};

} // namespace kvh::ui
