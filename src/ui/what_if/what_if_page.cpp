#include "ui/what_if/what_if_page.h"

#include "core/advisor.h"
#include "core/numbers.h"
#include "core/setup.h"
#include "ui/qt_text.h"
#include "ui/what_if/safety_margin.h"
#include "ui/what_if/tornado_chart.h"
#include "ui/what_if/uncertainty_chart.h"

#include <QAbstractItemModel>
#include <QCheckBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLocale>
#include <QSpinBox>
#include <QTableWidget>
#include <QTimer>
#include <QVBoxLayout>

#include <limits>

namespace kvh::ui {

namespace {

const QString kMarginCaption = QStringLiteral("Safety &margin:");
const QString kMarginTip = QStringLiteral(
    "Safe means both the maximum and the maximum through 20 minutes after the end stay this "
    "far below the limit. Used here and on the Compare Barriers page; PASS and FAIL do not "
    "change.");
const QString kMarginShown = QStringLiteral("(%1 below the limit)");
const QString kStartAtCaption = QStringLiteral("Barrier &starts at:");
const QString kStartAtTip = QStringLiteral(
    "Both stages of the barrier start at this temperature instead of the profile's start "
    "temperature, as when a barrier is reused before it cooled.");
const QString kVariationsTitle = QStringLiteral("One thing changed");
const QString kBackToBackTitle = QStringLiteral("Back-to-back runs");
const QString kRunsCaption = QStringLiteral("&Runs:");
const QString kGapCaption = QStringLiteral("&Cooling between runs:");
const QString kRoomCaption = QStringLiteral("R&oom temperature:");
const QString kMinutesSuffix = QStringLiteral(" min");
const QStringList kRunHeaders{QStringLiteral("Run"), QStringLiteral("Max. Internal"),
                              QStringLiteral("Max. Dwell"), QStringLiteral("Verdict"),
                              QStringLiteral("Warning")};
const QString kRunTableName = QStringLiteral("Back-to-back runs");
const QString kShortestGap = QStringLiteral("Shortest safe cooling time between runs: %1 minutes.");
const QString kNoSafeGap =
    QStringLiteral("No cooling time up to 10,000 minutes makes every run safe.");
const QString kUncertaintyTitle = QStringLiteral("Uncertainty");
const QString kUncertaintyRunsCaption = QStringLiteral("Random r&uns:");
const QString kSeedCaption = QStringLiteral("S&eed:");
const QString kUncertaintyFigures = QStringLiteral(
    "Over %1 runs the maximum is %2 (5th percentile), %3 (median), %4 (95th percentile); %5 % "
    "of the runs reach the limit (standard error %6 %).");
const QString kTooMuchWork = QStringLiteral(
    "Too many minutes to run at every change: at most %1 random runs for this profile.");
/// Minutes of random runs the page computes at a change (about a tenth of a second).
constexpr int64_t kUncertaintyBudget = 20'000'000;
const QString kYes = QStringLiteral("yes");
const QString kNo = QStringLiteral("no");

QString oneDecimal(double value) {
    return qs(core::formatPattern(value, core::Pattern::OneDec));
}

QLabel* selectableLabel(const QString& name) {
    auto* label = new QLabel;
    label->setObjectName(name);
    label->setWordWrap(true);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    return label;
}

QDoubleSpinBox* temperatureBox(const QString& name, double low, double high) {
    auto* box = new QDoubleSpinBox;
    box->setObjectName(name);
    box->setRange(low, high);
    box->setDecimals(1);
    box->setKeyboardTracking(false);
    // "." as the decimal point, as everywhere else in the program, whatever the locale.
    box->setLocale(QLocale::c());
    return box;
}

QSpinBox* wholeBox(const QString& name, int low, int high, int value) {
    auto* box = new QSpinBox;
    box->setObjectName(name);
    box->setRange(low, high);
    box->setValue(value);
    box->setKeyboardTracking(false);
    return box;
}

} // namespace

WhatIfPage::WhatIfPage(const core::Case& current, QAbstractItemModel& profileModel,
                       SafetyMargin& margin, QWidget* parent)
    : QWidget(parent), m_case(current), m_margin(margin), m_timer(new QTimer(this)) {
    setObjectName(QStringLiteral("fraWhatIf"));
    m_timer->setSingleShot(true);
    m_timer->setInterval(0);
    connect(m_timer, &QTimer::timeout, this, &WhatIfPage::recompute);

    auto* variations = new QGroupBox(kVariationsTitle);
    auto* variationsLayout = new QVBoxLayout(variations);
    m_worst = selectableLabel(QStringLiteral("lblWorstCase"));
    QFont bold = m_worst->font();
    bold.setBold(true);
    m_worst->setFont(bold);
    m_tornado = new TornadoChart;
    variationsLayout->addWidget(m_worst);
    variationsLayout->addWidget(m_tornado, 1);

    auto* left = new QVBoxLayout;
    left->addWidget(buildSettings());
    left->addWidget(variations, 1);
    auto* right = new QVBoxLayout;
    right->addWidget(buildBackToBack());
    right->addWidget(buildUncertainty(), 1);
    auto* layout = new QHBoxLayout(this);
    layout->addLayout(left, 1);
    layout->addLayout(right, 1);

    const QAbstractItemModel* model = &profileModel;
    connect(model, &QAbstractItemModel::modelReset, this, &WhatIfPage::caseChanged);
    connect(model, &QAbstractItemModel::layoutChanged, this, &WhatIfPage::caseChanged);
    connect(model, &QAbstractItemModel::dataChanged, this, &WhatIfPage::caseChanged);
    connect(model, &QAbstractItemModel::headerDataChanged, this, &WhatIfPage::caseChanged);
    connect(model, &QAbstractItemModel::rowsInserted, this, &WhatIfPage::caseChanged);
    connect(model, &QAbstractItemModel::rowsRemoved, this, &WhatIfPage::caseChanged);
    connect(&m_margin, &SafetyMargin::changed, this, [this](double celsius) {
        const QSignalBlocker block(m_marginBox);
        m_marginBox->setValue(celsius);
        caseChanged();
    });
    showUnits();
}

QWidget* WhatIfPage::buildSettings() {
    auto* box = new QWidget;
    auto* form = new QFormLayout(box);
    form->setContentsMargins(0, 0, 0, 0);
    m_marginBox = temperatureBox(QStringLiteral("txtMargin"), 0, 1000);
    m_marginBox->setSuffix(qs(core::unitAfterNumber(false)));
    m_marginBox->setValue(m_margin.celsius());
    m_marginBox->setToolTip(kMarginTip);
    m_marginShown = new QLabel;
    m_marginShown->setObjectName(QStringLiteral("lblMarginShown"));
    auto* marginRow = new QHBoxLayout;
    marginRow->addWidget(m_marginBox);
    marginRow->addWidget(m_marginShown, 1);
    form->addRow(kMarginCaption, marginRow);
    connect(m_marginBox, &QDoubleSpinBox::valueChanged, &m_margin, &SafetyMargin::setCelsius);

    m_startAtCheck = new QCheckBox(kStartAtCaption);
    m_startAtCheck->setObjectName(QStringLiteral("chkStartAt"));
    m_startAtCheck->setToolTip(kStartAtTip);
    m_startAt = temperatureBox(QStringLiteral("txtStartAt"), -1000, 10000);
    m_startAt->setEnabled(false);
    m_startAt->setAccessibleName(QStringLiteral("Barrier starts at"));
    form->addRow(m_startAtCheck, m_startAt);
    connect(m_startAtCheck, &QCheckBox::toggled, this, [this](bool on) {
        m_startAt->setEnabled(on);
        caseChanged();
    });
    connect(m_startAt, &QDoubleSpinBox::valueChanged, this, &WhatIfPage::caseChanged);
    return box;
}

QWidget* WhatIfPage::buildBackToBack() {
    auto* group = new QGroupBox(kBackToBackTitle);
    group->setObjectName(QStringLiteral("fraBackToBack"));
    auto* form = new QFormLayout;
    m_runs =
        wholeBox(QStringLiteral("txtRuns"), core::kMinBackToBackRuns, core::kMaxBackToBackRuns, 3);
    m_gap = wholeBox(QStringLiteral("txtGap"), 0, static_cast<int>(core::kMaxTotalMinutes), 0);
    m_gap->setSuffix(kMinutesSuffix);
    m_room = temperatureBox(QStringLiteral("txtRoom"), -1000, 10000);
    form->addRow(kRunsCaption, m_runs);
    form->addRow(kGapCaption, m_gap);
    form->addRow(kRoomCaption, m_room);
    for (QSpinBox* box : {m_runs, m_gap})
        connect(box, &QSpinBox::valueChanged, this, &WhatIfPage::caseChanged);
    connect(m_room, &QDoubleSpinBox::valueChanged, this, [this] {
        m_roomEdited = true;
        caseChanged();
    });

    m_table = new QTableWidget(0, static_cast<int>(kRunHeaders.size()));
    m_table->setObjectName(QStringLiteral("tblBackToBack"));
    m_table->setAccessibleName(kRunTableName);
    m_table->setHorizontalHeaderLabels(kRunHeaders);
    m_table->verticalHeader()->hide();
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->setTabKeyNavigation(false);
    m_table->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    m_shortestGap = selectableLabel(QStringLiteral("lblShortestGap"));

    auto* layout = new QVBoxLayout(group);
    layout->addLayout(form);
    layout->addWidget(m_table, 1);
    layout->addWidget(m_shortestGap);
    return group;
}

QWidget* WhatIfPage::buildUncertainty() {
    auto* group = new QGroupBox(kUncertaintyTitle);
    group->setObjectName(QStringLiteral("fraUncertainty"));
    auto* form = new QFormLayout;
    m_uncertaintyRuns = wholeBox(QStringLiteral("txtUncertaintyRuns"), 1, core::kMaxUncertaintyRuns,
                                 core::kDefaultUncertaintyRuns);
    m_seed = wholeBox(QStringLiteral("txtSeed"), 0, std::numeric_limits<int>::max(), 1);
    form->addRow(kUncertaintyRunsCaption, m_uncertaintyRuns);
    form->addRow(kSeedCaption, m_seed);
    for (QSpinBox* box : {m_uncertaintyRuns, m_seed})
        connect(box, &QSpinBox::valueChanged, this, &WhatIfPage::caseChanged);
    m_uncertaintyText = selectableLabel(QStringLiteral("lblUncertainty"));
    m_band = new UncertaintyChart;
    auto* layout = new QVBoxLayout(group);
    layout->addLayout(form);
    layout->addWidget(m_uncertaintyText);
    layout->addWidget(m_band, 1);
    return group;
}

void WhatIfPage::caseChanged() {
    m_stale = true;
    if (isVisible())
        m_timer->start();
}

void WhatIfPage::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (m_stale)
        m_timer->start();
}

