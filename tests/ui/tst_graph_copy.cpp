// "Copy Graph": the refusal before results, and the chart as displayed going to the clipboard
// as pictures alone.

#include "fake_platform.h"
#include "print_fixtures.h"
#include "ui/graph_copy.h"
#include "ui/results_chart.h"

#include <QtTest>

using namespace kvh;

namespace {

/// Share of pixels that differ noticeably between two images of the same size.
double differingShare(const QImage& a, const QImage& b) {
    const QImage x = a.convertToFormat(QImage::Format_RGB32);
    const QImage y = b.convertToFormat(QImage::Format_RGB32);
    qint64 differing = 0;
    for (int row = 0; row < x.height(); ++row) {
        const auto* p = reinterpret_cast<const QRgb*>(x.constScanLine(row));
        const auto* q = reinterpret_cast<const QRgb*>(y.constScanLine(row));
        for (int col = 0; col < x.width(); ++col)
            if (std::abs(qGray(p[col]) - qGray(q[col])) > 48)
                ++differing;
    }
    return double(differing) / (double(x.width()) * x.height());
}

} // namespace

class tst_GraphCopy : public QObject {
    Q_OBJECT

private slots:
    void refusedBeforeResults() {
        ui::ResultsChart chart;
        test::FakePlatform fake;
        fake.clipboardText = QStringLiteral("the user's own text");

        ui::copyGraph(chart, fake, nullptr, false);

        QCOMPARE(fake.messages.size(), 1);
        QCOMPARE(fake.messages[0].text,
                 QStringLiteral("The Results and Graph have not yet been calculated or created."));
        QCOMPARE(fake.messages[0].title, QStringLiteral("Graph Copy Error"));
        QCOMPARE(fake.messages[0].buttons, platform::Buttons::Ok);
        QCOMPARE(fake.messages[0].icon, platform::Icon::Critical);
        QCOMPARE(fake.clipboardWrites, 0);
        QCOMPARE(fake.clipboardText, QStringLiteral("the user's own text"));
    }

    void copiesThePictureAlone_data() {
        QTest::addColumn<bool>("tracerOnly");
        QTest::addColumn<bool>("fixedRange");
        QTest::newRow("automatic axes") << false << false;
        QTest::newRow("tracer only") << true << false;
        QTest::newRow("fixed ranges") << false << true;
    }

    void copiesThePictureAlone() {
        QFETCH(bool, tracerOnly);
        QFETCH(bool, fixedRange);
        ui::ResultsChart chart;
        chart.resize(640, 400);
        chart.show();
        QVERIFY(QTest::qWaitForWindowExposed(&chart));
        chart.plot(test::makeChartData(900, tracerOnly));
        if (fixedRange) {
            chart.setFixedRange(core::Axis::X, 100, 600, 5);
            chart.setFixedRange(core::Axis::Y, 0, 500, 10);
        }
        test::FakePlatform fake;
        fake.clipboardText = QStringLiteral("the user's own text");

        ui::copyGraph(chart, fake, nullptr, true);

        QCOMPARE(fake.clipboardWrites, 1);
        QVERIFY(fake.clipboardText.isEmpty());
        QVERIFY(fake.messages.isEmpty());
        // The bitmap: twice the on-screen size, and the same picture as the screen shows.
        QCOMPARE(fake.clipboardBitmap.size(), chart.size() * 2);
        const QImage onScreen = chart.grab().toImage();
        const QImage copied = fake.clipboardBitmap.scaled(onScreen.size(), Qt::IgnoreAspectRatio,
                                                          Qt::SmoothTransformation);
        QVERIFY2(differingShare(onScreen, copied) < 0.02, "the copy differs from the screen");
        // The vector form: an SVG document carrying the titles as text.
        QVERIFY(fake.clipboardSvg.contains("<svg"));
        QVERIFY(fake.clipboardSvg.contains("Elapsed Minutes"));
        QVERIFY(fake.clipboardSvg.contains(QStringLiteral("Temp. \u00b0F").toUtf8()));
    }
};

QTEST_MAIN(tst_GraphCopy)
#include "tst_graph_copy.moc"
