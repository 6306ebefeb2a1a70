#pragma once
// The main window's menu bar: File (with the recent files and the templates), Edit (with undo
// and redo naming their edit), Help and About. Each item carries the object name that tests,
// scripts and screen readers know it by; the window connects the items to what they do.

class QAction;
class QMenu;
class QMenuBar;
class QUndoStack;

namespace kvh::ui {

class RecentFiles;
class RecentFilesMenu;
class TemplatesMenu;

/// The items of the menu bar, as the window connects them.
struct MenuItems {
    QMenu* file = nullptr;
    QMenu* edit = nullptr;
    QAction* newCase = nullptr;
    TemplatesMenu* templates = nullptr;
    QAction* open = nullptr;
    RecentFilesMenu* recent = nullptr;
    QAction* save = nullptr;
    /// "&Print", disabled until a run's results are kept.
    QAction* print = nullptr;
    QAction* printSetup = nullptr;
    QAction* printPreview = nullptr;
    QAction* exportPdf = nullptr;
    QAction* fitBarrier = nullptr;
    /// The blank line before "E&xit": the export submenu goes in front of it.
    QAction* beforeExit = nullptr;
    QAction* exit = nullptr;
    /// Undo and redo follow the history itself: enabled, and named after the edit.
    QAction* undo = nullptr;
    QAction* redo = nullptr;
    QAction* copyGraph = nullptr;
    QAction* copyData = nullptr;
    QAction* reset = nullptr;
    QAction* handbook = nullptr;
    QAction* about = nullptr;
};

/// Builds the menus onto `bar`; undo and redo act on `history`.
MenuItems buildMenuBar(QMenuBar& bar, RecentFiles& recentFiles, QUndoStack& history);

} // namespace kvh::ui
