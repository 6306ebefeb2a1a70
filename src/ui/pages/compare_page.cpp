#include "ui/pages/compare_page.h"

#include "core/comparison_csv.h"
#include "core/numbers.h"
#include "ui/accessible_text.h"
#include "ui/chart/compare_chart.h"
#include "ui/qt_text.h"

#include <QAbstractItemModel>
#include <QHeaderView>
#include <QLabel>
#include <QTableWidget>
#include <QVBoxLayout>

namespace kvh::ui {

namespace {

const QStringList kHeaders{QStringLiteral("Barrier"),
                           QStringLiteral("Max. during the profile"),
                           QStringLiteral("Max. within 20 min after the end"),
                           QStringLiteral("Verdict"),
                           QStringLiteral("Dwell warning"),
                           QStringLiteral("Safe dwell"),
                           QStringLiteral("Peak after the end"),
                           QStringLiteral("Minutes to peak"),
                           QStringLiteral("Margin to the limit"),
                           QStringLiteral("Margin, % of limit"),
                           QStringLiteral("Safe")};
/// Room for the header and two rows: the least the table shrinks to.
constexpr int kTableMinimumHeight = 90;
const QString kTableName = QStringLiteral("Barriers ranked by margin");
const QStringList kHeaderTips{
    QStringLiteral("The barrier's catalogue code"),
    QStringLiteral("Highest internal temperature during the profile"),
    QStringLiteral("Highest internal temperature up to 20 minutes after the end"),
    QStringLiteral("PASS when the maximum stays below the limit"),
    QStringLiteral("Whether the results page warns about a dwell in the barrier"),
    QStringLiteral("Longest time of the hottest dwell that stays safe"),
    QStringLiteral("Highest internal temperature after the end"),
    QStringLiteral("Minutes from the end to that peak"),
    QStringLiteral("Limit minus the maximum internal temperature"),
    QStringLiteral("The margin as a share of the limit"),
    QStringLiteral("PASS without the dwell warning")};
const QString kTableHelp =
    QStringLiteral("Click a row, or press Enter on it, to choose that barrier for the case.");
const QString kRecommendationName = QStringLiteral("Recommendation");
const QString kRecommended = QStringLiteral("Recommended: %1, margin %2 (%3 % of the limit).");
const QString kNoneSafe =
    QStringLiteral("No barrier is safe for this profile: each fails or shows the dwell warning.");
const QString kMarginNote =
    QStringLiteral(" Safe here means both maxima at least %1 below the limit (the safety margin).");
const QString kNotComparable = QStringLiteral(
    "Choose the tracer type and the process environment on the Setup page to compare barriers.");
const QString kChosenMark = QStringLiteral(" (chosen)");
const QString kYes = QStringLiteral("yes");
const QString kNo = QStringLiteral("no");
const QString kSafeMark = QStringLiteral("safe");
const QString kRecommendedMark = QStringLiteral("recommended");
const QString kNoDwellRow = QStringLiteral("no dwell step");
const QString kUnlimitedTip = QStringLiteral("over 1,000,000 minutes");

QString oneDecimal(double value) {
    return qs(core::formatPattern(value, core::Pattern::OneDec));
}

QString safeDwellCell(const core::SafeDwell& dwell, bool hours) {
    if (dwell.kind == core::SafeDwell::Kind::NoDwellRow)
        return kNoDwellRow;
    return qs(core::safeDwellDisplay(dwell, hours));
}

/// The barrier's cell: its code, and a calibrated barrier's name after it.
QString barrierCell(const core::BarrierResult& b) {
    const QString code = qs(core::modelCode(b.model));
    return b.calibrated.empty() ? code
                                : code + QStringLiteral(" (") + qs(b.calibrated) + QLatin1Char(')');
}

/// The model column's mark of a calibrated barrier's row (no model to choose).
constexpr int kCalibratedRow = -1;

/// The case as far as the comparison depends on it: everything but the chosen model.
core::Case comparedPart(const core::Case& c) {
    core::Case part = c;
    part.setup.selectModel(0);
    return part;
}

} // namespace

void ComparePage::setCalibrated(std::optional<core::CalibratedBarrier> barrier) {
    m_calibrated = std::move(barrier);
    m_compared.reset(); // the rows change though the case did not
    caseChanged();
}

void ComparePage::addCalibrated(const core::SafetySettings& safety) {
    auto* cmp = m_outcome ? std::get_if<core::Comparison>(&*m_outcome) : nullptr;
    if (!cmp || !m_calibrated || !core::matchesSetup(*m_calibrated, m_case.setup))
        return;
    auto row = core::calibratedBarrierResult(m_case, m_calibrated->coefficients(),
                                             m_calibrated->name, true, safety);
    if (auto* b = std::get_if<core::BarrierResult>(&row))
        cmp->barriers.push_back(std::move(*b));
}

ComparePage::ComparePage(const core::Case& current, QAbstractItemModel& profileModel,
                         QWidget* parent)
    : QWidget(parent), m_case(current), m_recommendation(new QLabel(this)),
      m_table(new QTableWidget(0, ColumnCount, this)), m_chart(new CompareChart(this)) {
    setObjectName(QStringLiteral("fraCompare"));
    m_recommendation->setObjectName(QStringLiteral("lblRecommendation"));
    m_recommendation->setAccessibleName(kRecommendationName);
    m_recommendation->setWordWrap(true);
    m_recommendation->setTextInteractionFlags(Qt::TextSelectableByMouse |
                                              Qt::TextSelectableByKeyboard);
    setUpTable();
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_recommendation);
    layout->addWidget(m_table);
    layout->addWidget(m_chart, 1);
    watchProfile(profileModel);
}

