#include "ui/editing/case_editor.h"

#include "core/dew_file.h"
#include "ui/qt_text.h"

#include <QUndoCommand>

namespace kvh::ui {

namespace {

const QString kStepName = QStringLiteral("Step Type");
const QString kTypingName = QStringLiteral("Typing");
const QString kInsertRowName = QStringLiteral("Insert Row");
const QString kDeleteRowsName = QStringLiteral("Delete Rows");
const QString kConvertTempName = QStringLiteral("Convert °C / °F");
const QString kConvertTimeName = QStringLiteral("Convert Hrs. / Mins.");
const QString kChooseName = QStringLiteral("Choose %1");
const QString kPasteName = QStringLiteral("Paste");
/// The history keeps this many commands; each holds two copies of the case at most.
constexpr int kUndoLimit = 500;

QString choiceName(std::string_view caption) {
    return kChooseName.arg(qs(caption).trimmed());
}

} // namespace

/// An edit as the case before and after it.
class CaseCommand : public QUndoCommand {
public:
    CaseCommand(CaseEditor& editor, const QString& name, core::Case before, core::Case after,
                RowShift shift)
        : QUndoCommand(name), m_editor(editor), m_before(std::move(before)),
          m_after(std::move(after)), m_shift(shift) {}
    void redo() override { m_editor.apply(m_after, m_shift); }
    void undo() override { m_editor.apply(m_before, m_shift.inverse()); }

private:
    CaseEditor& m_editor;
    core::Case m_before;
    core::Case m_after;
    RowShift m_shift;
};

/// One visit's typing into one cell; the visit's later keystrokes merge into it.
class CellCommand : public QUndoCommand {
public:
    CellCommand(CaseEditor& editor, int visit, int row, int col, std::string before,
                std::string after)
        : QUndoCommand(kTypingName), m_editor(editor), m_visit(visit), m_row(row), m_col(col),
          m_before(std::move(before)), m_after(std::move(after)) {}
    int id() const override { return 1; }
    bool mergeWith(const QUndoCommand* other) override {
        const auto* next = static_cast<const CellCommand*>(other);
        if (next->m_visit != m_visit || next->m_row != m_row || next->m_col != m_col)
            return false;
        m_after = next->m_after;
        setObsolete(m_after == m_before); // typed back to where the visit began
        return true;
    }
    void redo() override { m_editor.applyCell(m_row, m_col, m_after); }
    void undo() override { m_editor.applyCell(m_row, m_col, m_before); }

private:
    CaseEditor& m_editor;
    int m_visit;
    int m_row;
    int m_col;
    std::string m_before;
    std::string m_after;
};

CaseEditor::CaseEditor(QObject* parent)
    : QObject(parent), m_model(m_case.profile), m_history(this) {
    m_history.setUndoLimit(kUndoLimit);
}

void CaseEditor::replaceCase(core::Case c) {
    m_history.clear();
    m_model.replace([&] { m_case = std::move(c); });
    m_clear = {};
    emit changed();
}

bool CaseEditor::edit(const QString& name, const std::function<bool(core::Case&)>& op,
                      RowShift shift) {
    core::Case after = m_case;
    if (!op(after) || after == m_case)
        return false;
    m_history.push(new CaseCommand(*this, name, m_case, std::move(after), shift));
    return true;
}

void CaseEditor::apply(const core::Case& to, RowShift shift) {
    // Rows come and go first with the other rows as they were; then their new labels (and
    // everything else) change in place.
    core::ProfileTable& table = m_case.profile;
    if (shift.count > 0)
        m_model.change([&] { table.insertEmptyRows(shift.first, shift.count); }, shift);
    else if (shift.count < 0)
        m_model.change([&] { table.removeRows(shift.first, -shift.count); }, shift);
    m_model.change([&] { m_case = to; });
    emit changed();
}

void CaseEditor::applyCell(int row, int col, const std::string& text) {
    m_model.changeCell(row, [&] { m_case.profile.setCell(row, col, text); });
    emit changed();
}

core::ClickOutcome CaseEditor::click(const core::GridSelection& sel) {
    core::Case after = m_case;
    const core::ClickOutcome outcome = core::gridClick(after.profile, m_clear, sel);
    if (outcome == core::ClickOutcome::OpenEditor) {
        ++m_visit;
        // An end step's time filled with "0" is the visit's first change.
        typeCell(sel.row, sel.col, after.profile.cell(sel.row, sel.col));
    } else if (outcome == core::ClickOutcome::StepCycled) {
        m_history.push(new CaseCommand(*this, kStepName, m_case, std::move(after), {}));
    }
    return outcome;
}

void CaseEditor::select(const core::GridSelection& sel) {
    core::armClearButton(m_clear, sel);
}

bool CaseEditor::clearNumbers(const core::CellRange& range, const QString& name) {
    return edit(name, [&](core::Case& c) { return core::clearNumbers(c.profile, range); });
}

core::PasteOutcome CaseEditor::paste(const core::CellRange& target, const core::PasteBlock& block) {
    core::Case after = m_case;
    const int rows = m_case.profile.rowCount();
    // The rows a file may hold, so that every pasted case can be saved and opened again.
    core::PasteOutcome outcome =
        core::pasteBlock(after.profile, target, block, core::kMaxProfileRows);
    if (after != m_case)
        m_history.push(new CaseCommand(*this, kPasteName, m_case, std::move(after),
                                       {rows, outcome.rowsAdded}));
    return outcome;
}

void CaseEditor::typeCell(int row, int col, const std::string& text) {
    if (row < 1 || row >= m_case.profile.rowCount() || col <= core::kColStep ||
        col >= core::kColumnCount)
        return;
    const std::string& before = m_case.profile.cell(row, col);
    if (before == text)
        return;
    m_history.push(new CellCommand(*this, m_visit, row, col, before, text));
}

bool CaseEditor::replaceProfile(const QString& name, const core::ProfileTable& table) {
    // The rows the two tables do not share come or go at the end.
    const int before = m_case.profile.rowCount();
    const int after = table.rowCount();
    const RowShift shift{std::min(before, after), after - before};
    return edit(
        name,
        [&](core::Case& c) {
            c.profile = table;
            return true;
        },
        shift);
}

int CaseEditor::appendRow() {
    const int row = m_case.profile.rowCount();
    edit(qs(core::kInsertRowCaption), [](core::Case& c) { return core::insertRow(c.profile) > 0; },
         {row, 1});
    return row;
}

bool CaseEditor::insertRow(int row) {
    return edit(kInsertRowName, [row](core::Case& c) { return core::insertRowAt(c.profile, row); },
                {row, 1});
}

bool CaseEditor::deleteRows(int first, int count) {
    return edit(kDeleteRowsName,
                [=](core::Case& c) { return core::deleteRows(c.profile, first, count); },
                {first, -count});
}

void CaseEditor::clearRowOrColumn(int row, int col) {
    // The button's caption names the command, so read it before the rule resets it.
    const QString name = qs(m_clear.caption);
    edit(name, [&](core::Case& c) {
        core::clearRowOrColumn(c.profile, m_clear, row, col);
        return true;
    });
    emit changed(); // the button is disarmed even when nothing was cleared
}

void CaseEditor::convert(int index) {
    if (index == 0)
        edit(kConvertTempName, [](core::Case& c) {
            core::convertTemperatures(c.profile, c.setup.celsius());
            return true;
        });
    else
        edit(kConvertTimeName, [](core::Case& c) {
            core::convertTimes(c.profile, c.setup.hours());
            return true;
        });
}

void CaseEditor::selectModel(int index) {
    edit(choiceName(core::kModelCaptions[static_cast<size_t>(index)]), [index](core::Case& c) {
        c.setup.selectModel(index);
        return true;
    });
}

void CaseEditor::selectTracer(int index) {
    edit(choiceName(core::kTracerCaptions[static_cast<size_t>(index)]), [index](core::Case& c) {
        c.setup.selectTracer(index);
        return true;
    });
}

void CaseEditor::selectEnviron(int index) {
    edit(choiceName(core::kEnvironCaptions[static_cast<size_t>(index)]), [index](core::Case& c) {
        c.setup.selectEnviron(index);
        return true;
    });
}

void CaseEditor::selectTempUnit(int index) {
    edit(choiceName(core::kTempUnitCaptions[static_cast<size_t>(index)]), [index](core::Case& c) {
        c.selectTempUnit(index);
        return true;
    });
}

void CaseEditor::selectTimeUnit(int index) {
    edit(choiceName(core::kTimeUnitCaptions[static_cast<size_t>(index)]), [index](core::Case& c) {
        c.selectTimeUnit(index);
        return true;
    });
}

} // namespace kvh::ui