core::WhatIfSettings WhatIfPage::settings() const {
    core::WhatIfSettings s;
    s.marginCelsius = m_margin.celsius();
    if (m_startAtCheck->isChecked())
        s.stageStart = static_cast<float>(m_startAt->value());
    return s;
}

void WhatIfPage::showUnits() {
    const bool f = m_case.setup.fahrenheit();
    const QString unit = qs(core::unitAfterNumber(f));
    m_marginShown->setText(
        f ? kMarginShown.arg(
                oneDecimal(core::marginInDisplayUnit(m_margin.celsius(), m_case.setup)) + unit)
          : QString());
    if (m_startAt->suffix() != unit) {
        const QSignalBlocker block(m_startAt);
        m_startAt->setSuffix(unit);
        if (!m_startAtCheck->isChecked())
            m_startAt->setValue(core::defaultRoomTemp(m_case.setup));
    }
    if (m_room->suffix() != unit || !m_roomEdited) {
        const QSignalBlocker block(m_room);
        m_room->setSuffix(unit);
        if (!m_roomEdited)
            m_room->setValue(core::defaultRoomTemp(m_case.setup));
    }
}

void WhatIfPage::recompute() {
    m_timer->stop();
    m_stale = false;
    showUnits();
    if (!m_case.setup.complete()) {
        showUnanswered(qs(core::kSetupNotComplete));
        return;
    }
    showVariations();
}

