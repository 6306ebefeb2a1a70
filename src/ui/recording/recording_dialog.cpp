#include "ui/recording/recording_dialog.h"

#include "core/numbers.h"
#include "ui/qt_text.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

namespace kvh::ui {

namespace {

const QString kProfileTitle = QStringLiteral("Profile from Recording");
const QString kMeasuredTitle = QStringLiteral("Attach Measured Recording");
const QString kMinutesHeader = QStringLiteral("Minutes");
const QString kFieldName = QStringLiteral("Field %1");
const QString kOrderUnknown = QStringLiteral("(not settled by the data)");
const QString kDayFirst = QStringLiteral("Day before month");
const QString kMonthFirst = QStringLiteral("Month before day");
const QString kNotNeeded = QStringLiteral("(no slash dates)");
constexpr double kMaxTolerance = 1000.0;
constexpr double kMaxOffset = 1'000'000.0;

/// A sample as the preview shows it: up to three decimals, empty when missing.
QString cellText(double value) {
    if (std::isnan(value))
        return {};
    return qs(core::plainNumberText(core::roundHalfEven(value * 1000.0) / 1000.0));
}

QDoubleSpinBox* numberBox(const QString& name, double low, double high, double value) {
    auto* box = new QDoubleSpinBox;
    box->setObjectName(name);
    // The program reads and shows numbers the same way in every locale.
    box->setLocale(QLocale::c());
    box->setDecimals(2);
    box->setRange(low, high);
    box->setValue(value);
    return box;
}

} // namespace

RecordingDialog::RecordingDialog(Purpose purpose, const QString& fileName, std::string bytes,
                                 const core::RecordingOptions& options, double tolerance,
                                 double offset, QWidget* parent)
    : QDialog(parent), m_bytes(std::move(bytes)), m_options(options), m_file(new QLabel(fileName)),
      m_found(new QPlainTextEdit), m_preview(new QTableWidget), m_timeColumn(new QComboBox),
      m_dateOrder(new QComboBox), m_process(new QComboBox), m_logger(new QComboBox),
      m_tolerance(numberBox(QStringLiteral("txtTolerance"), 0.01, kMaxTolerance, tolerance)),
      m_offset(numberBox(QStringLiteral("txtOffset"), -kMaxOffset, kMaxOffset, offset)),
      m_buttons(new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel)) {
    build(purpose);
    readAgain();
}

void RecordingDialog::build(Purpose purpose) {
    setObjectName(QStringLiteral("frmRecording"));
    setWindowTitle(purpose == Purpose::Profile ? kProfileTitle : kMeasuredTitle);
    m_file->setObjectName(QStringLiteral("lblRecordingFile"));
    m_found->setObjectName(QStringLiteral("txtRecordingFound"));
    m_found->setAccessibleName(QStringLiteral("What the recording holds"));
    m_found->setReadOnly(true);
    m_preview->setObjectName(QStringLiteral("tblRecordingPreview"));
    m_preview->setAccessibleName(QStringLiteral("Preview of the samples"));
    m_preview->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_timeColumn->setObjectName(QStringLiteral("cboTimeColumn"));
    m_dateOrder->setObjectName(QStringLiteral("cboDateOrder"));
    m_process->setObjectName(QStringLiteral("cboProcessColumn"));
    m_logger->setObjectName(QStringLiteral("cboLoggerColumn"));
    m_buttons->setObjectName(QStringLiteral("cmdRecordingButtons"));

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("File:"), m_file);
    form->addRow(QStringLiteral("&Time column:"), m_timeColumn);
    form->addRow(QStringLiteral("&Date order:"), m_dateOrder);
    form->addRow(QStringLiteral("&Process column:"), m_process);
    form->addRow(QStringLiteral("&Logger column:"), m_logger);
    if (purpose == Purpose::Profile)
        form->addRow(QStringLiteral("T&olerance (degrees):"), m_tolerance);
    else
        form->addRow(QStringLiteral("&Offset (recording minutes before the profile's start):"),
                     m_offset);
    m_tolerance->setVisible(purpose == Purpose::Profile);
    m_offset->setVisible(purpose == Purpose::Measured);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(m_found);
    layout->addWidget(m_preview, 1);
    layout->addWidget(m_buttons);

    m_dateOrder->addItems({kNotNeeded, kDayFirst, kMonthFirst});
    connect(m_buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(m_buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_timeColumn, &QComboBox::activated, this, &RecordingDialog::timeColumnChosen);
    connect(m_dateOrder, &QComboBox::activated, this, &RecordingDialog::dateOrderChosen);
    resize(640, 560);
}

