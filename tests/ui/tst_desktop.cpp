// The window as a desktop program: the command line, a file given at start, dropped files,
// File > Open Recent and the window's place kept in the settings (always in a scratch file,
// never the user's own settings).

#include "window_harness.h"

#include "app/command_line.h"
#include "ui/editing/recent_files.h"
#include "ui/window/window_settings.h"

#include <QMenu>
#include <QMimeData>
#include <QScreen>
#include <QSettings>
#include <QStandardPaths>
#include <QUrl>

using namespace kvh;
using namespace Qt::StringLiterals;
using test::WindowHarness;

namespace {

/// Drags `urls` over the window and drops them there; true when the window took the drag.
bool dropOn(QWidget* window, const QList<QUrl>& urls) {
    QMimeData data;
    data.setUrls(urls);
    const QPoint at = window->rect().center();
    QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(window, &enter);
    if (!enter.isAccepted())
        return false;
    QDropEvent drop(QPointF(at), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(window, &drop);
    QCoreApplication::processEvents(); // the file opens once the drop is over
    return drop.isAccepted();
}

QStringList recentCaptions(const WindowHarness& h) {
    QStringList out;
    for (QAction* a : h.get<QMenu>("mnuOpenRecent")->actions())
        if (!a->isSeparator())
            out << a->text() + (a->isEnabled() ? QString() : u" (off)"_s);
    return out;
}

} // namespace

class TestDesktop : public QObject {
    Q_OBJECT
    std::unique_ptr<WindowHarness> h;

private slots:
    void initTestCase() {
        QStandardPaths::setTestModeEnabled(true);
        QCoreApplication::setApplicationName(u"KVHiTemp"_s);
        QCoreApplication::setApplicationVersion(u"1.2.3"_s);
    }
    void init() { h = std::make_unique<WindowHarness>(); }
    void cleanup() { h.reset(); }

    void commandLine_data() {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("file");
        QTest::addColumn<int>("exitCode"); // -1: the window starts
        QTest::addColumn<bool>("toStdout");
        QTest::addColumn<QString>("messagePart");
        QTest::newRow("no file: an empty case")
            << QStringList{} << QString() << -1 << true << QString();
        QTest::newRow("a file to open")
            << QStringList{u"case.dew"_s} << u"case.dew"_s << -1 << true << QString();
        QTest::newRow("a file named like an option after --")
            << QStringList{u"--"_s, u"-odd.dew"_s} << u"-odd.dew"_s << -1 << true << QString();
        QTest::newRow("-h with a file still only helps")
            << QStringList{u"a.dew"_s, u"-h"_s} << QString() << 0 << true << u"--version"_s;
        QTest::newRow("--version")
            << QStringList{u"--version"_s} << QString() << 0 << true << u"KVHiTemp 1.2.3\n"_s;
        QTest::newRow("two files are refused") << QStringList{u"a.dew"_s, u"b.dew"_s} << QString()
                                               << 64 << false << u"Only one file"_s;
        QTest::newRow("an unknown option is refused")
            << QStringList{u"--bogus"_s} << QString() << 64 << false << u"Unknown option 'bogus'"_s;
        QTest::newRow("a dash word is no cluster of -d -a -s -h")
            << QStringList{u"-dash.dew"_s} << QString() << 64 << false
            << u"Unknown option 'dash.dew'"_s;
        QTest::newRow("a dash word is no cluster of -v ...")
            << QStringList{u"-vessel.dew"_s} << QString() << 64 << false
            << u"Unknown option 'vessel.dew'"_s;
        QTest::newRow("--help says how to open a dash-named file")
            << QStringList{u"--help"_s} << QString() << 0 << true << u"kvhitemp -- -x.dew"_s;
    }
    void commandLine() {
        QFETCH(QStringList, args);
        QFETCH(QString, file);
        QFETCH(int, exitCode);
        QFETCH(bool, toStdout);
        QFETCH(QString, messagePart);
        const app::CommandLine line = app::CommandLine::parse(QStringList{u"kvhitemp"_s} + args);
        QCOMPARE(line.file, file);
        QCOMPARE(line.exitCode.value_or(-1), exitCode);
        QCOMPARE(line.toStdout, toStdout);
        QVERIFY2(line.message.contains(messagePart), qPrintable(line.message));
    }

    void unreadableFileLeavesAnEmptyCase() {
        // A file given at start or dropped: refused as Open refuses it (tst_files has the
        // reasons), and the recent files do not take it.
        const QString path = h->dir.filePath(u"gone.dew"_s);
        const core::Case before = h->theCase();
        QVERIFY(!h->window->openFile(path));
        QCOMPARE(h->platform.messages.size(), 1);
        QCOMPARE(h->platform.messages[0].title, u"Open Error"_s);
        QVERIFY(h->platform.messages[0].text.contains(QDir::toNativeSeparators(path)));
        QVERIFY(h->theCase().profile.rowCount() == before.profile.rowCount());
        QVERIFY(!h->theCase().setup.complete());
        QVERIFY(h->window->recentFiles().files().isEmpty());
    }

