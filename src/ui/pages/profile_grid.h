#pragma once
// The profile grid `fg1`: a table view over the profile whose row 0 (headers) and column 0
// (row labels) stay fixed while the data rows scroll, as in a flex grid. It keeps a flex
// grid's notion of the current cell and the selection's far corner, reports every click, and
// owns the overlay editor `txtFGIn`, which sits over the cell it edits at any scroll position.

#include "core/profile.h"

#include <QTableView>

#include <utility>

QT_BEGIN_NAMESPACE
class QLineEdit;
QT_END_NAMESPACE

namespace kvh::ui {

class ProfileModel;

class ProfileGrid : public QTableView {
    Q_OBJECT
public:
    ProfileGrid(ProfileModel* model, QWidget* parent = nullptr);
    /// Ten data rows; the layout may give fewer (down to the minimum) or more.
    QSize sizeHint() const override;

    /// The current cell and the far corner of the selection, as the last click left them.
    core::GridSelection selection() const { return m_sel; }
    /// Makes one cell current and selects it alone. An open editor over another cell closes:
    /// what is typed only ever goes into the highlighted cell.
    void setCurrentCell(int row, int col);
    /// Makes sel.row, sel.col current and selects up to the far corner sel.rowSel, sel.colSel.
    void setSelection(const core::GridSelection& sel);
    /// The first and last data rows the selection covers.
    std::pair<int, int> selectedRows() const;
    /// Scrolls so that `row` is the first visible data row, as far as the grid can scroll.
    void scrollRowToTop(int row);

    /// Sets the width from the table's width in twips (4780, or 5030 once rows were appended).
    void setWidthTwips(int twips);

    QLineEdit* editor() const { return m_editor; }
    /// Shows the overlay editor over (row, col) holding `text`, with the keyboard focus.
    void openEditor(int row, int col, const QString& text);
    void hideEditor();
    int editorRow() const { return m_editorRow; }
    int editorCol() const { return m_editorCol; }

    /// The background of a doubtful cell: the palette's base colour with a warm tint.
    static QColor doubtfulTint(const QPalette& palette);

    /// Pixels for a length in twips at the grid's font (the layout keeps the proportions).
    int twipsToPixels(int twips) const;

signals:
    /// A click on a data cell (mouse, or Enter/Space on the current cell) has finished.
    void clicked();
    /// A gesture that only selects has finished: a click on a row label or a column header,
    /// Shift with a click or an arrow key.
    void selectionMade();
    /// The user changed the editor's text.
    void editorTextChanged(const QString& text);
    /// The row menu is asked for (a right click on a row label, or the menu key) at `global`.
    void rowMenuRequested(const QPoint& global);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    void updateGeometries() override;
    void changeEvent(QEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    /// Typing on the grid itself never moves the highlight.
    void keyboardSearch(const QString&) override {}

private:
    /// The row and column headers: fixed sizes, left-aligned, pressed to select, the row
    /// labels' menu.
    void setUpHeaders();
    void applySelection();
    void columnHeaderPressed(int col);
    void rowHeaderPressed(int row);
    void hideFixedCells();
    void applyFontMetrics();
    void placeEditor();
    /// Keys that move the current cell out of the open editor: it closes, the grid moves.
    bool editorKey(QKeyEvent* event);
    /// Shift with an arrow key moves the selection's far corner.
    bool extendKey(QKeyEvent* event);
    /// F2 opens the editor on a temperature or time cell keeping its text; a printable key
    /// opens it with that key in place of the text.
    bool startEditingKey(QKeyEvent* event);
    /// Moves the far corner of the selection to (row, col), the current cell staying.
    void extendTo(int row, int col);
    void rowLabelMenu(const QPoint& pos);
    void keepSelectionInside();

    ProfileModel* m_model;
    QLineEdit* m_editor;
    core::GridSelection m_sel;
    bool m_dragging = false;
    /// The press that started the drag held Shift: it extends, it does not click.
    bool m_extending = false;
    bool m_headerPressed = false;
    bool m_headerShift = false; ///< the header press held Shift
    int m_editorRow = -1;
    int m_editorCol = -1;
    int m_widthTwips = core::kGridWidth;
};

} // namespace kvh::ui
