// Fixing an axis range through the two input boxes: the division rule seen on the chart's
// axis, the boxes' texts and defaults, and answers that must leave the axis alone.

#include "fake_platform.h"
#include "print_fixtures.h"
#include "ui/axis_scale_editor.h"
#include "ui/results_chart.h"

#include <QtCharts/QChart>
#include <QtCharts/QValueAxis>
#include <QtTest>

using namespace kvh;

namespace {

/// Answers every input box with its default text, as a user pressing Enter would.
class AcceptDefaults : public test::FakePlatform {
public:
    QString inputBox(QWidget* parent, const QString& prompt, const QString& title,
                     const QString& defaultText) override {
        FakePlatform::inputBox(parent, prompt, title, defaultText);
        return defaultText;
    }
};

core::Axis axisOf(int axisId) {
    return axisId == 1 ? core::Axis::Y : core::Axis::X;
}

int tickCount(ui::ResultsChart& chart, core::Axis axis) {
    const auto orientation = axis == core::Axis::X ? Qt::Horizontal : Qt::Vertical;
    const auto axes = chart.chart()->axes(orientation);
    auto* valueAxis = axes.isEmpty() ? nullptr : qobject_cast<QValueAxis*>(axes.first());
    return valueAxis != nullptr ? valueAxis->tickCount() : -1;
}

} // namespace

class tst_AxisScaleEditor : public QObject {
    Q_OBJECT

    ui::ResultsChart* m_chart = nullptr;

private slots:
    void init() {
        m_chart = new ui::ResultsChart;
        m_chart->resize(640, 400);
        m_chart->plot(test::makeChartData(300));
    }
    void cleanup() { delete m_chart; }

    void divisionTable_data() {
        QTest::addColumn<int>("axisId");
        QTest::addColumn<QString>("low");
        QTest::addColumn<QString>("high");
        QTest::addColumn<int>("divisions");
        const struct {
            const char* range;
            int x;
            int y;
        } table[] = {{"100", 10, 10}, {"95", 5, 9},   {"90", 10, 9},   {"49", 7, 8},
                     {"45", 9, 8},    {"11", 4, 8},   {"5", 5, 8},     {"0.5", 4, 8},
                     {"150", 10, 7},  {"260", 10, 6}, {"1000", 10, 12}};
        for (const auto& row : table) {
            const QString high = QString::fromLatin1(row.range);
            QTest::addRow("x range %s", row.range) << 0 << QStringLiteral("0") << high << row.x;
            QTest::addRow("y range %s", row.range) << 1 << QStringLiteral("0") << high << row.y;
        }
        QTest::newRow("x 0 to 100") << 0 << QStringLiteral("0") << QStringLiteral("100") << 10;
        QTest::newRow("x 0 to 11") << 0 << QStringLiteral("0") << QStringLiteral("11") << 4;
        QTest::newRow("y 20 to 120") << 1 << QStringLiteral("20") << QStringLiteral("120") << 10;
        QTest::newRow("y 20 to 65") << 1 << QStringLiteral("20") << QStringLiteral("65") << 8;
        QTest::newRow("y blanks around answers")
            << 1 << QStringLiteral(" 20 ") << QStringLiteral("  120") << 10;
        QTest::newRow("other identifiers edit x")
            << 7 << QStringLiteral("0") << QStringLiteral("45") << 9;
    }

    void divisionTable() {
        QFETCH(int, axisId);
        QFETCH(QString, low);
        QFETCH(QString, high);
        QFETCH(int, divisions);
        const core::Axis axis = axisOf(axisId);
        const core::Axis other = axis == core::Axis::X ? core::Axis::Y : core::Axis::X;
        const QString name = axis == core::Axis::X ? QStringLiteral("X") : QStringLiteral("Y");
        test::FakePlatform fake;
        fake.inputAnswers << low << high;

        QVERIFY(ui::editAxisScale(*m_chart, fake, nullptr, axisId));

        QCOMPARE(fake.inputs.size(), 2);
        QCOMPARE(fake.inputs[0].title, name + QStringLiteral(" Axis Scale"));
        QCOMPARE(fake.inputs[1].title, name + QStringLiteral(" Axis Scale"));
        QCOMPARE(fake.inputs[0].prompt, QStringLiteral("Enter %1 axis Low Value").arg(name));
        QCOMPARE(fake.inputs[1].prompt, QStringLiteral("Enter %1 axis High Value").arg(name));
        QCOMPARE(m_chart->range(axis).low, double(low.trimmed().toFloat()));
        QCOMPARE(m_chart->range(axis).high, double(high.trimmed().toFloat()));
        QVERIFY(!m_chart->isAutoScale(axis));
        QVERIFY(m_chart->isAutoScale(other));
        QCOMPARE(tickCount(*m_chart, axis), divisions + 1);
    }

