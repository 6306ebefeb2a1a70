// Open and Save through the file dialogs' seam: where the dialogs start, the file written and
// read back into the pages, the overwrite question, and refusals that change nothing.

#include "window_harness.h"

#include "core/dew_file.h"

#include <QDir>
#include <QMenu>
#include <QStandardPaths>

#include <sys/stat.h>

using namespace kvh;
using namespace Qt::StringLiterals;
using test::WindowHarness;

Q_DECLARE_METATYPE(kvh::platform::Answer)

namespace {

/// The setup label and what the grid and the options show.
QStringList shownState(const WindowHarness& h) {
    return QStringList{h.lblSetup()} + h.shownState(true);
}

} // namespace

class TestFiles : public QObject {
    Q_OBJECT
    std::unique_ptr<WindowHarness> h;

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
    }

    void roundTrip() {
        // 7440, Tessel III, air, °F and hours, entered through the pages.
        h->chooseSetup(2, 1, 0);
        h->showPage(1);
        h->option("optTempUnits", 0)->click();
        h->option("optTimeUnits", 1)->click();
        h->typeInto(1, 2, u"77"_s);
        h->typeInto(1, 3, u"0"_s);
        h->clickStep(2, 1);
        h->typeInto(2, 2, u"350"_s);
        h->typeInto(2, 3, u"0.5"_s);
        const QString path = h->dir.filePath(u"trip.dew"_s);
        h->platform.saveAnswers.enqueue(path);
        h->action("mnuSave")->trigger();
        QVERIFY(h->platform.messages.isEmpty());
        QCOMPARE(test::fileBytes(path), QByteArray::fromStdString(core::writeDew(h->theCase())));

        WindowHarness other;
        other.showPage(1);
        other.platform.openAnswers.enqueue(path);
        other.action("mnuOpen")->trigger();
        QVERIFY(other.platform.messages.isEmpty());
        QCOMPARE(shownState(other), shownState(*h)); // options, units, label and grid
        // Saving the opened case again gives the same file.
        const QString again = other.dir.filePath(u"again.dew"_s);
        other.platform.saveAnswers.enqueue(again);
        other.action("mnuSave")->trigger();
        QCOMPARE(test::fileBytes(again), test::fileBytes(path));
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

    // A comma typed in a cell would split it on reading: Save names the cell and writes nothing.
    void unsavableCellIsRefusedByName() {
        const QString path = h->writeCase(u"case.dew"_s);
        h->platform.openAnswers.enqueue(path);
        h->action("mnuOpen")->trigger();
        h->showPage(1);
        h->typeInto(2, 3, u"1,5"_s);
        h->clickCell(6, 1);
        h->platform.saveAnswers.enqueue(path);
        h->action("mnuSave")->trigger();
        QVERIFY(h->platform.saveDialogStarts.isEmpty());
        QCOMPARE(h->platform.messages.size(), 1);
        QCOMPARE(h->platform.messages[0].title, u"Save Error"_s);
        const QString text = h->platform.messages[0].text;
        QVERIFY2(text.contains(u"Row 2, Minutes: \"1,5\" holds a comma"_s), qPrintable(text));
        QCOMPARE(test::fileBytes(path), test::kPassingCase);
        QCOMPARE(h->theCase().profile.cell(2, core::kColTime), "1,5");
        QCOMPARE(h->get<QLabel>("lblModified")->text(), u"Modified"_s);
    }

    void fileChangedByAnotherProgram_data() {
        QTest::addColumn<bool>("changed");
        QTest::addColumn<platform::Answer>("answer");
        QTest::addColumn<QString>("question");
        QTest::addColumn<QString>("written"); ///< the file that holds the case afterwards
        const QString changed = u"The file was changed by another program since you opened it"_s;
        QTest::newRow("overwrite")
            << true << platform::Answer::Overwrite << changed << u"case.dew"_s;
        QTest::newRow("save as") << true << platform::Answer::SaveAs << changed << u"other.dew"_s;
        QTest::newRow("cancel") << true << platform::Answer::Cancel << changed << QString();
        QTest::newRow("unchanged: the usual question, yes")
            << false << platform::Answer::Yes << u"Overwrite Existing File?"_s << u"case.dew"_s;
        QTest::newRow("unchanged: the usual question, no")
            << false << platform::Answer::No << u"Overwrite Existing File?"_s << QString();
    }
    void fileChangedByAnotherProgram() {
        QFETCH(bool, changed);
        QFETCH(platform::Answer, answer);
        QFETCH(QString, question);
        QFETCH(QString, written);
        const QString path = h->writeCase(u"case.dew"_s);
        h->platform.openAnswers.enqueue(path);
        h->action("mnuOpen")->trigger();
        const QByteArray theirs = test::kFailingCase + "E,20,1\r\n";
        if (changed)
            test::writeFile(path, theirs);
        h->platform.saveAnswers.enqueue(path);
        h->platform.saveAnswers.enqueue(h->dir.filePath(u"other.dew"_s));
        h->platform.messageAnswers.enqueue(answer);
        h->action("mnuSave")->trigger();
        QCOMPARE(h->platform.messages.size(), 1);
        QCOMPARE(h->platform.messages[0].text, question);
        QCOMPARE(h->platform.messages[0].title,
                 changed ? u"File Changed"_s : u"Warning: File Exists"_s);
        QCOMPARE(h->platform.messages[0].buttons,
                 changed ? platform::Buttons::OverwriteSaveAsCancel : platform::Buttons::YesNo);
        if (!changed)
            QCOMPARE(h->platform.messages[0].icon, platform::Icon::Question);
        const QByteArray mine = QByteArray::fromStdString(core::writeDew(h->theCase()));
        QCOMPARE(test::fileBytes(path), written == u"case.dew"_s ? mine
                                        : changed                ? theirs
                                                                 : test::kPassingCase);
        QCOMPARE(QFile::exists(h->dir.filePath(u"other.dew"_s)), written == u"other.dew"_s);
        QCOMPARE(QDir(h->dir.path()).entryList(QDir::Files | QDir::Hidden).size(),
                 written == u"other.dew"_s ? 2 : 1); // no temporary left
        if (written.isEmpty())
            return;
        // Saved: the file as written is the one the next Save compares with.
        h->platform.messages.clear();
        h->platform.saveAnswers.clear();
        h->platform.saveAnswers.enqueue(h->dir.filePath(written));
        h->platform.messageAnswers.enqueue(platform::Answer::Yes);
        h->action("mnuSave")->trigger();
        QCOMPARE(h->platform.messages.size(), 1);
        QCOMPARE(h->platform.messages[0].text, u"Overwrite Existing File?"_s);
    }

    void refusedOpenChangesNothing_data() {
        QTest::addColumn<QByteArray>("content"); // empty: a FIFO without a writer
        QTest::addColumn<QString>("reason");
        QTest::newRow("number too large")
            << QByteArray("[Setup]\r\nTemp Units = 0\r\n[Data]\r\nS,1e999,2\r\n") << u"too large"_s;
        QTest::newRow("a FIFO is refused at once") << QByteArray() << u"not a regular file"_s;
    }
    void refusedOpenChangesNothing() {
        QFETCH(QByteArray, content);
        QFETCH(QString, reason);
        h->openText(test::kPassingCase);
        h->showPage(1);
        h->typeInto(3, 2, u"edited"_s);
        h->clickCell(6, 1);
        const core::Case before = h->theCase();
        const QStringList shownBefore = shownState(*h);
        const QString path = h->dir.filePath(u"refused.dew"_s);
        h->platform.messageAnswers.enqueue(platform::Answer::Discard);
        if (content.isEmpty()) {
            QVERIFY(::mkfifo(QFile::encodeName(path).constData(), 0600) == 0);
            h->platform.openAnswers.enqueue(path);
            h->action("mnuOpen")->trigger();
        } else {
            h->openText(content, u"refused.dew"_s);
        }

        QCOMPARE(h->platform.messages.size(), 2);
        QCOMPARE(h->platform.messages[0].title, u"Save Changes"_s); // the edit is not saved
        QCOMPARE(h->platform.messages[1].title, u"Open Error"_s);
        QCOMPARE(h->platform.messages[1].icon, platform::Icon::Critical);
        QVERIFY(h->platform.messages[1].text.contains(QDir::toNativeSeparators(path)));
        QVERIFY2(h->platform.messages[1].text.contains(reason),
                 qPrintable(h->platform.messages[1].text));
        QVERIFY(h->theCase() == before);
        QCOMPARE(shownState(*h), shownBefore);
    }

    void savedEmptyEndTimeReopensWithoutNotice() {
        // Entered as a user does: the end step's time is never clicked, so it stays empty.
        h->chooseSetup(1, 1, 0);
        h->showPage(1);
        h->typeInto(1, 2, u"25"_s);
        h->typeInto(1, 3, u"0"_s);
        h->clickStep(2, 3);
        h->typeInto(2, 2, u"70"_s);
        const QString path = h->dir.filePath(u"end.dew"_s);
        h->platform.saveAnswers.enqueue(path);
        h->action("mnuSave")->trigger();
        QVERIFY(test::fileBytes(path).endsWith("S,25,0\r\nE,70,\r\n"));
        h->action("mnuNew")->trigger();
        h->platform.openAnswers.enqueue(path);
        h->action("mnuOpen")->trigger();
        QVERIFY(h->get<QWidget>("fraNotice")->isHidden());
        QCOMPARE(h->shown(2, 3), u"0"_s);
    }

    void newAsksFirstThenStartsAsAtStart_data() {
        QTest::addColumn<platform::Answer>("answer");
        QTest::addColumn<bool>("fresh");
        QTest::newRow("discard") << platform::Answer::Discard << true;
        QTest::newRow("cancel") << platform::Answer::Cancel << false;
    }
    void newAsksFirstThenStartsAsAtStart() {
        QFETCH(platform::Answer, answer);
        QFETCH(bool, fresh);
        const QStringList atStart = h->shownState();
        h->showResults();
        QVERIFY(h->action("mnuPrint")->isEnabled());
        h->showPage(1);
        h->typeInto(2, 2, u"61"_s);
        h->platform.messageAnswers.enqueue(answer);
        QTest::keyClick(h->window.get(), Qt::Key_N, Qt::ControlModifier);
        QCOMPARE(h->platform.messages.size(), 1);
        QCOMPARE(h->platform.messages[0].title, u"Save Changes"_s);
        QCOMPARE(h->shownState() == atStart, fresh);
        if (!fresh)
            return;
        QVERIFY(h->theCase() == core::Case{});
        QCOMPARE(h->tab()->currentIndex(), 0);
        QVERIFY(!h->action("mnuPrint")->isEnabled());
        QVERIFY(!h->action("mnuUndo")->isEnabled());
        QCOMPARE(h->get<QLabel>("lblFileName")->text(), u"New case"_s);
        QVERIFY(h->window->filePath().isEmpty());
    }

    void newFromTemplate() {
        const QString name = u"powder-coat-cure"_s;
        auto* menu = h->get<QMenu>("mnuNewFromTemplate");
        menu->popup({}); // the templates are read as the menu opens
        menu->hide();
        for (const char* shipped : {"solder-reflow", "anneal", "furnace-braze", "liquid-quench"})
            QVERIFY2(h->window->findChild<QAction*>(u"mnuTemplate_"_s + QLatin1String(shipped)),
                     shipped);
        QAction* item = h->action(qPrintable(u"mnuTemplate_"_s + name));
        QCOMPARE(item->text(), u"Powder Coat Cure"_s);
        h->showPage(2);
        h->platform.messages.clear(); // the results page of the empty case refused
        item->trigger();
        QVERIFY(h->platform.messages.isEmpty());
        QCOMPARE(h->lblSetup(), u"Model 7520; Tessel III; in Air"_s);
        QCOMPARE(h->txtPF(), u"PASS"_s);
        // An unsaved new case: no file, nothing to lose, its name offered on Save.
        QVERIFY(h->window->filePath().isEmpty());
        QVERIFY(!h->action("mnuUndo")->isEnabled());
        QCOMPARE(h->get<QLabel>("lblFileName")->text(), u"New case"_s);
        h->action("mnuSave")->trigger();
        QVERIFY2(h->platform.saveDialogStarts.last().endsWith(u'/' + name + u".dew"_s),
                 qPrintable(h->platform.saveDialogStarts.last()));
    }
};

QTEST_MAIN(TestFiles)
#include "tst_files.moc"
