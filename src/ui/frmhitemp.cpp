#include "ui/frmhitemp.h"

#include "core/chart_data.h"
#include "core/dew_file.h"
#include "core/model.h"
#include "core/numbers.h"
#include "platform/platform.h"
#include "ui/axis_scale_editor.h"
#include "ui/compare_page.h"
#include "ui/export_menu.h"
#include "ui/graph_copy.h"
#include "ui/overwrite_question.h"
#include "ui/process_page.h"
#include "ui/profile_grid.h"
#include "ui/profile_model.h"
#include "ui/qt_text.h"
#include "ui/report_printer.h"
#include "ui/results_chart.h"
#include "ui/results_page.h"
#include "ui/setup_page.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QStandardPaths>
#include <QTabWidget>
#include <QVBoxLayout>

namespace kvh::ui {

using platform::Buttons;
using platform::Icon;

namespace {

const QString kWindowTitle = QStringLiteral("Kelvora High Temp Thermal Pack Performance Model");
const QString kTabSetup = QStringLiteral("   Setup   ");
const QString kTabProcessData = QStringLiteral("  Process Data  ");
const QString kTabResults = QStringLiteral("  Results and Graph  ");
const QString kTabCompare = QStringLiteral("  Compare Barriers  ");

const QString kSetupErrorText = QStringLiteral("Setup not complete! Results cannot be displayed");
const QString kSetupErrorTitle = QStringLiteral("Setup Error");
const QString kModelErrorTitle = QStringLiteral("Model Error");
const QString kOpenErrorText = QStringLiteral("The file %1 could not be opened:\n%2");
const QString kOpenErrorTitle = QStringLiteral("Open Error");
const QString kSaveErrorText = QStringLiteral("The file %1 could not be saved:\n%2");
const QString kSaveErrorTitle = QStringLiteral("Save Error");
const QString kNoDataText = QStringLiteral("The Results have not yet been calculated or created.");
const QString kNoDataTitle = QStringLiteral("Data Copy Error");

const QString kAboutTitle = QStringLiteral("About This Software");
const QString kAboutVersion = QStringLiteral("Version %1");
const QString kAboutWarning = QStringLiteral(
    "WARNING:  All thermal packs will continue to warm up internally to some extent after "
    "removal from the high temperature environment!  Always include a cool down period at the "
    "end of process information in order to account for this effect.");
const QString kAboutLowTemp =
    QStringLiteral("This model may also be used to evaluate low temperature performance.");

const QString kDialogName = QStringLiteral("/*.dew");
const QSize kInitialSize(1000, 720);

enum Page { SetupTab = 0, ProcessTab = 1, ResultsTab = 2 };

/// The file filter "Description|pattern|..." as a Qt dialog takes it. "*.*" means every
/// file, also those without an extension.
QString dialogFilter() {
    const QStringList parts = qs(core::kDewFilter).split(QLatin1Char('|'));
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        const QString pattern =
            parts[i + 1] == QStringLiteral("*.*") ? QStringLiteral("*") : parts[i + 1];
        filters << parts[i] + QStringLiteral(" (") + pattern + QLatin1Char(')');
    }
    return filters.join(QStringLiteral(";;"));
}

std::string localPath(const QString& path) {
    return QFile::encodeName(path).toStdString();
}

} // namespace

