// The results page: verdict and colour, a failed run, "Plot Tracer Only", picking an axis and
// fixing its range through two input boxes, Copy Graph's pictures, and decimated curves that
// look like the full ones.

#include "window_harness.h"

#include "core/model.h"
#include "ui/chart/axis_scale_editor.h"

#include <QAreaSeries>
#include <QCheckBox>
#include <QLineSeries>
#include <QPainter>
#include <QToolButton>
#include <QValueAxis>

#include <cmath>

using namespace kvh;
using namespace Qt::StringLiterals;
using test::WindowHarness;

namespace {

/// A ramp with no time: the run names the row and computes nothing.
const QByteArray kBrokenCase =
    "[Setup]\r\nTemp Units = 1\r\nTime Units = 0\r\nDavar Model = 4\r\n"
    "Tracer Type = 1\r\nEnvironment = 0\r\n[Data]\r\nS,25,0\r\nR,200,0\r\n";

QColor pfColour(const WindowHarness& h) {
    return h.get<QLineEdit>("txtPF")->palette().color(QPalette::Base);
}

QLineSeries* seriesNamed(ui::ResultsChart& chart, const QString& name) {
    for (QAbstractSeries* s : chart.chart()->series())
        if (s->name() == name)
            return qobject_cast<QLineSeries*>(s);
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

/// Share of pixels, either way, with no pixel of similar colour at or next to the same place in
/// the other picture: pictures that agree to a pixel's shift and to antialiasing shades give ~0.
double differingShare(const QImage& a, const QImage& b) {
    const auto close = [](QRgb c, QRgb e) {
        return qAbs(qRed(c) - qRed(e)) + qAbs(qGreen(c) - qGreen(e)) + qAbs(qBlue(c) - qBlue(e)) <=
               96;
    };
    qint64 count = 0;
    for (const auto& [p, q] : {std::pair{&a, &b}, std::pair{&b, &a}})
        for (int y = 0; y < p->height(); ++y)
            for (int x = 0; x < p->width(); ++x) {
                bool matched = false;
                for (int d = 0; d < 9 && !matched; ++d) {
                    const QPoint n(x + d % 3 - 1, y + d / 3 - 1);
                    matched = q->valid(n) && close(p->pixel(x, y), q->pixel(n));
                }
                count += matched ? 0 : 1;
            }
    return double(count) / (2.0 * a.width() * a.height());
}

} // namespace

class TestResults : public QObject {
    Q_OBJECT
    std::unique_ptr<WindowHarness> h;

    ui::ResultsChart& chart() const { return h->window->chart(); }
    int tickCount(core::Axis axis) const {
        const auto axes =
            chart().chart()->axes(axis == core::Axis::X ? Qt::Horizontal : Qt::Vertical);
        return qobject_cast<QValueAxis*>(axes.at(0))->tickCount();
    }

private slots:
    void init() { h = std::make_unique<WindowHarness>(); }
    void cleanup() { h.reset(); }

    void chartIsReadyWhenFirstShownOrUsed_data() {
        QTest::addColumn<QString>("use");
        QTest::newRow("shown") << u"show"_s;
        QTest::newRow("range asked") << u"range"_s;
        QTest::newRow("drawn for print") << u"render"_s;
        QTest::newRow("fixed range") << u"fixed"_s;
        QTest::newRow("reset, then shown") << u"reset"_s;
    }
    void chartIsReadyWhenFirstShownOrUsed() {
        // The axes and curves join the chart at its first use; whatever that use, the chart is
        // then as a reset leaves it.
        QFETCH(QString, use);
        ui::ResultsChart chart;
        chart.resize(800, 500);
        if (use == u"show"_s) {
            chart.show();
            QVERIFY(QTest::qWaitForWindowExposed(&chart));
        } else if (use == u"range"_s) {
            chart.range(core::Axis::X);
        } else if (use == u"render"_s) {
            QImage image(400, 300, QImage::Format_ARGB32);
            QPainter painter(&image);
            chart.renderTo(&painter, QRectF(image.rect()));
        } else if (use == u"fixed"_s) {
            chart.setFixedRange(core::Axis::Y, 0, 200, 4);
        } else {
            chart.reset();
            chart.show();
        }
        QCOMPARE(chart.chart()->series().size(), 5); // the after-end band and its curve too
        const auto axes = chart.chart()->axes();
        QCOMPARE(axes.size(), 2);
        QCOMPARE(chart.chart()->axes(Qt::Horizontal).value(0)->titleText(), u"Elapsed Minutes"_s);
        QCOMPARE(chart.chart()->axes(Qt::Vertical).value(0)->titleText(), u"Temperature °C"_s);
        QCOMPARE(chart.isAutoScale(core::Axis::Y), use != u"fixed"_s);
    }

