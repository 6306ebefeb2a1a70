// The printed report through the window's print commands: the page printed to a PDF file
// offscreen and read back by poppler's pdftotext/pdfinfo (text, columns, chart, pages), Printer
// Setup, Print Preview and Export PDF, the print page window, and what printing must leave
// alone (the case and the clipboard). Export PDF's refusals: tst_saving, with the other writers.

#include "window_harness.h"

#include "ui/output/print_page.h"
#include "ui/output/report_printer.h"

#include <QBuffer>
#include <QPdfWriter>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>

#include <map>

using namespace kvh;
using namespace Qt::StringLiterals;
using test::WindowHarness;

namespace {

const QString kEarlierClipboard = u"the user's own text"_s;

QString runTool(const QString& tool, const QStringList& args) {
    QProcess process;
    process.start(tool, args);
    process.waitForFinished(60000);
    return QString::fromUtf8(process.readAllStandardOutput());
}

QString pdfText(const QString& path) {
    return runTool(u"pdftotext"_s, {path, u"-"_s});
}

int pdfPageCount(const QString& path) {
    static const QRegularExpression pages(uR"(Pages:\s+(\d+))"_s);
    const auto m = pages.match(runTool(u"pdfinfo"_s, {path}));
    return m.hasMatch() ? m.captured(1).toInt() : -1;
}

/// A word of the PDF with its page (from 1) and its box, in points.
struct Word {
    qsizetype page;
    double xMin, yMin, xMax, yMax;
    QString text;
};

QList<Word> pdfWords(const QString& path) {
    static const QRegularExpression word(
        uR"re(<word xMin="([\d.]+)" yMin="([\d.]+)" xMax="([\d.]+)" yMax="([\d.]+)">([^<]*)</word>)re"_s);
    const QStringList pages =
        runTool(u"pdftotext"_s, {u"-bbox"_s, path, u"-"_s}).split(u"<page "_s);
    QList<Word> out;
    for (qsizetype page = 1; page < pages.size(); ++page)
        for (auto it = word.globalMatch(pages[page]); it.hasNext();) {
            const auto m = it.next();
            out.append({page, m.captured(1).toDouble(), m.captured(2).toDouble(),
                        m.captured(3).toDouble(), m.captured(4).toDouble(), m.captured(5)});
        }
    return out;
}

/// A data line of the printed table: the first word of its step and its two numbers.
struct DataLine {
    Word step, temp, time;
};

/// The printed table's data lines, and the left edge of the "Step Type" header.
QList<DataLine> dataLines(const QList<Word>& words, double& stepHeaderX) {
    static const QRegularExpression number(uR"(^\d+\.\d$)"_s);
    static const QRegularExpression step(uR"(^(Start|Ramp|Dwell|End)$)"_s);
    std::map<std::pair<qsizetype, int>, QList<Word>> lines; // by page and baseline
    for (const Word& w : words)
        lines[{w.page, qRound(w.yMax)}].append(w);
    QList<DataLine> out;
    for (const auto& [at, w] : lines) {
        if (w[0].text == u"Step"_s)
            stepHeaderX = w[0].xMin;
        const qsizetype n = w.size();
        if (n >= 4 && step.match(w[1].text).hasMatch() && number.match(w[n - 2].text).hasMatch() &&
            number.match(w[n - 1].text).hasMatch())
            out.append({w[1], w[n - 2], w[n - 1]});
    }
    return out;
}

/// The lowest word `text` on the first page; a null word if there is none.
Word lowestOnFirstPage(const QList<Word>& words, const QString& text) {
    Word lowest{0, -1, -1, -1, -1, {}};
    for (const Word& w : words)
        if (w.page == 1 && w.text == text && w.yMax > lowest.yMax)
            lowest = w;
    return lowest;
}

/// 7440, Tessel III, air, °F: a start row, ramps and dwells of varied magnitudes (so that
/// alignment matters) and an end row, `rows` in all.
QByteArray longCase(int rows) {
    QByteArray dew = "[Setup]\r\nTemp Units = 0\r\nTime Units = 0\r\nDavar Model = 2\r\n"
                     "Tracer Type = 1\r\nEnvironment = 0\r\n[Data]\r\nS,70,0\r\n";
    int temp = 70;
    for (int r = 2; r < rows; ++r) {
        if (r % 2 == 0)
            temp = r == 2 ? 1000 : 100 + (r * 377) % 1100;
        dew += (r % 2 == 0 ? "R," : "D,") + QByteArray::number(temp) + ',' +
               (r % 2 == 0 ? QByteArray("2.25") : QByteArray::number(5 + (r * 53) % 1440)) + "\r\n";
    }
    return dew + "E,5.5,0\r\n";
}

} // namespace

