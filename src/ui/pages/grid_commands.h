#pragma once
// The grid's cell commands, as a spreadsheet has them: Copy (Ctrl+C) puts the selected cells
// on the clipboard as tab-separated text, Cut (Ctrl+X) also empties their numbers, Paste
// (Ctrl+V) writes a block at the highlighted cell, Delete empties the selected temperatures
// and times. Each change is one undo step. The keys work while the grid itself has the focus
// (the open cell editor keeps its own), and the items are in the grid's menu.

#include <QObject>

#include <QList>

QT_BEGIN_NAMESPACE
class QAction;
class QKeySequence;
class QWidget;
QT_END_NAMESPACE

namespace kvh::platform {
class Platform;
}

namespace kvh::core {
struct PasteOutcome;
}

namespace kvh::ui {

class CaseEditor;
class ProfileGrid;

class GridCommands : public QObject {
    Q_OBJECT
public:
    /// Adds the commands' actions to `grid`; messages are shown over `dialogParent`.
    GridCommands(ProfileGrid& grid, CaseEditor& editor, platform::Platform& platform,
                 QWidget* dialogParent);

    void copy();
    void cut();
    void paste();
    /// Delete: empties the selected temperature and time cells.
    void clearCells();

private:
    QAction* addAction(const QString& name, const QString& caption, const QKeySequence& keys,
                       void (GridCommands::*run)());
    /// Names what a paste left out, if anything.
    void tellPasted(const core::PasteOutcome& outcome);

    ProfileGrid& m_grid;
    CaseEditor& m_editor;
    platform::Platform& m_platform;
    QWidget* m_dialogParent;
};

} // namespace kvh::ui
