// The grid as a spreadsheet user expects it, driven with real keys and clicks: selecting a row
// or a column never edits, a key typed on a highlighted cell starts editing it, Shift extends
// the selection, Delete, Cut, Copy and Paste (through the platform's clipboard), each change one
// undo step.

#include "window_harness.h"

#include "core/dew_file.h"
#include "ui/editing/case_editor.h"

#include <QUndoStack>

using namespace kvh;
using namespace Qt::StringLiterals;
using test::WindowHarness;

class TestGrid : public QObject {
    Q_OBJECT
    std::unique_ptr<WindowHarness> h;

    int commands() const { return h->window->editor().history().count(); }
    QString clearCaption() const { return test::shownText(h->button("cmdRowCol")->text()); }
    /// Rows 1 to `last` as the grid shows them, "step|temp|time", step names trimmed.
    QStringList rows(int last) const {
        QStringList out;
        for (int r = 1; r <= last; ++r)
            out << h->shown(r, 1).trimmed() + u'|' + h->shown(r, 2) + u'|' + h->shown(r, 3);
        return out;
    }
    void key(Qt::Key k, Qt::KeyboardModifiers mods = {}) { QTest::keyClick(h->grid(), k, mods); }
    void shiftClick(int row, int col) {
        ui::ProfileGrid* g = h->grid();
        QTest::mouseClick(g->viewport(), Qt::LeftButton, Qt::ShiftModifier,
                          g->visualRect(g->model()->index(row, col)).center());
    }

private slots:
    void init() {
        h = std::make_unique<WindowHarness>();
        h->openText(test::kLatePeakCase); // its maximum is 129.6 °C while row 2 is a ramp
        h->showPage(1);
    }
    void cleanup() { h.reset(); }

    void selectingNeverEdits_data() {
        QTest::addColumn<QString>("gesture");
        QTest::addColumn<QString>("caption");
        QTest::newRow("row label") << u"row"_s << u"Clear Entire Row"_s;
        QTest::newRow("column header") << u"column"_s << u"Clear Entire Column"_s;
        QTest::newRow("shift click along a row") << u"shift row"_s << u"Clear Entire Row"_s;
        QTest::newRow("shift down a column") << u"shift column"_s << u"Clear Entire Column"_s;
    }
    void selectingNeverEdits() {
        QFETCH(QString, gesture);
        QFETCH(QString, caption);
        const QStringList before = rows(4);
        if (gesture == u"row"_s) {
            h->clickRowHeader(2);
        } else if (gesture == u"column"_s) {
            h->clickColumnHeader(2);
        } else if (gesture == u"shift row"_s) {
            h->grid()->setCurrentCell(2, 1);
            shiftClick(2, 3);
        } else {
            h->clickCell(2, 3);
            key(Qt::Key_Down, Qt::ShiftModifier);
            key(Qt::Key_Down, Qt::ShiftModifier);
        }
        QCOMPARE(rows(4), before);
        QVERIFY(h->editor()->isHidden());
        QCOMPARE(clearCaption(), caption);
        QVERIFY(h->button("cmdRowCol")->isEnabled());
        // The 7520's maximum is still the ramp's.
        h->showPage(2);
        QVERIFY2(h->txtMaxResults().startsWith(u"Maximum Internal Temperature = 129.6"_s),
                 qPrintable(h->txtMaxResults()));
    }

    void typingAfterClearingAColumnTypesOnlyTheKey() {
        h->clickColumnHeader(2);
        const int before = commands();
        h->button("cmdRowCol")->click();
        QCOMPARE(commands(), before + 1);
        // The highlight is on row 1's temperature; a key typed there starts it afresh.
        h->grid()->setFocus();
        key(Qt::Key_3);
        QTest::keyClicks(QApplication::focusWidget(), u"0"_s); // the editor, open by now
        QCOMPARE(rows(3), QStringList({u"Start Temp|30|0"_s, u"Ramp to Temp||15"_s,
                                       u"Dwell at Temp||105"_s}));
    }

    void keysOnAHighlightedCell_data() {
        QTest::addColumn<QPoint>("cell"); ///< (row, col)
        QTest::addColumn<QString>("keys");
        QTest::addColumn<QString>("text"); ///< the cell afterwards
        QTest::addColumn<bool>("editing");
        QTest::newRow("a digit replaces the text") << QPoint(2, 2) << u"350"_s << u"350"_s << true;
        QTest::newRow("a letter too") << QPoint(3, 3) << u"x"_s << u"x"_s << true;
        QTest::newRow("F2 keeps the text") << QPoint(2, 2) << u"<F2>5"_s << u"4005"_s << true;
        QTest::newRow("an end step's empty time") << QPoint(4, 3) << u"7"_s << u"7"_s << true;
        QTest::newRow("the step column takes no typing")
            << QPoint(3, 1) << u"9"_s << u"Dwell at Temp"_s << false;
    }
    void keysOnAHighlightedCell() {
        QFETCH(QPoint, cell);
        QFETCH(QString, keys);
        QFETCH(QString, text);
        QFETCH(bool, editing);
        h->typeInto(4, 3, QString()); // the end step's time opens as 0: make it empty again
        QTest::keyClick(h->editor(), Qt::Key_Backspace);
        h->grid()->setCurrentCell(cell.x(), cell.y());
        h->grid()->setFocus();
        const int before = commands();
        QString typed = keys;
        if (typed.startsWith(u"<F2>"_s)) {
            key(Qt::Key_F2);
            QCOMPARE(h->editor()->text(), h->shown(cell.x(), cell.y()));
            QTest::keyClick(h->editor(), Qt::Key_End);
            typed = typed.mid(4);
            QTest::keyClicks(h->editor(), typed);
        } else {
            QTest::keyClicks(h->grid(), typed.left(1));
            if (editing)
                QTest::keyClicks(h->editor(), typed.mid(1));
        }
        QCOMPARE(h->shown(cell.x(), cell.y()).trimmed(), text);
        QCOMPARE(h->editor()->isVisible(), editing);
        QCOMPARE(commands(), before + (editing ? 1 : 0)); // one visit, one command
        if (editing)
            QCOMPARE(h->editor()->text(), text);
    }

