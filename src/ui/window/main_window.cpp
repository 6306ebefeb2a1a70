#include "ui/window/main_window.h"

#include "core/advisor.h"
#include "core/chart_data.h"
#include "core/dew_file.h"
#include "core/doubtful.h"
#include "core/model.h"
#include "core/numbers.h"
#include "platform/platform.h"
#include "ui/accessible_text.h"
#include "ui/calibration/calibration.h"
#include "ui/chart/axis_scale_editor.h"
#include "ui/chart/graph_copy.h"
#include "ui/chart/results_chart.h"
#include "ui/editing/case_editor.h"
#include "ui/editing/case_file.h"
#include "ui/editing/profile_model.h"
#include "ui/editing/recent_files.h"
#include "ui/editing/recent_files_menu.h"
#include "ui/editing/templates_menu.h"
#include "ui/no_results.h"
#include "ui/output/export_menu.h"
#include "ui/output/report_printer.h"
#include "ui/pages/compare_page.h"
#include "ui/pages/grid_commands.h"
#include "ui/pages/grid_editing.h"
#include "ui/pages/notice_bar.h"
#include "ui/pages/process_page.h"
#include "ui/pages/profile_grid.h"
#include "ui/pages/results_page.h"
#include "ui/pages/setup_page.h"
#include "ui/qt_text.h"
#include "ui/recording/recording_actions.h"
#include "ui/recovery/case_recovery.h"
#include "ui/recovery/recovery_bar.h"
#include "ui/what_if/safety_margin.h"
#include "ui/what_if/what_if_page.h"
#include "ui/window/file_drop.h"
#include "ui/window/file_status.h"
#include "ui/window/handbook_window.h"
#include "ui/window/window_menus.h"

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QDateTime>
#include <QDesktopServices>
#include <QFile>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QStatusBar>
#include <QTabWidget>
#include <QUrl>
#include <QVBoxLayout>