void WhatIfPage::showUnanswered(const QString& reason) {
    m_worst->setText(reason);
    m_tornado->clear();
    m_table->setRowCount(0);
    m_shortestGap->clear();
    m_uncertaintyText->clear();
    m_band->clear();
}

void WhatIfPage::showVariations() {
    const core::VariationsOutcome outcome = core::runVariations(m_case, settings());
    if (const auto* error = std::get_if<core::RunError>(&outcome)) {
        showUnanswered(qs(core::describeError(*error)));
        return;
    }
    const auto& variations = std::get<core::Variations>(outcome);
    const bool f = m_case.setup.fahrenheit();
    m_worst->setText(qs(core::worstCaseText(variations, f)));
    m_tornado->plot(variations, f);
    showBackToBack();
    showUncertainty();
}

void WhatIfPage::showBackToBack() {
    const core::BackToBackOutcome outcome =
        core::runBackToBack(m_case, m_runs->value(), m_gap->value(), m_room->value(), settings());
    m_table->setRowCount(0);
    if (const auto* error = std::get_if<core::RunError>(&outcome)) {
        m_shortestGap->setText(qs(core::describeError(*error)));
        return;
    }
    const auto& b2b = std::get<core::BackToBack>(outcome);
    const QString unit = qs(core::unitAfterNumber(m_case.setup.fahrenheit()));
    m_table->setRowCount(static_cast<int>(b2b.runs.size()));
    for (int row = 0; row < m_table->rowCount(); ++row) {
        const core::RunFigures& f = b2b.runs[static_cast<size_t>(row)];
        const QString cells[] = {QString::number(row + 1), oneDecimal(f.maxInternal) + unit,
                                 oneDecimal(f.maxDwell) + unit,
                                 f.pass ? QStringLiteral("PASS") : QStringLiteral("FAIL"),
                                 f.warning ? kYes : kNo};
        for (int col = 0; col < static_cast<int>(std::size(cells)); ++col)
            m_table->setItem(row, col, new QTableWidgetItem(cells[col]));
    }
    m_shortestGap->setText(b2b.shortestSafeGap ? kShortestGap.arg(*b2b.shortestSafeGap)
                                               : kNoSafeGap);
}

