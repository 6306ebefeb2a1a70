#pragma once
// The program's remembered settings (window place, recent files) and where they live.

#include <QString>

#include <memory>

QT_BEGIN_NAMESPACE
class QSettings;
class QTemporaryDir;
QT_END_NAMESPACE

namespace kvh::ui {

/// The settings store for one session. The user's settings file is read and written in place
/// only when it is a regular file (or a link to one) or not there yet: the store writes
/// through a temporary file and a rename, which would replace a device or a FIFO the file
/// links to, and reading a FIFO blocks. Anything else gets a store that starts from the
/// defaults and lives in a private temporary folder until the session ends.
class SettingsFile {
public:
    /// The user's file: `$XDG_CONFIG_HOME/KVHiTemp/KVHiTemp.conf`.
    SettingsFile();
    /// The file at `path` (tests).
    explicit SettingsFile(const QString& path);
    ~SettingsFile();

    QSettings& settings() const { return *m_settings; }
    /// Why the user's file is not used; empty when it is.
    const QString& refusal() const { return m_refusal; }
    static QString userPath();

private:
    std::unique_ptr<QTemporaryDir> m_session;
    std::unique_ptr<QSettings> m_settings;
    QString m_refusal;
};

} // namespace kvh::ui