void ComparePage::setUpTable() {
    m_table->setObjectName(QStringLiteral("tblCompare"));
    m_table->setAccessibleName(kTableName);
    m_table->setAccessibleDescription(kTableHelp);
    m_table->setToolTip(kTableHelp);
    m_table->setHorizontalHeaderLabels(kHeaders);
    for (int col = 0; col < ColumnCount; ++col)
        m_table->horizontalHeaderItem(col)->setToolTip(kHeaderTips[col]);
    m_table->verticalHeader()->hide();
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setSelectionMode(QAbstractItemView::SingleSelection);
    m_table->setTabKeyNavigation(false);
    m_table->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    // All six rows at once when there is room, the chart taking the rest; on a small screen
    // the table scrolls instead of raising the window's minimum height.
    m_table->setSizeAdjustPolicy(QAbstractScrollArea::AdjustToContents);
    m_table->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Maximum);
    m_table->setMinimumHeight(kTableMinimumHeight);
    connect(m_table, &QTableWidget::cellClicked, this, [this](int row, int) { rowChosen(row); });
    connect(m_table, &QTableWidget::activated, this,
            [this](const QModelIndex& index) { rowChosen(index.row()); });
}

void ComparePage::watchProfile(const QAbstractItemModel& profileModel) {
    // Any change to the profile's table, the headers (units) included.
    const QAbstractItemModel* model = &profileModel;
    connect(model, &QAbstractItemModel::dataChanged, this, &ComparePage::caseChanged);
    connect(model, &QAbstractItemModel::headerDataChanged, this, &ComparePage::caseChanged);
    connect(model, &QAbstractItemModel::modelReset, this, &ComparePage::caseChanged);
    connect(model, &QAbstractItemModel::layoutChanged, this, &ComparePage::caseChanged);
    connect(model, &QAbstractItemModel::rowsInserted, this, &ComparePage::caseChanged);
    connect(model, &QAbstractItemModel::rowsRemoved, this, &ComparePage::caseChanged);
}

void ComparePage::setMargin(double celsius) {
    m_margin = celsius;
    caseChanged();
}

void ComparePage::caseChanged() {
    m_stale = true;
    if (isVisible())
        refresh();
}

const std::optional<core::ComparisonOutcome>& ComparePage::comparison() {
    if (m_stale)
        refresh();
    return m_outcome;
}

void ComparePage::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (m_stale)
        refresh();
}

void ComparePage::refresh() {
    m_stale = false;
    core::Case part = comparedPart(m_case);
    if (m_compared != part || m_comparedMargin != m_margin) {
        m_compared = std::move(part);
        m_comparedMargin = m_margin;
        m_outcome.reset();
        core::SafetySettings safety;
        safety.marginCelsius = m_margin;
        if (core::comparable(m_case.setup))
            m_outcome = core::compareBarriers(m_case, true, safety);
        addCalibrated(safety);
        showComparison();
    }
    showChosen();
}