frmHiTemp::frmHiTemp(platform::Platform& platform, QWidget* parent)
    : QMainWindow(parent), m_platform(platform), m_lblSetup(new QLabel), m_tab(new QTabWidget),
      m_setupPage(new SetupPage), m_processPage(new ProcessPage(m_case.profile)),
      m_resultsPage(new ResultsPage),
      m_comparePage(new ComparePage(m_case, m_processPage->model())), m_printer(std::make_unique<ReportPrinter>(platform, this)) {
    setObjectName(QStringLiteral("frmHiTemp"));
    setWindowTitle(kWindowTitle);
    resize(kInitialSize);
    m_lblSetup->setObjectName(QStringLiteral("lblSetup"));
    m_tab->setObjectName(QStringLiteral("Tab1"));
    m_tab->addTab(m_setupPage, kTabSetup);
    m_tab->addTab(m_processPage, kTabProcessData);
    m_tab->addTab(m_resultsPage, kTabResults);
    m_tab->addTab(m_comparePage, kTabCompare);

    auto* central = new QWidget;
    auto* top = new QHBoxLayout;
    top->addStretch();
    top->addWidget(m_lblSetup);
    auto* layout = new QVBoxLayout(central);
    layout->addLayout(top);
    layout->addWidget(m_tab, 1);
    setCentralWidget(central);
    buildMenus();
    connectPages();
    connectPrinting();

    // Start-up: the Setup page, the initial table, then the model's reset.
    Tab1_Click();
    showCase();
    InitModel();
    connect(m_tab, &QTabWidget::currentChanged, this, &frmHiTemp::Tab1_Click);
}

frmHiTemp::~frmHiTemp() {
    // The pages read the case, a member that dies before QWidget's destructor would delete
    // them: they go first.
    delete takeCentralWidget();
}

// ---- Window and menus ---------------------------------------------------------------------

QAction* frmHiTemp::addItem(QMenu* menu, const QString& name, const QString& caption,
                            void (frmHiTemp::*handler)()) {
    QAction* action = menu->addAction(caption);
    action->setObjectName(name);
    connect(action, &QAction::triggered, this, handler);
    return action;
}

void frmHiTemp::buildMenus() {
    QMenu* file = menuBar()->addMenu(QStringLiteral("&File"));
    file->setObjectName(QStringLiteral("mnuFile"));
    addItem(file, QStringLiteral("mnuOpen"), QStringLiteral("&Open"), &frmHiTemp::mnuOpen_Click)
        ->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
    addItem(file, QStringLiteral("mnuSave"), QStringLiteral("&Save"), &frmHiTemp::mnuSave_Click)
        ->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    m_mnuPrint = addItem(file, QStringLiteral("mnuPrint"), QStringLiteral("&Print"),
                         &frmHiTemp::mnuPrint_Click);
    m_mnuPrint->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_P));
    m_mnuPrint->setEnabled(false); // enabled by the first results shown, never disabled again
    addItem(file, QStringLiteral("mnuPrintSetup"), QStringLiteral("Printer Set&up"),
            &frmHiTemp::mnuPrintSetup_Click);
    addItem(file, QStringLiteral("mnuPrintPreview"), QStringLiteral("Print Preview"),
            &frmHiTemp::mnuPrintPreview_Click);
    addItem(file, QStringLiteral("mnuExportPdf"), QStringLiteral("Export PDF..."),
            &frmHiTemp::mnuExportPdf_Click);
    QAction* blank = file->addSeparator();
    blank->setObjectName(QStringLiteral("mnuBlank"));
    new ExportMenu(*this, *m_comparePage, file, blank);
    addItem(file, QStringLiteral("mnuExit"), QStringLiteral("E&xit"), &frmHiTemp::mnuExit_Click)
        ->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));

    QMenu* edit = menuBar()->addMenu(QStringLiteral("&Edit"));
    edit->setObjectName(QStringLiteral("mnuEdit"));
    addItem(edit, QStringLiteral("mnuCopyGraph"), QStringLiteral("Copy Graph"),
            &frmHiTemp::mnuCopyGraph_Click);
    addItem(edit, QStringLiteral("mnuCopyData"), QStringLiteral("&Copy Data and Text"),
            &frmHiTemp::mnuCopyData_Click);
    addItem(edit, QStringLiteral("mnuReset"), QStringLiteral("Reset"), &frmHiTemp::mnuReset_Click);

    QAction* about = menuBar()->addAction(QStringLiteral("&About"));
    about->setObjectName(QStringLiteral("mnuAbout"));
    connect(about, &QAction::triggered, this, &frmHiTemp::mnuAbout_Click);
}

