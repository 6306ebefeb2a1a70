#pragma once
// The case's file: where it lives, the Open and Save dialogs, reading and writing it, and the
// unsaved-changes question. The window asks; this class talks to the user through the
// platform and keeps the path.

#include "core/case.h"
#include "core/file_stamp.h"

#include <QString>
#include <QStringList>

#include <optional>

class QWidget;

namespace kvh::platform {
class Platform;
}

namespace kvh::ui {

class CaseEditor;

class CaseFile {
public:
    CaseFile(platform::Platform& platform, QWidget* parent, CaseEditor& editor);

    /// The file the case was opened from or last saved to; empty for a new case.
    const QString& path() const { return m_path; }

    /// Asks Save, Discard or Cancel when the case changed since it was started, opened or
    /// saved. True when the caller may go on: unchanged, discarded, or saved.
    bool maybeSave();
    /// The Save dialog (offering the case's file), ".dew" added to a bare name, the overwrite
    /// question (or, for the case's own file changed by another program since it was opened or
    /// saved, Overwrite / Save As... / Cancel), then the file. A case with cells the file could
    /// not give back is refused first, naming them. True when the case was saved.
    bool save();
    /// The Open dialog, in the case's folder once it has a file; empty when cancelled.
    QString askOpenPath();
    /// Reads `path` into the editor as a fresh case. The notices of fields not read as written,
    /// or nothing when the file could not be opened (the message has been shown).
    std::optional<QStringList> read(const QString& path);
    /// File > New: an empty case as at start, without a file, with a fresh history.
    void startNew();
    /// File > New from Template: the template in `path` as a new case without a file, its
    /// name offered when it is first saved. False when it could not be read (the message has
    /// been shown).
    bool startFromTemplate(const QString& path);

    /// A recovered case: the editor takes it as a case changed since `path` (its own file, or
    /// empty for a new case) was saved.
    void recover(core::Case c, const QString& path);

private:
    QString dialogStart(bool withName) const;
    /// Whether `path` is the case's file and another program changed it since the case last
    /// read or wrote it.
    bool changedByOthers(const QString& path) const;
    enum class Go { On, AskAgain, Stop };
    /// The question before `path` is replaced.
    Go replaceQuestion(const QString& path);

    platform::Platform& m_platform;
    QWidget* m_parent;
    CaseEditor& m_editor;
    QString m_path;
    /// The case's file as the case last read or wrote it.
    std::optional<core::FileStamp> m_stamp;
    /// The name the Save dialog offers a new case: its template's ("anneal"), else empty.
    QString m_suggestedName;
};

} // namespace kvh::ui
