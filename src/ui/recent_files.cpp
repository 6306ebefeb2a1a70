#include "ui/recent_files.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>

namespace kvh::ui {

namespace {

const QString kKey = QStringLiteral("RecentFiles");

/// One spelling per file, so the same case opened two ways is listed once.
QString canonical(const QString& path) {
    return QDir::cleanPath(QFileInfo(path).absoluteFilePath());
}

} // namespace

RecentFiles::RecentFiles(QObject* parent) : QObject(parent) {}

void RecentFiles::setSettings(QSettings* settings) {
    m_settings = settings;
    m_files.clear();
    if (m_settings) {
        for (const QString& path : m_settings->value(kKey).toStringList())
            if (!path.isEmpty() && !m_files.contains(canonical(path)) && m_files.size() < kMaxFiles)
                m_files << canonical(path);
    }
    emit changed();
}

void RecentFiles::add(const QString& path) {
    const QString file = canonical(path);
    m_files.removeAll(file);
    m_files.prepend(file);
    while (m_files.size() > kMaxFiles)
        m_files.removeLast();
    store();
}

void RecentFiles::remove(const QString& path) {
    if (m_files.removeAll(canonical(path)) > 0)
        store();
}

void RecentFiles::clear() {
    m_files.clear();
    store();
}

void RecentFiles::store() {
    if (m_settings)
        m_settings->setValue(kKey, m_files);
    emit changed();
}

} // namespace kvh::ui
