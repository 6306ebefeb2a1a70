#include "ui/editing/templates_menu.h"

#include "core/dew_file.h"
#include "ui/qt_text.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#include <algorithm>
#include <map>

namespace kvh::ui {

namespace {

const QString kMenuTitle = QStringLiteral("New from Te&mplate");
const QString kNoTemplates = QStringLiteral("(no templates found)");
const QString kTemplatesFolder = QStringLiteral("kvhitemp/templates");

/// "powder-coat-cure" -> "Powder Coat Cure".
QString captionOf(const QString& baseName) {
    QStringList words = baseName.split(QLatin1Char('-'), Qt::SkipEmptyParts);
    for (QString& word : words)
        word[0] = word[0].toUpper();
    return words.join(QLatin1Char(' '));
}

} // namespace

TemplatesMenu::TemplatesMenu(QWidget* parent) : QMenu(kMenuTitle, parent) {
    setObjectName(QStringLiteral("mnuNewFromTemplate"));
    menuAction()->setObjectName(QStringLiteral("mnuNewFromTemplateMenu"));
    // The folders are read when the menu opens, not while the window starts.
    connect(this, &QMenu::aboutToShow, this, &TemplatesMenu::rebuild);
}

QStringList TemplatesMenu::folders() {
    QStringList candidates{QCoreApplication::applicationDirPath() + QStringLiteral("/../share/") +
                           kTemplatesFolder};
    candidates << QStandardPaths::locateAll(QStandardPaths::GenericDataLocation, kTemplatesFolder,
                                            QStandardPaths::LocateDirectory);
#ifdef KVH_BUILD_TEMPLATES_DIR
    candidates << QStringLiteral(KVH_BUILD_TEMPLATES_DIR);
#endif
    QStringList found;
    for (const QString& folder : candidates) {
        const QString path = QDir(folder).canonicalPath(); // empty when it does not exist
        if (!path.isEmpty() && !found.contains(path))
            found << path;
    }
    return found;
}

QList<std::pair<QString, QString>> TemplatesMenu::templates(const QStringList& folders) {
    std::map<QString, QString> byName;
    for (const QString& folder : folders)
        for (const QFileInfo& file :
             QDir(folder).entryInfoList({qs(core::kDewPattern)}, QDir::Files | QDir::Readable))
            byName.try_emplace(file.completeBaseName(), file.absoluteFilePath());
    QList<std::pair<QString, QString>> out;
    for (const auto& [name, path] : byName)
        out.append({captionOf(name), path});
    std::sort(out.begin(), out.end());
    return out;
}

void TemplatesMenu::rebuild() {
    clear();
    const QList<std::pair<QString, QString>> found = templates(folders());
    for (const auto& [caption, path] : found) {
        QAction* item = addAction(caption);
        item->setObjectName(QStringLiteral("mnuTemplate_") + QFileInfo(path).completeBaseName());
        item->setToolTip(QDir::toNativeSeparators(path));
        connect(item, &QAction::triggered, this, [this, path] { emit templateChosen(path); });
    }
    if (found.isEmpty())
        addAction(kNoTemplates)->setEnabled(false);
}

} // namespace kvh::ui
