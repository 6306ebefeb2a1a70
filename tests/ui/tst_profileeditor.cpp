// The profile editor as the user drives it: the grid's fixed header and labels, the step
// cycle, the dwell and end-time defaults, the overlay editor (position and write-through),
// clearing, inserting, and the unit headers and conversion.

#include "window_harness.h"

#include <QScrollBar>

using namespace kvh;
using namespace Qt::StringLiterals;
using test::WindowHarness;

class TestProfileEditor : public QObject {
    Q_OBJECT
    std::unique_ptr<WindowHarness> h;

    QPushButton* clearButton() const { return h->button("cmdRowCol"); }

    /// The editor lies inside the cell and covers nearly all of it.
    void verifyEditorOverCell(int row, int col) {
        ui::ProfileGrid* g = h->grid();
        const QRect cell = g->visualRect(g->model()->index(row, col));
        const QRect editor = h->editor()->geometry();
        QVERIFY2(cell.contains(editor),
                 qPrintable(u"cell %1,%2 %3x%4 editor %5,%6 %7x%8"_s.arg(cell.x())
                                .arg(cell.y())
                                .arg(cell.width())
                                .arg(cell.height())
                                .arg(editor.x())
                                .arg(editor.y())
                                .arg(editor.width())
                                .arg(editor.height())));
        QVERIFY(editor.width() >= cell.width() - 4);
        QVERIFY(editor.height() >= cell.height() - 4);
    }

private slots:
    void init() {
        h = std::make_unique<WindowHarness>();
        h->showPage(1);
    }
    void cleanup() { h.reset(); }

    void freshTable() {
        QCOMPARE(h->grid()->model()->rowCount(), 11);
        QCOMPARE(h->grid()->model()->columnCount(), 4);
        QCOMPARE(h->shown(0, 1), u"Step Type"_s);
        QCOMPARE(h->shown(0, 2), u"Temp. °C"_s);
        QCOMPARE(h->shown(0, 3), u"Minutes"_s);
        QCOMPARE(h->shown(1, 1), u"Start Temp   "_s);
        QCOMPARE(h->shown(10, 0), u" 10"_s);
        // The fixed row and column are the frozen headers of the view.
        QCOMPARE(h->grid()->model()->headerData(2, Qt::Horizontal).toString(), u"Temp. °C"_s);
        QCOMPARE(h->grid()->model()->headerData(3, Qt::Vertical).toString(), u" 3"_s);
        QVERIFY(h->grid()->isRowHidden(0));
        QVERIFY(h->grid()->isColumnHidden(0));
        // Widths in proportion to 500 : 2000 : 1100 : 1100.
        const int label = h->grid()->verticalHeader()->width();
        const int step = h->grid()->columnWidth(1);
        QCOMPARE(h->grid()->columnWidth(2), h->grid()->columnWidth(3));
        QVERIFY(qAbs(step * 1100 - h->grid()->columnWidth(2) * 2000) <= 2000);
        QVERIFY(qAbs(step * 500 - label * 2000) <= 2000);
        QVERIFY(!clearButton()->isEnabled());
        QCOMPARE(clearButton()->text(), u"Clear Row or Column"_s);
        QCOMPARE(h->button("cmdAddRow")->text(), u"Insert a Row"_s);
    }

    void stepCycle() {
        h->clickStep(1, 1);
        QCOMPARE(h->cell(1, 1), u"Start Temp   "_s);
        const QStringList expected{u"Ramp to Temp"_s, u"Dwell at Temp"_s, u"End Temp    "_s,
                                   u"Ramp to Temp"_s};
        for (const QString& text : expected) {
            h->clickStep(2, 1);
            QCOMPARE(h->cell(2, 1), text);
            QCOMPARE(h->shown(2, 1), text);
        }
        QVERIFY(h->editor()->isHidden());
    }

    void dwellTakesTheTemperatureAbove_data() {
        QTest::addColumn<QString>("dwellTemp");
        QTest::addColumn<QString>("expected");
        QTest::newRow("empty takes 120") << QString() << u"120"_s;
        QTest::newRow("own temperature kept") << u"90"_s << u"90"_s;
    }
    void dwellTakesTheTemperatureAbove() {
        QFETCH(QString, dwellTemp);
        QFETCH(QString, expected);
        h->clickStep(2, 1);
        h->typeInto(2, 2, u"120"_s);
        if (!dwellTemp.isEmpty())
            h->typeInto(3, 2, dwellTemp);
        h->clickStep(3, 2);
        QCOMPARE(h->cell(3, 1), u"Dwell at Temp"_s);
        QCOMPARE(h->cell(3, 2), expected);
    }

