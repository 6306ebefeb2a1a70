#pragma once
// The "Process Data" page (`fra_1`): the profile grid with its overlay editor, "Insert a Row",
// "Clear Row or Column", and the two unit frames with their conversion buttons.
// Control arrays are named `<name>_<index>`: optTempUnits_0/1, optTimeUnits_0/1,
// cmdConvert_0/1; each also carries its index in the property "index". The row menu (a right
// click on a row label, or the menu key on the grid) inserts a row above or below the current
// one or deletes the selected rows; its items work from the keyboard on the grid too.

#include "core/profile.h"
#include "core/setup.h"

#include <QGroupBox>

#include <array>

QT_BEGIN_NAMESPACE
class QAction;
class QPushButton;
class QRadioButton;
QT_END_NAMESPACE

namespace kvh::ui {

class ProfileGrid;
class ProfileModel;

class ProcessPage : public QGroupBox {
    Q_OBJECT
public:
    ProcessPage(ProfileModel& model, QWidget* parent = nullptr);

    ProfileGrid& grid() const { return *m_grid; }

    /// Shows the unit choices as the setup holds them.
    void showUnits(const core::SetupState& setup);
    /// Shows the clear button's caption, armed mode (property "tag") and enabled state.
    void showClearButton(const core::ClearButton& button);

signals:
    void tempUnitClicked(int index);
    void timeUnitClicked(int index);
    void convertClicked(int index);
    void addRowClicked();
    void rowColClicked();
    /// Insert a row above (false) or below (true) the current one.
    void insertRowClicked(bool below);
    void deleteRowsClicked();

private:
    QGroupBox* makeUnitFrame(const QString& name, const QString& caption,
                             std::array<QRadioButton*, 2>& buttons, const QString& buttonName,
                             const std::array<std::string_view, 2>& captions, int convertIndex);
    QAction* makeRowAction(const QString& name, const QString& caption, const QKeySequence& keys);
    void showRowMenu(const QPoint& global);

    ProfileGrid* m_grid;
    QAction* m_insertAbove;
    QAction* m_insertBelow;
    QAction* m_deleteRows;
    QPushButton* m_addRow;
    QPushButton* m_rowCol;
    std::array<QRadioButton*, 2> m_tempUnits{};
    std::array<QRadioButton*, 2> m_timeUnits{};
};

} // namespace kvh::ui
