#include "ui/case_file.h"

#include "core/dew_file.h"
#include "platform/platform.h"
#include "ui/case_editor.h"
#include "ui/overwrite_question.h"
#include "ui/qt_text.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

namespace kvh::ui {

using platform::Buttons;
using platform::Icon;

namespace {

const QString kOpenErrorText = QStringLiteral("The file %1 could not be opened:\n%2");
const QString kOpenErrorTitle = QStringLiteral("Open Error");
const QString kSaveErrorText = QStringLiteral("The file %1 could not be saved:\n%2");
const QString kSaveErrorTitle = QStringLiteral("Save Error");
const QString kUnsavedText =
    QStringLiteral("The case %1 has changed since it was saved.\nDo you want to save it?");
const QString kUnsavedNewText =
    QStringLiteral("The new case has not been saved.\nDo you want to save it?");
const QString kUnsavedTitle = QStringLiteral("Save Changes");
const QString kDialogName = QStringLiteral("/*.dew");
const QString kDewSuffix = QStringLiteral(".dew");

/// The file filter "Description|pattern|..." as a Qt dialog takes it. "*.*" means every
/// file, also those without an extension.
QString dialogFilter() {
    const QStringList parts = qs(core::kDewFilter).split(QLatin1Char('|'));
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        const QString pattern =
            parts[i + 1] == QStringLiteral("*.*") ? QStringLiteral("*") : parts[i + 1];
        filters << parts[i] + QStringLiteral(" (") + pattern + QLatin1Char(')');
    }
    return filters.join(QStringLiteral(";;"));
}

std::string localPath(const QString& path) {
    return QFile::encodeName(path).toStdString();
}

} // namespace

CaseFile::CaseFile(platform::Platform& platform, QWidget* parent, CaseEditor& editor)
    : m_platform(platform), m_parent(parent), m_editor(editor) {}

QString CaseFile::dialogStart(bool withName) const {
    if (!m_path.isEmpty()) {
        const QFileInfo file(m_path);
        return withName ? file.absoluteFilePath() : file.absolutePath() + kDialogName;
    }
    // The program's own folder is read-only once installed: start in the user's documents.
    QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (folder.isEmpty() || !QDir(folder).exists())
        folder = QDir::homePath();
    return folder + kDialogName;
}

bool CaseFile::maybeSave() {
    if (!m_editor.isModified())
        return true;
    const QString text =
        m_path.isEmpty() ? kUnsavedNewText : kUnsavedText.arg(QDir::toNativeSeparators(m_path));
    switch (m_platform.messageBox(m_parent, text, kUnsavedTitle, Buttons::SaveDiscardCancel,
                                  Icon::Warning)) {
    case platform::Answer::Save:
        return save();
    case platform::Answer::Discard:
        return true;
    default:
        return false;
    }
}

QString CaseFile::askOpenPath() {
    return m_platform.openFileName(m_parent, dialogStart(false), dialogFilter());
}

std::optional<QStringList> CaseFile::read(const QString& path) {
    std::vector<std::string> notices;
    auto opened = core::openDewFile(localPath(path), m_editor.theCase(), &notices);
    if (const auto* error = std::get_if<core::DewError>(&opened)) {
        m_platform.messageBox(m_parent,
                              kOpenErrorText.arg(QDir::toNativeSeparators(path), qs(error->reason)),
                              kOpenErrorTitle, Buttons::Ok, Icon::Critical);
        return std::nullopt;
    }
    m_path = path;
    m_editor.replaceCase(std::move(std::get<core::Case>(opened)));
    QStringList lines;
    for (const std::string& notice : notices)
        lines << qs(notice);
    return lines;
}

void CaseFile::recover(core::Case c, const QString& path) {
    m_path = path;
    m_editor.replaceCase(std::move(c));
    m_editor.markModified();
}

bool CaseFile::save() {
    QString path = m_platform.saveFileName(m_parent, dialogStart(true), dialogFilter());
    if (path.isEmpty())
        return false;
    if (QFileInfo(path).suffix().isEmpty())
        path += kDewSuffix;
    if (!confirmOverwrite(m_platform, m_parent, path))
        return false;
    const std::string error = core::saveDewFile(localPath(path), m_editor.theCase());
    if (!error.empty()) {
        m_platform.messageBox(m_parent,
                              kSaveErrorText.arg(QDir::toNativeSeparators(path), qs(error)),
                              kSaveErrorTitle, Buttons::Ok, Icon::Critical);
        return false;
    }
    m_path = path;
    m_editor.markSaved();
    return true;
}

} // namespace kvh::ui