    void endTimeDefaultsToZero_data() {
        QTest::addColumn<QString>("time");
        QTest::addColumn<QString>("shown");
        QTest::newRow("empty time becomes 0") << QString() << u"0"_s;
        QTest::newRow("a time stays") << u"5"_s << u"5"_s;
    }
    void endTimeDefaultsToZero() {
        QFETCH(QString, time);
        QFETCH(QString, shown);
        if (!time.isEmpty())
            h->typeInto(2, 3, time);
        h->clickStep(2, 3);
        QCOMPARE(h->cell(2, 1), u"End Temp    "_s);
        h->clickCell(2, 3);
        QVERIFY(h->editor()->isVisible());
        QCOMPARE(h->editor()->text(), shown);
        QCOMPARE(h->cell(2, 3), shown);
    }

    void editorWritesEveryKeystroke() {
        h->clickCell(4, 2);
        QVERIFY(h->editor()->isVisible());
        QVERIFY(h->editor()->hasFocus());
        QTest::keyClick(h->editor(), Qt::Key_1);
        QCOMPARE(h->cell(4, 2), u"1"_s);
        QTest::keyClicks(h->editor(), u"2.5 min"_s);
        QCOMPARE(h->cell(4, 2), u"12.5 min"_s);
        QCOMPARE(h->shown(4, 2), u"12.5 min"_s);
        QTest::keyClick(h->editor(), Qt::Key_Escape); // no key has a meaning of its own
        QTest::keyClick(h->editor(), Qt::Key_Return);
        QVERIFY(h->editor()->isVisible());
        QCOMPARE(h->cell(4, 2), u"12.5 min"_s);
        h->clickCell(4, 1); // the next click hides it and keeps the text
        QVERIFY(h->editor()->isHidden());
        QCOMPARE(h->cell(4, 2), u"12.5 min"_s);
    }

    void editorSitsOverItsCell_data() {
        QTest::addColumn<int>("pointSize");
        QTest::addColumn<int>("extraRows");
        QTest::addColumn<int>("row");
        QTest::addColumn<int>("col");
        QTest::newRow("default font, first row") << 0 << 0 << 1 << 2;
        QTest::newRow("default font, scrolled") << 0 << 30 << 25 << 3;
        QTest::newRow("large font") << 20 << 0 << 7 << 3;
        QTest::newRow("small font, scrolled") << 7 << 40 << 44 << 2;
    }
    void editorSitsOverItsCell() {
        QFETCH(int, pointSize);
        QFETCH(int, extraRows);
        QFETCH(int, row);
        QFETCH(int, col);
        if (pointSize > 0) {
            QFont font = h->grid()->font();
            font.setPointSize(pointSize);
            h->grid()->setFont(font);
        }
        for (int i = 0; i < extraRows; ++i)
            h->button("cmdAddRow")->click();
        h->clickCell(row, col);
        QVERIFY(h->editor()->isVisible());
        verifyEditorOverCell(row, col);
        QCOMPARE(h->editor()->font().pointSize(), h->grid()->font().pointSize());
        if (extraRows > 0) {
            // Scrolling with the editor open carries it along with its cell.
            QScrollBar* bar = h->grid()->verticalScrollBar();
            bar->setValue(bar->value() > 0 ? bar->value() - 1 : bar->value() + 1);
            verifyEditorOverCell(row, col);
        }
        QFont bigger = h->grid()->font();
        bigger.setPointSize(bigger.pointSize() + 4);
        h->grid()->setFont(bigger);
        verifyEditorOverCell(row, col);
    }

    void rowLabelArmsRowAndCyclesItsStep() {
        h->clickRowHeader(4);
        QCOMPARE(clearButton()->text(), u"Clear Entire Row"_s);
        QCOMPARE(clearButton()->property("tag").toString(), u"1"_s);
        QVERIFY(clearButton()->isEnabled());
        QCOMPARE(h->cell(4, 1), u"Ramp to Temp"_s);
    }