void ComparePage::showComparison() {
    const auto* cmp = m_outcome ? std::get_if<core::Comparison>(&*m_outcome) : nullptr;
    m_table->setRowCount(0);
    if (cmp == nullptr) {
        m_chart->clear();
        const auto* error = m_outcome ? std::get_if<core::RunError>(&*m_outcome) : nullptr;
        setLabelText(m_recommendation, kRecommendationName,
                     error ? qs(core::describeError(*error)) : kNotComparable);
        return;
    }
    m_table->setRowCount(static_cast<int>(cmp->barriers.size()));
    int row = 0;
    for (const size_t i : cmp->ranking)
        fillRow(row++, cmp->barriers[i]);
    for (size_t i = cmp->ranking.size(); i < cmp->barriers.size(); ++i)
        fillRow(row++, cmp->barriers[i]); // a calibrated barrier, after the ranked ones
    m_chart->plot(*cmp, m_case.setup);
    showRecommendation();
}

void ComparePage::fillRow(int row, const core::BarrierResult& b) {
    const bool f = m_case.setup.fahrenheit();
    const auto temp = [f](double value) { return qs(core::temperatureText(value, f)); };
    const bool recommended = [&] {
        const auto& cmp = std::get<core::Comparison>(*m_outcome);
        return b.calibrated.empty() && cmp.recommended &&
               cmp.barriers[*cmp.recommended].model == b.model;
    }();
    const QString cells[ColumnCount] = {barrierCell(b),
                                        temp(b.maxInternal),
                                        temp(b.maxDwell),
                                        b.pass ? QStringLiteral("PASS") : QStringLiteral("FAIL"),
                                        b.warning ? kYes : kNo,
                                        safeDwellCell(b.safeDwell, m_case.setup.hours()),
                                        temp(b.peakAfterEnd),
                                        QString::number(b.minutesToPeak),
                                        temp(b.margin()),
                                        oneDecimal(b.marginShare() * 100) + QStringLiteral(" %"),
                                        recommended      ? kRecommendedMark
                                        : b.safeByMargin ? kSafeMark
                                                         : QString()};
    for (int col = 0; col < ColumnCount; ++col) {
        auto* item = new QTableWidgetItem(cells[col]);
        item->setData(Qt::UserRole, b.calibrated.empty() ? b.model : kCalibratedRow);
        if (col != ColBarrier && col != ColSafe)
            item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
        item->setToolTip(qs(core::kModelCaptions[static_cast<size_t>(b.model)]));
        if (col == ColSafeDwell && b.safeDwell.kind == core::SafeDwell::Kind::Capped)
            item->setToolTip(kUnlimitedTip);
        m_table->setItem(row, col, item);
    }
}

void ComparePage::showRecommendation() {
    const auto& cmp = std::get<core::Comparison>(*m_outcome);
    // With a margin, "safe" says so.
    const QString note = cmp.safetyMargin > 0 ? kMarginNote.arg(qs(core::temperatureText(
                                                    cmp.safetyMargin, m_case.setup.fahrenheit())))
                                              : QString();
    if (!cmp.recommended) {
        setLabelText(m_recommendation, kRecommendationName, kNoneSafe + note);
        return;
    }
    const core::BarrierResult& b = cmp.barriers[*cmp.recommended];
    setLabelText(m_recommendation, kRecommendationName,
                 kRecommended.arg(qs(core::kModelCaptions[static_cast<size_t>(b.model)]),
                                  qs(core::temperatureText(b.margin(), m_case.setup.fahrenheit())),
                                  oneDecimal(b.marginShare() * 100)) +
                     note);
}

/// Marks the row of the case's chosen model: bold, " (chosen)" after its name, selected.
void ComparePage::showChosen() {
    const int chosen = m_case.setup.chosenModel().value_or(-1);
    for (int row = 0; row < m_table->rowCount(); ++row) {
        QTableWidgetItem* name = m_table->item(row, ColBarrier);
        const int model = name->data(Qt::UserRole).toInt();
        if (model == kCalibratedRow)
            continue;
        const bool isChosen = model == chosen;
        const QString code = qs(core::modelCode(model));
        name->setText(isChosen ? code + kChosenMark : code);
        for (int col = 0; col < ColumnCount; ++col) {
            QFont font = m_table->item(row, col)->font();
            font.setBold(isChosen);
            m_table->item(row, col)->setFont(font);
        }
        if (isChosen)
            m_table->selectRow(row);
    }
}

void ComparePage::rowChosen(int row) {
    const QTableWidgetItem* item = m_table->item(row, ColBarrier);
    if (item == nullptr)
        return;
    const int model = item->data(Qt::UserRole).toInt();
    if (model == kCalibratedRow || m_case.setup.chosenModel() == model)
        return; // already chosen: no new step to undo
    emit barrierChosen(model);
    caseChanged();
}

} // namespace kvh::ui
