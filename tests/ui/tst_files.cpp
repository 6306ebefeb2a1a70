// Open and Save through the file dialogs' seam: where the dialogs start, the file written,
// the overwrite question, round trips, and refusals that change nothing.

#include "window_harness.h"

#include "core/dew_file.h"

#include <QDir>
#include <QStandardPaths>

using namespace kvh;
using namespace Qt::StringLiterals;
using test::WindowHarness;

Q_DECLARE_METATYPE(kvh::platform::Answer)

namespace {

QByteArray readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

/// What the grid shows, cell by cell, header and labels included.
QStringList gridTexts(const WindowHarness& h) {
    QStringList out;
    const QAbstractItemModel* m = h.grid()->model();
    for (int r = 0; r < m->rowCount(); ++r)
        for (int c = 0; c < m->columnCount(); ++c)
            out << m->index(r, c).data().toString();
    return out;
}

QList<bool> checkedOptions(const WindowHarness& h) {
    QList<bool> out;
    for (auto* b : h.window->findChildren<QRadioButton*>())
        out << b->isChecked() << b->isVisibleTo(h.window.get());
    return out;
}

} // namespace

class TestFiles : public QObject {
    Q_OBJECT
    std::unique_ptr<WindowHarness> h;

    /// 7440, Tessel III, air, °F and hours, with an empty row between two steps.
    void enterCase() {
        h->chooseSetup(2, 1, 0);
        h->showPage(1);
        h->option("optTempUnits", 0)->click();
        h->option("optTimeUnits", 1)->click();
        h->typeInto(1, 2, u"77"_s);
        h->typeInto(1, 3, u"0"_s);
        h->clickStep(2, 1);
        h->typeInto(2, 2, u"350"_s);
        h->typeInto(2, 3, u"0.5"_s);
        h->clickStep(3, 2); // a dwell takes the temperature above
        h->typeInto(3, 3, u"1.25"_s);
        h->clickStep(5, 3);
        h->typeInto(5, 2, u"77"_s);
        h->typeInto(5, 3, u"0.5"_s);
    }

private slots:
    void init() { h = std::make_unique<WindowHarness>(); }
    void cleanup() { h.reset(); }

    void dialogsStartInTheDocumentsFolder() {
        h->action("mnuOpen")->trigger();
        h->action("mnuSave")->trigger();
        QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
        if (!QDir(folder).exists())
            folder = QDir::homePath();
        QCOMPARE(h->platform.openDialogStarts, QStringList{folder + u"/*.dew"_s});
        QCOMPARE(h->platform.saveDialogStarts, QStringList{folder + u"/*.dew"_s});
        QCOMPARE(h->platform.dialogFilters[0],
                 u"High Temp Dewar file '*.dew' (*.dew);;All Files '*.*' (*)"_s);
        QVERIFY(h->platform.messages.isEmpty()); // cancelled: nothing happens
        QCOMPARE(h->grid()->model()->rowCount(), 11);
    }

    void saveWritesTheCase() {
        enterCase();
        const QString path = h->dir.filePath(u"mine.dew"_s);
        h->platform.saveAnswers.enqueue(path);
        h->action("mnuSave")->trigger();
        QVERIFY(h->platform.messages.isEmpty());
        const QByteArray bytes = readAll(path);
        QCOMPARE(bytes, QByteArray::fromStdString(core::writeDew(h->theCase())));
        QVERIFY(bytes.startsWith("[Setup]\r\nTemp Units = 0\r\nTime Units = 1\r\n"
                                 "Davar Model = 2\r\nTracer Type = 1\r\nEnvironment = 0\r\n"
                                 "[Data]\r\nS,77,0\r\nR,350,0.5\r\nD,350,1.25\r\nE,77,0.5\r\n"));
    }

    void roundTrip() {
        enterCase();
        const QString path = h->dir.filePath(u"trip.dew"_s);
        h->platform.saveAnswers.enqueue(path);
        h->action("mnuSave")->trigger();

        WindowHarness other;
        other.platform.openAnswers.enqueue(path);
        other.action("mnuOpen")->trigger();
        QVERIFY(other.platform.messages.isEmpty());
        QCOMPARE(other.shown(0, 2), u"Temp. °F"_s);
        QCOMPARE(other.shown(0, 3), u"Hours"_s);
        QCOMPARE(other.shown(1, 1), u"Start Temp"_s);
        QCOMPARE(other.shown(2, 1), u"Ramp to Temp"_s);
        QCOMPARE(other.shown(3, 1), u"Dwell at Temp"_s);
        QCOMPARE(other.shown(3, 2), u"350"_s);
        QCOMPARE(other.shown(3, 3), u"1.25"_s);
        QCOMPARE(other.shown(4, 1), u"End Temp"_s); // the empty row is gone
        QCOMPARE(other.shown(5, 1), QString());
        QCOMPARE(other.grid()->model()->rowCount(), 11);
        QVERIFY(other.option("optMod", 2)->isChecked());
        QVERIFY(other.option("optTracerType", 1)->isChecked());
        QVERIFY(other.option("optEnviron", 0)->isChecked());
        QVERIFY(other.option("optTempUnits", 0)->isChecked());
        QVERIFY(other.option("optTimeUnits", 1)->isChecked());
        QVERIFY(other.option("optMod", 4)->isVisibleTo(other.window.get()));
        other.showPage(2);
        QVERIFY(other.platform.messages.isEmpty());
        QVERIFY(!other.txtPF().isEmpty());

        // Saving the opened case again gives the same file.
        const QString again = other.dir.filePath(u"again.dew"_s);
        other.platform.saveAnswers.enqueue(again);
        other.action("mnuSave")->trigger();
        QCOMPARE(readAll(again), readAll(path));
    }