namespace kvh::ui {

using platform::Buttons;
using platform::Icon;

namespace {

const QString kWindowTitle = QStringLiteral("Kelvora High Temp Thermal Pack Performance Model");
const QString kTabSetup = QStringLiteral("   &Setup   ");
const QString kTabProcessData = QStringLiteral("  &Process Data  ");
const QString kTabResults = QStringLiteral("  Results and &Graph  ");
const QString kTabCompare = QStringLiteral("  Compare &Barriers  ");
const QString kTabWhatIf = QStringLiteral("  What &If  ");

const QString kSetupErrorTitle = QStringLiteral("Setup Error");
const QString kModelErrorTitle = QStringLiteral("Model Error");

const QString kAboutTitle = QStringLiteral("About This Software");
const QString kAboutVersion = QStringLiteral("Version %1");
/// The safety advice is in the handbook's results chapter, where the results are explained.
const QString kAboutHandbook =
    QStringLiteral("The handbook (Help > KVHiTemp Handbook, F1) explains every result and "
                   "gives the safety advice on cool down periods.");
const QString kAboutLowTemp =
    QStringLiteral("This model may also be used to evaluate low temperature performance.");

const QString kSetupSummaryName = QStringLiteral("Setup");
const QString kOpenNoticeHeading =
    QStringLiteral("Opened, but some fields of the file are not read as they are written:");
const QString kRecoveryAdvice = QStringLiteral("Save the case from time to time.");
const QString kRecoverErrorText = QStringLiteral("The recovery copy could not be opened:\n%1");
const QString kRecoverErrorTitle = QStringLiteral("Open Error");
const QSize kInitialSize(1000, 720);

enum Page { SetupTab = 0, ProcessTab = 1, ResultsTab = 2, CompareTab = 3, WhatIfTab = 4 };

} // namespace

MainWindow::MainWindow(platform::Platform& platform, QWidget* parent)
    : QMainWindow(parent), m_platform(platform), m_editor(new CaseEditor(this)),
      m_file(std::make_unique<CaseFile>(platform, this, *m_editor)), m_lblSetup(new QLabel),
      m_notice(new NoticeBar), m_tab(new QTabWidget), m_setupPage(new SetupPage),
      m_processPage(new ProcessPage(m_editor->model())), m_resultsPage(new ResultsPage),
      m_compareHolder(new QWidget), m_margin(new SafetyMargin(this)), m_whatIfHolder(new QWidget),
      m_recent(new RecentFiles(this)), m_printer(std::make_unique<ReportPrinter>(platform, this)) {
    setObjectName(QStringLiteral("frmHiTemp"));
    setWindowTitle(kWindowTitle);
    resize(kInitialSize);
    m_lblSetup->setObjectName(QStringLiteral("lblSetup"));
    m_tab->setObjectName(QStringLiteral("Tab1"));
    m_tab->addTab(m_setupPage, kTabSetup);
    m_tab->addTab(m_processPage, kTabProcessData);
    m_tab->addTab(m_resultsPage, kTabResults);
    m_tab->addTab(m_compareHolder, kTabCompare);
    m_tab->addTab(m_whatIfHolder, kTabWhatIf);

    // The setup summary sits beside the page tabs, leaving the height to the pages.
    m_lblSetup->setContentsMargins(8, 0, 4, 0);
    m_tab->setCornerWidget(m_lblSetup, Qt::TopRightCorner);
    auto* central = new QWidget;
    auto* layout = new QVBoxLayout(central);
    layout->addWidget(m_notice);
    layout->addWidget(m_tab, 1);
    setCentralWidget(central);
    m_calibration = new Calibration(platform, m_editor->theCase(), this);
    m_setupPage->addUnderModels(m_calibration->chooser());
    m_resultsPage->addUnderPeak(m_calibration->resultLines());
    connect(m_calibration, &Calibration::chosenChanged, this, [this] {
        if (m_comparePage)
            m_comparePage->setCalibrated(m_calibration->chosen());
        if (m_tab->currentIndex() == ResultsTab && currentCase().setup.complete())
            runAndShowResults();
    });
    buildMenus();
    buildStatusBar();
    connectPages();
    connect(new FileDropFilter(this), &FileDropFilter::fileDropped, this, &MainWindow::openFile);

    // Start-up: the Setup page, the initial table, then the model's reset.
    onPageChanged();
    showCase();
    resetChart();
    connect(m_tab, &QTabWidget::currentChanged, this, &MainWindow::onPageChanged);
    connect(m_editor, &CaseEditor::changed, this, &MainWindow::caseEdited);
    connect(&m_editor->history(), &QUndoStack::cleanChanged, this, &MainWindow::showFileState);
}

MainWindow::~MainWindow() {
    // The keeper follows the editor's signals: it goes before the editor does. Going, it
    // removes the copy of a case that was saved or discarded.
    delete m_recovery;
    // The pages read the case, which the editor (a child made first) holds: they go first.
    delete takeCentralWidget();
    // What is left goes after this destructor, when the window is a plain widget: the undo
    // history, for one, reports itself clean as it is cleared. None of it may reach a slot here.
    for (QObject* child : findChildren<QObject*>())
        child->disconnect(this);
}

const core::Case& MainWindow::currentCase() const {
    return m_editor->theCase();
}

const QString& MainWindow::filePath() const {
    return m_file->path();
}

// ---- Window and menus ---------------------------------------------------------------------

void MainWindow::buildMenus() {
    const MenuItems menus = buildMenuBar(*menuBar(), *m_recent, m_editor->history());
    connectMenus(menus);
    m_mnuPrint = menus.print;
    // Preview and PDF show the printed page: like "&Print" they wait for the first results.
    for (QAction* item : {menus.printPreview, menus.exportPdf}) {
        item->setEnabled(false);
        connect(m_mnuPrint, &QAction::changed, item,
                [this, item] { item->setEnabled(m_mnuPrint->isEnabled()); });
    }
    new ExportMenu({m_platform, this, *m_editor, [this] {
        return filePath(); }, chart(),
                    [this] {
        return hasResults() && m_tab->currentIndex() == ResultsTab; },
                    [this] {
        return runAndShowResults(); },
                    [this]() -> const auto& { return comparePage().comparison();
}
} // namespace kvh::ui
,
                   menus.file, menus.beforeExit);
const RecordingActions::Host host{m_platform, this, *m_editor, [this] {
                                      if (m_tab->currentIndex() == ResultsTab)
                                          onPageChanged();
                                  }};
m_recordingActions = new RecordingActions(host, menus.edit);
connect(menus.recent, &RecentFilesMenu::fileChosen, this, &MainWindow::openRecent);
connect(menus.templates, &TemplatesMenu::templateChosen, this, &MainWindow::newFromTemplate);
}

void MainWindow::connectMenus(const MenuItems& menus) {
    const std::pair<QAction*, void (MainWindow::*)()> handlers[] = {
        {menus.newCase, &MainWindow::newCase},
        {menus.open, &MainWindow::openCase},
        {menus.save, &MainWindow::saveCase},
        {menus.print, &MainWindow::printReport},
        {menus.printSetup, &MainWindow::choosePrinter},
        {menus.printPreview, &MainWindow::printPreview},
        {menus.exportPdf, &MainWindow::exportPdf},
        {menus.fitBarrier, &MainWindow::fitBarrier},
        {menus.exit, &MainWindow::exitProgram},
        // The history moves the case; the cell editor, showing a visit the history moves away
        // from, goes.
        {menus.undo, &MainWindow::hideCellEditor},
        {menus.redo, &MainWindow::hideCellEditor},
        {menus.copyGraph, &MainWindow::copyGraphToClipboard},
        {menus.copyData, &MainWindow::copyDataAndText},
        {menus.reset, &MainWindow::resetCase},
        {menus.handbook, &MainWindow::showHandbook},
        {menus.about, &MainWindow::showAbout}};
    for (const auto& [action, handler] : handlers)
        connect(action, &QAction::triggered, this, handler);
}

void MainWindow::buildStatusBar() {
    m_status = new FileStatus(*statusBar());
    showFileState();
}

void MainWindow::showFileState() {
    const QString& path = m_file->path();
    m_status->show(path, m_editor->isModified());
    m_printer->setCasePath(path); // the printed footer names the case's file
}

void MainWindow::connectPages() {
    connect(m_resultsPage, &ResultsPage::tracerOnlyClicked, this, &MainWindow::onTracerOnlyToggled);
    connect(&chart(), &ResultsChart::axisPicked, this,
            [this](int axisId) { editAxisScale(chart(), m_platform, this, axisId); });
    connect(m_setupPage, &SetupPage::modelClicked, m_editor, &CaseEditor::selectModel);
    connect(m_setupPage, &SetupPage::tracerClicked, m_editor, &CaseEditor::selectTracer);
    connect(m_setupPage, &SetupPage::environClicked, m_editor, &CaseEditor::selectEnviron);
    connect(m_processPage, &ProcessPage::tempUnitClicked, this, &MainWindow::selectTempUnit);
    connect(m_processPage, &ProcessPage::timeUnitClicked, this, &MainWindow::selectTimeUnit);
    new GridEditing(*m_processPage, *m_editor, this);
    new GridCommands(m_processPage->grid(), *m_editor, m_platform, this);
}

// ---- The compare page, built on first need ------------------------------------------------

ComparePage& MainWindow::comparePage() {
    if (!m_comparePage) {
        // The compare page runs every barrier when shown: it waits for its first visit or
        // the first command that needs it.
        m_comparePage = new ComparePage(m_editor->theCase(), m_editor->model());
        m_comparePage->setCalibrated(m_calibration->chosen());
        auto* layout = new QVBoxLayout(m_compareHolder);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->addWidget(m_comparePage);
        // A row chosen on the compare page is a click on that model's button.
        connect(m_comparePage, &ComparePage::barrierChosen, this,
                [this](int model) { m_setupPage->clickModel(model); });
        m_comparePage->setMargin(m_margin->celsius());
        connect(m_margin, &SafetyMargin::changed, m_comparePage, &ComparePage::setMargin);
    }
    return *m_comparePage;
}

WhatIfPage& MainWindow::whatIfPage() {
    if (!m_whatIfPage) {
        // Like the compare page, it runs the case many times: built when first needed.
        m_whatIfPage = new WhatIfPage(m_editor->theCase(), m_editor->model(), *m_margin);
        auto* layout = new QVBoxLayout(m_whatIfHolder);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->addWidget(m_whatIfPage);
    }
    return *m_whatIfPage;
}

ResultsChart& MainWindow::chart() const {
    return m_resultsPage->chart();
}

core::ResultTexts MainWindow::resultTexts() const {
    return m_results.value_or(core::ResultTexts{});
}

void MainWindow::setResults(std::optional<core::ResultTexts> results) {
    m_results = std::move(results);
    m_mnuPrint->setEnabled(hasResults());
}

void MainWindow::showSetup() {
    m_setupPage->showState(currentCase().setup);
    m_calibration->setupChanged();
    m_processPage->showUnits(currentCase().setup);
    if (m_comparePage)
        m_comparePage->caseChanged();
    if (m_whatIfPage)
        m_whatIfPage->caseChanged();
}

void MainWindow::showSetupSummary() {
    setLabelText(m_lblSetup, kSetupSummaryName, qs(currentCase().setup.summary()));
}

void MainWindow::caseEdited() {
    showSetup();
    // The summary beside the tabs follows every change made away from the Setup page (a
    // barrier chosen on the compare page, for one).
    if (m_tab->currentIndex() != SetupTab)
        showSetupSummary();
    m_processPage->grid().setWidthTwips(currentCase().profile.gridWidthTwips());
    m_processPage->showClearButton(m_editor->clearButton());
    showFileState();
}

void MainWindow::showCase() {
    caseEdited();
    if (currentCase().profile.rowCount() > 1)
        m_processPage->grid().setCurrentCell(1, core::kColStep);
}

// ---- Pages and the run --------------------------------------------------------------------

void MainWindow::onPageChanged() {
    m_processPage->grid().hideEditor();
    const int page = m_tab->currentIndex();
    if (page == ProcessTab)
        resetChart();
    if (page != SetupTab)
        showSetupSummary();
    if (page == ResultsTab)
        plotIfComplete();
    if (page == CompareTab)
        comparePage();
    if (page == WhatIfTab)
        whatIfPage();
}

void MainWindow::plotIfComplete() {
    if (!currentCase().setup.complete()) {
        m_platform.messageBox(this, qs(core::kSetupNotComplete), kSetupErrorTitle, Buttons::Ok,
                              Icon::None);
        return;
    }
    runAndShowResults();
}

void MainWindow::resetChart() {
    chart().reset();
}

void MainWindow::showDoubtfulCells() {
    m_resultsPage->showNotices(m_editor->model().doubtfulNotices());
}

bool MainWindow::runAndShowResults() {
    resetChart();
    // The doubtful cells may well be why a run fails: they are named either way.
    showDoubtfulCells();
    const core::Case& c = currentCase();
    core::RunOutcome outcome = core::runModel(c, std::move(m_spareRun));
    m_spareRun = {};
    if (const auto* error = std::get_if<core::RunError>(&outcome)) {
        // No stale verdict: the page says what went wrong, the chart stays reset, and the
        // reports and print refuse as before any run.
        const QString reason = qs(core::describeError(*error));
        setResults(std::nullopt);
        m_resultsPage->showFailure(reason);
        m_resultsPage->showMeasured({});
        m_calibration->hideRun(chart());
        m_platform.messageBox(this, reason, kModelErrorTitle, Buttons::Ok, Icon::Critical);
        return false;
    }
    const auto& run = std::get<core::RunResult>(outcome);
    const core::Evaluation evaluation = core::evaluate(run, c.setup);
    setResults(core::ResultTexts{evaluation.summary, evaluation.verdict});
    // Doubtful cells count whether they were typed or came with the file.
    const auto caution = evaluation.warning ? ResultsPage::Caution::DwellWarning
                         : core::findDoubtfulCells(c.profile).empty()
                             ? ResultsPage::Caution::None
                             : ResultsPage::Caution::Doubtful;
    m_resultsPage->showResults(qs(evaluation.summary), qs(evaluation.verdict), evaluation.pass,
                               caution);
    const core::PeakAfterEnd peak = core::peakAfterEnd(run, c.setup);
    m_resultsPage->showPeak(qs(core::afterEndText(peak, c.setup.fahrenheit())));
    m_recordingActions->showMeasured(run, c.setup, chart(), *m_resultsPage);
    core::ChartData data =
        core::buildChartData(run, c.setup, m_resultsPage->tracerOnly(), ResultsChart::kDataBuckets);
    m_spareRun = std::move(std::get<core::RunResult>(outcome)); // storage for the next run
    chart().plot(std::move(data));
    m_calibration->showRun(chart());
    return true;
}

void MainWindow::onTracerOnlyToggled() {
    chart().setAutoScale();
    plotIfComplete();
}

void MainWindow::setCalibrationFolder(const QString& folder) {
    m_calibration->store().setFolder(folder);
    m_calibration->setupChanged();
}

void MainWindow::fitBarrier() {
    m_calibration->showFitDialog();
}

void MainWindow::resetCase() {
    resetChart();
    onPageChanged();
}

// ---- Setup choices ------------------------------------------------------------------------

void MainWindow::selectTempUnit(int index) {
    m_processPage->grid().hideEditor();
    m_editor->selectTempUnit(index);
    showSetup(); // a click on the chosen unit changes nothing, but unchecked its button
}

void MainWindow::selectTimeUnit(int index) {
    m_processPage->grid().hideEditor();
    m_editor->selectTimeUnit(index);
    showSetup();
}

void MainWindow::hideCellEditor() {
    m_processPage->grid().hideEditor();
}

// ---- Files --------------------------------------------------------------------------------

bool MainWindow::openFile(const QString& path) {
    return m_file->maybeSave() && loadFile(path);
}

bool MainWindow::loadFile(const QString& path) {
    const std::optional<QStringList> notices = m_file->read(path);
    if (!notices)
        return false;
    m_notice->showLines(kOpenNoticeHeading, *notices);
    m_recordingActions->caseOpened(path);
    showCase();
    onPageChanged();
    m_recent->add(path);
    return true;
}

void MainWindow::newCase() {
    if (!m_file->maybeSave())
        return;
    m_file->startNew();
    // As at start: no results, no notice, the Setup page.
    m_notice->showLines(QString(), {});
    setResults(std::nullopt);
    m_resultsPage->showFailure(QString());
    m_resultsPage->showNotices({});
    showCase();
    resetChart();
    if (m_tab->currentIndex() == SetupTab)
        onPageChanged();
    else
        m_tab->setCurrentIndex(SetupTab);
}

void MainWindow::newFromTemplate(const QString& path) {
    if (!m_file->maybeSave() || !m_file->startFromTemplate(path))
        return;
    m_notice->showLines(QString(), {});
    showCase();
    onPageChanged(); // as Open: the page shown follows the new case
}

void MainWindow::openCase() {
    if (!m_file->maybeSave())
        return;
    const QString path = m_file->askOpenPath();
    if (!path.isEmpty())
        loadFile(path);
}

void MainWindow::openRecent(const QString& path) {
    // A file that has gone leaves the list once chosen.
    if (!openFile(path) && !QFileInfo::exists(path))
        m_recent->remove(path);
}

void MainWindow::setSettings(QSettings* settings) {
    m_recent->setSettings(settings);
    m_margin->setSettings(settings);
    m_recordingActions->setSettings(settings);
}

void MainWindow::saveCase() {
    if (m_file->save()) {
        m_recent->add(m_file->path());
        m_recordingActions->caseSaved(m_file->path());
    }
    showFileState();
}

// ---- Recovery copies ----------------------------------------------------------------------

void MainWindow::keepRecoveryCopies(const QString& folder) {
    m_recovery = new CaseRecovery(
        folder, *m_editor, [this] { return m_file->path(); }, this);
    m_recoveryBar = new RecoveryBar;
    // Above the pages, below the notices.
    static_cast<QBoxLayout*>(centralWidget()->layout())->insertWidget(1, m_recoveryBar);
    const auto tell = [this](const QString& reason) {
        m_notice->showLines(reason, {kRecoveryAdvice});
    };
    connect(m_recovery, &CaseRecovery::failed, this, tell);
    if (!m_recovery->error().isEmpty())
        tell(m_recovery->error());
    connect(m_recoveryBar, &RecoveryBar::recoverClicked, this, &MainWindow::recoverCase);
    connect(m_recoveryBar, &RecoveryBar::discardClicked, this, [this](const std::string& stem) {
        m_recovery->discard(stem);
        m_recoveryBar->removeCopy(stem);
    });
    connect(m_recoveryBar, &RecoveryBar::showClicked, this,
            [this] { QDesktopServices::openUrl(QUrl::fromLocalFile(m_recovery->folder())); });
    m_recoveryBar->offer(m_recovery->takeLeftCopies(currentCase()), QDateTime::currentDateTime());
}

void MainWindow::recoverCase(const std::string& stem) {
    if (!m_file->maybeSave())
        return;
    core::RecoveryRead read = m_recovery->read(stem, currentCase());
    if (const auto* damaged = std::get_if<core::DamagedCopy>(&read)) {
        m_platform.messageBox(this, kRecoverErrorText.arg(qs(damaged->reason)), kRecoverErrorTitle,
                              Buttons::Ok, Icon::Critical);
        return;
    }
    auto& found = std::get<core::RecoveredCase>(read);
    m_file->recover(std::move(found.theCase),
                    QFile::decodeName(QByteArray::fromStdString(found.note.casePath)));
    // After the case is taken: taking it removes the copy of the case it replaces.
    m_recovery->adopt(stem);
    m_recoveryBar->removeCopy(stem);
    showCase();
    onPageChanged();
}

// ---- Reports, printing, the rest ----------------------------------------------------------

void MainWindow::buildReportText() {
    m_reportText = qs(core::buildReportText(currentCase(), resultTexts()));
}

void MainWindow::copyDataAndText() {
    if (refuseWithoutResults(m_platform, this, hasResults(), ResultsCopy::Texts))
        return;
    buildReportText();
    m_platform.setClipboardText(m_reportText);
}

void MainWindow::copyGraphToClipboard() {
    ui::copyGraph(chart(), m_platform, this, hasResults());
}

template <class Job> void MainWindow::printWith(Job job) {
    const core::ResultTexts texts = resultTexts();
    (m_printer.get()->*job)(ReportPrinter::Content{currentCase(), texts, chart(),
                                                   m_recordingActions->measuredLines(),
                                                   m_calibration->printedLines()});
}

void MainWindow::printReport() {
    printWith(&ReportPrinter::print);
}

void MainWindow::choosePrinter() {
    m_printer->printerSetup();
}

void MainWindow::printPreview() {
    printWith(&ReportPrinter::printPreview);
}

void MainWindow::exportPdf() {
    printWith(&ReportPrinter::exportPdf);
}

void MainWindow::exitProgram() {
    // Closing asks the unsaved-changes question.
    QApplication::closeAllWindows();
}

void MainWindow::closeEvent(QCloseEvent* event) {
    if (m_file->maybeSave())
        event->accept();
    else
        event->ignore();
}

void MainWindow::showAbout() {
    const QStringList paragraphs{kWindowTitle, kAboutVersion.arg(QStringLiteral(KVH_VERSION)),
                                 kAboutHandbook, kAboutLowTemp};
    m_platform.messageBox(this, paragraphs.join(QStringLiteral("\n\n")), kAboutTitle, Buttons::Ok,
                          Icon::None);
}

} // namespace kvh::ui

namespace kvh::ui {

void MainWindow::showHandbook() {
    if (!m_handbook)
        m_handbook = new HandbookWindow(this);
    m_handbook->show();
    m_handbook->raise();
    m_handbook->activateWindow();
}

} // namespace kvh::ui
