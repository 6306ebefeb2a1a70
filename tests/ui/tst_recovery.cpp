// Recovery copies as the user meets them: a copy written a moment after an edit and gone once
// the case is saved, the bar that offers the copies a program left behind with its three
// answers, copies of programs still running left alone, a damaged copy named and kept, and
// the settings file that is not a regular file.

#include "window_harness.h"

#include "core/dew_file.h"
#include "core/recovery.h"
#include "ui/editing/case_editor.h"
#include "ui/recovery/case_recovery.h"
#include "ui/recovery/recovery_bar.h"
#include "ui/recovery/termination_signals.h"
#include "ui/window/settings_file.h"

#include <QDateTime>
#include <QDesktopServices>
#include <QSettings>
#include <QSignalSpy>
#include <QUrl>

#include <csignal>
#include <sys/stat.h>
#include <unistd.h>

using namespace kvh;
using namespace Qt::StringLiterals;
using test::WindowHarness;

namespace {

std::string local(const QString& path) {
    return QFile::encodeName(path).toStdString();
}

/// A copy as a program that has ended left it: no lock held, a case with 181 in its first row.
const std::string kLeftStem = "case-999999-1";

core::Case leftCase() {
    core::Case c;
    core::applyDew(c, std::get<core::DewParse>(core::parseDew(test::kPassingCase.toStdString())));
    c.profile.setCell(1, core::kColTemp, "181");
    return c;
}

void leaveCopy(const QString& folder, const QString& casePath, const QDateTime& changed) {
    core::RecoveryNote note;
    note.casePath = local(casePath);
    note.changed = changed.toSecsSinceEpoch();
    note.pid = 999999;
    core::RecoveryFolder f(local(folder));
    if (!f.create().empty() || !f.write(kLeftStem, leftCase(), note).empty())
        qFatal("cannot leave a copy");
}

QStringList filesIn(const QString& folder) {
    return QDir(folder).entryList(QDir::Files | QDir::Hidden, QDir::Name);
}

QStringList copyFiles(const std::string& stem) {
    return {QString::fromStdString(stem + ".1.dew"), QString::fromStdString(stem + ".lock"),
            QString::fromStdString(stem + ".note")};
}

} // namespace

/// Records the folders Show asks the desktop to open.
class UrlCatcher : public QObject {
    Q_OBJECT
public:
    QList<QUrl> urls;
public slots:
    void open(const QUrl& url) { urls << url; }
};

class TestRecovery : public QObject {
    Q_OBJECT
    std::unique_ptr<WindowHarness> h;
    std::unique_ptr<QTemporaryDir> state;
    QString folder;

    ui::RecoveryBar* bar() const { return h->get<ui::RecoveryBar>("fraRecovery"); }
    void keep() { h->window->keepRecoveryCopies(folder); }
    bool waitForCopy() {
        QSignalSpy written(h->window->recovery(), &ui::CaseRecovery::written);
        return written.wait(ui::CaseRecovery::kMaxWaitMs + 1000);
    }

private slots:
    void init() {
        state = std::make_unique<QTemporaryDir>();
        folder = state->filePath(u"KVHiTemp/recovery"_s);
        h = std::make_unique<WindowHarness>();
    }
    void cleanup() {
        h.reset();
        state.reset();
    }

    void defaultFolderFollowsTheStateHome() {
        const QByteArray saved = qgetenv("XDG_STATE_HOME");
        qputenv("XDG_STATE_HOME", state->path().toUtf8());
        QCOMPARE(ui::CaseRecovery::defaultFolder(), state->path() + u"/KVHiTemp/recovery"_s);
        qunsetenv("XDG_STATE_HOME");
        QCOMPARE(ui::CaseRecovery::defaultFolder(),
                 QDir::homePath() + u"/.local/state/KVHiTemp/recovery"_s);
        if (!saved.isEmpty())
            qputenv("XDG_STATE_HOME", saved);
    }

