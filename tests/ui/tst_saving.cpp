// Every file the program writes goes one way (cases, exports, the PDF): the same refusals and
// messages, a file size limit told as the system's reason; file names that are not UTF-8 or
// hold control characters; the notice bar's short list; long recent paths; a large scale.

#include "window_harness.h"

#include "ui/editing/case_editor.h"
#include "ui/editing/file_names.h"
#include "ui/editing/recent_files.h"
#include "ui/window/window_settings.h"

#include <QMenu>
#include <QProcess>
#include <QScreen>
#include <QSettings>
#include <QToolButton>

#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace kvh;
using namespace Qt::StringLiterals;
using test::WindowHarness;

Q_DECLARE_METATYPE(kvh::platform::Answer)

namespace {

/// Set in a child run of this program by the test that started it.
const char* const kChildVariable = "KVH_TEST_CHILD";

bool inChild() {
    return qEnvironmentVariableIsSet(kChildVariable);
}

/// Runs test `function` of this program again in a child process, `extra` added to its
/// environment. "" when it passed, else its output.
QString failureInChild(const QString& function, const QString& extra = {}) {
    QProcess child;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QString::fromLatin1(kChildVariable), u"1"_s);
    if (!extra.isEmpty())
        env.insert(extra.section(u'=', 0, 0), extra.section(u'=', 1));
    child.setProcessEnvironment(env);
    child.setProcessChannelMode(QProcess::MergedChannels);
    child.start(QCoreApplication::applicationFilePath(), {function});
    if (!child.waitForFinished(120000))
        return u"the child did not finish"_s;
    const QString output = QString::fromLocal8Bit(child.readAll());
    return child.exitStatus() == QProcess::NormalExit && child.exitCode() == 0 ? QString() : output;
}

bool isFifo(const QString& path) {
    struct stat st {};
    return ::lstat(QFile::encodeName(path).constData(), &st) == 0 && S_ISFIFO(st.st_mode);
}

QByteArray manyNotes(int count) {
    QByteArray dew = test::kPassingCase;
    for (int i = 0; i < count; ++i)
        dew += "R,4OO,1\r\n";
    return dew;
}

} // namespace

class TestSaving : public QObject {
    Q_OBJECT
    std::unique_ptr<WindowHarness> h;

private slots:
    void init() { h = std::make_unique<WindowHarness>(); }
    void cleanup() { h.reset(); }

    void everyWriterRefusesAlike_data() {
        QTest::addColumn<QString>("item");
        QTest::addColumn<bool>("fifo"); ///< the target is a FIFO, else a read-only file
        QTest::addColumn<QString>("title");
        const std::pair<const char*, QString> writers[] = {
            {"mnuSave", u"Save Error"_s},
            {"mnuExportSeries", u"Export Error"_s},
            {"mnuExportPng", u"Export Error"_s},
            {"mnuExportSvg", u"Export Error"_s},
            {"mnuExportComparison", u"Export Error"_s},
            {"mnuExportPdf", u"Export PDF Error"_s}};
        for (const auto& [item, title] : writers) {
            QTest::addRow("%s onto a FIFO", item) << QString::fromLatin1(item) << true << title;
            QTest::addRow("%s onto a read-only file", item)
                << QString::fromLatin1(item) << false << title;
        }
    }
    void everyWriterRefusesAlike() {
        QFETCH(QString, item);
        QFETCH(bool, fifo);
        QFETCH(QString, title);
        h->showResults();
        const QString target = h->dir.filePath(u"target.out"_s);
        const QByteArray local = QFile::encodeName(target);
        if (fifo) {
            QVERIFY(::mkfifo(local.constData(), 0600) == 0);
        } else {
            test::writeFile(target, "earlier");
            QVERIFY(::chmod(local.constData(), 0444) == 0);
        }
        h->platform.messages.clear();
        h->platform.saveAnswers.enqueue(target);
        h->platform.messageAnswers.enqueue(platform::Answer::Yes); // replace it
        h->get<QAction>(item)->trigger();

        QCOMPARE(h->platform.messages.size(), 2);
        QCOMPARE(h->platform.messages[0].title, u"Warning: File Exists"_s);
        const test::ShownMessage& told = h->platform.messages[1];
        QCOMPARE(told.title, title);
        QCOMPARE(told.icon, platform::Icon::Critical);
        QVERIFY2(told.text.contains(target), qPrintable(told.text));
        const QString reason =
            fifo ? u"not a regular file"_s : QString::fromLocal8Bit(std::strerror(EACCES));
        QVERIFY2(told.text.contains(reason), qPrintable(told.text));
        if (fifo) {
            QVERIFY(isFifo(target));
        } else {
            QCOMPARE(test::fileBytes(target), QByteArray("earlier"));
            struct stat st {};
            QVERIFY(::stat(local.constData(), &st) == 0);
            QCOMPARE(st.st_mode & 07777, mode_t(0444)); // not made 0644 by a superuser's save
        }
        QCOMPARE(QDir(h->dir.path()).entryList(QDir::Hidden | QDir::Files).filter(u".kvhitemp-"_s),
                 QStringList());
    }