    void columnHeaderArmsColumnAndOpensRowOne() {
        h->typeInto(1, 2, u"25"_s);
        h->typeInto(2, 2, u"180"_s);
        h->clickColumnHeader(2);
        QCOMPARE(clearButton()->text(), u"Clear Entire Column"_s);
        QCOMPARE(clearButton()->property("tag").toString(), u"0"_s);
        QVERIFY(h->editor()->isVisible());
        QCOMPARE(h->editor()->text(), u"25"_s);
        verifyEditorOverCell(1, 2);

        clearButton()->click();
        QCOMPARE(h->cell(1, 2), QString());
        QCOMPARE(h->cell(2, 2), QString());
        QCOMPARE(clearButton()->text(), u"Clear Row or Column"_s);
        QVERIFY(!clearButton()->isEnabled());
        QVERIFY(h->editor()->isVisible()); // clearing leaves the editor as it was
        QCOMPARE(h->editor()->text(), u"25"_s);
        QTest::keyClick(h->editor(), Qt::Key_End);
        QTest::keyClick(h->editor(), Qt::Key_0);
        QCOMPARE(h->cell(1, 2), u"250"_s);
    }

    void clearing_data() {
        QTest::addColumn<bool>("byRow");
        QTest::addColumn<int>("index");
        QTest::addColumn<QStringList>("row1");
        QTest::addColumn<QStringList>("row2");
        QTest::newRow("row 1 keeps its start step")
            << true << 1 << QStringList{u"Start Temp   "_s, QString(), QString()}
            << QStringList{u"Ramp to Temp"_s, u"180"_s, u"30"_s};
        QTest::newRow("row 2 is emptied")
            << true << 2 << QStringList{u"Start Temp   "_s, u"25"_s, u"0"_s}
            << QStringList{QString(), QString(), QString()};
        QTest::newRow("step column keeps the start step")
            << false << 1 << QStringList{u"Start Temp   "_s, u"25"_s, u"0"_s}
            << QStringList{QString(), u"180"_s, u"30"_s};
        QTest::newRow("time column")
            << false << 3 << QStringList{u"Start Temp   "_s, u"25"_s, QString()}
            << QStringList{u"Ramp to Temp"_s, u"180"_s, QString()};
    }
    void clearing() {
        QFETCH(bool, byRow);
        QFETCH(int, index);
        QFETCH(QStringList, row1);
        QFETCH(QStringList, row2);
        h->typeInto(1, 2, u"25"_s);
        h->typeInto(1, 3, u"0"_s);
        h->typeInto(2, 2, u"180"_s);
        h->typeInto(2, 3, u"30"_s);
        h->clickStep(2, 1);
        if (byRow)
            h->clickRowHeader(index); // also cycles the row's step once
        else
            h->clickColumnHeader(index);
        clearButton()->click();
        for (int c = 1; c <= 3; ++c) {
            QCOMPARE(h->cell(1, c), row1[c - 1]);
            QCOMPARE(h->cell(2, c), row2[c - 1]);
        }
        QVERIFY(!clearButton()->isEnabled());
    }

    void blockSelectionChangesNothing() {
        h->typeInto(2, 2, u"180"_s);
        const core::Case before = h->theCase();
        h->dragCells(2, 1, 3, 3);
        QVERIFY(h->editor()->isHidden());
        QVERIFY(!clearButton()->isEnabled());
        QVERIFY(h->theCase() == before);
    }

    void dragWithinOneRowArmsTheRow() {
        h->dragCells(3, 2, 3, 3);
        QCOMPARE(clearButton()->text(), u"Clear Entire Row"_s);
        QVERIFY(h->editor()->isVisible()); // and the editor opens on the first cell
        verifyEditorOverCell(3, 2);
    }

    void insertRow() {
        const int narrow = h->grid()->width();
        h->button("cmdAddRow")->click();
        QCOMPARE(h->grid()->model()->rowCount(), 12);
        QCOMPARE(h->shown(11, 0), u" 11"_s);
        QCOMPARE(h->grid()->selection().row, 11);
        QCOMPARE(h->grid()->selection().col, 1);
        QVERIFY(h->grid()->width() > narrow);
        QCOMPARE(h->cell(11, 1), QString());
        QVERIFY(h->editor()->isHidden());
        for (int i = 0; i < 20; ++i)
            h->button("cmdAddRow")->click();
        const int last = h->grid()->model()->rowCount() - 1;
        QCOMPARE(h->shown(last, 0), u" 31"_s);
        const QRect lastRect = h->grid()->visualRect(h->grid()->model()->index(last, 1));
        QVERIFY(h->grid()->viewport()->rect().contains(lastRect));
        QVERIFY(h->grid()->topRow() > 20); // scrolled as far as the grid goes
    }

