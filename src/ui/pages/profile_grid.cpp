#include "ui/pages/profile_grid.h"

#include "ui/editing/profile_model.h"
#include "ui/twips.h"

#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QStyle>
#include <QStyledItemDelegate>

#include <algorithm>

namespace kvh::ui {

namespace {

/// Line height in pixels of the layout the column widths were drawn for: the grid scales the
/// widths by its own font's line height.
constexpr double kDesignLineHeight = 13.0;
/// Extra height of a row over the font's line height, in pixels.
constexpr int kRowPadding = 8;
/// The data rows shown without scrolling at the preferred size (the initial table fits
/// exactly), and the fewest a small window shows.
constexpr int kVisibleDataRows = core::kInitialRows - 1;
constexpr int kMinimumDataRows = 4;

/// The share of the warning hue in a doubtful cell's background, over the palette's base.
constexpr double kTintShare = 0.3;

/// Paints doubtful cells on a warm tint of the view's own base colour, so the mark reads in
/// light and dark palettes alike.
class DoubtfulDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override {
        QStyledItemDelegate::initStyleOption(option, index);
        if (index.data(ProfileModel::DoubtfulRole).toString().isEmpty())
            return;
        option->backgroundBrush = ProfileGrid::doubtfulTint(option->palette);
    }
};

/// A header whose size the grid fixes from its font (applyFontMetrics). Its hint is that size:
/// Qt's own hint measures every section's caption in a bold font, for a size nobody uses.
class FixedHeader : public QHeaderView {
public:
    FixedHeader(Qt::Orientation orientation, QWidget* parent) : QHeaderView(orientation, parent) {
        setSectionsClickable(true); // a click selects a row or column, as on a table's own
    }
    QSize sizeHint() const override { return {minimumWidth(), minimumHeight()}; }
};

} // namespace

QColor ProfileGrid::doubtfulTint(const QPalette& palette) {
    const QColor base = palette.color(QPalette::Base);
    const QColor hue(255, 160, 0);
    const auto mix = [](int a, int b) { return static_cast<int>(a + (b - a) * kTintShare); };
    return {mix(base.red(), hue.red()), mix(base.green(), hue.green()),
            mix(base.blue(), hue.blue())};
}

ProfileGrid::ProfileGrid(ProfileModel* model, QWidget* parent)
    : QTableView(parent), m_model(model), m_editor(new QLineEdit(viewport())) {
    setObjectName(QStringLiteral("fg1"));
    setHorizontalHeader(new FixedHeader(Qt::Horizontal, this));
    setVerticalHeader(new FixedHeader(Qt::Vertical, this));
    applyFontMetrics(); // the headers' sizes before they meet the model
    setModel(model);
    setSelectionMode(QAbstractItemView::NoSelection); // the grid drives the selection itself
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setTabKeyNavigation(false);
    setCornerButtonEnabled(false);
    setWordWrap(false);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    setUpHeaders();
    connect(model, &QAbstractItemModel::modelReset, this, &ProfileGrid::hideFixedCells);
    connect(model, &QAbstractItemModel::modelReset, this, &ProfileGrid::keepSelectionInside);
    connect(model, &QAbstractItemModel::rowsRemoved, this, &ProfileGrid::keepSelectionInside);
    setItemDelegate(new DoubtfulDelegate(this));
    m_editor->setObjectName(QStringLiteral("txtFGIn"));
    m_editor->setFrame(false);
    m_editor->hide();
    m_editor->setAccessibleName(QStringLiteral("Cell editor"));
    m_editor->installEventFilter(this);
    connect(m_editor, &QLineEdit::textEdited, this, &ProfileGrid::editorTextChanged);

    hideFixedCells();
    applyFontMetrics();
    setCurrentCell(1, core::kColStep);
}

void ProfileGrid::setUpHeaders() {
    horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    horizontalHeader()->setHighlightSections(false);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    verticalHeader()->setHighlightSections(false);
    connect(horizontalHeader(), &QHeaderView::sectionPressed, this,
            &ProfileGrid::columnHeaderPressed);
    connect(verticalHeader(), &QHeaderView::sectionPressed, this, &ProfileGrid::rowHeaderPressed);
    horizontalHeader()->viewport()->installEventFilter(this);
    verticalHeader()->viewport()->installEventFilter(this);
    verticalHeader()->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(verticalHeader(), &QHeaderView::customContextMenuRequested, this,
            &ProfileGrid::rowLabelMenu);
}