    void anEditIsKeptAndSavingRemovesTheCopy() {
        keep();
        const std::string own = h->window->recovery()->stem();
        QCOMPARE(filesIn(folder), QStringList{QString::fromStdString(own + ".lock")});
        h->showPage(1);
        h->typeInto(1, 2, u"42"_s);
        QVERIFY(waitForCopy());
        QCOMPARE(filesIn(folder), copyFiles(own));
        // The copy is the file Save would write.
        QCOMPARE(test::fileBytes(folder + u"/"_s + copyFiles(own)[0]),
                 QByteArray::fromStdString(core::writeDew(h->theCase())));

        h->platform.saveAnswers.enqueue(h->dir.filePath(u"kept.dew"_s));
        h->action("mnuSave")->trigger();
        h->window->recovery()->waitForDisk();
        QCOMPARE(filesIn(folder), QStringList{QString::fromStdString(own + ".lock")});
        h.reset(); // ending normally
        QVERIFY(filesIn(folder).isEmpty());
    }

    void theBarOffersACopyLeftBehind() {
        const QDateTime changed = QDateTime::currentDateTime().addSecs(-60);
        leaveCopy(folder, h->dir.filePath(u"anneal.dew"_s), changed);
        keep();
        QVERIFY(bar()->isVisible());
        QCOMPARE(bar()->lines(),
                 QStringList{u"A case was not saved when KVHiTemp last ended: 'anneal.dew', "_s
                             u"changed at "_s +
                             changed.toString(changed.date() == QDate::currentDate()
                                                  ? u"HH:mm"_s
                                                  : u"yyyy-MM-dd HH:mm"_s) +
                             u"."_s});
        for (const char* name : {"cmdRecover_0", "cmdDiscardRecovery_0", "cmdShowRecovery_0"})
            QVERIFY(h->get<QPushButton>(name)->isVisible());
    }

    void theBarsAnswers_data() {
        QTest::addColumn<QString>("button");
        QTest::newRow("Recover") << u"cmdRecover_0"_s;
        QTest::newRow("Discard") << u"cmdDiscardRecovery_0"_s;
        QTest::newRow("Show") << u"cmdShowRecovery_0"_s;
    }
    void theBarsAnswers() {
        QFETCH(QString, button);
        const QString casePath = h->dir.filePath(u"anneal.dew"_s);
        leaveCopy(folder, casePath, QDateTime::currentDateTime());
        UrlCatcher catcher;
        QDesktopServices::setUrlHandler(u"file"_s, &catcher, "open");
        keep();
        const core::Case before = h->theCase();
        QTest::mouseClick(h->get<QPushButton>(button), Qt::LeftButton);
        QDesktopServices::unsetUrlHandler(u"file"_s);
        const std::string own = h->window->recovery()->stem();
        const QStringList left = copyFiles(kLeftStem);
        const QStringList lock{QString::fromStdString(own + ".lock")};

        if (button == u"cmdRecover_0"_s) {
            QCOMPARE(core::writeDew(h->theCase()), core::writeDew(leftCase()));
            QCOMPARE(h->window->filePath(), casePath);
            QVERIFY(h->window->editor().isModified());
            QVERIFY(!bar()->isVisible());
            // The copy stays until the case's own next copy replaces it.
            QCOMPARE(h->window->recovery()->stem(), kLeftStem);
            QCOMPARE(filesIn(folder), left);
            QVERIFY(waitForCopy());
            QCOMPARE(filesIn(folder),
                     (QStringList{QString::fromStdString(kLeftStem + ".2.dew"), left[1], left[2]}));
        } else if (button == u"cmdDiscardRecovery_0"_s) {
            QVERIFY(h->theCase() == before);
            QVERIFY(!bar()->isVisible());
            QCOMPARE(filesIn(folder), lock);
        } else {
            QCOMPARE(catcher.urls, QList<QUrl>{QUrl::fromLocalFile(folder)});
            QVERIFY(bar()->isVisible());
            QCOMPARE(filesIn(folder).size(), 4);
        }
        QVERIFY(h->platform.messages.isEmpty());
    }

    void recoverAsksAboutTheCaseOnScreenFirst() {
        leaveCopy(folder, QString(), QDateTime::currentDateTime());
        keep();
        QVERIFY(bar()->lines().first().contains(u"ended: a new case, changed at"_s));
        h->showPage(1);
        h->typeInto(2, 2, u"99"_s);
        const core::Case typed = h->theCase();
        QTest::mouseClick(h->get<QPushButton>("cmdRecover_0"), Qt::LeftButton); // Cancel
        QCOMPARE(h->platform.messages.size(), 1);
        QVERIFY(h->theCase() == typed);
        QVERIFY(bar()->isVisible());
    }

