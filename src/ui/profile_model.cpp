#include "ui/profile_model.h"

#include "ui/qt_text.h"

namespace kvh::ui {

ProfileModel::ProfileModel(const core::ProfileTable& table, QObject* parent)
    : QAbstractTableModel(parent), m_table(table), m_shownRows(table.rowCount()) {}

int ProfileModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : m_shownRows;
}

int ProfileModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : core::kColumnCount;
}

QVariant ProfileModel::data(const QModelIndex& index, int role) const {
    if (!checkIndex(index, CheckIndexOption::IndexIsValid))
        return {};
    if (role == Qt::DisplayRole || role == Qt::ToolTipRole)
        return qs(m_table.cell(index.row(), index.column()));
    return {};
}

QVariant ProfileModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole || section < 0)
        return {};
    if (orientation == Qt::Horizontal)
        return section < core::kColumnCount && m_shownRows > 0 ? qs(m_table.cell(0, section))
                                                               : QVariant();
    return section < m_shownRows ? qs(m_table.cell(section, core::kColLabel)) : QVariant();
}

Qt::ItemFlags ProfileModel::flags(const QModelIndex& index) const {
    if (!checkIndex(index, CheckIndexOption::IndexIsValid))
        return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
}

void ProfileModel::cellChanged(int row, int col) {
    const QModelIndex i = index(row, col);
    emit dataChanged(i, i, {Qt::DisplayRole});
    if (row == 0)
        emit headerDataChanged(Qt::Horizontal, col, col);
    if (col == core::kColLabel)
        emit headerDataChanged(Qt::Vertical, row, row);
}

void ProfileModel::rowChanged(int row) {
    emit dataChanged(index(row, 0), index(row, core::kColumnCount - 1), {Qt::DisplayRole});
    emit headerDataChanged(Qt::Vertical, row, row);
}

void ProfileModel::columnChanged(int col) {
    if (m_shownRows == 0)
        return;
    emit dataChanged(index(0, col), index(m_shownRows - 1, col), {Qt::DisplayRole});
    emit headerDataChanged(Qt::Horizontal, col, col);
}

void ProfileModel::headerChanged() {
    emit headerDataChanged(Qt::Horizontal, 0, core::kColumnCount - 1);
}

void ProfileModel::allCellsChanged() {
    if (m_shownRows == 0)
        return;
    emit dataChanged(index(0, 0), index(m_shownRows - 1, core::kColumnCount - 1),
                     {Qt::DisplayRole});
    emit headerDataChanged(Qt::Horizontal, 0, core::kColumnCount - 1);
    emit headerDataChanged(Qt::Vertical, 0, m_shownRows - 1);
}

void ProfileModel::rowsAppended() {
    const int newRowCount = m_table.rowCount();
    if (newRowCount <= m_shownRows)
        return;
    beginInsertRows({}, m_shownRows, newRowCount - 1);
    m_shownRows = newRowCount;
    endInsertRows();
}

void ProfileModel::tableReplaced() {
    beginResetModel();
    m_shownRows = m_table.rowCount();
    endResetModel();
}

} // namespace kvh::ui