    void verdicts_data() {
        QTest::addColumn<QByteArray>("dew");
        QTest::addColumn<QString>("verdict");
        QTest::addColumn<QColor>("colour");
        QTest::newRow("pass") << test::kPassingCase << u"PASS"_s << QColor(0, 255, 0);
        QTest::newRow("fail") << test::kFailingCase << u"FAIL"_s << QColor(255, 0, 0);
        // A PASS that asks for a second look is amber; the word stays.
        QTest::newRow("pass with the dwell warning")
            << test::kLatePeakCase << u"PASS"_s << QColor(255, 191, 0);
    }
    void verdicts() {
        QFETCH(QByteArray, dew);
        QFETCH(QString, verdict);
        QFETCH(QColor, colour);
        h->showResults(dew);
        QVERIFY(h->platform.messages.isEmpty());
        QCOMPARE(h->txtPF(), verdict);
        QCOMPARE(pfColour(*h), colour);
        const auto run = std::get<core::RunResult>(core::runModel(h->theCase()));
        QCOMPARE(h->window->resultTexts().summary, core::evaluate(run, h->theCase().setup).summary);
        QAbstractAxis* y = chart().chart()->axes(Qt::Vertical).at(0);
        QCOMPARE(y->titleText(), u"Temp. °C"_s);
        QCOMPARE(y->titleFont().pointSize(), 12);
        QVERIFY(h->action("mnuPrint")->isEnabled());
    }

    void chartShowsTheWholeRunAndTheTimeAfterIt() {
        // What the chart's data hold (hours included) is the core's; here, that the chart
        // draws all of it: both curves, the stretch after the end over its band, the limit.
        h->showResults(test::kLatePeakCase);
        const auto run = std::get<core::RunResult>(core::runModel(h->theCase()));
        const core::PeakAfterEnd peak = core::peakAfterEnd(run, h->theCase().setup);
        QVERIFY(peak.minutesToPeak > 20); // the inside peaks after the 20 stored minutes
        const auto e = static_cast<size_t>(run.totalMinutes + 60);
        const double end = static_cast<double>(run.totalMinutes);
        const double last = static_cast<double>(run.totalMinutes + peak.minutesToPeak);
        // The profile from its start (x = 0) to its end, both curves.
        for (const QString& name : {u"Internal Temperature"_s, u"Process Temperature"_s}) {
            const QList<QPointF> points = seriesNamed(chart(), name)->points();
            QCOMPARE(points.first().x(), 0.0);
            QCOMPARE(points.last().x(), end);
        }
        const QList<QPointF> internal = seriesNamed(chart(), u"Internal Temperature"_s)->points();
        QCOMPARE(internal.first().y(), double(run.internal[60]));
        QCOMPARE(internal.last().y(), double(run.internal[e]));
        // Then the inside after the end, on to its peak, over the shaded band.
        const QList<QPointF> after =
            seriesNamed(chart(), u"Internal Temperature after the end"_s)->points();
        QCOMPARE(after.first(), internal.last());
        QCOMPARE(after.last(), QPointF(last, double(peak.peak)));
        QAreaSeries* band = nullptr;
        for (QAbstractSeries* series : chart().chart()->series())
            if (series->name() == u"After the end"_s)
                band = qobject_cast<QAreaSeries*>(series);
        QVERIFY(band);
        auto* y = qobject_cast<QValueAxis*>(chart().chart()->axes(Qt::Vertical).constFirst());
        QCOMPARE(band->upperSeries()->points(),
                 QList<QPointF>({QPointF(end, y->max()), QPointF(last, y->max())}));
        QCOMPARE(band->lowerSeries()->points().first(), QPointF(end, y->min()));
        // The limit line spans it all, and so does the time axis.
        QCOMPARE(seriesNamed(chart(), u"Limit"_s)->points().last().x(), last);
        QVERIFY(chart().range(core::Axis::X).high >= last);
        // The band follows a range the user fixes.
        chart().setFixedRange(core::Axis::Y, 0, 500, 10);
        QCOMPARE(band->upperSeries()->at(0).y(), 500.0);
    }

