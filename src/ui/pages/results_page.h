#pragma once
// The "Results and Graph" page (`fra_2`): the determination box `txtPF`, "Plot Tracer Only"
// (`chkTracerOnly`), the summary `txtMaxResults` and the chart `Graf`.

#include <QGroupBox>

QT_BEGIN_NAMESPACE
class QCheckBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
QT_END_NAMESPACE

namespace kvh::ui {

class ResultsChart;

class ResultsPage : public QGroupBox {
    Q_OBJECT
public:
    explicit ResultsPage(QWidget* parent = nullptr);

    ResultsChart& chart() const { return *m_chart; }
    bool tracerOnly() const;

    /// Why a PASS asks for a second look.
    enum class Caution { None, DwellWarning, Doubtful };

    /// Shows a run's summary (lines separated by CR LF) and "PASS" on green or "FAIL" on red;
    /// a PASS with a caution on amber, the word unchanged.
    void showResults(const QString& summary, const QString& verdict, bool pass,
                     Caution caution = Caution::None);
    /// Shows a run that failed: no verdict, on the box's own colour, and the reason.
    void showFailure(const QString& reason);

    /// Names the doubtful cells of the run under the verdict (`lblDoubtful`); none: hidden.
    void showNotices(const QStringList& notices);
    /// The line under the summary on where the inside peaks after the profile's end (empty to
    /// hide it). The summary's texts stay as they are.
    void showPeak(const QString& text);
    /// The comparison with a measured recording under the peak line (`lblMeasured`; empty
    /// hides it). The summary's texts stay as they are.
    void showMeasured(const QString& text);

    /// Shows `widget` under the peak line, above the chart.
    void addUnderPeak(QWidget* widget);

signals:
    void tracerOnlyClicked();

protected:
    void showEvent(QShowEvent* event) override;

private:
    /// The parts the constructor builds: the summary box, the notes under it, the layout.
    void setUpSummary();
    void setUpNotes();
    void layOut();
    /// The summary box grows with its lines, so a narrow window wraps them instead of hiding
    /// the last behind a scroll bar.
    void fitSummaryHeight(int lines);
    /// Tells screen readers about a new verdict (the description of `txtPF`).
    void announceVerdict(const QString& description);

    QLineEdit* m_pf;
    QCheckBox* m_tracerOnly;
    QPlainTextEdit* m_maxResults;
    QLabel* m_notices;
    QLabel* m_peak;
    QLabel* m_measured = nullptr; ///< made with the first comparison shown
    ResultsChart* m_chart;
    bool m_pfFontSet = false;
};

} // namespace kvh::ui
