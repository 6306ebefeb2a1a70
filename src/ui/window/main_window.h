#pragma once
// The main window (object name `frmHiTemp`), the conductor of the program.
//
// Data flow:
//   start-up: the Setup page, the initial profile table, the chart reset
//   edits:    option clicks, and through GridEditing and GridCommands the grid's clicks, the
//             cell editor's keystrokes, the row buttons and menus: one call each to CaseEditor,
//             which runs the core rule on the case, pushes the change on its undo history and
//             tells the grid's model; its `changed` -> the window shows the case again
//   onPageChanged("Results and Graph", setup complete) -> runAndShowResults:
//             resetChart -> core::runModel(case) -> core::evaluate -> m_results
//             -> txtMaxResults / txtPF -> core::buildChartData -> Graf; a failed run: no
//             m_results, so Print and Copy Data refuse as before any run
//   reports:  buildReportText reads the case and m_results -> reportText -> clipboard (Copy
//             Data and Text); the printed page builds on the same texts
//   files:    Save: core::saveDewFile(case) (writeDew -> writeFileAtomically) -> history clean
//             Open: the unsaved-changes question -> core::openDewFile (all or nothing)
//             -> CaseEditor::replaceCase (fresh history) -> pages -> onPageChanged
//             openFile serves File > Open, Open Recent, a dropped file and the command line
//             New, New from Template: the question -> CaseFile::startNew / startFromTemplate
//   recovery: CaseRecovery writes the unsaved case to the recovery folder a few seconds after
//             each edit; at start RecoveryBar offers the copies programs left -> Recover:
//             CaseFile::recover (a changed case named after its file)
//
// Every dialog and the clipboard go through the Platform given to the constructor.

#include "core/case.h"
#include "core/model.h"
#include "core/profile.h"
#include "core/report.h"

#include <QMainWindow>

#include <memory>
#include <optional>

QT_BEGIN_NAMESPACE
class QAction;
class QCloseEvent;
class QLabel;
class QSettings;
class QTabWidget;
QT_END_NAMESPACE

namespace kvh::platform {
class Platform;
}

namespace kvh::ui {

class Calibration;
struct MenuItems;
class CaseEditor;
class CaseFile;
class CaseRecovery;
class RecoveryBar;
class FileStatus;
class HandbookWindow;
class NoticeBar;
class ComparePage;
class ExportMenu;
class ProcessPage;
class RecentFiles;
class RecordingActions;
class ReportPrinter;
class ResultsChart;
class ResultsPage;
class SetupPage;
class SafetyMargin;
class WhatIfPage;

/// The main window: the pages, the menus and the last run's texts; the case itself lives in the
/// CaseEditor.
class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    explicit MainWindow(platform::Platform& platform, QWidget* parent = nullptr);
    ~MainWindow() override;

    platform::Platform& platform() const { return m_platform; }
    ResultsChart& chart() const;
    /// The page tabs (`Tab1`).
    QTabWidget& pages() const { return *m_tab; }
    /// The compare page, built on its first visit or first need.
    ComparePage& comparePage();
    /// The "What If" page, built on its first visit or first need.
    WhatIfPage& whatIfPage();
    /// The remembered safety margin that the compare and "What If" pages judge "safe" by.
    SafetyMargin& safetyMargin() const { return *m_margin; }
    const core::Case& currentCase() const;
    CaseEditor& editor() const { return *m_editor; }
    /// The texts of the last run that succeeded (empty when the last run failed or none ran).
    core::ResultTexts resultTexts() const;
    /// A run has succeeded, and no run has failed since.
    bool hasResults() const { return m_results.has_value(); }
    /// The file the case was opened from or last saved to; empty for a new case.
    const QString& filePath() const;

    /// Opens the case in `path`, after the unsaved-changes question. False when the user
    /// cancelled or the file could not be opened (the message has been shown).
    bool openFile(const QString& path);

    /// The report text as last built by buildReportText.
    const QString& reportText() const { return m_reportText; }

    /// The chart's reset; the parameter table is rebuilt inside every run.
    void resetChart();
    /// Runs the model over the current case and shows the texts and the chart. False when
    /// the model refused the profile (the "Model Error" box has been shown).
    bool runAndShowResults();
    void buildReportText();