    void modelErrorLeavesNoStaleVerdict() {
        h->openText(kBrokenCase);
        h->showPage(2);
        QCOMPARE(h->platform.messages.size(), 1);
        QVERIFY(!h->action("mnuPrint")->isEnabled()); // a failed first run shows no results
        h->openText(test::kFailingCase, u"hot.dew"_s);
        QCOMPARE(h->txtPF(), u"FAIL"_s);
        h->openText(kBrokenCase); // Open on the results page runs again

        QCOMPARE(h->platform.messages.size(), 2);
        const auto error = std::get<core::RunError>(core::runModel(h->theCase()));
        const QString reason = QString::fromStdString(core::describeError(error));
        for (const test::ShownMessage& m : h->platform.messages) {
            QCOMPARE(m.title, u"Model Error"_s);
            QCOMPARE(m.icon, platform::Icon::Critical);
            QCOMPARE(m.text, reason);
        }
        QCOMPARE(h->txtPF(), QString());
        QCOMPARE(pfColour(*h), QLineEdit().palette().color(QPalette::Base));
        QCOMPARE(h->txtMaxResults(), reason);
        QVERIFY(chart().data().internal.empty() && chart().data().limit.empty());
        // The results of the run before are gone: the reports refuse as before any run.
        QVERIFY(!h->action("mnuPrint")->isEnabled());
        QVERIFY(!h->action("mnuPrintPreview")->isEnabled());
        h->action("mnuCopyData")->trigger();
        QCOMPARE(h->platform.messages.last().title, u"Data Copy Error"_s);
        QCOMPARE(h->platform.clipboardWrites, 0);
    }

    void doubtfulCellsAreNamed_data() {
        QTest::addColumn<QByteArray>("line");       ///< the ramp line of the passing case as opened
        QTest::addColumn<QString>("typed");         ///< then typed into its temperature
        QTest::addColumn<QString>("openNotice");    ///< a line of the notice after Open
        QTest::addColumn<QString>("resultsNotice"); ///< a line under the verdict
        QTest::newRow("in the file")
            << QByteArray("R,6O,30") << QString() << u"Line 9: \"6O\" is read as 6"_s << QString();
        QTest::newRow("typed") << QByteArray("R,60,30") << u"6O"_s << QString()
                               << u"Row 2, Temp.: \"6O\" is read as 6"_s;
        QTest::newRow("clean") << QByteArray("R,60,30") << QString() << QString() << QString();
    }
    void doubtfulCellsAreNamed() {
        QFETCH(QByteArray, line);
        QFETCH(QString, typed);
        QFETCH(QString, openNotice);
        QFETCH(QString, resultsNotice);
        QByteArray dew = test::kPassingCase;
        h->openText(dew.replace("R,60,30", line));
        if (!typed.isEmpty()) {
            h->showPage(1);
            h->typeInto(2, 2, typed);
        }
        h->showPage(2);
        QVERIFY(h->platform.messages.isEmpty()); // nothing modal
        auto* bar = h->get<QWidget>("fraNotice");
        auto* barText = h->get<QLabel>("lblNotice");
        auto* underVerdict = h->get<QLabel>("lblDoubtful");
        QCOMPARE(bar->isVisible(), !openNotice.isEmpty());
        QCOMPARE(underVerdict->isVisible(), !resultsNotice.isEmpty());
        QVERIFY2(openNotice.isEmpty() || barText->text().split(u'\n').contains(openNotice),
                 qPrintable(barText->text()));
        QVERIFY2(resultsNotice.isEmpty() ||
                     underVerdict->text().split(u'\n').contains(resultsNotice),
                 qPrintable(underVerdict->text()));
        QVERIFY(!bar->accessibleName().isEmpty() && !underVerdict->accessibleName().isEmpty());
        // The verdict and the report stay as they are.
        QCOMPARE(h->txtPF(), u"PASS"_s);
        h->action("mnuCopyData")->trigger();
        QVERIFY(!h->platform.clipboardText.contains(u"read as"_s));
        if (openNotice.isEmpty())
            return;
        QTest::mouseClick(h->get<QToolButton>("cmdDismissNotice"), Qt::LeftButton);
        QVERIFY(bar->isHidden());
    }

