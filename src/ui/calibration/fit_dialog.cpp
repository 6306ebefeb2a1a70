#include "ui/calibration/fit_dialog.h"

#include "ui/calibration/calibration_store.h"

#include "core/calibrated_barrier.h"
#include "core/fit_recording.h"
#include "platform/platform.h"

#include <QComboBox>
#include <QDate>
#include <QDialogButtonBox>
#include <QFileInfo>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace kvh::ui {

namespace {

const QString kTitle = QStringLiteral("Fit Barrier to Recording");
const QString kRecordingFilter =
    QStringLiteral("Recordings (*.csv *.txt *.tsv *.dat);;All files (*)");
const QString kProfileAsProcess = QStringLiteral("The case's profile");
const QString kNoSetup = QStringLiteral("Choose the model, tracer type and environment first: "
                                        "the fit starts from the table's barrier.");
const QString kDateOrderQuestion =
    QStringLiteral("The recording's dates do not say which is the day and which the month.\n"
                   "Are they written day first (Yes) or month first (No)?");
const QString kPoorSaveQuestion =
    QStringLiteral("The fit is poor. Save it as a calibrated barrier all the same?");
const QString kNoName = QStringLiteral("Give the calibrated barrier a name.");
const QString kReplaceQuestion =
    QStringLiteral("A calibrated barrier named \"%1\" exists. Replace it?");

using platform::Answer;
using platform::Buttons;
using platform::Icon;

QString lines(const std::vector<std::string>& list) {
    QStringList out;
    for (const std::string& line : list)
        out.append(QString::fromStdString(line));
    return out.join(QLatin1Char('\n'));
}

} // namespace

FitDialog::FitDialog(platform::Platform& platform, const core::Case& current,
                     const CalibrationStore& store, QWidget* parent)
    : QDialog(parent), m_platform(platform), m_case(current), m_store(store), m_found(new QLabel),
      m_process(new QComboBox), m_logger(new QComboBox),
      m_fitButton(new QPushButton(QStringLiteral("&Fit"))), m_figures(new QPlainTextEdit),
      m_name(new QLineEdit),
      m_save(new QPushButton(QStringLiteral("&Save as Calibrated Barrier"))) {
    setObjectName(QStringLiteral("dlgFit"));
    setWindowTitle(kTitle);
    auto* open = new QPushButton(QStringLiteral("&Recording..."));
    open->setObjectName(QStringLiteral("cmdRecording"));
    m_found->setObjectName(QStringLiteral("lblRecording"));
    m_found->setWordWrap(true);
    m_found->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_process->setObjectName(QStringLiteral("cboProcess"));
    m_logger->setObjectName(QStringLiteral("cboLogger"));
    m_fitButton->setObjectName(QStringLiteral("cmdFit"));
    m_figures->setObjectName(QStringLiteral("txtFit"));
    m_figures->setReadOnly(true);
    m_figures->setAccessibleName(QStringLiteral("Fitted barrier"));
    m_name->setObjectName(QStringLiteral("txtBarrierName"));
    m_save->setObjectName(QStringLiteral("cmdSaveBarrier"));
    m_fitButton->setEnabled(false);
    m_save->setEnabled(false);

    auto* form = new QFormLayout;
    form->addRow(open, m_found);
    form->addRow(QStringLiteral("&Process column:"), m_process);
    form->addRow(QStringLiteral("&Logger column:"), m_logger);
    form->addRow(m_fitButton);
    form->addRow(m_figures);
    form->addRow(QStringLiteral("&Name:"), m_name);
    form->addRow(m_save);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);
    connect(open, &QPushButton::clicked, this, &FitDialog::chooseRecording);
    connect(m_fitButton, &QPushButton::clicked, this, &FitDialog::fit);
    connect(m_save, &QPushButton::clicked, this, &FitDialog::save);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    resize(640, 520);
}

void FitDialog::tell(const QString& text) {
    m_platform.messageBox(this, text, kTitle, Buttons::Ok, Icon::Warning);
}

void FitDialog::chooseRecording() {
    const QString path =
        m_platform.openFileName(this, QFileInfo(m_recordingPath).path(), kRecordingFilter);
    if (!path.isEmpty())
        loadRecording(path);
}

