#pragma once
// The main window's menu bar: File (with the recent files and the export items), Edit (with
// undo and redo naming their edit) and About. Each item carries the object name and the
// handler the window's tests and users know it by.

#include <QString>

class QAction;
class QMenu;
class QUndoStack;

namespace kvh::ui {

class RecentFiles;
class RecentFilesMenu;
class TemplatesMenu;
class MainWindow;

/// Builds the menus onto the window; the window keeps only the items it changes later.
class WindowMenus {
public:
    WindowMenus(MainWindow& window, RecentFiles& recentFiles, const QUndoStack& history);
    /// "&Print", enabled while a run's results are kept.
    QAction* print() const { return m_print; }
    /// The recent files submenu.
    RecentFilesMenu* recent() const { return m_recent; }
    /// File > New from Template.
    TemplatesMenu* templates() const { return m_templates; }

private:
    QAction* addItem(QMenu* menu, const QString& name, const QString& caption,
                     void (MainWindow::*handler)()) const;
    void buildUndoItems(QMenu* edit, const QUndoStack& history) const;

    MainWindow& m_window;
    QAction* m_print = nullptr;
    RecentFilesMenu* m_recent = nullptr;
    TemplatesMenu* m_templates = nullptr;
};

} // namespace kvh::ui
