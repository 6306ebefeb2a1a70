// The printed report: the page printed to a PDF file offscreen and read back (text, columns,
// chart, pages), the printer dialog and setup, preview and PDF export, and what printing must
// leave alone (the case and the clipboard).

#include "fake_platform.h"
#include "print_fixtures.h"
#include "ui/frm_print.h"
#include "ui/print_page.h"
#include "ui/report_printer.h"
#include "ui/results_chart.h"

#include <QPlainTextEdit>
#include <QPrinter>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

#include <algorithm>
#include <map>

using namespace kvh;

namespace {

const QString kEarlierClipboard = QStringLiteral("the user's own text");

/// A data line of the printed table: the first word of its step label and its two numbers.
struct DataLine {
    const test::PdfWord* step;
    const test::PdfWord* temp;
    const test::PdfWord* time;
};

QList<DataLine> dataLines(const QList<test::PdfWord>& words) {
    static const QRegularExpression number(QStringLiteral(R"(^\d+\.\d$)"));
    static const QRegularExpression label(QStringLiteral(R"(^(Start|Ramp|Dwell|End)$)"));
    // Keyed by page and the words' bottom, to the nearest point.
    std::map<std::pair<int, int>, DataLine> byLine;
    for (const auto& w : words) {
        auto& line =
            byLine.try_emplace({w.page, qRound(w.yMax)}, DataLine{nullptr, nullptr, nullptr})
                .first->second;
        if (label.match(w.text).hasMatch() && line.step == nullptr)
            line.step = &w;
        else if (number.match(w.text).hasMatch())
            (line.temp == nullptr ? line.temp : line.time) = &w;
    }
    QList<DataLine> lines;
    for (const auto& [y, line] : byLine)
        if (line.step != nullptr && line.temp != nullptr && line.time != nullptr)
            lines.append(line);
    return lines;
}

} // namespace

class tst_Printing : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    ui::ResultsChart* m_chart = nullptr;
    core::ResultTexts m_results = test::makeResults();

    QString path(const char* name) const { return m_dir.filePath(QString::fromLatin1(name)); }

