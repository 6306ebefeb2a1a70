#include "ui/export_menu.h"

#include "core/comparison_csv.h"
#include "core/dew_file.h"
#include "core/model.h"
#include "platform/platform.h"
#include "ui/compare_page.h"
#include "ui/frmhitemp.h"
#include "ui/graph_copy.h"
#include "ui/overwrite_question.h"
#include "ui/qt_text.h"
#include "ui/results_chart.h"

#include <QAction>
#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QMenu>
#include <QStandardPaths>

namespace kvh::ui {

namespace {

const QString kMenuCaption = QStringLiteral("Expor&t");
const QString kSeriesCaption = QStringLiteral("Series as CSV...");
const QString kPngCaption = QStringLiteral("Chart as PNG...");
const QString kSvgCaption = QStringLiteral("Chart as SVG...");
const QString kComparisonCaption = QStringLiteral("Comparison as CSV...");
const QString kCsvFilter = QStringLiteral("CSV file (*.csv)");
const QString kPngFilter = QStringLiteral("PNG picture (*.png)");
const QString kSvgFilter = QStringLiteral("SVG drawing (*.svg)");
const QString kSeriesName = QStringLiteral("series.csv");
const QString kPngName = QStringLiteral("chart.png");
const QString kSvgName = QStringLiteral("chart.svg");
const QString kComparisonName = QStringLiteral("barriers.csv");
const QString kErrorTitle = QStringLiteral("Export Error");
const QString kNoResultsText =
    QStringLiteral("The Results and Graph have not yet been calculated or created.");
const QString kNotComparableText = QStringLiteral(
    "Choose the tracer type and the process environment on the Setup page to compare barriers.");
const QString kWriteErrorText = QStringLiteral("The file %1 could not be saved:\n%2");

QString documentsFolder() {
    QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (folder.isEmpty() || !QDir(folder).exists())
        folder = QDir::homePath();
    return folder;
}

QByteArray bytesOf(const std::string& text) {
    return QByteArray(text.data(), static_cast<qsizetype>(text.size()));
}

QByteArray pngBytes(const QImage& image) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

} // namespace

ExportMenu::ExportMenu(frmHiTemp& window, QMenu* file, QAction* before)
    : QObject(&window), m_window(window) {
    auto* menu = new QMenu(kMenuCaption, file);
    menu->setObjectName(QStringLiteral("mnuExport"));
    menu->menuAction()->setObjectName(QStringLiteral("mnuExport"));
    file->insertMenu(before, menu);
    const struct {
        const char* name;
        const QString& caption;
        void (ExportMenu::*handler)();
    } items[] = {
        {"mnuExportSeries", kSeriesCaption, &ExportMenu::mnuExportSeries_Click},
        {"mnuExportPng", kPngCaption, &ExportMenu::mnuExportPng_Click},
        {"mnuExportSvg", kSvgCaption, &ExportMenu::mnuExportSvg_Click},
        {"mnuExportComparison", kComparisonCaption, &ExportMenu::mnuExportComparison_Click}};
    for (const auto& item : items) {
        QAction* action = menu->addAction(item.caption);
        action->setObjectName(QString::fromLatin1(item.name));
        connect(action, &QAction::triggered, this, item.handler);
    }
}

void ExportMenu::tell(const QString& text) {
    m_window.platform().messageBox(&m_window, text, kErrorTitle, platform::Buttons::Ok,
                                   platform::Icon::Critical);
}

bool ExportMenu::resultsExist() {
    if (!m_window.hasResults())
        tell(kNoResultsText);
    return m_window.hasResults();
}

QString ExportMenu::askPath(const QString& fileName, const QString& filter) {
    const QString path = m_window.platform().saveFileName(
        &m_window, documentsFolder() + QLatin1Char('/') + fileName, filter);
    if (path.isEmpty() || !confirmOverwrite(m_window.platform(), &m_window, path))
        return {};
    return path;
}

void ExportMenu::write(const QString& path, const QByteArray& bytes) {
    const std::string error = core::writeFileAtomically(
        QFile::encodeName(path).toStdString(),
        std::string_view(bytes.constData(), static_cast<size_t>(bytes.size())));
    if (!error.empty())
        tell(kWriteErrorText.arg(QDir::toNativeSeparators(path), qs(error)));
}

void ExportMenu::mnuExportSeries_Click() {
    if (!resultsExist())
        return;
    // The case as it is now, run as the results page runs it (the series are not kept).
    const core::RunOutcome outcome = core::runModel(m_window.currentCase());
    if (const auto* error = std::get_if<core::RunError>(&outcome)) {
        tell(qs(core::describeError(*error)));
        return;
    }
    const QString path = askPath(kSeriesName, kCsvFilter);
    if (!path.isEmpty())
        write(path, bytesOf(core::seriesCsv(std::get<core::RunResult>(outcome))));
}

void ExportMenu::mnuExportPng_Click() {
    if (!resultsExist())
        return;
    const QString path = askPath(kPngName, kPngFilter);
    if (!path.isEmpty())
        write(path, pngBytes(chartBitmap(m_window.chart(), m_window.devicePixelRatioF())));
}

void ExportMenu::mnuExportSvg_Click() {
    if (!resultsExist())
        return;
    const QString path = askPath(kSvgName, kSvgFilter);
    if (!path.isEmpty())
        write(path, chartSvg(m_window.chart()));
}

void ExportMenu::mnuExportComparison_Click() {
    const auto& outcome = m_window.comparePage().comparison();
    if (!outcome) {
        tell(kNotComparableText);
        return;
    }
    if (const auto* error = std::get_if<core::RunError>(&*outcome)) {
        tell(qs(core::describeError(*error)));
        return;
    }
    const QString path = askPath(kComparisonName, kCsvFilter);
    if (!path.isEmpty())
        write(path, bytesOf(core::comparisonCsv(std::get<core::Comparison>(*outcome))));
}

} // namespace kvh::ui
