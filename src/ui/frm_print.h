#pragma once
// The print page as a window: the aligned report text (txtPrint) above the chart picture
// (Pic1), in the printed page's proportions at screen resolution. The printed page itself is
// composed by PrintPage on the printer; this window shows the same composition on screen.

#include <QPointer>
#include <QWidget>

class QPlainTextEdit;

namespace kvh::ui {

class ResultsChart;

/// The picture box: draws the chart it is given, as displayed, scaled to its own size.
class PagePicture : public QWidget {
    Q_OBJECT
public:
    explicit PagePicture(QWidget* parent = nullptr);
    void setChart(ResultsChart* chart);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QPointer<ResultsChart> m_chart;
};

class frmPrint : public QWidget {
    Q_OBJECT
public:
    explicit frmPrint(QWidget* parent = nullptr);

    /// Shows `reportText` (CR LF lines, TAB-separated table) and `chart` on the page.
    void setContent(const QString& reportText, ResultsChart* chart);

    QPlainTextEdit* txtPrint() const { return m_txtPrint; }
    PagePicture* Pic1() const { return m_pic1; }

private:
    QPlainTextEdit* m_txtPrint;
    PagePicture* m_pic1;
};

} // namespace kvh::ui
