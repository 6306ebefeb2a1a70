// The profile editor as the user drives it: the grid's frozen header and labels, each click
// reaching the right editing operation, the overlay editor (position and write-through), the
// clear button, inserting, the unit options and the convert buttons (keyboard entry: tst_editing).
// Qt's model tester follows the grid's model through all of it: see the harness.

#include "window_harness.h"

#include "ui/editing/profile_model.h"

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
        const QRect cell = h->grid()->visualRect(h->grid()->model()->index(row, col));
        const QRect editor = h->editor()->geometry();
        QVERIFY2(cell.contains(editor),
                 qPrintable(u"cell %1,%2 does not hold the editor"_s.arg(row).arg(col)));
        QVERIFY(editor.width() >= cell.width() - 4 && editor.height() >= cell.height() - 4);
    }

private slots:
    void init() {
        h = std::make_unique<WindowHarness>();
        h->showPage(1);
    }
    void cleanup() { h.reset(); }

    void freshGrid() {
        ui::ProfileGrid* g = h->grid();
        // Row 0 and column 0 of the table are the view's frozen header sections.
        QVERIFY(g->isRowHidden(0) && g->isColumnHidden(0));
        QCOMPARE(g->model()->headerData(2, Qt::Horizontal).toString(), u"Temp. °C"_s);
        QCOMPARE(g->model()->headerData(10, Qt::Vertical).toString(), u" 10"_s);
        // Widths in proportion to 500 : 2000 : 1100 : 1100.
        const int step = g->columnWidth(1);
        QCOMPARE(g->columnWidth(2), g->columnWidth(3));
        QVERIFY(qAbs(step * 1100 - g->columnWidth(2) * 2000) <= 2000);
        QVERIFY(qAbs(step * 500 - g->verticalHeader()->width() * 2000) <= 2000);
        QVERIFY(!clearButton()->isEnabled());
    }

    void stepClicksReachTheProfile() {
        // What a step click does to the cells is the core's; here, that the clicks reach it and
        // the editor opens on what it wrote: an end step's time opens as 0.
        h->clickStep(3, 3);
        QCOMPARE(h->shown(3, 1), u"End Temp    "_s);
        QVERIFY(h->editor()->isHidden());
        h->clickCell(3, 3);
        QCOMPARE(h->editor()->text(), u"0"_s);
        QCOMPARE(h->shown(3, 3), u"0"_s);
    }

    void editorWritesEveryKeystroke() {
        h->clickCell(4, 2);
        QVERIFY(h->editor()->isVisible() && h->editor()->hasFocus());
        QTest::keyClick(h->editor(), Qt::Key_1);
        QCOMPARE(h->shown(4, 2), u"1"_s);
        QTest::keyClicks(h->editor(), u"2.5 min"_s);
        QCOMPARE(h->shown(4, 2), u"12.5 min"_s);
        QTest::keyClick(h->editor(), Qt::Key_Escape); // no key has a meaning of its own
        QTest::keyClick(h->editor(), Qt::Key_Return);
        QVERIFY(h->editor()->isVisible());
        h->clickCell(4, 1); // the next click hides it and keeps the text
        QVERIFY(h->editor()->isHidden());
        QCOMPARE(h->shown(4, 2), u"12.5 min"_s);
    }

    void editorSitsOverItsCell_data() {
        QTest::addColumn<int>("pointSize");
        QTest::addColumn<int>("extraRows");
        QTest::addColumn<int>("row");
        QTest::addColumn<int>("col");
        QTest::newRow("large font") << 20 << 0 << 7 << 3;
        QTest::newRow("small font, scrolled") << 7 << 40 << 44 << 2;
    }
    void editorSitsOverItsCell() {
        QFETCH(int, pointSize);
        QFETCH(int, extraRows);
        QFETCH(int, row);
        QFETCH(int, col);
        QFont font = h->grid()->font();
        font.setPointSize(pointSize);
        h->grid()->setFont(font);
        for (int i = 0; i < extraRows; ++i)
            h->button("cmdAddRow")->click();
        h->clickCell(row, col);
        verifyEditorOverCell(row, col);
        QCOMPARE(h->editor()->font().pointSize(), h->grid()->font().pointSize());
        if (extraRows > 0) { // scrolling with the editor open carries it along
            QScrollBar* bar = h->grid()->verticalScrollBar();
            bar->setValue(bar->value() > 0 ? bar->value() - 1 : bar->value() + 1);
            verifyEditorOverCell(row, col);
        }
        font.setPointSize(h->grid()->font().pointSize() + 4);
        h->grid()->setFont(font);
        verifyEditorOverCell(row, col);
    }

    void gesturesArmAndClear_data() {
        QTest::addColumn<QString>("gesture");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QPoint>("editorAt"); ///< (row, col); null: hidden
        QTest::addColumn<QPoint>("cleared");  ///< a cell the clear button empties; null: disabled
        QTest::addColumn<QPoint>("kept");
        QTest::newRow("row label")
            << u"row 2"_s << u"Clear Entire Row"_s << QPoint() << QPoint(2, 3) << QPoint(3, 2);
        QTest::newRow("column header") << u"column 2"_s << u"Clear Entire Column"_s << QPoint()
                                       << QPoint(3, 2) << QPoint(2, 3);
        QTest::newRow("drag along a row") << u"drag 3 2 3 3"_s << u"Clear Entire Row"_s
                                          << QPoint(3, 2) << QPoint(3, 2) << QPoint(2, 3);
        QTest::newRow("drag over a block") << u"drag 2 1 3 3"_s << u"Clear Row or Column"_s
                                           << QPoint() << QPoint() << QPoint(2, 3);
    }
    void gesturesArmAndClear() {
        QFETCH(QString, gesture);
        QFETCH(QString, caption);
        QFETCH(QPoint, editorAt);
        QFETCH(QPoint, cleared);
        QFETCH(QPoint, kept);
        h->typeInto(2, 3, u"30"_s);
        h->typeInto(3, 2, u"95"_s);
        const QStringList g = gesture.split(u' ');
        if (g[0] == u"row"_s)
            h->clickRowHeader(g[1].toInt());
        else if (g[0] == u"column"_s)
            h->clickColumnHeader(g[1].toInt());
        else
            h->dragCells(g[1].toInt(), g[2].toInt(), g[3].toInt(), g[4].toInt());
        QCOMPARE(test::shownText(clearButton()->text()), caption);
        QCOMPARE(clearButton()->isEnabled(), !cleared.isNull());
        QCOMPARE(h->editor()->isVisible(), !editorAt.isNull());
        if (!editorAt.isNull())
            verifyEditorOverCell(editorAt.x(), editorAt.y());
        if (cleared.isNull())
            return;
        clearButton()->click();
        QCOMPARE(h->shown(cleared.x(), cleared.y()), QString());
        QVERIFY(!h->shown(kept.x(), kept.y()).isEmpty());
        QVERIFY(!clearButton()->isEnabled());
        QCOMPARE(h->editor()->isVisible(), !editorAt.isNull()); // clearing leaves the editor
    }

    void insertRowWidensAndScrolls() {
        const int narrow = h->grid()->width();
        for (int i = 0; i < 21; ++i)
            h->button("cmdAddRow")->click();
        QCOMPARE(h->shown(31, 0), u" 31"_s);
        QCOMPARE(h->grid()->selection().row, 31);
        QCOMPARE(h->grid()->selection().col, 1);
        QVERIFY(h->grid()->width() > narrow);
        QVERIFY(h->editor()->isHidden());
        const QRect last = h->grid()->visualRect(h->grid()->model()->index(31, 1));
        QVERIFY(h->grid()->viewport()->rect().contains(last));
        // Scrolled as far as the grid goes (how far depends on the rows the page has room for).
        const QScrollBar* bar = h->grid()->verticalScrollBar();
        QVERIFY(bar->maximum() > 0);
        QCOMPARE(bar->value(), bar->maximum());
    }

    void unitOptionsAndConvertButtons_data() {
        QTest::addColumn<QString>("group");
        QTest::addColumn<int>("unit");
        QTest::addColumn<QString>("header");
        QTest::addColumn<QString>("before");
        QTest::addColumn<QString>("after");
        QTest::newRow("centigrade")
            << u"optTempUnits"_s << 1 << u"Temp. °C"_s << u"212"_s << u"100.00"_s;
        QTest::newRow("hours") << u"optTimeUnits"_s << 1 << u"Hours"_s << u"90"_s << u"1.500"_s;
    }
    void unitOptionsAndConvertButtons() {
        QFETCH(QString, group);
        QFETCH(int, unit);
        QFETCH(QString, header);
        QFETCH(QString, before);
        QFETCH(QString, after);
        const int col = group == u"optTempUnits"_s ? 2 : 3;
        h->option(qPrintable(group), 1 - unit)->click();
        h->typeInto(2, col, before);
        h->option(qPrintable(group), unit)->click();
        QVERIFY(h->editor()->isHidden());
        QCOMPARE(h->shown(0, col), header);
        QCOMPARE(h->shown(2, col), before); // the option relabels only
        QVERIFY(h->option(qPrintable(group), unit)->isChecked());
        QVERIFY(!h->option(qPrintable(group), 1 - unit)->isChecked());
        h->button(col == 2 ? "cmdConvert_0" : "cmdConvert_1")->click();
        QCOMPARE(h->shown(2, col), after);
    }

    void doubtfulCellsAreMarkedAsYouType_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("dark");
        QTest::addColumn<QString>("tip"); ///< empty: no mark
        QTest::newRow("letter O, light") << u"4OO"_s << false << u"Read as 4"_s;
        QTest::newRow("letter O, dark") << u"4OO"_s << true << u"Read as 4"_s;
        QTest::newRow("a clean number") << u"400"_s << false << QString();
    }
    void doubtfulCellsAreMarkedAsYouType() {
        QFETCH(QString, typed);
        QFETCH(bool, dark);
        QFETCH(QString, tip);
        if (dark) {
            QPalette palette = h->grid()->palette();
            palette.setColor(QPalette::Base, QColor(0x20, 0x20, 0x20));
            palette.setColor(QPalette::Text, Qt::white);
            h->grid()->setPalette(palette);
        }
        h->clickStep(2, 1);
        h->clickStep(3, 1); // a ramp without a temperature in the next row
        h->typeInto(2, 3, u"30"_s);
        const QModelIndex temp = h->grid()->model()->index(2, 2);
        const QModelIndex below = h->grid()->model()->index(3, 2);
        QVERIFY(!temp.data(Qt::ToolTipRole).toString().isEmpty()); // a ramp with no temperature
        h->typeInto(2, 2, typed.left(1));
        QCOMPARE(temp.data(Qt::ToolTipRole).toString().isEmpty(), false);
        QTest::keyClicks(h->editor(), typed.mid(1));
        h->clickCell(6, 3); // the editor goes, the mark stays in view
        QCOMPARE(temp.data(ui::ProfileModel::DoubtfulRole).toString(), tip);
        QCOMPARE(temp.data(Qt::AccessibleDescriptionRole).toString(), tip);
        // Typing in one row leaves the marks of the others as they were.
        QCOMPARE(below.data(ui::ProfileModel::DoubtfulRole).toString(), u"Empty: read as 0"_s);
        if (!tip.isEmpty())
            QCOMPARE(temp.data(Qt::ToolTipRole).toString(), tip);
        // The tint is drawn from the grid's own palette.
        const QImage shot = h->grid()->viewport()->grab().toImage();
        const QRect cell = h->grid()->visualRect(temp);
        const QColor at = shot.pixelColor(cell.right() - 3, cell.top() + 3);
        const QColor base = h->grid()->palette().color(QPalette::Base);
        QCOMPARE(at, tip.isEmpty() ? base : ui::ProfileGrid::doubtfulTint(h->grid()->palette()));
        if (!tip.isEmpty()) // readable either way: the tint stays on the base's side
            QVERIFY(qAbs(at.lightness() - base.lightness()) < 100);
    }
};

QTEST_MAIN(TestProfileEditor)
#include "tst_profileeditor.moc"
