#pragma once
// The process page's editing: a click on a cell opens the cell editor or arms the clear button,
// the editor's keystrokes go into the cell, and the row buttons and the row menu add, insert,
// delete and clear. Each goes to the CaseEditor in one call, as one undo step.

#include <QObject>

namespace kvh::ui {

class CaseEditor;
class ProcessPage;
class ProfileGrid;

/// Connects the page's grid, cell editor and row commands to the case editor.
class GridEditing : public QObject {
    Q_OBJECT
public:
    GridEditing(ProcessPage& page, CaseEditor& editor, QObject* parent);

    void onGridClicked();
    /// A row label, a column header or a Shift gesture selected cells: only the clear button
    /// follows.
    void onGridSelectionMade();
    void onCellEditorChanged();
    void addRow();
    /// A row above (false) or below (true) the current one.
    void insertRow(bool below);
    /// The selected rows.
    void deleteRows();
    void clearSelectedCells();

private:
    ProfileGrid& grid() const;

    ProcessPage& m_page;
    CaseEditor& m_editor;
};

} // namespace kvh::ui