bool FitDialog::loadRecording(const QString& path) {
    core::RecordingOptions options;
    options.caseUnit =
        m_case.setup.fahrenheit() ? core::TempUnit::Fahrenheit : core::TempUnit::Celsius;
    auto read = core::readRecordingFile(path.toStdString(), options);
    if (const auto* error = std::get_if<core::RecordingError>(&read);
        error && error->needsDateOrder) {
        const bool dayFirst = m_platform.messageBox(this, kDateOrderQuestion, kTitle,
                                                    Buttons::YesNo, Icon::Question) == Answer::Yes;
        options.dateOrder = dayFirst ? core::DateOrder::DayMonth : core::DateOrder::MonthDay;
        read = core::readRecordingFile(path.toStdString(), options);
    }
    if (const auto* error = std::get_if<core::RecordingError>(&read)) {
        tell(QString::fromStdString(error->reason));
        return false;
    }
    m_recording = std::move(std::get<core::Recording>(read));
    m_recordingPath = path;
    m_found->setText(QFileInfo(path).fileName() + QLatin1Char('\n') +
                     lines(core::describeRecording(*m_recording)));
    showColumns();
    return true;
}

void FitDialog::showColumns() {
    m_process->clear();
    m_logger->clear();
    m_process->addItem(kProfileAsProcess);
    const auto& columns = m_recording->columns;
    for (size_t i = 0; i < columns.size(); ++i) {
        const QString item =
            QStringLiteral("%1: %2").arg(i + 1).arg(QString::fromStdString(columns[i].name));
        m_process->addItem(item);
        m_logger->addItem(item);
    }
    // Commonly the oven first and the logger last.
    m_process->setCurrentIndex(columns.size() > 1 ? 1 : 0);
    m_logger->setCurrentIndex(static_cast<int>(columns.size()) - 1);
    m_fitButton->setEnabled(!columns.empty());
}

bool FitDialog::fit() {
    if (!m_recording || m_logger->currentIndex() < 0)
        return false;
    if (!m_case.setup.complete()) {
        tell(kNoSetup);
        return false;
    }
    core::FitColumns columns;
    columns.internal = static_cast<size_t>(m_logger->currentIndex());
    if (m_process->currentIndex() > 0)
        columns.process = static_cast<size_t>(m_process->currentIndex() - 1);
    auto input = core::fitInputFrom(*m_recording, columns, m_case);
    if (const auto* why = std::get_if<std::string>(&input)) {
        tell(QString::fromStdString(*why));
        return false;
    }
    m_fit = core::fitBarrier(std::get<core::FitInput>(input));
    m_fittedSetup = m_case.setup;
    m_figures->setPlainText(lines(core::fitReportLines(*m_fit)));
    if (m_name->text().isEmpty())
        m_name->setText(QString::fromStdString(m_case.setup.modelTag()) +
                        QStringLiteral(" calibrated"));
    m_save->setEnabled(true);
    return true;
}

bool FitDialog::save() {
    if (!m_fit)
        return false;
    const QString name = m_name->text().trimmed();
    if (name.isEmpty()) {
        tell(kNoName);
        return false;
    }
    if (m_fit->poor && m_platform.messageBox(this, kPoorSaveQuestion, kTitle, Buttons::YesNo,
                                             Icon::Question) != Answer::Yes)
        return false;
    if (QFileInfo::exists(m_store.pathFor(name)) &&
        m_platform.messageBox(this, kReplaceQuestion.arg(name), kTitle, Buttons::YesNo,
                              Icon::Question) != Answer::Yes)
        return false;
    core::CalibratedBarrier barrier;
    barrier.name = name.toStdString();
    barrier.modelIndex = m_fittedSetup.modelIndex();
    barrier.tracerIndex = m_fittedSetup.tracerIndex();
    barrier.environIndex = m_fittedSetup.environIndex();
    barrier.fit = *m_fit;
    barrier.recording = QFileInfo(m_recordingPath).fileName().toStdString();
    barrier.date = QDate::currentDate().toString(Qt::ISODate).toStdString();
    if (const QString error = m_store.save(barrier); !error.isEmpty()) {
        tell(error);
        return false;
    }
    emit saved(name);
    return true;
}

} // namespace kvh::ui
