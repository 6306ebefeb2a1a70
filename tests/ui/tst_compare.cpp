// The "Compare Barriers" page, choosing a barrier from it, the peak line of the results page
// and File > Export, driven as a user would through the real window.

#include "window_harness.h"

#include "core/advisor.h"
#include "core/comparison_csv.h"
#include "core/model.h"
#include "ui/chart/compare_chart.h"
#include "ui/pages/compare_page.h"

#include <QLineSeries>
#include <QMenu>
#include <QTableWidget>
#include <QValueAxis>

using namespace kvh;
using namespace Qt::StringLiterals;
using test::WindowHarness;

namespace {

constexpr int kComparePage = 3;
/// Tracer type 1 in air, no model chosen: all six barriers are compared.
const QByteArray kNoModelCase = "[Setup]\r\nTemp Units = 1\r\nTime Units = 0\r\n"
                                "Tracer Type = 1\r\nEnvironment = 0\r\n[Data]\r\n"
                                "S,25,0\r\nR,300,15\r\nD,300,20\r\nE,25,60\r\n";

} // namespace

class TestCompare : public QObject {
    Q_OBJECT
    std::unique_ptr<WindowHarness> h;

    QTableWidget* table() const { return h->get<QTableWidget>("tblCompare"); }
    QString cell(int row, int col) const { return table()->item(row, col)->text(); }
    int chosenRow() const {
        for (int r = 0; r < table()->rowCount(); ++r)
            if (cell(r, ui::ComparePage::ColBarrier).endsWith(u" (chosen)"_s))
                return r;
        return -1;
    }
    void clickRow(int row) {
        QTableWidget* t = table();
        const QRect r = t->visualRect(t->model()->index(row, ui::ComparePage::ColVerdict));
        QTest::mouseClick(t->viewport(), Qt::LeftButton, {}, r.center());
    }

private slots:
    void init() {
        h = std::make_unique<WindowHarness>();
        h->window->comparePage(); // built on first need, as a visit would
        new QAbstractItemModelTester(table()->model(),
                                     QAbstractItemModelTester::FailureReportingMode::QtTest,
                                     h->window.get());
    }
    void cleanup() { h.reset(); }

    void view_data() {
        QTest::addColumn<QByteArray>("dew");
        QTest::addColumn<QString>("chosen"); ///< the chosen barrier's code, or empty
        QTest::newRow("passing, 7210 chosen") << test::kPassingCase << u"7210"_s;
        QTest::newRow("no model chosen") << kNoModelCase << QString();
    }
    void view() {
        // Which barriers, their order and the recommendation are the comparison's (advisor_test);
        // here, that the table shows them in that order and marks the chosen one.
        QFETCH(QByteArray, dew);
        QFETCH(QString, chosen);
        h->openText(dew);
        h->showPage(kComparePage);
        const auto& cmp = std::get<core::Comparison>(*h->window->comparePage().comparison());
        const int rows = 6; // tracer type 1 in air: every barrier
        QCOMPARE(table()->rowCount(), rows);
        for (int r = 0; r < rows; ++r) {
            const size_t b = cmp.ranking[size_t(r)];
            QCOMPARE(cell(r, ui::ComparePage::ColBarrier).left(4),
                     QString::fromStdString(std::string(core::modelCode(cmp.barriers[b].model))));
            QCOMPARE(!cell(r, ui::ComparePage::ColSafe).isEmpty(), cmp.barriers[b].safe());
            QCOMPARE(cell(r, ui::ComparePage::ColSafe).contains(u"recommended"_s),
                     cmp.recommended == b);
        }
        if (cmp.recommended)
            QVERIFY(h->get<QLabel>("lblRecommendation")
                        ->text()
                        .startsWith(u"Recommended: "_s +
                                    QString::fromStdString(std::string(
                                        core::modelCode(cmp.barriers[*cmp.recommended].model)))));
        const int row = chosenRow();
        QCOMPARE(row < 0, chosen.isEmpty());
        if (row >= 0) {
            QCOMPARE(cell(row, 0).left(4), chosen);
            QVERIFY(table()->item(row, 0)->font().bold());
            QCOMPARE(table()->selectionModel()->selectedRows().value(0).row(), row);
        }
        // One curve per barrier, the limit line and the after-end band.
        QCOMPARE(h->get<ui::CompareChart>("chtCompare")->chart()->series().size(), rows + 2);
    }