void ProfileGrid::hideFixedCells() {
    // Row 0 and column 0 are shown by the header sections, which do not scroll.
    setRowHidden(0, true);
    setColumnHidden(core::kColLabel, true);
}

int ProfileGrid::twipsToPixels(int twips) const {
    const double scale = fontMetrics().height() / kDesignLineHeight;
    return static_cast<int>(twips / kTwipsPerPixel * scale + 0.5);
}

void ProfileGrid::applyFontMetrics() {
    const int rowHeight = fontMetrics().height() + kRowPadding;
    verticalHeader()->setMinimumSectionSize(1);
    verticalHeader()->setDefaultSectionSize(rowHeight);
    horizontalHeader()->setFixedHeight(rowHeight);
    verticalHeader()->setFixedWidth(twipsToPixels(core::kColumnWidths[core::kColLabel]));
    for (int c = 1; c < core::kColumnCount; ++c)
        setColumnWidth(c, twipsToPixels(core::kColumnWidths[static_cast<size_t>(c)]));
    m_editor->setFont(font());
    setWidthTwips(m_widthTwips);
    // A taller page shows more rows; a small one scrolls.
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Expanding);
    setMinimumHeight(rowHeight * (kMinimumDataRows + 1) + 2 * frameWidth());
    updateGeometry();
}

QSize ProfileGrid::sizeHint() const {
    const int rowHeight = verticalHeader()->defaultSectionSize();
    return {minimumWidth(), rowHeight * (kVisibleDataRows + 1) + 2 * frameWidth()};
}

void ProfileGrid::setWidthTwips(int twips) {
    m_widthTwips = twips;
    int width = 2 * frameWidth();
    for (int c = 0; c < core::kColumnCount; ++c)
        width += twipsToPixels(core::kColumnWidths[static_cast<size_t>(c)]);
    // The wider grid leaves room for the vertical scroll bar.
    if (twips > core::kGridWidth)
        width += style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this);
    setFixedWidth(width);
}

void ProfileGrid::setCurrentCell(int row, int col) {
    m_sel = {row, col, row, col};
    applySelection();
}

void ProfileGrid::setSelection(const core::GridSelection& sel) {
    m_sel = sel;
    applySelection();
}

void ProfileGrid::extendTo(int row, int col) {
    m_sel.rowSel = std::clamp(row, 1, std::max(1, m_model->rowCount() - 1));
    m_sel.colSel = std::clamp(col, static_cast<int>(core::kColStep), core::kColumnCount - 1);
    applySelection();
    scrollTo(m_model->index(m_sel.rowSel, m_sel.colSel));
}

std::pair<int, int> ProfileGrid::selectedRows() const {
    return {std::min(m_sel.row, m_sel.rowSel), std::max(m_sel.row, m_sel.rowSel)};
}

void ProfileGrid::keepSelectionInside() {
    const int last = m_model->rowCount() - 1;
    if (last < 1)
        return;
    m_sel.row = std::min(m_sel.row, last);
    m_sel.rowSel = std::min(m_sel.rowSel, last);
    applySelection();
}

void ProfileGrid::applySelection() {
    if (m_editor->isVisible() && (m_sel.row != m_editorRow || m_sel.col != m_editorCol))
        hideEditor();
    const QModelIndex current = m_model->index(m_sel.row, m_sel.col);
    const QModelIndex corner = m_model->index(m_sel.rowSel, m_sel.colSel);
    if (!current.isValid() || !corner.isValid())
        return;
    selectionModel()->setCurrentIndex(current, QItemSelectionModel::NoUpdate);
    const QModelIndex topLeft =
        m_model->index(std::min(m_sel.row, m_sel.rowSel), std::min(m_sel.col, m_sel.colSel));
    const QModelIndex bottomRight =
        m_model->index(std::max(m_sel.row, m_sel.rowSel), std::max(m_sel.col, m_sel.colSel));
    selectionModel()->select(QItemSelection(topLeft, bottomRight),
                             QItemSelectionModel::ClearAndSelect);
}

void ProfileGrid::scrollRowToTop(int row) {
    scrollTo(m_model->index(row, core::kColStep), QAbstractItemView::PositionAtTop);
}

// ---- Clicks -------------------------------------------------------------------------------

