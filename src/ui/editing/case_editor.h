#pragma once
// The editing object over the case. Every edit the user makes (a click on the grid, typing into
// a cell, inserting, deleting or clearing rows, converting units, the setup and unit choices)
// is one operation here: it runs the core's rule on a copy of the case, and when the case
// changed it pushes the change as a command on the undo history. Doing, undoing and redoing a
// command all go through `apply`, which tells the grid's model what changed.

#include "core/case.h"
#include "core/grid_clipboard.h"
#include "ui/editing/profile_model.h"

#include <QObject>
#include <QUndoStack>

#include <functional>

namespace kvh::ui {

class CaseCommand;
class CellCommand;

/// The case, its undo history and the grid's model over its profile.
class CaseEditor : public QObject {
    Q_OBJECT
public:
    explicit CaseEditor(QObject* parent = nullptr);

    const core::Case& theCase() const { return m_case; }
    ProfileModel& model() { return m_model; }
    QUndoStack& history() { return m_history; }
    const core::ClearButton& clearButton() const { return m_clear; }
    /// The case differs from the one started, opened or last saved.
    bool isModified() const { return !m_history.isClean(); }
    void markSaved() { m_history.setClean(); }
    /// The case differs from any file from now on (a recovered copy), until it is saved.
    void markModified() { m_history.resetClean(); }
    /// Open: the opened case replaces this one, with a fresh history.
    void replaceCase(core::Case c);

    /// A click on the grid with the selection it left. A visit to a temperature or time cell
    /// starts here: the typing that follows, until the next click, is one command.
    core::ClickOutcome click(const core::GridSelection& sel);
    /// A gesture that only selects (a row label, a column header, Shift): arms the clear
    /// button, changes nothing in the case and pushes nothing on the history.
    void select(const core::GridSelection& sel);
    /// Empties the temperature and time cells of `range` as one command named `name`
    /// ("Clear Cells" for Delete, "Cut"); false when they were empty already.
    bool clearNumbers(const core::CellRange& range, const QString& name);
    /// Pastes `block` at `target` as one command, rows added at the bottom as needed.
    core::PasteOutcome paste(const core::CellRange& target, const core::PasteBlock& block);
    /// The overlay editor's whole text for the cell of the current visit.
    void typeCell(int row, int col, const std::string& text);
    /// "Insert a Row" (appends); returns the new row.
    int appendRow();
    /// Inserts an empty row at `row` (rows below move down); false when the rule refuses.
    bool insertRow(int row);
    /// Deletes rows [first, first + count); false when the rule refuses.
    bool deleteRows(int first, int count);
    void clearRowOrColumn(int row, int col);
    /// Replaces the whole profile table (a profile made from a recording) as one command
    /// named `name`; false when nothing changed.
    bool replaceProfile(const QString& name, const core::ProfileTable& table);
    /// 0: temperatures into the chosen unit, 1: times.
    void convert(int index);
    void selectModel(int index);
    void selectTracer(int index);
    void selectEnviron(int index);
    void selectTempUnit(int index);
    void selectTimeUnit(int index);

signals:
    /// The case changed (by an edit, an undo or a redo, or Open).
    void changed();

private:
    friend class CaseCommand;
    friend class CellCommand;

    /// Pushes `op` as a command named `name` when it changes the case.
    bool edit(const QString& name, const std::function<bool(core::Case&)>& op, RowShift shift = {});
    void apply(const core::Case& to, RowShift shift);
    void applyCell(int row, int col, const std::string& text);

    core::Case m_case;
    core::ClearButton m_clear;
    ProfileModel m_model;
    QUndoStack m_history;
    /// Counts the visits to cells, so that one visit's keystrokes make one command.
    int m_visit = 0;
};

} // namespace kvh::ui
