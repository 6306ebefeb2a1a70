// The "What If" page and the safety margin, driven as a user would through the real window:
// every figure shown is the core's for the case the window holds.

#include "window_harness.h"

#include "core/numbers.h"
#include "core/what_if.h"
#include "ui/what_if/safety_margin.h"
#include "ui/what_if/tornado_chart.h"

#include <QAccessible>
#include <QCheckBox>
#include <QDoubleSpinBox>
#include <QSettings>
#include <QSpinBox>
#include <QTableWidget>

using namespace kvh;
using namespace Qt::StringLiterals;
using test::WindowHarness;

namespace {

constexpr int kWhatIfPage = 4;
constexpr int kComparePage = 3;

/// Close to the steady state just below the limit: PASS, and FAIL with an oven 10 °C hot.
const QByteArray kNearLimit = "[Setup]\r\nTemp Units = 1\r\nTime Units = 0\r\n"
                              "Davar Model = 4\r\nTracer Type = 1\r\nEnvironment = 0\r\n"
                              "[Data]\r\nS,25,0\r\nR,135,15\r\nD,135,900\r\n";

/// Types a value into a spin box and confirms it with Return, as a user would.
void typeValue(QAbstractSpinBox* box, const QString& text) {
    box->setFocus();
    box->selectAll();
    QTest::keyClicks(box, text);
    QTest::keyClick(box, Qt::Key_Return);
}

} // namespace

class TestWhatIf : public QObject {
    Q_OBJECT
    std::unique_ptr<WindowHarness> h;

    QString text(const char* label) const { return h->get<QLabel>(label)->text(); }
    QTableWidget* runsTable() const { return h->get<QTableWidget>("tblBackToBack"); }
    void showWhatIf() {
        h->showPage(kWhatIfPage);
        QTRY_VERIFY(!text("lblWorstCase").isEmpty());
    }

private slots:
    void init() { h = std::make_unique<WindowHarness>(); }
    void cleanup() { h.reset(); }

    void showsTheCoresAnswers_data() {
        QTest::addColumn<QByteArray>("dew");
        QTest::addColumn<QString>("worst");
        QTest::newRow("near the limit")
            << kNearLimit << u"PASS as entered; FAIL if the oven runs 10 \u00b0C hot"_s;
        QTest::newRow("passing") << test::kPassingCase << QString();
    }
    void showsTheCoresAnswers() {
        QFETCH(QByteArray, dew);
        QFETCH(QString, worst);
        h->openText(dew);
        showWhatIf();
        const auto v = std::get<core::Variations>(core::runVariations(h->theCase()));
        QCOMPARE(text("lblWorstCase"), QString::fromStdString(core::worstCaseText(v, false)));
        if (!worst.isEmpty())
            QCOMPARE(text("lblWorstCase"), worst);
        const auto* tornado = h->get<ui::TornadoChart>("picTornado");
        const std::vector<size_t> order = core::tornadoOrder(v);
        QCOMPARE(tornado->barNames().size(), static_cast<qsizetype>(order.size()));
        QCOMPARE(tornado->barNames().front(),
                 ui::TornadoChart::variationLabel(v.rows[order.front()].variation, false));

        const auto b2b = std::get<core::BackToBack>(core::runBackToBack(h->theCase(), 3, 0, 25));
        QCOMPARE(runsTable()->rowCount(), 3);
        for (int row = 0; row < 3; ++row)
            QCOMPARE(runsTable()->item(row, 3)->text(),
                     b2b.runs[static_cast<size_t>(row)].pass ? u"PASS"_s : u"FAIL"_s);
        QVERIFY(text("lblShortestGap").startsWith(b2b.shortestSafeGap ? u"Shortest"_s : u"No"_s));
        QVERIFY(text("lblUncertainty").startsWith(u"Over 1000 runs"_s));
    }

