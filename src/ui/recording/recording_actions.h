#pragma once
// The window's recording commands: "Profile from Recording..." (the profile replaced by rows
// made from a recording's process column, one undo step), "Attach Measured Recording..." and
// "Detach Measured Recording" (a logger column drawn beside the prediction, with the comparison
// figures on the results page and the printed page). The room talks to the window through the
// few calls of Host, not the window itself.

#include "core/measured.h"
#include "ui/recording/measured_store.h"
#include "ui/recording/recording_dialog.h"

#include <QObject>
#include <QStringList>

#include <functional>
#include <memory>
#include <optional>

QT_BEGIN_NAMESPACE
class QAction;
class QMenu;
class QSettings;
class QWidget;
QT_END_NAMESPACE

namespace kvh::platform {
class Platform;
}

namespace kvh::ui {

class CaseEditor;
class ResultsChart;
class ResultsPage;

class RecordingActions : public QObject {
    Q_OBJECT
public:
    /// What the commands need of the window.
    struct Host {
        platform::Platform& platform;
        QWidget* window;
        CaseEditor& editor;
        /// Runs the model again and shows it, when the results page is up.
        std::function<void()> rerun;
    };

    /// Adds the commands to `menu`.
    RecordingActions(const Host& host, QMenu* menu);

    void setSettings(QSettings* settings) { m_store.setSettings(settings); }
    /// A case file was opened: its remembered recording (if any) is attached, else none.
    void caseOpened(const QString& path);
    /// The case was saved under `path`: the attachment is remembered for that file.
    void caseSaved(const QString& path);

    /// After a successful run: the "Measured" curve on the chart and the comparison on the
    /// page, or neither when no recording is attached.
    void showMeasured(const core::RunResult& run, const core::SetupState& setup,
                      ResultsChart& chart, ResultsPage& page);
    /// The comparison lines of the last run shown (empty without a recording).
    const QStringList& measuredLines() const { return m_lines; }
    const std::optional<MeasuredAttachment>& attachment() const { return m_attachment; }

    void makeProfileFromRecording();
    void attachMeasured();
    void detachMeasured();

private:
    QAction* addItem(QMenu* menu, const QString& name, const QString& caption,
                     void (RecordingActions::*handler)());
    /// Asks for a recording file and reads its bytes; nothing when cancelled or unreadable
    /// (the message has been shown).
    std::optional<std::pair<QString, std::string>> askRecording();
    /// Asks for a recording and shows it in the dialog for `purpose`; the dialog once accepted
    /// with a recording read (`path` names the file), else null.
    std::unique_ptr<RecordingDialog> askAndShow(RecordingDialog::Purpose purpose, double tolerance,
                                                double offset, QString& path);
    /// Reads the attached recording again (it may have changed on disk); false with a notice.
    bool loadAttachment();
    void attach(std::optional<MeasuredAttachment> attachment);
    void tell(const QString& text, const QString& title);

    Host m_host;
    MeasuredStore m_store;
    QString m_casePath;
    std::optional<MeasuredAttachment> m_attachment;
    std::optional<core::Recording> m_recording;
    QStringList m_lines;
    QAction* m_detach = nullptr;
};

} // namespace kvh::ui
