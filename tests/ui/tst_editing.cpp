// The editing layer as the user meets it: every edit undone and redone with the keys, one
// command per visit to a cell, the unsaved-changes question on Exit, close and Open, Save's
// suffix and dialog, the status bar, the row menu and keys, and keyboard-only entry.

#include "window_harness.h"

#include "ui/editing/case_editor.h"

#include <QMenu>
#include <QStatusBar>
#include <QTableView>
#include <QTimer>

using namespace kvh;
using namespace Qt::StringLiterals;
using test::WindowHarness;

Q_DECLARE_METATYPE(kvh::platform::Answer)

class TestEditing : public QObject {
    Q_OBJECT
    std::unique_ptr<WindowHarness> h;

    void keys(QWidget* to, Qt::Key key, Qt::KeyboardModifiers mods = {}) {
        QTest::keyClick(to, key, mods);
    }
    QString statusText() const {
        return h->get<QLabel>("lblFileName")->text() + u'|' + h->get<QLabel>("lblModified")->text();
    }
    /// A mouse click on a button of the page shown.
    void press(QAbstractButton* button) {
        QVERIFY(button->isVisible());
        QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(8, button->height() / 2));
    }
    /// Runs one gesture by name, as the user makes it.
    void gesture(const QString& name) {
        if (name == u"step"_s)
            h->clickStep(5, 1);
        else if (name == u"type"_s)
            h->typeInto(2, 2, u"150"_s);
        else if (name == u"append"_s)
            press(h->button("cmdAddRow"));
        else if (name == u"insert above"_s || name == u"insert below"_s || name == u"delete"_s) {
            h->clickCell(3, 2);
            const bool del = name == u"delete"_s;
            keys(h->grid(), del ? Qt::Key_Delete : Qt::Key_Insert,
                 name == u"insert below"_s ? Qt::ControlModifier | Qt::ShiftModifier
                                           : Qt::ControlModifier);
        } else if (name == u"clear column"_s) {
            h->clickColumnHeader(3);
            press(h->button("cmdRowCol"));
        } else if (name == u"convert temp"_s) {
            press(h->option("optTempUnits", 0));
            press(h->button("cmdConvert_0"));
        } else if (name == u"convert time"_s) {
            press(h->button("cmdConvert_1"));
        } else if (name == u"model"_s) {
            h->showPage(0);
            press(h->option("optMod", 1));
        } else if (name == u"tracer"_s) {
            h->showPage(0);
            press(h->option("optTracerType", 0));
        } else if (name == u"compare row"_s) {
            h->showPage(3); // Compare Barriers: a row chooses its barrier
            auto* table = h->get<QTableView>("tblCompare");
            const QRect r = table->visualRect(table->model()->index(0, 3));
            QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, r.center());
        } else if (name == u"time unit"_s) {
            press(h->option("optTimeUnits", 1));
        }
    }