void frmHiTemp::connectPages() {
    connect(m_setupPage, &SetupPage::modelClicked, this, &frmHiTemp::optMod_Click);
    connect(m_setupPage, &SetupPage::tracerClicked, this, &frmHiTemp::optTracerType_Click);
    connect(m_setupPage, &SetupPage::environClicked, this, &frmHiTemp::optEnviron_Click);
    connect(m_processPage, &ProcessPage::tempUnitClicked, this, &frmHiTemp::optTempUnits_Click);
    connect(m_processPage, &ProcessPage::timeUnitClicked, this, &frmHiTemp::optTimeUnits_Click);
    connect(m_processPage, &ProcessPage::convertClicked, this, &frmHiTemp::cmdConvert_Click);
    connect(m_processPage, &ProcessPage::addRowClicked, this, &frmHiTemp::cmdAddRow_Click);
    connect(m_processPage, &ProcessPage::rowColClicked, this, &frmHiTemp::cmdRowCol_Click);
    connect(&m_processPage->grid(), &ProfileGrid::clicked, this, &frmHiTemp::fg1_Click);
    connect(&m_processPage->grid(), &ProfileGrid::editorTextChanged, this,
            &frmHiTemp::txtFGIn_Change);
    connect(m_resultsPage, &ResultsPage::tracerOnlyClicked, this, &frmHiTemp::chkTracerOnly_Click);
    // A row chosen on the compare page is a click on that model's button.
    connect(m_comparePage, &ComparePage::barrierChosen, this, [this](int model) {
        m_setupPage->findChild<QAbstractButton*>(QStringLiteral("optMod_%1").arg(model))->click();
    });
}

ResultsChart& frmHiTemp::chart() const {
    return m_resultsPage->chart();
}

core::ResultTexts frmHiTemp::resultTexts() const {
    return {toStd(m_resultsPage->summaryText()), toStd(m_resultsPage->verdictText())};
}

bool frmHiTemp::hasResults() const {
    return m_mnuPrint->isEnabled();
}

void frmHiTemp::showSetup() {
    m_setupPage->showState(m_case.setup);
    m_processPage->showUnits(m_case.setup);
    m_comparePage->caseChanged();
}

void frmHiTemp::showCase() {
    showSetup();
    ProfileGrid& grid = m_processPage->grid();
    m_processPage->model().tableReplaced();
    grid.setWidthTwips(m_case.profile.gridWidthTwips());
    if (m_case.profile.rowCount() > 1)
        grid.setCurrentCell(1, core::kColStep);
    m_processPage->showClearButton(m_clear);
}

// ---- Pages and the run --------------------------------------------------------------------

void frmHiTemp::Tab1_Click() {
    m_processPage->grid().hideEditor();
    const int page = m_tab->currentIndex();
    if (page == ProcessTab)
        InitModel();
    if (page != SetupTab)
        m_lblSetup->setText(qs(m_case.setup.summary()));
    if (page != ResultsTab)
        return;
    if (!m_case.setup.complete()) {
        m_platform.messageBox(this, kSetupErrorText, kSetupErrorTitle, Buttons::Ok, Icon::None);
        return;
    }
    if (PlotGraph())
        m_mnuPrint->setEnabled(true);
}

void frmHiTemp::InitModel() {
    chart().reset();
}

bool frmHiTemp::PlotGraph() {
    InitModel();
    core::RunOutcome outcome = core::runModel(m_case, std::move(m_spareRun));
    m_spareRun = {};
    if (const auto* error = std::get_if<core::RunError>(&outcome)) {
        // No stale verdict: the page says what went wrong and the chart stays reset.
        const QString reason = qs(core::describeError(*error));
        m_resultsPage->showFailure(reason);
        m_platform.messageBox(this, reason, kModelErrorTitle, Buttons::Ok, Icon::Critical);
        return false;
    }
    const auto& run = std::get<core::RunResult>(outcome);
    const core::Evaluation evaluation = core::evaluate(run, m_case.setup);
    m_resultsPage->showResults(qs(evaluation.summary), qs(evaluation.verdict), evaluation.pass);
    const core::PeakAfterEnd peak = core::peakAfterEnd(run, m_case.setup);
    m_resultsPage->showPeak(peakAfterEndText(peak, m_case.setup.fahrenheit()));
    core::ChartData data = core::buildChartData(run, m_case.setup, m_resultsPage->tracerOnly(),
                                                ResultsChart::kDataBuckets);
    m_spareRun = std::move(std::get<core::RunResult>(outcome)); // storage for the next run
    chart().plot(std::move(data));
    return true;
}