    void overwrite_data() {
        QTest::addColumn<platform::Answer>("answer");
        QTest::addColumn<bool>("replaced");
        QTest::newRow("yes replaces") << platform::Answer::Yes << true;
        QTest::newRow("no keeps the file") << platform::Answer::No << false;
    }
    void overwrite() {
        QFETCH(platform::Answer, answer);
        QFETCH(bool, replaced);
        const QString path = h->dir.filePath(u"old.dew"_s);
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("old content");
        f.close();
        h->platform.saveAnswers.enqueue(path);
        h->platform.messageAnswers.enqueue(answer);
        h->action("mnuSave")->trigger();
        QCOMPARE(h->platform.messages.size(), 1);
        QCOMPARE(h->platform.messages[0].text, u"Overwrite Existing File?"_s);
        QCOMPARE(h->platform.messages[0].title, u"Warning: File Exists"_s);
        QCOMPARE(h->platform.messages[0].buttons, platform::Buttons::YesNo);
        QCOMPARE(h->platform.messages[0].icon, platform::Icon::Question);
        QCOMPARE(readAll(path) == "old content", !replaced);
        QCOMPARE(QDir(h->dir.path()).entryList(QDir::Files).size(), 1); // no temporary left
    }

    void saveErrorTellsTheReason() {
        const QString path = h->dir.filePath(u"no such folder/case.dew"_s);
        h->platform.saveAnswers.enqueue(path);
        h->action("mnuSave")->trigger();
        QCOMPARE(h->platform.messages.size(), 1);
        QCOMPARE(h->platform.messages[0].title, u"Save Error"_s);
        QCOMPARE(h->platform.messages[0].icon, platform::Icon::Critical);
        const QString text = h->platform.messages[0].text;
        QVERIFY2(text.contains(QDir::toNativeSeparators(path)), qPrintable(text));
        QVERIFY2(!text.section(u":\n"_s, 1).trimmed().isEmpty(), qPrintable(text));
        QVERIFY(!QFile::exists(path));
    }

    void refusedOpenChangesNothing_data() {
        QTest::addColumn<QString>("kind");
        QTest::newRow("missing file") << u"missing"_s;
        QTest::newRow("a folder") << u"folder"_s;
        QTest::newRow("larger than any case") << u"huge"_s;
    }
    void refusedOpenChangesNothing() {
        QFETCH(QString, kind);
        h->openText(test::kPassingCase);
        h->showPage(1);
        h->typeInto(3, 2, u"edited"_s);
        h->clickCell(6, 1);
        const core::Case before = h->theCase();
        const QStringList shownBefore = gridTexts(*h);
        const QList<bool> optionsBefore = checkedOptions(*h);
        const QString labelBefore = h->lblSetup();

        QString path = h->dir.filePath(u"refused.dew"_s);
        if (kind == u"folder"_s) {
            QVERIFY(QDir(h->dir.path()).mkdir(u"refused.dew"_s));
        } else if (kind == u"huge"_s) {
            QFile f(path);
            QVERIFY(f.open(QIODevice::WriteOnly));
            QVERIFY(f.resize(qint64(core::kMaxDewFileBytes) + 1));
        }
        h->platform.openAnswers.enqueue(path);
        h->action("mnuOpen")->trigger();

        QCOMPARE(h->platform.messages.size(), 1);
        QCOMPARE(h->platform.messages[0].title, u"Open Error"_s);
        QCOMPARE(h->platform.messages[0].icon, platform::Icon::Critical);
        QVERIFY(h->platform.messages[0].text.contains(QDir::toNativeSeparators(path)));
        QVERIFY(h->theCase() == before);
        QCOMPARE(gridTexts(*h), shownBefore);
        QCOMPARE(checkedOptions(*h), optionsBefore);
        QCOMPARE(h->lblSetup(), labelBefore);
    }

    void openOnTheResultsPageRunsAgain() {
        h->openText(test::kPassingCase);
        h->showPage(2);
        QCOMPARE(h->txtPF(), u"PASS"_s);
        h->openText(test::kFailingCase, u"hot.dew"_s);
        QCOMPARE(h->txtPF(), u"FAIL"_s);
        QVERIFY(h->platform.messages.isEmpty());
    }

    void openSizesTheGrid_data() {
        QTest::addColumn<int>("steps");
        QTest::addColumn<int>("rows");
        QTest::addColumn<bool>("wide");
        QTest::newRow("3 lines give 10 data rows") << 3 << 11 << false;
        QTest::newRow("14 lines give 14 rows, wide") << 14 << 15 << true;
    }
    void openSizesTheGrid() {
        QFETCH(int, steps);
        QFETCH(int, rows);
        QFETCH(bool, wide);
        const int narrow = h->grid()->width();
        QByteArray dew = "[Setup]\r\nTemp Units = 1\r\nTime Units = 0\r\nDavar Model = 1\r\n"
                         "Tracer Type = 0\r\nEnvironment = 0\r\n[Data]\r\nS,25,0\r\n";
        for (int i = 1; i < steps; ++i)
            dew += "D,25,1\r\n";
        h->openText(dew);
        QCOMPARE(h->grid()->model()->rowCount(), rows);
        QCOMPARE(h->shown(rows - 1, 0), u" "_s + QString::number(rows - 1));
        QCOMPARE(h->grid()->width() > narrow, wide);
        // Tracer type 0 after the model line brings the model back to 7640.
        QVERIFY(h->option("optMod", 0)->isChecked());
        QVERIFY(!h->option("optMod", 1)->isChecked());
    }
};

QTEST_MAIN(TestFiles)
#include "tst_files.moc"
