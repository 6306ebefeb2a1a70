#pragma once
// The dialog over the recording reader: what the reader found, a preview of the samples, and
// the user's choices of the time column, the day/month order of slash dates, which column is
// the process and which the logger, and the tolerance (for a profile) or the offset (for a
// measured curve). Changing the time column or the date order reads the file again.

#include "core/recording.h"

#include <QDialog>

#include <optional>
#include <string>

QT_BEGIN_NAMESPACE
class QComboBox;
class QDialogButtonBox;
class QDoubleSpinBox;
class QLabel;
class QPlainTextEdit;
class QTableWidget;
QT_END_NAMESPACE

namespace kvh::ui {

class RecordingDialog : public QDialog {
    Q_OBJECT
public:
    /// What the recording is read for: a profile from its process column, or the logger column
    /// as measured beside the prediction.
    enum class Purpose { Profile, Measured };

    /// `bytes` is the file's content; `options.caseUnit` the case's display unit.
    RecordingDialog(Purpose purpose, const QString& fileName, std::string bytes,
                    const core::RecordingOptions& options, double tolerance, double offset,
                    QWidget* parent = nullptr);

    /// The recording as last read with the chosen options (none while it cannot be read).
    const std::optional<core::Recording>& recording() const { return m_recording; }
    const core::RecordingOptions& options() const { return m_options; }
    /// Index into the recording's columns.
    int processColumn() const;
    int loggerColumn() const;
    double tolerance() const;
    double offset() const;

    /// Samples the preview shows at most.
    static constexpr int kPreviewRows = 200;

private:
    void build(Purpose purpose);
    /// Reads the bytes with the options and shows what came of it.
    void readAgain();
    void showFound(const QStringList& lines);
    void fillPreview();
    void fillChoices();
    void timeColumnChosen(int index);
    void dateOrderChosen(int index);

    std::string m_bytes;
    core::RecordingOptions m_options;
    std::optional<core::Recording> m_recording;
    QLabel* m_file;
    QPlainTextEdit* m_found;
    QTableWidget* m_preview;
    QComboBox* m_timeColumn;
    QComboBox* m_dateOrder;
    QComboBox* m_process;
    QComboBox* m_logger;
    QDoubleSpinBox* m_tolerance;
    QDoubleSpinBox* m_offset;
    QDialogButtonBox* m_buttons;
    bool m_filling = false;
};

} // namespace kvh::ui
