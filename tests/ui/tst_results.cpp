// The results page: verdict texts and colours, a failed run, "Plot Tracer Only", automatic
// axes after every run, axis picking, and decimated curves that look like the full ones.

#include "window_harness.h"

#include "core/model.h"

#include <QCheckBox>
#include <QLineSeries>
#include <QPainter>
#include <QSignalSpy>

#include <cmath>

using namespace kvh;
using namespace Qt::StringLiterals;
using test::WindowHarness;

namespace {

QByteArray withSetup(QByteArray dew, const char* key, char value) {
    const qsizetype at = dew.indexOf(key);
    const qsizetype end = dew.indexOf('\r', at);
    dew[end - 1] = value;
    return dew;
}

QColor pfColour(const WindowHarness& h) {
    return h.get<QLineEdit>("txtPF")->palette().color(QPalette::Base);
}

QLineSeries* seriesNamed(ui::ResultsChart& chart, const QString& name) {
    for (QAbstractSeries* s : chart.chart()->series())
        if (s->name() == name)
            return static_cast<QLineSeries*>(s);
    return nullptr;
}

/// A long, noisy curve and a square wave: the hardest case for a min/max decimation.
core::ChartData longJaggedData(int points) {
    core::ChartData data;
    data.xTitle = "Elapsed Minutes";
    data.yTitle = "Temp. \u00b0C";
    uint32_t seed = 12345;
    for (int i = 1; i <= points; ++i) {
        seed = seed * 1664525u + 1013904223u;
        const double noise = static_cast<double>(seed >> 8) / double(1u << 24) * 10.0 - 5.0;
        data.internal.push_back({double(i), 100.0 + 50.0 * std::sin(i / 2000.0) + noise});
        data.process.push_back({double(i), (i / 5000) % 2 ? 200.0 : 25.0});
    }
    data.limit = {{0.0, 140.0}, {double(points), 140.0}};
    return data;
}

QImage render(ui::ResultsChart& chart) {
    QImage image(chart.size(), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    QPainter painter(&image);
    chart.renderTo(&painter, QRectF(image.rect()));
    return image;
}

int colourDistance(QRgb p, QRgb q) {
    return qAbs(qRed(p) - qRed(q)) + qAbs(qGreen(p) - qGreen(q)) + qAbs(qBlue(p) - qBlue(q));
}

/// Pixels of `a` with no pixel of similar colour at or next to the same place in `b`.
qint64 countDiffering(const QImage& a, const QImage& b) {
    constexpr int kClose = 96;
    qint64 count = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            bool matched = false;
            for (int dy = -1; dy <= 1 && !matched; ++dy)
                for (int dx = -1; dx <= 1 && !matched; ++dx) {
                    const int bx = x + dx;
                    const int by = y + dy;
                    matched = bx >= 0 && by >= 0 && bx < b.width() && by < b.height() &&
                              colourDistance(a.pixel(x, y), b.pixel(bx, by)) <= kClose;
                }
            count += matched ? 0 : 1;
        }
    return count;
}

} // namespace

class TestResults : public QObject {
    Q_OBJECT
    std::unique_ptr<WindowHarness> h;

private slots:
    void init() { h = std::make_unique<WindowHarness>(); }
    void cleanup() { h.reset(); }

