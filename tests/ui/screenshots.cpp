// Takes the pictures of the four pages shown in the README: opens a case through the fake
// Open dialog and grabs the window on each page, then prints the report to printed-page.pdf,
// and last grabs the results page again in a dark palette (results-dark.png).
// Run it under Xvfb through scripts/screenshots.sh, which also names the case and the output
// folder and turns the PDF into docs/printed-page.png.

#include "fake_platform.h"

#include "ui/window/app_style.h"
#include "ui/window/main_window.h"

#include <QAction>
#include <QApplication>
#include <QPalette>
#include <QStyle>
#include <QTabWidget>
#include <QTest>

#include <cstdio>

namespace {

/// A dark palette like the dark themes of the desktops, on the Fusion style that follows it.
void useDarkPalette() {
    QApplication::setStyle(QStringLiteral("Fusion"));
    QPalette p;
    const QColor text(230, 230, 230);
    p.setColor(QPalette::Window, QColor(45, 45, 48));
    p.setColor(QPalette::Base, QColor(30, 30, 32));
    p.setColor(QPalette::AlternateBase, QColor(45, 45, 48));
    p.setColor(QPalette::Button, QColor(53, 53, 56));
    for (QPalette::ColorRole role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
        p.setColor(role, text);
    p.setColor(QPalette::Highlight, QColor(42, 130, 218));
    p.setColor(QPalette::HighlightedText, Qt::black);
    p.setColor(QPalette::Disabled, QPalette::ButtonText, QColor(120, 120, 120));
    p.setColor(QPalette::Disabled, QPalette::WindowText, QColor(120, 120, 120));
    QApplication::setPalette(p);
}

} // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    kvh::ui::installAppStyle(); // as the program does
    if (argc != 3) {
        std::fprintf(stderr, "usage: kvhitemp_screenshots CASE.dew OUTPUT-FOLDER\n");
        return 64;
    }
    const QString dewFile = QString::fromLocal8Bit(argv[1]);
    const QString folder = QString::fromLocal8Bit(argv[2]);
    kvh::test::FakePlatform platform;
    kvh::ui::MainWindow window(platform);
    window.resize(1000, 720);
    window.show();
    if (!QTest::qWaitForWindowExposed(&window))
        return 1;
    platform.openAnswers.enqueue(dewFile);
    window.findChild<QAction*>(QStringLiteral("mnuOpen"))->trigger();
    auto* tab = window.findChild<QTabWidget*>(QStringLiteral("Tab1"));
    const char* names[] = {"setup.png", "process-data.png", "results.png", "compare.png"};
    for (int page = 0; page < 4; ++page) {
        tab->setCurrentIndex(page);
        QTest::qWait(300);
        const QString path = folder + QLatin1Char('/') + QString::fromLatin1(names[page]);
        if (!window.grab().save(path))
            return 1;
        std::printf("%s\n", qPrintable(path));
    }
    platform.printerPdfFile = folder + QStringLiteral("/printed-page.pdf");
    window.findChild<QAction*>(QStringLiteral("mnuPrint"))->trigger();
    std::printf("%s\n", qPrintable(platform.printerPdfFile));
    useDarkPalette();
    tab->setCurrentIndex(2);
    QTest::qWait(300);
    const QString dark = folder + QStringLiteral("/results-dark.png");
    if (!window.grab().save(dark))
        return 1;
    std::printf("%s\n", qPrintable(dark));
    for (const auto& m : platform.messages)
        std::fprintf(stderr, "message: %s: %s\n", qPrintable(m.title), qPrintable(m.text));
    return platform.messages.isEmpty() ? 0 : 1;
}