    void notComparableUntilTracerAndEnvironment() {
        h->showPage(kComparePage);
        QCOMPARE(table()->rowCount(), 0);
        QVERIFY(h->get<QLabel>("lblRecommendation")->text().startsWith(u"Choose the tracer"_s));
        h->showPage(0);
        h->option("optTracerType", 1)->click();
        h->option("optEnviron", 1)->click();
        h->showPage(kComparePage);
        QCOMPARE(table()->rowCount(), 5); // 7210 is not offered in liquid
    }

    void choosingARowChoosesTheBarrier_data() {
        QTest::addColumn<bool>("keyboard");
        QTest::newRow("click") << false;
        QTest::newRow("arrow keys and Enter") << true;
    }
    void choosingARowChoosesTheBarrier() {
        QFETCH(bool, keyboard);
        h->openText(test::kPassingCase);
        h->showPage(kComparePage);
        const int chosen = chosenRow();
        const int target = chosen + 1 < table()->rowCount() ? chosen + 1 : chosen - 1;
        const QString code = cell(target, 0).left(4);
        if (keyboard) {
            table()->setFocus();
            table()->setCurrentCell(chosen, 0);
            QTest::keyClick(table(), target > chosen ? Qt::Key_Down : Qt::Key_Up);
            QCOMPARE(h->theCase().setup.modelTag(),
                     std::string("7210")); // moving alone is no choice
            QTest::keyClick(table(), Qt::Key_Return);
        } else {
            clickRow(target);
        }
        QCOMPARE(QString::fromStdString(h->theCase().setup.modelTag()), code);
        QVERIFY(h->option("optMod", h->theCase().setup.modelIndex())->isChecked());
        QCOMPARE(chosenRow(), target);
    }

    void recomputesWhenTheCaseChanges() {
        h->openText(test::kPassingCase);
        h->showPage(kComparePage);
        const QString before = cell(0, ui::ComparePage::ColMaxInternal);
        h->showPage(1);
        h->typeInto(3, core::kColTemp, u"250"_s); // the ramp now goes to 250
        h->typeInto(4, core::kColTemp, u"250"_s);
        h->showPage(kComparePage);
        QVERIFY(cell(0, ui::ComparePage::ColMaxInternal) != before);
        h->showPage(0);
        h->option("optTracerType", 0)->click(); // four barriers for tracer type 0
        h->showPage(kComparePage);
        QCOMPARE(table()->rowCount(), 4);
    }

    void profileErrorIsShownInsteadOfTheTable() {
        h->openText(
            "[Setup]\r\nTracer Type = 1\r\nEnvironment = 0\r\n[Data]\r\nS,25,0\r\nR,200,0\r\n");
        h->showPage(kComparePage);
        QCOMPARE(table()->rowCount(), 0);
        QVERIFY(h->get<QLabel>("lblRecommendation")->text().startsWith(u"Profile row 2"_s));
    }

    void resultsShowThePeakAfterTheEnd_data() {
        QTest::addColumn<QByteArray>("dew");
        QTest::addColumn<bool>("rises");
        QTest::newRow("falls at the end") << test::kPassingCase << false;
        QTest::newRow("still rises") << test::kLatePeakCase << true;
    }
    void resultsShowThePeakAfterTheEnd() {
        QFETCH(QByteArray, dew);
        QFETCH(bool, rises);
        h->showResults(dew);
        const auto run = std::get<core::RunResult>(core::runModel(h->theCase()));
        const core::PeakAfterEnd peak = core::peakAfterEnd(run, h->theCase().setup);
        const QString text = h->get<QLabel>("lblPeak")->text();
        QCOMPARE(peak.minutesToPeak > 0, rises);
        QCOMPARE(text, QString::fromStdString(core::afterEndText(peak, false)));
    }

    void summaryFollowsACompareChoice() {
        h->openText(test::kPassingCase);
        h->showPage(kComparePage);
        auto* summary = h->get<QLabel>("lblSetup");
        QVERIFY(summary->text().contains(u"7210"_s));
        const int target = chosenRow() == 0 ? 1 : 0;
        const QString code = cell(target, 0).left(4);
        clickRow(target);
        QCOMPARE(summary->text(), QString::fromStdString(h->theCase().setup.summary()));
        QVERIFY2(summary->text().contains(code) && !summary->text().contains(u"7210"_s),
                 qPrintable(summary->text()));
        QVERIFY(summary->accessibleName().contains(code));
    }