void ProfileGrid::mousePressEvent(QMouseEvent* event) {
    const QModelIndex index = indexAt(event->position().toPoint());
    if (event->button() != Qt::LeftButton || !index.isValid())
        return;
    setFocus(Qt::MouseFocusReason);
    m_dragging = true;
    m_extending = event->modifiers() & Qt::ShiftModifier;
    if (m_extending)
        extendTo(index.row(), index.column());
    else
        setCurrentCell(index.row(), index.column());
}

void ProfileGrid::mouseMoveEvent(QMouseEvent* event) {
    if (!m_dragging)
        return;
    const QModelIndex index = indexAt(event->position().toPoint());
    if (!index.isValid())
        return;
    m_sel.rowSel = index.row();
    m_sel.colSel = index.column();
    applySelection();
}

void ProfileGrid::mouseReleaseEvent(QMouseEvent* event) {
    if (!m_dragging || event->button() != Qt::LeftButton)
        return;
    m_dragging = false;
    if (m_extending)
        emit selectionMade();
    else
        emit clicked();
}

void ProfileGrid::mouseDoubleClickEvent(QMouseEvent* event) {
    // Each click of a double-click counts: two quick clicks on a Step Type cell advance it twice.
    mousePressEvent(event);
}

void ProfileGrid::columnHeaderPressed(int col) {
    m_headerPressed = true;
    // Shift widens a column selection to the columns between.
    const bool extend = m_headerShift && m_sel.row == 1 && m_sel.rowSel == m_model->rowCount() - 1;
    m_sel = {1, extend ? m_sel.col : col, m_model->rowCount() - 1, col};
    applySelection();
}

void ProfileGrid::rowHeaderPressed(int row) {
    m_headerPressed = true;
    // Shift widens a row selection to the rows between, e.g. for Delete Rows.
    const bool extend =
        m_headerShift && m_sel.col == core::kColStep && m_sel.colSel == core::kColumnCount - 1;
    m_sel = {extend ? m_sel.row : row, core::kColStep, row, core::kColumnCount - 1};
    applySelection();
}

bool ProfileGrid::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_editor) {
        const auto type = event->type();
        // Undo and Redo belong to the window's history, not to the editor's own.
        if (type == QEvent::ShortcutOverride) {
            const auto* key = static_cast<QKeyEvent*>(event);
            if (key->matches(QKeySequence::Undo) || key->matches(QKeySequence::Redo))
                return true;
        }
        if (type == QEvent::KeyPress)
            return editorKey(static_cast<QKeyEvent*>(event));
        return QTableView::eventFilter(watched, event);
    }
    const bool columnHeader = watched == horizontalHeader()->viewport();
    const bool rowHeader = watched == verticalHeader()->viewport();
    if ((columnHeader || rowHeader) && event->type() == QEvent::MouseButtonPress)
        m_headerShift = static_cast<QMouseEvent*>(event)->modifiers() & Qt::ShiftModifier;
    if ((columnHeader || rowHeader) && m_headerPressed) {
        if (event->type() == QEvent::MouseMove) {
            // Dragging across headers widens the selection to a block of columns or rows.
            const QPoint pos = static_cast<QMouseEvent*>(event)->position().toPoint();
            if (columnHeader) {
                const int col = horizontalHeader()->logicalIndexAt(pos);
                if (col > 0)
                    m_sel.colSel = col;
            } else {
                const int row = verticalHeader()->logicalIndexAt(pos);
                if (row > 0)
                    m_sel.rowSel = row;
            }
            applySelection();
            return true;
        }
        if (event->type() == QEvent::MouseButtonRelease) {
            m_headerPressed = false;
            emit selectionMade(); // a row or column selected: nothing in it changes
        }
    }
    return QTableView::eventFilter(watched, event);
}

void ProfileGrid::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Space:
        // The keyboard's way to click the current cell.
        emit clicked();
        return;
    default:
        break;
    }
    if (extendKey(event) || startEditingKey(event))
        return;
    QTableView::keyPressEvent(event);
    const QModelIndex current = currentIndex();
    if (current.isValid() && (current.row() != m_sel.row || current.column() != m_sel.col))
        setCurrentCell(current.row(), current.column());
}

bool ProfileGrid::extendKey(QKeyEvent* event) {
    if ((event->modifiers() & ~Qt::KeypadModifier) != Qt::ShiftModifier)
        return false;
    int row = m_sel.rowSel;
    int col = m_sel.colSel;
    switch (event->key()) {
    case Qt::Key_Up:
        --row;
        break;
    case Qt::Key_Down:
        ++row;
        break;
    case Qt::Key_Left:
        --col;
        break;
    case Qt::Key_Right:
        ++col;
        break;
    default:
        return false;
    }
    extendTo(row, col);
    emit selectionMade();
    return true;
}

