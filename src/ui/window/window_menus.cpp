#include "ui/window/window_menus.h"

#include "ui/editing/recent_files_menu.h"
#include "ui/editing/templates_menu.h"

#include <QMenuBar>
#include <QStyle>
#include <QUndoStack>

namespace kvh::ui {

namespace {

/// Undo and redo keep their mnemonic when they name the edit: "&Undo Convert °C / °F".
const QString kUndoPrefix = QStringLiteral("&Undo");
const QString kRedoPrefix = QStringLiteral("&Redo");

QAction* addItem(QMenu* menu, const char* name, const QString& caption,
                 const QKeySequence& shortcut = {}) {
    QAction* action = menu->addAction(caption);
    action->setObjectName(QString::fromLatin1(name));
    action->setShortcut(shortcut);
    return action;
}

void buildFileMenu(QMenu* file, RecentFiles& recentFiles, MenuItems& m) {
    m.newCase = addItem(file, "mnuNew", QStringLiteral("&New"), QKeySequence(Qt::CTRL | Qt::Key_N));
    m.templates = new TemplatesMenu(file);
    file->addMenu(m.templates);
    m.open = addItem(file, "mnuOpen", QStringLiteral("&Open"), QKeySequence(Qt::CTRL | Qt::Key_O));
    m.recent = new RecentFilesMenu(recentFiles, file);
    file->addMenu(m.recent);
    m.save = addItem(file, "mnuSave", QStringLiteral("&Save"), QKeySequence(Qt::CTRL | Qt::Key_S));
    m.print =
        addItem(file, "mnuPrint", QStringLiteral("&Print"), QKeySequence(Qt::CTRL | Qt::Key_P));
    m.print->setEnabled(false); // enabled while a run's results are kept
    m.printSetup = addItem(file, "mnuPrintSetup", QStringLiteral("Printer Set&up"));
    m.printPreview = addItem(file, "mnuPrintPreview", QStringLiteral("Print Preview"));
    m.exportPdf = addItem(file, "mnuExportPdf", QStringLiteral("Export PDF..."));
    m.fitBarrier = addItem(file, "mnuFitBarrier", QStringLiteral("&Fit Barrier to Recording..."));
    m.beforeExit = file->addSeparator();
    m.beforeExit->setObjectName(QStringLiteral("mnuBlank"));
    m.exit = addItem(file, "mnuExit", QStringLiteral("E&xit"), QKeySequence(Qt::CTRL | Qt::Key_Q));
}

void buildUndoItems(QMenu* edit, QUndoStack& history, MenuItems& m) {
    m.undo = history.createUndoAction(edit, kUndoPrefix);
    m.undo->setObjectName(QStringLiteral("mnuUndo"));
    m.undo->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
    m.redo = history.createRedoAction(edit, kRedoPrefix);
    m.redo->setObjectName(QStringLiteral("mnuRedo"));
    m.redo->setShortcuts(
        {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)});
    edit->addActions({m.undo, m.redo});
    // The icons are read from files: once, when the menu first opens, not at start-up.
    QObject::connect(
        edit, &QMenu::aboutToShow, m.undo,
        [undo = m.undo, redo = m.redo, edit] {
            if (!undo->icon().isNull())
                return;
            QStyle* style = edit->style();
            undo->setIcon(QIcon::fromTheme(QStringLiteral("edit-undo"),
                                           style->standardIcon(QStyle::SP_ArrowBack)));
            redo->setIcon(QIcon::fromTheme(QStringLiteral("edit-redo"),
                                           style->standardIcon(QStyle::SP_ArrowForward)));
        },
        Qt::DirectConnection);
    edit->addSeparator();
}

} // namespace

MenuItems buildMenuBar(QMenuBar& bar, RecentFiles& recentFiles, QUndoStack& history) {
    MenuItems m;
    m.file = bar.addMenu(QStringLiteral("&File"));
    m.file->setObjectName(QStringLiteral("mnuFile"));
    buildFileMenu(m.file, recentFiles, m);

    m.edit = bar.addMenu(QStringLiteral("&Edit"));
    m.edit->setObjectName(QStringLiteral("mnuEdit"));
    buildUndoItems(m.edit, history, m);
    m.copyGraph = addItem(m.edit, "mnuCopyGraph", QStringLiteral("Copy Graph"));
    m.copyData = addItem(m.edit, "mnuCopyData", QStringLiteral("&Copy Data and Text"));
    m.reset = addItem(m.edit, "mnuReset", QStringLiteral("Reset"));

    // No mnemonic: every letter of "Help" is taken on some page (Alt+H chooses hours); F1 opens
    // the handbook directly.
    QMenu* help = bar.addMenu(QStringLiteral("Help"));
    help->setObjectName(QStringLiteral("mnuHelp"));
    m.handbook =
        addItem(help, "mnuHandbook", QStringLiteral("KVHiTemp Handbook"), QKeySequence(Qt::Key_F1));
    m.about = bar.addAction(QStringLiteral("&About"));
    m.about->setObjectName(QStringLiteral("mnuAbout"));
    return m;
}

} // namespace kvh::ui
