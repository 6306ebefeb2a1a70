// The printed report through the window's print commands: the page printed to a PDF file
// offscreen and read back by poppler's pdftotext/pdfinfo (text, columns, chart, pages), Printer
// Setup, Print Preview and Export PDF, the print page window, and what printing must leave
// alone (the case and the clipboard).

#include "window_harness.h"

#include "ui/print_page.h"
#include "ui/report_printer.h"

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

/// A word of the PDF with its left and right edge, in points.
struct Word {
    double xMin, xMax;
    QString text;
};
/// A data line of the printed table: the first word of its step and its two numbers.
struct DataLine {
    Word step, temp, time;
};

/// The printed table's data lines, and the left edge of the "Step Type" header.
QList<DataLine> dataLines(const QString& path, double& stepHeaderX) {
    static const QRegularExpression word(
        uR"re(<word xMin="([\d.]+)" yMin="[\d.]+" xMax="([\d.]+)" yMax="([\d.]+)">([^<]*)</word>)re"_s);
    static const QRegularExpression number(uR"(^\d+\.\d$)"_s);
    static const QRegularExpression step(uR"(^(Start|Ramp|Dwell|End)$)"_s);
    std::map<std::pair<qsizetype, int>, QList<Word>> lines; // by page and baseline
    const QString html = runTool(u"pdftotext"_s, {u"-bbox"_s, path, u"-"_s});
    const QStringList pages = html.split(u"<page "_s);
    for (qsizetype page = 1; page < pages.size(); ++page)
        for (auto it = word.globalMatch(pages[page]); it.hasNext();) {
            const auto m = it.next();
            lines[{page, qRound(m.captured(3).toDouble())}].append(
                {m.captured(1).toDouble(), m.captured(2).toDouble(), m.captured(4)});
        }
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

/// The top and bottom (points) of the lowest word `text` on the PDF's first page; -1 if none.
std::pair<double, double> lowestWordSpan(const QString& path, const QString& text) {
    static const QRegularExpression word(
        uR"re(<word xMin="[\d.]+" yMin="([\d.]+)" xMax="[\d.]+" yMax="([\d.]+)">([^<]*)</word>)re"_s);
    const QString page = runTool(u"pdftotext"_s, {u"-bbox"_s, u"-l"_s, u"1"_s, path, u"-"_s});
    std::pair<double, double> span{-1, -1};
    for (auto it = word.globalMatch(page); it.hasNext();) {
        const auto m = it.next();
        if (m.captured(3) == text && m.captured(2).toDouble() > span.second)
            span = {m.captured(1).toDouble(), m.captured(2).toDouble()};
    }
    return span;
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
        QTest::newRow("twenty rows stay on one page") << 20 << 1;
        QTest::newRow("sixty rows continue on a second page") << 60 << 2;
        QTest::newRow("two hundred rows") << 200 << 4;
    }
    void printedPages() {
        QFETCH(int, rows);
        QFETCH(int, pages);
        h->showResults(longCase(rows));
        h->platform.printerPdfFile = path(u"printed.pdf"_s);
        h->action("mnuPrint")->trigger();
        QCOMPARE(pdfPageCount(path(u"printed.pdf"_s)), pages);

        // Every line is there: the report, the results page's texts, then the chart's titles.
        const QString text = pdfText(path(u"printed.pdf"_s));
        const QString summary = h->txtMaxResults().split(u'\n').first().simplified();
        QVERIFY(text.startsWith(u"KELVORA Thermal Barrier Model Report"_s));
        QVERIFY2(text.simplified().contains(summary), qPrintable(summary));
        QCOMPARE(text.count(u"Dwell at Temp"_s), (rows - 2) / 2);
        const qsizetype verdict = text.indexOf(u"Final Determination: "_s + h->txtPF());
        QVERIFY(verdict > 0 && verdict < text.indexOf(u"Elapsed Minutes"_s));
        QVERIFY(text.contains(u"Temp. °F"_s));

        // Step labels start under their header; numbers end together, to within one blank.
        double stepHeaderX = -1;
        const QList<DataLine> lines = dataLines(path(u"printed.pdf"_s), stepHeaderX);
        QCOMPARE(lines.size(), rows);
        const double blank = 3.5;
        for (const DataLine& line : lines) {
            QVERIFY(qAbs(line.step.xMin - stepHeaderX) < 0.5);
            QVERIFY2(qAbs(line.temp.xMax - lines[0].temp.xMax) < blank, qPrintable(line.temp.text));
            QVERIFY2(qAbs(line.time.xMax - lines[0].time.xMax) < blank, qPrintable(line.time.text));
            QVERIFY(line.temp.xMin > line.step.xMax && line.time.xMin > line.temp.xMax);
        }
    }

    void footerOnEveryPageAndChartDownToIt_data() {
        QTest::addColumn<int>("rows");
        QTest::addColumn<QString>("savedAs");
        QTest::addColumn<QString>("caseName");
        QTest::newRow("opened case, one page") << 20 << QString() << u"case.dew"_s;
        QTest::newRow("saved under another name, two pages")
            << 60 << u"renamed.dew"_s << u"renamed.dew"_s;
    }
    void footerOnEveryPageAndChartDownToIt() {
        QFETCH(int, rows);
        QFETCH(QString, savedAs);
        QFETCH(QString, caseName);
        h->showResults(longCase(rows));
        if (!savedAs.isEmpty()) {
            h->platform.saveAnswers.enqueue(path(savedAs));
            h->action("mnuSave")->trigger();
        }
        const QString pdf = path(u"printed.pdf"_s);
        h->platform.printerPdfFile = pdf;
        h->action("mnuPrint")->trigger();
        const int pages = pdfPageCount(pdf);
        const QString text = pdfText(pdf);
        const QString program = u"KVHiTemp "_s + QStringLiteral(KVH_VERSION);
        QCOMPARE(text.count(program), pages);
        QCOMPARE(text.count(caseName), pages);
        QVERIFY(text.contains(QDate::currentDate().toString(u"yyyy-MM-dd"_s)));

        // The chart's axis title ends close above the footer, not half a page higher.
        const auto footer = lowestWordSpan(pdf, caseName);
        const auto axisTitle = lowestWordSpan(pdf, u"Minutes"_s);
        if (pages == 1) {
            QVERIFY2(axisTitle.second > 0 && footer.first > axisTitle.second &&
                         footer.first - axisTitle.second < 100,
                     qPrintable(u"%1 %2"_s.arg(axisTitle.second).arg(footer.first)));
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
        const QString file = path(u"unsaved.pdf"_s);
        QFile out(file);
        QVERIFY(out.open(QIODevice::WriteOnly) && out.write(bytes) == bytes.size());
        out.close();
        QVERIFY(pdfText(file).contains(u"unsaved"_s));
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
        QCOMPARE(h->platform.saveDialogStarts,
                 QStringList{QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation)});
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

    void exportThatWritesNothing_data() {
        QTest::addColumn<QString>("target");
        QTest::addColumn<QString>("title");
        QTest::newRow("existing file, not replaced")
            << u"existing.pdf"_s << u"Warning: File Exists"_s;
        QTest::newRow("missing folder") << u"no such folder/report.pdf"_s << u"Export PDF Error"_s;
    }
    void exportThatWritesNothing() {
        QFETCH(QString, target);
        QFETCH(QString, title);
        h->showResults();
        QFile file(path(target));
        if (!target.contains(u'/'))
            QVERIFY(file.open(QIODevice::WriteOnly) && file.write("earlier content") > 0);
        file.close();
        const QByteArray earlier = test::fileBytes(path(target));
        h->platform.saveAnswers.enqueue(path(target));
        h->platform.messageAnswers.enqueue(platform::Answer::No);
        h->action("mnuExportPdf")->trigger();

        QCOMPARE(h->platform.messages.size(), 1);
        QCOMPARE(h->platform.messages[0].title, title);
        if (title == u"Export PDF Error"_s) {
            QCOMPARE(h->platform.messages[0].icon, platform::Icon::Critical);
            QVERIFY(h->platform.messages[0].text.contains(QDir::toNativeSeparators(path(target))));
        }
        QCOMPARE(test::fileBytes(path(target)), earlier);
    }
};

QTEST_MAIN(tst_Printing)
#include "tst_printing.moc"
