#include "ui/recording/recording_actions.h"

#include "core/dew_file.h"
#include "core/file_io.h"
#include "core/profile_maker.h"
#include "platform/platform.h"
#include "ui/chart/results_chart.h"
#include "ui/editing/case_editor.h"
#include "ui/editing/save_flow.h"
#include "ui/pages/results_page.h"
#include "ui/qt_text.h"
#include "ui/recording/recording_dialog.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <QMenu>
#include <memory>

namespace kvh::ui {

namespace {

using platform::Buttons;
using platform::Icon;

const QString kProfileCaption = QStringLiteral("&Profile from Recording...");
const QString kAttachCaption = QStringLiteral("Attach &Measured Recording...");
const QString kDetachCaption = QStringLiteral("&Detach Measured Recording");
/// The undo history's name for the command.
const QString kProfileName = QStringLiteral("Profile from Recording");
const QString kProfileTitle = QStringLiteral("Profile from Recording");
const QString kMeasuredTitle = QStringLiteral("Measured Recording");
const QString kReadError = QStringLiteral("The recording %1 cannot be read: %2");
const QString kFilter = QStringLiteral("Recordings (*.csv *.txt *.tsv *.dat *.log);;All Files (*)");

core::TempUnit unitOf(const core::SetupState& setup) {
    return setup.celsius() ? core::TempUnit::Celsius : core::TempUnit::Fahrenheit;
}

std::string localPath(const QString& path) {
    return QFile::encodeName(path).toStdString();
}

/// Whether a column took the case's unit when it was read (a header without a unit).
bool followsCaseUnit(const core::Recording& r) {
    return std::any_of(r.columns.begin(), r.columns.end(), [](const core::RecordingColumn& c) {
        return c.unitSource == core::UnitSource::CaseUnit;
    });
}

} // namespace

RecordingActions::RecordingActions(const Host& host, QMenu* menu)
    : QObject(host.window), m_host(host) {
    menu->addSeparator();
    addItem(menu, QStringLiteral("mnuProfileFromRecording"), kProfileCaption,
            &RecordingActions::makeProfileFromRecording);
    addItem(menu, QStringLiteral("mnuAttachMeasured"), kAttachCaption,
            &RecordingActions::attachMeasured);
    m_detach = addItem(menu, QStringLiteral("mnuDetachMeasured"), kDetachCaption,
                       &RecordingActions::detachMeasured);
    m_detach->setEnabled(false);
}

QAction* RecordingActions::addItem(QMenu* menu, const QString& name, const QString& caption,
                                   void (RecordingActions::*handler)()) {
    QAction* action = menu->addAction(caption);
    action->setObjectName(name);
    connect(action, &QAction::triggered, this, handler);
    return action;
}

void RecordingActions::tell(const QString& text, const QString& title) {
    m_host.platform.messageBox(m_host.window, text, title, Buttons::Ok, Icon::Warning);
}

std::optional<std::pair<QString, std::string>> RecordingActions::askRecording() {
    const QString path =
        m_host.platform.openFileName(m_host.window, SaveFlow::startFolder(m_casePath), kFilter);
    if (path.isEmpty())
        return std::nullopt;
    auto bytes = core::readFileBytes(localPath(path), core::kMaxRecordingBytes);
    if (const auto* error = std::get_if<core::FileError>(&bytes)) {
        tell(kReadError.arg(QDir::toNativeSeparators(path), qs(error->reason)), kMeasuredTitle);
        return std::nullopt;
    }
    return std::pair{path, std::move(std::get<std::string>(bytes))};
}

std::unique_ptr<RecordingDialog> RecordingActions::askAndShow(RecordingDialog::Purpose purpose,
                                                              double tolerance, double offset,
                                                              QString& path) {
    auto file = askRecording();
    if (!file)
        return nullptr;
    path = file->first;
    core::RecordingOptions options;
    options.caseUnit = unitOf(m_host.editor.theCase().setup);
    auto dialog = std::make_unique<RecordingDialog>(purpose, QFileInfo(path).fileName(),
                                                    std::move(file->second), options, tolerance,
                                                    offset, m_host.window);
    if (dialog->exec() != QDialog::Accepted || !dialog->recording())
        return nullptr;
    return dialog;
}

void RecordingActions::makeProfileFromRecording() {
    const core::Case& c = m_host.editor.theCase();
    QString path;
    const auto dialog = askAndShow(RecordingDialog::Purpose::Profile,
                                   core::defaultTolerance(c.setup.celsius()), 0.0, path);
    if (!dialog || dialog->processColumn() < 0)
        return;
    const std::vector<double> trace = core::resampleToMinutes(
        *dialog->recording(), static_cast<size_t>(dialog->processColumn()), unitOf(c.setup));
    auto made = core::makeProfileRows(trace, dialog->tolerance(), core::kMaxProfileRows);
    if (const auto* why = std::get_if<std::string>(&made)) {
        tell(qs(*why), kProfileTitle);
        return;
    }
    const core::Case next = core::caseWithRows(c, std::get<std::vector<core::MadeRow>>(made));
    m_host.editor.replaceProfile(kProfileName, next.profile);
}

void RecordingActions::attachMeasured() {
    QString path;
    const auto dialog = askAndShow(RecordingDialog::Purpose::Measured, 1.0,
                                   m_attachment ? m_attachment->offset : 0.0, path);
    if (!dialog || dialog->loggerColumn() < 0)
        return;
    MeasuredAttachment a{QFileInfo(path).absoluteFilePath(), dialog->options(),
                         dialog->loggerColumn(), dialog->offset()};
    m_recording = dialog->recording();
    m_attachment = a;
    m_store.remember(m_casePath, a);
    m_detach->setEnabled(true);
    m_host.rerun();
}

void RecordingActions::detachMeasured() {
    m_store.forget(m_casePath);
    attach(std::nullopt);
    m_host.rerun();
}

void RecordingActions::attach(std::optional<MeasuredAttachment> attachment) {
    m_attachment = std::move(attachment);
    m_recording.reset();
    m_lines.clear();
    if (m_attachment && !loadAttachment())
        m_attachment.reset();
    m_detach->setEnabled(m_attachment.has_value());
}

bool RecordingActions::loadAttachment() {
    core::RecordingOptions options = m_attachment->options;
    options.caseUnit = unitOf(m_host.editor.theCase().setup);
    auto outcome = core::readRecordingFile(localPath(m_attachment->tracePath), options);
    if (const auto* error = std::get_if<core::RecordingError>(&outcome)) {
        tell(kReadError.arg(QDir::toNativeSeparators(m_attachment->tracePath), qs(error->reason)),
             kMeasuredTitle);
        return false;
    }
    m_recording = std::move(std::get<core::Recording>(outcome));
    return true;
}

void RecordingActions::caseOpened(const QString& path) {
    m_casePath = path;
    attach(m_store.find(path));
}

void RecordingActions::caseSaved(const QString& path) {
    if (path.isEmpty() || path == m_casePath)
        return;
    m_casePath = path;
    if (m_attachment)
        m_store.remember(path, *m_attachment);
}

void RecordingActions::showMeasured(const core::RunResult& run, const core::SetupState& setup,
                                    ResultsChart& chart, ResultsPage& page) {
    m_lines.clear();
    const core::TempUnit unit = unitOf(setup);
    // A header without a unit takes the case's: read again when the case's unit has changed.
    if (m_recording && followsCaseUnit(*m_recording) && m_recording->columns.front().unit != unit &&
        !loadAttachment())
        m_recording.reset();
    std::vector<core::ChartPoint> points;
    const auto column = m_attachment ? static_cast<size_t>(m_attachment->column) : 0;
    if (m_recording && column < m_recording->columns.size()) {
        const core::MeasuredTrace trace =
            core::measuredFromRecording(*m_recording, column, unit, m_attachment->offset);
        if (const auto cmp = core::compareMeasured(run, trace)) {
            for (const std::string& line : core::measuredLines(*cmp, setup.celsius()))
                m_lines.append(qs(line));
            const double scale = setup.minutes() ? 1.0 : 1.0 / 60.0;
            // The chart shows the run's minute index 60 + m at m + 1 elapsed minutes.
            for (size_t i = 0; i < cmp->measured.size(); ++i)
                points.push_back(
                    {static_cast<double>(cmp->firstMinute + static_cast<int64_t>(i) + 1) * scale,
                     static_cast<double>(cmp->measured[i])});
        } else {
            m_lines.append(qs(core::kNoOverlapText));
        }
    }
    chart.setMeasured(points);
    page.showMeasured(m_lines.join(QStringLiteral("\n")));
}

} // namespace kvh::ui
