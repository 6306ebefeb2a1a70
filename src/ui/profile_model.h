#pragma once
// The profile table as an item model. Row 0 holds the header captions and column 0 the row
// labels, exactly as in the table itself; the grid shows them in its frozen header sections.

#include "core/profile.h"

#include <QAbstractTableModel>

namespace kvh::ui {

/// A read-only view of a core::ProfileTable. The table is edited only through the core's
/// editing rules; whoever edits it tells the model what changed.
class ProfileModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit ProfileModel(const core::ProfileTable& table, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    /// Horizontal section c shows cell (0, c); vertical section r shows the label cell (r, 0).
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    void cellChanged(int row, int col);
    void rowChanged(int row);
    void columnChanged(int col);
    void headerChanged();
    void allCellsChanged();
    /// The table grew by rows at its end.
    void rowsAppended();
    /// The whole table was replaced (Open).
    void tableReplaced();

private:
    const core::ProfileTable& m_table;
    int m_shownRows;
};

} // namespace kvh::ui
