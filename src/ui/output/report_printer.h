#pragma once
// The window's print commands: "&Print", "Printer Set&up", "Print Preview" and
// "Export PDF...". They all produce the same page (PrintPage) on the printer chosen for the
// window's lifetime. None of them changes the case or touches the clipboard. A lack of memory
// while the page is made is told as the command's failure; the window goes on.

#include "core/report.h"

#include <QString>
#include <QStringList>

#include <memory>

class QPagedPaintDevice;
class QPrinter;
class QWidget;

namespace kvh::platform {
class Platform;
}

namespace kvh::ui {

class ResultsChart;

class ReportPrinter {
public:
    /// What the page shows: the case and result texts as the window holds them, and the chart.
    struct Content {
        const core::Case& input;
        const core::ResultTexts& results;
        ResultsChart& chart;
        /// Lines after the report: the comparison with a measured recording, when attached.
        QStringList measuredLines = {};
        /// Lines printed under the report (a calibrated barrier's run), LF between them.
        QString extraLines = {};
    };

    ReportPrinter(platform::Platform& platform, QWidget* parent);
    ~ReportPrinter();
    ReportPrinter(const ReportPrinter&) = delete;
    ReportPrinter& operator=(const ReportPrinter&) = delete;

    /// The printer dialog, then the report on the chosen printer. A cancelled dialog prints
    /// nothing. Returns whether the report was printed.
    bool print(const Content& content);

    /// The printer dialog alone; an accepted choice serves later prints, a cancel changes
    /// nothing. Returns whether it was accepted.
    bool printerSetup();

    /// The report in the platform's print preview, on the chosen printer's page.
    void printPreview(const Content& content);

    /// Asks for a file name (starting beside the case's file, "anneal.pdf") and writes the
    /// report as PDF.
    bool exportPdf(const Content& content);

    /// Writes the report as a PDF file at `path`, on the chosen printer's page layout, through
    /// the program's save flow (atomic, with its refusals). Failures are told in a message box.
    bool writePdf(const QString& path, const Content& content);

    /// The printer kept for the window's lifetime, made on first use.
    QPrinter& printer();

    /// The file the case was last opened from or saved to, named in the page's footer; ""
    /// while the case is unsaved.
    void setCasePath(const QString& path) { m_casePath = path; }

    /// Paints the report on a printer or PDF writer, with the footer naming `casePath` and the
    /// time now; false when the device could not start.
    static bool paintDocument(QPagedPaintDevice& device, const Content& content,
                              const QString& casePath = {});

private:
    void tellFailure(const QString& text, const QString& title);
    bool paintOrTell(QPagedPaintDevice& device, const Content& content);

    platform::Platform& m_platform;
    QWidget* m_parent;
    std::unique_ptr<QPrinter> m_printer;
    QString m_casePath;
};

} // namespace kvh::ui
