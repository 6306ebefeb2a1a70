#pragma once
// The one way every file the program writes is saved (cases, exports, the PDF report): the
// Save dialog, the extension added to a name without one, the overwrite question, then the
// program's atomic writer with its refusals (a FIFO, a device, a file without write
// permission), a failure told with the system's reason, e.g. "No space left on device".

#include <QString>

#include <string>
#include <string_view>

class QWidget;

namespace kvh::platform {
class Platform;
}

namespace kvh::ui {

/// What the Save dialog offers for one kind of file.
struct SaveKind {
    QString filter; ///< "CSV file (*.csv)"
    QString suffix; ///< ".csv", added to a name without an extension
    QString errorTitle;
};

class SaveFlow {
public:
    SaveFlow(platform::Platform& platform, QWidget* parent)
        : m_platform(platform), m_parent(parent) {}

    /// The dialog starting at `start` (a folder and a name), the suffix added, the overwrite
    /// question; empty when the user cancelled.
    QString askPath(const QString& start, const SaveKind& kind) const;
    /// The dialog and the suffix alone, for a caller that asks its own replace question.
    QString askName(const QString& start, const SaveKind& kind) const;
    /// Writes `bytes` to `path` atomically; false after telling the user why it failed.
    bool write(const QString& path, std::string_view bytes, const SaveKind& kind) const;
    /// Tells that `path` could not be saved, and why (a core reason, UTF-8).
    void tellFailure(const QString& path, const std::string& reason, const SaveKind& kind) const;

    /// The file `name` beside `casePath` with its extension changed to `suffix`
    /// ("anneal.dew" -> "anneal.series.csv"), or `fallback` in the documents folder for an
    /// unsaved case.
    static QString startBeside(const QString& casePath, const QString& suffix,
                               const QString& fallback);
    /// Where a file dialog starts: the folder of `casePath`, or the documents folder for an
    /// unsaved case.
    static QString startFolder(const QString& casePath);
    /// The user's documents folder (the home folder when there is none).
    static QString documentsFolder();

private:
    platform::Platform& m_platform;
    QWidget* m_parent;
};

} // namespace kvh::ui