    void captionsUnitsAndUnlimitedDwell() {
        // A dwell at 60 °C never brings a barrier near its limit: every safe dwell is unlimited.
        h->openText(test::kPassingCase);
        h->showPage(kComparePage);
        const auto caption = [this](int col) { return table()->horizontalHeaderItem(col)->text(); };
        QCOMPARE(caption(ui::ComparePage::ColMaxDwell), u"Max. within 20 min after the end"_s);
        QCOMPARE(caption(ui::ComparePage::ColMarginShare), u"Margin, % of limit"_s);
        for (int col : {ui::ComparePage::ColMaxInternal, ui::ComparePage::ColMaxDwell,
                        ui::ComparePage::ColPeak, ui::ComparePage::ColMargin})
            QVERIFY2(cell(0, col).endsWith(u" °C"_s), qPrintable(cell(0, col)));
        QTableWidgetItem* dwell = table()->item(0, ui::ComparePage::ColSafeDwell);
        QCOMPARE(dwell->text(), u"unlimited"_s);
        QCOMPARE(dwell->toolTip(), u"over 1,000,000 minutes"_s);
    }

    void compareChartShowsTheTimeAfterTheEnd() {
        h->openText(test::kLatePeakCase); // some barriers peak 25 to 45 minutes after the end
        h->showPage(kComparePage);
        const auto& cmp = std::get<core::Comparison>(*h->window->comparePage().comparison());
        auto* chart = h->get<ui::CompareChart>("chtCompare")->chart();
        for (const core::BarrierResult& b : cmp.barriers) {
            QLineSeries* curve = nullptr;
            for (QAbstractSeries* series : chart->series())
                if (series->name() == QString::fromStdString(std::string(core::modelCode(b.model))))
                    curve = qobject_cast<QLineSeries*>(series);
            QVERIFY(curve);
            // From the start to the end, then on until the inside stops rising.
            const int64_t span = std::max<int64_t>(20, b.minutesToPeak);
            QCOMPARE(curve->points().first().x(), 0.0);
            QCOMPARE(curve->points().last().x(), double(cmp.totalMinutes + span));
            if (b.minutesToPeak >= 20)
                QCOMPARE(curve->points().last().y(), double(b.peakAfterEnd));
        }
    }

    void compareChartFollowsTheDarkPalette() {
        h->openText(test::kPassingCase);
        h->showPage(kComparePage);
        auto* view = h->get<ui::CompareChart>("chtCompare");
        const QColor light = view->chart()->backgroundBrush().color();
        QPalette dark = h->window->palette();
        dark.setColor(QPalette::Base, QColor(30, 30, 32));
        dark.setColor(QPalette::Text, QColor(230, 230, 230));
        h->window->setPalette(dark);
        QCoreApplication::processEvents();
        QCOMPARE(view->chart()->backgroundBrush().color(), QColor(30, 30, 32));
        auto* y = view->chart()->axes(Qt::Vertical).constFirst();
        QCOMPARE(y->labelsColor(), QColor(230, 230, 230));
        h->window->setPalette(QPalette());
        QCoreApplication::processEvents();
        QCOMPARE(view->chart()->backgroundBrush().color(), light);
    }

    void accessibleNames() {
        for (const char* name : {"tblCompare", "chtCompare", "lblRecommendation", "lblPeak"})
            QVERIFY2(!h->get<QWidget>(name)->accessibleName().isEmpty(), name);
        for (QAction* a : h->get<QMenu>("mnuExport")->actions())
            QVERIFY(a->text().endsWith(u"..."_s));
    }

