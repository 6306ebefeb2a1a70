#include "ui/recovery/case_recovery.h"

#include "core/dew_file.h"
#include "ui/editing/case_editor.h"
#include "ui/qt_text.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QLockFile>

#include <algorithm>
#include <memory>

namespace kvh::ui {

namespace {

const QString kStateHome = QStringLiteral("XDG_STATE_HOME");
const QString kDefaultStateHome = QStringLiteral("/.local/state");
const QString kSubfolder = QStringLiteral("/KVHiTemp/recovery");
const QString kCannotKeep = QStringLiteral("Recovery copies cannot be kept in %1: %2");
const std::string kLockRefused = "another program holds the copy's lock.";

std::string local(const QString& path) {
    return QFile::encodeName(path).toStdString();
}

} // namespace

QString CaseRecovery::defaultFolder() {
    // Qt 6.4 has no state location: $XDG_STATE_HOME when absolute, else ~/.local/state.
    QString state = qEnvironmentVariable(kStateHome.toLatin1().constData());
    if (!QDir::isAbsolutePath(state))
        state = QDir::homePath() + kDefaultStateHome;
    return state + kSubfolder;
}

CaseRecovery::CaseRecovery(const QString& folder, CaseEditor& editor,
                           std::function<QString()> casePath, QObject* parent)
    : QObject(parent), m_folder(local(folder)), m_editor(editor), m_casePath(std::move(casePath)),
      m_stem(core::RecoveryFolder::stemFor(QCoreApplication::applicationPid(),
                                           QDateTime::currentMSecsSinceEpoch())) {
    m_disk.setMaxThreadCount(1); // in turn, in the order asked
    m_timer.setSingleShot(true);
    connect(&m_timer, &QTimer::timeout, this, &CaseRecovery::writeCopy);
    connect(&editor, &CaseEditor::changed, this, &CaseRecovery::caseChanged);
    connect(&editor.history(), &QUndoStack::cleanChanged, this, &CaseRecovery::caseChanged);
    if (std::string error = m_folder.create(); !error.empty()) {
        fail(error);
        return;
    }
    m_folder.removeLeftovers(QDateTime::currentSecsSinceEpoch());
    m_lock = lockFor(m_stem);
    if (!m_lock)
        fail(kLockRefused);
}

CaseRecovery::~CaseRecovery() {
    // Ending normally: the case was saved or discarded. The left copies stay for next time.
    removeOwnCopy();
    waitForDisk();
}

void CaseRecovery::waitForDisk() {
    m_disk.waitForDone();
}

void CaseRecovery::removeOwnCopy() {
    if (m_lock)
        m_disk.start([this, stem = m_stem] { m_folder.remove(stem); });
}

QString CaseRecovery::folder() const {
    return QFile::decodeName(QByteArray::fromStdString(m_folder.folder()));
}

std::unique_ptr<QLockFile> CaseRecovery::lockFor(const std::string& stem) const {
    auto lock = std::make_unique<QLockFile>(
        QFile::decodeName(QByteArray::fromStdString(m_folder.lockPath(stem))));
    // Only a lock whose program has ended is stale, however old it is.
    lock->setStaleLockTime(0);
    if (!lock->tryLock(0))
        return nullptr;
    return lock;
}

void CaseRecovery::caseChanged() {
    if (!m_editor.isModified()) {
        m_timer.stop();
        m_pending.invalidate();
        removeOwnCopy();
        return;
    }
    if (!m_pending.isValid())
        m_pending.start();
    const qint64 left = kMaxWaitMs - m_pending.elapsed();
    m_timer.start(static_cast<int>(std::clamp<qint64>(left, 0, kQuietMs)));
}

void CaseRecovery::writeCopy() {
    m_pending.invalidate();
    if (!m_lock || !m_editor.isModified())
        return;
    core::RecoveryNote about;
    about.casePath = local(m_casePath());
    about.changed = QDateTime::currentSecsSinceEpoch();
    about.pid = QCoreApplication::applicationPid();
    auto bytes = std::make_shared<const std::string>(core::writeDew(m_editor.theCase()));
    m_disk.start([this, stem = m_stem, bytes, about] {
        const std::string error = m_folder.write(stem, *bytes, about);
        QMetaObject::invokeMethod(
            this,
            [this, error] {
                if (!error.empty())
                    fail(error);
                emit written();
            },
            Qt::QueuedConnection);
    });
}

void CaseRecovery::writeNow() {
    m_timer.stop();
    writeCopy();
    waitForDisk();
}

void CaseRecovery::fail(const std::string& reason) {
    if (!m_error.isEmpty())
        return;
    m_error = kCannotKeep.arg(QDir::toNativeSeparators(folder()), qs(reason));
    emit failed(m_error);
}

std::vector<CaseRecovery::LeftCopy> CaseRecovery::takeLeftCopies(const core::Case& base) {
    std::vector<LeftCopy> out;
    if (!m_lock)
        return out;
    std::vector<std::string> lockOnly;
    for (const std::string& stem : m_folder.stems(&lockOnly)) {
        if (stem == m_stem || m_leftLocks.count(stem))
            continue;
        std::unique_ptr<QLockFile> lock = lockFor(stem);
        if (!lock)
            continue; // its program is still running
        m_leftLocks[stem] = std::move(lock);
        out.push_back({stem, m_folder.read(stem, base)});
    }
    // The lock of a program that ended with nothing unsaved.
    for (const std::string& stem : lockOnly)
        if (stem != m_stem && lockFor(stem))
            m_folder.removeLock(stem);
    return out;
}

core::RecoveryRead CaseRecovery::read(const std::string& stem, const core::Case& base) const {
    return m_folder.read(stem, base);
}

void CaseRecovery::adopt(const std::string& stem) {
    auto left = m_leftLocks.find(stem);
    if (left == m_leftLocks.end())
        return;
    removeOwnCopy();
    waitForDisk();                    // gone before its lock goes
    m_lock = std::move(left->second); // letting go of the own lock removes its file
    m_leftLocks.erase(left);
    m_stem = stem;
}

void CaseRecovery::discard(const std::string& stem) {
    auto left = m_leftLocks.find(stem);
    if (left == m_leftLocks.end())
        return;
    m_folder.remove(stem);
    m_leftLocks.erase(left); // unlocking removes the lock file
}

} // namespace kvh::ui
