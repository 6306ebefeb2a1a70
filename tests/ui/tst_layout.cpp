// The window on small and large screens and in a dark palette: its minimum fits a 1280x800
// screen at 150 % (fonts or scaling) with nothing overlapping, a large window gives its room to
// the grid and the chart, and the chart follows the palette (but prints light).

#include "window_harness.h"

#include "ui/chart/results_chart.h"
#include "ui/window/app_style.h"
#include "ui/window/main_window.h"
#include "ui/window/window_settings.h"

#include <QAbstractScrollArea>
#include <QAction>
#include <QApplication>
#include <QGroupBox>
#include <QLineEdit>
#include <QLineSeries>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QStyle>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QValueAxis>

using namespace kvh;
using namespace Qt::StringLiterals;

namespace {

/// The application font scaled while it lives; made before a window, the window starts with it.
struct ScaledFont {
    QFont saved = QApplication::font();
    explicit ScaledFont(double scale) {
        QFont f = saved;
        f.setPointSizeF(saved.pointSizeF() * scale);
        QApplication::setFont(f);
    }
    ~ScaledFont() { QApplication::setFont(saved); }
};

/// The window with the application font scaled, showing a case.
struct ScaledWindow : ScaledFont, test::WindowHarness {
    explicit ScaledWindow(double fontScale) : ScaledFont(fontScale) {
        openText(test::kLatePeakCase);
    }
};

/// The controls of a page that must never overlap one another: frames, buttons, grid, boxes.
QList<QWidget*> controls(QWidget* page) {
    QList<QWidget*> out;
    for (QWidget* w : page->findChildren<QWidget*>()) {
        const bool control = qobject_cast<QGroupBox*>(w) || qobject_cast<QAbstractButton*>(w) ||
                             qobject_cast<QAbstractScrollArea*>(w) || qobject_cast<QLineEdit*>(w);
        if (control && w->isVisible() && !w->objectName().isEmpty() &&
            w->objectName() != u"txtFGIn"_s)
            out << w;
    }
    return out;
}

QRect inWindow(QWidget* w) {
    return QRect(w->mapTo(w->window(), QPoint(0, 0)), w->size());
}

} // namespace

class TestLayout : public QObject {
    Q_OBJECT

private slots:
    void minimumFitsAndNothingOverlaps_data() {
        QTest::addColumn<double>("fontScale");
        QTest::addColumn<QSize>("screen");
        // 150 % scaling makes a 1280x800 screen 853x533 device-independent pixels.
        QTest::newRow("150 % scaling on 1280x800") << 1.0 << QSize(853, 533);
        QTest::newRow("150 % fonts on 1280x800") << 1.5 << QSize(1280, 800);
    }
    void minimumFitsAndNothingOverlaps() {
        QFETCH(double, fontScale);
        QFETCH(QSize, screen);
        ScaledWindow s(fontScale);
        // Every page has been visited (the compare page is built on its first visit).
        for (int page = 3; page >= 0; --page)
            s.showPage(page);
        const QSize minimum = s.window->minimumSizeHint();
        const QRect fitted = ui::WindowSettings::fitted(QRect(QPoint(0, 0), QSize(2000, 2000)),
                                                        QRect(QPoint(0, 0), screen), minimum);
        QVERIFY2(QRect(QPoint(0, 0), screen).contains(fitted),
                 qPrintable(u"minimum %1x%2"_s.arg(minimum.width()).arg(minimum.height())));
        s.window->resize(minimum);
        for (int page = 0; page < 4; ++page) {
            s.showPage(page);
            const QList<QWidget*> shown = controls(s.tab()->widget(page));
            QVERIFY(shown.size() >= 2);
            for (QWidget* a : shown) {
                QVERIFY2(s.window->rect().contains(inWindow(a)), qPrintable(a->objectName()));
                for (QWidget* b : shown)
                    if (a != b && !a->isAncestorOf(b) && !b->isAncestorOf(a))
                        QVERIFY2(!inWindow(a).intersects(inWindow(b)),
                                 qPrintable(a->objectName() + u" / "_s + b->objectName()));
            }
        }
        // The results keep every line in view and the axis titles whole.
        auto* summary = s.window->findChild<QPlainTextEdit*>(u"txtMaxResults"_s);
        QVERIFY(!summary->verticalScrollBar()->isVisible());
        QVERIFY(!summary->horizontalScrollBar()->isVisible());
        QVERIFY(s.window->chart().height() >= s.window->chart().minimumHeight());
    }

    void largeWindowGivesTheRoomToGridAndChart_data() {
        QTest::addColumn<int>("page");
        QTest::addColumn<QString>("name");
        QTest::newRow("grid") << 1 << u"fg1"_s;
        QTest::newRow("chart") << 2 << u"Graf"_s;
    }
    void largeWindowGivesTheRoomToGridAndChart() {
        QFETCH(int, page);
        QFETCH(QString, name);
        ScaledWindow s(1.0);
        s.window->resize(1600, 1000);
        s.showPage(page);
        const auto* w = s.window->findChild<QWidget*>(name);
        QVERIFY2(w->height() > s.tab()->widget(page)->height() * 7 / 10,
                 qPrintable(QString::number(w->height())));
    }

