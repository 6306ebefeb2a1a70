#include "ui/output/export_menu.h"

#include "core/comparison_csv.h"
#include "core/dew_file.h"
#include "core/model.h"
#include "platform/platform.h"
#include "ui/chart/graph_copy.h"
#include "ui/chart/results_chart.h"
#include "ui/editing/case_editor.h"
#include "ui/editing/save_flow.h"
#include "ui/pages/compare_page.h"
#include "ui/qt_text.h"

#include <QAction>
#include <QBuffer>
#include <QImage>
#include <QMenu>

namespace kvh::ui {

/// One export: what the dialog offers, and the name it starts with beside the case's file
/// (its extension replaced: "anneal.dew" -> "anneal.series.csv") or, for an unsaved case,
/// in the documents folder.
struct ExportKind {
    SaveKind save;
    QString besideCase;
    QString unsavedName;
};

namespace {

const QString kMenuCaption = QStringLiteral("Expor&t");
const QString kSeriesCaption = QStringLiteral("Series as CSV...");
const QString kPngCaption = QStringLiteral("Chart as PNG...");
const QString kSvgCaption = QStringLiteral("Chart as SVG...");
const QString kComparisonCaption = QStringLiteral("Comparison as CSV...");
const QString kCsvFilter = QStringLiteral("CSV file (*.csv)");
const QString kPngFilter = QStringLiteral("PNG picture (*.png)");
const QString kSvgFilter = QStringLiteral("SVG drawing (*.svg)");
const QString kErrorTitle = QStringLiteral("Export Error");
const QString kNotComparableText = QStringLiteral(
    "Choose the tracer type and the process environment on the Setup page to compare barriers.");
const QString kSetupMissingText =
    QStringLiteral("Choose %1 on the Setup page to export the results.");
const QString kModelMissing = QStringLiteral("the barrier model");
const QString kTracerMissing = QStringLiteral("the tracer type");
const QString kEnvironMissing = QStringLiteral("the process environment");
const QString kAnd = QStringLiteral(" and ");

const ExportKind kSeries{{kCsvFilter, QStringLiteral(".csv"), kErrorTitle},
                         QStringLiteral(".series.csv"),
                         QStringLiteral("series.csv")};
const ExportKind kPng{{kPngFilter, QStringLiteral(".png"), kErrorTitle},
                      QStringLiteral(".chart.png"),
                      QStringLiteral("chart.png")};
const ExportKind kSvg{{kSvgFilter, QStringLiteral(".svg"), kErrorTitle},
                      QStringLiteral(".chart.svg"),
                      QStringLiteral("chart.svg")};
const ExportKind kComparison{{kCsvFilter, QStringLiteral(".csv"), kErrorTitle},
                             QStringLiteral(".barriers.csv"),
                             QStringLiteral("barriers.csv")};

std::string_view bytesView(const QByteArray& bytes) {
    return {bytes.constData(), static_cast<size_t>(bytes.size())};
}

QByteArray pngBytes(const QImage& image) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

/// "Choose the barrier model and the tracer type on the Setup page ...": what a run lacks.
QString setupMissingText(const core::SetupState& setup) {
    QStringList missing;
    if (setup.model().selectedIndex() < 0)
        missing << kModelMissing;
    if (setup.tracer().selectedIndex() < 0)
        missing << kTracerMissing;
    if (setup.environ().selectedIndex() < 0)
        missing << kEnvironMissing;
    if (missing.isEmpty())
        return qs(core::kSetupNotComplete);
    const QString last = missing.takeLast();
    return kSetupMissingText.arg(
        missing.isEmpty() ? last : missing.join(QStringLiteral(", ")) + kAnd + last);
}

} // namespace

ExportMenu::ExportMenu(Host host, QMenu* file, QAction* before)
    : QObject(host.window), m_host(std::move(host)) {
    auto* menu = new QMenu(kMenuCaption, file);
    menu->setObjectName(QStringLiteral("mnuExport"));
    menu->menuAction()->setObjectName(QStringLiteral("mnuExport"));
    file->insertMenu(before, menu);
    const struct {
        const char* name;
        const QString& caption;
        void (ExportMenu::*handler)();
    } items[] = {{"mnuExportSeries", kSeriesCaption, &ExportMenu::exportSeries},
                 {"mnuExportPng", kPngCaption, &ExportMenu::exportPng},
                 {"mnuExportSvg", kSvgCaption, &ExportMenu::exportSvg},
                 {"mnuExportComparison", kComparisonCaption, &ExportMenu::exportComparison}};
    for (const auto& item : items) {
        QAction* action = menu->addAction(item.caption);
        action->setObjectName(QString::fromLatin1(item.name));
        connect(action, &QAction::triggered, this, item.handler);
    }
}

void ExportMenu::tell(const QString& text) {
    m_host.platform.messageBox(m_host.window, text, kErrorTitle, platform::Buttons::Ok,
                               platform::Icon::Critical);
}

const core::Case& ExportMenu::theCase() const {
    return m_host.editor.theCase();
}

bool ExportMenu::setupComplete() {
    const core::SetupState& setup = theCase().setup;
    if (!setup.complete())
        tell(setupMissingText(setup));
    return setup.complete();
}

bool ExportMenu::chartShowsTheCase() {
    if (m_host.resultsShown())
        return true; // as displayed, fixed axis ranges included
    // From another page the case is run as the results page would run it.
    return setupComplete() && m_host.runAndShowResults();
}

void ExportMenu::exportBytes(const ExportKind& kind, const QByteArray& bytes) {
    const SaveFlow flow(m_host.platform, m_host.window);
    const QString path = flow.askPath(
        SaveFlow::startBeside(m_host.filePath(), kind.besideCase, kind.unsavedName), kind.save);
    if (!path.isEmpty())
        flow.write(path, bytesView(bytes), kind.save);
}

void ExportMenu::exportSeries() {
    if (!setupComplete())
        return;
    // The case as it is now, run as the results page runs it (the series are not kept).
    const core::RunOutcome outcome = core::runModel(theCase());
    if (const auto* error = std::get_if<core::RunError>(&outcome)) {
        tell(qs(core::describeError(*error)));
        return;
    }
    exportBytes(kSeries,
                QByteArray::fromStdString(core::seriesCsv(std::get<core::RunResult>(outcome))));
}

void ExportMenu::exportPng() {
    if (chartShowsTheCase())
        exportBytes(kPng, pngBytes(chartBitmap(m_host.chart, m_host.window->devicePixelRatioF())));
}

void ExportMenu::exportSvg() {
    if (chartShowsTheCase())
        exportBytes(kSvg, chartSvg(m_host.chart));
}

void ExportMenu::exportComparison() {
    const auto& outcome = m_host.comparison();
    if (!outcome) {
        tell(kNotComparableText);
        return;
    }
    if (const auto* error = std::get_if<core::RunError>(&*outcome)) {
        tell(qs(core::describeError(*error)));
        return;
    }
    exportBytes(kComparison, QByteArray::fromStdString(
                                 core::comparisonCsv(std::get<core::Comparison>(*outcome))));
}

} // namespace kvh::ui
