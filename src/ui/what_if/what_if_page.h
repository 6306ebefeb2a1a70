#pragma once
// The "What If" page (`fraWhatIf`): the safety margin and where the barrier starts; the case run
// with one thing changed, as a tornado chart with the worst case in words; the profile run
// back to back with the shortest safe cooling time; and the spread of the verdict over random
// runs. It recomputes whenever the case changes while it is shown, in the user-interface thread
// once the events of that change have been handled (the runs take milliseconds).

#include "core/case.h"
#include "core/what_if.h"

#include <QWidget>

QT_BEGIN_NAMESPACE
class QAbstractItemModel;
class QCheckBox;
class QDoubleSpinBox;
class QLabel;
class QSpinBox;
class QTableWidget;
class QTimer;
QT_END_NAMESPACE

namespace kvh::ui {

class SafetyMargin;
class TornadoChart;
class UncertaintyChart;

class WhatIfPage : public QWidget {
    Q_OBJECT
public:
    /// Reads `current` (the window's case) whenever it recomputes; `profileModel` tells it of
    /// profile edits, `margin` holds the remembered margin it shows and edits.
    WhatIfPage(const core::Case& current, QAbstractItemModel& profileModel, SafetyMargin& margin,
               QWidget* parent = nullptr);

    /// The case may have changed: recomputed soon while the page is shown, else when shown.
    void caseChanged();
    /// Recomputes at once (the page's own timer calls this).
    void recompute();

    /// The settings every question shares, as the page holds them now.
    core::WhatIfSettings settings() const;

protected:
    void showEvent(QShowEvent* event) override;

private:
    QWidget* buildSettings();
    QWidget* buildBackToBack();
    QWidget* buildUncertainty();
    void showUnits();
    void showVariations();
    void showBackToBack();
    void showUncertainty();
    /// Everything cleared, with the reason the case cannot be answered.
    void showUnanswered(const QString& reason);

    const core::Case& m_case;
    SafetyMargin& m_margin;
    QTimer* m_timer;
    bool m_stale = true;
    bool m_roomEdited = false;

    QDoubleSpinBox* m_marginBox = nullptr;
    QLabel* m_marginShown = nullptr;
    QCheckBox* m_startAtCheck = nullptr;
    QDoubleSpinBox* m_startAt = nullptr;
    QLabel* m_worst = nullptr;
    TornadoChart* m_tornado = nullptr;
    QSpinBox* m_runs = nullptr;
    QSpinBox* m_gap = nullptr;
    QDoubleSpinBox* m_room = nullptr;
    QTableWidget* m_table = nullptr;
    QLabel* m_shortestGap = nullptr;
    QSpinBox* m_uncertaintyRuns = nullptr;
    QSpinBox* m_seed = nullptr;
    QLabel* m_uncertaintyText = nullptr;
    UncertaintyChart* m_band = nullptr;
};

} // namespace kvh::ui
