#include "ui/results_page.h"

#include "ui/results_chart.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QVBoxLayout>

namespace kvh::ui {

namespace {

const QString kPageCaption = QStringLiteral("Results:");
const QString kTracerOnlyCaption = QStringLiteral("Plot Tracer Only");
const QColor kPassColour(0, 255, 0);
const QColor kFailColour(255, 0, 0);
const QString kCrLf = QStringLiteral("\r\n");
const QString kLf = QStringLiteral("\n");
/// Lines of the summary box: the summary has two or three.
constexpr int kSummaryLines = 3;
const QString kPeakName = QStringLiteral("Peak after the end");

} // namespace

ResultsPage::ResultsPage(QWidget* parent)
    : QGroupBox(kPageCaption, parent), m_pf(new QLineEdit(this)),
      m_tracerOnly(new QCheckBox(kTracerOnlyCaption, this)), m_maxResults(new QPlainTextEdit(this)),
      m_peak(new QLabel(this)), m_chart(new ResultsChart(this)) {
    setObjectName(QStringLiteral("fra_2"));
    setProperty("index", 2);
    m_pf->setObjectName(QStringLiteral("txtPF"));
    m_pf->setReadOnly(true);
    m_pf->setAlignment(Qt::AlignCenter);
    QFont pfFont = m_pf->font();
    pfFont.setBold(true);
    pfFont.setPointSizeF(pfFont.pointSizeF() * 1.5);
    m_pf->setFont(pfFont);
    m_pf->setFixedWidth(m_pf->fontMetrics().horizontalAdvance(QStringLiteral("MFAILM")) + 16);
    m_tracerOnly->setObjectName(QStringLiteral("chkTracerOnly"));
    connect(m_tracerOnly, &QCheckBox::clicked, this, &ResultsPage::tracerOnlyClicked);
    m_maxResults->setObjectName(QStringLiteral("txtMaxResults"));
    m_maxResults->setReadOnly(true);
    m_maxResults->setLineWrapMode(QPlainTextEdit::NoWrap);
    // Room for three lines with the box's frame and margins, so no scroll bar appears.
    const int lineHeight = m_maxResults->fontMetrics().lineSpacing();
    m_maxResults->setFixedHeight(lineHeight * kSummaryLines + 2 * m_maxResults->frameWidth() +
                                 static_cast<int>(2 * m_maxResults->document()->documentMargin()) +
                                 lineHeight / 2);
    m_peak->setObjectName(QStringLiteral("lblPeak"));
    m_peak->setAccessibleName(kPeakName);
    m_peak->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    m_peak->hide();
    m_chart->setObjectName(QStringLiteral("Graf"));
    m_chart->setMinimumSize(400, 300);

    auto* top = new QGridLayout;
    top->addWidget(m_pf, 0, 0);
    top->addWidget(m_tracerOnly, 1, 0);
    top->addWidget(m_maxResults, 0, 1, 2, 1);
    top->addWidget(m_peak, 2, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(m_chart, 1);
}

bool ResultsPage::tracerOnly() const {
    return m_tracerOnly->isChecked();
}

void ResultsPage::showResults(const QString& summary, const QString& verdict, bool pass) {
    m_maxResults->setPlainText(QString(summary).replace(kCrLf, kLf));
    m_pf->setText(verdict);
    QPalette palette = m_pf->palette();
    palette.setColor(QPalette::Base, pass ? kPassColour : kFailColour);
    palette.setColor(QPalette::Text, Qt::black);
    m_pf->setPalette(palette);
}

void ResultsPage::showPeak(const QString& text) {
    m_peak->setText(text);
    m_peak->setVisible(!text.isEmpty());
}

void ResultsPage::showFailure(const QString& reason) {
    showPeak(QString());
    m_maxResults->setPlainText(QString(reason).replace(kCrLf, kLf));
    m_pf->clear();
    m_pf->setPalette(QPalette()); // back to the box's own colours
}

QString ResultsPage::summaryText() const {
    return m_maxResults->toPlainText().replace(kLf, kCrLf);
}

QString ResultsPage::verdictText() const {
    return m_pf->text();
}

} // namespace kvh::ui