void RecordingDialog::readAgain() {
    core::RecordingOutcome outcome = core::readRecording(m_bytes, m_options);
    bool needsOrder = false;
    if (auto* error = std::get_if<core::RecordingError>(&outcome)) {
        m_recording.reset();
        needsOrder = error->needsDateOrder;
        showFound({qs(error->reason)});
    } else {
        m_recording = std::move(std::get<core::Recording>(outcome));
        QStringList lines;
        for (const std::string& line : core::describeRecording(*m_recording))
            lines.append(qs(line));
        showFound(lines);
    }
    const bool slashDates =
        needsOrder || (m_recording && m_recording->timeForm == core::TimeForm::DateTime &&
                       m_recording->dateOrder != core::DateOrder::Unknown);
    m_dateOrder->setEnabled(slashDates);
    m_dateOrder->setItemText(0, needsOrder ? kOrderUnknown : kNotNeeded);
    m_dateOrder->setCurrentIndex(m_recording ? static_cast<int>(m_recording->dateOrder) : 0);
    m_buttons->button(QDialogButtonBox::Ok)->setEnabled(m_recording.has_value());
    fillChoices();
    fillPreview();
}

void RecordingDialog::showFound(const QStringList& lines) {
    m_found->setPlainText(lines.join(QLatin1Char('\n')));
}

void RecordingDialog::fillChoices() {
    m_filling = true;
    const int process = std::max(m_process->currentIndex(), 0);
    const int logger = m_logger->currentIndex();
    m_process->clear();
    m_logger->clear();
    m_timeColumn->clear();
    if (m_recording) {
        for (size_t f = 0; f < m_recording->fieldNames.size(); ++f) {
            const QString name = qs(m_recording->fieldNames[f]);
            m_timeColumn->addItem(name.isEmpty() ? kFieldName.arg(f + 1) : name);
        }
        m_timeColumn->setCurrentIndex(m_recording->timeColumn);
        for (const core::RecordingColumn& c : m_recording->columns) {
            m_process->addItem(qs(c.name));
            m_logger->addItem(qs(c.name));
        }
        const int count = m_process->count();
        m_process->setCurrentIndex(std::min(process, count - 1));
        // The logger is the column after the process one unless the user chose another.
        m_logger->setCurrentIndex(logger >= 0 && logger < count ? logger : std::min(1, count - 1));
    }
    m_filling = false;
}

void RecordingDialog::fillPreview() {
    m_preview->clear();
    if (!m_recording) {
        m_preview->setRowCount(0);
        m_preview->setColumnCount(0);
        return;
    }
    const core::Recording& r = *m_recording;
    const int rows = static_cast<int>(std::min<size_t>(r.samples(), kPreviewRows));
    m_preview->setRowCount(rows);
    m_preview->setColumnCount(static_cast<int>(r.columns.size()) + 1);
    QStringList headers{kMinutesHeader};
    for (const core::RecordingColumn& c : r.columns)
        headers.append(qs(c.name));
    m_preview->setHorizontalHeaderLabels(headers);
    for (int row = 0; row < rows; ++row) {
        const auto i = static_cast<size_t>(row);
        m_preview->setItem(row, 0, new QTableWidgetItem(cellText(r.minutes[i])));
        for (size_t k = 0; k < r.columns.size(); ++k)
            m_preview->setItem(row, static_cast<int>(k) + 1,
                               new QTableWidgetItem(cellText(r.columns[k].values[i])));
    }
}

void RecordingDialog::timeColumnChosen(int index) {
    if (m_filling || index < 0)
        return;
    m_options.timeColumn = index;
    readAgain();
}

void RecordingDialog::dateOrderChosen(int index) {
    if (m_filling)
        return;
    m_options.dateOrder = static_cast<core::DateOrder>(index);
    readAgain();
}

int RecordingDialog::processColumn() const {
    return m_process->currentIndex();
}

int RecordingDialog::loggerColumn() const {
    return m_logger->currentIndex();
}

double RecordingDialog::tolerance() const {
    return m_tolerance->value();
}

double RecordingDialog::offset() const {
    return m_offset->value();
}

} // namespace kvh::ui