    // Under `ulimit -f` a save fails with the system's reason and the case stays open and
    // modified. Run in a child process, which sets the limit on itself.
    void saveBeyondTheFileSizeLimit() {
        if (!inChild()) {
            const QString failure = failureInChild(u"saveBeyondTheFileSizeLimit"_s);
            QVERIFY2(failure.isEmpty(), qPrintable(failure));
            return;
        }
        std::signal(SIGXFSZ, SIG_IGN); // as the program does at start
        h->openText(manyNotes(3000));
        h->showPage(1);
        h->typeInto(2, 2, u"61"_s);
        h->platform.messages.clear();
        const rlimit limit{4096, 4096}; // this child's files stop at 4 KiB from now on
        QVERIFY(::setrlimit(RLIMIT_FSIZE, &limit) == 0);
        const QString target = h->dir.filePath(u"big.dew"_s);
        h->platform.saveAnswers.enqueue(target);
        h->action("mnuSave")->trigger();
        const QString tooLarge = QString::fromLocal8Bit(std::strerror(EFBIG));
        QCOMPARE(h->platform.messages.size(), 1);
        QCOMPARE(h->platform.messages[0].title, u"Save Error"_s);
        QVERIFY2(h->platform.messages[0].text.contains(tooLarge),
                 qPrintable(h->platform.messages[0].text));
        QVERIFY(!QFile::exists(target));
        QVERIFY(h->window->editor().isModified());
        QCOMPARE(h->window->filePath(), h->dir.filePath(u"case.dew"_s));
        h->platform.saveAnswers.enqueue(h->dir.filePath(u"big.csv"_s));
        h->action("mnuExportSeries")->trigger();
        QCOMPARE(h->platform.messages.size(), 2);
        QVERIFY2(h->platform.messages[1].text.contains(tooLarge),
                 qPrintable(h->platform.messages[1].text));
    }

    void namesThatAreNotUtf8OpenAndSave() {
        const QByteArray folder = QFile::encodeName(h->dir.path());
        const QByteArray raw = folder + "/caf\xe9.dew";
        const int fd = ::open(raw.constData(), O_WRONLY | O_CREAT, 0644);
        QVERIFY(fd >= 0);
        QCOMPARE(::write(fd, test::kPassingCase.constData(), test::kPassingCase.size()),
                 ssize_t(test::kPassingCase.size()));
        ::close(fd);
        const QString name = ui::fileNameFromLocal(raw);
        QCOMPARE(ui::localFileName(name), raw);
        QVERIFY(h->window->openFile(name));
        QVERIFY(h->platform.messages.isEmpty());
        QVERIFY(h->theCase().setup.complete());
        const QByteArray rawOut = folder + "/\xff"
                                           "out.dew";
        h->platform.saveAnswers.enqueue(ui::fileNameFromLocal(rawOut));
        h->action("mnuSave")->trigger();
        QVERIFY(h->platform.messages.isEmpty());
        struct stat st {};
        QVERIFY(::stat(rawOut.constData(), &st) == 0);
        // A message shows the stray byte escaped.
        QVERIFY(!h->window->openFile(ui::fileNameFromLocal(folder + "/gone\xe9.dew")));
        QVERIFY2(h->platform.messages.last().text.contains(u"gone\\xE9.dew"_s),
                 qPrintable(h->platform.messages.last().text));
    }

