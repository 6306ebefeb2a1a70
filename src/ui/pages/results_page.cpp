#include "ui/pages/results_page.h"

#include "ui/accessible_text.h"
#include "ui/chart/results_chart.h"
#include "ui/pages/notice_bar.h"
#include "ui/qt_text.h"

#include <QAbstractTextDocumentLayout>
#include <QAccessible>
#include <QBoxLayout>
#include <QCheckBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QVBoxLayout>

#include <algorithm>

namespace kvh::ui {

namespace {

const QString kPageCaption = QStringLiteral("Results:");
const QString kTracerOnlyCaption = QStringLiteral("Plot &Tracer Only");
const QString kTracerOnlyTip =
    QStringLiteral("Leaves the process temperature out of the chart, so the tracer's curve "
                   "fills it.");
const QString kChartTip = QStringLiteral(
    "Internal and process temperature over the elapsed time, with the tracer's limit. "
    "Double-click an axis to fix its range.");
/// Names for screen readers: the two boxes have no label of their own.
const QString kVerdictName = QStringLiteral("Verdict");
/// Doubtful cells named under the verdict before "and N more".
constexpr int kShownNotices = 8;
const QString kSummaryName = QStringLiteral("Results summary");
const QString kChartName = QStringLiteral("Temperature chart");
const QString kNoVerdict = QStringLiteral("No results");
const QColor kPassColour(0, 255, 0);
const QColor kFailColour(255, 0, 0);
/// PASS that asks for a second look (a dwell warning, doubtful cells): amber, not green.
const QColor kCautionColour(255, 191, 0);
const QString kCautionWarning = QStringLiteral(", with the dwell warning");
const QString kCautionDoubtful = QStringLiteral(", with doubtful cells");
const QString kCrLf = QStringLiteral("\r\n");
const QString kLf = QStringLiteral("\n");
const QString kNoticesHeading = QStringLiteral("Some cells are not read as they are written:");
const QString kNoticesName = QStringLiteral("Doubtful cells");
/// Lines of the summary box: the summary has two or three.
constexpr int kSummaryLines = 3;
const QString kPeakName = QStringLiteral("Peak after the end");
constexpr int kSummaryMinimumWidth = 240;
const QSize kChartMinimumSize(360, 280);

} // namespace

ResultsPage::ResultsPage(QWidget* parent)
    : QGroupBox(kPageCaption, parent), m_pf(new QLineEdit(this)),
      m_tracerOnly(new QCheckBox(kTracerOnlyCaption, this)), m_maxResults(new QPlainTextEdit(this)),
      m_notices(new QLabel(this)), m_peak(new QLabel(this)), m_chart(new ResultsChart(this)) {
    setObjectName(QStringLiteral("fra_2"));
    setProperty("index", 2);
    m_pf->setObjectName(QStringLiteral("txtPF"));
    m_pf->setReadOnly(true);
    m_pf->setAlignment(Qt::AlignCenter);
    m_pf->setAccessibleName(kVerdictName);
    m_pf->setAccessibleDescription(kNoVerdict);
    m_tracerOnly->setObjectName(QStringLiteral("chkTracerOnly"));
    m_tracerOnly->setToolTip(kTracerOnlyTip);
    connect(m_tracerOnly, &QCheckBox::clicked, this, &ResultsPage::tracerOnlyClicked);
    setUpSummary();
    setUpNotes();
    m_chart->setObjectName(QStringLiteral("Graf"));
    m_chart->setAccessibleName(kChartName);
    m_chart->setToolTip(kChartTip);
    m_chart->setMinimumSize(kChartMinimumSize);
    layOut();
}

void ResultsPage::setUpSummary() {
    m_maxResults->setObjectName(QStringLiteral("txtMaxResults"));
    m_maxResults->setReadOnly(true);
    m_maxResults->setAccessibleName(kSummaryName);
    m_maxResults->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    m_maxResults->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_maxResults->setMinimumWidth(kSummaryMinimumWidth);
    fitSummaryHeight(kSummaryLines);
    connect(m_maxResults->document()->documentLayout(),
            &QAbstractTextDocumentLayout::documentSizeChanged, this,
            [this](const QSizeF& size) { fitSummaryHeight(static_cast<int>(size.height())); });
}

void ResultsPage::setUpNotes() {
    m_notices->setObjectName(QStringLiteral("lblDoubtful"));
    m_notices->setAccessibleName(kNoticesName);
    m_notices->setWordWrap(true);
    m_notices->setTextFormat(Qt::PlainText);
    m_notices->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    m_notices->hide();
    m_peak->setObjectName(QStringLiteral("lblPeak"));
    m_peak->setAccessibleName(kPeakName);
    m_peak->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    // The line keeps its room while empty, so the window's minimum size counts it, and wraps
    // rather than widening the page.
    m_peak->setWordWrap(true);
    m_peak->setMinimumHeight(m_peak->fontMetrics().lineSpacing());
}

void ResultsPage::layOut() {
    auto* top = new QGridLayout;
    top->addWidget(m_pf, 0, 0);
    top->addWidget(m_tracerOnly, 1, 0);
    top->addWidget(m_maxResults, 0, 1, 2, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(m_notices);
    layout->addWidget(m_peak);
    layout->addWidget(m_chart, 1);
}

void ResultsPage::fitSummaryHeight(int lines) {
    // Room for the lines with the box's frame and margins, so no scroll bar is needed.
    const int lineHeight = m_maxResults->fontMetrics().lineSpacing();
    m_maxResults->setFixedHeight(
        lineHeight * std::max(lines, kSummaryLines) + 2 * m_maxResults->frameWidth() +
        static_cast<int>(2 * m_maxResults->document()->documentMargin()) + lineHeight / 2);
}

bool ResultsPage::tracerOnly() const {
    return m_tracerOnly->isChecked();
}

void ResultsPage::showResults(const QString& summary, const QString& verdict, bool pass,
                              Caution caution) {
    m_maxResults->setPlainText(withLf(summary));
    m_pf->setText(verdict);
    const bool amber = pass && caution != Caution::None;
    QPalette palette = m_pf->palette();
    palette.setColor(QPalette::Base, !pass ? kFailColour : amber ? kCautionColour : kPassColour);
    palette.setColor(QPalette::Text, Qt::black);
    m_pf->setPalette(palette);
    m_pf->setProperty("caution", amber);
    const QString why = !amber                         ? QString()
                        : caution == Caution::Doubtful ? kCautionDoubtful
                                                       : kCautionWarning;
    announceVerdict(verdict + why + QStringLiteral(": ") + summary.section(kCrLf, 0, 0));
}

void ResultsPage::announceVerdict(const QString& description) {
    // Colour alone says nothing to a screen reader: the verdict and the maximum become the
    // box's description, and an alert tells the reader something new is there.
    m_pf->setAccessibleDescription(description);
    QAccessibleEvent alert(m_pf, QAccessible::Alert);
    QAccessible::updateAccessibility(&alert);
}

void ResultsPage::addUnderPeak(QWidget* widget) {
    auto* box = static_cast<QVBoxLayout*>(layout());
    box->insertWidget(box->indexOf(m_chart), widget);
}

void ResultsPage::showPeak(const QString& text) {
    setLabelText(m_peak, kPeakName, text);
}

void ResultsPage::showMeasured(const QString& text) {
    if (!m_measured && text.isEmpty())
        return;
    if (!m_measured) {
        m_measured = new QLabel(this);
        m_measured->setObjectName(QStringLiteral("lblMeasured"));
        m_measured->setAccessibleName(QStringLiteral("Measured beside predicted"));
        m_measured->setTextInteractionFlags(Qt::TextSelectableByMouse |
                                            Qt::TextSelectableByKeyboard);
        m_measured->setWordWrap(true);
        auto* box = static_cast<QBoxLayout*>(layout());
        box->insertWidget(box->indexOf(m_peak) + 1, m_measured);
    }
    m_measured->setText(text);
    m_measured->setVisible(!text.isEmpty());
}

void ResultsPage::showFailure(const QString& reason) {
    showPeak(QString());
    m_maxResults->setPlainText(withLf(reason));
    m_pf->clear();
    m_pf->setPalette(QPalette()); // back to the box's own colours
    announceVerdict(kNoVerdict + QStringLiteral(": ") + QString(reason).section(kCrLf, 0, 0));
}

void ResultsPage::showEvent(QShowEvent* event) {
    // The verdict's large bold letters are a font of their own: it is loaded when the page is
    // first shown, not while the window starts.
    if (!m_pfFontSet) {
        m_pfFontSet = true;
        QFont pfFont = m_pf->font();
        pfFont.setBold(true);
        pfFont.setPointSizeF(pfFont.pointSizeF() * 1.5);
        m_pf->setFont(pfFont);
        m_pf->setFixedWidth(m_pf->fontMetrics().horizontalAdvance(QStringLiteral("MFAILM")) + 16);
    }
    QGroupBox::showEvent(event);
}

void ResultsPage::showNotices(const QStringList& notices) {
    m_notices->setVisible(!notices.isEmpty());
    // The first few, as the notice bar does: the grid tints every doubtful cell.
    setLabelText(m_notices, kNoticesName,
                 notices.isEmpty() ? QString()
                                   : firstNotes(kNoticesHeading, notices, kShownNotices));
}

} // namespace kvh::ui