bool ProfileGrid::startEditingKey(QKeyEvent* event) {
    if (m_sel.col != core::kColTemp && m_sel.col != core::kColTime)
        return false;
    const bool f2 = event->key() == Qt::Key_F2 && !(event->modifiers() & ~Qt::KeypadModifier);
    const QString text = event->text();
    const bool typed = !(event->modifiers() & ~(Qt::ShiftModifier | Qt::KeypadModifier)) &&
                       !text.isEmpty() && text.at(0).isPrint();
    if (!f2 && !typed)
        return false;
    // Editing a cell of a larger selection edits the current cell alone, as a click on it does.
    setCurrentCell(m_sel.row, m_sel.col);
    emit clicked();
    // The key goes to the editor, which opened with its text selected: the key replaces it.
    if (typed && m_editor->isVisible())
        QCoreApplication::sendEvent(m_editor, event);
    return true;
}

bool ProfileGrid::editorKey(QKeyEvent* event) {
    if (event->modifiers() & ~(Qt::ShiftModifier | Qt::KeypadModifier))
        return false;
    int row = m_sel.row;
    int col = m_sel.col;
    switch (event->key()) {
    case Qt::Key_Up:
        row = std::max(1, row - 1);
        break;
    case Qt::Key_Down:
        row = std::min(m_model->rowCount() - 1, row + 1);
        break;
    case Qt::Key_Tab:
        col = std::min(core::kColumnCount - 1, col + 1);
        break;
    case Qt::Key_Backtab:
        col = std::max(core::kColStep, col - 1);
        break;
    default:
        return false;
    }
    hideEditor();
    setCurrentCell(row, col);
    scrollTo(m_model->index(row, col));
    return true;
}

void ProfileGrid::rowLabelMenu(const QPoint& pos) {
    const int row = verticalHeader()->logicalIndexAt(pos);
    if (row < 1)
        return;
    // A right click keeps a selection of rows it falls in, else it selects its row; it is not
    // a click, so nothing in the row changes.
    const auto [first, last] = selectedRows();
    if (row < first || row > last || m_sel.col != core::kColStep ||
        m_sel.colSel != core::kColumnCount - 1) {
        m_sel = {row, core::kColStep, row, core::kColumnCount - 1};
        applySelection();
    }
    emit rowMenuRequested(verticalHeader()->viewport()->mapToGlobal(pos));
}

void ProfileGrid::contextMenuEvent(QContextMenuEvent* event) {
    const QModelIndex index = event->reason() == QContextMenuEvent::Mouse
                                  ? indexAt(event->pos())
                                  : m_model->index(m_sel.row, m_sel.col);
    if (!index.isValid())
        return;
    if (event->reason() == QContextMenuEvent::Mouse)
        setCurrentCell(index.row(), index.column());
    emit rowMenuRequested(viewport()->mapToGlobal(visualRect(index).center()));
}

// ---- Overlay editor -----------------------------------------------------------------------

void ProfileGrid::openEditor(int row, int col, const QString& text) {
    m_editorRow = row;
    m_editorCol = col;
    {
        const QSignalBlocker quiet(m_editor); // showing the cell's text changes nothing
        m_editor->setText(text);
    }
    placeEditor();
    m_editor->show();
    m_editor->raise();
    m_editor->setFocus(Qt::OtherFocusReason);
    m_editor->selectAll();
}

void ProfileGrid::hideEditor() {
    const bool typing = m_editor->hasFocus();
    m_editor->hide();
    m_editorRow = -1;
    m_editorCol = -1;
    if (typing)
        setFocus(Qt::OtherFocusReason);
}

void ProfileGrid::placeEditor() {
    if (m_editorRow < 0)
        return;
    const QRect cell = visualRect(m_model->index(m_editorRow, m_editorCol));
    m_editor->setGeometry(cell.adjusted(1, 1, -1, -1));
}

void ProfileGrid::scrollContentsBy(int dx, int dy) {
    QTableView::scrollContentsBy(dx, dy);
    placeEditor();
}

void ProfileGrid::updateGeometries() {
    QTableView::updateGeometries();
    placeEditor();
}

void ProfileGrid::changeEvent(QEvent* event) {
    QTableView::changeEvent(event);
    if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange) {
        applyFontMetrics();
        placeEditor();
    }
}

} // namespace kvh::ui