    void tracerOnlySwitchesTheProcessCurve() {
        h->showResults();
        QCOMPARE(chart().chart()->series().size(), 5);
        const QString summary = h->txtMaxResults();
        auto* check = h->get<QCheckBox>("chkTracerOnly");
        QCOMPARE(test::shownText(check->text()), u"Plot Tracer Only"_s);
        QTest::mouseClick(check, Qt::LeftButton);
        QCOMPARE(chart().chart()->series().size(), 4);
        QVERIFY(chart().data().process.empty() && !chart().data().internal.empty());
        QCOMPARE(h->txtMaxResults(), summary);
        QTest::mouseClick(check, Qt::LeftButton);
        QCOMPARE(chart().chart()->series().size(), 5);
        QVERIFY(h->platform.messages.isEmpty());
    }

    void pickingAnAxis_data() {
        QTest::addColumn<QString>("where");
        QTest::addColumn<QStringList>("answers");
        QTest::addColumn<int>("boxesShown");
        QTest::addColumn<int>("divisions"); ///< 0: the axis stays as it was
        QTest::newRow("x, 0 to 45") << u"x"_s << QStringList{u"0"_s, u"45"_s} << 2 << 9;
        QTest::newRow("y, blanks around")
            << u"y"_s << QStringList{u" 20 "_s, u"  120"_s} << 2 << 10;
        QTest::newRow("inside the plot") << u"plot"_s << QStringList{u"0"_s, u"45"_s} << 0 << 0;
        QTest::newRow("first box cancelled") << u"x"_s << QStringList{} << 1 << 0;
        QTest::newRow("second box cancelled") << u"y"_s << QStringList{u"10"_s} << 2 << 0;
        QTest::newRow("low not a number") << u"y"_s << QStringList{u"abc"_s} << 1 << 0;
        QTest::newRow("y tenth beyond 16 bits")
            << u"y"_s << QStringList{u"0"_s, u"400000"_s} << 2 << 0;
    }
    void pickingAnAxis() {
        QFETCH(QString, where);
        QFETCH(QStringList, answers);
        QFETCH(int, boxesShown);
        QFETCH(int, divisions);
        h->showResults();
        const core::Axis axis = where == u"y"_s ? core::Axis::Y : core::Axis::X;
        const core::Axis other = axis == core::Axis::X ? core::Axis::Y : core::Axis::X;
        const ui::AxisRange before = chart().range(axis);
        const int ticksBefore = tickCount(axis);
        const QRectF plot = chart().chart()->plotArea();
        const QPointF at = where == u"x"_s   ? QPointF(plot.center().x(), plot.bottom() + 8)
                           : where == u"y"_s ? QPointF(plot.left() - 20, plot.center().y())
                                             : plot.center();
        h->platform.inputAnswers.append(answers);
        QTest::mouseDClick(chart().viewport(), Qt::LeftButton, {},
                           chart().mapFromScene(chart().chart()->mapToScene(at)));

        QCOMPARE(h->platform.inputs.size(), boxesShown);
        const QString name = axis == core::Axis::X ? u"X"_s : u"Y"_s;
        if (boxesShown > 0) {
            QCOMPARE(h->platform.inputs[0].title, name + u" Axis Scale"_s);
            QCOMPARE(h->platform.inputs[0].prompt, u"Enter %1 axis Low Value"_s.arg(name));
            QCOMPARE(h->platform.inputs[0].defaultText, ui::axisValueText(before.low));
        }
        if (boxesShown == 2)
            QCOMPARE(h->platform.inputs[1].prompt, u"Enter %1 axis High Value"_s.arg(name));
        QVERIFY(h->platform.messages.isEmpty());
        QVERIFY(chart().isAutoScale(other));
        QCOMPARE(chart().isAutoScale(axis), divisions == 0);
        if (divisions == 0) {
            QCOMPARE(chart().range(axis).high, before.high);
            QCOMPARE(tickCount(axis), ticksBefore);
        } else {
            QCOMPARE(chart().range(axis).low, double(answers[0].trimmed().toFloat()));
            QCOMPARE(chart().range(axis).high, double(answers[1].trimmed().toFloat()));
            QCOMPARE(tickCount(axis), divisions + 1);
        }
        h->showPage(0);
        h->showPage(2); // a new run
        QVERIFY(chart().isAutoScale(core::Axis::X) && chart().isAutoScale(core::Axis::Y));
        QVERIFY(chart().range(core::Axis::Y).high >= 140.0); // the limit line is in view
    }

