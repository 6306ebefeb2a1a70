#include "ui/pages/process_page.h"

#include "ui/editing/profile_model.h"
#include "ui/pages/option_buttons.h"
#include "ui/pages/profile_grid.h"
#include "ui/qt_text.h"

#include <QAction>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace kvh::ui {

namespace {

const QString kPageCaption = QStringLiteral("Describe the Process Temperature Parameters");
const QString kConvertTempCaption = QStringLiteral("Con&vert °C / °F");
const QString kConvertTimeCaption = QStringLiteral("Conve&rt Hrs. / Mins.");
const QString kConvertTempTip =
    QStringLiteral("Converts every temperature in the table into the unit chosen above.");
const QString kConvertTimeTip =
    QStringLiteral("Converts every time in the table into the unit chosen above.");
const QString kTempUnitTip = QStringLiteral(
    "The unit of the temperature column. Choosing it relabels the column; the numbers stay as "
    "typed until converted.");
const QString kTimeUnitTip = QStringLiteral(
    "The unit of the time column. Choosing it relabels the column; the numbers stay as typed "
    "until converted.");
const QString kGridName = QStringLiteral("Process profile");
const QString kAddRowTip = QStringLiteral("Adds an empty row at the bottom of the table.");
const QString kRowColTip =
    QStringLiteral("Clears the row or column selected by clicking its number or heading.");
/// Underlined characters: "&Insert a Row", "C&lear ...", the unit frames and buttons.
constexpr qsizetype kInsertMnemonicAt = 0;
constexpr qsizetype kClearMnemonicAt = 1;
constexpr std::array<std::u16string_view, 2> kTempUnitMnemonics = {u"nheit", u"Centigrade"};
constexpr std::array<std::u16string_view, 2> kTimeUnitMnemonics = {u"Minutes", u"Hours"};

QStringView view(std::u16string_view part) {
    return QStringView(part.data(), static_cast<qsizetype>(part.size()));
}
const QString kInsertAboveCaption = QStringLiteral("Insert Row &Above");
const QString kInsertBelowCaption = QStringLiteral("Insert Row &Below");
const QString kDeleteRowsCaption = QStringLiteral("&Delete Rows");

QString arrayName(const QString& name, int index) {
    return name + QLatin1Char('_') + QString::number(index);
}

} // namespace

ProcessPage::ProcessPage(ProfileModel& model, QWidget* parent)
    : QGroupBox(kPageCaption, parent), m_grid(new ProfileGrid(&model, this)),
      m_insertAbove(makeRowAction(QStringLiteral("mnuInsertRowAbove"), kInsertAboveCaption,
                                  QKeySequence(Qt::CTRL | Qt::Key_Insert))),
      m_insertBelow(makeRowAction(QStringLiteral("mnuInsertRowBelow"), kInsertBelowCaption,
                                  QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Insert))),
      m_deleteRows(makeRowAction(QStringLiteral("mnuDeleteRows"), kDeleteRowsCaption,
                                 QKeySequence(Qt::CTRL | Qt::Key_Delete))),
      m_addRow(new QPushButton(withMnemonic(qs(core::kInsertRowCaption), kInsertMnemonicAt), this)),
      m_rowCol(new QPushButton(withMnemonic(qs(core::kClearIdleCaption), kClearMnemonicAt), this)) {
    setObjectName(QStringLiteral("fra_1"));
    setProperty("index", 1);
    m_addRow->setObjectName(QStringLiteral("cmdAddRow"));
    m_rowCol->setObjectName(QStringLiteral("cmdRowCol"));
    m_rowCol->setEnabled(false);
    m_grid->setAccessibleName(kGridName);
    m_addRow->setToolTip(kAddRowTip);
    m_rowCol->setToolTip(kRowColTip);
    connect(m_addRow, &QPushButton::clicked, this, &ProcessPage::addRowClicked);
    connect(m_rowCol, &QPushButton::clicked, this, &ProcessPage::rowColClicked);
    m_grid->addActions({m_insertAbove, m_insertBelow, m_deleteRows});
    connect(m_insertAbove, &QAction::triggered, this, [this] { emit insertRowClicked(false); });
    connect(m_insertBelow, &QAction::triggered, this, [this] { emit insertRowClicked(true); });
    connect(m_deleteRows, &QAction::triggered, this, &ProcessPage::deleteRowsClicked);
    connect(m_grid, &ProfileGrid::rowMenuRequested, this, &ProcessPage::showRowMenu);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_addRow);
    buttons->addWidget(m_rowCol);
    buttons->addStretch();
    auto* left = new QVBoxLayout;
    left->addWidget(m_grid, 1);
    left->addLayout(buttons);

    auto* right = new QVBoxLayout;
    right->addWidget(makeUnitFrame(QStringLiteral("fraTempUnits"),
                                   withMnemonic(qs(core::kTempUnitFrameCaption), u"Temperature"),
                                   m_tempUnits, QStringLiteral("optTempUnits"),
                                   core::kTempUnitCaptions, 0));
    right->addWidget(makeUnitFrame(
        QStringLiteral("Frame1"), withMnemonic(qs(core::kTimeUnitFrameCaption), u"Units"),
        m_timeUnits, QStringLiteral("optTimeUnits"), core::kTimeUnitCaptions, 1));
    right->addStretch();

    auto* layout = new QHBoxLayout(this);
    layout->addLayout(left);
    layout->addSpacing(24);
    layout->addLayout(right);
    layout->addStretch();
}