void WhatIfPage::showUncertainty() {
    // A long profile run a thousand times would hold the window for seconds.
    const auto total = core::totalMinutes(m_case);
    const int64_t minutes = std::get<int64_t>(total) + core::kTail + 1;
    if (minutes * m_uncertaintyRuns->value() > kUncertaintyBudget) {
        m_uncertaintyText->setText(
            kTooMuchWork.arg(std::max<int64_t>(1, kUncertaintyBudget / minutes)));
        m_band->clear();
        return;
    }
    const core::UncertaintyOutcome outcome = core::runUncertainty(
        m_case, m_uncertaintyRuns->value(), static_cast<uint64_t>(m_seed->value()), settings());
    if (const auto* error = std::get_if<core::RunError>(&outcome)) {
        m_uncertaintyText->setText(qs(core::describeError(*error)));
        m_band->clear();
        return;
    }
    const auto& u = std::get<core::Uncertainty>(outcome);
    const QString unit = qs(core::unitAfterNumber(m_case.setup.fahrenheit()));
    m_uncertaintyText->setText(kUncertaintyFigures.arg(u.runs).arg(
        oneDecimal(u.p5) + unit, oneDecimal(u.p50) + unit, oneDecimal(u.p95) + unit,
        oneDecimal(u.shareAtLimit * 100), oneDecimal(u.standardError * 100)));
    m_band->plot(u, m_case.setup.hours());
}

} // namespace kvh::ui