    /// Keeps the recent files in `settings` from now on (null: for this window only).
    void setSettings(QSettings* settings);
    RecentFiles& recentFiles() const { return *m_recent; }
    /// The recording commands and the measured recording attached to the case.
    RecordingActions& recordingActions() const { return *m_recordingActions; }
    /// Keeps calibrated barriers in `folder` from now on (none until set).
    void setCalibrationFolder(const QString& folder);
    Calibration& calibration() const { return *m_calibration; }

    /// Keeps recovery copies of the unsaved case in `folder`, and offers in a bar above the
    /// pages the copies of programs that ended without saving.
    void keepRecoveryCopies(const QString& folder);
    /// The recovery copies' keeper; null until keepRecoveryCopies.
    CaseRecovery* recovery() const { return m_recovery; }
    /// The bar offering the copies left behind; null until keepRecoveryCopies.
    RecoveryBar* recoveryBar() const { return m_recoveryBar; }

public slots:
    void onPageChanged();
    /// File > New: an empty case as at start, after the unsaved-changes question.
    void newCase();
    void openCase();
    void saveCase();
    void printReport();
    void choosePrinter();
    void printPreview();
    void exportPdf();
    void exitProgram();
    void copyGraphToClipboard();
    void copyDataAndText();
    void resetCase();
    void showAbout();
    /// Shows the handbook window (made on first use), raised.
    void showHandbook();
    void onTracerOnlyToggled();
    /// The fit of the case's barrier to a measured run.
    void fitBarrier();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void buildMenus();
    /// Each menu item to what it does.
    void connectMenus(const MenuItems& menus);
    void buildStatusBar();
    void connectPages();
    /// Undo and redo: the history moves the case under the cell editor, which goes.
    void hideCellEditor();
    void selectTempUnit(int index);
    void selectTimeUnit(int index);
    /// Shows the whole case again: options, units, grid and its width.
    void showCase();
    void showSetup();
    /// The setup summary beside the tabs, as the case is now.
    void showSetupSummary();
    /// A recent file that no longer exists leaves the list once chosen.
    void openRecent(const QString& path);
    /// After every edit, undo or redo: the setup, the grid's width and the clear button.
    void caseEdited();
    void showFileState();
    void setResults(std::optional<core::ResultTexts> results);
    /// Names the doubtful cells of the case under the verdict.
    void showDoubtfulCells();
    /// Runs the model when the setup is complete; otherwise the "Setup Error" box.
    void plotIfComplete();
    /// One of the printer's jobs on the page as the window holds it.
    template <class Job> void printWith(Job job);
    /// Reads `path` (no question asked) and shows the case and the file's notices.
    bool loadFile(const QString& path);
    /// File > New from Template: the template as a new case, after the unsaved-changes question.
    void newFromTemplate(const QString& path);
    /// Recover on the recovery bar: after the unsaved-changes question, the copy `stem`.
    void recoverCase(const std::string& stem);

    platform::Platform& m_platform;
    CaseEditor* m_editor;
    std::unique_ptr<CaseFile> m_file;
    std::optional<core::ResultTexts> m_results;
    /// The last run's series storage, handed to the next run (its values are not used).
    core::RunResult m_spareRun;
    QString m_reportText;

    QLabel* m_lblSetup;
    FileStatus* m_status = nullptr;
    NoticeBar* m_notice;
    QTabWidget* m_tab;
    SetupPage* m_setupPage;
    ProcessPage* m_processPage;
    ResultsPage* m_resultsPage;
    /// The compare tab's page, and the page itself once built.
    QWidget* m_compareHolder;
    ComparePage* m_comparePage = nullptr;
    SafetyMargin* m_margin;
    /// The "What If" tab's page, and the page itself once built.
    QWidget* m_whatIfHolder;
    WhatIfPage* m_whatIfPage = nullptr;
    RecentFiles* m_recent;
    RecordingActions* m_recordingActions = nullptr;
    HandbookWindow* m_handbook = nullptr;
    QAction* m_mnuPrint = nullptr;
    /// The printer chosen for the window's lifetime, and the print commands.
    std::unique_ptr<ReportPrinter> m_printer;
    /// Calibrated barriers: the chooser, the fit dialog, the calibrated run's lines and curve.
    Calibration* m_calibration = nullptr;
    CaseRecovery* m_recovery = nullptr;
    RecoveryBar* m_recoveryBar = nullptr;
};

} // namespace kvh::ui
