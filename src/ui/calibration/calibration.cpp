#include "ui/calibration/calibration.h"

#include "ui/calibration/fit_dialog.h"
#include "ui/chart/results_chart.h"
#include "ui/pages/compare_page.h"

#include "core/advisor.h"
#include "core/chart_data.h"
#include "core/comparison_csv.h"

#include <QComboBox>
#include <QLabel>

namespace kvh::ui {

namespace {

const QString kTableValues = QStringLiteral("Table values");
const QString kChooserName = QStringLiteral("Calibrated barrier");
const QString kChooserTip = QStringLiteral(
    "Runs the case also with a barrier calibrated from a measured run (Fit Barrier to "
    "Recording), beside the table's barrier");
const QString kHeading = QStringLiteral("Calibrated barrier %1: %2");
const QString kCurveName = QStringLiteral("Calibrated: %1");
const QString kSafeDwell = QStringLiteral("Safe dwell at the hottest dwell step: %1");
const QString kRunFailed = QStringLiteral("Calibrated barrier %1: %2");

QString q(const std::string& text) {
    return QString::fromStdString(text);
}

QString safeDwellLine(const core::SafeDwell& dwell) {
    switch (dwell.kind) {
    case core::SafeDwell::Kind::NoDwellRow:
        return {};
    case core::SafeDwell::Kind::None:
        return kSafeDwell.arg(QStringLiteral("none"));
    case core::SafeDwell::Kind::Capped:
        return kSafeDwell.arg(QStringLiteral("%1 minutes (longest run)").arg(dwell.minutes));
    case core::SafeDwell::Kind::Minutes:
        break;
    }
    return kSafeDwell.arg(QStringLiteral("%1 minutes").arg(dwell.minutes));
}

/// The calibrated run in the results page's words, one line each.
QString runLines(const core::CalibratedBarrier& barrier, const core::CalibratedRun& run,
                 bool fahrenheit) {
    QStringList lines{
        kHeading.arg(q(core::describeCalibratedBarrier(barrier)), q(run.evaluation.verdict))};
    lines += q(run.evaluation.summary).split(QStringLiteral("\r\n"));
    if (const QString dwell = safeDwellLine(run.safeDwell); !dwell.isEmpty())
        lines += dwell;
    lines += q(core::afterEndText(run.peak, fahrenheit));
    return lines.join(QLatin1Char('\n'));
}

} // namespace

Calibration::Calibration(platform::Platform& platform, const core::Case& current, QWidget* window)
    : QObject(window), m_platform(platform), m_case(current), m_window(window),
      m_chooser(new QComboBox), m_lines(new QLabel) {
    m_chooser->setObjectName(QStringLiteral("cboCalibrated"));
    m_chooser->setAccessibleName(kChooserName);
    m_chooser->setToolTip(kChooserTip);
    m_lines->setObjectName(QStringLiteral("txtCalibrated"));
    m_lines->setAccessibleName(kChooserName);
    m_lines->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    m_lines->setWordWrap(true);
    m_lines->hide();
    fillChooser();
    connect(m_chooser, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (m_filling)
            return;
        m_chosen.reset();
        if (index > 0 && index <= m_offered.size())
            m_chosen = m_offered[index - 1];
        emit chosenChanged();
    });
}

void Calibration::fillChooser() {
    m_filling = true;
    m_chooser->clear();
    m_chooser->addItem(kTableValues);
    int current = 0;
    for (qsizetype i = 0; i < m_offered.size(); ++i) {
        m_chooser->addItem(q(core::describeCalibratedBarrier(m_offered[i])));
        if (m_chosen && m_offered[i].name == m_chosen->name)
            current = static_cast<int>(i) + 1;
    }
    if (current == 0)
        m_chosen.reset();
    m_chooser->setCurrentIndex(current);
    m_chooser->setEnabled(!m_offered.isEmpty());
    m_filling = false;
}

void Calibration::setupChanged() {
    const bool had = m_chosen.has_value();
    m_offered =
        m_case.setup.complete() ? m_store.matching(m_case.setup) : QList<core::CalibratedBarrier>{};
    fillChooser();
    if (had && !m_chosen)
        emit chosenChanged();
}

void Calibration::choose(const QString& name) {
    for (qsizetype i = 0; i < m_offered.size(); ++i)
        if (q(m_offered[i].name) == name) {
            m_chooser->setCurrentIndex(static_cast<int>(i) + 1);
            return;
        }
    m_chooser->setCurrentIndex(0);
}

void Calibration::hideRun(ResultsChart& chart) {
    m_lines->clear();
    m_lines->hide();
    chart.showCalibratedCurve({}, {});
}

void Calibration::showRun(ResultsChart& chart) {
    hideRun(chart);
    if (!m_chosen || !core::matchesSetup(*m_chosen, m_case.setup))
        return;
    auto outcome = core::runCalibrated(m_case, *m_chosen);
    if (const auto* error = std::get_if<core::RunError>(&outcome)) {
        m_lines->setText(kRunFailed.arg(q(m_chosen->name), q(core::describeError(*error))));
        m_lines->show();
        return;
    }
    const auto& run = std::get<core::CalibratedRun>(outcome);
    m_lines->setText(runLines(*m_chosen, run, m_case.setup.fahrenheit()));
    m_lines->show();
    const core::ChartData data =
        core::buildChartData(run.run, m_case.setup, true, ResultsChart::kDataBuckets);
    chart.showCalibratedCurve(kCurveName.arg(q(m_chosen->name)), data.internal);
}

QString Calibration::printedLines() const {
    return m_lines->isHidden() ? QString() : m_lines->text();
}

void Calibration::showFitDialog() {
    FitDialog dialog(m_platform, m_case, m_store, m_window);
    connect(&dialog, &FitDialog::saved, this, [this](const QString& name) {
        setupChanged();
        choose(name);
    });
    dialog.exec();
}

} // namespace kvh::ui
