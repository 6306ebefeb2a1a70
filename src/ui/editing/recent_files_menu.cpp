#include "ui/editing/recent_files_menu.h"

#include "ui/editing/file_names.h"
#include "ui/editing/recent_files.h"

#include <QDir>
#include <QFontMetrics>

namespace kvh::ui {

namespace {

const QString kMenuTitle = QStringLiteral("Open &Recent");
const QString kClearCaption = QStringLiteral("&Clear Menu");

/// How wide a caption may be, in average characters; a longer path loses its middle.
constexpr int kWidestCaption = 70;

/// "&3 ~/cases/bake.dew": the number is the item's mnemonic, the home folder is shortened, a
/// long path is cut in the middle ("/srv/.../bake.dew").
QString itemCaption(int number, const QString& path, const QFontMetrics& metrics) {
    QString shown = shownFileName(path);
    const QString home = shownFileName(QDir::homePath());
    if (shown.startsWith(home + QDir::separator()))
        shown = QLatin1Char('~') + shown.mid(home.size());
    shown = metrics.elidedText(shown, Qt::ElideMiddle, metrics.averageCharWidth() * kWidestCaption);
    shown.replace(QLatin1Char('&'), QStringLiteral("&&"));
    return QLatin1Char('&') + QString::number(number) + QLatin1Char(' ') + shown;
}

} // namespace

RecentFilesMenu::RecentFilesMenu(RecentFiles& files, QWidget* parent)
    : QMenu(kMenuTitle, parent), m_files(files) {
    setObjectName(QStringLiteral("mnuOpenRecent"));
    menuAction()->setObjectName(QStringLiteral("mnuOpenRecentMenu"));
    connect(&m_files, &RecentFiles::changed, this, &RecentFilesMenu::rebuild);
    rebuild();
}

void RecentFilesMenu::rebuild() {
    // An item may be the sender of the change ("Clear Menu"): the old items go later.
    for (QAction* old : actions()) {
        removeAction(old);
        old->setObjectName(QString());
        old->deleteLater();
    }
    const QStringList& files = m_files.files();
    for (int i = 0; i < files.size(); ++i) {
        const QString path = files[i];
        QAction* item = addAction(itemCaption(i + 1, path, fontMetrics()));
        item->setObjectName(QStringLiteral("mnuRecent_") + QString::number(i));
        item->setToolTip(shownFileName(path));
        item->setStatusTip(item->toolTip());
        connect(item, &QAction::triggered, this, [this, path] { emit fileChosen(path); });
    }
    addSeparator();
    QAction* clearItem = addAction(kClearCaption);
    clearItem->setObjectName(QStringLiteral("mnuClearRecent"));
    clearItem->setEnabled(!files.isEmpty());
    connect(clearItem, &QAction::triggered, &m_files, &RecentFiles::clear);
    menuAction()->setEnabled(!files.isEmpty());
}

} // namespace kvh::ui