    void drop_data() {
        QTest::addColumn<QStringList>("names"); // files in the scratch folder, or URLs
        QTest::addColumn<bool>("accepted");
        QTest::newRow("a case") << QStringList{u"a.dew"_s} << true;
        QTest::newRow("upper-case extension") << QStringList{u"B.DEW"_s} << true;
        QTest::newRow("a case after another file")
            << QStringList{u"notes.txt"_s, u"c.dew"_s} << true;
        QTest::newRow("not a case") << QStringList{u"notes.txt"_s} << false;
        QTest::newRow("a remote case") << QStringList{u"https://example.org/a.dew"_s} << false;
    }
    void drop() {
        QFETCH(QStringList, names);
        QFETCH(bool, accepted);
        QList<QUrl> urls;
        for (const QString& name : names)
            urls << (name.contains(u"://"_s) ? QUrl(name)
                                             : QUrl::fromLocalFile(h->writeCase(name)));
        QCOMPARE(dropOn(h->window.get(), urls), accepted);
        QCOMPARE(h->theCase().setup.complete(), accepted);
        QVERIFY(h->platform.messages.isEmpty());
        QCOMPARE(h->window->recentFiles().files().size(), accepted ? 1 : 0);
    }

    void recentFilesNewestFirstAtMostEight() {
        QCOMPARE(recentCaptions(*h), QStringList{u"&Clear Menu (off)"_s});
        QVERIFY(!h->get<QMenu>("mnuOpenRecent")->menuAction()->isEnabled());
        for (int i = 1; i <= 9; ++i)
            h->openText(test::kPassingCase, u"case%1.dew"_s.arg(i));
        h->openText(test::kPassingCase, u"case5.dew"_s); // again: moves up, not listed twice
        const QStringList captions = recentCaptions(*h);
        QCOMPARE(captions.size(), 9);
        const QString folder = QDir::toNativeSeparators(h->dir.path());
        QVERIFY2(captions[0].startsWith(u"&1 "_s) && captions[0].endsWith(u"case5.dew"_s),
                 qPrintable(captions[0]));
        QVERIFY(captions[1].endsWith(u"case9.dew"_s));
        QVERIFY(captions[7].startsWith(u"&8 "_s) && captions[7].endsWith(u"case2.dew"_s));
        QCOMPARE(captions[8], u"&Clear Menu"_s);
        QCOMPARE(h->get<QAction>("mnuRecent_0")->toolTip(),
                 folder + QDir::separator() + u"case5.dew"_s);
    }

    void savedFileIsRecent() {
        const QString path = h->dir.filePath(u"saved.dew"_s);
        h->platform.saveAnswers.enqueue(path);
        h->action("mnuSave")->trigger();
        QCOMPARE(h->window->recentFiles().files(), QStringList{path});
    }

    void choosingRecentOpensOrForgets() {
        const QString kept = h->writeCase(u"kept.dew"_s);
        const QString gone = h->writeCase(u"gone.dew"_s);
        QVERIFY(h->window->openFile(kept));
        QVERIFY(h->window->openFile(gone));
        QFile::remove(gone);
        h->action("mnuRecent_0")->trigger(); // gone: the error, and it leaves the list
        QCOMPARE(h->platform.messages.size(), 1);
        QCOMPARE(h->platform.messages[0].title, u"Open Error"_s);
        QCOMPARE(h->window->recentFiles().files(), QStringList{kept});
        h->chooseSetup(0, 0, 0);
        h->platform.messageAnswers.enqueue(platform::Answer::Discard);
        h->action("mnuRecent_0")->trigger(); // kept: opened again, after the question
        QCOMPARE(h->platform.messages.size(), 2);
        QCOMPARE(h->platform.messages[1].buttons, platform::Buttons::SaveDiscardCancel);
        QCOMPARE(h->theCase().setup.model().selectedIndex(), 4);
        h->action("mnuClearRecent")->trigger();
        QCoreApplication::processEvents();
        QVERIFY(h->window->recentFiles().files().isEmpty());
        QCOMPARE(recentCaptions(*h), QStringList{u"&Clear Menu (off)"_s});
    }

    void recentFilesKeptInTheSettings() {
        QSettings settings(h->dir.filePath(u"settings.ini"_s), QSettings::IniFormat);
        settings.setValue(u"RecentFiles"_s, QStringList{u"/a/x.dew"_s, u"/a/./x.dew"_s, QString()});
        h->window->setSettings(&settings);
        QCOMPARE(h->window->recentFiles().files(), QStringList{u"/a/x.dew"_s});
        const QString path = h->writeCase(u"kept.dew"_s);
        QVERIFY(h->window->openFile(path));
        WindowHarness second;
        second.window->setSettings(&settings);
        QCOMPARE(second.window->recentFiles().files(), (QStringList{path, u"/a/x.dew"_s}));
    }

