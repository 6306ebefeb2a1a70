// The chart and print commands of the real window: Copy Graph, axis picking, "&Print",
// "Printer Set&up", "Print Preview" and "Export PDF...", driven through the menus.

#include "print_fixtures.h"
#include "window_harness.h"

#include "ui/results_chart.h"

#include <QtTest>

using namespace kvh;
using test::WindowHarness;

class tst_PrintWindow : public QObject {
    Q_OBJECT

    std::unique_ptr<WindowHarness> h;

    /// Opens the passing example and shows its results.
    void showResults() {
        h->openText(test::kPassingCase);
        h->showPage(2);
        QVERIFY(h->action("mnuPrint")->isEnabled());
    }

private slots:
    void init() { h = std::make_unique<WindowHarness>(); }
    void cleanup() { h.reset(); }

    void printItemsWaitForResults() {
        for (const char* item : {"mnuPrint", "mnuPrintPreview", "mnuExportPdf"})
            QVERIFY2(!h->action(item)->isEnabled(), item);
        QVERIFY(h->action("mnuPrintSetup")->isEnabled());
        showResults();
        for (const char* item : {"mnuPrint", "mnuPrintPreview", "mnuExportPdf"})
            QVERIFY2(h->action(item)->isEnabled(), item);
    }

    void copyGraphPutsThePictureAlone() {
        showResults();
        h->platform.clipboardText = QStringLiteral("the user's own text");
        h->action("mnuCopyGraph")->trigger();
        QVERIFY(h->platform.messages.isEmpty());
        QCOMPARE(h->platform.clipboardWrites, 1);
        QVERIFY(h->platform.clipboardText.isEmpty());
        QVERIFY(!h->platform.clipboardBitmap.isNull());
        QVERIFY(h->platform.clipboardSvg.contains("<svg"));
        QVERIFY(h->platform.clipboardSvg.contains("Elapsed Minutes"));
    }

    void pickedAxisGetsTheEnteredRangeUntilTheNextRun() {
        showResults();
        ui::ResultsChart& chart = h->window->chart();
        h->platform.inputAnswers << QStringLiteral("20") << QStringLiteral("120");
        emit chart.axisPicked(1);
        QCOMPARE(h->platform.inputs.size(), 2);
        QCOMPARE(h->platform.inputs[0].title, QStringLiteral("Y Axis Scale"));
        QVERIFY(!chart.isAutoScale(core::Axis::Y));
        QCOMPARE(chart.range(core::Axis::Y).low, 20.0);
        QCOMPARE(chart.range(core::Axis::Y).high, 120.0);

        h->showPage(0);
        h->showPage(2); // a new run
        QVERIFY(chart.isAutoScale(core::Axis::Y));
    }

    void printFromTheMenu() {
        showResults();
        const core::ProfileTable before = h->theCase().profile;
        // (a PDF reader's text has single blanks between words)
        const QString summary = h->txtMaxResults().split(QLatin1Char('\n')).first().simplified();
        h->platform.clipboardText = QStringLiteral("the user's own text");
        h->platform.printerPdfFile = h->dir.filePath(QStringLiteral("printed.pdf"));

        h->action("mnuPrint")->trigger();

        QCOMPARE(h->platform.printerDialogs, 1);
        const QString text = test::pdfText(h->platform.printerPdfFile).simplified();
        QVERIFY(text.contains(QStringLiteral("KELVORA Thermal Barrier Model Report")));
        QVERIFY2(text.contains(summary), qPrintable(summary));
        QVERIFY(text.contains(QStringLiteral("Final Determination: ") + h->txtPF()));
        QVERIFY(text.contains(QStringLiteral("Elapsed Minutes"))); // the chart
        QVERIFY(h->theCase().profile == before);
        QCOMPARE(h->platform.clipboardWrites, 0);
        QCOMPARE(h->platform.clipboardText, QStringLiteral("the user's own text"));
    }

    void setupPreviewAndPdfFromTheMenu() {
        showResults();
        const QString chosen = h->dir.filePath(QStringLiteral("chosen.pdf"));
        h->platform.printerPdfFile = chosen;
        h->action("mnuPrintSetup")->trigger();
        h->platform.printerPdfFile.clear();
        h->action("mnuPrint")->trigger(); // prints on the printer chosen in the setup
        QVERIFY(QFileInfo(chosen).size() > 0);

        h->platform.printerPdfFile = h->dir.filePath(QStringLiteral("preview.pdf"));
        h->action("mnuPrintPreview")->trigger();
        h->platform.saveAnswers.enqueue(h->dir.filePath(QStringLiteral("exported.pdf")));
        h->action("mnuExportPdf")->trigger();

        QCOMPARE(h->platform.previews, 1);
        const QString printed = test::pdfText(chosen);
        QCOMPARE(test::pdfText(h->platform.printerPdfFile), printed);
        QCOMPARE(test::pdfText(h->dir.filePath(QStringLiteral("exported.pdf"))), printed);
        QVERIFY(h->platform.messages.isEmpty());
    }
};

QTEST_MAIN(tst_PrintWindow)
#include "tst_print_window.moc"
