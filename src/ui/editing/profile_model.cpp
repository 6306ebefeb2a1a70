#include "ui/editing/profile_model.h"

#include "ui/qt_text.h"

namespace kvh::ui {

ProfileModel::ProfileModel(const core::ProfileTable& table, QObject* parent)
    : QAbstractTableModel(parent), m_table(table), m_shownRows(table.rowCount()) {
    refreshMarks();
}

int ProfileModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : m_shownRows;
}

int ProfileModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : core::kColumnCount;
}

QVariant ProfileModel::data(const QModelIndex& index, int role) const {
    if (!checkIndex(index, CheckIndexOption::IndexIsValid))
        return {};
    const auto mark = m_marks.find({index.row(), index.column()});
    const bool doubtful = mark != m_marks.end();
    switch (role) {
    case Qt::DisplayRole:
        return qs(m_table.cell(index.row(), index.column()));
    case Qt::ToolTipRole:
        return qs(doubtful ? mark->second.tip : m_table.cell(index.row(), index.column()));
    case Qt::AccessibleDescriptionRole:
    case DoubtfulRole:
        return doubtful ? qs(mark->second.tip) : QString();
    default:
        return {};
    }
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
    // The view asks for the root's flags too: it has none.
    if (!index.isValid() || !checkIndex(index, CheckIndexOption::IndexIsValid))
        return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
}

void ProfileModel::change(const std::function<void()>& edit, RowShift shift) {
    if (shift.count > 0) {
        beginInsertRows({}, shift.first, shift.first + shift.count - 1);
        edit();
        m_shownRows = m_table.rowCount();
        endInsertRows();
    } else if (shift.count < 0) {
        beginRemoveRows({}, shift.first, shift.first - shift.count - 1);
        edit();
        m_shownRows = m_table.rowCount();
        endRemoveRows();
    } else {
        edit();
    }
    refreshMarks();
    announceAll();
}

void ProfileModel::changeCell(int row, const std::function<void()>& edit) {
    edit();
    // Only this row's marks can change: a long table is not scanned again per keystroke.
    std::erase_if(m_marks, [row](const auto& mark) { return mark.first.first == row; });
    std::vector<core::DoubtfulCell> cells;
    core::appendDoubtfulCells(m_table, row, cells);
    for (core::DoubtfulCell& cell : cells)
        m_marks.emplace(std::pair{cell.row, cell.col}, std::move(cell));
    // A cell's text can make its neighbours in the row doubtful too.
    emit dataChanged(index(row, 0), index(row, core::kColumnCount - 1));
}

void ProfileModel::replace(const std::function<void()>& edit) {
    beginResetModel();
    edit();
    m_shownRows = m_table.rowCount();
    refreshMarks();
    endResetModel();
}

void ProfileModel::announceAll() {
    if (m_shownRows == 0)
        return;
    emit dataChanged(index(0, 0), index(m_shownRows - 1, core::kColumnCount - 1));
    emit headerDataChanged(Qt::Horizontal, 0, core::kColumnCount - 1);
    emit headerDataChanged(Qt::Vertical, 0, m_shownRows - 1);
}

void ProfileModel::refreshMarks() {
    m_marks.clear();
    for (core::DoubtfulCell& cell : core::findDoubtfulCells(m_table))
        m_marks.emplace(std::pair{cell.row, cell.col}, std::move(cell));
}

QStringList ProfileModel::doubtfulNotices() const {
    QStringList notices;
    notices.reserve(static_cast<qsizetype>(m_marks.size()));
    for (const auto& [where, cell] : m_marks)
        notices << qs(cell.notice);
    return notices;
}

} // namespace kvh::ui
