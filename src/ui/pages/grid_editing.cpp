#include "ui/pages/grid_editing.h"

#include "ui/editing/case_editor.h"
#include "ui/pages/process_page.h"
#include "ui/pages/profile_grid.h"
#include "ui/qt_text.h"

#include <QLineEdit>

namespace kvh::ui {

GridEditing::GridEditing(ProcessPage& page, CaseEditor& editor, QObject* parent)
    : QObject(parent), m_page(page), m_editor(editor) {
    connect(&page, &ProcessPage::addRowClicked, this, &GridEditing::addRow);
    connect(&page, &ProcessPage::rowColClicked, this, &GridEditing::clearSelectedCells);
    connect(&page, &ProcessPage::insertRowClicked, this, &GridEditing::insertRow);
    connect(&page, &ProcessPage::deleteRowsClicked, this, &GridEditing::deleteRows);
    connect(&page, &ProcessPage::convertClicked, &editor, &CaseEditor::convert);
    connect(&grid(), &ProfileGrid::clicked, this, &GridEditing::onGridClicked);
    connect(&grid(), &ProfileGrid::selectionMade, this, &GridEditing::onGridSelectionMade);
    connect(&grid(), &ProfileGrid::editorTextChanged, this, &GridEditing::onCellEditorChanged);
}

ProfileGrid& GridEditing::grid() const {
    return m_page.grid();
}

void GridEditing::onGridClicked() {
    ProfileGrid& g = grid();
    g.hideEditor();
    const core::GridSelection sel = g.selection();
    const core::ClickOutcome outcome = m_editor.click(sel);
    m_page.showClearButton(m_editor.clearButton());
    if (outcome == core::ClickOutcome::OpenEditor)
        g.openEditor(sel.row, sel.col, qs(m_editor.theCase().profile.cell(sel.row, sel.col)));
}

void GridEditing::onGridSelectionMade() {
    ProfileGrid& g = grid();
    g.hideEditor();
    m_editor.select(g.selection());
    m_page.showClearButton(m_editor.clearButton());
}

void GridEditing::onCellEditorChanged() {
    // The editor writes into the cell it sits over, on every keystroke.
    const ProfileGrid& g = grid();
    m_editor.typeCell(g.editorRow(), g.editorCol(), toStd(g.editor()->text()));
}

void GridEditing::addRow() {
    ProfileGrid& g = grid();
    g.hideEditor();
    const int row = m_editor.appendRow();
    g.setCurrentCell(row, core::kColStep);
    g.scrollRowToTop(row);
}

void GridEditing::insertRow(bool below) {
    ProfileGrid& g = grid();
    g.hideEditor();
    const int row = g.selection().row + (below ? 1 : 0);
    if (m_editor.insertRow(row))
        g.setCurrentCell(row, core::kColStep);
}

void GridEditing::deleteRows() {
    ProfileGrid& g = grid();
    g.hideEditor();
    const auto [first, last] = g.selectedRows();
    if (m_editor.deleteRows(first, last - first + 1))
        g.setCurrentCell(std::min(first, m_editor.theCase().profile.rowCount() - 1),
                         core::kColStep);
}

void GridEditing::clearSelectedCells() {
    const core::GridSelection sel = grid().selection();
    m_editor.clearRowOrColumn(sel.row, sel.col);
}

} // namespace kvh::ui
