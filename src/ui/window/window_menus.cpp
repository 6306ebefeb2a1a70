#include "ui/window/window_menus.h"

#include "ui/editing/recent_files_menu.h"
#include "ui/editing/templates_menu.h"
#include "ui/output/export_menu.h"
#include "ui/window/main_window.h"

#include <QMenuBar>
#include <QStyle>
#include <QUndoStack>

namespace kvh::ui {

namespace {

const QString kUndoCaption = QStringLiteral("&Undo");
const QString kRedoCaption = QStringLiteral("&Redo");
const QString kUndoNamed = QStringLiteral("Undo %1");
const QString kRedoNamed = QStringLiteral("Redo %1");

} // namespace

QAction* WindowMenus::addItem(QMenu* menu, const QString& name, const QString& caption,
                              void (MainWindow::*handler)()) const {
    QAction* action = menu->addAction(caption);
    action->setObjectName(name);
    QObject::connect(action, &QAction::triggered, &m_window, handler);
    return action;
}

WindowMenus::WindowMenus(MainWindow& window, RecentFiles& recentFiles, const QUndoStack& history)
    : m_window(window) {
    QMenuBar* bar = window.menuBar();
    QMenu* file = bar->addMenu(QStringLiteral("&File"));
    file->setObjectName(QStringLiteral("mnuFile"));
    addItem(file, QStringLiteral("mnuNew"), QStringLiteral("&New"), &MainWindow::mnuNew_Click)
        ->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_N));
    m_templates = new TemplatesMenu(file);
    file->addMenu(m_templates);
    addItem(file, QStringLiteral("mnuOpen"), QStringLiteral("&Open"), &MainWindow::mnuOpen_Click)
        ->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
    m_recent = new RecentFilesMenu(recentFiles, file);
    file->addMenu(m_recent);
    addItem(file, QStringLiteral("mnuSave"), QStringLiteral("&Save"), &MainWindow::mnuSave_Click)
        ->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    m_print = addItem(file, QStringLiteral("mnuPrint"), QStringLiteral("&Print"),
                      &MainWindow::mnuPrint_Click);
    m_print->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_P));
    m_print->setEnabled(false); // enabled while a run's results are kept
    addItem(file, QStringLiteral("mnuPrintSetup"), QStringLiteral("Printer Set&up"),
            &MainWindow::mnuPrintSetup_Click);
    addItem(file, QStringLiteral("mnuPrintPreview"), QStringLiteral("Print Preview"),
            &MainWindow::mnuPrintPreview_Click);
    addItem(file, QStringLiteral("mnuExportPdf"), QStringLiteral("Export PDF..."),
            &MainWindow::mnuExportPdf_Click);
    addItem(file, QStringLiteral("mnuFitBarrier"), QStringLiteral("&Fit Barrier to Recording..."),
            &MainWindow::mnuFitBarrier_Click);
    QAction* blank = file->addSeparator();
    blank->setObjectName(QStringLiteral("mnuBlank"));
    new ExportMenu(window, file, blank);
    addItem(file, QStringLiteral("mnuExit"), QStringLiteral("E&xit"), &MainWindow::mnuExit_Click)
        ->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));

    QMenu* edit = bar->addMenu(QStringLiteral("&Edit"));
    edit->setObjectName(QStringLiteral("mnuEdit"));
    buildUndoItems(edit, history);
    addItem(edit, QStringLiteral("mnuCopyGraph"), QStringLiteral("Copy Graph"),
            &MainWindow::mnuCopyGraph_Click);
    addItem(edit, QStringLiteral("mnuCopyData"), QStringLiteral("&Copy Data and Text"),
            &MainWindow::mnuCopyData_Click);
    addItem(edit, QStringLiteral("mnuReset"), QStringLiteral("Reset"), &MainWindow::mnuReset_Click);

    // No mnemonic: every letter of "Help" is taken on some page (Alt+H chooses hours); F1 opens
    // the handbook directly.
    QMenu* help = bar->addMenu(QStringLiteral("Help"));
    help->setObjectName(QStringLiteral("mnuHelp"));
    addItem(help, QStringLiteral("mnuHandbook"), QStringLiteral("KVHiTemp Handbook"),
            &MainWindow::mnuHandbook_Click)
        ->setShortcut(QKeySequence(Qt::Key_F1));
    QAction* about = bar->addAction(QStringLiteral("&About"));
    about->setObjectName(QStringLiteral("mnuAbout"));
    QObject::connect(about, &QAction::triggered, &window, &MainWindow::mnuAbout_Click);
}

void WindowMenus::buildUndoItems(QMenu* edit, const QUndoStack& history) const {
    QAction* undo =
        addItem(edit, QStringLiteral("mnuUndo"), kUndoCaption, &MainWindow::mnuUndo_Click);
    undo->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
    QAction* redo =
        addItem(edit, QStringLiteral("mnuRedo"), kRedoCaption, &MainWindow::mnuRedo_Click);
    redo->setShortcuts(
        {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)});
    // The icons are read from files: once, when the menu first opens, not at start-up.
    QObject::connect(
        edit, &QMenu::aboutToShow, undo,
        [undo, redo, style = m_window.style()] {
            if (!undo->icon().isNull())
                return;
            undo->setIcon(QIcon::fromTheme(QStringLiteral("edit-undo"),
                                           style->standardIcon(QStyle::SP_ArrowBack)));
            redo->setIcon(QIcon::fromTheme(QStringLiteral("edit-redo"),
                                           style->standardIcon(QStyle::SP_ArrowForward)));
        },
        Qt::DirectConnection);
    edit->addSeparator();
    // The items name the edit they would undo or redo, e.g. "Undo Convert °C / °F".
    const auto name = [](const QString& plain, const QString& named, const QString& text) {
        return text.isEmpty() ? plain : named.arg(text);
    };
    const auto show = [=, &history] {
        undo->setEnabled(history.canUndo());
        undo->setText(name(kUndoCaption, kUndoNamed, history.undoText()));
        redo->setEnabled(history.canRedo());
        redo->setText(name(kRedoCaption, kRedoNamed, history.redoText()));
    };
    QObject::connect(&history, &QUndoStack::indexChanged, &m_window, show);
    QObject::connect(&history, &QUndoStack::cleanChanged, &m_window, show);
    show();
}

} // namespace kvh::ui
