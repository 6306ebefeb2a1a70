#include "ui/frm_print.h"

#include "ui/print_page.h"
#include "ui/results_chart.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPlainTextEdit>

namespace kvh::ui {

namespace {

/// A rectangle in twips at the widget's logical resolution.
QRect toPixels(const QWidget& widget, const QRectF& twips) {
    const qreal sx = widget.logicalDpiX() / 1440.0;
    const qreal sy = widget.logicalDpiY() / 1440.0;
    return QRectF(twips.x() * sx, twips.y() * sy, twips.width() * sx, twips.height() * sy).toRect();
}

} // namespace

PagePicture::PagePicture(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void PagePicture::setChart(ResultsChart* chart) {
    m_chart = chart;
    update();
}

void PagePicture::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), Qt::white);
    if (m_chart)
        m_chart->renderTo(&painter, QRectF(rect()));
}

frmPrint::frmPrint(QWidget* parent)
    : QWidget(parent), m_txtPrint(new QPlainTextEdit(this)), m_pic1(new PagePicture(this)) {
    setObjectName(QStringLiteral("frmPrint"));
    setWindowTitle(QString());
    setBackgroundRole(QPalette::Base);
    setAutoFillBackground(true);
    setFixedSize(toPixels(*this, QRectF(QPointF(0, 0), PrintPage::kClientTwips)).size());

    m_txtPrint->setObjectName(QStringLiteral("txtPrint"));
    m_txtPrint->setReadOnly(true);
    m_txtPrint->setFrameShape(QFrame::NoFrame);
    m_txtPrint->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_txtPrint->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_txtPrint->setFont(PrintPage::reportFont());
    m_txtPrint->setPlainText(QStringLiteral("Text1"));
    m_txtPrint->setGeometry(toPixels(*this, PrintPage::kTextTwips));

    m_pic1->setObjectName(QStringLiteral("Pic1"));
    m_pic1->setGeometry(toPixels(*this, PrintPage::kPictureTwips));
}

void frmPrint::setContent(const QString& reportText, ResultsChart* chart) {
    QString text = reportText;
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    QTextOption option = m_txtPrint->document()->defaultTextOption();
    option.setTabs(PrintPage::columnTabs(text, QFontMetricsF(m_txtPrint->font(), m_txtPrint)));
    m_txtPrint->document()->setDefaultTextOption(option);
    m_txtPrint->setPlainText(text);
    m_pic1->setChart(chart);
}

} // namespace kvh::ui
