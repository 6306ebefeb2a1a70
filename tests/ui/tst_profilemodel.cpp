// The item model behind the grid, checked by Qt's model tester through every kind of change
// the window makes: cells, whole columns, appended rows and a replaced table.

#include "core/case.h"
#include "ui/profile_model.h"

#include <QAbstractItemModelTester>
#include <QSignalSpy>
#include <QTest>

using namespace kvh;
using namespace Qt::StringLiterals;

class TestProfileModel : public QObject {
    Q_OBJECT

private slots:
    void keepsTheTesterHappy() {
        core::Case c;
        ui::ProfileModel model(c.profile);
        QAbstractItemModelTester tester(&model,
                                        QAbstractItemModelTester::FailureReportingMode::QtTest);
        QCOMPARE(model.headerData(2, Qt::Horizontal).toString(), u"Temp. °C"_s);
        QCOMPARE(model.headerData(7, Qt::Vertical).toString(), u" 7"_s);

        QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
        c.profile.setCell(3, 2, "120");
        model.cellChanged(3, 2);
        QCOMPARE(changed.size(), 1);
        c.selectTempUnit(0);
        model.headerChanged();
        QCOMPARE(model.headerData(2, Qt::Horizontal).toString(), u"Temp. °F"_s);

        core::insertRow(c.profile);
        core::insertRow(c.profile);
        model.rowsAppended();
        QCOMPARE(model.headerData(12, Qt::Vertical).toString(), u" 12"_s);
        core::convertTemperatures(c.profile, true);
        model.columnChanged(core::kColTemp);
        model.allCellsChanged();

        c.profile.setRowCount(4);
        model.tableReplaced();
        QCOMPARE(model.rowCount(), 4);
        c.profile.clearAll();
        model.tableReplaced();
        QCOMPARE(model.rowCount(), 1);
        QCOMPARE(model.headerData(3, Qt::Horizontal).toString(), QString());
    }
};

QTEST_MAIN(TestProfileModel)
#include "tst_profilemodel.moc"