    void fixedRangeTickLabels_data() {
        QTest::addColumn<double>("low");
        QTest::addColumn<double>("step");
        QTest::addColumn<QString>("format");
        QTest::newRow("0-300 in 7: one decimal, not 42.85714286") << 0.0 << 300.0 / 7 << u"%.1f"_s;
        QTest::newRow("whole steps") << 0.0 << 50.0 << u"%.0f"_s;
        QTest::newRow("whole steps from a fraction") << 0.5 << 1.0 << u"%.1f"_s;
        QTest::newRow("halves") << 0.0 << 0.5 << u"%.1f"_s;
        QTest::newRow("quarters") << 0.0 << 0.25 << u"%.2f"_s;
        QTest::newRow("thirds of a tenth") << 0.0 << 0.1 / 3 << u"%.3f"_s;
        QTest::newRow("negative low") << -100.0 << 25.0 << u"%.0f"_s;
        QTest::newRow("tiny step stops at six") << 0.0 << 1e-9 << u"%.6f"_s;
    }
    void fixedRangeTickLabels() {
        QFETCH(double, low);
        QFETCH(double, step);
        QFETCH(QString, format);
        QCOMPARE(ui::ResultsChart::tickLabelFormat(low, step), format);
    }

    void fixedRangeUsesTheFormatAndAutomaticRangeDropsIt() {
        ScaledWindow s(1.0);
        s.showPage(2);
        ui::ResultsChart& chart = s.window->chart();
        chart.setFixedRange(core::Axis::Y, 0, 300, 7);
        auto* y = qobject_cast<QValueAxis*>(chart.chart()->axes(Qt::Vertical).constFirst());
        QCOMPARE(y->labelFormat(), u"%.1f"_s);
        chart.setAutoScale();
        QCOMPARE(y->labelFormat(), u"%.10g"_s);
    }

    void appStyleDrawsItsOwnPictures_data() {
        QTest::addColumn<int>("icon");
        QTest::newRow("menu bar overflow") << int(QStyle::SP_ToolBarHorizontalExtensionButton);
        QTest::newRow("tool bar overflow") << int(QStyle::SP_ToolBarVerticalExtensionButton);
    }
    void appStyleDrawsItsOwnPictures() {
        QFETCH(int, icon);
        ui::AppStyle style;
        const QImage drawn =
            style.standardIcon(QStyle::StandardPixmap(icon)).pixmap(16, 16).toImage();
        int inked = 0;
        for (int y = 0; y < drawn.height(); ++y)
            for (int x = 0; x < drawn.width(); ++x)
                inked += qAlpha(drawn.pixel(x, y)) > 0 ? 1 : 0;
        QVERIFY2(inked > 10 && inked < 16 * 16 / 2, qPrintable(QString::number(inked)));
        // Other pictures are the desktop style's own.
        QVERIFY(!style.standardIcon(QStyle::SP_ArrowBack).isNull());
    }

    void appStyleFramesGroupBoxesAsFusionDoes() {
        // Under Fusion the frame is drawn, not read from a picture: a faint line around the
        // box below its title, with the corners cut.
        ui::AppStyle style;
        if (style.baseStyle()->name().compare(u"fusion"_s, Qt::CaseInsensitive) != 0)
            QSKIP("the desktop style is not Fusion");
        QGroupBox box(u"Tracer Type"_s);
        box.setStyle(&style);
        box.resize(200, 100);
        QImage image(box.size(), QImage::Format_ARGB32);
        image.fill(Qt::white);
        box.render(&image, {}, {}, QWidget::DrawChildren); // the frame alone, on white
        const int top = std::max(style.pixelMetric(QStyle::PM_ExclusiveIndicatorHeight),
                                 box.fontMetrics().height()) +
                        3 + 1;
        QCOMPARE_NE(image.pixelColor(100, top), QColor(Qt::white)); // the top line
        QCOMPARE_NE(image.pixelColor(1, 60), QColor(Qt::white));    // the left line
        QCOMPARE_NE(image.pixelColor(198, 60), QColor(Qt::white));  // the right line
        QCOMPARE(image.pixelColor(1, top), QColor(Qt::white));      // a cut corner
        QCOMPARE(image.pixelColor(100, 60), QColor(Qt::white));     // nothing inside
    }

    void chartFollowsTheDarkPaletteButPrintsLight() {
        ScaledWindow s(1.0);
        s.showPage(2);
        ui::ResultsChart& chart = s.window->chart();
        const QColor lightBackground = chart.chart()->backgroundBrush().color();
        QPalette dark = s.window->palette();
        dark.setColor(QPalette::Base, QColor(30, 30, 32));
        dark.setColor(QPalette::Text, QColor(230, 230, 230));
        dark.setColor(QPalette::Window, QColor(45, 45, 48));
        dark.setColor(QPalette::WindowText, QColor(230, 230, 230));
        s.window->setPalette(dark);
        QCoreApplication::processEvents();
        QCOMPARE(chart.chart()->backgroundBrush().color(), QColor(30, 30, 32));
        // Every curve and the limit line stand out from the dark background.
        for (QAbstractSeries* series : chart.chart()->series()) {
            if (const auto* line = qobject_cast<QLineSeries*>(series))
                QVERIFY2(line->pen().color().lightness() > 100, qPrintable(series->name()));
        }
        auto* y = qobject_cast<QValueAxis*>(chart.chart()->axes(Qt::Vertical).constFirst());
        QCOMPARE(y->labelsColor(), QColor(230, 230, 230));

        QImage paper(600, 400, QImage::Format_ARGB32);
        paper.fill(Qt::white);
        QPainter painter(&paper);
        chart.renderTo(&painter, QRectF(paper.rect()), QSizeF(600, 400));
        painter.end();
        QVERIFY(paper.pixelColor(3, 3).lightness() > 200);
        QCOMPARE(chart.chart()->backgroundBrush().color(), QColor(30, 30, 32)); // back on screen

        s.window->setPalette(QPalette());
        QCoreApplication::processEvents();
        QCOMPARE(chart.chart()->backgroundBrush().color(), lightBackground);
    }
};

QTEST_MAIN(TestLayout)
#include "tst_layout.moc"
