#include "ui/pages/grid_commands.h"

#include "core/dew_file.h"
#include "core/grid_clipboard.h"
#include "platform/platform.h"
#include "ui/editing/case_editor.h"
#include "ui/pages/profile_grid.h"
#include "ui/qt_text.h"

#include <QAction>
#include <QLocale>

#include <algorithm>

namespace kvh::ui {

using platform::Buttons;
using platform::Icon;

namespace {

const QString kCutCaption = QStringLiteral("Cu&t");
const QString kCopyCaption = QStringLiteral("&Copy");
const QString kPasteCaption = QStringLiteral("&Paste");
const QString kClearCaption = QStringLiteral("Clea&r Cells");
const QString kCutName = QStringLiteral("Cut");
const QString kClearName = QStringLiteral("Clear Cells");
const QString kPasteTitle = QStringLiteral("Paste");
const QString kOneRowLeftOut =
    QStringLiteral("A profile holds at most %1 rows: the last row of the pasted text was not "
                   "pasted.");
const QString kRowsLeftOut =
    QStringLiteral("A profile holds at most %1 rows: the last %2 rows of the pasted text were "
                   "not pasted.");
const QString kNotesHeading = QStringLiteral("Some pasted fields were not used:");
const QString kMoreNotes = QStringLiteral("... and %1 more");
/// The notes a message lists before it only counts the rest.
constexpr qsizetype kNotesShown = 10;

/// A count with thousands separators as the program writes them everywhere: "100,000".
QString count(long long n) {
    QLocale c = QLocale::c();
    c.setNumberOptions(QLocale::DefaultNumberOptions); // the C locale omits the separator
    return c.toString(n);
}

} // namespace

GridCommands::GridCommands(ProfileGrid& grid, CaseEditor& editor, platform::Platform& platform,
                           QWidget* dialogParent)
    : QObject(&grid), m_grid(grid), m_editor(editor), m_platform(platform),
      m_dialogParent(dialogParent) {
    addAction(QStringLiteral("mnuCutCells"), kCutCaption, QKeySequence::Cut, &GridCommands::cut);
    addAction(QStringLiteral("mnuCopyCells"), kCopyCaption, QKeySequence::Copy,
              &GridCommands::copy);
    addAction(QStringLiteral("mnuPasteCells"), kPasteCaption, QKeySequence::Paste,
              &GridCommands::paste);
    addAction(QStringLiteral("mnuClearCells"), kClearCaption, QKeySequence::Delete,
              &GridCommands::clearCells);
}

QAction* GridCommands::addAction(const QString& name, const QString& caption,
                                 const QKeySequence& keys, void (GridCommands::*run)()) {
    auto* action = new QAction(caption, this);
    action->setObjectName(name);
    action->setShortcut(keys);
    // Only on the grid itself: the open cell editor cuts, copies and pastes its own text.
    action->setShortcutContext(Qt::WidgetShortcut);
    connect(action, &QAction::triggered, this, run);
    m_grid.addAction(action);
    return action;
}

void GridCommands::copy() {
    const core::Case& c = m_editor.theCase();
    const core::CellRange range = core::selectedRange(m_grid.selection(), c.profile);
    m_platform.setClipboardText(qs(core::copyCells(c.profile, range)));
}

void GridCommands::cut() {
    m_grid.hideEditor();
    copy();
    m_editor.clearNumbers(core::selectedRange(m_grid.selection(), m_editor.theCase().profile),
                          kCutName);
}

void GridCommands::clearCells() {
    m_grid.hideEditor();
    m_editor.clearNumbers(core::selectedRange(m_grid.selection(), m_editor.theCase().profile),
                          kClearName);
}

void GridCommands::paste() {
    m_grid.hideEditor();
    const core::PasteBlock block =
        core::parsePasteText(toStd(m_platform.readClipboardText()), core::kMaxProfileRows);
    if (block.rows.empty() && block.rowsLeftOut == 0)
        return;
    const core::CellRange target =
        core::selectedRange(m_grid.selection(), m_editor.theCase().profile);
    const core::PasteOutcome outcome = m_editor.paste(target, block);
    // The pasted cells are selected, as a spreadsheet leaves them (one value spread over a
    // selection leaves that selection).
    const bool spread = block.rows.size() == 1 && block.rows[0].size() == 1;
    if (!spread && !block.rows.empty()) {
        size_t widest = 0;
        for (const auto& row : block.rows)
            widest = std::max(widest, row.size());
        const int lastRow = m_editor.theCase().profile.rowCount() - 1;
        m_grid.setSelection(
            {target.top, target.left,
             std::min(lastRow, target.top + static_cast<int>(block.rows.size()) - 1),
             std::min(core::kColTime, target.left + static_cast<int>(widest) - 1)});
        m_grid.scrollTo(m_grid.model()->index(target.top, target.left));
    }
    tellPasted(outcome);
}

void GridCommands::tellPasted(const core::PasteOutcome& outcome) {
    QStringList lines;
    if (outcome.rowsLeftOut > 0) {
        const QString limit = count(core::kMaxProfileRows);
        lines << (outcome.rowsLeftOut == 1 ? kOneRowLeftOut.arg(limit)
                                           : kRowsLeftOut.arg(limit, count(outcome.rowsLeftOut)));
    }
    if (!outcome.notes.empty()) {
        if (!lines.isEmpty())
            lines << QString();
        lines << kNotesHeading;
        const auto notes = static_cast<qsizetype>(outcome.notes.size());
        for (qsizetype i = 0; i < std::min(notes, kNotesShown); ++i)
            lines << qs(outcome.notes[static_cast<size_t>(i)]);
        if (notes > kNotesShown)
            lines << kMoreNotes.arg(count(notes - kNotesShown));
    }
    if (!lines.isEmpty())
        m_platform.messageBox(m_dialogParent, lines.join(QLatin1Char('\n')), kPasteTitle,
                              Buttons::Ok, Icon::Warning);
}

} // namespace kvh::ui
