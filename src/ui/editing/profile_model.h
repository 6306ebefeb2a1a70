#pragma once
// The profile table as an item model. Row 0 holds the header captions and column 0 the row
// labels, exactly as in the table itself; the grid shows them in its frozen header sections.

#include "core/doubtful.h"
#include "core/profile.h"

#include <QAbstractTableModel>

#include <functional>
#include <map>
#include <string>
#include <utility>

namespace kvh::ui {

/// Rows a change inserts (count > 0) or removes (count < 0), starting at `first`.
struct RowShift {
    int first = 0;
    int count = 0;
    RowShift inverse() const { return {first, -count}; }
};

/// A read-only view of a core::ProfileTable. The table is changed only by the case editor,
/// through `change`, which brackets the change with the model's own signals.
class ProfileModel : public QAbstractTableModel {
    Q_OBJECT
public:
    /// The role holding a doubtful cell's tip (empty for a cell read as written).
    static constexpr int DoubtfulRole = Qt::UserRole + 1;

    explicit ProfileModel(const core::ProfileTable& table, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    /// Horizontal section c shows cell (0, c); vertical section r shows the label cell (r, 0).
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    /// Runs `edit` on the table; rows it inserts or removes are announced around it, and every
    /// cell and header is announced as changed after it.
    void change(const std::function<void()>& edit, RowShift shift = {});
    /// Runs `edit`, which changes only cell (row, col) of a data row.
    void changeCell(int row, const std::function<void()>& edit);
    /// Runs `edit`, which replaces the whole table (Open).
    void replace(const std::function<void()>& edit);

    /// The notes on every doubtful cell, row by row, temperature first. Kept up to date with
    /// each change, so asking costs nothing but the notes themselves.
    QStringList doubtfulNotices() const;

private:
    void refreshMarks();
    void announceAll();

    const core::ProfileTable& m_table;
    int m_shownRows;
    /// Doubtful cells by (row, col): row by row, temperature first.
    std::map<std::pair<int, int>, core::DoubtfulCell> m_marks;
};

} // namespace kvh::ui
