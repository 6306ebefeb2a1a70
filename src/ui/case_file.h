#pragma once
// The case's file: where it lives, the Open and Save dialogs, reading and writing it, and the
// unsaved-changes question. The window asks; this class talks to the user through the
// platform and keeps the path.

#include "core/case.h"

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
    /// question, then the file. True when the case was saved.
    bool save();
    /// The Open dialog, in the case's folder once it has a file; empty when cancelled.
    QString askOpenPath();
    /// Reads `path` into the editor as a fresh case. The notices of fields not read as written,
    /// or nothing when the file could not be opened (the message has been shown).
    std::optional<QStringList> read(const QString& path);

    /// A recovered case: the editor takes it as a case changed since `path` (its own file, or
    /// empty for a new case) was saved.
    void recover(core::Case c, const QString& path);

private:
    QString dialogStart(bool withName) const;

    platform::Platform& m_platform;
    QWidget* m_parent;
    CaseEditor& m_editor;
    QString m_path;
};

} // namespace kvh::ui
