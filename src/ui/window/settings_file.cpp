#include "ui/window/settings_file.h"

#include "core/path_kind.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>

namespace kvh::ui {

namespace {

const QString kRefusal = QStringLiteral(
    "KVHiTemp: the settings file %1 is not a regular file; the settings start from their "
    "defaults and are kept for this session only.\n");
const QString kSessionFile = QStringLiteral("/session.conf");

} // namespace

QString SettingsFile::userPath() {
    const QString app = QCoreApplication::applicationName();
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QLatin1Char('/') + QCoreApplication::organizationName() + QLatin1Char('/') + app +
           QStringLiteral(".conf");
}

SettingsFile::SettingsFile() : SettingsFile(userPath()) {}

SettingsFile::SettingsFile(const QString& path) {
    if (core::safeForSettings(core::pathKind(QFile::encodeName(path).toStdString()))) {
        m_settings = std::make_unique<QSettings>(path, QSettings::IniFormat);
        return;
    }
    m_refusal = kRefusal.arg(QDir::toNativeSeparators(path));
    m_session = std::make_unique<QTemporaryDir>();
    m_settings =
        std::make_unique<QSettings>(m_session->path() + kSessionFile, QSettings::IniFormat);
}

SettingsFile::~SettingsFile() {
    m_settings.reset(); // written out before its folder goes
}

} // namespace kvh::ui
