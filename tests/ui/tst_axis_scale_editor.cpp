// Fixing an axis range through the two input boxes: the boxes' texts and defaults, the range
// and its divisions reaching the chart's axis, answers that must leave the axis alone, and the
// defaults' number text.

#include "fake_platform.h"
#include "ui/axis_scale_editor.h"
#include "ui/results_chart.h"

#include <QtCharts/QChart>
#include <QtCharts/QValueAxis>
#include <QtTest>

using namespace kvh;
using namespace Qt::StringLiterals;

namespace {

core::Axis axisOf(int axisId) {
    return axisId == 1 ? core::Axis::Y : core::Axis::X;
}

int tickCount(ui::ResultsChart& chart, core::Axis axis) {
    const auto axes = chart.chart()->axes(axis == core::Axis::X ? Qt::Horizontal : Qt::Vertical);
    auto* valueAxis = axes.isEmpty() ? nullptr : qobject_cast<QValueAxis*>(axes.first());
    return valueAxis != nullptr ? valueAxis->tickCount() : -1;
}

} // namespace

class tst_AxisScaleEditor : public QObject {
    Q_OBJECT
    std::unique_ptr<ui::ResultsChart> m_chart;

private slots:
    void init() {
        m_chart = std::make_unique<ui::ResultsChart>();
        m_chart->resize(640, 400);
        core::ChartData run;
        for (int i = 1; i < 300; ++i)
            run.internal.push_back({double(i), 70.0 + i / 5.0});
        run.limit = {{0.0, 302.0}, {299.0, 302.0}};
        m_chart->plot(run);
    }
    void cleanup() { m_chart.reset(); }

    void editing_data() {
        QTest::addColumn<int>("axisId");
        QTest::addColumn<QStringList>("answers");
        QTest::addColumn<int>("boxesShown");
        QTest::addColumn<int>("divisions"); ///< 0: the axis stays as it was
        QTest::newRow("x 0 to 45") << 0 << QStringList{u"0"_s, u"45"_s} << 2 << 9;
        QTest::newRow("y, blanks around") << 1 << QStringList{u" 20 "_s, u"  120"_s} << 2 << 10;
        QTest::newRow("other identifiers edit x") << 7 << QStringList{u"0"_s, u"11"_s} << 2 << 4;
        QTest::newRow("first box cancelled") << 0 << QStringList{} << 1 << 0;
        QTest::newRow("second box cancelled") << 1 << QStringList{u"10"_s} << 2 << 0;
        QTest::newRow("low not a number") << 1 << QStringList{u"abc"_s} << 1 << 0;
        QTest::newRow("y tenth beyond 16 bits") << 1 << QStringList{u"0"_s, u"400000"_s} << 2 << 0;
    }
    void editing() {
        QFETCH(int, axisId);
        QFETCH(QStringList, answers);
        QFETCH(int, boxesShown);
        QFETCH(int, divisions);
        const core::Axis axis = axisOf(axisId);
        const core::Axis other = axis == core::Axis::X ? core::Axis::Y : core::Axis::X;
        const ui::AxisRange before = m_chart->range(axis);
        const int ticksBefore = tickCount(*m_chart, axis);
        test::FakePlatform fake;
        fake.inputAnswers.append(answers);

        QCOMPARE(ui::editAxisScale(*m_chart, fake, nullptr, axisId), divisions > 0);

        QCOMPARE(fake.inputs.size(), boxesShown);
        const QString name = axis == core::Axis::X ? u"X"_s : u"Y"_s;
        QCOMPARE(fake.inputs[0].title, name + u" Axis Scale"_s);
        QCOMPARE(fake.inputs[0].prompt, u"Enter %1 axis Low Value"_s.arg(name));
        QCOMPARE(fake.inputs[0].defaultText, ui::axisValueText(before.low)); // the range in force
        if (boxesShown == 2)
            QCOMPARE(fake.inputs[1].prompt, u"Enter %1 axis High Value"_s.arg(name));
        QVERIFY(fake.messages.isEmpty());
        QVERIFY(m_chart->isAutoScale(other));
        if (divisions == 0) {
            QVERIFY(m_chart->isAutoScale(axis));
            QCOMPARE(m_chart->range(axis).high, before.high);
            QCOMPARE(tickCount(*m_chart, axis), ticksBefore);
            return;
        }
        QVERIFY(!m_chart->isAutoScale(axis));
        QCOMPARE(m_chart->range(axis).low, double(answers[0].trimmed().toFloat()));
        QCOMPARE(m_chart->range(axis).high, double(answers[1].trimmed().toFloat()));
        QCOMPARE(tickCount(*m_chart, axis), divisions + 1);
    }

    void valueText_data() {
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
    void valueText() {
        QFETCH(double, value);
        QFETCH(QString, text);
        QCOMPARE(ui::axisValueText(value), text);
    }
};

QTEST_MAIN(tst_AxisScaleEditor)
#include "tst_axis_scale_editor.moc"