    void controlCharactersAreShownEscaped() {
        QVERIFY(!h->window->openFile(h->dir.filePath(u"bad\n\x1b[31m.dew"_s)));
        QCOMPARE(h->platform.messages.size(), 1);
        const QString text = h->platform.messages[0].text;
        QVERIFY2(text.contains(u"bad\\n\\x1B[31m.dew"_s), qPrintable(text));
        QVERIFY(!text.contains(QChar(0x1b)));
        // A NUL in a refused file's field stays visible and cuts nothing.
        h->openText(QByteArray("[Data]\r\nR\0Q,1", 13), u"nul.dew"_s);
        const QString reason = h->platform.messages.last().text;
        QVERIFY2(reason.contains(u"\"R\\x00Q\" ends before"_s), qPrintable(reason));
        QVERIFY(!reason.contains(QChar(0)));
    }

    void noticeBarShowsTheFirstFew_data() {
        QTest::addColumn<int>("notes");
        QTest::newRow("3 notes") << 3;
        QTest::newRow("40 notes") << 40;
        QTest::newRow("5,000 notes") << 5000;
    }
    void noticeBarShowsTheFirstFew() {
        QFETCH(int, notes);
        const QSize before = h->window->size();
        h->openText(manyNotes(notes));
        QCOMPARE(h->window->size(), before);
        const QStringList shown = h->get<QLabel>("lblNotice")->text().split(u'\n');
        QCOMPARE(shown.size(), 1 + std::min(notes, 5) + (notes > 5 ? 1 : 0));
        auto* showAll = h->get<QToolButton>("cmdShowAllNotices");
        QCOMPARE(showAll->isVisible(), notes > 5);
        if (notes <= 5)
            return;
        QCOMPARE(shown.last(), u"and %1 more"_s.arg(notes == 40 ? u"35"_s : u"4,995"_s));
        QTest::mouseClick(showAll, Qt::LeftButton);
        auto* list = h->get<QPlainTextEdit>("txtNotices");
        QVERIFY(list->isVisible());
        QCOMPARE(list->blockCount(), notes + 1);
        QCOMPARE(h->window->size(), before);
    }

    void longRecentPathIsCutInTheMiddle() {
        const QString path = h->dir.path() + u'/' + QString(100000, u'a') + u"/end.dew"_s;
        h->window->recentFiles().add(path);
        auto* menu = h->get<QMenu>("mnuOpenRecent");
        QVERIFY(menu->sizeHint().width() < h->window->screen()->availableGeometry().width());
        QVERIFY(menu->actions().constFirst()->text().endsWith(u"end.dew"_s));
    }

    // At three times the scale, the window still opens within the screen.
    void opensWithinTheScreenAtALargeScale() {
        if (!inChild()) {
            const QString failure =
                failureInChild(u"opensWithinTheScreenAtALargeScale"_s, u"QT_SCALE_FACTOR=3"_s);
            QVERIFY2(failure.isEmpty(), qPrintable(failure));
            return;
        }
        h.reset();
        QSettings settings(QDir::temp().filePath(u"kvh-scale-%1.conf"_s.arg(::getpid())),
                           QSettings::IniFormat);
        test::FakePlatform platform;
        ui::MainWindow window(platform);
        ui::WindowSettings(settings).restoreGeometry(window);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        const QRect screen = window.screen()->availableGeometry();
        QVERIFY2(screen.contains(window.frameGeometry()),
                 qPrintable(u"%1x%2 on %3x%4"_s.arg(window.width())
                                .arg(window.height())
                                .arg(screen.width())
                                .arg(screen.height())));
        QFile::remove(settings.fileName());
    }
};

QTEST_MAIN(TestSaving)
#include "tst_saving.moc"
