#include "ui/editing/case_file.h"

#include "core/dew_file.h"
#include "platform/platform.h"
#include "ui/editing/case_editor.h"
#include "ui/editing/file_names.h"
#include "ui/editing/overwrite_question.h"
#include "ui/editing/save_flow.h"
#include "ui/qt_text.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace kvh::ui {

using platform::Buttons;
using platform::Icon;

namespace {

const QString kOpenErrorText = QStringLiteral("The file %1 could not be opened:\n%2");
const QString kOpenErrorTitle = QStringLiteral("Open Error");
const QString kSaveErrorTitle = QStringLiteral("Save Error");
const QString kUnsavedText =
    QStringLiteral("The case %1 has changed since it was saved.\nDo you want to save it?");
const QString kUnsavedNewText =
    QStringLiteral("The new case has not been saved.\nDo you want to save it?");
const QString kUnsavedTitle = QStringLiteral("Save Changes");
const QString kChangedText =
    QStringLiteral("The file was changed by another program since you opened it");
const QString kChangedTitle = QStringLiteral("File Changed");
const QString kUnsavableText = QStringLiteral("The case could not be saved:\n%1");
const QString kDialogName = QLatin1Char('/') + qs(core::kDewPattern);
const QString kDewSuffix = qs(core::kDewSuffix);

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
    return localFileName(path).toStdString();
}

SaveKind dewKind() {
    return {dialogFilter(), kDewSuffix, kSaveErrorTitle};
}

QString cleanAbsolute(const QString& path) {
    return QDir::cleanPath(QFileInfo(path).absoluteFilePath());
}

} // namespace

CaseFile::CaseFile(platform::Platform& platform, QWidget* parent, CaseEditor& editor)
    : m_platform(platform), m_parent(parent), m_editor(editor) {}

QString CaseFile::dialogStart(bool withName) const {
    const QString folder = SaveFlow::startFolder(m_path);
    if (withName && !m_path.isEmpty())
        return QFileInfo(m_path).absoluteFilePath();
    if (withName && !m_suggestedName.isEmpty())
        return folder + QLatin1Char('/') + m_suggestedName + kDewSuffix;
    return folder + kDialogName;
}

bool CaseFile::maybeSave() {
    if (!m_editor.isModified())
        return true;
    const QString text =
        m_path.isEmpty() ? kUnsavedNewText : kUnsavedText.arg(shownFileName(m_path));
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
    // Looked at before reading: a change made while the file is read is still seen at Save.
    const std::optional<core::FileStamp> stamp = core::fileStamp(localPath(path));
    auto opened = core::openDewFile(localPath(path), m_editor.theCase(), &notices);
    if (const auto* error = std::get_if<core::DewError>(&opened)) {
        m_platform.messageBox(m_parent, kOpenErrorText.arg(shownFileName(path), qs(error->reason)),
                              kOpenErrorTitle, Buttons::Ok, Icon::Critical);
        return std::nullopt;
    }
    m_path = path;
    m_stamp = stamp;
    m_suggestedName.clear();
    m_editor.replaceCase(std::move(std::get<core::Case>(opened)));
    QStringList lines;
    for (const std::string& notice : notices)
        lines << qs(notice);
    return lines;
}

bool CaseFile::changedByOthers(const QString& path) const {
    if (m_path.isEmpty() || !m_stamp)
        return false;
    const std::optional<core::FileStamp> now = core::fileStamp(localPath(path));
    if (!now) // gone: nothing of another program's to lose
        return false;
    const bool caseFile = cleanAbsolute(path) == cleanAbsolute(m_path) || now->sameFile(*m_stamp);
    return caseFile && *now != *m_stamp;
}

CaseFile::Go CaseFile::replaceQuestion(const QString& path) {
    if (!changedByOthers(path))
        return confirmOverwrite(m_platform, m_parent, path) ? Go::On : Go::Stop;
    switch (m_platform.messageBox(m_parent, kChangedText, kChangedTitle,
                                  Buttons::OverwriteSaveAsCancel, Icon::Warning)) {
    case platform::Answer::Overwrite:
        return Go::On;
    case platform::Answer::SaveAs:
        return Go::AskAgain;
    default:
        return Go::Stop;
    }
}

void CaseFile::startNew() {
    m_path.clear();
    m_stamp.reset();
    m_suggestedName.clear();
    m_editor.replaceCase(core::Case{});
}

bool CaseFile::startFromTemplate(const QString& path) {
    // A template names every choice; it starts from a case as at start all the same.
    auto opened = core::openDewFile(localPath(path), core::Case{});
    if (const auto* error = std::get_if<core::DewError>(&opened)) {
        m_platform.messageBox(m_parent, kOpenErrorText.arg(shownFileName(path), qs(error->reason)),
                              kOpenErrorTitle, Buttons::Ok, Icon::Critical);
        return false;
    }
    m_path.clear();
    m_stamp.reset();
    m_suggestedName = QFileInfo(path).completeBaseName();
    m_editor.replaceCase(std::move(std::get<core::Case>(opened)));
    return true;
}

void CaseFile::recover(core::Case c, const QString& path) {
    m_path = path;
    m_stamp.reset(); // Save asks the usual question
    m_suggestedName.clear();
    m_editor.replaceCase(std::move(c));
    m_editor.markModified();
}

bool CaseFile::save() {
    const std::string refusal = core::unsavableCellsMessage(m_editor.theCase());
    if (!refusal.empty()) {
        m_platform.messageBox(m_parent, kUnsavableText.arg(qs(refusal)), kSaveErrorTitle,
                              Buttons::Ok, Icon::Critical);
        return false;
    }
    const SaveFlow flow(m_platform, m_parent);
    QString path;
    for (Go go = Go::AskAgain; go != Go::On;) {
        path = flow.askName(dialogStart(true), dewKind());
        if (path.isEmpty())
            return false;
        go = replaceQuestion(path);
        if (go == Go::Stop)
            return false;
    }
    const std::string error = core::saveDewFile(localPath(path), m_editor.theCase());
    if (!error.empty()) {
        flow.tellFailure(path, error, dewKind());
        return false;
    }
    m_path = path;
    m_stamp = core::fileStamp(localPath(path));
    m_suggestedName.clear();
    m_editor.markSaved();
    return true;
}

} // namespace kvh::ui