    void deleteEmptiesTheNumbersAsOneStep() {
        h->dragCells(2, 1, 3, 3);
        h->grid()->setFocus();
        const int before = commands();
        key(Qt::Key_Delete);
        QCOMPARE(rows(4), QStringList({u"Start Temp|25|0"_s, u"Ramp to Temp||"_s,
                                       u"Dwell at Temp||"_s, u"End Temp|25|5"_s}));
        QCOMPARE(commands(), before + 1);
        QCOMPARE(h->action("mnuUndo")->text().remove(u'&'), u"Undo Clear Cells"_s);
        key(Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(rows(3), QStringList({u"Start Temp|25|0"_s, u"Ramp to Temp|400|15"_s,
                                       u"Dwell at Temp|400|105"_s}));
    }

    void copyAndPasteRoundTrip() {
        h->grid()->setCurrentCell(2, 1);
        shiftClick(4, 3);
        h->grid()->setFocus();
        key(Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(h->platform.clipboardText,
                 u"Ramp to Temp\t400\t15\nDwell at Temp\t400\t105\nEnd Temp\t25\t5\n"_s);
        h->grid()->setCurrentCell(5, 1);
        const int before = commands();
        key(Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(commands(), before + 1);
        QCOMPARE(rows(7).mid(4), rows(4).mid(1));
        QCOMPARE(h->action("mnuUndo")->text().remove(u'&'), u"Undo Paste"_s);
        QCOMPARE(h->grid()->selection().rowSel, 7); // the pasted block is selected
        QCOMPARE(h->grid()->selection().colSel, 3);
        QVERIFY(h->platform.messages.isEmpty());
        // Cut takes the numbers and leaves the steps.
        key(Qt::Key_X, Qt::ControlModifier);
        QCOMPARE(rows(7).mid(4),
                 QStringList({u"Ramp to Temp||"_s, u"Dwell at Temp||"_s, u"End Temp||"_s}));
        QCOMPARE(h->platform.clipboardText.count(u'\n'), 3);
    }

    void pasteTellsWhatItLeftOut() {
        // How the text splits into rows and fields is the core's; here, that the notes of a
        // paste reach the user in one message and the rest is pasted.
        h->platform.clipboardText = u"Heat,300,5"_s;
        h->grid()->setCurrentCell(2, 1);
        h->grid()->setFocus();
        key(Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(rows(3).mid(1),
                 QStringList({u"Ramp to Temp|300|5"_s, u"Dwell at Temp|400|105"_s}));
        QCOMPARE(h->platform.messages.size(), 1);
        QCOMPARE(h->platform.messages[0].title, u"Paste"_s);
        QVERIFY2(h->platform.messages[0].text.split(u'\n').contains(
                     u"Row 2: \"Heat\" is not a step type (Ramp, Dwell or End); the step stays "
                     "as it was"_s),
                 qPrintable(h->platform.messages[0].text));
    }

    void pasteStopsAtTheRowLimit() {
        h->platform.clipboardText = u"1\n"_s.repeated(core::kMaxProfileRows + 2);
        h->grid()->setCurrentCell(1, 2);
        h->grid()->setFocus();
        key(Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(h->grid()->model()->rowCount(), core::kMaxProfileRows + 1);
        QCOMPARE(h->shown(core::kMaxProfileRows, 0), u" 100000"_s);
        QCOMPARE(h->platform.messages.size(), 1);
        QCOMPARE(h->platform.messages[0].text,
                 u"A profile holds at most 100,000 rows: the last 2 rows of the pasted text were "
                 "not pasted."_s);
        key(Qt::Key_Z, Qt::ControlModifier); // one step takes it all back
        QCOMPARE(h->grid()->model()->rowCount(), 11);
        QCOMPARE(rows(2), QStringList({u"Start Temp|25|0"_s, u"Ramp to Temp|400|15"_s}));
    }

    void theEditorKeepsItsOwnKeys() {
        h->typeInto(2, 2, u"123"_s);
        QTest::keyClick(h->editor(), Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(h->editor(), Qt::Key_C, Qt::ControlModifier);
        QTest::keyClick(h->editor(), Qt::Key_Delete);
        QCOMPARE(h->shown(2, 2), QString()); // the editor's Delete removed its selected text
        QCOMPARE(h->shown(2, 3), u"15"_s);   // not the grid's Delete
        QVERIFY(h->platform.clipboardText.isEmpty()); // the editor copies to its own clipboard
    }
};

QTEST_MAIN(TestGrid)
#include "tst_grid.moc"