class tst_Printing : public QObject {
    Q_OBJECT
    std::unique_ptr<WindowHarness> h;

    QString path(const QString& name) const { return h->dir.filePath(name); }

private slots:
    void initTestCase() {
        if (QStandardPaths::findExecutable(u"pdftotext"_s).isEmpty() ||
            QStandardPaths::findExecutable(u"pdfinfo"_s).isEmpty())
            QSKIP("pdftotext and pdfinfo (poppler-utils) are needed to read the printed PDF");
    }
    void init() { h = std::make_unique<WindowHarness>(); }
    void cleanup() { h.reset(); }

    void printedPages_data() {
        QTest::addColumn<int>("rows");
        QTest::addColumn<int>("pages");
        QTest::addColumn<QString>("savedAs"); ///< the case saved under this name first, if any
        QTest::newRow("twenty rows stay on one page") << 20 << 1 << QString();
        QTest::newRow("sixty rows, saved under another name, on two pages")
            << 60 << 2 << u"renamed.dew"_s;
        QTest::newRow("two hundred rows") << 200 << 4 << QString();
    }
    void printedPages() {
        QFETCH(int, rows);
        QFETCH(int, pages);
        QFETCH(QString, savedAs);
        h->showResults(longCase(rows));
        if (!savedAs.isEmpty()) {
            h->platform.saveAnswers.enqueue(path(savedAs));
            h->action("mnuSave")->trigger();
        }
        const QString pdf = path(u"printed.pdf"_s);
        h->platform.printerPdfFile = pdf;
        h->action("mnuPrint")->trigger();
        QCOMPARE(pdfPageCount(pdf), pages);

        // Every line is there: the report, the results page's texts, then the chart's titles.
        const QString text = pdfText(pdf);
        const QString summary = h->txtMaxResults().split(u'\n').first().simplified();
        QVERIFY(text.startsWith(u"KELVORA Thermal Barrier Model Report"_s));
        QVERIFY2(text.simplified().contains(summary), qPrintable(summary));
        QCOMPARE(text.count(u"Dwell at Temp"_s), (rows - 2) / 2);
        const qsizetype verdict = text.indexOf(u"Final Determination: "_s + h->txtPF());
        QVERIFY(verdict > 0 && verdict < text.indexOf(u"Elapsed Minutes"_s));
        QVERIFY(text.contains(u"Temp. °F"_s));

        // The footer on every page: the program, the case's name and the date.
        const QString caseName = savedAs.isEmpty() ? u"case.dew"_s : savedAs;
        QCOMPARE(text.count(u"KVHiTemp "_s + QStringLiteral(KVH_VERSION)), pages);
        QCOMPARE(text.count(caseName), pages);
        QVERIFY(text.contains(QDate::currentDate().toString(u"yyyy-MM-dd"_s)));

        // Step labels start under their header; numbers end together, to within one blank.
        const QList<Word> words = pdfWords(pdf);
        double stepHeaderX = -1;
        const QList<DataLine> lines = dataLines(words, stepHeaderX);
        QCOMPARE(lines.size(), rows);
        const double blank = 3.5;
        for (const DataLine& line : lines) {
            QVERIFY(qAbs(line.step.xMin - stepHeaderX) < 0.5);
            QVERIFY2(qAbs(line.temp.xMax - lines[0].temp.xMax) < blank, qPrintable(line.temp.text));
            QVERIFY2(qAbs(line.time.xMax - lines[0].time.xMax) < blank, qPrintable(line.time.text));
            QVERIFY(line.temp.xMin > line.step.xMax && line.time.xMin > line.temp.xMax);
        }

        // On a single page the chart's axis title ends close above the footer.
        if (pages == 1) {
            const Word footer = lowestOnFirstPage(words, caseName);
            const Word axisTitle = lowestOnFirstPage(words, u"Minutes"_s);
            QVERIFY2(axisTitle.yMax > 0 && footer.yMin > axisTitle.yMax &&
                         footer.yMin - axisTitle.yMax < 100,
                     qPrintable(u"%1 %2"_s.arg(axisTitle.yMax).arg(footer.yMin)));
        }
    }