private slots:
    void init() {
        h = std::make_unique<WindowHarness>();
        h->openText(test::kPassingCase);
        h->showPage(1);
    }
    void cleanup() { h.reset(); }

    void undoAndRedoEveryEdit_data() {
        QTest::addColumn<QString>("gesture");
        QTest::addColumn<QString>("undoText");
        QTest::addColumn<int>("commands");
        QTest::newRow("step type") << u"step"_s << u"Undo Step Type"_s << 1;
        QTest::newRow("typed cell") << u"type"_s << u"Undo Typing"_s << 1;
        QTest::newRow("insert a row") << u"append"_s << u"Undo Insert a Row"_s << 1;
        QTest::newRow("insert above") << u"insert above"_s << u"Undo Insert Row"_s << 1;
        QTest::newRow("insert below") << u"insert below"_s << u"Undo Insert Row"_s << 1;
        QTest::newRow("delete a row") << u"delete"_s << u"Undo Delete Rows"_s << 1;
        QTest::newRow("clear a column") << u"clear column"_s << u"Undo Clear Entire Column"_s << 1;
        QTest::newRow("convert temperatures")
            << u"convert temp"_s << u"Undo Convert °C / °F"_s << 2;
        QTest::newRow("convert times") << u"convert time"_s << u"Undo Convert Hrs. / Mins."_s << 1;
        QTest::newRow("model") << u"model"_s << u"Undo Choose 7520 2\" by 8\" Vacuum Dewar"_s << 1;
        QTest::newRow("tracer resets the model")
            << u"tracer"_s << u"Undo Choose Tessel II or VTX"_s << 1;
        QTest::newRow("barrier chosen on the compare page")
            << u"compare row"_s << u"Undo Choose 7"_s << 1;
        QTest::newRow("time unit") << u"time unit"_s << u"Undo Choose Hours"_s << 1;
    }
    void undoAndRedoEveryEdit() {
        QFETCH(QString, gesture);
        QFETCH(QString, undoText);
        QFETCH(int, commands);
        const core::Case before = h->theCase();
        const QStringList shownBefore = h->shownState();
        QVERIFY(!h->action("mnuUndo")->isEnabled());
        this->gesture(gesture);
        const core::Case after = h->theCase();
        const QStringList shownAfter = h->shownState();
        QVERIFY(after != before);
        // The compare page's best barrier depends on the ranking: its row names the prefix.
        QVERIFY2(h->action("mnuUndo")->text().remove(u'&').startsWith(undoText),
                 qPrintable(h->action("mnuUndo")->text()));
        // The icons come when the Edit menu first opens.
        QMenu* edit = h->get<QMenu>("mnuEdit");
        edit->popup({});
        edit->hide();
        QVERIFY(!h->action("mnuUndo")->icon().isNull());
        for (int i = 0; i < commands; ++i)
            keys(h->window.get(), Qt::Key_Z, Qt::ControlModifier);
        QVERIFY(h->theCase() == before);
        QCOMPARE(h->shownState(), shownBefore);
        QVERIFY(h->editor()->isHidden());
        QCOMPARE(statusText(), u"case.dew|"_s); // back where Open left it: not modified
        for (int i = 0; i < commands; ++i)
            keys(h->window.get(), Qt::Key_Y, Qt::ControlModifier);
        QVERIFY(h->theCase() == after);
        QCOMPARE(h->shownState(), shownAfter);
        QCOMPARE(statusText(), u"case.dew|Modified"_s);
    }

    void typingIsOneCommandPerVisit() {
        h->typeInto(2, 2, u"150"_s);
        QTest::keyClicks(h->editor(), u"5"_s);
        h->typeInto(2, 3, u"45"_s);
        QCOMPARE(h->window->editor().history().count(), 2);
        // Ctrl+Z in the editor is the window's undo: the visit to the time cell goes at once.
        keys(h->editor(), Qt::Key_Z, Qt::ControlModifier);
        QVERIFY(h->editor()->isHidden());
        QCOMPARE(h->shown(2, 3), u"30"_s);
        QCOMPARE(h->shown(2, 2), u"1505"_s);
        keys(h->grid(), Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(h->shown(2, 3), u"45"_s);
        // A visit that types the text back as it was leaves nothing to undo.
        h->typeInto(3, 2, u"61"_s);
        QTest::keyClick(h->editor(), Qt::Key_Backspace);
        QTest::keyClick(h->editor(), Qt::Key_0);
        QCOMPARE(h->window->editor().history().count(), 2);
    }

    void aSecondVisitToTheSameCellIsItsOwnStep() {
        h->typeInto(2, 2, u"150"_s);
        h->clickCell(2, 3); // away without typing: no step of its own
        h->typeInto(2, 2, u"160"_s);
        QCOMPARE(h->window->editor().history().count(), 2);
        keys(h->grid(), Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(h->shown(2, 2), u"150"_s);
    }

    void deletingTheLastRowsKeepsTheHighlightInside() {
        const int rows = h->grid()->model()->rowCount();
        h->dragCells(rows - 3, 2, rows - 1, 2);
        keys(h->grid(), Qt::Key_Delete, Qt::ControlModifier);
        const int left = h->grid()->model()->rowCount();
        QCOMPARE(left, rows - 3);
        const core::GridSelection sel = h->grid()->selection();
        QCOMPARE(sel.row, left - 1);
        QCOMPARE(sel.rowSel, left - 1);
        QVERIFY(h->grid()->currentIndex().isValid());
        QCOMPARE(h->grid()->currentIndex().row(), left - 1);
    }

    void unsavedQuestion_data() {
        QTest::addColumn<QString>("command");
        QTest::addColumn<platform::Answer>("answer");
        QTest::addColumn<QString>("savePath"); ///< the Save dialog's answer
        QTest::addColumn<bool>("goesOn");
        QTest::addColumn<bool>("saved");
        const QString ok = u"saved.dew"_s;
        const QString bad = u"no such folder/saved.dew"_s;
        for (const QString& command : {u"exit"_s, u"close"_s, u"open"_s, u"open file"_s}) {
            const QByteArray c = command.toUtf8();
            QTest::newRow(c + " save") << command << platform::Answer::Save << ok << true << true;
            QTest::newRow(c + " discard")
                << command << platform::Answer::Discard << QString() << true << false;
            QTest::newRow(c + " cancel")
                << command << platform::Answer::Cancel << QString() << false << false;
            QTest::newRow(c + " save cancelled")
                << command << platform::Answer::Save << QString() << false << false;
            QTest::newRow(c + " save failed")
                << command << platform::Answer::Save << bad << false << false;
        }
    }
    void unsavedQuestion() {
        QFETCH(QString, command);
        QFETCH(platform::Answer, answer);
        QFETCH(QString, savePath);
        QFETCH(bool, goesOn);
        QFETCH(bool, saved);
        h->typeInto(2, 2, u"77"_s);
        const core::Case edited = h->theCase();
        h->platform.messageAnswers.enqueue(answer);
        if (!savePath.isEmpty())
            h->platform.saveAnswers.enqueue(h->dir.filePath(savePath));
        if (command == u"exit"_s)
            h->action("mnuExit")->trigger();
        else if (command == u"close"_s)
            h->window->close();
        else if (command == u"open"_s)
            h->openText(test::kFailingCase, u"other.dew"_s);
        else { // the entry that a dropped file or a recent file takes
            QCOMPARE(h->window->openFile(h->writeCase(u"other.dew"_s, test::kFailingCase)), goesOn);
        }

        const test::ShownMessage question = h->platform.messages.value(0);
        QCOMPARE(question.title, u"Save Changes"_s);
        QCOMPARE(question.buttons, platform::Buttons::SaveDiscardCancel);
        QVERIFY2(question.text.contains(u"case.dew"_s), qPrintable(question.text));
        QCOMPARE(QFile::exists(h->dir.filePath(u"saved.dew"_s)), saved);
        if (command.startsWith(u"open"_s))
            QCOMPARE(h->theCase() == edited, !goesOn);
        else
            QCOMPARE(h->window->isVisible(), !goesOn);
        if (savePath.contains(u"no such"_s))
            QCOMPARE(h->platform.messages.last().title, u"Save Error"_s);
    }

    void unchangedCaseAsksNothing_data() {
        QTest::addColumn<bool>("undone"); ///< an edit undone counts as no change
        QTest::newRow("fresh") << false;
        QTest::newRow("edit undone") << true;
    }
    void unchangedCaseAsksNothing() {
        QFETCH(bool, undone);
        if (undone) {
            h->clickStep(5, 2);
            h->action("mnuUndo")->trigger();
            h->action("mnuUndo")->trigger();
        }
        h->openText(test::kFailingCase, u"other.dew"_s);
        QVERIFY(h->platform.messages.isEmpty());
        QVERIFY(!h->action("mnuUndo")->isEnabled()); // Open starts a fresh history
        h->window->close();
        QVERIFY(!h->window->isVisible());
    }

    void saveAddsTheSuffixAndOffersTheFile() {
        h->typeInto(2, 2, u"70"_s);
        QCOMPARE(statusText(), u"case.dew|Modified"_s);
        h->platform.saveAnswers.enqueue(h->dir.filePath(u"trip"_s));
        h->action("mnuSave")->trigger();
        QVERIFY(h->platform.messages.isEmpty());
        QVERIFY(QFile::exists(h->dir.filePath(u"trip.dew"_s)));
        QCOMPARE(statusText(), u"trip.dew|"_s);
        QCOMPARE(h->window->filePath(), h->dir.filePath(u"trip.dew"_s));
        h->action("mnuSave")->trigger(); // cancelled
        QCOMPARE(h->platform.saveDialogStarts.last(), h->dir.filePath(u"trip.dew"_s));
        h->action("mnuOpen")->trigger();
        QCOMPARE(h->platform.openDialogStarts.last(), h->dir.path() + u"/*.dew"_s);
        // A name with an extension of its own keeps it.
        h->platform.saveAnswers.enqueue(h->dir.filePath(u"trip.txt"_s));
        h->action("mnuSave")->trigger();
        QVERIFY(QFile::exists(h->dir.filePath(u"trip.txt"_s)));
    }

    void rowMenuOnARowLabel() {
        const QString step3 = h->shown(3, 1);
        QStringList names, mnemonics;
        // The menu runs its own event loop: wait for it to show, however slow the machine.
        QTimer poll;
        connect(&poll, &QTimer::timeout, this, [&] {
            auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
            if (!menu)
                return;
            poll.stop();
            for (QAction* a : menu->actions()) {
                if (a->isSeparator())
                    continue;
                names << a->objectName();
                mnemonics << a->text().mid(a->text().indexOf(u'&') + 1, 1).toLower();
                if (a->objectName() == u"mnuInsertRowBelow"_s)
                    a->trigger();
            }
            menu->close();
        });
        poll.start(5);
        QHeaderView* labels = h->grid()->verticalHeader();
        const QPoint at(labels->width() / 2,
                        labels->sectionViewportPosition(3) + labels->sectionSize(3) / 2);
        QContextMenuEvent event(QContextMenuEvent::Mouse, at, labels->viewport()->mapToGlobal(at));
        QCoreApplication::sendEvent(labels->viewport(), &event);
        // The row commands and the grid's own, each named, each with a key of its own.
        QCOMPARE(names.size(), 7);
        QVERIFY2(names.filter(u"mnu"_s).size() == names.size(), qPrintable(names.join(u' ')));
        mnemonics.removeDuplicates();
        QCOMPARE(mnemonics.size(), names.size());
        QCOMPARE(h->shown(3, 1), step3); // a right click is not a click: no step change
        QCOMPARE(h->shown(4, 1), QString());
        QCOMPARE(h->shown(4, 0), u" 4"_s);
        QCOMPARE(h->shown(5, 1).trimmed(), u"End Temp"_s);
        QCOMPARE(h->grid()->selection().row, 4);
    }

    void keystrokesOnlyChangeTheHighlightedCell() {
        // Type into row 1, press Enter and Down: the editor closes with the move.
        h->typeInto(1, 2, u"25"_s);
        keys(h->editor(), Qt::Key_Return);
        keys(h->editor(), Qt::Key_Down);
        QVERIFY(h->editor()->isHidden());
        QVERIFY(h->grid()->hasFocus());
        QCOMPARE(h->grid()->selection().row, 2);
        QTest::keyClick(h->grid(), Qt::Key_0); // starts editing the highlighted cell afresh
        QTest::keyClicks(QApplication::focusWidget(), u"7"_s);
        QCOMPARE(h->shown(1, 2), u"25"_s);
        QCOMPARE(h->shown(2, 2), u"07"_s);
        QCOMPARE(h->grid()->selection().row, 2); // typing does not move the highlight either
        // A click elsewhere and Insert a Row also take the editor away.
        h->clickCell(3, 3);
        h->button("cmdAddRow")->click();
        QVERIFY(h->editor()->isHidden());
    }

    void keyboardEntryOfAWholeProfile() {
        h.reset();
        h = std::make_unique<WindowHarness>();
        h->showPage(1);
        ui::ProfileGrid* g = h->grid();
        g->setFocus();
        const auto type = [&](const QString& text) {
            keys(QApplication::focusWidget(), Qt::Key_Return); // opens the editor
            QTest::keyClicks(QApplication::focusWidget(), text);
        };
        keys(g, Qt::Key_Right);
        type(u"25"_s);
        keys(h->editor(), Qt::Key_Tab);
        type(u"0"_s);
        // Row 2: a ramp to 150 in 30; row 3: a dwell (it takes 150) for 60; row 4: the end.
        const QList<std::pair<int, QStringList>> rows = {
            {1, {u"150"_s, u"30"_s}}, {2, {QString(), u"60"_s}}, {3, {u"25"_s, u"30"_s}}};
        for (const auto& [clicks, values] : rows) {
            keys(QApplication::focusWidget(), Qt::Key_Down);
            keys(g, Qt::Key_Left);
            keys(g, Qt::Key_Left);
            for (int i = 0; i < clicks; ++i)
                keys(g, Qt::Key_Return);
            keys(g, Qt::Key_Right);
            if (!values[0].isEmpty())
                type(values[0]);
            // Tab leaves the editor for the next cell; on the grid itself Right does.
            keys(QApplication::focusWidget(), values[0].isEmpty() ? Qt::Key_Right : Qt::Key_Tab);
            type(values[1]);
        }
        keys(h->editor(), Qt::Key_Up);
        const QStringList expected = {
            u"Start Temp"_s,    u"25"_s,  u"0"_s,  u"Ramp to Temp"_s, u"150"_s, u"30"_s,
            u"Dwell at Temp"_s, u"150"_s, u"60"_s, u"End Temp"_s,     u"25"_s,  u"30"_s};
        QStringList table;
        for (int r = 1; r <= 4; ++r)
            for (int c = 1; c <= 3; ++c)
                table << h->shown(r, c).trimmed();
        QCOMPARE(table, expected);
        QCOMPARE(h->grid()->selection().row, 3);
    }
};

QTEST_MAIN(TestEditing)
#include "tst_editing.moc"
