#include "ui/editing/recent_files.h"

#include "ui/settings_values.h"

#include <QSettings>

namespace kvh::ui {

namespace {

const QString kKey = QStringLiteral("RecentFiles");

QString canonical(const QString& path) {
    return settings_values::canonicalPath(path);
}

} // namespace

RecentFiles::RecentFiles(QObject* parent) : QObject(parent) {}

void RecentFiles::setSettings(QSettings* settings) {
    m_settings = settings;
    m_files.clear();
    if (m_settings)
        m_files = settings_values::recentFiles(settings_values::read(*m_settings, kKey), kMaxFiles);
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
