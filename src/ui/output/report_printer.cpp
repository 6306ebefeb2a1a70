#include "ui/output/report_printer.h"

#include "platform/platform.h"
#include "ui/editing/file_names.h"
#include "ui/editing/save_flow.h"
#include "ui/output/print_page.h"

#include <QBuffer>
#include <QDateTime>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>

#include <new>

namespace kvh::ui {

namespace {

const QString kPdfFilter = QStringLiteral("PDF files (*.pdf)");
const QString kPdfExtension = QStringLiteral(".pdf");
const QString kPrintErrorText = QStringLiteral("The report could not be printed.");
const QString kPrintErrorTitle = QStringLiteral("Print Error");
const QString kPdfErrorText = QStringLiteral("The report could not be saved as %1:\n%2");
const QString kPdfErrorTitle = QStringLiteral("Export PDF Error");
const QString kNoMemoryText = QStringLiteral("There is not enough memory to print the report.");
const QString kDocumentName = QStringLiteral("KVHiTemp report");
const QString kCreator = QStringLiteral("KVHiTemp");
/// The name Export PDF offers for an unsaved case.
const QString kPdfName = QStringLiteral("report.pdf");

SaveKind pdfKind() {
    return {kPdfFilter, kPdfExtension, kPdfErrorTitle};
}

/// The PDF document of the report, built in memory.
bool renderPdf(QByteArray& pdf, const QPageLayout& layout, const ReportPrinter::Content& content,
               const QString& casePath) {
    QBuffer buffer(&pdf);
    buffer.open(QIODevice::WriteOnly);
    QPdfWriter writer(&buffer);
    writer.setPageLayout(layout);
    writer.setTitle(kDocumentName);
    writer.setCreator(kCreator);
    return ReportPrinter::paintDocument(writer, content, casePath);
}

} // namespace

ReportPrinter::ReportPrinter(platform::Platform& platform, QWidget* parent)
    : m_platform(platform), m_parent(parent) {}

ReportPrinter::~ReportPrinter() = default;

QPrinter& ReportPrinter::printer() {
    // Made on first use: a printer loads the system's print support, which start-up and a
    // session that never prints can do without.
    if (!m_printer) {
        m_printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
        m_printer->setDocName(kDocumentName);
        m_printer->setCreator(kCreator);
    }
    return *m_printer;
}

bool ReportPrinter::paintDocument(QPagedPaintDevice& device, const Content& content,
                                  const QString& casePath) {
    QPainter painter;
    if (!painter.begin(&device))
        return false;
    // The columns are measured with the report font as this device prints it.
    QString text = PrintPage::alignedReport(content.input, content.results, &device);
    for (const QString& line : content.measuredLines)
        text += QStringLiteral("\r\n") + line;
    if (!content.extraLines.isEmpty())
        text += QStringLiteral("\r\n") +
                QString(content.extraLines).replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
    const QSize paintable = device.pageLayout().paintRectPixels(device.logicalDpiX()).size();
    PrintPage::paint(&painter, QRectF(QPointF(0, 0), QSizeF(paintable)), text, content.chart,
                     PrintPage::footer(casePath, QDateTime::currentDateTime()));
    return painter.end();
}

bool ReportPrinter::paintOrTell(QPagedPaintDevice& device, const Content& content) {
    try {
        if (paintDocument(device, content, m_casePath))
            return true;
        tellFailure(kPrintErrorText, kPrintErrorTitle);
    } catch (const std::bad_alloc&) {
        tellFailure(kNoMemoryText, kPrintErrorTitle);
    }
    return false;
}

bool ReportPrinter::print(const Content& content) {
    if (!m_platform.printerDialog(m_parent, printer()))
        return false;
    if (!paintOrTell(printer(), content))
        return false;
    if (printer().printerState() != QPrinter::Error)
        return true;
    tellFailure(kPrintErrorText, kPrintErrorTitle);
    return false;
}

bool ReportPrinter::printerSetup() {
    return m_platform.printerDialog(m_parent, printer());
}

void ReportPrinter::printPreview(const Content& content) {
    m_platform.printPreview(m_parent, printer(), [this, &content](QPrinter* printer) {
        paintOrTell(*printer, content);
    });
}

bool ReportPrinter::exportPdf(const Content& content) {
    const QString path =
        SaveFlow(m_platform, m_parent)
            .askPath(SaveFlow::startBeside(m_casePath, kPdfExtension, kPdfName), pdfKind());
    return !path.isEmpty() && writePdf(path, content);
}

bool ReportPrinter::writePdf(const QString& path, const Content& content) {
    QByteArray pdf;
    QString reason;
    try {
        if (!renderPdf(pdf, printer().pageLayout(), content, m_casePath))
            reason = kPrintErrorText;
    } catch (const std::bad_alloc&) {
        reason = kNoMemoryText;
    }
    if (!reason.isEmpty()) {
        tellFailure(kPdfErrorText.arg(shownFileName(path), reason), kPdfErrorTitle);
        return false;
    }
    // Written as every file the program saves: atomically, with the same refusals.
    return SaveFlow(m_platform, m_parent)
        .write(path, std::string_view(pdf.constData(), static_cast<size_t>(pdf.size())), pdfKind());
}

void ReportPrinter::tellFailure(const QString& text, const QString& title) {
    m_platform.messageBox(m_parent, text, title, platform::Buttons::Ok, platform::Icon::Critical);
}

} // namespace kvh::ui
