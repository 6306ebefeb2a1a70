#pragma once
// The fit dialog `dlgFit`: read a recording, pick the process and the logger column, fit the
// case's barrier to it and save the fit as a calibrated barrier under a name.

#include "core/case.h"
#include "core/fit.h"
#include "core/recording.h"

#include <QDialog>

#include <optional>

QT_BEGIN_NAMESPACE
class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
QT_END_NAMESPACE

namespace kvh::platform {
class Platform;
}

namespace kvh::ui {

class CalibrationStore;

class FitDialog : public QDialog {
    Q_OBJECT
public:
    /// Fits the barrier of `current` (the window's case, read at each fit).
    FitDialog(platform::Platform& platform, const core::Case& current,
              const CalibrationStore& store, QWidget* parent = nullptr);

    /// Reads a recording and offers its columns; false (after a message) when it cannot.
    bool loadRecording(const QString& path);
    /// Fits with the chosen columns and shows the figures; false (after a message) when the
    /// columns cannot be used.
    bool fit();
    /// Saves the last fit under the name typed; false when nothing was saved.
    bool save();

    const std::optional<core::BarrierFit>& lastFit() const { return m_fit; }

signals:
    /// A calibrated barrier of this name was saved.
    void saved(const QString& name);

private:
    void chooseRecording();
    void showColumns();
    void tell(const QString& text);

    platform::Platform& m_platform;
    const core::Case& m_case;
    const CalibrationStore& m_store;
    std::optional<core::Recording> m_recording;
    QString m_recordingPath;
    std::optional<core::BarrierFit> m_fit;
    core::SetupState m_fittedSetup;

    QLabel* m_found;
    QComboBox* m_process;
    QComboBox* m_logger;
    QPushButton* m_fitButton;
    QPlainTextEdit* m_figures;
    QLineEdit* m_name;
    QPushButton* m_save;
};

} // namespace kvh::ui