    void axisValueText_data() {
        QTest::addColumn<double>("value");
        QTest::addColumn<QString>("text");
        QTest::newRow("negative zero") << -0.0 << u"0"_s;
        QTest::newRow("negative, whole") << -40.0 << u"-40"_s;
        QTest::newRow("point inside the digits") << 23.5 << u"23.5"_s;
        QTest::newRow("one minute in hours, single precision") << 1.0 / 60.0 << u"0.016666668"_s;
        QTest::newRow("large, no exponent") << 1e20 << u"100000000000000000000"_s;
        QTest::newRow("small, no exponent") << 1.5e-7 << u"0.00000015"_s;
        QTest::newRow("beyond single precision") << 1e300 << u"1"_s + QString(300, u'0');
    }
    void axisValueText() {
        QFETCH(double, value);
        QFETCH(QString, text);
        QCOMPARE(ui::axisValueText(value), text);
    }

    void copyGraphPutsThePicturesAlone() {
        h->showResults();
        chart().setFixedRange(core::Axis::X, 10, 60, 5); // the picture keeps what is shown
        chart().setFixedRange(core::Axis::Y, 0, 100, 10);
        h->platform.clipboardText = u"the user's own text"_s;
        h->action("mnuCopyGraph")->trigger();
        QVERIFY(h->platform.messages.isEmpty());
        QCOMPARE(h->platform.clipboardWrites, 1);
        QVERIFY(h->platform.clipboardText.isEmpty());
        // The bitmap: twice the on-screen size, and the picture the screen shows.
        const QImage copied = h->platform.clipboardBitmap;
        QCOMPARE(copied.size(), chart().size() * 2);
        const QImage onScreen = chart().grab().toImage();
        const double share =
            differingShare(onScreen, copied.scaled(onScreen.size(), Qt::IgnoreAspectRatio,
                                                   Qt::SmoothTransformation));
        QVERIFY2(share < 0.01, qPrintable(QString::number(share * 100.0) + u" % differ"_s));
        // The vector form: an SVG document carrying the titles as text.
        QVERIFY(h->platform.clipboardSvg.contains("<svg"));
        QVERIFY(h->platform.clipboardSvg.contains("Elapsed Minutes"));
        QVERIFY(h->platform.clipboardSvg.contains(u"Temp. °C"_s.toUtf8()));
    }

    void denseCurvesDrawWithoutSmoothing_data() {
        QTest::addColumn<int>("period");
        QTest::addColumn<bool>("smoothed");
        // A square wave of 4,000 minutes: turns every `period` minutes.
        QTest::newRow("a turn every minute") << 1 << false;
        QTest::newRow("a turn every 3 minutes") << 3 << false;
        QTest::newRow("a turn every 50 minutes") << 50 << true;
    }

    void denseCurvesDrawWithoutSmoothing() {
        QFETCH(int, period);
        QFETCH(bool, smoothed);
        core::ChartData data;
        data.xTitle = "Elapsed Minutes";
        data.yTitle = "Temp. \u00b0C";
        for (int i = 1; i <= 4000; ++i)
            data.internal.push_back({double(i), (i / period) % 2 ? 180.0 : 25.0 + i * 0.01});
        data.limit = {{0.0, 140.0}, {4000.0, 140.0}};
        ui::ResultsChart chart;
        chart.resize(900, 600);
        chart.show();
        QVERIFY(QTest::qWaitForWindowExposed(&chart));
        chart.plot(data);
        QCoreApplication::processEvents();
        QCOMPARE(chart.renderHints().testFlag(QPainter::Antialiasing), smoothed);
        // A dense curve is drawn as the band it sweeps: the series keeps its points and its
        // colour but draws no stroke, and the band fills the middle of the swing.
        QLineSeries* internal = seriesNamed(chart, u"Internal Temperature"_s);
        QVERIFY(internal && internal->count() > 0);
        QCOMPARE(internal->pen().style(), smoothed ? Qt::SolidLine : Qt::NoPen);
        QCOMPARE(internal->pen().color(), QColor(200, 0, 0));
        if (!smoothed) {
            const QPointF middle = chart.chart()->mapToPosition(QPointF(2000, 100), internal);
            const QImage image = render(chart);
            const QPoint at = chart.chart()->mapToScene(middle).toPoint();
            QCOMPARE(image.pixelColor(at), QColor(200, 0, 0));
        }
        // A smooth curve after it is a line again.
        data.internal = {{1, 25}, {4000, 180}};
        chart.plot(data);
        QCOMPARE(internal->pen().style(), Qt::SolidLine);
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
        // Decimation is exact to a pixel column, not to antialiasing shades.
        const double share = differingShare(a, b);
        QVERIFY2(share < 0.001, qPrintable(QString::number(share * 100.0) + u" %"_s));
    }
};

QTEST_MAIN(TestResults)
#include "tst_results.moc"
