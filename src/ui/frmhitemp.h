#pragma once
// The main window `frmHiTemp`, the conductor of the program.
//
// Data flow:
//   start-up: Tab1_Click (Setup page) -> the initial profile table -> InitModel
//   pages:    option clicks -> core::SetupState rules -> SetupPage/ProcessPage show the state
//             grid clicks, editor keystrokes, buttons -> core profile rules on m_case.profile
//             -> ProfileModel tells the grid what changed
//   Tab1_Click("Results and Graph", setup complete) -> PlotGraph:
//             InitModel (chart reset) -> core::runModel(m_case) -> core::evaluate
//             -> txtMaxResults / txtPF -> core::buildChartData -> Graf; then mnuPrint enabled
//   reports:  BuildReportText reads m_case and the texts the results page shows -> strReport
//             -> clipboard (Copy Data and Text); the printed page builds on the same texts
//   files:    Save: core::saveDewFile(m_case) (writeDew -> writeFileAtomically)
//             Open: core::openDewFile (all or nothing) -> m_case -> pages -> Tab1_Click
//
// Every dialog and the clipboard go through the Platform given to the constructor.

#include "core/case.h"
#include "core/model.h"
#include "core/profile.h"
#include "core/report.h"

#include <QMainWindow>

#include <memory>

QT_BEGIN_NAMESPACE
class QAction;
class QLabel;
class QTabWidget;
QT_END_NAMESPACE

namespace kvh::platform {
class Platform;
}

namespace kvh::ui {

class ComparePage;
class ExportMenu;
class ProcessPage;
class ReportPrinter;
class ResultsChart;
class ResultsPage;
class SetupPage;

/// The main window. Owns the case, the results page's texts and the report text.
class frmHiTemp : public QMainWindow {
    Q_OBJECT
public:
    explicit frmHiTemp(platform::Platform& platform, QWidget* parent = nullptr);
    ~frmHiTemp() override;

    platform::Platform& platform() const { return m_platform; }
    ResultsChart& chart() const;
    const core::Case& currentCase() const { return m_case; }
    /// What the results page shows now (the summary's lines joined by CR LF).
    core::ResultTexts resultTexts() const;
    /// Results exist once the "&Print" item has been enabled by a run; it stays so.
    bool hasResults() const;

    /// The report text as last built (plain by BuildReportText, aligned by the printed page).
    const QString& strReport() const { return m_strReport; }
    void setStrReport(const QString& text) { m_strReport = text; }

    /// The chart's reset; the parameter table is rebuilt inside every run.
    void InitModel();
    /// Runs the model over the current case and shows the texts and the chart. False when
    /// the model refused the profile (the "Model Error" box has been shown).
    bool PlotGraph();
    void BuildReportText();

public slots:
    void Tab1_Click();
    void mnuOpen_Click();
    void mnuSave_Click();
    void mnuPrint_Click();
    void mnuPrintSetup_Click();
    void mnuPrintPreview_Click();
    void mnuExportPdf_Click();
    void mnuExit_Click();
    void mnuCopyGraph_Click();
    void mnuCopyData_Click();
    void mnuReset_Click();
    void mnuAbout_Click();
    void fg1_Click();
    void txtFGIn_Change();
    void cmdAddRow_Click();
    void cmdRowCol_Click();
    void cmdConvert_Click(int index);
    void chkTracerOnly_Click();

private:
    void buildMenus();
    QAction* addItem(QMenu* menu, const QString& name, const QString& caption,
                     void (frmHiTemp::*handler)());
    void connectPages();
    /// Print items follow "&Print"; a picked chart axis opens the axis scale editor.
    void connectPrinting();
    void optMod_Click(int index);
    void optTracerType_Click(int index);
    void optEnviron_Click(int index);
    void optTempUnits_Click(int index);
    void optTimeUnits_Click(int index);
    /// Shows the whole case again: options, units, grid and its width.
    void showCase();
    void showSetup();
    QString dialogStart() const;
    bool warnNoResults(const QString& text, const QString& title);

    platform::Platform& m_platform;
    core::Case m_case;
    core::ClearButton m_clear;
    /// The last run's series storage, handed to the next run (its values are not used).
    core::RunResult m_spareRun;
    QString m_strReport;

    QLabel* m_lblSetup;
    QTabWidget* m_tab;
    SetupPage* m_setupPage;
    ProcessPage* m_processPage;
    ResultsPage* m_resultsPage;
    ComparePage* m_comparePage;
    QAction* m_mnuPrint = nullptr;
    /// The printer chosen for the window's lifetime, and the print commands.
    std::unique_ptr<ReportPrinter> m_printer;
};

} // namespace kvh::ui