    void unitChoicesRelabelOnly_data() {
        QTest::addColumn<QString>("group");
        QTest::addColumn<int>("index");
        QTest::addColumn<int>("col");
        QTest::addColumn<QString>("header");
        QTest::newRow("fahrenheit") << u"optTempUnits"_s << 0 << 2 << u"Temp. °F"_s;
        QTest::newRow("centigrade") << u"optTempUnits"_s << 1 << 2 << u"Temp. °C"_s;
        QTest::newRow("hours") << u"optTimeUnits"_s << 1 << 3 << u"Hours"_s;
        QTest::newRow("minutes") << u"optTimeUnits"_s << 0 << 3 << u"Minutes"_s;
    }
    void unitChoicesRelabelOnly() {
        QFETCH(QString, group);
        QFETCH(int, index);
        QFETCH(int, col);
        QFETCH(QString, header);
        h->typeInto(2, col, u"100"_s);
        QVERIFY(h->editor()->isVisible());
        h->option(qPrintable(group), index)->click();
        QVERIFY(h->editor()->isHidden());
        QCOMPARE(h->shown(0, col), header);
        QCOMPARE(h->cell(2, col), u"100"_s);
        QVERIFY(h->option(qPrintable(group), index)->isChecked());
        QVERIFY(!h->option(qPrintable(group), 1 - index)->isChecked());
    }

    void conversion_data() {
        QTest::addColumn<QString>("group");
        QTest::addColumn<int>("unit");
        QTest::addColumn<QStringList>("before");
        QTest::addColumn<QStringList>("after");
        const QString temp = u"optTempUnits"_s;
        const QString time = u"optTimeUnits"_s;
        QTest::newRow("to centigrade") << temp << 1 << QStringList{u"212"_s, u"100"_s, u"32"_s}
                                       << QStringList{u"100.00"_s, u"37.78"_s, u"0.00"_s};
        QTest::newRow("to fahrenheit") << temp << 0 << QStringList{u"37.78"_s, u"0"_s, u"-40"_s}
                                       << QStringList{u"100.00"_s, u"32.00"_s, u"-40.00"_s};
        QTest::newRow("to hours") << time << 1 << QStringList{u"90"_s, u"100"_s, u"15"_s}
                                  << QStringList{u"1.500"_s, u"1.667"_s, u"0.250"_s};
        QTest::newRow("to minutes") << time << 0 << QStringList{u"1.25"_s, u"0.1"_s, QString()}
                                    << QStringList{u"75.0"_s, u"6.0"_s, QString()};
        QTest::newRow("letters and empties")
            << temp << 1 << QStringList{u"abc"_s, QString(), u"x"_s}
            << QStringList{u"-17.78"_s, QString(), u"-17.78"_s};
    }
    void conversion() {
        QFETCH(QString, group);
        QFETCH(int, unit);
        QFETCH(QStringList, before);
        QFETCH(QStringList, after);
        const int col = group == u"optTempUnits"_s ? 2 : 3;
        for (int r = 0; r < before.size(); ++r)
            if (!before[r].isEmpty())
                h->typeInto(r + 1, col, before[r]);
        h->option(qPrintable(group), unit)->click();
        h->clickCell(5, 1); // the editor is closed; the step cell changes, not the numbers
        h->button(col == 2 ? "cmdConvert_0" : "cmdConvert_1")->click();
        for (int r = 0; r < after.size(); ++r)
            QCOMPARE(h->cell(r + 1, col), after[r]);
        QCOMPARE(h->shown(1, col), after[0]);
    }

    void convertingTwiceConvertsTwice() {
        h->typeInto(1, 2, u"100"_s);
        h->button("cmdConvert_0")->click();
        QCOMPARE(h->cell(1, 2), u"37.78"_s);
        QVERIFY(h->editor()->isVisible()); // still showing the old text
        QCOMPARE(h->editor()->text(), u"100"_s);
        h->button("cmdConvert_0")->click();
        QCOMPARE(h->cell(1, 2), u"3.21"_s);
    }

    void keyboardOnlyEntry() {
        // Arrow keys move the current cell; Enter clicks it.
        h->grid()->setFocus();
        h->grid()->setCurrentCell(1, 1);
        QTest::keyClick(h->grid(), Qt::Key_Down);
        QTest::keyClick(h->grid(), Qt::Key_Return);
        QCOMPARE(h->cell(2, 1), u"Ramp to Temp"_s);
        QTest::keyClick(h->grid(), Qt::Key_Right);
        QTest::keyClick(h->grid(), Qt::Key_Return);
        QVERIFY(h->editor()->hasFocus());
        QTest::keyClicks(h->editor(), u"150"_s);
        QCOMPARE(h->cell(2, 2), u"150"_s);
    }
};

QTEST_MAIN(TestProfileEditor)
#include "tst_profileeditor.moc"