    void unsavedCaseIsCalledSo() {
        h->showResults();
        QByteArray bytes;
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        QPdfWriter writer(&buffer);
        const core::ResultTexts texts = h->window->resultTexts();
        QVERIFY(
            ui::ReportPrinter::paintDocument(writer, {h->theCase(), texts, h->window->chart()}));
        buffer.close();
        QVERIFY(pdfText(test::writeFile(path(u"unsaved.pdf"_s), bytes)).contains(u"unsaved"_s));
    }

    void printCommandsShareOnePrinterAndOnePage() {
        h->showResults();
        const core::Case before = h->theCase();
        const QRectF chartOnScreen = h->window->chart().chart()->geometry();
        h->platform.clipboardText = kEarlierClipboard;
        // A printer chosen in Printer Setup serves Print; cancelled dialogs change nothing.
        h->platform.printerPdfFile = path(u"chosen.pdf"_s);
        h->action("mnuPrintSetup")->trigger();
        h->platform.acceptPrinterDialog = false;
        h->platform.printerPdfFile = path(u"other.pdf"_s);
        h->action("mnuPrintSetup")->trigger();
        h->action("mnuPrint")->trigger();
        QVERIFY(!QFileInfo::exists(path(u"chosen.pdf"_s)));
        h->platform.acceptPrinterDialog = true;
        h->platform.printerPdfFile.clear();
        h->action("mnuPrint")->trigger();
        h->platform.printerPdfFile = path(u"preview.pdf"_s);
        h->action("mnuPrintPreview")->trigger();
        h->platform.saveAnswers.enqueue(path(u"export"_s)); // typed without the extension
        h->action("mnuExportPdf")->trigger();

        QCOMPARE(h->platform.printerDialogs, 4);
        QCOMPARE(h->platform.previews, 1);
        QVERIFY(h->platform.messages.isEmpty());
        QVERIFY(!QFileInfo::exists(path(u"other.pdf"_s)));
        // Export PDF offers the case's folder and name.
        QCOMPARE(h->platform.saveDialogStarts,
                 QStringList{QFileInfo(h->window->filePath()).absolutePath() + u"/case.pdf"_s});
        const QString printed = pdfText(path(u"chosen.pdf"_s));
        QVERIFY(printed.contains(u"Final Determination: PASS"_s));
        QCOMPARE(pdfText(path(u"preview.pdf"_s)), printed);
        QCOMPARE(pdfText(path(u"export.pdf"_s)), printed);
        QVERIFY(h->theCase() == before); // the aligned numbers live on paper only
        QCOMPARE(h->platform.clipboardWrites, 0);
        QCOMPARE(h->platform.clipboardText, kEarlierClipboard);
        // The chart is laid out for paper only while it is drawn there.
        QCOMPARE(h->window->chart().chart()->geometry(), chartOnScreen);
    }
};

QTEST_MAIN(tst_Printing)
#include "tst_printing.moc"