private slots:
    void initTestCase() {
        QVERIFY(m_dir.isValid());
        if (!test::havePoppler())
            QSKIP("pdftotext and pdfinfo (poppler-utils) are needed to read the printed PDF");
        m_chart = new ui::ResultsChart;
        m_chart->resize(700, 420);
        m_chart->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_chart));
        m_chart->plot(test::makeChartData(1440));
    }
    void cleanupTestCase() { delete m_chart; }

    void printedPage() {
        const core::Case input = test::makeCase(6);
        const core::ProfileTable before = input.profile;
        test::FakePlatform fake;
        fake.clipboardText = kEarlierClipboard;
        fake.printerPdfFile = path("printed.pdf");
        ui::ReportPrinter printer(fake, nullptr);

        QVERIFY(printer.print({input, m_results, *m_chart}));

        QCOMPARE(fake.printerDialogs, 1);
        QVERIFY(fake.messages.isEmpty());
        QVERIFY(QFileInfo(fake.printerPdfFile).size() > 0);
        const QString text = test::pdfText(fake.printerPdfFile);
        for (const char* expected :
             {"KELVORA Thermal Barrier Model Report", "Model: 7440 2\" by 16\" Vacuum Dewar",
              "Tracer Type: Tessel II or VTX", "Environment: Air", "Step Type", "Start Temp",
              "Ramp to Temp", "Dwell at Temp", "End Temp", "1000.0", "5.5",
              "Maximum Internal Temperature = 131.4 \u00b0F", "Final Rate = 0.12 \u00b0F/min",
              "Final Determination: PASS"})
            QVERIFY2(text.contains(QString::fromUtf8(expected)), expected);
        // The chart picture, drawn as vectors: its titles are text in the PDF.
        QVERIFY(text.contains(QStringLiteral("Elapsed Minutes")));
        QVERIFY(text.contains(QStringLiteral("Temp. \u00b0F")));
        QCOMPARE(test::pdfPageCount(fake.printerPdfFile), 1);
        // Printing rounds numbers on paper only, and leaves the clipboard alone.
        QVERIFY(input.profile == before);
        QCOMPARE(input.profile.cell(1, core::kColTemp), std::string("70"));
        QCOMPARE(fake.clipboardWrites, 0);
        QCOMPARE(fake.clipboardText, kEarlierClipboard);
    }

    void columnsLineUp() {
        const core::Case input = test::makeCase(12);
        test::FakePlatform fake;
        fake.printerPdfFile = path("columns.pdf");
        ui::ReportPrinter printer(fake, nullptr);
        QVERIFY(printer.print({input, m_results, *m_chart}));

        const QList<test::PdfWord> words = test::pdfWords(fake.printerPdfFile);
        const QList<DataLine> lines = dataLines(words);
        QCOMPARE(lines.size(), 12);
        const auto stepHeader = std::find_if(words.begin(), words.end(), [](const auto& w) {
            return w.text == QStringLiteral("Step");
        });
        QVERIFY(stepHeader != words.end());
        // Step labels start together (under the header); numbers end together, to within the
        // width of one blank (the padding is made of whole blanks).
        const double blank = 3.5;
        for (const DataLine& line : lines) {
            QVERIFY(qAbs(line.step->xMin - stepHeader->xMin) < 0.5);
            QVERIFY2(qAbs(line.temp->xMax - lines[0].temp->xMax) < blank,
                     qPrintable(line.temp->text));
            QVERIFY2(qAbs(line.time->xMax - lines[0].time->xMax) < blank,
                     qPrintable(line.time->text));
            QVERIFY(line.temp->xMin > line.step->xMax);
            QVERIFY(line.time->xMin > line.temp->xMax);
        }
    }

    void longReportsContinueOnFurtherPages_data() {
        QTest::addColumn<int>("rows");
        QTest::addColumn<int>("pages");
        QTest::newRow("twenty rows stay on one page") << 20 << 1;
        QTest::newRow("sixty rows continue on a second page") << 60 << 2;
        QTest::newRow("two hundred rows") << 200 << 4;
    }

    void longReportsContinueOnFurtherPages() {
        QFETCH(int, rows);
        QFETCH(int, pages);
        const core::Case input = test::makeCase(rows);
        test::FakePlatform fake;
        fake.printerPdfFile = path("long.pdf");
        ui::ReportPrinter printer(fake, nullptr);
        QVERIFY(printer.print({input, m_results, *m_chart}));

        QCOMPARE(test::pdfPageCount(fake.printerPdfFile), pages);
        // No line is lost: every data row is there, then the results and the chart.
        const QString text = test::pdfText(fake.printerPdfFile);
        QCOMPARE(dataLines(test::pdfWords(fake.printerPdfFile)).size(), rows);
        QCOMPARE(text.count(QStringLiteral("Dwell at Temp")), (rows - 2) / 2);
        QVERIFY(text.indexOf(QStringLiteral("Final Determination: PASS")) <
                text.indexOf(QStringLiteral("Elapsed Minutes")));
    }

    void cancelledPrinterDialogPrintsNothing() {
        const core::Case input = test::makeCase(6);
        test::FakePlatform fake;
        fake.acceptPrinterDialog = false;
        fake.printerPdfFile = path("cancelled.pdf");
        ui::ReportPrinter printer(fake, nullptr);

        QVERIFY(!printer.print({input, m_results, *m_chart}));

        QCOMPARE(fake.printerDialogs, 1);
        QVERIFY(!QFileInfo::exists(fake.printerPdfFile));
        QVERIFY(fake.messages.isEmpty());
    }

    void printerSetupChoiceServesLaterPrints() {
        const core::Case input = test::makeCase(6);
        test::FakePlatform fake;
        ui::ReportPrinter printer(fake, nullptr);
        fake.printerPdfFile = path("chosen.pdf");
        QVERIFY(printer.printerSetup());

        fake.acceptPrinterDialog = false; // a cancelled setup keeps the choice
        fake.printerPdfFile = path("other.pdf");
        QVERIFY(!printer.printerSetup());
        QCOMPARE(printer.printer().outputFileName(), path("chosen.pdf"));

        fake.acceptPrinterDialog = true; // the print's dialog confirms what is chosen
        fake.printerPdfFile.clear();
        QVERIFY(printer.print({input, m_results, *m_chart}));
        QVERIFY(QFileInfo(path("chosen.pdf")).size() > 0);
        QVERIFY(!QFileInfo::exists(path("other.pdf")));
        QCOMPARE(fake.printerDialogs, 3);
        QCOMPARE(fake.clipboardWrites, 0);
    }

    void previewAndPdfShowThePrintedPage() {
        const core::Case input = test::makeCase(8);
        test::FakePlatform fake;
        ui::ReportPrinter printer(fake, nullptr);
        const ui::ReportPrinter::Content content{input, m_results, *m_chart};
        fake.printerPdfFile = path("page.pdf");
        QVERIFY(printer.print(content));
        fake.printerPdfFile = path("preview.pdf");
        printer.printPreview(content);
        fake.saveAnswers.enqueue(path("export")); // typed without the extension

        QVERIFY(printer.exportPdf(content));

        QCOMPARE(fake.previews, 1);
        QCOMPARE(fake.saveDialogStarts,
                 QStringList{QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation)});
        const QString printed = test::pdfText(path("page.pdf"));
        QCOMPARE(test::pdfText(path("preview.pdf")), printed);
        QCOMPARE(test::pdfText(path("export.pdf")), printed);
        QCOMPARE(fake.clipboardWrites, 0);
    }

    void pdfExportAsksBeforeReplacing_data() {
        QTest::addColumn<platform::Answer>("answer");
        QTest::addColumn<bool>("replaced");
        QTest::newRow("no keeps the file") << platform::Answer::No << false;
        QTest::newRow("yes replaces it") << platform::Answer::Yes << true;
    }

    void pdfExportAsksBeforeReplacing() {
        QFETCH(platform::Answer, answer);
        QFETCH(bool, replaced);
        const core::Case input = test::makeCase(6);
        const QString target = path("existing.pdf");
        QFile file(target);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("earlier content");
        file.close();
        test::FakePlatform fake;
        fake.saveAnswers.enqueue(target);
        fake.messageAnswers.enqueue(answer);
        ui::ReportPrinter printer(fake, nullptr);

        QCOMPARE(printer.exportPdf({input, m_results, *m_chart}), replaced);

        QCOMPARE(fake.messages.size(), 1);
        QCOMPARE(fake.messages[0].text, QStringLiteral("Overwrite Existing File?"));
        QCOMPARE(fake.messages[0].title, QStringLiteral("Warning: File Exists"));
        QCOMPARE(fake.messages[0].buttons, platform::Buttons::YesNo);
        QCOMPARE(test::fileBytes(target).startsWith("%PDF"), replaced);
        QCOMPARE(test::fileBytes(target) == "earlier content", !replaced);
    }

    void pdfExportFailureIsTold() {
        const core::Case input = test::makeCase(6);
        const QString target = path("no such folder/report.pdf");
        test::FakePlatform fake;
        ui::ReportPrinter printer(fake, nullptr);

        QVERIFY(!printer.writePdf(target, {input, m_results, *m_chart}));

        QCOMPARE(fake.messages.size(), 1);
        QCOMPARE(fake.messages[0].title, QStringLiteral("Export PDF Error"));
        QCOMPARE(fake.messages[0].icon, platform::Icon::Critical);
        QVERIFY(fake.messages[0].text.contains(QDir::toNativeSeparators(target)));
        QVERIFY(!QFileInfo::exists(target));
    }

    void printPageWindowKeepsTheProportions() {
        ui::frmPrint page;
        const core::Case input = test::makeCase(6);
        page.setContent(ui::PrintPage::alignedReport(input, m_results, &page), m_chart);
        auto* text = page.findChild<QPlainTextEdit*>(QStringLiteral("txtPrint"));
        auto* picture = page.findChild<QWidget*>(QStringLiteral("Pic1"));
        QVERIFY(text != nullptr && picture != nullptr);
        QCOMPARE(page.objectName(), QStringLiteral("frmPrint"));
        const double twip = page.width() / 9615.0;
        QVERIFY(qAbs(text->x() - 1920 * twip) <= 1 && qAbs(text->width() - 7215 * twip) <= 1);
        QVERIFY(qAbs(picture->y() - 4800 * twip) <= 1);
        QVERIFY(qAbs(picture->height() - 3975 * twip) <= 1);
        QVERIFY(text->toPlainText().startsWith(QStringLiteral("KELVORA Thermal Barrier")));
        QVERIFY(!text->toPlainText().contains(QLatin1Char('\r')));
    }
};

QTEST_MAIN(tst_Printing)
#include "tst_printing.moc"