    void fitted_data() {
        QTest::addColumn<QRect>("wanted");
        QTest::addColumn<QRect>("fitted");
        // On a screen of 1280 x 800 the room is (8, 32) to (1271, 791).
        QTest::newRow("fits: unchanged")
            << QRect(100, 100, 1000, 600) << QRect(100, 100, 1000, 600);
        QTest::newRow("too large: shrunk into the room")
            << QRect(0, 0, 1500, 1080) << QRect(8, 32, 1264, 760);
        QTest::newRow("off the right and bottom: moved back")
            << QRect(900, 700, 800, 500) << QRect(472, 292, 800, 500);
        QTest::newRow("off the left and top: moved back")
            << QRect(-300, -50, 800, 500) << QRect(8, 32, 800, 500);
        QTest::newRow("below the minimum: the minimum")
            << QRect(50, 50, 100, 80) << QRect(50, 50, 640, 400);
    }
    void fitted() {
        QFETCH(QRect, wanted);
        QFETCH(QRect, fitted);
        QCOMPARE(ui::WindowSettings::fitted(wanted, QRect(0, 0, 1280, 800), QSize(640, 400)),
                 fitted);
    }

    // The settings file is text anyone may edit: odd values read as never saved, bounded.
    void oddSettingsReadAsNeverSaved_data() {
        QTest::addColumn<QByteArray>("ini");
        QTest::addColumn<QStringList>("recent");
        QTest::newRow("geometry at the ends of the integers")
            << QByteArray("[Window]\nGeometry=@Rect(2147483647 -2147483648 2147483647 "
                          "2147483647)\nPage=-1\n")
            << QStringList();
        QTest::newRow("page beyond every integer, not a rectangle")
            << QByteArray("[Window]\nGeometry=12\nPage=99999999999\nMaximized=@Invalid()\n")
            << QStringList();
        QTest::newRow("recent files: a NUL, an over-long path, doubles")
            << (QByteArray("RecentFiles=/a/x\\0y.dew, /a/b.dew, /a/./b.dew, /") +
                QByteArray(5000, 'c') + "\n")
            << QStringList{u"/a/b.dew"_s};
    }
    void oddSettingsReadAsNeverSaved() {
        QFETCH(QByteArray, ini);
        QFETCH(QStringList, recent);
        const QString path = test::writeFile(h->dir.filePath(u"odd.ini"_s), ini);
        QSettings settings(path, QSettings::IniFormat);
        test::FakePlatform platform;
        ui::MainWindow next(platform);
        next.setSettings(&settings);
        ui::WindowSettings place(settings);
        place.restoreGeometry(next);
        next.show();
        place.restorePage(next.pages(), next.currentCase().setup.complete());
        QCOMPARE(next.recentFiles().files(), recent);
        QCOMPARE(next.findChild<QTabWidget*>(u"Tab1"_s)->currentIndex(), 0);
        QVERIFY(next.screen()->availableGeometry().contains(next.geometry()));
        QVERIFY(platform.messages.isEmpty());
    }

    void windowPlaceAndPageKept_data() {
        QTest::addColumn<int>("page");
        QTest::addColumn<bool>("withCase");
        QTest::addColumn<int>("restoredPage");
        QTest::newRow("process data") << 1 << false << 1;
        QTest::newRow("results of a case") << 2 << true << 2;
        QTest::newRow("results without a case: setup") << 2 << false << 0;
    }
    void windowPlaceAndPageKept() {
        QFETCH(int, page);
        QFETCH(bool, withCase);
        QFETCH(int, restoredPage);
        QSettings settings(h->dir.filePath(u"settings.ini"_s), QSettings::IniFormat);
        h->showResults();
        h->showPage(page);
        h->window->setGeometry(40, 60, 700, 500); // the offscreen screen is 800x600
        ui::WindowSettings(settings).save(*h->window, h->window->pages());

        test::FakePlatform platform;
        ui::MainWindow next(platform);
        ui::WindowSettings place(settings);
        place.restoreGeometry(next);
        if (withCase)
            QVERIFY(next.openFile(h->dir.filePath(u"case.dew"_s)));
        place.restorePage(next.pages(), next.currentCase().setup.complete());
        QCOMPARE(next.geometry(), QRect(40, 60, 700, 500));
        QCOMPARE(next.findChild<QTabWidget*>(u"Tab1"_s)->currentIndex(), restoredPage);
        QVERIFY(platform.messages.isEmpty());
        const QRect screen = next.screen()->availableGeometry();
        QVERIFY(screen.contains(next.geometry()));
    }
};

QTEST_MAIN(TestDesktop)
#include "tst_desktop.moc"
