#include "ui/editing/save_flow.h"

#include "core/file_io.h"
#include "platform/platform.h"
#include "ui/editing/file_names.h"
#include "ui/editing/overwrite_question.h"
#include "ui/qt_text.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace kvh::ui {

namespace {

const QString kSaveErrorText = QStringLiteral("The file %1 could not be saved:\n%2");

} // namespace

QString SaveFlow::askPath(const QString& start, const SaveKind& kind) const {
    const QString path = askName(start, kind);
    if (path.isEmpty())
        return {};
    return confirmOverwrite(m_platform, m_parent, path) ? path : QString();
}

QString SaveFlow::askName(const QString& start, const SaveKind& kind) const {
    QString path = m_platform.saveFileName(m_parent, start, kind.filter);
    if (path.isEmpty())
        return {};
    if (QFileInfo(path).suffix().isEmpty())
        path += kind.suffix;
    return path;
}

bool SaveFlow::write(const QString& path, std::string_view bytes, const SaveKind& kind) const {
    const std::string error = core::writeFileAtomically(localFileName(path).toStdString(), bytes);
    if (!error.empty())
        tellFailure(path, error, kind);
    return error.empty();
}

void SaveFlow::tellFailure(const QString& path, const std::string& reason,
                           const SaveKind& kind) const {
    m_platform.messageBox(m_parent, kSaveErrorText.arg(shownFileName(path), qs(reason)),
                          kind.errorTitle, platform::Buttons::Ok, platform::Icon::Critical);
}

QString SaveFlow::startBeside(const QString& casePath, const QString& suffix,
                              const QString& fallback) {
    const QString name =
        casePath.isEmpty() ? fallback : QFileInfo(casePath).completeBaseName() + suffix;
    return startFolder(casePath) + QLatin1Char('/') + name;
}

QString SaveFlow::startFolder(const QString& casePath) {
    return casePath.isEmpty() ? documentsFolder() : QFileInfo(casePath).absolutePath();
}

QString SaveFlow::documentsFolder() {
    // The program's own folder is read-only once installed: start in the user's documents.
    QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (folder.isEmpty() || !QDir(folder).exists())
        folder = QDir::homePath();
    return folder;
}

} // namespace kvh::ui