    void answersThatChangeNothing_data() {
        QTest::addColumn<int>("axisId");
        QTest::addColumn<QStringList>("answers");
        QTest::addColumn<int>("boxesShown");
        QTest::newRow("first box cancelled") << 0 << QStringList{} << 1;
        QTest::newRow("second box cancelled after a valid low")
            << 1 << QStringList{QStringLiteral("10")} << 2;
        QTest::newRow("low not a number") << 1 << QStringList{QStringLiteral("abc")} << 1;
        QTest::newRow("high with trailing letters")
            << 0 << QStringList{QStringLiteral("10"), QStringLiteral("12x")} << 2;
        QTest::newRow("decimal comma") << 0 << QStringList{QStringLiteral("0,5")} << 1;
        QTest::newRow("only blanks") << 1 << QStringList{QStringLiteral("   ")} << 1;
        QTest::newRow("beyond single precision")
            << 0 << QStringList{QStringLiteral("0"), QStringLiteral("1e39")} << 2;
        QTest::newRow("y tenth above 32767")
            << 1 << QStringList{QStringLiteral("0"), QStringLiteral("400000")} << 2;
        QTest::newRow("y tenth below -32768")
            << 1 << QStringList{QStringLiteral("400000"), QStringLiteral("0")} << 2;
    }

    void answersThatChangeNothing() {
        QFETCH(int, axisId);
        QFETCH(QStringList, answers);
        QFETCH(int, boxesShown);
        const core::Axis axis = axisOf(axisId);
        const ui::AxisRange before = m_chart->range(axis);
        const int ticksBefore = tickCount(*m_chart, axis);
        test::FakePlatform fake;
        for (const QString& a : answers)
            fake.inputAnswers.enqueue(a);

        QVERIFY(!ui::editAxisScale(*m_chart, fake, nullptr, axisId));

        QCOMPARE(fake.inputs.size(), boxesShown);
        QVERIFY(m_chart->isAutoScale(core::Axis::X));
        QVERIFY(m_chart->isAutoScale(core::Axis::Y));
        QCOMPARE(m_chart->range(axis).low, before.low);
        QCOMPARE(m_chart->range(axis).high, before.high);
        QCOMPARE(tickCount(*m_chart, axis), ticksBefore);
        QVERIFY(fake.messages.isEmpty());
    }

    void defaultsOfferTheRangeInForce() {
        test::FakePlatform fake;
        fake.inputAnswers << QStringLiteral("0.1") << QStringLiteral("23.5");
        QVERIFY(ui::editAxisScale(*m_chart, fake, nullptr, 0));

        QVERIFY(!ui::editAxisScale(*m_chart, fake, nullptr, 0)); // cancelled at once
        QCOMPARE(fake.inputs.size(), 3);
        QCOMPARE(fake.inputs[2].defaultText, QStringLiteral("0.1"));
        QCOMPARE(m_chart->range(core::Axis::X).high, double(23.5f));
    }

    void acceptingTheDefaultsFixesTheAutomaticRange_data() {
        QTest::addColumn<int>("axisId");
        QTest::newRow("x") << 0;
        QTest::newRow("y") << 1;
    }

    void acceptingTheDefaultsFixesTheAutomaticRange() {
        QFETCH(int, axisId);
        const core::Axis axis = axisOf(axisId);
        const ui::AxisRange automatic = m_chart->range(axis);
        AcceptDefaults platform;

        QVERIFY(ui::editAxisScale(*m_chart, platform, nullptr, axisId));

        QVERIFY(!m_chart->isAutoScale(axis));
        QCOMPARE(m_chart->range(axis).low, double(float(automatic.low)));
        QCOMPARE(m_chart->range(axis).high, double(float(automatic.high)));
    }

    void valueText_data() {
        QTest::addColumn<double>("value");
        QTest::addColumn<QString>("text");
        QTest::newRow("zero") << 0.0 << QStringLiteral("0");
        QTest::newRow("negative zero") << -0.0 << QStringLiteral("0");
        QTest::newRow("whole") << 1440.0 << QStringLiteral("1440");
        QTest::newRow("negative") << -40.0 << QStringLiteral("-40");
        QTest::newRow("tenth, single precision") << 0.1 << QStringLiteral("0.1");
        QTest::newRow("one minute in hours") << 1.0 / 60.0 << QStringLiteral("0.016666668");
        QTest::newRow("large, no exponent") << 1e20 << QStringLiteral("100000000000000000000");
        QTest::newRow("small, no exponent") << 1.5e-7 << QStringLiteral("0.00000015");
        QTest::newRow("beyond single precision")
            << 1e300 << QStringLiteral("1") + QString(300, QLatin1Char('0'));
    }

    void valueText() {
        QFETCH(double, value);
        QFETCH(QString, text);
        QCOMPARE(ui::axisValueText(value), text);
    }
};

QTEST_MAIN(tst_AxisScaleEditor)
#include "tst_axis_scale_editor.moc"