void frmHiTemp::chkTracerOnly_Click() {
    chart().setAutoScale();
    // A run needs a complete setup; without one the page refuses as the tab does.
    if (!m_case.setup.complete()) {
        m_platform.messageBox(this, kSetupErrorText, kSetupErrorTitle, Buttons::Ok, Icon::None);
        return;
    }
    PlotGraph();
}

void frmHiTemp::mnuReset_Click() {
    InitModel();
    Tab1_Click();
}

// ---- Setup choices ------------------------------------------------------------------------

void frmHiTemp::optMod_Click(int index) {
    m_case.setup.selectModel(index);
    showSetup();
}

void frmHiTemp::optTracerType_Click(int index) {
    m_case.setup.selectTracer(index);
    showSetup();
}

void frmHiTemp::optEnviron_Click(int index) {
    m_case.setup.selectEnviron(index);
    showSetup();
}

void frmHiTemp::optTempUnits_Click(int index) {
    m_processPage->grid().hideEditor();
    m_case.selectTempUnit(index);
    m_processPage->model().headerChanged();
    showSetup();
}

void frmHiTemp::optTimeUnits_Click(int index) {
    m_processPage->grid().hideEditor();
    m_case.selectTimeUnit(index);
    m_processPage->model().headerChanged();
    showSetup();
}

// ---- Profile editor -----------------------------------------------------------------------

void frmHiTemp::fg1_Click() {
    ProfileGrid& grid = m_processPage->grid();
    grid.hideEditor();
    const core::GridSelection sel = grid.selection();
    const core::ClickOutcome outcome = core::gridClick(m_case.profile, m_clear, sel);
    m_processPage->showClearButton(m_clear);
    if (outcome == core::ClickOutcome::StepCycled) {
        m_processPage->model().rowChanged(sel.row);
    } else if (outcome == core::ClickOutcome::OpenEditor) {
        m_processPage->model().cellChanged(sel.row, sel.col);
        grid.openEditor(sel.row, sel.col, qs(m_case.profile.cell(sel.row, sel.col)));
    }
}

void frmHiTemp::txtFGIn_Change() {
    // The editor writes into the cell it sits over, on every keystroke.
    const ProfileGrid& grid = m_processPage->grid();
    const int row = grid.editorRow();
    const int col = grid.editorCol();
    if (row < 1 || row >= m_case.profile.rowCount() || col < core::kColStep)
        return;
    m_case.profile.setCell(row, col, toStd(grid.editor()->text()));
    m_processPage->model().cellChanged(row, col);
}

void frmHiTemp::cmdAddRow_Click() {
    ProfileGrid& grid = m_processPage->grid();
    const int row = core::insertRow(m_case.profile);
    m_processPage->model().rowsAppended();
    grid.setWidthTwips(m_case.profile.gridWidthTwips());
    grid.setCurrentCell(row, core::kColStep);
    grid.scrollRowToTop(row);
}

void frmHiTemp::cmdRowCol_Click() {
    const core::GridSelection sel = m_processPage->grid().selection();
    core::clearRowOrColumn(m_case.profile, m_clear, sel.row, sel.col);
    m_processPage->model().allCellsChanged();
    m_processPage->showClearButton(m_clear);
}

void frmHiTemp::cmdConvert_Click(int index) {
    if (index == 0) {
        core::convertTemperatures(m_case.profile, m_case.setup.celsius());
        m_processPage->model().columnChanged(core::kColTemp);
    } else {
        core::convertTimes(m_case.profile, m_case.setup.hours());
        m_processPage->model().columnChanged(core::kColTime);
    }
}

// ---- Files --------------------------------------------------------------------------------

