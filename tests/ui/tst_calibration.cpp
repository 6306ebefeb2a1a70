// Calibrated barriers in the window: the fit dialog on a recording the model made, saving the
// fit, choosing it under the model, the calibrated lines and curve beside the specified run,
// the printed lines, and the choice cleared when the setup no longer matches.

#include "window_harness.h"

#include "core/model.h"
#include "ui/calibration/calibration.h"
#include "ui/chart/results_chart.h"
#include "ui/pages/compare_page.h"

#include <QComboBox>
#include <QDialog>
#include <QDir>
#include <QLineSeries>
#include <QPlainTextEdit>
#include <QScopeGuard>
#include <QStandardPaths>
#include <QTableWidget>
#include <QTimer>

#include <charconv>
#include <functional>

using namespace kvh;
using namespace Qt::StringLiterals;
using test::WindowHarness;

namespace {

/// The 7210 in air with a tracer of type 1: 25 °C, an hour there, to 120 and back, twice.
const QByteArray kCycleCase = "[Setup]\r\nTemp Units = 1\r\nTime Units = 0\r\n"
                              "Davar Model = 4\r\nTracer Type = 1\r\nEnvironment = 0\r\n"
                              "[Data]\r\nS,25,0\r\nD,25,60\r\nR,120,45\r\nD,120,90\r\n"
                              "R,25,60\r\nD,25,60\r\nR,120,45\r\nD,120,90\r\nR,25,60\r\n";

/// The worn barrier the recording is made with: one minute more dead time, faster stages.
const core::BarrierCoefficients kWorn{7, 0.084f, 0.045f};

QString number(double value) {
    char buffer[32];
    const auto end = std::to_chars(buffer, buffer + sizeof buffer, value).ptr;
    return QString::fromLatin1(buffer, static_cast<qsizetype>(end - buffer));
}

/// A logger's export of the case run with the worn barrier: minutes, oven, logger.
QByteArray recordingOf(const core::Case& c) {
    const auto run = std::get<core::RunResult>(core::runModelWith(c, kWorn));
    QString text = u"Elapsed minutes,Oven (C),Logger (C)\n"_s;
    for (int64_t m = 0; m <= run.totalMinutes; ++m) {
        const auto t = static_cast<size_t>(core::kLeadIn + m);
        text += number(static_cast<double>(m)) + u',' + number(run.process[t]) + u',' +
                number(run.internal[t]) + u'\n';
    }
    return text.toUtf8();
}

QLineSeries* seriesNamed(ui::ResultsChart& chart, const QString& name) {
    for (QAbstractSeries* s : chart.chart()->series())
        if (s->name() == name)
            return static_cast<QLineSeries*>(s);
    return nullptr;
}

/// Runs `drive` on the fit dialog while File > Fit Barrier to Recording... holds it open.
void withFitDialog(WindowHarness& h, const std::function<void(QDialog&)>& drive) {
    bool driven = false;
    QTimer::singleShot(0, h.window.get(), [&] {
        auto* dialog = h.window->findChild<QDialog*>(u"dlgFit"_s);
        if (!dialog)
            return;
        const auto close = qScopeGuard([dialog] { dialog->reject(); });
        driven = true;
        drive(*dialog);
    });
    h.action("mnuFitBarrier")->trigger();
    QVERIFY(driven);
}

} // namespace

class tst_Calibration : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void fitSaveChooseAndShow();
    void badRecordingIsToldAndChangesNothing();
    void choiceIsClearedWhenTheSetupNoLongerMatches();
    void comparePageAddsTheCalibratedRowAndCurve();

private:
    /// Opens the cycling case, fits it to its recording and saves the fit as "7210 serial 9".
    void fitAndSave(WindowHarness& h);
};

void tst_Calibration::fitAndSave(WindowHarness& h) {
    h.window->setCalibrationFolder(h.dir.filePath(u"barriers"_s));
    QVERIFY(h.window->openFile(test::writeFile(h.dir.filePath(u"cycle.dew"_s), kCycleCase)));
    const QString trace = test::writeFile(h.dir.filePath(u"run.csv"_s), recordingOf(h.theCase()));
    h.platform.openAnswers.enqueue(trace);
    withFitDialog(h, [&](QDialog& dialog) {
        QTest::mouseClick(dialog.findChild<QPushButton*>(u"cmdRecording"_s), Qt::LeftButton);
        QCOMPARE(dialog.findChild<QComboBox*>(u"cboProcess"_s)->currentIndex(), 1);
        QCOMPARE(dialog.findChild<QComboBox*>(u"cboLogger"_s)->currentIndex(), 1);
        QTest::mouseClick(dialog.findChild<QPushButton*>(u"cmdFit"_s), Qt::LeftButton);
        const QString figures = dialog.findChild<QPlainTextEdit*>(u"txtFit"_s)->toPlainText();
        QVERIFY2(figures.startsWith(u"Dead time: 7 minutes (table 6, +16.67 %)"_s),
                 qPrintable(figures));
        QVERIFY2(figures.contains(u"Good fit."_s), qPrintable(figures));
        auto* name = dialog.findChild<QLineEdit*>(u"txtBarrierName"_s);
        name->clear();
        QTest::keyClicks(name, u"7210 serial 9"_s);
        QTest::mouseClick(dialog.findChild<QPushButton*>(u"cmdSaveBarrier"_s), Qt::LeftButton);
    });
    QVERIFY(QFile::exists(h.dir.filePath(u"barriers/7210_serial_9.json"_s)));
}

