#pragma once
// The window's side of the recovery copies: when to write the unsaved case, the lock that
// marks a copy as kept by a running program, and the copies of programs that ended without
// saving. The folder's files are the core's (core/recovery.h).

#include "core/recovery.h"

#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <QThreadPool>
#include <QTimer>

#include <functional>
#include <map>
#include <memory>
#include <vector>

QT_BEGIN_NAMESPACE
class QLockFile;
QT_END_NAMESPACE

namespace kvh::ui {

class CaseEditor;

/// Keeps a copy of the unsaved case in the recovery folder: 2 s after the last edit, and at
/// least every 5 s while edits go on; the files are written in the background. An unchanged case
/// has no copy; saving, discarding and ending normally remove it. Each copy is locked (`QLockFile`)
/// by the program that keeps it, so two running programs never take each other's copies.
class CaseRecovery : public QObject {
    Q_OBJECT
public:
    static constexpr int kQuietMs = 2000;
    static constexpr int kMaxWaitMs = 5000;

    /// `$XDG_STATE_HOME/KVHiTemp/recovery`, by default `~/.local/state/KVHiTemp/recovery`.
    static QString defaultFolder();

    /// `casePath` gives the case's own file at the time of a write (empty for a new case).
    CaseRecovery(const QString& folder, CaseEditor& editor, std::function<QString()> casePath,
                 QObject* parent = nullptr);
    ~CaseRecovery() override;

    QString folder() const;
    /// Why copies cannot be kept, once something failed; empty while all is well.
    const QString& error() const { return m_error; }
    /// The stem of this program's own copy.
    const std::string& stem() const { return m_stem; }

    /// A copy left by a program that is no longer running; this one holds its lock now.
    struct LeftCopy {
        std::string stem;
        core::RecoveryRead read;
    };
    /// The copies whose program has ended, each read over `base` (Open's starting case).
    std::vector<LeftCopy> takeLeftCopies(const core::Case& base);
    /// Reads the left copy `stem` again, over `base`.
    core::RecoveryRead read(const std::string& stem, const core::Case& base) const;
    /// The recovered copy `stem` becomes this program's own: it stays on disk until the next
    /// copy of the case replaces it.
    void adopt(const std::string& stem);
    /// Deletes the left copy `stem`.
    void discard(const std::string& stem);
    /// Writes the copy now when the case has changed, and waits until it is on disk (a
    /// termination signal).
    void writeNow();
    /// Waits until the copies' writes and removals so far are done.
    void waitForDisk();

signals:
    /// A copy was written (or could not be: see error()).
    void written();
    /// The first failure to write a copy, as a sentence.
    void failed(const QString& reason);

private:
    void caseChanged();
    void writeCopy();
    /// Removes this program's own copy, after the writes before.
    void removeOwnCopy();
    void fail(const std::string& reason);
    std::unique_ptr<QLockFile> lockFor(const std::string& stem) const;

    core::RecoveryFolder m_folder;
    CaseEditor& m_editor;
    std::function<QString()> m_casePath;
    std::string m_stem;
    std::unique_ptr<QLockFile> m_lock;
    /// The locks of left copies, held until they are recovered or discarded or this ends.
    std::map<std::string, std::unique_ptr<QLockFile>> m_leftLocks;
    QTimer m_timer;
    /// Since the first edit the next copy will hold.
    QElapsedTimer m_pending;
    QString m_error;
    /// One thread that writes and removes this program's copies in turn: a sync may wait for
    /// the disk far longer than a keystroke may (the case's text is made before, here).
    QThreadPool m_disk;
};

} // namespace kvh::ui