    void aRunningProgramsCopyIsNotOffered() {
        keep();
        h->showPage(1);
        h->typeInto(1, 2, u"5"_s);
        QVERIFY(waitForCopy());
        WindowHarness other;
        other.window->keepRecoveryCopies(folder);
        QVERIFY(other.get<ui::RecoveryBar>("fraRecovery")->lines().isEmpty());
        QCOMPARE(filesIn(folder).size(), 4); // ours, and the other's lock
    }

    void aDamagedCopyIsNamedAndLeft() {
        leaveCopy(folder, QString(), QDateTime::currentDateTime());
        QFile::resize(folder + u"/"_s + QString::fromStdString(kLeftStem + ".1.dew"), 10);
        keep();
        QCOMPARE(bar()->lines(),
                 QStringList{u"A recovery copy cannot be read and is left in the recovery "_s
                             u"folder: 'case-999999-1' (The case file is not the one the note "_s
                             u"describes.)"_s});
        QVERIFY(!h->window->findChild<QPushButton*>(u"cmdRecover_0"_s));
        QVERIFY(h->get<QPushButton>("cmdShowRecovery_0")->isVisible());
        h.reset();
        QCOMPARE(filesIn(folder), (QStringList{QString::fromStdString(kLeftStem + ".1.dew"),
                                               QString::fromStdString(kLeftStem + ".note")}));
    }

    void aFolderThatCannotBeMadeIsSaidOnce() {
        test::writeFile(state->filePath(u"KVHiTemp"_s), "in the way");
        keep();
        const QString notice = h->get<QLabel>("lblNotice")->text();
        QVERIFY2(notice.startsWith(u"Recovery copies cannot be kept in "_s), qPrintable(notice));
        h->showPage(1);
        h->typeInto(1, 2, u"5"_s); // typing goes on as before
        QCOMPARE(h->theCase().profile.cell(1, core::kColTemp), std::string("5"));
    }

    void terminationArrivesThroughTheEventLoop() {
        ui::TerminationSignals termination;
        QSignalSpy arrived(&termination, &ui::TerminationSignals::arrived);
        ::raise(SIGTERM);
        QVERIFY(arrived.wait(2000));
        QCOMPARE(arrived.first().first().toInt(), SIGTERM);
    }

    void settingsStayOffWhatIsNotARegularFile() {
        // Which kinds of file are no place for the settings is the core's to say (FIFOs,
        // devices, folders, through links or not); here, that the window's settings keep off one.
        const std::string target = local(state->filePath(u"target"_s));
        QCOMPARE(::mkfifo(target.c_str(), 0600), 0);
        const QString link = state->filePath(u"KVHiTemp.conf"_s);
        QVERIFY(QFile::link(state->filePath(u"target"_s), link));
        struct stat before {};
        QCOMPARE(::stat(target.c_str(), &before), 0);
        {
            const ui::SettingsFile file(link);
            QVERIFY(file.refusal().contains(QDir::toNativeSeparators(link)));
            QVERIFY(!file.settings().contains(u"Window/Page"_s));
            file.settings().setValue(u"Window/Page"_s, 2);
            QCOMPARE(file.settings().value(u"Window/Page"_s).toInt(), 2); // for the session
        }
        struct stat after {};
        QCOMPARE(::stat(target.c_str(), &after), 0);
        QCOMPARE(after.st_mode & S_IFMT, before.st_mode & S_IFMT);
        QCOMPARE(after.st_ino, before.st_ino);
        QVERIFY(QFileInfo(link).isSymLink());
    }

    void settingsUseARegularFileThroughItsLink() {
        const QString target = state->filePath(u"real.conf"_s);
        const QString link = state->filePath(u"KVHiTemp.conf"_s);
        test::writeFile(target, "[Window]\nPage=1\n");
        QVERIFY(QFile::link(target, link));
        {
            const ui::SettingsFile file(link);
            QVERIFY(file.refusal().isEmpty());
            QCOMPARE(file.settings().value(u"Window/Page"_s).toInt(), 1);
            file.settings().setValue(u"Window/Page"_s, 3);
        }
        QVERIFY(test::fileBytes(target).contains("Page=3"));
    }
};

QTEST_MAIN(TestRecovery)
#include "tst_recovery.moc"