    void verdicts_data() {
        QTest::addColumn<QByteArray>("dew");
        QTest::addColumn<QString>("verdict");
        QTest::addColumn<QColor>("colour");
        QTest::addColumn<QString>("contains");
        QTest::addColumn<QString>("yTitle");
        QTest::addColumn<QString>("xTitle");
        QTest::newRow("pass") << test::kPassingCase << u"PASS"_s << QColor(0, 255, 0)
                              << u"  Limit = 140° C\n"_s << u"Temp. °C"_s << u"Elapsed Minutes"_s;
        QTest::newRow("fail") << test::kFailingCase << u"FAIL"_s << QColor(255, 0, 0)
                              << u"Final Rate of change:  "_s << u"Temp. °C"_s
                              << u"Elapsed Minutes"_s;
        QByteArray fahrenheit = withSetup(test::kPassingCase, "Temp Units", '0');
        fahrenheit = withSetup(fahrenheit, "Tracer Type", '0');
        QTest::newRow("fahrenheit, tracer II")
            << fahrenheit << u"PASS"_s << QColor(0, 255, 0) << u"  Limit = 302° F\n"_s
            << u"Temp. °F"_s << u"Elapsed Minutes"_s;
        const QByteArray hours = "[Setup]\r\nTemp Units = 1\r\nTime Units = 1\r\n"
                                 "Davar Model = 0\r\nTracer Type = 1\r\nEnvironment = 1\r\n"
                                 "[Data]\r\nS,25,0\r\nR,60,0.5\r\nE,25,1\r\n";
        QTest::newRow("hours") << hours << u"PASS"_s << QColor(0, 255, 0) << u" °C/min"_s
                               << u"Temp. °C"_s << u"Elapsed Hours"_s;
    }
    void verdicts() {
        QFETCH(QByteArray, dew);
        QFETCH(QString, verdict);
        QFETCH(QColor, colour);
        QFETCH(QString, contains);
        QFETCH(QString, yTitle);
        QFETCH(QString, xTitle);
        h->openText(dew);
        h->showPage(2);
        QVERIFY(h->platform.messages.isEmpty());
        QCOMPARE(h->txtPF(), verdict);
        QCOMPARE(pfColour(*h), colour);
        QVERIFY2(h->txtMaxResults().contains(contains), qPrintable(h->txtMaxResults()));
        QVERIFY(h->txtMaxResults().startsWith(u"Maximum Internal Temperature = "_s));
        if (verdict == u"FAIL"_s)
            QVERIFY(!h->txtMaxResults().contains(u"WARNING"_s));
        const auto run = std::get<core::RunResult>(core::runModel(h->theCase()));
        QCOMPARE(h->window->resultTexts().summary, core::evaluate(run, h->theCase().setup).summary);
        const ui::ResultsChart& chart = h->window->chart();
        QCOMPARE(chart.chart()->axes(Qt::Vertical).at(0)->titleText(), yTitle);
        QCOMPARE(chart.chart()->axes(Qt::Horizontal).at(0)->titleText(), xTitle);
        QCOMPARE(chart.chart()->axes(Qt::Vertical).at(0)->titleFont().pointSize(), 12);
        QVERIFY(h->action("mnuPrint")->isEnabled());
    }

    void failedRunLeavesNoStaleVerdict() {
        h->openText(test::kFailingCase);
        h->showPage(2);
        QCOMPARE(h->txtPF(), u"FAIL"_s);
        // A ramp with no time cannot be computed.
        h->openText("[Setup]\r\nTemp Units = 1\r\nTime Units = 0\r\nDavar Model = 4\r\n"
                    "Tracer Type = 1\r\nEnvironment = 0\r\n[Data]\r\nS,25,0\r\nR,200,0\r\n",
                    u"bad.dew"_s);
        QCOMPARE(h->platform.messages.size(), 1);
        QCOMPARE(h->platform.messages[0].title, u"Model Error"_s);
        QCOMPARE(h->platform.messages[0].icon, platform::Icon::Critical);
        const auto error = std::get<core::RunError>(core::runModel(h->theCase()));
        const QString reason = test::qstr(core::describeError(error));
        QCOMPARE(h->platform.messages[0].text, reason);
        QCOMPARE(h->txtPF(), QString());
        QCOMPARE(pfColour(*h), QLineEdit().palette().color(QPalette::Base));
        QCOMPARE(h->window->resultTexts().summary, core::describeError(error));
        QVERIFY(h->window->chart().data().internal.empty());
        QVERIFY(h->window->chart().data().limit.empty());
    }

    void failedFirstRunDoesNotEnablePrint() {
        h->openText("[Setup]\r\nTemp Units = 1\r\nTime Units = 0\r\nDavar Model = 4\r\n"
                    "Tracer Type = 1\r\nEnvironment = 0\r\n[Data]\r\nS,25,0\r\nR,200,0\r\n");
        h->showPage(2);
        QCOMPARE(h->platform.messages.size(), 1);
        QCOMPARE(h->platform.messages[0].title, u"Model Error"_s);
        QVERIFY(!h->action("mnuPrint")->isEnabled());
        h->action("mnuCopyData")->trigger();
        QCOMPARE(h->platform.messages.last().title, u"Data Copy Error"_s);
    }

    void tracerOnlySwitchesTheProcessCurve() {
        h->openText(test::kPassingCase);
        h->showPage(2);
        ui::ResultsChart& chart = h->window->chart();
        QCOMPARE(chart.chart()->series().size(), 3);
        const QString summary = h->txtMaxResults();
        auto* check = h->get<QCheckBox>("chkTracerOnly");
        QCOMPARE(check->text(), u"Plot Tracer Only"_s);
        QTest::mouseClick(check, Qt::LeftButton);
        QCOMPARE(chart.chart()->series().size(), 2);
        QVERIFY(chart.data().process.empty());
        QVERIFY(!chart.data().internal.empty());
        QCOMPARE(chart.data().limit.size(), size_t(2));
        QCOMPARE(h->txtMaxResults(), summary);
        QTest::mouseClick(check, Qt::LeftButton);
        QCOMPARE(chart.chart()->series().size(), 3);
        QCOMPARE(chart.data().process.size(), chart.data().internal.size());
        QVERIFY(h->platform.messages.isEmpty());
    }

