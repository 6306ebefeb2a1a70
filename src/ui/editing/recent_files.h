#pragma once
// The files opened or saved last, newest first, kept in the settings when the window has them.

#include <QObject>
#include <QStringList>

QT_BEGIN_NAMESPACE
class QSettings;
QT_END_NAMESPACE

namespace kvh::ui {

/// The list behind File > Open Recent: at most `kMaxFiles` absolute paths, newest first, no
/// duplicates. Without settings it lives as long as the window.
class RecentFiles : public QObject {
    Q_OBJECT
public:
    static constexpr int kMaxFiles = 8;

    explicit RecentFiles(QObject* parent = nullptr);

    /// Reads the list from `settings` and writes every later change there (null: memory only).
    void setSettings(QSettings* settings);
    const QStringList& files() const { return m_files; }

    /// Puts `path` first, dropping its older entry and the oldest beyond the limit.
    void add(const QString& path);
    void remove(const QString& path);
    void clear();

signals:
    void changed();

private:
    void store();

    QStringList m_files;
    QSettings* m_settings = nullptr;
};

} // namespace kvh::ui