    void exports_data() {
        QTest::addColumn<QString>("item");
        QTest::addColumn<QByteArray>("starts");
        QTest::addColumn<QString>("suffix");  ///< added to a name typed without one
        QTest::addColumn<QString>("offered"); ///< the name the dialog offers beside the case
        QTest::newRow("series") << u"mnuExportSeries"_s
                                << QByteArray("minute,process,intermediate,internal\n0,25,0,0\n")
                                << u".csv"_s << u"case.series.csv"_s;
        QTest::newRow("png") << u"mnuExportPng"_s << QByteArray("\x89PNG") << u".png"_s
                             << u"case.chart.png"_s;
        QTest::newRow("svg") << u"mnuExportSvg"_s << QByteArray("<?xml") << u".svg"_s
                             << u"case.chart.svg"_s;
        QTest::newRow("comparison")
            << u"mnuExportComparison"_s
            << QByteArray("model,max_internal,max_dwell,verdict,warning,safe_dwell_minutes,"
                          "peak_after_end,minutes_to_peak,unit,limit\n7640,")
            << u".csv"_s << u"case.barriers.csv"_s;
    }
    void exports() {
        QFETCH(QString, item);
        QFETCH(QByteArray, starts);
        QFETCH(QString, suffix);
        QFETCH(QString, offered);
        // From the Setup page, before any results: the case is run for the export.
        h->openText(test::kPassingCase);
        QCOMPARE(h->tab()->currentIndex(), 0);
        h->platform.saveAnswers.enqueue(h->dir.filePath(u"out"_s));
        h->get<QAction>(item)->trigger();
        QVERIFY(h->platform.messages.isEmpty());
        QCOMPARE(h->platform.saveDialogStarts.last(), h->dir.filePath(offered));
        const QString path = h->dir.filePath(u"out"_s + suffix);
        const QByteArray bytes = test::fileBytes(path);
        QVERIFY2(bytes.startsWith(starts), bytes.left(80).constData());
        if (item == u"mnuExportSeries"_s) {
            const auto run = std::get<core::RunResult>(core::runModel(h->theCase()));
            QCOMPARE(bytes.count('\n'), run.totalMinutes + 82);
            QVERIFY(!bytes.contains('\r'));
        }
        if (item == u"mnuExportPng"_s)
            QCOMPARE(QImage::fromData(bytes).size(),
                     h->window->chart().size() * h->window->devicePixelRatioF());
        // Replacing the file asks first; No keeps it as it was.
        h->platform.saveAnswers.enqueue(path);
        h->platform.messageAnswers.enqueue(platform::Answer::No);
        QFile::resize(path, 3);
        h->get<QAction>(item)->trigger();
        QCOMPARE(h->platform.messages.last().text, u"Overwrite Existing File?"_s);
        QCOMPARE(QFileInfo(path).size(), 3);
    }

    void exportNamesWhatTheSetupLacks_data() {
        QTest::addColumn<int>("tracer"); // -1: not chosen
        QTest::addColumn<QString>("text");
        QTest::newRow("nothing chosen")
            << -1
            << u"Choose the barrier model, the tracer type and the process environment on the "
               "Setup page to export the results."_s;
        QTest::newRow("a tracer chosen")
            << 1
            << u"Choose the barrier model and the process environment on the Setup page to "
               "export the results."_s;
    }
    void exportNamesWhatTheSetupLacks() {
        QFETCH(int, tracer);
        QFETCH(QString, text);
        if (tracer >= 0)
            h->option("optTracerType", tracer)->click();
        for (const char* item : {"mnuExportSeries", "mnuExportPng", "mnuExportSvg"}) {
            h->platform.messages.clear();
            h->action(item)->trigger();
            QCOMPARE(h->platform.messages.size(), 1);
            QCOMPARE(h->platform.messages[0].title, u"Export Error"_s);
            QCOMPARE(h->platform.messages[0].text, text);
        }
        QVERIFY(h->platform.saveDialogStarts.isEmpty());
    }

    void builtOnTheFirstVisitOrNeed_data() {
        QTest::addColumn<bool>("visit"); ///< shown first, or only exported
        QTest::newRow("visit") << true;
        QTest::newRow("export without a visit") << false;
    }
    void builtOnTheFirstVisitOrNeed() {
        QFETCH(bool, visit);
        WindowHarness fresh;
        QVERIFY(!fresh.window->findChild<QTableWidget*>(u"tblCompare"_s));
        fresh.openText(kNoModelCase);
        if (visit) {
            fresh.showPage(kComparePage);
            QCOMPARE(fresh.get<QTableWidget>("tblCompare")->rowCount(), 6);
            QVERIFY(fresh.get<QTableWidget>("tblCompare")->isVisible());
        }
        const QString path = fresh.dir.filePath(u"out.csv"_s);
        fresh.platform.saveAnswers.enqueue(path);
        fresh.action("mnuExportComparison")->trigger();
        QCOMPARE(test::fileBytes(path).count('\n'), 7); // a header and six barriers
        QVERIFY(fresh.platform.messages.isEmpty());
    }
};

QTEST_MAIN(TestCompare)
#include "tst_compare.moc"