QGroupBox* ProcessPage::makeUnitFrame(const QString& name, const QString& caption,
                                      std::array<QRadioButton*, 2>& buttons,
                                      const QString& buttonName,
                                      const std::array<std::string_view, 2>& captions,
                                      int convertIndex) {
    auto* frame = new QGroupBox(caption, this);
    frame->setObjectName(name);
    frame->setAccessibleName(shownCaption(caption)); // else the page's title would name it
    auto* layout = new QVBoxLayout(frame);
    const bool temp = convertIndex == 0;
    for (int i = 0; i < 2; ++i) {
        // Exclusive within the frame (arrow keys, radio buttons for screen readers); the
        // setup state still decides what is selected.
        const auto n = static_cast<size_t>(i);
        auto* button = new QRadioButton(
            withMnemonic(qs(captions[n]),
                         view((temp ? kTempUnitMnemonics : kTimeUnitMnemonics)[n])),
            frame);
        button->setObjectName(arrayName(buttonName, i));
        button->setProperty("index", i);
        button->setToolTip(temp ? kTempUnitTip : kTimeUnitTip);
        buttons[n] = button;
        layout->addWidget(button);
        connect(button, &QRadioButton::clicked, this, [this, temp, i] {
            if (temp)
                emit tempUnitClicked(i);
            else
                emit timeUnitClicked(i);
        });
    }
    auto* convert =
        new QPushButton(convertIndex == 0 ? kConvertTempCaption : kConvertTimeCaption, frame);
    convert->setObjectName(arrayName(QStringLiteral("cmdConvert"), convertIndex));
    convert->setProperty("index", convertIndex);
    convert->setToolTip(temp ? kConvertTempTip : kConvertTimeTip);
    connect(convert, &QPushButton::clicked, this,
            [this, convertIndex] { emit convertClicked(convertIndex); });
    layout->addWidget(convert);
    return frame;
}

QAction* ProcessPage::makeRowAction(const QString& name, const QString& caption,
                                    const QKeySequence& keys) {
    auto* action = new QAction(caption, this);
    action->setObjectName(name);
    action->setShortcut(keys);
    action->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    return action;
}

void ProcessPage::showRowMenu(const QPoint& global) {
    QMenu menu(this);
    menu.setObjectName(QStringLiteral("mnuRows"));
    const QList<QAction*> rowActions{m_insertAbove, m_insertBelow, m_deleteRows};
    menu.addActions(rowActions);
    // Then the grid's cell commands (cut, copy, paste, clear), which the window gives it.
    menu.addSeparator();
    for (QAction* action : m_grid->actions())
        if (!rowActions.contains(action))
            menu.addAction(action);
    menu.exec(global);
}

void ProcessPage::showUnits(const core::SetupState& setup) {
    showChecked(m_tempUnits, [&](int i) { return setup.tempUnit().isSelected(i); });
    showChecked(m_timeUnits, [&](int i) { return setup.timeUnit().isSelected(i); });
}

void ProcessPage::showClearButton(const core::ClearButton& button) {
    m_rowCol->setText(withMnemonic(qs(button.caption), kClearMnemonicAt));
    m_rowCol->setProperty("tag", qs(core::clearTag(button.target)));
    m_rowCol->setEnabled(button.enabled);
}

} // namespace kvh::ui
