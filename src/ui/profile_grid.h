#pragma once
// The profile grid `fg1`: a table view over the profile whose row 0 (headers) and column 0
// (row labels) stay fixed while the data rows scroll, as in a flex grid. It keeps a flex
// grid's notion of the current cell and the selection's far corner, reports every click, and
// owns the overlay editor `txtFGIn`, which sits over the cell it edits at any scroll position.

#include "core/profile.h"

#include <QTableView>

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
    /// Makes one cell current and selects it alone.
    void setCurrentCell(int row, int col);
    /// Scrolls so that `row` is the first visible data row, as far as the grid can scroll.
    void scrollRowToTop(int row);
    /// The first data row shown below the header.
    int topRow() const;

    /// Sets the width from the table's width in twips (4780, or 5030 once rows were appended).
    void setWidthTwips(int twips);

    QLineEdit* editor() const { return m_editor; }
    /// Shows the overlay editor over (row, col) holding `text`, with the keyboard focus.
    void openEditor(int row, int col, const QString& text);
    void hideEditor();
    int editorRow() const { return m_editorRow; }
    int editorCol() const { return m_editorCol; }

    /// Pixels for a length in twips at the grid's font (the layout keeps the proportions).
    int twipsToPixels(int twips) const;

signals:
    /// A click (mouse, header, or Enter/Space on the current cell) has finished.
    void clicked();
    /// The user changed the editor's text.
    void editorTextChanged(const QString& text);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    void updateGeometries() override;
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void applySelection();
    void columnHeaderPressed(int col);
    void rowHeaderPressed(int row);
    void hideFixedCells();
    void applyFontMetrics();
    void placeEditor();

    ProfileModel* m_model;
    QLineEdit* m_editor;
    core::GridSelection m_sel;
    bool m_dragging = false;
    bool m_headerPressed = false;
    int m_editorRow = -1;
    int m_editorCol = -1;
    int m_widthTwips = core::kGridWidth;
};

} // namespace kvh::ui