    void recomputesWhenTheCaseOrAQuestionChanges() {
        h->openText(test::kPassingCase);
        showWhatIf();
        h->openText(kNearLimit); // opened while the page is shown
        QTRY_COMPARE(text("lblWorstCase"),
                     u"PASS as entered; FAIL if the oven runs 10 \u00b0C hot"_s);
        typeValue(h->get<QSpinBox>("txtRuns"), u"5"_s);
        QTRY_COMPARE(runsTable()->rowCount(), 5);
        typeValue(h->get<QSpinBox>("txtUncertaintyRuns"), u"40"_s);
        QTRY_VERIFY(text("lblUncertainty").startsWith(u"Over 40 runs"_s));
        typeValue(h->get<QSpinBox>("txtUncertaintyRuns"), u"90000"_s); // 20 million minutes
        QTRY_VERIFY(text("lblUncertainty").startsWith(u"Too many minutes"_s));
        typeValue(h->get<QSpinBox>("txtUncertaintyRuns"), u"40"_s);
        QTRY_VERIFY(text("lblUncertainty").startsWith(u"Over 40 runs"_s));
        const auto u = std::get<core::Uncertainty>(core::runUncertainty(h->theCase(), 40, 1));
        QVERIFY(text("lblUncertainty")
                    .contains(
                        QString::fromStdString(core::formatPattern(u.p50, core::Pattern::OneDec))));
    }

    void incompleteSetupSaysSo() {
        h->showPage(kWhatIfPage);
        QTRY_COMPARE(text("lblWorstCase"), QString::fromUtf8(core::kSetupNotComplete.data(),
                                                             core::kSetupNotComplete.size()));
        QCOMPARE(runsTable()->rowCount(), 0);
    }

    void theMarginIsRememberedAndReachesTheComparePage() {
        const QTemporaryDir dir; // outlives the first window's own scratch folder
        const QString path = dir.filePath(u"settings.ini"_s);
        {
            QSettings settings(path, QSettings::IniFormat);
            h->window->setSettings(&settings);
            h->openText(test::kPassingCase);
            showWhatIf();
            typeValue(h->get<QDoubleSpinBox>("txtMargin"), u"12.5"_s);
            QCOMPARE(h->window->safetyMargin().celsius(), 12.5);
            h->showPage(kComparePage);
            QTRY_VERIFY(text("lblRecommendation").contains(u"12.5 \u00b0C below the limit"_s));
            h->window->setSettings(nullptr);
        }
        h.reset();
        h = std::make_unique<WindowHarness>();
        QSettings settings(path, QSettings::IniFormat);
        h->window->setSettings(&settings);
        QCOMPARE(h->window->safetyMargin().celsius(), 12.5);
        h->showPage(kWhatIfPage);
        QCOMPARE(h->get<QDoubleSpinBox>("txtMargin")->value(), 12.5);
        h->window->setSettings(nullptr);
    }

    void theMarginIsShownConvertedInFahrenheit() {
        h->openText(test::kPassingCase);
        showWhatIf();
        typeValue(h->get<QDoubleSpinBox>("txtMargin"), u"5"_s);
        QCOMPARE(text("lblMarginShown"), QString());
        h->showPage(1);
        h->option("optTempUnits", 0)->click();
        showWhatIf();
        QTRY_COMPARE(text("lblMarginShown"), u"(9.0 \u00b0F below the limit)"_s);
        QCOMPARE(h->get<QDoubleSpinBox>("txtRoom")->value(), 77.0);
    }

    void startAtMovesTheAnswers() {
        h->openText(test::kPassingCase);
        showWhatIf();
        const QString before = text("lblUncertainty");
        QTest::mouseClick(h->get<QCheckBox>("chkStartAt"), Qt::LeftButton);
        typeValue(h->get<QDoubleSpinBox>("txtStartAt"), u"100"_s);
        QTRY_VERIFY(text("lblUncertainty") != before);
        core::WhatIfSettings settings;
        settings.stageStart = 100.0f;
        const auto b2b =
            std::get<core::BackToBack>(core::runBackToBack(h->theCase(), 3, 0, 25, settings));
        QCOMPARE(runsTable()->item(0, 1)->text(),
                 QString::fromStdString(
                     core::formatPattern(b2b.runs[0].maxInternal, core::Pattern::OneDec)) +
                     u" \u00b0C"_s);
    }

    void accessibleNames_data() {
        QTest::addColumn<QString>("name");
        QTest::newRow("tornado") << u"picTornado"_s;
        QTest::newRow("band") << u"grfUncertainty"_s;
        QTest::newRow("runs") << u"tblBackToBack"_s;
        QTest::newRow("start") << u"txtStartAt"_s;
    }
    void accessibleNames() {
        QFETCH(QString, name);
        h->openText(test::kPassingCase);
        showWhatIf();
        QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(h->get<QWidget>(name));
        QVERIFY(iface);
        QVERIFY(!iface->text(QAccessible::Name).isEmpty());
    }
};

QTEST_MAIN(TestWhatIf)
#include "tst_whatif.moc"