void tst_Calibration::fitSaveChooseAndShow() {
    WindowHarness h;
    fitAndSave(h);
    // The saved barrier is offered under the models and chosen at once.
    auto* chooser = h.get<QComboBox>("cboCalibrated");
    QCOMPARE(chooser->count(), 2);
    QCOMPARE(chooser->currentIndex(), 1);
    QVERIFY(chooser->currentText().startsWith(u"7210 serial 9 (D 7 min"_s));

    h.tab()->setCurrentIndex(2);
    auto* lines = h.get<QLabel>("txtCalibrated");
    QVERIFY(lines->isVisibleTo(h.window.get()));
    QVERIFY2(lines->text().startsWith(u"Calibrated barrier 7210 serial 9 (D 7 min"_s),
             qPrintable(lines->text()));
    QVERIFY(lines->text().contains(u"Maximum Internal Temperature = "_s));
    QVERIFY(lines->text().contains(u"After the end"_s) || lines->text().contains(u"peaks"_s));
    // Its curve beside the specified one; the specified texts stay the table's.
    QLineSeries* curve = seriesNamed(h.window->chart(), u"Calibrated: 7210 serial 9"_s);
    QVERIFY(curve);
    QVERIFY(curve->count() > 10);
    QVERIFY(seriesNamed(h.window->chart(), u"Internal Temperature"_s));
    QCOMPARE(h.window->calibration().printedLines(), lines->text());
    QVERIFY(h.txtMaxResults().startsWith(u"Maximum Internal Temperature = "_s));
    QVERIFY(!h.txtMaxResults().contains(u"Calibrated"_s));

    // Back to the table's values: no calibrated line or curve.
    chooser->setCurrentIndex(0);
    QVERIFY(!lines->isVisibleTo(h.window.get()));
    QVERIFY(!seriesNamed(h.window->chart(), u"Calibrated: 7210 serial 9"_s));
    QVERIFY(h.window->calibration().printedLines().isEmpty());
}

void tst_Calibration::badRecordingIsToldAndChangesNothing() {
    WindowHarness h;
    h.window->setCalibrationFolder(h.dir.filePath(u"barriers"_s));
    QVERIFY(h.window->openFile(test::writeFile(h.dir.filePath(u"cycle.dew"_s), kCycleCase)));
    h.platform.openAnswers.enqueue(test::writeFile(h.dir.filePath(u"bad.csv"_s), "\x01\x02"));
    const auto shown = h.platform.messages.size();
    withFitDialog(h, [&](QDialog& dialog) {
        QTest::mouseClick(dialog.findChild<QPushButton*>(u"cmdRecording"_s), Qt::LeftButton);
        QVERIFY(!dialog.findChild<QPushButton*>(u"cmdFit"_s)->isEnabled());
        QVERIFY(!dialog.findChild<QPushButton*>(u"cmdSaveBarrier"_s)->isEnabled());
    });
    QCOMPARE(h.platform.messages.size(), shown + 1);
    QVERIFY(!QDir(h.dir.filePath(u"barriers"_s)).exists());
}

void tst_Calibration::choiceIsClearedWhenTheSetupNoLongerMatches() {
    WindowHarness h;
    fitAndSave(h);
    auto* chooser = h.get<QComboBox>("cboCalibrated");
    QCOMPARE(chooser->currentIndex(), 1);
    h.tab()->setCurrentIndex(0);
    h.option("optEnviron", 1)->click(); // liquid: no 7210 there
    QCOMPARE(h.theCase().setup.environIndex(), 1);
    QCOMPARE(chooser->currentIndex(), 0);
    QVERIFY(!chooser->isEnabled());
    QVERIFY(!h.window->calibration().chosen());
    QVERIFY(!seriesNamed(h.window->chart(), u"Calibrated: 7210 serial 9"_s));
}

void tst_Calibration::comparePageAddsTheCalibratedRowAndCurve() {
    WindowHarness h;
    fitAndSave(h);
    h.tab()->setCurrentIndex(3);
    QVERIFY(h.window->comparePage().comparison());
    auto* table = h.get<QTableWidget>("tblCompare");
    QCOMPARE(table->rowCount(), 7); // the six barriers offered in air, then the calibrated one
    QCOMPARE(table->item(6, 0)->text(), u"7210 (7210 serial 9)"_s);
    QCOMPARE(table->item(6, 3)->text(), u"PASS"_s);
    // Its row chooses nothing: the chosen model stays.
    QTest::mouseClick(table->viewport(), Qt::LeftButton, {},
                      table->visualItemRect(table->item(6, 0)).center());
    QCOMPARE(h.theCase().setup.modelIndex(), 4);
    bool curve = false;
    for (QAbstractSeries* s : h.window->comparePage().findChild<QChartView*>()->chart()->series())
        curve = curve || s->name() == u"7210 (7210 serial 9)"_s;
    QVERIFY(curve);
}

QTEST_MAIN(tst_Calibration)
#include "tst_calibration.moc"