QString frmHiTemp::dialogStart() const {
    // The program's own folder is read-only once installed: start in the user's documents.
    QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (folder.isEmpty() || !QDir(folder).exists())
        folder = QDir::homePath();
    return folder + kDialogName;
}

void frmHiTemp::mnuOpen_Click() {
    const QString path = m_platform.openFileName(this, dialogStart(), dialogFilter());
    if (path.isEmpty())
        return;
    auto opened = core::openDewFile(localPath(path), m_case);
    if (const auto* error = std::get_if<core::DewError>(&opened)) {
        m_platform.messageBox(this,
                              kOpenErrorText.arg(QDir::toNativeSeparators(path), qs(error->reason)),
                              kOpenErrorTitle, Buttons::Ok, Icon::Critical);
        return;
    }
    m_case = std::move(std::get<core::Case>(opened));
    m_printer->setCasePath(path);
    showCase();
    Tab1_Click();
}

void frmHiTemp::mnuSave_Click() {
    const QString path = m_platform.saveFileName(this, dialogStart(), dialogFilter());
    if (path.isEmpty())
        return;
    if (!confirmOverwrite(m_platform, this, path))
        return;
    const std::string error = core::saveDewFile(localPath(path), m_case);
    if (error.empty())
        m_printer->setCasePath(path);
    else
        m_platform.messageBox(this, kSaveErrorText.arg(QDir::toNativeSeparators(path), qs(error)),
                              kSaveErrorTitle, Buttons::Ok, Icon::Critical);
}

// ---- Reports, printing, the rest ----------------------------------------------------------

void frmHiTemp::BuildReportText() {
    m_strReport = qs(core::buildReportText(m_case, resultTexts()));
}

bool frmHiTemp::warnNoResults(const QString& text, const QString& title) {
    if (hasResults())
        return false;
    m_platform.messageBox(this, text, title, Buttons::Ok, Icon::Critical);
    return true;
}

void frmHiTemp::mnuCopyData_Click() {
    if (warnNoResults(kNoDataText, kNoDataTitle))
        return;
    BuildReportText();
    m_platform.setClipboardText(m_strReport);
}

void frmHiTemp::mnuCopyGraph_Click() {
    copyGraph(chart(), m_platform, this, hasResults());
}

void frmHiTemp::mnuPrint_Click() {
    const core::ResultTexts texts = resultTexts();
    m_printer->print({m_case, texts, chart()});
}

void frmHiTemp::mnuPrintSetup_Click() {
    m_printer->printerSetup();
}

void frmHiTemp::mnuPrintPreview_Click() {
    const core::ResultTexts texts = resultTexts();
    m_printer->printPreview({m_case, texts, chart()});
}

void frmHiTemp::mnuExportPdf_Click() {
    const core::ResultTexts texts = resultTexts();
    m_printer->exportPdf({m_case, texts, chart()});
}

void frmHiTemp::connectPrinting() {
    // Preview and PDF show the printed page: like "&Print" they wait for the first results.
    for (const QString& name :
         {QStringLiteral("mnuPrintPreview"), QStringLiteral("mnuExportPdf")}) {
        QAction* item = findChild<QAction*>(name);
        item->setEnabled(false);
        connect(m_mnuPrint, &QAction::changed, item,
                [this, item] { item->setEnabled(m_mnuPrint->isEnabled()); });
    }
    connect(&chart(), &ResultsChart::axisPicked, this,
            [this](int axisId) { editAxisScale(chart(), m_platform, this, axisId); });
}

void frmHiTemp::mnuExit_Click() {
    // Ends at once: no question, nothing saved.
    QApplication::closeAllWindows();
}

void frmHiTemp::mnuAbout_Click() {
    const QStringList paragraphs{kWindowTitle, kAboutVersion.arg(QStringLiteral(KVH_VERSION)),
                                 kAboutWarning, kAboutLowTemp};
    m_platform.messageBox(this, paragraphs.join(QStringLiteral("\n\n")), kAboutTitle, Buttons::Ok,
                          Icon::None);
}

} // namespace kvh::ui
