#pragma once
// The window's calibrated barriers: the chooser under the model choice, the fit dialog, and
// the calibrated run shown beside the specified one (results lines, chart curve, printed
// lines). The window hands in the pieces it shows them on; nothing here knows the window.

#include "core/calibrated_barrier.h"
#include "ui/calibration/calibration_store.h"

#include <QObject>
#include <QString>

#include <optional>

QT_BEGIN_NAMESPACE
class QComboBox;
class QLabel;
class QWidget;
QT_END_NAMESPACE

namespace kvh::platform {
class Platform;
}

namespace kvh::ui {

class ResultsChart;

class Calibration : public QObject {
    Q_OBJECT
public:
    /// `current` is the window's case; `window` parents the dialogs.
    Calibration(platform::Platform& platform, const core::Case& current, QWidget* window);

    CalibrationStore& store() { return m_store; }
    /// The list `cboCalibrated`, for the setup page to show under the models.
    QComboBox* chooser() const { return m_chooser; }
    /// The lines `txtCalibrated`, for the results page to show under the summary.
    QLabel* resultLines() const { return m_lines; }

    /// Offers the calibrated barriers of the case's model, tracer type and environment; a
    /// choice that no longer matches is cleared.
    void setupChanged();
    /// The calibrated barrier chosen for the case, if any.
    const std::optional<core::CalibratedBarrier>& chosen() const { return m_chosen; }
    /// Chooses the barrier of this name when the list offers it (none: "Table values").
    void choose(const QString& name);

    /// Runs the case with the chosen barrier and shows its lines and curve (with none chosen
    /// or a failed run: hides them). Call after the specified run has been plotted.
    void showRun(ResultsChart& chart);
    /// Hides the calibrated lines and curve (the specified run failed).
    void hideRun(ResultsChart& chart);
    /// The lines the printed page adds (empty without a calibrated run shown).
    QString printedLines() const;

    /// The fit dialog, modal; a saved barrier is offered at once and chosen.
    void showFitDialog();

signals:
    /// The user chose another calibrated barrier (or the table's values).
    void chosenChanged();

private:
    void fillChooser();

    platform::Platform& m_platform;
    const core::Case& m_case;
    QWidget* m_window;
    CalibrationStore m_store;
    QComboBox* m_chooser;
    QLabel* m_lines;
    QList<core::CalibratedBarrier> m_offered;
    std::optional<core::CalibratedBarrier> m_chosen;
    bool m_filling = false;
};

} // namespace kvh::ui