    void everyRunReturnsToAutomaticAxes() {
        h->openText(test::kPassingCase);
        h->showPage(2);
        ui::ResultsChart& chart = h->window->chart();
        const ui::AxisRange autoY = chart.range(core::Axis::Y);
        chart.setFixedRange(core::Axis::X, 0, 500, 5);
        chart.setFixedRange(core::Axis::Y, -10, 400, 41);
        QVERIFY(!chart.isAutoScale(core::Axis::X));
        QCOMPARE(chart.range(core::Axis::Y).high, 400.0);
        h->showPage(0);
        h->showPage(2);
        QVERIFY(chart.isAutoScale(core::Axis::X));
        QVERIFY(chart.isAutoScale(core::Axis::Y));
        QCOMPARE(chart.range(core::Axis::Y).high, autoY.high);
        // The automatic range holds every point and the limit line.
        QVERIFY(chart.range(core::Axis::Y).high >= 140.0);
        QVERIFY(chart.range(core::Axis::X).high >= chart.data().limit.back().x);
    }

    void tracerOnlyWithIncompleteSetupIsRefused() {
        h->showPage(2);
        QCOMPARE(h->platform.messages.size(), 1);
        QTest::mouseClick(h->get<QCheckBox>("chkTracerOnly"), Qt::LeftButton);
        QCOMPARE(h->platform.messages.size(), 2);
        QCOMPARE(h->platform.messages[1].title, u"Setup Error"_s);
        QCOMPARE(h->txtPF(), QString());
    }

    void axisPicking() {
        h->openText(test::kPassingCase);
        h->showPage(2);
        ui::ResultsChart& chart = h->window->chart();
        QSignalSpy picked(&chart, &ui::ResultsChart::axisPicked);
        const QRectF plot = chart.chart()->plotArea();
        auto at = [&](QPointF p) { return chart.mapFromScene(chart.chart()->mapToScene(p)); };
        QTest::mouseDClick(chart.viewport(), Qt::LeftButton, {},
                           at({plot.center().x(), plot.bottom() + 8}));
        QTest::mouseDClick(chart.viewport(), Qt::LeftButton, {},
                           at({plot.left() - 20, plot.center().y()}));
        QTest::mouseDClick(chart.viewport(), Qt::LeftButton, {}, at(plot.center()));
        QCOMPARE(picked.size(), 2);
        QCOMPARE(picked[0][0].toInt(), 0);
        QCOMPARE(picked[1][0].toInt(), 1);
    }

    void decimatedCurvesLookLikeTheFullOnes() {
        const core::ChartData data = longJaggedData(200000);
        ui::ResultsChart decimated;
        ui::ResultsChart full;
        for (ui::ResultsChart* c : {&decimated, &full}) {
            c->resize(900, 600);
            c->show();
            QVERIFY(QTest::qWaitForWindowExposed(c));
            c->plot(data);
            QCoreApplication::processEvents();
        }
        QLineSeries* internal = seriesNamed(decimated, u"Internal Temperature"_s);
        QVERIFY(internal);
        const int plotWidth = int(decimated.chart()->plotArea().width());
        // About two points per pixel column (up to a quarter more buckets are tolerated).
        QVERIFY(internal->count() >= 2 * plotWidth);
        QVERIFY(internal->count() <= 2 * (plotWidth + plotWidth / 4) + 2);
        QCOMPARE(internal->at(0), QPointF(data.internal.front().x, data.internal.front().y));
        QCOMPARE(internal->at(internal->count() - 1),
                 QPointF(data.internal.back().x, data.internal.back().y));

        auto fullPoints = [](const std::vector<core::ChartPoint>& pts) {
            QList<QPointF> out;
            for (const auto& p : pts)
                out.append({p.x, p.y});
            return out;
        };
        seriesNamed(full, u"Internal Temperature"_s)->replace(fullPoints(data.internal));
        seriesNamed(full, u"Process Temperature"_s)->replace(fullPoints(data.process));
        QCoreApplication::processEvents();

        const QImage a = render(decimated);
        const QImage b = render(full);
        QCOMPARE(a.size(), b.size());
        if (qEnvironmentVariableIsSet("KVH_DUMP_IMAGES")) {
            a.save(u"/tmp/decimated.png"_s);
            b.save(u"/tmp/full.png"_s);
        }
        // A pixel differs when nothing within one pixel of it in the other picture is close
        // in colour: decimation is exact to a pixel column, not to antialiasing shades.
        const qint64 differing = countDiffering(a, b) + countDiffering(b, a);
        const double share = double(differing) / (2.0 * a.width() * a.height());
        qInfo("pixels that differ clearly: %.3f %%", share * 100.0);
        QVERIFY2(share < 0.001, qPrintable(QString::number(share * 100.0) + u" %"_s));
    }
};

QTEST_MAIN(TestResults)
#include "tst_results.moc"
